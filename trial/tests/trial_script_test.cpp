// Scripts run against a live dialog: a full run through every action of every widget test,
// and the failures that end a run and reject the dialog.
#include "trial_fixture_dialog.h"
#include "trial_runner.h"

#include "TestNames.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>

#include <gtest/gtest.h>

using vltest::TrialFixtureDialog;

namespace {

constexpr int BoundMs = 60000;

QString dataFile(const char *name) {
    return QStringLiteral(VL_TEST_DATA_DIR "/") + QLatin1String(name);
}

QStringList listTexts(const QListWidget *list) {
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

QStringList comboTexts(const QComboBox *combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

TEST(TrialScript, FullRunPassesAndRunsAgain) {
    TrialFixtureDialog dialog;
    TrialRunner runner(&dialog);
    ASSERT_TRUE(runner.load(dataFile("full.xml"))) << runner.error().toStdString();
    EXPECT_EQ(runner.tag(), QStringLiteral("full run"));
    EXPECT_EQ(runner.setup().attribute(QStringLiteral("account")), QStringLiteral("first"));
    EXPECT_EQ(runner.expect().attribute(QStringLiteral("remember")), QStringLiteral("1"));

    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        runner.start();
        bool timedOut = false;
        EXPECT_EQ(vltest::execBounded(dialog, BoundMs, timedOut), int(QDialog::Accepted));
        EXPECT_FALSE(timedOut);
        EXPECT_EQ(runner.stop(), TrialRunner::Passed);
        EXPECT_TRUE(runner.error().isNull()) << runner.error().toStdString();

        EXPECT_EQ(dialog.userName->text(), QStringLiteral("alice"));
        EXPECT_TRUE(dialog.remember->isChecked());
        EXPECT_TRUE(dialog.useProxy->isChecked());
        EXPECT_TRUE(dialog.typePop->isChecked());
        EXPECT_FALSE(dialog.typeImap->isChecked());
        EXPECT_EQ(dialog.tabs->currentWidget(), dialog.pageTwo);
        EXPECT_EQ(dialog.ruleKind->currentIndex(), 2);
        EXPECT_EQ(dialog.rules->item(0, 1)->checkState(), Qt::Checked);
        EXPECT_EQ(dialog.rules->item(0, 2)->text(), QStringLiteral("new text"));
        EXPECT_EQ(dialog.rules->currentRow(), 2);
        EXPECT_EQ(dialog.rules->currentColumn(), 0);
        // The second dialog was rejected, then accepted, by its name.
        EXPECT_EQ(dialog.secondResults.size(), 2 * run);
        EXPECT_EQ(dialog.secondResults.mid(2 * (run - 1)),
                  (QList<int>{QDialog::Rejected, QDialog::Accepted}));
    }
    // Each run removed the first "a@x" and added "c@x"; removing what is not there changed
    // nothing.
    EXPECT_EQ(listTexts(dialog.addresses),
              (QStringList{QStringLiteral("b@x"), QStringLiteral("c@x"), QStringLiteral("c@x")}));
    EXPECT_EQ(comboTexts(dialog.servers),
              (QStringList{QStringLiteral("two"), QStringLiteral("three"), QStringLiteral("three")}));
}

struct FailCase {
    const char *name;
    const char *script;
    const char *error;
    qint64 atLeastMs = 0; // from start to the rejection
};

void PrintTo(const FailCase &c, std::ostream *os) {
    *os << c.name;
}

class TrialScriptFailure : public ::testing::TestWithParam<FailCase> {};

TEST_P(TrialScriptFailure, RejectsTheDialogWithTheError) {
    const FailCase &c = GetParam();
    TrialFixtureDialog dialog;
    TrialRunner runner(&dialog);
    ASSERT_TRUE(runner.load(dataFile(c.script))) << runner.error().toStdString();
    QElapsedTimer clock;
    clock.start();
    runner.start();
    bool timedOut = false;
    EXPECT_EQ(vltest::execBounded(dialog, BoundMs, timedOut), int(QDialog::Rejected));
    EXPECT_FALSE(timedOut);
    EXPECT_GE(clock.elapsed(), c.atLeastMs);
    EXPECT_EQ(runner.stop(), TrialRunner::Failed);
    EXPECT_EQ(runner.error(), QString::fromUtf8(c.error));
    EXPECT_TRUE(dialog.secondResults.isEmpty());
}

const FailCase kFailCases[] = {
    // First try after 100 ms, four more 200 ms apart, then the sixth call gives up.
    {"Path matches nothing", "fail_unmatched_path.xml", "nowhere/field: Retry count exceeded", 1000},
    {"Wrong class", "fail_wrong_class.xml", "userName: Not a QCheckBox: QLineEdit"},
    {"Check box value neither 0 nor 1", "fail_unexpected_value.xml", "remember: Unexpected value"},
    {"Line edit text differs", "fail_expected_text.xml", "userName: Expected [b] got [a]"},
    {"Set on a push button", "fail_button_set.xml", "openSecond: Button: Unknown action"},
    {"Push button text differs", "fail_button_text.xml", "openSecond: Unexpected value"},
    {"Table cell without item", "fail_no_table_cell.xml", "rules: No table cell: 2,3"},
    {"Raise a widget that is no page", "fail_raise_non_page.xml", "userName: Page not found"},
};

INSTANTIATE_TEST_SUITE_P(Cases, TrialScriptFailure, ::testing::ValuesIn(kFailCases), vltest::RowName());

// An invalid expression fails on its first try instead of running out of retries.
TEST(TrialScript, InvalidPathFailsAtOnce) {
    TrialFixtureDialog dialog;
    TrialRunner runner(&dialog);
    ASSERT_TRUE(runner.load(dataFile("fail_invalid_path.xml")));
    runner.start();
    bool timedOut = false;
    EXPECT_EQ(vltest::execBounded(dialog, BoundMs, timedOut), int(QDialog::Rejected));
    EXPECT_EQ(runner.stop(), TrialRunner::Failed);
    const QString reason = QRegularExpression(QStringLiteral("user(")).errorString();
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(runner.error(), QStringLiteral("user(: Invalid path: ") + reason);
}

// A table view on any model: a text cell takes the text, a check cell the mark; a model
// that refuses the value fails the test rather than passing it by.
class ReadOnlyModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    int rowCount(const QModelIndex &) const override { return 1; }
    int columnCount(const QModelIndex &) const override { return 1; }
    QVariant data(const QModelIndex &, int role) const override {
        return role == Qt::DisplayRole ? QVariant(QStringLiteral("fixed")) : QVariant();
    }
};

TEST(TrialScript, TableViewOnAnyModel) {
    QDialog dialog;
    QStandardItemModel model(1, 2);
    model.setItem(0, 0, new QStandardItem(QStringLiteral("old")));
    auto *check = new QStandardItem;
    check->setCheckable(true);
    check->setCheckState(Qt::Unchecked);
    model.setItem(0, 1, check);
    auto *grid = new QTableView(&dialog);
    grid->setObjectName(QStringLiteral("grid"));
    grid->setModel(&model);
    ReadOnlyModel fixedModel;
    auto *fixed = new QTableView(&dialog);
    fixed->setObjectName(QStringLiteral("fixed"));
    fixed->setModel(&fixedModel);

    TrialRunner runner(&dialog);
    ASSERT_TRUE(runner.load(dataFile("table_view.xml"))) << runner.error().toStdString();
    runner.start();
    bool timedOut = false;
    EXPECT_EQ(vltest::execBounded(dialog, BoundMs, timedOut), int(QDialog::Rejected));
    EXPECT_FALSE(timedOut);
    EXPECT_EQ(runner.stop(), TrialRunner::Failed);
    EXPECT_EQ(runner.error(), QStringLiteral("fixed: Cannot set table cell: 0,0"));
    EXPECT_EQ(model.item(0, 0)->text(), QStringLiteral("new"));
    EXPECT_EQ(model.item(0, 1)->checkState(), Qt::Checked);
}

} // namespace
