#pragma once
// What the rule editor tests share: address entries made in one line, and the interface
// script run against the filter dialog, the same scenario offscreen and on a real X display.

#include "data/data_list_filters.h"
#include "data/data_list_matches.h"
#include "panel_email_filter.h"
#include "trial_runner.h"

#include <gtest/gtest.h>

#include <QTimer>

inline DataEmailMatch entry(const char *address, bool wildcard = false, bool disabled = false,
                            qint64 used = 0) {
    DataEmailMatch e;
    e.address = QString::fromUtf8(address);
    e.wildcard = wildcard;
    e.disabled = disabled;
    e.lastUsed = used;
    return e;
}

// Runs the script that builds a two-rule filter through the rules table's cells.
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
