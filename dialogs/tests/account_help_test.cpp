// The POP3 details dialog's Help button against a stand-in help viewer that records how it
// was started.
#include "dialog_account_details.h"
#include "vl_help.h"

#include "GuiHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QFile>

#include <csignal>
#include <sys/stat.h>

namespace {

const char *const kStandIn = R"(#!/bin/sh
echo "$@" >> "$VLHELP_OUT/args"
echo $$ > "$VLHELP_OUT/pid"
exec sleep 120
)";

// The file's text; empty while the stand-in has not written it.
std::string readOr(const std::string &path) {
    QFile f(QString::fromStdString(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

TEST(AccountHelp, ThePop3DetailsHelpButtonSendsItsKey) {
    vltest::TempDir bin("vlhelp-bin");
    vltest::TempDir out("vlhelp-out");
    vltest::writeFile(bin.file("vlhelp"), kStandIn);
    ::chmod(bin.file("vlhelp").c_str(), 0755);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", QByteArray::fromStdString(bin.path()) + ':' + oldPath);
    qputenv("VLHELP_OUT", QByteArray::fromStdString(out.path()));

    DialogAccountDetailsPOP3 dialog(nullptr, "propertiesDlg");
    ASSERT_NE(dialog.helpButton(), nullptr);
    dialog.helpButton()->click();
    QString args;
    EXPECT_TRUE(vltest::waitUntil([&] {
        args = QString::fromStdString(readOr(out.file("args")));
        return !args.isEmpty();
    }));
    EXPECT_TRUE(args.contains(QStringLiteral("--helpkey How_to_add_a_POP3_account_manually")))
        << args.toStdString();

    EXPECT_TRUE(vltest::waitUntil([&] { return QFile::exists(QString::fromStdString(out.file("pid"))); }));
    const int pid = QString::fromStdString(readOr(out.file("pid"))).trimmed().toInt();
    if (pid > 0)
        ::kill(pid, SIGTERM);
    vltest::waitUntil([] { return !VLHelp::self()->viewerRunning(); });
    qputenv("PATH", oldPath);
}

} // namespace
