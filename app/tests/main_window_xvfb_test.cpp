// The main window on a real X server with a small tray of our own (fake_tray) and a real
// Dovecot: the start-up check lists the mail without a click, the icon docks, a close puts
// the window into the tray and a tray click brings it back, a lost tray never strands a
// hidden window, processing deletes the marked mail on the server and starts the mail
// program, and Exit ends the event loop.

#include "data_folder.h"
#include "tray_program.h"

#include "app/MailBox.h"
#include "app/RKTrayIcon.h"
#include "app/RKTrayIconPrivate.h"
#include "app/VLMailLister.h"
#include "app/VLMailTable.h"
#include "app/VLMainWindow.h"
#include "app/VLScannerItem.h"
#include "app/VLSidePanel.h"
#include "data/store_account_list.h"
#include "data/store_list_matches.h"
#include "data/store_options.h"
#include "data/store_tools.h"

#include "DovecotServer.h"
#include "GuiHelpers.h"

#include <QAction>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;
using vltest::DovecotServer;

const apptest::DataFolder &folder() {
    static apptest::DataFolder f;
    return f;
}

// The fake tray manager, stopped at the end (or earlier, to take the tray away).
class FakeTray {
public:
    FakeTray() {
        m_program.start(QStringLiteral(VL_FAKE_TRAY));
        started = m_program.line().startsWith(u"owns "_s);
    }
    void stop() { m_program.stop(); }
    bool started = false;

private:
    apptest::TrayProgram m_program;
};

QByteArray mail(const QByteArray &subject, const QByteArray &from) {
    return "From: " + from + "\r\nTo: carol@example.org\r\nSubject: " + subject + "\r\nMessage-ID: <" +
           subject + "@example.org>\r\nDate: Mon, 2 Jan 2006 10:20:30 -0800\r\n\r\nBody of " + subject +
           "\r\n";
}

// Subjects of the messages the server still holds for the user.
QStringList onServer(const QString &maildir) {
    QStringList out;
    QDirIterator it(maildir, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (it.filePath().mid(maildir.size()).startsWith(u"/tmp/"_s) || !f.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : f.readAll().split('\n'))
            if (line.startsWith("Subject: "))
                out << QString::fromUtf8(line.mid(9).trimmed());
    }
    out.sort();
    return out;
}

class MainWindowOnX : public ::testing::Test {
protected:
    void SetUp() override {
        folder();
        DovecotServer &server = DovecotServer::instance();
        server.addUser(u"carol"_s, u"carol-pw"_s);
        vltest::fillMaildir(server.maildir(u"carol"_s), {mail("greeting", "Friend <friend@example.org>"),
                                                         mail("cheap pills", "Spammer <spam@bad.example>"),
                                                         mail("newsletter", "News <news@example.org>")});
        DataAccount home;
        home.type = DataAccount::POP3;
        home.pop3.name_.name = u"Home"_s;
        home.pop3.name_.inDefault = true;
        home.pop3.incoming.serverAddress = server.host();
        home.pop3.incoming.userName = u"carol"_s;
        home.pop3.incoming.password = u"carol-pw"_s;
        home.pop3.incoming.advanced.portNumber = server.pop3Port();
        StoreAccountList::accounts()->accountList = {home};

        DataOptions &options = *StoreOptions::options();
        options.general.checkOnStartup = true;
        options.general.minimizeOnClose = true;
        options.general.systrayOnMinimize = true;
        options.general.launchAfterProcess = true;
        options.general.useSpecifiedClient = true;
        options.general.specifiedClient = u"touch '"_s + folder().file(u"launched"_s) + u'\'';
        options.summary.messageLogging = true;
        options.summary.allowRevovery = true;

        DataEmailMatch spammer;
        spammer.address = u"spam@bad.example"_s;
        spammer.lastUsed = 1000;
        StoreListEmailMatch::blacklist()->entries = {spammer};
        StoreTools::tools()->blacklist.markDelete = true;
        StoreTools::tools()->blacklist.action = 1;
    }
};

QStringList subjects(VLMailLister *lister) {
    QStringList out;
    VLMailTable *table = lister->mailTable();
    for (int row = 0; row < table->numVirtualRows(); ++row)
        if (const VLScannerItem *item = table->scannerItem(row))
            out << item->message().subject;
    out.sort();
    return out;
}

int rowOf(VLMailLister *lister, const QString &subject) {
    VLMailTable *table = lister->mailTable();
    for (int row = 0; row < table->numVirtualRows(); ++row)
        if (const VLScannerItem *item = table->scannerItem(row); item && item->message().subject == subject)
            return row;
    return -1;
}

TEST_F(MainWindowOnX, StartUpCheckThenProcessingDeletesTheMarkedMailAndStartsTheMailProgram) {
    FakeTray tray;
    ASSERT_TRUE(tray.started);
    VLMainWindow window;
    window.show();
    window.resize(1000, 640);
    QTimer::singleShot(0, &window, &VLMainWindow::slotStartup);

    // Listed with no click, and the icon sits in the tray.
    ASSERT_TRUE(vltest::waitUntil([&] { return subjects(window.mailLister()).size() == 3; }, 30000));
    ASSERT_TRUE(vltest::waitUntil([&] { return window.trayIcon() && window.trayIcon()->isDocked(); }, 10000));
    ASSERT_TRUE(vltest::waitUntil([] { return !MailBox::self()->busy(); }, 30000));

    // The side panel shown beside the rows, for the picture.
    window.findChild<QAction *>(u"viewSide"_s)->trigger();
    ASSERT_TRUE(vltest::activate(&window));
    QTest::qWait(200);
    EXPECT_FALSE(vltest::saveScreenshot(&window, u"main_window"_s).isEmpty());

    // D on the greeting's row marks it; the blacklisted sender's row is marked already.
    const int row = rowOf(window.mailLister(), u"greeting"_s);
    ASSERT_GE(row, 0);
    VLMailTable *table = window.mailLister()->mailTable();
    table->setFocus();
    table->selectRow(row);
    QTest::keyClick(table, Qt::Key_D);
    EXPECT_TRUE(table->scannerItem(row)->isDeleteChecked());
    EXPECT_TRUE(table->scannerItem(rowOf(window.mailLister(), u"cheap pills"_s))->isDeleteChecked());

    auto *toolbar = window.findChild<QToolBar *>(u"toolbar"_s);
    auto *process =
        qobject_cast<QToolButton *>(toolbar->widgetForAction(window.findChild<QAction *>(u"processMail"_s)));
    ASSERT_NE(process, nullptr);
    QTest::mouseClick(process, Qt::LeftButton);
    // The servers have work now: the end of processing waits for the queue's idle report.
    EXPECT_TRUE(window.processing());
    EXPECT_FALSE(QFile::exists(folder().file(u"launched"_s)));

    const QString launched = folder().file(u"launched"_s);
    EXPECT_TRUE(vltest::waitUntil([&] { return QFile::exists(launched); }, 30000));
    EXPECT_FALSE(window.processing());
    EXPECT_EQ(onServer(DovecotServer::instance().maildir(u"carol"_s)), QStringList{u"newsletter"_s});
    // The rows of the deleted messages go once the server has confirmed.
    EXPECT_TRUE(vltest::waitUntil(
        [&] { return subjects(window.mailLister()) == QStringList{u"newsletter"_s}; }, 5000));
    // One entry per processed message (its fields are percent-encoded).
    const QByteArray log = folder().read(u"history.vlp"_s);
    EXPECT_TRUE(log.contains("greeting")) << log.toStdString();
    EXPECT_TRUE(log.contains("cheap%20pills")) << log.toStdString();
}

TEST_F(MainWindowOnX, CloseAndMinimiseWithTheIconDocked) {
    FakeTray tray;
    ASSERT_TRUE(tray.started);
    StoreOptions::options()->general.checkOnStartup = false;
    const struct {
        const char *name;
        bool minimizeOnClose;
        bool systrayOnMinimize;
        bool minimise; // minimise instead of close
        bool hidden;
        bool closed;
    } cases[] = {
        {"close puts into the tray", true, false, false, true, false},
        {"close ends", false, true, false, true, true},
        {"minimise goes into the tray", false, true, true, true, false},
        {"minimise stays a minimise", true, false, true, false, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        DataOptionsGeneral &general = StoreOptions::options()->general;
        general.minimizeOnClose = c.minimizeOnClose;
        general.systrayOnMinimize = c.systrayOnMinimize;
        VLMainWindow window;
        window.show();
        window.slotStartup();
        ASSERT_TRUE(vltest::waitUntil([&] { return window.trayIcon()->isDocked(); }, 10000));
        if (c.minimise)
            window.showMinimized();
        else
            window.close();
        // Put away: waited for. Left standing: a short look, ended early should it go.
        if (c.hidden)
            EXPECT_TRUE(vltest::waitUntil([&] { return window.isHidden(); }, 10000));
        else
            EXPECT_FALSE(vltest::waitUntil([&] { return window.isHidden(); }, 200));
        EXPECT_EQ(window.isHidden(), c.hidden);
        // Only a real close takes the icon away.
        EXPECT_EQ(window.trayIcon() == nullptr, c.closed);
    }
}

TEST_F(MainWindowOnX, TrayMenu) {
    FakeTray tray;
    ASSERT_TRUE(tray.started);
    StoreOptions::options()->general.checkOnStartup = false;
    VLMainWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.slotStartup();
    ASSERT_TRUE(vltest::waitUntil([&] { return window.trayIcon()->isDocked(); }, 10000));
    QMenu *menu = window.trayMenu();
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (const QAction *a : menu->actions())
        items << (a->isSeparator() ? u"--"_s : a->text());
    EXPECT_EQ(items,
              (QStringList{QString(), u"Options"_s, u"Check Mail"_s, u"--"_s, u"Show/Hide"_s, u"Exit"_s}));
    menu->popup(QPoint(100, 100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    QTest::qWait(100);
    EXPECT_FALSE(vltest::saveScreenshot(menu, u"main_window_tray_menu"_s).isEmpty());
    menu->close();
}

// Last: it runs the application's own event loop to its end.
TEST_F(MainWindowOnX, TheTrayTakesTheWindowAndGivesItBackAndExitEndsTheLoop) {
    auto tray = std::make_unique<FakeTray>();
    ASSERT_TRUE(tray->started);
    StoreOptions::options()->general.checkOnStartup = false;
    VLMainWindow window;
    window.show();
    window.slotStartup();
    ASSERT_TRUE(vltest::waitUntil([&] { return window.trayIcon()->isDocked(); }, 10000));
    ASSERT_TRUE(vltest::activate(&window));

    // A close only puts the window into the tray; a click on the icon brings it back.
    window.close();
    EXPECT_TRUE(vltest::waitUntil([&] { return window.isHidden(); }, 3000));
    QWidget *dock = window.trayIcon()->dockWindow();
    ASSERT_NE(dock, nullptr);
    QTest::mouseClick(dock, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(vltest::waitUntil([&] { return window.isVisible() && !window.isMinimized(); }, 5000));

    // Minimising goes into the tray too...
    window.showMinimized();
    EXPECT_TRUE(vltest::waitUntil([&] { return window.isHidden(); }, 5000));
    // ...and when the tray goes, the window comes back minimised rather than stay lost.
    tray->stop();
    EXPECT_TRUE(vltest::waitUntil([&] { return window.isVisible(); }, 10000));
    EXPECT_TRUE(window.isMinimized());
    // Without a tray a close only minimises.
    window.close();
    QTest::qWait(100);
    EXPECT_TRUE(window.isVisible());

    // Exit ends the event loop itself, though the application does not quit with its last
    // window.
    QApplication::setQuitOnLastWindowClosed(false);
    QTimer::singleShot(0, &window, &VLMainWindow::slotExit);
    bool timedOut = false;
    QTimer::singleShot(20000, qApp, [&timedOut] {
        timedOut = true;
        QCoreApplication::exit(99);
    });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_TRUE(window.isHidden());
    EXPECT_EQ(window.trayIcon(), nullptr);
}

} // namespace
