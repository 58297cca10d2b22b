// The POP3 details dialog's Help button against a stand-in help viewer that records how it
// was started.
#include "dialog_account_details.h"
#include "help_viewer_standin.h"

#include <gtest/gtest.h>

namespace {

TEST(AccountHelp, ThePop3DetailsHelpButtonSendsItsKey) {
    StandInHelpViewer viewer;

    DialogAccountDetailsPOP3 dialog(nullptr, "propertiesDlg");
    ASSERT_NE(dialog.helpButton(), nullptr);
    dialog.helpButton()->click();
    const QString args = viewer.arguments();
    EXPECT_TRUE(args.contains(QStringLiteral("--helpkey How_to_add_a_POP3_account_manually")))
        << args.toStdString();
}

} // namespace
