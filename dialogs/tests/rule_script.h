#pragma once
// Runs an interface script from this folder's data against a rule dialog and checks the
// filter it leaves: the same scenario offscreen and on a real X display.

#include "data/data_list_filters.h"
#include "panel_email_filter.h"
#include "trial_runner.h"

#include <gtest/gtest.h>

#include <QTimer>

inline void runTwoRuleFilterScript() {
    DialogEmailFilter dialog(nullptr, "EmailFilter");
    TrialRunner runner(&dialog);
    ASSERT_TRUE(runner.load(QStringLiteral(VL_TEST_DATA_DIR "/two_rule_filter.xml")))
        << runner.error().toStdString();
    runner.start();
    // A script that stalls must end the test, not hang it.
    QTimer::singleShot(30000, &dialog, &QDialog::reject);
    EXPECT_EQ(dialog.exec(), int(QDialog::Accepted));
    EXPECT_EQ(runner.stop(), TrialRunner::Passed) << runner.error().toStdString();

    DataEmailFilter saved;
    dialog.save(saved);
    EXPECT_EQ(saved.filterName, QStringLiteral("Pharmacy"));
    EXPECT_EQ(saved.allOrAny, 2);
    ASSERT_EQ(saved.rules.size(), 2);
    EXPECT_EQ(saved.rules[0].useHeader, 2);
    EXPECT_EQ(saved.rules[0].useMatch, 1);
    EXPECT_EQ(saved.rules[0].text, QStringLiteral("pills"));
    EXPECT_EQ(saved.rules[1].useHeader, 1);
    EXPECT_EQ(saved.rules[1].useMatch, 4);
    EXPECT_EQ(saved.rules[1].text, QStringLiteral("pharma.*@"));
}
