// The help link against a stand-in viewer on real loopback TCP. The stand-in records its
// arguments, connects to the offered port and keeps every byte it receives; each test runs
// in a process of its own, so each starts with a fresh launcher.
#include "vl_dialog.h"
#include "vl_help.h"

#include "GuiHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QMessageBox>
#include <QTcpServer>
#include <QTest>

#include <csignal>
#include <memory>
#include <sys/stat.h>

namespace {

const char *const kStandIn = R"(#!/usr/bin/env python3
import os, socket, sys, time
out = os.environ["VLHELP_OUT"]
with open(out + "/args", "a") as f:
    f.write("|".join(sys.argv[1:]) + "\n")
with open(out + "/pid", "w") as f:
    f.write(str(os.getpid()))
if "--comms" not in sys.argv:
    time.sleep(120)
    sys.exit(0)
port = int(sys.argv[sys.argv.index("--comms") + 1])
s = socket.create_connection(("127.0.0.1", port))
with open(out + "/lines", "ab") as f:
    while True:
        data = s.recv(4096)
        if not data:
            break
        f.write(data)
        f.flush()
)";

class HelpLink : public ::testing::Test {
protected:
    vltest::TempDir bin{"vlhelp-bin"};
    vltest::TempDir out{"vlhelp-out"};
    QByteArray oldPath = qgetenv("PATH");

    void SetUp() override {
        vltest::writeFile(bin.file("vlhelp"), kStandIn);
        ::chmod(bin.file("vlhelp").c_str(), 0755);
        qputenv("PATH", QByteArray::fromStdString(bin.path()) + ':' + oldPath);
        qputenv("VLHELP_OUT", QByteArray::fromStdString(out.path()));
        qputenv("VL_SHAREDIR", "/opt/velloran-test");
    }
    void TearDown() override {
        stopViewer();
        qputenv("PATH", oldPath);
    }

    QString read(const char *name) const {
        QFile f(QString::fromStdString(out.file(name)));
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    QStringList argLines() const { return read("args").split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    bool connected() {
        return vltest::waitUntil([] { return VLHelp::self()->viewerConnected(); });
    }
    // Ends the stand-in by its own pid, as a user closing the viewer.
    void stopViewer() {
        const int pid = read("pid").toInt();
        if (pid > 0 && VLHelp::self()->viewerRunning()) {
            ::kill(pid, SIGTERM);
            vltest::waitUntil([] { return !VLHelp::self()->viewerRunning(); });
        }
        QFile::remove(QString::fromStdString(out.file("pid")));
    }
};

TEST_F(HelpLink, FirstRequestStartsTheViewerAndLaterOnesAreLines) {
    VLHelp::self()->slotHelp("Account_list");
    ASSERT_TRUE(vltest::waitUntil([&] { return !argLines().isEmpty(); }));
    const QStringList args = argLines().first().split(QLatin1Char('|'));
    const quint16 port = VLHelp::self()->port();
    EXPECT_GE(port, 12000);
    EXPECT_LE(port, 12255);
    EXPECT_EQ(args, (QStringList{QStringLiteral("--helpdir"), QStringLiteral("/opt/velloran-test/help/"),
                                 QStringLiteral("--helpkey"), QStringLiteral("Account_list"),
                                 QStringLiteral("--comms"), QString::number(port)}));
    ASSERT_TRUE(connected());
    EXPECT_TRUE(read("lines").isEmpty()) << "the first key travels on the command line only";

    VLHelp::self()->showContents();
    ASSERT_TRUE(vltest::waitUntil([&] { return read("lines").size() >= 10; }));
    EXPECT_EQ(read("lines"), QStringLiteral("$Contents\n"));
    VLHelp::self()->showIndex();
    // A line break inside a key would make two requests of one.
    VLHelp::self()->slotHelp("Filter\r\nrules");
    ASSERT_TRUE(vltest::waitUntil([&] { return read("lines").endsWith(QStringLiteral("rules\n")); }));
    EXPECT_EQ(read("lines"), QStringLiteral("$Contents\n$Index\nFilterrules\n"));
    // Called directly, with no button behind it, it has no key and does nothing.
    VLHelp::self()->slotHelp();
    EXPECT_EQ(argLines().size(), 1);
}

TEST_F(HelpLink, AKeyWhileStartingIsDroppedAndANewViewerGetsTheSamePort) {
    VLHelp::self()->slotHelp("First");
    VLHelp::self()->slotHelp("Dropped");
    ASSERT_TRUE(connected());
    VLHelp::self()->slotHelp("Third");
    ASSERT_TRUE(vltest::waitUntil([&] { return !read("lines").isEmpty(); }));
    EXPECT_EQ(read("lines"), QStringLiteral("Third\n"));

    const quint16 port = VLHelp::self()->port();
    stopViewer();
    EXPECT_FALSE(VLHelp::self()->viewerConnected());
    VLHelp::self()->slotHelp("Again");
    ASSERT_TRUE(vltest::waitUntil([&] { return argLines().size() == 2; }));
    EXPECT_TRUE(
        argLines().at(1).endsWith(QStringLiteral("--helpkey|Again|--comms|") + QString::number(port)));
    EXPECT_EQ(VLHelp::self()->port(), port);
    ASSERT_TRUE(connected());
}

TEST_F(HelpLink, WithEveryPortTakenTheViewerStartsWithoutComms) {
    if (VLHelp::self()->port())
        GTEST_SKIP() << "the launcher of this process already listens";
    std::vector<std::unique_ptr<QTcpServer>> held;
    for (int port = 12000; port <= 12255; ++port) {
        auto server = std::make_unique<QTcpServer>();
        if (server->listen(QHostAddress(QStringLiteral("127.0.0.1")), quint16(port)))
            held.push_back(std::move(server));
    }
    VLHelp::self()->slotHelp("Lonely");
    ASSERT_TRUE(vltest::waitUntil([&] { return !argLines().isEmpty(); }));
    EXPECT_EQ(argLines().first(), QStringLiteral("--helpdir|/opt/velloran-test/help/|--helpkey|Lonely"));
    EXPECT_EQ(VLHelp::self()->port(), 0);
    VLHelp::self()->slotHelp("Lost");
    QTest::qWait(200);
    EXPECT_EQ(argLines().size(), 1);

    // Once the ports are free, the next viewer is offered one.
    stopViewer();
    held.clear();
    VLHelp::self()->slotHelp("Later");
    ASSERT_TRUE(vltest::waitUntil([&] { return argLines().size() == 2; }));
    EXPECT_TRUE(argLines().at(1).contains(QStringLiteral("--comms|")));
}

TEST_F(HelpLink, AViewerThatCannotStartIsReportedAndTriedAgain) {
    vltest::TempDir empty("vlhelp-none");
    qputenv("PATH", QByteArray::fromStdString(empty.path()));
    QString text;
    vltest::whenModal(QString(), [&](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        text = box->windowTitle() + QLatin1Char('|') + box->text();
        box->accept();
    });
    VLHelp::self()->slotHelp("Missing");
    ASSERT_TRUE(vltest::waitUntil([&] { return !text.isEmpty(); }));
    EXPECT_EQ(text, QStringLiteral("Velloran Pro|Help process failed to start"));
    EXPECT_FALSE(VLHelp::self()->viewerRunning());

    qputenv("PATH", QByteArray::fromStdString(bin.path()) + ':' + oldPath);
    VLHelp::self()->slotHelp("Found");
    ASSERT_TRUE(vltest::waitUntil([&] { return !argLines().isEmpty(); }));
    EXPECT_TRUE(argLines().first().contains(QStringLiteral("--helpkey|Found")));
}

TEST_F(HelpLink, ADialogHelpButtonSendsItsName) {
    VLDialog dialog(nullptr, "helpdemo");
    dialog.addOKCancel("Account_setup");
    ASSERT_NE(dialog.helpButton(), nullptr);
    dialog.helpButton()->click();
    ASSERT_TRUE(vltest::waitUntil([&] { return !argLines().isEmpty(); }));
    EXPECT_TRUE(argLines().first().contains(QStringLiteral("--helpkey|Account_setup|")));
    ASSERT_TRUE(connected());
    dialog.helpButton()->click();
    ASSERT_TRUE(vltest::waitUntil([&] { return !read("lines").isEmpty(); }));
    EXPECT_EQ(read("lines"), QStringLiteral("Account_setup\n"));
}

} // namespace
