// The vlhelp program on a private X server, started as the application starts it, with the
// test listening for its link; and pictures of the window for review.
#include "help/browser.h"
#include "help/chooser.h"
#include "help/globals.h"
#include "help/viewer.h"
#include "help_fixture.h"

#include "GuiHelpers.h"
#include "TempDir.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using helptest::dataDir;

// vlhelp run in its own folder with its own settings.
struct Program {
    vltest::TempDir home{"vlhelp-run"};
    QProcess process;

    QString folder() const { return QString::fromStdString(home.path()); }
    QString settingsFile() const {
        return folder() + QStringLiteral("/config/brindlecot.example/vlhelp.conf");
    }

    void start(const QStringList &arguments) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), folder() + QStringLiteral("/config"));
        env.insert(QStringLiteral("HOME"), folder());
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(folder());
        process.start(QStringLiteral(VLHELP_PROGRAM), arguments);
        ASSERT_TRUE(process.waitForStarted(20000));
    }
    // Waits (bounded, on the event loop) for the program's end.
    bool finished(int timeoutMs = 30000) {
        return vltest::waitUntil([&] { return process.state() == QProcess::NotRunning; }, timeoutMs);
    }
    // Its standard error so far.
    QString err() {
        m_err += process.readAllStandardError();
        return QString::fromLocal8Bit(m_err);
    }
    // Waits (bounded, on the event loop) until its standard error holds the text.
    bool waitForErr(const QString &text, int timeoutMs = 30000) {
        return vltest::waitUntil([&] { return err().contains(text); }, timeoutMs);
    }
    ~Program() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(10000);
        }
    }

private:
    QByteArray m_err;
};

TEST(HelpProgram, ClosingTheLinkEndsItWithItsSettingsSaved) {
    QTcpServer listener;
    ASSERT_TRUE(listener.listen(QHostAddress::LocalHost));
    Program program;
    program.start({QStringLiteral("--helpdir"), QString(dataDir()).chopped(1), QStringLiteral("--helpkey"),
                   QStringLiteral("intro"), QStringLiteral("--comms"),
                   QString::number(listener.serverPort())});
    ASSERT_TRUE(vltest::waitUntil([&] { return listener.hasPendingConnections(); }, 30000));
    QTcpSocket *link = listener.nextPendingConnection();
    link->write("$Index\n");
    link->flush();
    // The key is taken before the link closes.
    EXPECT_TRUE(program.waitForErr(QStringLiteral("SOHelpViewer::slotReadyRead: got key [$Index]")))
        << program.err().toStdString();
    link->close();
    ASSERT_TRUE(program.finished());
    EXPECT_EQ(program.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.process.exitCode(), 0);

    const QString err = program.err();
    const QString banner =
        QStringLiteral("BCHelp: cwd     =%1\n        helpdir =%2\n        helpkey =intro\n"
                       "        helpport=%3\n")
            .arg(QDir(program.folder()).absolutePath(), dataDir(), QString::number(listener.serverPort()));
    EXPECT_TRUE(err.contains(banner)) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("SOHelpViewer::slotReadyRead: got key [$Index]")))
        << err.toStdString();

    QSettings stored(program.settingsFile(), QSettings::IniFormat);
    for (const char *name : {"X", "Y", "W", "H", "Split", "Maximized"})
        EXPECT_TRUE(stored.contains(QStringLiteral("Velloran/0.1/") + QLatin1String(name))) << name;
    EXPECT_GT(stored.value(QStringLiteral("Velloran/0.1/W")).toInt(), 99);
}

TEST(HelpProgram, WithoutListenerItRunsAlone) {
    quint16 port = 0;
    {
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
        port = closed.serverPort();
    }
    Program program;
    program.start({QStringLiteral("--helpdir"), dataDir(), QStringLiteral("--comms"), QString::number(port)});
    EXPECT_FALSE(program.finished(3000));
    EXPECT_EQ(program.process.state(), QProcess::Running);
}

// Pictures of the window: a found page with its search words coloured, and the index tab.
TEST(HelpProgram, Screenshots) {
    vlHelpDir = dataDir();
    xmlFiles = {dataDir() + QStringLiteral("book1.xml"), dataDir() + QStringLiteral("book2.xml")};
    SOHelpViewer viewer(0, nullptr, QStringLiteral("Velloran Help"));
    viewer.setGeometry(40, 40, 900, 560);
    viewer.show();
    ASSERT_TRUE(vltest::activate(&viewer));
    auto *tabs = vltest::child<QTabWidget>(&viewer, QStringLiteral("tabs"));
    tabs->setCurrentIndex(2);
    vltest::child<QLineEdit>(&viewer, QStringLiteral("searchField"))
        ->setText(QStringLiteral("server instance"));
    viewer.chooser()->startSearch();
    auto *results = vltest::child<QListWidget>(&viewer, QStringLiteral("resultsList"));
    ASSERT_GT(results->count(), 0);
    results->setCurrentRow(results->count() - 1); // the long page, scrolled to the words
    QTest::qWait(200);
    EXPECT_FALSE(vltest::saveScreenshot(&viewer, QStringLiteral("help_viewer_search")).isEmpty());
    EXPECT_TRUE(vltest::mnemonicClashes(&viewer).isEmpty())
        << vltest::mnemonicClashes(&viewer).join(u' ').toStdString();

    viewer.setHelpKey(QStringLiteral("$Index"));
    vltest::child<QLineEdit>(&viewer, QStringLiteral("findField"))->setText(QStringLiteral("inst"));
    QTest::qWait(200);
    EXPECT_FALSE(vltest::saveScreenshot(&viewer, QStringLiteral("help_viewer_index")).isEmpty());
    viewer.setHelpKey(QStringLiteral("$Contents"));
    vltest::child<QTreeWidget>(&viewer, QStringLiteral("contentsList"))->expandAll();
    QTest::qWait(200);
    EXPECT_FALSE(vltest::saveScreenshot(&viewer, QStringLiteral("help_viewer_contents")).isEmpty());
}

} // namespace
