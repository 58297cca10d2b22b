#include "help/browser.h"
#include "help_fixture.h"

#include "TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

using namespace Qt::Literals::StringLiterals;

using helptest::dataDir;

namespace {

// Stand-in web browsers in folders of a temporary tree that is the whole PATH; each
// appends its name and arguments, one a line, to one log.
class BrowserFolders {
public:
    BrowserFolders() : m_oldPath(qgetenv("PATH")) {}
    ~BrowserFolders() { qputenv("PATH", m_oldPath); }

    // folders: each a space-separated list of the programs it holds ("" for none).
    void setPath(const std::vector<std::string> &folders, bool executable = true) {
        QStringList path;
        for (size_t i = 0; i < folders.size(); ++i) {
            const QString folder = QString::fromStdString(m_root.file("bin" + std::to_string(i)));
            QDir().mkpath(folder);
            for (const QString &name : QString::fromStdString(folders[i]).split(u' ', Qt::SkipEmptyParts)) {
                const QString program = folder + u'/' + name;
                vltest::writeFile(program.toStdString(), "#!/bin/sh\nprintf '%s\\n' \"${0##*/}\" \"$@\" >>'" +
                                                             log().toStdString() + "'\n");
                QFile::setPermissions(program,
                                      executable ? QFile::ReadOwner | QFile::ExeOwner : QFile::ReadOwner);
            }
            path << folder;
        }
        qputenv("PATH", path.join(u':').toLocal8Bit());
    }
    [[nodiscard]] QString folder(size_t i) const {
        return QString::fromStdString(m_root.file("bin" + std::to_string(i)));
    }
    [[nodiscard]] QString log() const { return QString::fromStdString(m_root.file("started.log")); }
    // The log once it holds lines lines (an empty string if it never does).
    [[nodiscard]] QString waitForLog(int lines) const {
        QString text;
        (void)QTest::qWaitFor(
            [&] {
                QFile file(log());
                text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
                return text.count(u'\n') >= lines;
            },
            30000);
        return text;
    }

private:
    vltest::TempDir m_root{"help-browser"};
    QByteArray m_oldPath;
};

struct PageBrowser {
    PageBrowser() {
        browser.setSearchPaths({dataDir()});
        browser.resize(400, 200);
        browser.show();
        browser.setSource(QStringLiteral("intro.html"));
    }
    SOHelpBrowser browser{nullptr, nullptr, QStringLiteral("browser")};
};

TEST(HelpBrowser, FindsBrowsersNameByName) {
    const struct {
        const char *name;
        std::vector<std::string> folders;
        int folder; // -1: none
        const char *program;
    } cases[] = {
        {"NameBeforeFolder", {"opera", "", "firefox"}, 2, "firefox"},
        {"FirstFolderOfOneName", {"konqueror", "konqueror firefox"}, 1, "firefox"},
        {"LaterOfTheSix", {"netscape galeon"}, 0, "galeon"},
        {"OpenersAfterTheSix", {"chromium xdg-open", "netscape"}, 1, "netscape"},
        {"OpenersInTheirOrder", {"chromium firefox-esr", "x-www-browser"}, 1, "x-www-browser"},
        {"LastOpener", {"chromium"}, 0, "chromium"},
        {"OthersAreNoBrowsers", {"lynx w3m"}, -1, ""},
        {"NoFolders", {}, -1, ""},
    };
    for (const auto &c : cases) {
        BrowserFolders folders;
        folders.setPath(c.folders);
        const QString expected =
            c.folder < 0 ? QString() : folders.folder(size_t(c.folder)) + u'/' + QLatin1String(c.program);
        EXPECT_EQ(SOHelpBrowser::findWebBrowser(), expected) << c.name;
    }
}

TEST(HelpBrowser, FolderOrderOfPathIsKeptAndEmptyPartsSkipped) {
    BrowserFolders folders;
    folders.setPath({"", "opera"});
    qputenv("PATH", (u"::"_s + folders.folder(0) + u':' + folders.folder(1) + u':').toLocal8Bit());
    EXPECT_EQ(SOHelpBrowser::findWebBrowser(), folders.folder(1) + QLatin1String("/opera"));
}

TEST(HelpBrowser, ProgramsThatCannotRunAreSkipped) {
    BrowserFolders folders;
    folders.setPath({"firefox"}, false);
    EXPECT_TRUE(SOHelpBrowser::findWebBrowser().isNull());
    QDir().mkpath(folders.folder(0) + QLatin1String("/konqueror")); // a folder, not a program
    EXPECT_TRUE(SOHelpBrowser::findWebBrowser().isNull());
}

TEST(HelpBrowser, WebLinksStartTheOutsideBrowserAndThePageStays) {
    BrowserFolders folders;
    folders.setPath({"opera", "", "firefox"});
    PageBrowser page;
    const QString text = page.browser.toPlainText();
    ASSERT_TRUE(text.contains(QLatin1String("Getting started")));

    // mailto does nothing: only the two web links reach the log.
    page.browser.setSource(QStringLiteral("mailto:a@b"));
    page.browser.setSource(QStringLiteral("HTTP://example.org/x"));
    EXPECT_EQ(folders.waitForLog(2), QStringLiteral("firefox\nHTTP://example.org/x\n"));
    page.browser.setSource(QStringLiteral("https://example.org/a b?q=$(true);'x'"));
    EXPECT_EQ(
        folders.waitForLog(4),
        QStringLiteral("firefox\nHTTP://example.org/x\nfirefox\nhttps://example.org/a b?q=$(true);'x'\n"));

    EXPECT_EQ(page.browser.source(), QUrl(QStringLiteral("intro.html")));
    EXPECT_EQ(page.browser.toPlainText(), text);
}

TEST(HelpBrowser, ClickedWebLinkGoesOutsideToo) {
    BrowserFolders folders;
    folders.setPath({"firefox"});
    PageBrowser page;
    page.browser.setHtml(QStringLiteral("<p><a href=\"http://example.org/c\">web</a></p>"));
    page.browser.setFocus();
    // Tab moves to the link, Return follows it as a click would.
    QTest::keyClick(&page.browser, Qt::Key_Tab);
    QTest::keyClick(&page.browser, Qt::Key_Return);
    EXPECT_EQ(folders.waitForLog(2), QStringLiteral("firefox\nhttp://example.org/c\n"));
    EXPECT_TRUE(page.browser.toPlainText().startsWith(QLatin1String("web")));
}

TEST(HelpBrowser, NoWebBrowserSaysSo) {
    BrowserFolders folders;
    folders.setPath({"lynx"});
    PageBrowser page;
    QString caption;
    QString text;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, &timer, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            caption = box->windowTitle();
            text = box->text();
            box->close();
        }
    });
    timer.start();
    page.browser.setSource(QStringLiteral("http://example.org/"));
    EXPECT_EQ(caption, QStringLiteral("Help"));
    EXPECT_EQ(text, QStringLiteral("Cannot find a web browser"));
    EXPECT_EQ(page.browser.source(), QUrl(QStringLiteral("intro.html")));
}

TEST(HelpBrowser, PageWithAnchorLoadsFromTheHelpFolderAtTheAnchor) {
    PageBrowser page;
    EXPECT_EQ(page.browser.verticalScrollBar()->value(), 0);
    page.browser.setSource(QStringLiteral("install.html#upgrade"));
    EXPECT_EQ(page.browser.source(), QUrl(QStringLiteral("install.html#upgrade")));
    EXPECT_TRUE(page.browser.toPlainText().contains(QLatin1String("Step 80 of the installation")));
    EXPECT_GT(page.browser.verticalScrollBar()->value(), 0);
    // The history leads back to the first page.
    page.browser.backward();
    EXPECT_EQ(page.browser.source(), QUrl(QStringLiteral("intro.html")));
}

TEST(HelpBrowser, EmptyNameChangesNothing) {
    PageBrowser page;
    const QString text = page.browser.toPlainText();
    ::testing::internal::CaptureStderr();
    page.browser.setSource(QString());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "SOHelpBrowser::setSource: []\n");
    EXPECT_EQ(page.browser.toPlainText(), text);
}

TEST(HelpBrowser, BlockedScrollingHoldsTheViewUntilUnblocked) {
    PageBrowser page;
    page.browser.blockScrolling(true);
    // A page loaded while blocked opens where it opens; finds and cursor moves do not move it.
    page.browser.setSource(QStringLiteral("install.html"));
    ASSERT_EQ(page.browser.verticalScrollBar()->value(), 0);
    ASSERT_TRUE(page.browser.find(QStringLiteral("Closing note 40")));
    page.browser.ensureCursorVisible();
    page.browser.blockScrolling(false);
    EXPECT_EQ(page.browser.verticalScrollBar()->value(), 0);
    EXPECT_FALSE(page.browser.scrollingBlocked());

    // Unblocked, the cursor scrolls the view again.
    page.browser.ensureCursorVisible();
    EXPECT_GT(page.browser.verticalScrollBar()->value(), 0);
}

} // namespace
