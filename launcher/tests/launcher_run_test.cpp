// The launcher as a program on the test's X display, around a stand-in main window: the
// per-user folders, one instance per user (also for two copies started at once), the end by
// signal with everything saved, the display check, the data folder and the options it reads.
#include "data/store.h"
#include "data/store_options.h"

#include "GuiHelpers.h"
#include "TempDir.h"
#include "launcher_process.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtTest/QTest>

#include <csignal>
#include <memory>
#include <sys/stat.h>

namespace {

// One run of the stand-in velloran with its own standard error collected.
class Velloran : public LauncherProcess {
public:
    Velloran(const QString &home, const QStringList &env, const QStringList &args = {})
        : LauncherProcess(QStringLiteral(STAND_IN), home, env, args) {}
};

const QString kShown = QStringLiteral("stand-in: window shown");
const QString kAlready = QStringLiteral("main: VLSingleApplication already running");

class Launcher : public ::testing::Test {
protected:
    vltest::TempDir tmp{"launcher"};
    QString home = QString::fromStdString(tmp.path());
    QString dataDir = home + QStringLiteral("/.brindlecot/Velloran2/");

    QByteArray file(const QString &name) const {
        QFile f(dataDir + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList leftovers() const { return QDir(dataDir).entryList({QStringLiteral("*.new")}, QDir::Files); }
    void write(const QString &name, const QByteArray &bytes) const {
        QFile f(dataDir + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }
};

// Permission bits of a folder, or -1 when it cannot be read.
int modeOf(const QString &path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

TEST_F(Launcher, FirstStartMakesTheFoldersAndEverySignalEndsItWithEverythingSaved) {
    {
        Velloran first(home, {QStringLiteral("VL_TEST_CHANGE=1")});
        ASSERT_TRUE(first.waitFor(kShown)) << first.err().toStdString();
        for (const char *folder : {"/.brindlecot", "/.brindlecot/Velloran2", "/.brindlecot/Velloran2/cache"})
            EXPECT_TRUE(QFileInfo(home + QLatin1String(folder)).isDir()) << folder;
        EXPECT_EQ(modeOf(dataDir + QStringLiteral("cache")), 0700);
        EXPECT_TRUE(first.err().contains(QLatin1String("minimized=0")));
        first.signal(SIGTERM);
        EXPECT_EQ(first.finish(), 0) << first.err().toStdString();
        EXPECT_FALSE(first.err().contains(QLatin1String("main: "))) << first.err().toStdString();
    }
    // The changed options and the seen list were written; nothing was left half-written.
    const QByteArray options = file(QStringLiteral("options.vlp"));
    const QByteArray seen = file(QStringLiteral("seenemail.vlp"));
    ASSERT_NE(options, QByteArray("<missing>"));
    ASSERT_NE(seen, QByteArray("<missing>"));
    EXPECT_EQ(leftovers(), QStringList());

    // Later runs, ended by each signal in turn, find the records and leave them as they were.
    for (int number : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(number);
        Velloran again(home, {});
        ASSERT_TRUE(again.waitFor(kShown)) << again.err().toStdString();
        again.signal(number);
        EXPECT_EQ(again.finish(), 0) << again.err().toStdString();
        EXPECT_TRUE(again.err().contains(QStringLiteral("signal %1: shutting down").arg(number)));
        EXPECT_EQ(file(QStringLiteral("options.vlp")), options);
        EXPECT_EQ(file(QStringLiteral("seenemail.vlp")), seen);
        EXPECT_EQ(leftovers(), QStringList());
    }
}

TEST_F(Launcher, AnOpenCacheFolderIsNarrowedAndWhatAKilledRunLeftGoesAtStart) {
    // The cache folder as an older start-up made it, with the default mode; a copy and the
    // seen list that a kill cut short; a cached message and files that are the user's.
    ASSERT_TRUE(QDir().mkpath(dataDir + QStringLiteral("cache")));
    ASSERT_EQ(::chmod(QFile::encodeName(dataDir + QStringLiteral("cache")).constData(), 0755), 0);
    write(QStringLiteral("cache/.vlcache-Ab12Cd"), "half a cop");
    write(QStringLiteral("seenemail.new"), "Home&half");
    write(QStringLiteral("cache/kept@example.org"), "Subject: kept\r\n\r\nbody\r\n");
    write(QStringLiteral("cache/.vlcache-notes"), "the user's");
    write(QStringLiteral("notes.new"), "the user's");

    Velloran run(home, {});
    ASSERT_TRUE(run.waitFor(kShown)) << run.err().toStdString();
    EXPECT_EQ(modeOf(dataDir + QStringLiteral("cache")), 0700);
    EXPECT_FALSE(QFileInfo::exists(dataDir + QStringLiteral("cache/.vlcache-Ab12Cd")));
    EXPECT_FALSE(QFileInfo::exists(dataDir + QStringLiteral("seenemail.new")));
    run.signal(SIGTERM);
    EXPECT_EQ(run.finish(), 0) << run.err().toStdString();
    EXPECT_EQ(file(QStringLiteral("cache/kept@example.org")), QByteArray("Subject: kept\r\n\r\nbody\r\n"));
    EXPECT_EQ(file(QStringLiteral("cache/.vlcache-notes")), QByteArray("the user's"));
    EXPECT_EQ(file(QStringLiteral("notes.new")), QByteArray("the user's"));
}

TEST_F(Launcher, ASecondStartShowsTheBoxAndEndsWithOneWhileTheFirstRunsOn) {
    Velloran first(home, {});
    ASSERT_TRUE(first.waitFor(kShown)) << first.err().toStdString();
    Velloran second(home, {});
    ASSERT_TRUE(second.waitFor(kAlready)) << second.err().toStdString();
    ASSERT_TRUE(dismissTheBox());
    EXPECT_EQ(second.finish(), 1) << second.err().toStdString();
    // Nothing of the second instance ran: no window, no data loaded, nothing saved.
    EXPECT_FALSE(second.err().contains(kShown));
    EXPECT_FALSE(second.err().contains(QLatin1String("Store::saveToFile")));
    EXPECT_TRUE(first.running());
    first.signal(SIGTERM);
    EXPECT_EQ(first.finish(), 0);
}

TEST_F(Launcher, TwoStartedAtOnceGiveOneWindowAndOneBox) {
    Velloran a(home, {});
    Velloran b(home, {});
    ASSERT_TRUE(
        vltest::waitUntil([&] { return a.err().contains(kAlready) || b.err().contains(kAlready); }, 20000));
    ASSERT_TRUE(dismissTheBox());
    Velloran &loser = a.err().contains(kAlready) ? a : b;
    Velloran &winner = &loser == &a ? b : a;
    EXPECT_EQ(loser.finish(), 1);
    ASSERT_TRUE(winner.waitFor(kShown)) << winner.err().toStdString();
    EXPECT_FALSE(winner.err().contains(kAlready));
    EXPECT_FALSE(loser.err().contains(kShown));
    winner.signal(SIGTERM);
    EXPECT_EQ(winner.finish(), 0);
}

TEST_F(Launcher, ASignalEndsAnOpenModalBoxAsCancelledAndStillSaves) {
    Velloran run(home, {QStringLiteral("VL_TEST_MODAL=1"), QStringLiteral("VL_TEST_CHANGE=1")});
    ASSERT_TRUE(run.waitFor(QStringLiteral("stand-in: modal open"))) << run.err().toStdString();
    run.signal(SIGTERM);
    EXPECT_EQ(run.finish(), 0) << run.err().toStdString();
    EXPECT_TRUE(run.err().contains(QLatin1String("modal ended answer=cancel")));
    EXPECT_NE(file(QStringLiteral("options.vlp")), QByteArray("<missing>"));
    EXPECT_EQ(leftovers(), QStringList());
}

TEST_F(Launcher, ClosingABoxWhileTheWindowIsHiddenDoesNotEndTheProgram) {
    Velloran run(home, {QStringLiteral("VL_TEST_TRAY=1")});
    ASSERT_TRUE(run.waitFor(QStringLiteral("stand-in: hidden, box open"))) << run.err().toStdString();
    ASSERT_TRUE(dismissTheBox());
    ASSERT_TRUE(run.waitFor(QStringLiteral("stand-in: box closed")));
    QTest::qWait(500);
    EXPECT_TRUE(run.running());
    run.signal(SIGTERM);
    EXPECT_EQ(run.finish(), 0);
}

TEST_F(Launcher, WithoutAUsableDisplayOneLineAndStatusTwo) {
    const struct {
        const char *name;
        QStringList env;
        QStringList args;
        QString line;
    } cases[] = {
        {"no DISPLAY",
         {QStringLiteral("-DISPLAY")},
         {},
         QStringLiteral("velloran: (unset): cannot open X display\n")},
        {"a display nobody serves",
         {QStringLiteral("DISPLAY=:4242")},
         {},
         QStringLiteral("velloran: :4242: cannot open X display\n")},
        {"-display beats DISPLAY",
         {},
         {QStringLiteral("-display"), QStringLiteral(":4243")},
         QStringLiteral("velloran: :4243: cannot open X display\n")},
        {"xcb chosen by name",
         {QStringLiteral("-DISPLAY"), QStringLiteral("QT_QPA_PLATFORM=xcb")},
         {},
         QStringLiteral("velloran: (unset): cannot open X display\n")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Velloran run(home, c.env, c.args);
        EXPECT_EQ(run.finish(), 2);
        EXPECT_EQ(run.err(), c.line);
    }
    // Another platform chosen: no X display is needed.
    Velloran offscreen(home, {QStringLiteral("-DISPLAY"), QStringLiteral("QT_QPA_PLATFORM=offscreen")});
    ASSERT_TRUE(offscreen.waitFor(kShown)) << offscreen.err().toStdString();
    offscreen.signal(SIGTERM);
    EXPECT_EQ(offscreen.finish(), 0);
}

TEST_F(Launcher, AMissingDataFolderIsReportedAndItsSaveErrorsToo) {
    const QString missing = home + QStringLiteral("/nowhere");
    Velloran run(home, {QStringLiteral("VL_STOREDIR=") + missing, QStringLiteral("VL_TEST_CHANGE=1")});
    ASSERT_TRUE(run.waitFor(kShown)) << run.err().toStdString();
    EXPECT_TRUE(run.err().contains(QStringLiteral("velloran: %1/: does not exist\n").arg(missing)));
    // The per-user folders are made all the same.
    EXPECT_TRUE(QFileInfo(home + QStringLiteral("/.brindlecot/Velloran2/cache")).isDir());
    run.signal(SIGTERM);
    EXPECT_EQ(run.finish(), 0);
    EXPECT_TRUE(run.err().contains(QLatin1String("main: options: cannot save\n"))) << run.err().toStdString();
}

TEST_F(Launcher, TheDataFolderAndTheOptionsComeFromTheEnvironmentAndTheStore) {
    // A data folder of the user's choice, holding options that minimise on start-up.
    const QString chosen = home + QStringLiteral("/chosen/");
    ASSERT_TRUE(QDir().mkpath(chosen));
    Store::setDataDir(chosen);
    StoreOptions::options()->general.minimizeOnStartup = true;
    StoreOptions::options()->setChanged(false);
    ASSERT_TRUE(StoreOptions::options()->saveToStore().isNull());

    for (const auto &[bayesInit, loads] : {std::pair{QStringLiteral("VL_BAYES_INIT="), false},
                                           std::pair{QStringLiteral("-VL_BAYES_INIT"), true}}) {
        Velloran run(home, {QStringLiteral("VL_STOREDIR=") + chosen, bayesInit});
        ASSERT_TRUE(run.waitFor(kShown)) << run.err().toStdString();
        EXPECT_TRUE(run.err().contains(QLatin1String("minimized=1")));
        run.signal(SIGTERM);
        EXPECT_EQ(run.finish(), 0);
        // An empty VL_BAYES_INIT counts as set: the state starts empty instead of loading.
        EXPECT_EQ(run.err().contains(QLatin1String("VLBayes::loadState")), loads) << bayesInit.toStdString();
        EXPECT_TRUE(QFileInfo::exists(chosen + QStringLiteral("seenemail.vlp")));
        EXPECT_FALSE(QFileInfo::exists(dataDir + QStringLiteral("seenemail.vlp")));
    }
}

} // namespace
