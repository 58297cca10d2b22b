// Stored rule files pass through the editors untouched: loaded into the tables, every
// dialog confirmed without a change, and saved back, they stay byte for byte the same.
// Also the interface script that builds a filter through the rules table.
#include "data/data_list_filters.h"
#include "data/data_list_matches.h"
#include "panel_list_email_filter.h"
#include "panel_list_email_match.h"
#include "rule_test_support.h"

#include "GuiHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QToolButton>

namespace {

QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void acceptNext(const char *name) {
    vltest::whenModal(QLatin1String(name), [](QWidget *w) { qobject_cast<QDialog *>(w)->accept(); });
}

TEST(RuleFiles, FriendsFileRoundTripsThroughTheTable) {
    vltest::TempDir dir;
    const QString folder = QString::fromStdString(dir.path()) + QLatin1Char('/');
    DataListEmailMatch original;
    // Expiry on with 0 days: a count the options dialog can only show as 1.
    original.options.expireEmail = true;
    original.options.expireEmailAfter = 0;
    original.options.expireWildcard = true;
    original.options.expireWildcardAfter = 1500;
    original.entries = {entry("*@Alpha.org", true, false, 1000), entry("bob@beta.org", false, true, 0),
                        entry("Bob@beta.org", false, false, 2000000000),
                        entry("carol@gamma.org", false, false, 5)};
    ASSERT_TRUE(original.saveToFile(QStringLiteral("in"), "vlp", folder).isNull());

    DataListEmailMatch list;
    ASSERT_TRUE(list.loadFromFile(QStringLiteral("in"), "vlp", folder).isNull());
    QWidget owner;
    QPushButton add(&owner), edit(&owner), remove(&owner), options(&owner);
    PanelListEmailMatch table("Friends list", &owner, "friends");
    table.setButtons(&add, &edit, &remove, &options);
    table.load(list);
    acceptNext("options");
    options.click();
    table.save(list);
    ASSERT_TRUE(list.saveToFile(QStringLiteral("out"), "vlp", folder).isNull());
    EXPECT_EQ(readAll(folder + QStringLiteral("out.vlp")), readAll(folder + QStringLiteral("in.vlp")));
}

TEST(RuleFiles, FiltersFileRoundTripsThroughEveryFilterDialog) {
    vltest::TempDir dir;
    const QString folder = QString::fromStdString(dir.path()) + QLatin1Char('/');
    DataListEmailFilter original;
    DataEmailFilter odd;
    odd.filterName = QStringLiteral("  spaced name ");
    odd.disabled = true;
    odd.displayOrHide = 3;
    odd.whence = 0;
    odd.allOrAny = 2;
    odd.color = QStringLiteral("no colour");
    odd.statusDescription = QStringLiteral("<b>odd</b>");
    odd.rules = {DataEmailFilterRule(0, 1, QStringLiteral("code 0")),
                 DataEmailFilterRule(2, 4, QStringLiteral("(")), DataEmailFilterRule(9, 9, QString())};
    DataEmailFilter plain;
    plain.filterName = QStringLiteral("Plain");
    plain.displayOrHide = 2;
    plain.whence = 2;
    plain.allOrAny = 1;
    plain.color = QStringLiteral("#ff0000");
    plain.markDelete = true;
    plain.rules = {DataEmailFilterRule(1, 3, QStringLiteral("a@b.c"))};
    original.filters = {odd, plain, DataEmailFilter()};
    ASSERT_TRUE(original.saveToFile(QStringLiteral("in"), "vlp", folder).isNull());

    DataListEmailFilter list;
    ASSERT_TRUE(list.loadFromFile(QStringLiteral("in"), "vlp", folder).isNull());
    QWidget owner;
    QPushButton add(&owner), edit(&owner), remove(&owner);
    QToolButton up(&owner), down(&owner);
    PanelListEmailFilter table(&owner, "filters");
    table.setButtons(&add, &edit, &remove, &up, &down);
    table.load(list);
    for (int row = 0; row < table.rowCount(); ++row) {
        table.setCurrentCell(row, 2);
        acceptNext("EmailFilter");
        edit.click();
    }
    table.save(list);
    ASSERT_TRUE(list.saveToFile(QStringLiteral("out"), "vlp", folder).isNull());
    EXPECT_EQ(readAll(folder + QStringLiteral("out.vlp")), readAll(folder + QStringLiteral("in.vlp")));
}

TEST(RuleScript, AddsATwoRuleFilterOffscreen) {
    runTwoRuleFilterScript();
}

} // namespace
