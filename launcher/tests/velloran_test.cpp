// The velloran program itself, end to end on the test's X display: what a user sees at the
// first start, one instance per user, the end by signal with a long-standing user's records
// kept, the help viewer behind the Help menu, the environment and options it reads, and what
// it says without a display.
#include "data/data_account_list.h"
#include "data/data_options.h"
#include "data/store.h"

#include "DovecotServer.h"
#include "GuiHelpers.h"
#include "TempDir.h"
#include "launcher_process.h"
#include "seed_user_data.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSettings>

#include <algorithm>
#include <csignal>
#include <sys/stat.h>

namespace {

const QString kMainTitle = QStringLiteral("Velloran Pro V2.0.0");
const QString kHelpTitle = QStringLiteral("Velloran Pro Help V1");

bool isMain(const XWindow &w) {
    return w.type == QLatin1String("NORMAL") && w.title == kMainTitle;
}
bool isSplash(const XWindow &w) {
    return w.type == QLatin1String("SPLASH");
}

qsizetype count(const QList<XWindow> &windows, bool (*test)(const XWindow &)) {
    return std::count_if(windows.begin(), windows.end(), test);
}

// velloran as the README's run.sh starts it: the staged data, the viewer of the build.
class Velloran : public LauncherProcess {
public:
    Velloran(const QString &home, const QStringList &env = {}, const QStringList &args = {})
        : LauncherProcess(
              QStringLiteral(VELLORAN), home,
              QStringList{QStringLiteral("VL_SHAREDIR=" VL_BINARY_DIR "/share/"),
                          QStringLiteral("PATH=" VL_BINARY_DIR "/help:") + qEnvironmentVariable("PATH")} +
                  env,
              args) {}
    XWindow mainWindow(int timeoutMs = 30000) { return waitForWindow(pid(), isMain, timeoutMs); }
};

// Writes a record to its file in folder as the program's store of that name would.
QString writeRecord(const QString &folder, const QString &name, Data *record) {
    Store store(folder, name, record);
    store.setChanged(false);
    return store.saveToStore();
}

// A data folder seeded once per run, copied into each test's home.
QString g_seeded;

class VelloranProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static vltest::TempDir seeded("velloran-seed");
        g_seeded = QString::fromStdString(seeded.path()) + QStringLiteral("/data/");
        ASSERT_TRUE(seedUserData(g_seeded, {.logEntries = 300,
                                            .seenEntries = 300,
                                            .listEntries = 200,
                                            .cachedMessages = 40,
                                            .bayesTokens = 5000}));
    }

    vltest::TempDir tmp{"velloran"};
    QString home = QString::fromStdString(tmp.path());
    QString dataDir = home + QStringLiteral("/.brindlecot/Velloran2/");

    QStringList leftovers() const {
        QStringList names;
        for (const QString &name : folderContents(dataDir).keys())
            if (name.endsWith(QLatin1String(".new")))
                names << name;
        return names;
    }
    // Opens an entry of the Help menu from the keyboard: the menu by its mnemonic, then the
    // entry by its place (Contents, Index, About).
    static void helpMenu(const XWindow &main, int entry) {
        QStringList keys{QStringLiteral("alt+h")};
        for (int i = 0; i < entry; ++i)
            keys << QStringLiteral("Down");
        keys << QStringLiteral("Return");
        typeKeys(main.id, keys);
    }
};

TEST_F(VelloranProgram, FirstStartShowsTheSplashThenTheWindowAndMakesTheFolders) {
    Velloran run(home);
    // No options stored yet: the splash is on.
    const XWindow splash = waitForWindow(run.pid(), isSplash);
    ASSERT_FALSE(splash.id.isEmpty()) << run.err().toStdString();
    EXPECT_LE(splash.geometry.width(), 565);
    EXPECT_LE(splash.geometry.height(), 440);
    const XWindow main = run.mainWindow();
    ASSERT_FALSE(main.id.isEmpty()) << run.err().toStdString();
    EXPECT_TRUE(main.viewable);
    // Without a window manager nothing keeps the splash above the window that came later:
    // raised for its picture, while it still stands.
    xdotool({QStringLiteral("windowraise"), splash.id});
    EXPECT_TRUE(vltest::waitUntil([&] { return onTop(run.pid(), splash.id); }, 5000));
    EXPECT_FALSE(grabWindow(splash, QStringLiteral("velloran_splash")).isEmpty());
    EXPECT_EQ(count(windowsOf(run.pid()), isMain), 1);
    for (const char *folder : {"/.brindlecot", "/.brindlecot/Velloran2", "/.brindlecot/Velloran2/cache"})
        EXPECT_TRUE(QFileInfo(home + QLatin1String(folder)).isDir()) << folder;
    // The recycle bin's names are Message-IDs: its folder is the user's alone.
    struct stat cache;
    ASSERT_EQ(::stat(QFile::encodeName(dataDir + QStringLiteral("cache")).constData(), &cache), 0);
    EXPECT_EQ(cache.st_mode & 07777, 0700u);

    run.signal(SIGTERM);
    EXPECT_EQ(run.finish(), 0) << run.err().toStdString();
    EXPECT_FALSE(run.err().contains(QLatin1String("main: "))) << run.err().toStdString();
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(VelloranProgram, OneInstancePerUserEvenWhenTwoStartAtOnce) {
    Velloran a(home);
    Velloran b(home);
    const QString already = QStringLiteral("main: VLSingleApplication already running\n");
    ASSERT_TRUE(
        vltest::waitUntil([&] { return a.err().contains(already) || b.err().contains(already); }, 30000));
    ASSERT_TRUE(dismissTheBox());
    Velloran &loser = a.err().contains(already) ? a : b;
    Velloran &winner = &loser == &a ? b : a;
    EXPECT_EQ(loser.finish(), 1);
    ASSERT_FALSE(winner.mainWindow().id.isEmpty()) << winner.err().toStdString();
    EXPECT_FALSE(winner.err().contains(already));
    EXPECT_EQ(windowsOf(loser.pid()).size(), 0);

    // A later start shows the box; Return ends it with 1 and the first runs on untouched.
    Velloran late(home);
    ASSERT_TRUE(late.waitFor(already)) << late.err().toStdString();
    ASSERT_TRUE(dismissTheBox());
    EXPECT_EQ(late.finish(), 1);
    EXPECT_FALSE(late.err().contains(QLatin1String("VLSplashScreen")));
    // The first runs on: a short look, ended early should it end.
    EXPECT_FALSE(vltest::waitUntil([&] { return !winner.running(); }, 300));
    EXPECT_TRUE(winner.running());
    EXPECT_EQ(count(windowsOf(winner.pid()), isMain), 1);
    winner.signal(SIGTERM);
    EXPECT_EQ(winner.finish(), 0) << winner.err().toStdString();
}

TEST_F(VelloranProgram, ASignalEndsItWithTheRecordsKeptAlsoWithTheAboutBoxOpen) {
    for (const bool aboutOpen : {false, true}) {
        SCOPED_TRACE(aboutOpen ? "About box open" : "window only");
        ASSERT_TRUE(QDir(dataDir).removeRecursively() || !QFileInfo::exists(dataDir));
        ASSERT_TRUE(copyFolder(g_seeded, dataDir));
        const QMap<QString, QByteArray> before = folderContents(dataDir);
        ASSERT_TRUE(before.contains(QStringLiteral("seenemail.vlp")));

        Velloran run(home);
        const XWindow main = run.mainWindow();
        ASSERT_FALSE(main.id.isEmpty()) << run.err().toStdString();
        if (aboutOpen) {
            helpMenu(main, 2);
            const XWindow about = waitForWindow(
                run.pid(), [](const XWindow &w) { return w.title == QLatin1String("About Velloran Pro"); });
            ASSERT_FALSE(about.id.isEmpty()) << run.err().toStdString();
        }
        run.signal(SIGTERM);
        EXPECT_EQ(run.finish(), 0) << run.err().toStdString();
        EXPECT_TRUE(run.err().contains(QLatin1String("signal 15: shutting down")));

        // Nothing of it changed in the run: every file is left byte for byte, the seen list
        // (written at every end) included.
        const QMap<QString, QByteArray> after = folderContents(dataDir);
        for (auto it = before.begin(); it != before.end(); ++it)
            EXPECT_TRUE(after.value(it.key()) == it.value()) << it.key().toStdString();
        EXPECT_EQ(leftovers(), QStringList());
    }
}

TEST_F(VelloranProgram, HelpContentsAndIndexOpenTheViewerWhichEndsWithTheProgram) {
    Velloran run(home);
    const XWindow main = run.mainWindow();
    ASSERT_FALSE(main.id.isEmpty()) << run.err().toStdString();

    helpMenu(main, 0);
    QString viewerId;
    ASSERT_TRUE(vltest::waitUntil(
        [&] {
            viewerId =
                xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                         QStringLiteral("^") + kHelpTitle + QLatin1Char('$')});
            return !viewerId.isEmpty();
        },
        30000))
        << run.err().toStdString();
    const qint64 viewerPid = xdotool({QStringLiteral("getwindowpid"), viewerId}).toLongLong();
    ASSERT_GT(viewerPid, 0);
    // Started on the installed book of the build, on the contents.
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(viewerPid));
    ASSERT_TRUE(cmdline.open(QIODevice::ReadOnly));
    const QList<QByteArray> args = cmdline.readAll().split('\0');
    EXPECT_TRUE(args.contains(QByteArray(VL_BINARY_DIR "/share/help/"))) << args.join(' ').constData();
    EXPECT_TRUE(args.contains(QByteArray("$Contents")));
    // The next key goes to the viewer once the program has taken the link it opened.
    ASSERT_TRUE(vltest::waitUntil([&] { return linked(run.pid(), viewerPid); }, 30000))
        << run.err().toStdString();
    XWindow viewer = waitForWindow(viewerPid, [](const XWindow &w) { return w.title == kHelpTitle; });
    const QString contents = grabWindow(viewer, QStringLiteral("velloran_help_contents"));
    ASSERT_FALSE(contents.isEmpty());

    // Index goes to the same viewer, which goes over to its index: the window looks different.
    helpMenu(main, 1);
    ASSERT_TRUE(run.waitFor(QStringLiteral("VLMainWindow::slotHelpIndex: called")));
    const QImage before = QImage(contents).convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(vltest::waitUntil(
        [&] { return pictureOf(viewer).convertToFormat(QImage::Format_RGB32) != before; }, 20000));
    EXPECT_EQ(xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                       QStringLiteral("^") + kHelpTitle + QLatin1Char('$')}),
              viewerId);
    viewer = waitForWindow(viewerPid, [](const XWindow &w) { return w.title == kHelpTitle; });
    const QString index = grabWindow(viewer, QStringLiteral("velloran_help_index"));
    EXPECT_FALSE(index.isEmpty());
    EXPECT_NE(QImage(contents), QImage(index));

    // The program's end closes the link; the viewer saves its window and ends itself.
    run.signal(SIGTERM);
    EXPECT_EQ(run.finish(), 0) << run.err().toStdString();
    EXPECT_TRUE(vltest::waitUntil(
        [&] { return !QFileInfo::exists(QStringLiteral("/proc/%1").arg(viewerPid)); }, 15000));
    const QSettings keys(home + QStringLiteral("/.config/brindlecot.example/vlhelp.conf"),
                         QSettings::IniFormat);
    EXPECT_GT(keys.value(QStringLiteral("Velloran/0.1/W")).toInt(), 99)
        << keys.allKeys().join(u' ').toStdString();
}

TEST_F(VelloranProgram, TheEnvironmentAndTheOptionsItReads) {
    // A chosen data folder whose options start minimised without the splash.
    const QString chosen = home + QStringLiteral("/chosen/");
    ASSERT_TRUE(QDir().mkpath(chosen));
    DataOptions options;
    options.general.minimizeOnStartup = true;
    options.general.displaySplash = false;
    ASSERT_TRUE(writeRecord(chosen, QStringLiteral("options"), &options).isNull());

    {
        SCOPED_TRACE("minimised, VL_BAYES_INIT empty");
        Velloran run(home, {QStringLiteral("VL_STOREDIR=") + chosen, QStringLiteral("VL_BAYES_INIT=")});
        // Shown minimised: asked to start iconic (with no window manager on this display,
        // nobody takes it off the screen).
        const XWindow main = waitForWindow(run.pid(), isMain);
        ASSERT_FALSE(main.id.isEmpty()) << run.err().toStdString();
        EXPECT_TRUE(main.iconic);
        EXPECT_EQ(count(windowsOf(run.pid(), true), isSplash), 0);
        run.signal(SIGTERM);
        EXPECT_EQ(run.finish(), 0) << run.err().toStdString();
        // An empty value counts as set: the state starts empty instead of loading.
        EXPECT_FALSE(run.err().contains(QLatin1String("VLBayes::loadState")));
        EXPECT_TRUE(QFileInfo::exists(chosen + QStringLiteral("seenemail.vlp")));
    }
    {
        // Another platform needs no X display, and the splash is drawn without flushing one.
        SCOPED_TRACE("offscreen, no DISPLAY");
        Velloran run(home, {QStringLiteral("-DISPLAY"), QStringLiteral("QT_QPA_PLATFORM=offscreen")});
        // The main window comes after the splash has been drawn.
        ASSERT_TRUE(run.waitFor(QStringLiteral("VLSplashScreen::VLSplashScreen: called")))
            << run.err().toStdString();
        ASSERT_TRUE(run.waitFor(QStringLiteral("VLMainWindow::slotStartup: called")))
            << run.err().toStdString();
        run.signal(SIGTERM);
        EXPECT_EQ(run.finish(), 0) << run.err().toStdString();
        EXPECT_TRUE(run.err().contains(QLatin1String("signal 15: shutting down")));
    }
    {
        SCOPED_TRACE("missing data folder");
        const QString missing = home + QStringLiteral("/nowhere/");
        Velloran run(home, {QStringLiteral("VL_STOREDIR=") + missing});
        ASSERT_TRUE(run.waitFor(QStringLiteral("velloran: %1: does not exist\n").arg(missing)))
            << run.err().toStdString();
        EXPECT_FALSE(run.mainWindow().id.isEmpty()) << run.err().toStdString();
        run.signal(SIGTERM);
        EXPECT_EQ(run.finish(), 0) << run.err().toStdString();
    }
}

TEST_F(VelloranProgram, ASeededAccountIsCheckedAtStartAndListsItsRows) {
    vltest::DovecotServer &server = vltest::DovecotServer::instance();
    server.addUser(QStringLiteral("alice"), QStringLiteral("alice-pw"));
    QList<QByteArray> mail;
    for (int i = 1; i <= 6; ++i) {
        const QByteArray n = QByteArray::number(i);
        mail << "From: Sender " + n + " <s" + n + "@example.org>\r\nTo: me@example.org\r\nSubject: Message " +
                    n + "\r\nMessage-ID: <m" + n +
                    "@example.org>\r\nDate: Mon, 2 Jan 2006 10:20:30 -0800\r\n\r\nBody " + n + "\r\n";
    }
    vltest::fillMaildir(server.maildir(QStringLiteral("alice")), mail);

    DataAccount account;
    account.type = DataAccount::POP3;
    account.pop3.name_.name = QStringLiteral("Home");
    account.pop3.name_.inDefault = true;
    account.pop3.incoming.serverAddress = server.host();
    account.pop3.incoming.userName = QStringLiteral("alice");
    account.pop3.incoming.password = QStringLiteral("alice-pw");
    account.pop3.incoming.advanced.portNumber = server.pop3Port();
    DataAccountList accounts;
    accounts.accountList = {account};
    DataOptions options;
    options.general.checkOnStartup = true;
    options.general.displaySplash = false;
    ASSERT_TRUE(QDir().mkpath(dataDir));
    ASSERT_TRUE(writeRecord(dataDir, QStringLiteral("accounts"), &accounts).isNull());
    ASSERT_TRUE(writeRecord(dataDir, QStringLiteral("options"), &options).isNull());

    Velloran run(home);
    const XWindow main = run.mainWindow();
    ASSERT_FALSE(main.id.isEmpty()) << run.err().toStdString();
    const QString listed = QStringLiteral("VLMailLister::slotMessageData: Home: 6 messages");
    ASSERT_TRUE(run.waitFor(listed, 30000)) << run.err().toStdString();
    // The rows are in once the check has ended: the queue goes idle after the list.
    ASSERT_TRUE(vltest::waitUntil(
        [&] {
            const QString err = run.err();
            return err.indexOf(QLatin1String("VLMainWindow::slotMailBoxBusy: busy=0"), err.indexOf(listed)) >=
                   0;
        },
        30000))
        << run.err().toStdString();
    EXPECT_FALSE(grabWindow(main, QStringLiteral("velloran_window_rows")).isEmpty());
    run.signal(SIGTERM);
    EXPECT_EQ(run.finish(), 0) << run.err().toStdString();
    // Nothing was deleted on the server.
    EXPECT_EQ(server.messageFiles(QStringLiteral("alice")), 6);
}

TEST_F(VelloranProgram, WithoutADisplayItAndRunShSayOneLineAndEndWithTwo) {
    const struct {
        const char *name;
        QString program;
        QStringList env;
    } cases[] = {
        {"velloran, DISPLAY unset", QStringLiteral(VELLORAN), {QStringLiteral("-DISPLAY")}},
        {"velloran, nobody serves it", QStringLiteral(VELLORAN), {QStringLiteral("DISPLAY=:4242")}},
        // Said before anything is built.
        {"run.sh, DISPLAY unset",
         QStringLiteral(VL_SOURCE_DIR "/scripts/run.sh"),
         {QStringLiteral("-DISPLAY")}},
        {"run.sh, nobody serves it",
         QStringLiteral(VL_SOURCE_DIR "/scripts/run.sh"),
         {QStringLiteral("DISPLAY=:4242")}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LauncherProcess run(c.program, home, c.env);
        EXPECT_EQ(run.finish(), 2);
        const QString display =
            c.env[0] == QLatin1String("-DISPLAY") ? QStringLiteral("(unset)") : QStringLiteral(":4242");
        EXPECT_EQ(run.err(), QStringLiteral("velloran: %1: cannot open X display\n").arg(display));
    }
}

} // namespace
