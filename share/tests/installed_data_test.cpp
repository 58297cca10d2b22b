// The installed data as the programs read it: the help book through the viewer's own parser
// and searcher, the sounds through QSoundEffect, the pictures from the embedded collection,
// the committed files against their generators, and the tree that `cmake --install` lays out.
#include "browser.h"
#include "globals.h"
#include "parser.h"
#include "searcher.h"
#include "viewer.h"

#include "data/store.h"

#include "GuiHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSoundEffect>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>

#include <set>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kStage = QStringLiteral(VL_BINARY_DIR "/share/");
const QString kSource = QStringLiteral(VL_SOURCE_DIR "/share/");
const QString kHelp = kStage + QStringLiteral("help/");

// Every key the application can send to the help viewer. A new key in the code comes with
// its page, and with its line here.
const QStringList kHelpKeys = {
    QStringLiteral("Account_setup"),
    QStringLiteral("How_to_add_a_POP3_account_manually"),
    QStringLiteral("How_to_add_an_IMAP_account"),
    QStringLiteral("How_to_add_a_Hotmail_account"),
    QStringLiteral("Customizing_Options"),
    QStringLiteral("How_to_manage_the_Friends_list"),
    QStringLiteral("How_to_manage_the_Blacklist"),
    QStringLiteral("How_to_manage_Filters"),
    QStringLiteral("How_to_customize_Learning_options"),
    QStringLiteral("How_to_customize_Virus_warning_options"),
    QStringLiteral("How_to_customize_SpamCop_options"),
    QStringLiteral("How_to_customize_Origin_of_Spam_options"),
};

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void collectLinks(QTreeWidgetItem *item, QStringList &links) {
    links << static_cast<ContentsItem *>(item)->link();
    for (int i = 0; i < item->childCount(); ++i)
        collectLinks(item->child(i), links);
}

QStringList allLinks(QTreeWidget &tree) {
    QStringList links;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        collectLinks(tree.topLevelItem(i), links);
    return links;
}

// "page.html#anchor" resolves when the page is in the help folder and, with an anchor, the
// page names it.
QString unresolved(const QString &link) {
    const QString file = link.section(QLatin1Char('#'), 0, 0);
    const QString anchor = link.section(QLatin1Char('#'), 1);
    if (file.isEmpty() || !QFileInfo(kHelp + file).isFile())
        return link + QStringLiteral(": no such page");
    if (!anchor.isEmpty() &&
        !QString::fromUtf8(readAll(kHelp + file)).contains(QStringLiteral("name=\"%1\"").arg(anchor)))
        return link + QStringLiteral(": no such anchor");
    return {};
}

// The book read by the viewer's own parser, once for all tests.
class HelpBook : public ::testing::Test {
protected:
    static inline QTreeWidget *contents = nullptr;
    static inline QTreeWidget *index = nullptr;
    static inline SOHelpKeywords *keywords = nullptr;
    static inline bool parsed = false;
    static inline QString parseError;

    static void SetUpTestSuite() {
        contents = new QTreeWidget;
        index = new QTreeWidget;
        keywords = new SOHelpKeywords;
        SOHelpParser parser(contents, index, *keywords);
        QFile book(kHelp + QStringLiteral("velloran.xml"));
        parsed = book.open(QIODevice::ReadOnly) && parser.parse(&book);
        parseError = parser.errorString();
    }
    static void TearDownTestSuite() {
        delete contents;
        delete index;
        // The keyword store outlives every searcher made from it; the process ends next.
    }

    static QStringList keyFiles() {
        QStringList files;
        for (int i = 0; i < keywords->keyFileCount(0); ++i)
            files << keywords->pageName(SOHelpPage{0, i});
        return files;
    }
    static QStringList pages() {
        QStringList names;
        for (const QString &name : QDir(kHelp).entryList({QStringLiteral("*.html")}, QDir::Files))
            names << name;
        return names;
    }
};

TEST_F(HelpBook, TheOneBookParsesWithATitle) {
    ASSERT_TRUE(parsed) << parseError.toStdString();
    EXPECT_EQ(QDir(kHelp).entryList({QStringLiteral("*.xml")}, QDir::Files),
              QStringList{QStringLiteral("velloran.xml")});
    EXPECT_GT(contents->topLevelItemCount(), 0);
    EXPECT_EQ(static_cast<ContentsItem *>(contents->topLevelItem(0))->link(),
              QStringLiteral("introduction.html"));
}

TEST_F(HelpBook, EveryHelpKeyHasItsPageKeyFileContentsRowAndIndexItem) {
    ASSERT_TRUE(parsed);
    const QStringList files = keyFiles();
    const QStringList contentsLinks = allLinks(*contents);
    const QStringList indexLinks = allLinks(*index);
    for (const QString &key : kHelpKeys) {
        const QString page = key + QStringLiteral(".html");
        SCOPED_TRACE(key.toStdString());
        EXPECT_TRUE(QFileInfo(kHelp + page).isFile());
        EXPECT_TRUE(files.contains(page));
        EXPECT_TRUE(contentsLinks.contains(page));
        EXPECT_TRUE(std::any_of(indexLinks.cbegin(), indexLinks.cend(), [&](const QString &link) {
            return link.section(QLatin1Char('#'), 0, 0) == page;
        }));
    }
    // Every page is reachable from the contents and searchable.
    for (const QString &page : pages()) {
        EXPECT_TRUE(contentsLinks.contains(page)) << page.toStdString();
        EXPECT_TRUE(files.contains(page)) << page.toStdString();
    }
}

TEST_F(HelpBook, EveryReferenceResolves) {
    ASSERT_TRUE(parsed);
    QStringList problems;
    for (const QString &link : allLinks(*contents) + allLinks(*index) + keyFiles())
        if (const QString p = unresolved(link); !p.isEmpty())
            problems << p;
    // Links and pictures inside the pages.
    static const QRegularExpression ref(QStringLiteral("(?:href|src)=\"([^\"]*)\""));
    for (const QString &page : pages()) {
        const QString html = QString::fromUtf8(readAll(kHelp + page));
        for (auto it = ref.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            if (QUrl(target).scheme().isEmpty())
                if (const QString p = unresolved(target); !p.isEmpty())
                    problems << page + QStringLiteral(": ") + p;
        }
        for (auto it = QRegularExpression(QStringLiteral("<img src=\"([^\"]*)\"")).globalMatch(html);
             it.hasNext();)
            EXPECT_FALSE(QImage(kHelp + it.next().captured(1)).isNull()) << page.toStdString();
    }
    EXPECT_EQ(problems, QStringList());
}

TEST_F(HelpBook, TitlesArePlainTextAndKeywordsLowerCaseAscii) {
    ASSERT_TRUE(parsed);
    SOSearcher searcher(kHelp, *keywords);
    for (const QString &page : pages()) {
        // The results list shows the title exactly as written in the page.
        const QString title = searcher.getDocumentTitle(page);
        EXPECT_NE(title, page) << page.toStdString() << " has no title";
        EXPECT_FALSE(title.contains(QLatin1Char('<')) || title.contains(QLatin1Char('&')) ||
                     title.trimmed() != title || title.isEmpty())
            << page.toStdString();
    }
    static const QRegularExpression word(QStringLiteral("^[a-z0-9]{2,}$"));
    ASSERT_FALSE(keywords->dictionary().isEmpty());
    for (auto it = keywords->dictionary().cbegin(); it != keywords->dictionary().cend(); ++it)
        EXPECT_TRUE(word.match(QString::fromLatin1(it.key())).hasMatch()) << it.key().constData();
}

TEST_F(HelpBook, WordListsExistAndHoldOnlyKeywordNumbers) {
    ASSERT_TRUE(parsed);
    std::set<int> numbers;
    for (auto it = keywords->dictionary().cbegin(); it != keywords->dictionary().cend(); ++it)
        numbers.insert(it.value()->number());
    for (const QString &page : keyFiles()) {
        const QString wl = page.left(page.lastIndexOf(QLatin1Char('.'))) + QStringLiteral(".wl");
        const QByteArray text = readAll(kHelp + wl);
        ASSERT_FALSE(text.isEmpty()) << wl.toStdString();
        for (const QByteArray &line : text.split('\n')) {
            if (line.isEmpty())
                continue;
            bool ok = false;
            const int n = line.toInt(&ok);
            EXPECT_TRUE(ok && numbers.count(n)) << wl.toStdString() << ": " << line.constData();
        }
    }
}

// The search tab on the real book: words, a phrase across a dropped one-letter word, and a
// phrase in the wrong order.
TEST_F(HelpBook, SearchFindsThePagesOfTheBook) {
    ASSERT_TRUE(parsed);
    SOSearcher searcher(kHelp, *keywords);
    const struct {
        const char *name;
        QStringList words;
        QStringList phrases;
        QString expected; // a page that must be found, or empty when none may be
    } cases[] = {
        {"one word", {QStringLiteral("hotmail")}, {}, QStringLiteral("How_to_add_a_Hotmail_account.html")},
        {"all words",
         {QStringLiteral("spamcop"), QStringLiteral("forward")},
         {},
         QStringLiteral("How_to_customize_SpamCop_options.html")},
        {"phrase",
         {QStringLiteral("wildcard"), QStringLiteral("expression")},
         {QStringLiteral("wildcard expression")},
         QStringLiteral("How_to_manage_the_Blacklist.html")},
        // The chooser drops "a" from "add a pop3 account" before the phrase is looked for.
        {"phrase over a one-letter word",
         {QStringLiteral("known"), QStringLiteral("virus")},
         {QStringLiteral("contains known virus")},
         QStringLiteral("How_to_customize_Virus_warning_options.html")},
        {"phrase out of order",
         {QStringLiteral("mail"), QStringLiteral("check")},
         {QStringLiteral("check mail default")},
         QString()},
        {"unknown word", {QStringLiteral("hotmail"), QStringLiteral("zzyzx")}, {}, QString()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList found = searcher.search(c.words, c.phrases);
        if (c.expected.isEmpty())
            EXPECT_EQ(found, QStringList());
        else
            EXPECT_TRUE(found.contains(c.expected)) << found.join(QLatin1Char(' ')).toStdString();
    }
}

// The help window on the real book: every key shows its page with its text and pictures.
TEST_F(HelpBook, TheViewerShowsThePageOfEveryKey) {
    vlHelpDir = kHelp;
    xmlFiles = {kHelp + QStringLiteral("velloran.xml")};
    SOHelpViewer viewer(0, nullptr, QStringLiteral("Velloran Help"));
    viewer.resize(900, 650);
    viewer.show();
    for (const QString &key : QStringList{QStringLiteral("introduction")} + kHelpKeys) {
        SCOPED_TRACE(key.toStdString());
        viewer.setHelpKey(key);
        EXPECT_EQ(viewer.browser()->source().path(), kHelp + key + QStringLiteral(".html"));
        EXPECT_FALSE(viewer.browser()->toPlainText().trimmed().isEmpty());
        EXPECT_FALSE(viewer.browser()->documentTitle().isEmpty());
    }
    viewer.setHelpKey(QStringLiteral("introduction"));
    EXPECT_FALSE(vltest::saveScreenshot(&viewer, QStringLiteral("help_book_introduction")).isEmpty());
    viewer.setHelpKey(QStringLiteral("How_to_manage_Filters"));
    EXPECT_FALSE(vltest::saveScreenshot(&viewer, QStringLiteral("help_book_filters")).isEmpty());
}

// Runs a committed generator into a temporary folder and compares what it wrote with the
// committed files, byte for byte.
void expectRegenerated(const QString &script, const QStringList &args, const QString &outDir,
                       const QString &committedDir, const QStringList &patterns) {
    QProcess python;
    python.start(QStringLiteral("python3"), QStringList{script} + args);
    ASSERT_TRUE(python.waitForFinished(120000)) << script.toStdString();
    ASSERT_EQ(python.exitCode(), 0) << python.readAllStandardError().constData();
    const QStringList written = QDir(outDir).entryList(patterns, QDir::Files);
    ASSERT_FALSE(written.isEmpty()) << script.toStdString();
    for (const QString &name : written)
        EXPECT_TRUE(readAll(outDir + QLatin1Char('/') + name) == readAll(committedDir + name))
            << name.toStdString() << " differs from what " << script.toStdString() << " writes";
}

TEST(Generators, RegenerationMatchesTheCommittedFiles) {
    vltest::TempDir tmp("share-regen");
    const QString out = QString::fromStdString(tmp.path());
    QDir(out).mkpath(QStringLiteral("help"));
    QDir(out).mkpath(QStringLiteral("images"));
    QDir(out).mkpath(QStringLiteral("sounds"));
    expectRegenerated(kSource + QStringLiteral("help/gen_keywords.py"),
                      {QStringLiteral("--output"), out + u"/help"_s}, out + u"/help"_s,
                      kSource + QStringLiteral("help/"), {QStringLiteral("*.xml"), QStringLiteral("*.wl")});
    expectRegenerated(kSource + QStringLiteral("sounds/gen_sounds.py"), {out + u"/sounds"_s},
                      out + u"/sounds"_s, kSource + QStringLiteral("sounds/"), {QStringLiteral("*.wav")});
    expectRegenerated(kSource + QStringLiteral("images/gen_brand.py"), {out + u"/images"_s},
                      out + u"/images"_s, kSource + QStringLiteral("images/"), {QStringLiteral("*.png")});
    EXPECT_TRUE(readAll(out + u"/help/velloran.png"_s) == readAll(kSource + u"help/velloran.png"_s));
}

// Ready only once the file decoded as a sound (a damaged one stays loading).
QSoundEffect::Status soundStatus(const QString &path) {
    QSoundEffect effect;
    effect.setSource(QUrl::fromLocalFile(path));
    vltest::waitUntil(
        [&] { return effect.status() != QSoundEffect::Loading && effect.status() != QSoundEffect::Null; });
    return effect.status();
}

TEST(Sounds, EveryChimeLoadsInQSoundEffect) {
    const QStringList sounds =
        QDir(kStage + QStringLiteral("sounds")).entryList({QStringLiteral("*.wav")}, QDir::Files);
    ASSERT_GE(sounds.size(), 2);
    for (const QString &name : sounds)
        EXPECT_EQ(soundStatus(kStage + QStringLiteral("sounds/") + name), QSoundEffect::Ready)
            << name.toStdString();
}

// The pictures the main window, its tray icon and its splash screen name, in the shared
// embedded collection.
TEST(Images, ThePicturesTheWindowsNameLoad) {
    // The collection comes with libvl_data, which the programs load by using it.
    ASSERT_FALSE(Store::dataDir().isEmpty());
    QStringList names = {QStringLiteral("linuxLogo.png"), QStringLiteral("miniLogo.png"),
                         QStringLiteral("smallVLIconPos.png"), QStringLiteral("smallVLIconNeg.png"),
                         QStringLiteral("help.png"), QStringLiteral("spinup.png"),
                         QStringLiteral("spindown.png"), QStringLiteral("plus.png"), QStringLiteral("x.png"),
                         QStringLiteral("magnify.png"),
                         // The help window's own two, embedded in vlhelp.
                         QStringLiteral("previous.png"), QStringLiteral("next.png")};
    for (const char *base : {"CheckMail", "ProcessMail", "Stop", "MailProgram", "Settings", "Recycle"})
        for (const char *pattern :
             {"large%1Active.png", "large%1Disabled.png", "small%1Active.png", "small%1Disabled.png"})
            names << QString::fromLatin1(pattern).arg(QLatin1String(base));
    for (const QString &name : names) {
        const QImage image(QStringLiteral(":/vlImages/") + name);
        EXPECT_FALSE(image.isNull()) << name.toStdString();
        if (name.startsWith(QLatin1String("large"))) {
            EXPECT_EQ(image.size(), QSize(32, 32)) << name.toStdString();
        } else if (name.startsWith(QLatin1String("small")) && !name.contains(QLatin1String("VLIcon"))) {
            EXPECT_EQ(image.size(), QSize(16, 16)) << name.toStdString();
        }
    }
    const QImage splash(QStringLiteral(":/vlImages/vlSplashScreen.png"));
    ASSERT_FALSE(splash.isNull());
    // The splash screen never grows beyond 565 x 440.
    EXPECT_LE(splash.width(), 565);
    EXPECT_LE(splash.height(), 440);
}

QStringList filesUnder(const QString &root) {
    QStringList files;
    for (QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next().mid(root.size());
    files.sort();
    return files;
}

TEST(Install, FillsTheShareFolderAndTheProgramsFindTheirLibraries) {
    vltest::TempDir dest("share-install");
    const QString root = QString::fromStdString(dest.path());
    QProcess install;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DESTDIR"), root);
    install.setProcessEnvironment(env);
    install.start(QStringLiteral(VL_CMAKE_COMMAND),
                  {QStringLiteral("--install"), QStringLiteral(VL_BINARY_DIR)});
    ASSERT_TRUE(install.waitForFinished(120000));
    ASSERT_EQ(install.exitCode(), 0) << install.readAllStandardError().constData();

    // The installed data is the staged tree, file for file.
    const QString share = root + QStringLiteral(VL_SHARE_DIR) + QLatin1Char('/');
    EXPECT_EQ(filesUnder(share), filesUnder(kStage));
    for (const QString &name : filesUnder(kStage))
        EXPECT_TRUE(readAll(share + name) == readAll(kStage + name)) << name.toStdString();
    for (const QString &key : kHelpKeys)
        EXPECT_TRUE(QFileInfo::exists(share + QStringLiteral("help/") + key + QStringLiteral(".html")));

    const QString prefix = root + QStringLiteral(VL_INSTALL_PREFIX);
    QStringList binaries = {prefix + QStringLiteral("/bin/vlhelp"), prefix + QStringLiteral("/bin/velloran")};
    const QStringList libraries = QDir(prefix + QStringLiteral("/lib/velloran"))
                                      .entryList({QStringLiteral("libvl_*.so*")}, QDir::Files);
    EXPECT_GE(libraries.size(), 14);
    for (const QString &lib : libraries)
        binaries << prefix + QStringLiteral("/lib/velloran/") + lib;
    for (const QString &binary : binaries) {
        QProcess ldd;
        ldd.start(QStringLiteral("ldd"), {binary});
        ASSERT_TRUE(ldd.waitForFinished(30000));
        const QString out = QString::fromLocal8Bit(ldd.readAllStandardOutput());
        EXPECT_EQ(ldd.exitCode(), 0) << binary.toStdString();
        EXPECT_FALSE(out.contains(QLatin1String("not found"))) << binary.toStdString() << "\n"
                                                               << out.toStdString();
        // The project's own libraries come from the installed folder, never the build tree.
        // ldd names a library as the run path found it ("bin/../lib/velloran/..."): compare
        // the folder it resolves to.
        const QString installed = QFileInfo(prefix + QStringLiteral("/lib/velloran")).canonicalFilePath();
        for (const QString &line : out.split(QLatin1Char('\n')))
            if (line.contains(QLatin1String("libvl_"))) {
                const qsizetype arrow = line.indexOf(QLatin1String("=> "));
                const QString path =
                    arrow < 0 ? QString() : line.mid(arrow + 3).section(QLatin1Char(' '), 0, 0);
                EXPECT_EQ(QFileInfo(path).canonicalPath(), installed)
                    << binary.toStdString() << ": " << line.toStdString();
            }
    }
}

} // namespace
