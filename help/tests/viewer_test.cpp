// The help window in-process: command line, stored-geometry rules, search texts, the
// chooser over the fixture books, and the key link played by the test as the application.
#include "help/browser.h"
#include "help/chooser.h"
#include "help/globals.h"
#include "help/keyreader.h"
#include "help/viewer.h"
#include "help_fixture.h"

#include "GuiHelpers.h"
#include "TempDir.h"

#include <QAction>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBlock>
#include <QTextDocument>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

using helptest::dataDir;

QString pagesOf(QTreeWidget *list) {
    QStringList rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        rows << list->topLevelItem(i)->text(0);
    return rows.join(u'|');
}

// A window over the given books of the fixture folder (or of folder).
std::unique_ptr<SOHelpViewer> openViewer(const QStringList &books, int port = 0,
                                         const QString &folder = dataDir()) {
    vlHelpDir = folder;
    xmlFiles.clear();
    for (const QString &book : books)
        xmlFiles << folder + book;
    auto viewer = std::make_unique<SOHelpViewer>(port, nullptr, QStringLiteral("Velloran Help"));
    viewer->resize(900, 600);
    viewer->show();
    return viewer;
}

int redFragments(QTextDocument *document, QStringList *texts = nullptr) {
    int count = 0;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().foreground().color() == QColor(Qt::red)) {
                ++count;
                if (texts)
                    *texts << it.fragment().text();
            }
        }
    }
    return count;
}

TEST(HelpArguments, OptionsTakeTheFollowingArgument) {
    struct Case {
        QStringList args;
        QString dir;
        QString key;
        int port;
    } cases[] = {
        {{}, QStringLiteral("../QTHelp/"), {}, 0},
        {{QStringLiteral("--helpkey")}, QStringLiteral("../QTHelp/"), {}, 0},
        {{QStringLiteral("--helpkey"), QStringLiteral("intro"), QStringLiteral("--helpkey")},
         QStringLiteral("../QTHelp/"),
         QStringLiteral("intro"),
         0},
        {{QStringLiteral("--comms"), QStringLiteral("abc")}, QStringLiteral("../QTHelp/"), {}, 0},
        {{QStringLiteral("--comms"), QStringLiteral("12003")}, QStringLiteral("../QTHelp/"), {}, 12003},
        {{QStringLiteral("--helpdir"), QStringLiteral("a"), QStringLiteral("--helpdir"), QStringLiteral("b")},
         QStringLiteral("b/"),
         {},
         0},
        {{QStringLiteral("--helpdir"), QStringLiteral("/usr/share/help/")},
         QStringLiteral("/usr/share/help/"),
         {},
         0},
        // Unknown arguments go one at a time, so an option right after one is still seen.
        {{QStringLiteral("-x"), QStringLiteral("--helpkey"), QStringLiteral("k"), QStringLiteral("stray"),
          QStringLiteral("--comms"), QStringLiteral("7")},
         QStringLiteral("../QTHelp/"),
         QStringLiteral("k"),
         7},
        // An option's value is taken whatever it looks like.
        {{QStringLiteral("--helpkey"), QStringLiteral("--comms"), QStringLiteral("5")},
         QStringLiteral("../QTHelp/"),
         QStringLiteral("--comms"),
         0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const SOHelpOptions options = parseHelpArguments(c.args);
        EXPECT_EQ(options.helpDir, c.dir);
        EXPECT_EQ(options.helpKey, c.key);
        EXPECT_EQ(options.port, c.port);
    }
}

TEST(HelpArguments, BooksAreXmlFilesByNameCaseSensitive) {
    vltest::TempDir dir("vlhelp-books");
    for (const char *name : {"b.xml", "a.xml", "C.XML", "notes.txt"})
        vltest::writeFile(dir.file(name), "<help/>");
    ASSERT_TRUE(QDir().mkdir(QString::fromStdString(dir.file("d.xml"))));
    const QString folder = QString::fromStdString(dir.path()) + u'/';
    EXPECT_EQ(listHelpBooks(folder),
              QStringList({folder + QStringLiteral("a.xml"), folder + QStringLiteral("b.xml")}));
    EXPECT_TRUE(listHelpBooks(folder + QStringLiteral("missing/")).isEmpty());
}

TEST(HelpSettings, StoredGeometryRules) {
    const QSize desktop(1024, 768);
    struct Case {
        const char *what;
        SOHelpViewer::Stored stored;
        QRect rect;
        QList<int> split;
    } cases[] = {
        {"nothing stored", {}, QRect(48, 48, 900, 650), {}},
        {"width 99 fits", {10, 10, 99, 99, {}, false}, QRect(10, 10, 900, 650), {}},
        {"width 99 at the edge", {200, 200, 99, 99, {}, false}, QRect(200, 200, 928, 672), {}},
        {"x + 900 equal to the desktop", {124, 0, 0, 0, {}, false}, QRect(124, 0, 928, 650), {}},
        {"100 kept, even past the desktop", {0, 0, 100, 100, {}, false}, QRect(0, 0, 100, 100), {}},
        {"large kept", {500, 400, 2000, 1500, {}, false}, QRect(500, 400, 2000, 1500), {}},
        {"split 50 ignored",
         {0, 0, 800, 600, {QStringLiteral("50"), QStringLiteral("700")}, false},
         QRect(0, 0, 800, 600),
         {}},
        {"split 51 applied",
         {0, 0, 800, 600, {QStringLiteral("51"), QStringLiteral("700")}, false},
         QRect(0, 0, 800, 600),
         {51, 700}},
        {"split not a number", {0, 0, 800, 600, {QStringLiteral("x")}, false}, QRect(0, 0, 800, 600), {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const SOHelpViewer::Placement place = SOHelpViewer::placement(c.stored, desktop);
        EXPECT_EQ(place.rect, c.rect);
        EXPECT_EQ(place.split, c.split);
        EXPECT_FALSE(place.maximized);
    }
    SOHelpViewer::Stored maximized;
    maximized.maximized = true;
    EXPECT_TRUE(SOHelpViewer::placement(maximized, desktop).maximized);
}

TEST(HelpSettings, WindowAppliesAndSavesTheSixKeys) {
    {
        const auto settings = openHelpSettings();
        settings->clear();
        settings->setValue(QStringLiteral("/Velloran/0.1/X"), 30);
        settings->setValue(QStringLiteral("/Velloran/0.1/Y"), 40);
        settings->setValue(QStringLiteral("/Velloran/0.1/W"), 700);
        settings->setValue(QStringLiteral("/Velloran/0.1/H"), 500);
        settings->setValue(QStringLiteral("/Velloran/0.1/Split"),
                           QStringList{QStringLiteral("220"), QStringLiteral("470")});
    }
    vlHelpDir = dataDir();
    xmlFiles = {dataDir() + QStringLiteral("book1.xml")};
    {
        SOHelpViewer viewer(0, nullptr, QStringLiteral("Velloran Help"));
        EXPECT_EQ(viewer.geometry().size(), QSize(700, 500));
        viewer.show();
        ASSERT_TRUE(vltest::waitUntil([&] { return viewer.isVisible(); }));
        EXPECT_EQ(viewer.splitter()->sizes().first(), 220);
        viewer.resize(640, 480);
        viewer.close();
    }
    const auto settings = openHelpSettings();
    EXPECT_EQ(settings->value(QStringLiteral("/Velloran/0.1/W")).toInt(), 640);
    EXPECT_EQ(settings->value(QStringLiteral("/Velloran/0.1/H")).toInt(), 480);
    EXPECT_EQ(settings->value(QStringLiteral("/Velloran/0.1/Split")).toStringList().size(), 2);
    EXPECT_FALSE(settings->value(QStringLiteral("/Velloran/0.1/Maximized"), true).toBool());
}

TEST(HelpSearchText, WordsPhrasesAndHighlights) {
    struct Case {
        QString text;
        QStringList words;
        QStringList phrases;
        QStringList highlights;
        QString error;
    } cases[] = {
        {QStringLiteral("a b c"),
         {QStringLiteral("a"), QStringLiteral("c")},
         {},
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")},
         {}},
        {QStringLiteral("Mail-Check"),
         {QStringLiteral("mail"), QStringLiteral("check")},
         {},
         {QStringLiteral("Mail-Check")},
         {}},
        {QStringLiteral("\"x y\" z"),
         {QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z")},
         {QStringLiteral("x y")},
         {QStringLiteral("x y"), QStringLiteral("z")},
         {}},
        {QStringLiteral("a \"b \"c"),
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")},
         {QStringLiteral("b")},
         {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")},
         {}},
        {QStringLiteral("`Mail  Server'"),
         {QStringLiteral("mail"), QStringLiteral("server")},
         {QStringLiteral("mail server")},
         {QStringLiteral("Mail Server")},
         {}},
        // The apostrophe counts as a quote, so a contraction leaves one open.
        {QStringLiteral("don't"),
         {QStringLiteral("dont")},
         {},
         {QStringLiteral("dont")},
         QStringLiteral("Missing quote marks")},
        {QStringLiteral("\"a\" \"b"), {}, {}, {}, QStringLiteral("Missing quote marks")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        const SOHelpChooser::Query query = SOHelpChooser::parseQuery(c.text);
        EXPECT_EQ(query.error, c.error);
        if (!c.error.isEmpty())
            continue;
        EXPECT_EQ(query.words, c.words);
        EXPECT_EQ(query.phrases, c.phrases);
        EXPECT_EQ(query.highlights, c.highlights);
    }
}

TEST(HelpChooser, BooksMakeContentsRows) {
    vltest::TempDir dir("vlhelp-chooser");
    const QString folder = QString::fromStdString(dir.path()) + u'/';
    vltest::writeFile(dir.file("a.xml"), "<help><contents><section title=\"A1\" ref=\"a.html\"/></contents>"
                                         "<index><item title=\"alpha\" ref=\"a.html\"/></index></help>");
    // Breaks after its first index row: that row stays.
    vltest::writeFile(dir.file("b.xml"),
                      "<help><contents title=\"Broken\"><section title=\"B1\" ref=\"b.html\"/>"
                      "</contents><index><item title=\"beta\" ref=\"b.html\"/><bogus/></index></help>");
    vltest::writeFile(dir.file("c.xml"),
                      "<help><index><item title=\"gamma\" ref=\"c.html\"/></index></help>");
    struct Case {
        QStringList books;
        QString folder;
        QString contents;
        QString index;
    } cases[] = {
        {{QStringLiteral("book1.xml")},
         dataDir(),
         QStringLiteral("Getting started|Shared topics"),
         QStringLiteral("install|instance|introduction")},
        {{QStringLiteral("book1.xml"), QStringLiteral("book2.xml")},
         dataDir(),
         QStringLiteral("Velloran Guide|Extras"),
         QStringLiteral("install|instance|introduction|filters")},
        {{QStringLiteral("a.xml"), QStringLiteral("gone.xml"), QStringLiteral("b.xml"),
          QStringLiteral("c.xml")},
         folder,
         QStringLiteral("Untitled Book|Broken|Untitled Book"),
         QStringLiteral("alpha|beta|gamma")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.books.join(u' ').toStdString());
        auto viewer = openViewer(c.books, 0, c.folder);
        EXPECT_EQ(pagesOf(vltest::child<QTreeWidget>(viewer.get(), QStringLiteral("contentsList"))),
                  c.contents);
        EXPECT_EQ(pagesOf(vltest::child<QTreeWidget>(viewer.get(), QStringLiteral("indexList"))), c.index);
    }
}

TEST(HelpChooser, ContentsRowShowsItsPageAndHistoryWalks) {
    auto viewer = openViewer({QStringLiteral("book1.xml"), QStringLiteral("book2.xml")});
    auto *contents = vltest::child<QTreeWidget>(viewer.get(), QStringLiteral("contentsList"));
    SOHelpBrowser *browser = viewer->browser();
    contents->setCurrentItem(contents->topLevelItem(0)); // the book row leads nowhere
    EXPECT_TRUE(browser->source().isEmpty());
    contents->setCurrentItem(contents->topLevelItem(0)->child(0));
    EXPECT_EQ(browser->source().path(), dataDir() + QStringLiteral("intro.html"));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Install the mail screener")));
    contents->setCurrentItem(contents->topLevelItem(1)->child(1));
    EXPECT_EQ(browser->source().path(), dataDir() + QStringLiteral("extras.html"));
    auto *previous = viewer->findChild<QAction *>(QStringLiteral("previousAction"));
    ASSERT_TRUE(previous);
    EXPECT_EQ(previous->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Left));
    previous->trigger();
    EXPECT_EQ(browser->source().path(), dataDir() + QStringLiteral("intro.html"));
    viewer->setHelpKey(QStringLiteral("extras"));
    EXPECT_EQ(browser->source().path(), dataDir() + QStringLiteral("extras.html"));
    viewer->showLink(dataDir() + QStringLiteral("missing.html"));
    EXPECT_EQ(browser->source().path(), dataDir() + QStringLiteral("extras.html"));
}

TEST(HelpChooser, FindFieldSelectsTheFirstMatchingIndexRow) {
    auto viewer = openViewer({QStringLiteral("book1.xml")});
    viewer->setHelpKey(QStringLiteral("$Index"));
    auto *find = vltest::child<QLineEdit>(viewer.get(), QStringLiteral("findField"));
    auto *index = vltest::child<QTreeWidget>(viewer.get(), QStringLiteral("indexList"));
    find->setText(QStringLiteral("INST"));
    ASSERT_TRUE(index->currentItem());
    EXPECT_EQ(index->currentItem()->text(0), QStringLiteral("install"));
    EXPECT_TRUE(index->currentItem()->isSelected());
    EXPECT_EQ(viewer->browser()->source().path(), dataDir() + QStringLiteral("install.html"));
    find->setText(QStringLiteral("intr"));
    EXPECT_EQ(index->currentItem()->text(0), QStringLiteral("introduction"));
    find->setText(QStringLiteral("introductions")); // longer than every row: no match
    EXPECT_EQ(index->currentItem()->text(0), QStringLiteral("introduction"));
    find->setText(QStringLiteral("zz"));
    EXPECT_EQ(index->currentItem()->text(0), QStringLiteral("introduction"));
}

TEST(HelpChooser, UpAndDownWalkOneLevelAndAreAlwaysTaken) {
    auto viewer = openViewer({QStringLiteral("book1.xml")});
    auto *find = vltest::child<QLineEdit>(viewer.get(), QStringLiteral("findField"));
    auto *index = vltest::child<QTreeWidget>(viewer.get(), QStringLiteral("indexList"));
    auto press = [&](Qt::Key key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        return viewer->chooser()->eventFilter(index, &event);
    };
    EXPECT_TRUE(press(Qt::Key_Down)); // no current row: taken, nothing happens
    EXPECT_EQ(index->currentItem(), nullptr);
    index->setCurrentItem(index->topLevelItem(0));
    struct Step {
        Qt::Key key;
        const char *current;
        const char *field;
    } steps[] = {
        {Qt::Key_Up, "install", ""}, // first row: stays
        {Qt::Key_Down, "instance", "instance"},
        {Qt::Key_Down, "introduction", "introduction"},
        {Qt::Key_Down, "introduction", "introduction"}, // last row: stays
        {Qt::Key_Up, "instance", "instance"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.current);
        EXPECT_TRUE(press(step.key));
        EXPECT_EQ(index->currentItem()->text(0), QLatin1String(step.current));
        EXPECT_EQ(find->text(), QLatin1String(step.field));
    }
    // Below the top level Up does nothing and Down stops at the last sibling.
    index->setCurrentItem(index->topLevelItem(0)->child(0));
    EXPECT_TRUE(press(Qt::Key_Up));
    EXPECT_TRUE(press(Qt::Key_Down));
    EXPECT_EQ(index->currentItem()->text(0), QStringLiteral("upgrade"));
    // Other keys go on to the list.
    QKeyEvent pageDown(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
    EXPECT_FALSE(viewer->chooser()->eventFilter(index, &pageDown));
}

TEST(HelpChooser, SearchListsTitlesAndColoursEveryOccurrence) {
    auto viewer = openViewer({QStringLiteral("book1.xml")});
    viewer->resize(700, 300);
    auto *field = vltest::child<QLineEdit>(viewer.get(), QStringLiteral("searchField"));
    auto *results = vltest::child<QListWidget>(viewer.get(), QStringLiteral("resultsList"));
    SOHelpBrowser *browser = viewer->browser();
    field->setText(QStringLiteral("Server instance"));
    viewer->chooser()->startSearch();
    // Best first: "server" occurs twice on the instance page.
    ASSERT_EQ(viewer->chooser()->foundFiles(),
              QStringList({QStringLiteral("instance.html"), QStringLiteral("install.html")}));
    ASSERT_EQ(results->count(), 2);
    EXPECT_EQ(results->item(0)->text(), QStringLiteral("Running two instances"));
    EXPECT_EQ(results->item(1)->text(), QStringLiteral("Installing & upgrading"));

    results->setCurrentRow(1);
    EXPECT_EQ(browser->source().path(), dataDir() + QStringLiteral("install.html"));
    QStringList coloured;
    EXPECT_EQ(redFragments(browser->document(), &coloured), 2);
    EXPECT_EQ(coloured, QStringList({QStringLiteral("server"), QStringLiteral("instance")}));
    const int first = browser->document()->toPlainText().indexOf(QStringLiteral("server"));
    EXPECT_EQ(browser->textCursor().position(), first);
    EXPECT_GT(browser->verticalScrollBar()->value(), 0); // the page is long, the words near its end

    // Choosing the shown page again reloads it and colours it once more.
    emit results->itemActivated(results->item(1));
    EXPECT_EQ(redFragments(browser->document()), 2);
    EXPECT_EQ(browser->backwardHistoryCount(), 0);

    // A search whose words are not on the page colours nothing and leaves the cursor.
    field->setText(QStringLiteral("mail"));
    viewer->chooser()->startSearch();
    const int common = viewer->chooser()->foundFiles().indexOf(QStringLiteral("common.html"));
    ASSERT_GE(common, 0);
    emit results->itemActivated(results->item(common));
    EXPECT_EQ(browser->source().path(), dataDir() + QStringLiteral("common.html"));
    EXPECT_EQ(redFragments(browser->document()), 0);
    EXPECT_EQ(browser->textCursor().position(), 0);
}

TEST(HelpChooser, UnbalancedQuotesWarnAndKeepTheResults) {
    auto viewer = openViewer({QStringLiteral("book1.xml")});
    auto *field = vltest::child<QLineEdit>(viewer.get(), QStringLiteral("searchField"));
    auto *results = vltest::child<QListWidget>(viewer.get(), QStringLiteral("resultsList"));
    field->setText(QStringLiteral("server"));
    viewer->chooser()->startSearch();
    ASSERT_EQ(results->count(), 3);
    QString seen;
    vltest::whenMessageBox(seen);
    field->setText(QStringLiteral("\"mail\" \"server"));
    viewer->chooser()->startSearch();
    EXPECT_EQ(seen, QStringLiteral("Help|Missing quote marks"));
    EXPECT_EQ(results->count(), 3);
    EXPECT_EQ(viewer->chooser()->foundFiles().size(), 3);
}

TEST(HelpLink, ArrivalsSplitIntoKeyLines) {
    const QByteArray longLine(SOHelpKeyReader::MaxLine + 1, 'x');
    const QByteArray fullLine(SOHelpKeyReader::MaxLine, 'y');
    struct Case {
        const char *what;
        QList<QByteArray> pieces;
        QList<QByteArray> lines;
        int dropped;
    } cases[] = {
        {"two keys in one arrival", {"a\nb\n"}, {"a", "b"}, 0},
        {"a partial line waits", {"a\nb", "c\n"}, {"a", "bc"}, 0},
        {"blank lines are lines", {"\n \n"}, {"", " "}, 0},
        {"the limit is kept", {fullLine + "\n"}, {fullLine}, 0},
        {"over the limit in one piece", {longLine + "\nk\n"}, {"k"}, 1},
        {"over the limit in pieces", {longLine.left(100), longLine.mid(100), "\nk\n"}, {"k"}, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        SOHelpKeyReader reader;
        QList<QByteArray> lines;
        for (const QByteArray &piece : c.pieces)
            lines += reader.feed(piece);
        EXPECT_EQ(lines, c.lines);
        EXPECT_EQ(reader.dropped(), c.dropped);
    }
}

// The application's side of the link: a listener the viewer connects to.
struct Link {
    QTcpServer server;
    QTcpSocket *peer = nullptr;
    int arrivals = 0; // data arrivals the viewer has read

    Link() { EXPECT_TRUE(server.listen(QHostAddress::LocalHost)); }
    bool accept() {
        if (!vltest::waitUntil([&] { return server.hasPendingConnections(); }))
            return false;
        peer = server.nextPendingConnection();
        return peer != nullptr;
    }
    // Counts the arrivals at the viewer's end: connected after the viewer's own reader, so a
    // counted arrival has been read.
    void watch(const SOHelpViewer *viewer) {
        auto *end = viewer->findChild<QTcpSocket *>();
        ASSERT_NE(end, nullptr);
        QObject::connect(end, &QIODevice::readyRead, &server, [this] { ++arrivals; });
    }
    void send(const QByteArray &bytes) {
        peer->write(bytes);
        peer->flush();
    }
    // Sends the bytes and waits until the viewer has read them.
    bool deliver(const QByteArray &bytes) {
        const int before = arrivals;
        send(bytes);
        return vltest::waitUntil([&] { return arrivals > before; });
    }
};

TEST(HelpLink, KeysArriveAsWholeLines) {
    Link link;
    auto viewer = openViewer({QStringLiteral("book1.xml")}, link.server.serverPort());
    ASSERT_TRUE(link.accept());
    link.watch(viewer.get());
    auto *tabs = vltest::child<QTabWidget>(viewer.get(), QStringLiteral("tabs"));
    SOHelpBrowser *browser = viewer->browser();
    const QString intro = dataDir() + QStringLiteral("intro.html");

    link.send("  $Index \n");
    ASSERT_TRUE(vltest::waitUntil([&] { return tabs->currentIndex() == 1; }));

    link.send("intro\n$Contents\n");
    ASSERT_TRUE(vltest::waitUntil([&] { return tabs->currentIndex() == 0; }));
    EXPECT_EQ(browser->source().path(), intro);

    // Half a key waits for its end, then shows once.
    ASSERT_TRUE(link.deliver("ext"));
    EXPECT_EQ(browser->source().path(), intro);
    link.send("ras\n");
    ASSERT_TRUE(vltest::waitUntil([&] { return browser->source().path() != intro; }));
    EXPECT_EQ(browser->source().path(), dataDir() + QStringLiteral("extras.html"));
    EXPECT_EQ(browser->backwardHistoryCount(), 1);

    // An over-long line, even in pieces, is dropped; the next key still counts.
    ASSERT_TRUE(link.deliver(QByteArray(3000, 'x')));
    link.send(QByteArray(3000, 'x') + "\n$Index\n");
    ASSERT_TRUE(vltest::waitUntil([&] { return tabs->currentIndex() == 1; }));
    EXPECT_EQ(browser->source().path(), dataDir() + QStringLiteral("extras.html"));
}

TEST(HelpLink, ClosingTheLinkSavesTheSettings) {
    openHelpSettings()->clear();
    Link link;
    auto viewer = openViewer({QStringLiteral("book1.xml")}, link.server.serverPort());
    ASSERT_TRUE(link.accept());
    link.peer->close();
    const auto settings = openHelpSettings();
    ASSERT_TRUE(vltest::waitUntil([&] {
        settings->sync();
        return settings->contains(QStringLiteral("/Velloran/0.1/Maximized"));
    }));
    for (const char *name : {"X", "Y", "W", "H", "Split"})
        EXPECT_TRUE(settings->contains(QStringLiteral("/Velloran/0.1/") + QLatin1String(name))) << name;
}

TEST(HelpLink, NobodyListeningLeavesTheViewerAlone) {
    openHelpSettings()->clear();
    quint16 port = 0;
    {
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
        port = closed.serverPort();
    }
    auto viewer = openViewer({QStringLiteral("book1.xml")}, port);
    auto *end = viewer->findChild<QTcpSocket *>();
    ASSERT_NE(end, nullptr);
    // The refusal has come back and been handled: the viewer saved nothing for it.
    ASSERT_TRUE(vltest::waitUntil([&] { return end->error() == QAbstractSocket::ConnectionRefusedError; }));
    EXPECT_EQ(end->state(), QAbstractSocket::UnconnectedState);
    EXPECT_FALSE(openHelpSettings()->contains(QStringLiteral("/Velloran/0.1/X")));
    viewer->setHelpKey(QStringLiteral("intro"));
    EXPECT_EQ(viewer->browser()->source().path(), dataDir() + QStringLiteral("intro.html"));
}

} // namespace
