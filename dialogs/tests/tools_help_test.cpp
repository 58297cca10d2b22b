// The spam-tools dialog's Help button against a stand-in help viewer that records how it was
// started: on the blacklist page it asks for that page's topic.
#include "tools_dialog_fixture.h"

#include "dialog_tools.h"
#include "vl_help.h"

#include <QPushButton>

#include <csignal>
#include <sys/stat.h>

namespace {

const char *const kStandIn = R"(#!/bin/sh
echo "$@" >> "$VLHELP_OUT/args"
echo $$ > "$VLHELP_OUT/pid"
exec sleep 120
)";

std::string readOr(const std::string &path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

TEST(ToolsHelp, HelpOnTheBlacklistPageAsksForItsTopic) {
    toolsdlg::resetStores({}, {});
    vltest::TempDir bin("vlhelp-bin");
    vltest::TempDir out("vlhelp-out");
    vltest::writeFile(bin.file("vlhelp"), kStandIn);
    ::chmod(bin.file("vlhelp").c_str(), 0755);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(bin.path()) + ':' + oldPath);
    qputenv("VLHELP_OUT", QByteArray::fromStdString(out.path()));

    DialogTools dialog(nullptr, "tools");
    dialog.loadFromStore();
    dialog.raisePage("blacklist");
    testing::internal::CaptureStderr();
    dialog.helpButton()->click();
    const std::string trace = testing::internal::GetCapturedStderr();
    EXPECT_NE(trace.find("DialogTools::slotHelp: called: How_to_manage_the_Blacklist\n"), std::string::npos)
        << trace;
    QString args;
    EXPECT_TRUE(vltest::waitUntil([&] {
        args = QString::fromStdString(readOr(out.file("args")));
        return !args.isEmpty();
    }));
    EXPECT_TRUE(args.contains(QStringLiteral("--helpkey How_to_manage_the_Blacklist"))) << args.toStdString();

    EXPECT_TRUE(vltest::waitUntil([&] { return QFile::exists(QString::fromStdString(out.file("pid"))); }));
    const int pid = QString::fromStdString(readOr(out.file("pid"))).trimmed().toInt();
    if (pid > 0)
        ::kill(pid, SIGTERM);
    vltest::waitUntil([] { return !VLHelp::self()->viewerRunning(); });
    qputenv("PATH", oldPath);
}

} // namespace
