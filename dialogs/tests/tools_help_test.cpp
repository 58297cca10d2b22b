// The spam-tools dialog's Help button against a stand-in help viewer that records how it was
// started: on the blacklist page it asks for that page's topic.
#include "tools_dialog_fixture.h"

#include "dialog_tools.h"
#include "help_viewer_standin.h"

#include <QPushButton>

namespace {

TEST(ToolsHelp, HelpOnTheBlacklistPageAsksForItsTopic) {
    toolsdlg::resetStores({}, {});
    StandInHelpViewer viewer;

    DialogTools dialog(nullptr, "tools");
    dialog.loadFromStore();
    dialog.raisePage("blacklist");
    testing::internal::CaptureStderr();
    dialog.helpButton()->click();
    const std::string trace = testing::internal::GetCapturedStderr();
    EXPECT_NE(trace.find("DialogTools::slotHelp: called: How_to_manage_the_Blacklist\n"), std::string::npos)
        << trace;
    const QString args = viewer.arguments();
    EXPECT_TRUE(args.contains(QStringLiteral("--helpkey How_to_manage_the_Blacklist"))) << args.toStdString();
}

} // namespace
