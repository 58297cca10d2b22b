// The filter editor: the filter dialog with its rules table, and the ordered table of
// filters with its add, edit, remove, enable and move actions.
#include "data/data_list_filters.h"
#include "data/store.h"
#include "data/store_list_filters.h"
#include "panel_email_filter.h"
#include "panel_list_email_filter.h"

#include "GuiHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::Literals::StringLiterals;

namespace {

QComboBox *combo(QTableWidget *rules, int row, int column) {
    return qobject_cast<QComboBox *>(rules->cellWidget(row, column));
}

QTableWidget *rulesOf(QWidget *dialog) {
    return vltest::child<QTableWidget>(dialog, QStringLiteral("rules"));
}

DataEmailFilter filterNamed(const char *name, bool disabled = false) {
    DataEmailFilter f;
    f.filterName = QString::fromUtf8(name);
    f.disabled = disabled;
    f.displayOrHide = 1;
    f.whence = 1;
    f.allOrAny = 1;
    return f;
}

QStringList names(const DataListEmailFilter &list) {
    QStringList out;
    for (const DataEmailFilter &f : list.filters)
        out << f.filterName;
    return out;
}

// The filter dialog, shown: warnings on OK are closed and kept in `warning`.
struct FilterDialog : ::testing::Test {
    DialogEmailFilter dialog{nullptr, "EmailFilter"};
    QTableWidget *rules = rulesOf(&dialog);
    QString warning;
    void SetUp() override { dialog.show(); }
    // Presses OK; true when the dialog closed.
    bool pressOk() {
        warning.clear();
        // Closes the warning, if one comes, while accept() waits for it.
        QTimer closer;
        closer.setInterval(10);
        QObject::connect(&closer, &QTimer::timeout, &closer, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                warning = box->windowTitle() + QLatin1Char('|') + box->text();
                box->accept();
            }
        });
        closer.start();
        dialog.accept();
        return !dialog.isVisible();
    }
    void addRule(int header, int match, const QString &text) {
        vltest::child<QPushButton>(&dialog, QStringLiteral("addRule"))->click();
        const int row = rules->rowCount() - 1;
        combo(rules, row, 0)->setCurrentIndex(header);
        combo(rules, row, 1)->setCurrentIndex(match);
        rules->item(row, 2)->setText(text);
    }
};

TEST_F(FilterDialog, NewFilterStartsWithTheUsualChoices) {
    for (const char *on : {"display", "onProcess", "allRules"})
        EXPECT_TRUE(vltest::child<QRadioButton>(&dialog, QLatin1String(on))->isChecked()) << on;
    for (const char *off : {"hide", "automatic", "anyRule"})
        EXPECT_FALSE(vltest::child<QRadioButton>(&dialog, QLatin1String(off))->isChecked()) << off;
    for (QCheckBox *box : dialog.findChildren<QCheckBox *>())
        EXPECT_FALSE(box->isChecked()) << box->objectName().toStdString();
    EXPECT_EQ(rules->rowCount(), 0);
    DataEmailFilter saved;
    dialog.save(saved);
    EXPECT_TRUE(saved.filterName.isEmpty());
    EXPECT_EQ(saved.displayOrHide, 1);
    EXPECT_EQ(saved.whence, 1);
    EXPECT_EQ(saved.allOrAny, 1);
}

TEST_F(FilterDialog, TextStillBeingTypedIsSavedByOk) {
    addRule(2, 1, QString());
    rules->setFocus();
    rules->setCurrentCell(0, 2);
    auto *editor = rules->viewport()->findChild<QLineEdit *>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("viagra"));
    EXPECT_TRUE(rules->item(0, 2)->text().isEmpty());

    EXPECT_TRUE(pressOk()) << warning.toStdString();
    DataEmailFilter saved;
    dialog.save(saved);
    ASSERT_EQ(saved.rules.size(), 1);
    EXPECT_EQ(saved.rules[0].useHeader, 2);
    EXPECT_EQ(saved.rules[0].useMatch, 1);
    EXPECT_EQ(saved.rules[0].text, QStringLiteral("viagra"));
}

TEST_F(FilterDialog, EmptyRulesAreDroppedWithoutWarning) {
    auto *add = vltest::child<QPushButton>(&dialog, QStringLiteral("addRule"));
    add->click();
    add->click();
    EXPECT_EQ(rules->rowCount(), 2);
    EXPECT_TRUE(pressOk());
    EXPECT_TRUE(warning.isEmpty());
    DataEmailFilter saved;
    saved.rules.append(DataEmailFilterRule(1, 1, QStringLiteral("old")));
    dialog.save(saved);
    EXPECT_TRUE(saved.rules.isEmpty());
}

TEST_F(FilterDialog, IncompleteOrInvalidRulesKeepTheDialogOpen) {
    struct Case {
        int header, match;
        const char *text;
        const char *warning; // start of the warning
    };
    const Case cases[] = {
        {1, 0, "x", "Filter setup|Rule 2 is not complete"},
        {0, 3, "x", "Filter setup|Rule 2 is not complete"},
        {5, 1, "", "Filter setup|Rule 2 is not complete"},
        {2, 4, "(unclosed",
         "Filter setup|Rule 2: \"(unclosed\" is not a valid regular expression: missing closing"},
        {2, 5, "a{2,1}", "Filter setup|Rule 2: \"a{2,1}\" is not a valid regular expression: "},
    };
    addRule(1, 1, QStringLiteral("fine"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.warning);
        addRule(c.header, c.match, QString::fromUtf8(c.text));
        EXPECT_FALSE(pressOk());
        EXPECT_TRUE(warning.startsWith(QString::fromUtf8(c.warning))) << warning.toStdString();
        rules->setCurrentCell(1, 0);
        vltest::child<QPushButton>(&dialog, QStringLiteral("removeRule"))->click();
    }
    // The same text as a plain comparison is fine.
    addRule(2, 1, QStringLiteral("(unclosed"));
    EXPECT_TRUE(pressOk()) << warning.toStdString();
}

TEST_F(FilterDialog, UntouchedStoredRulesSaveBackAsLoaded) {
    DataEmailFilter stored = filterNamed("odd");
    stored.displayOrHide = 3; // no button for it
    stored.whence = 0;
    stored.rules = {DataEmailFilterRule(0, 2, QStringLiteral("kept")), DataEmailFilterRule(3, 9, QString()),
                    DataEmailFilterRule(4, 4, QStringLiteral("(bad")),
                    DataEmailFilterRule(1, 1, QStringLiteral("x"))};
    dialog.load(stored);
    EXPECT_EQ(combo(rules, 0, 0)->currentIndex(), 0);
    EXPECT_EQ(combo(rules, 1, 1)->currentIndex(), 0);
    EXPECT_FALSE(vltest::child<QRadioButton>(&dialog, QStringLiteral("display"))->isChecked());
    EXPECT_FALSE(vltest::child<QRadioButton>(&dialog, QStringLiteral("hide"))->isChecked());
    EXPECT_TRUE(pressOk()) << warning.toStdString();
    DataEmailFilter saved;
    dialog.save(saved);
    EXPECT_EQ(saved.displayOrHide, 3);
    EXPECT_EQ(saved.whence, 0);
    ASSERT_EQ(saved.rules.size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(saved.rules[i].useHeader, stored.rules[i].useHeader) << i;
        EXPECT_EQ(saved.rules[i].useMatch, stored.rules[i].useMatch) << i;
        EXPECT_EQ(saved.rules[i].text, stored.rules[i].text) << i;
    }

    // Once the user changes such a row it has to be a whole, valid rule.
    combo(rules, 0, 1)->setCurrentIndex(1);
    dialog.show();
    EXPECT_FALSE(pressOk());
    EXPECT_TRUE(warning.contains(QStringLiteral("Rule 1 is not complete"))) << warning.toStdString();
}

// A filter table with its owner's buttons.
struct FilterTable : ::testing::Test {
    QWidget owner;
    QPushButton add{&owner}, edit{&owner}, remove{&owner};
    QToolButton up{&owner}, down{&owner};
    PanelListEmailFilter table{&owner, "filters"};
    void SetUp() override { table.setButtons(&add, &edit, &remove, &up, &down); }
    void load(const QList<DataEmailFilter> &filters) {
        DataListEmailFilter list;
        list.filters = filters;
        table.load(list);
    }
};

TEST_F(FilterTable, AddEditsANewFilterAndMakesItCurrent) {
    load({filterNamed("first")});
    QSignalSpy current(&table, &PanelListEmailFilter::sigCurrent);
    QSignalSpy changed(&table, &PanelListEmailFilter::sigChanged);
    vltest::whenModal(QStringLiteral("EmailFilter"), [](QWidget *w) {
        vltest::child<QLineEdit>(w, QStringLiteral("name"))->setText(QStringLiteral("second"));
        qobject_cast<QDialog *>(w)->accept();
    });
    add.click();
    EXPECT_EQ(table.currentRow(), 1);
    ASSERT_GE(current.count(), 1);
    EXPECT_EQ(current.last().at(0).value<DataEmailFilter>().filterName, QStringLiteral("second"));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(up.isEnabled());
    EXPECT_FALSE(down.isEnabled());
    EXPECT_EQ(table.item(1, 2)->text(), QStringLiteral("second"));
}

TEST_F(FilterTable, MovesKeepTheFilterCurrentAndSaveInTableOrder) {
    vltest::TempDir dir;
    Store::setDataDir(QString::fromStdString(dir.path()));
    StoreListEmailFilter *store = StoreListEmailFilter::filter();
    store->filters = {filterNamed("a"), filterNamed("b", true), filterNamed("c")};
    table.load(*store);
    EXPECT_FALSE(up.isEnabled());
    EXPECT_FALSE(down.isEnabled());

    table.setCurrentCell(0, 2);
    EXPECT_FALSE(up.isEnabled());
    EXPECT_TRUE(down.isEnabled());
    QSignalSpy changed(&table, &PanelListEmailFilter::sigChanged);
    down.click(); // a to the middle
    down.click(); // a to the end
    EXPECT_EQ(table.currentRow(), 2);
    EXPECT_TRUE(up.isEnabled());
    EXPECT_FALSE(down.isEnabled());
    EXPECT_EQ(changed.count(), 2);
    EXPECT_TRUE(table.item(2, 0)->isSelected());
    EXPECT_TRUE(table.item(2, 1)->isSelected());
    EXPECT_FALSE(table.item(1, 1)->isSelected());
    up.click(); // a back to the middle
    EXPECT_EQ(table.currentRow(), 1);
    EXPECT_TRUE(up.isEnabled());
    EXPECT_TRUE(down.isEnabled());
    EXPECT_EQ(table.item(0, 1)->checkState(), Qt::Unchecked); // b's check moved with it

    table.save(*store);
    store->setChanged(false);
    ASSERT_TRUE(store->saveToStore().isNull());
    DataListEmailFilter reread;
    ASSERT_TRUE(reread.loadFromFile(QStringLiteral("filters"), "vlp", Store::dataDir()).isNull());
    EXPECT_EQ(names(reread), (QStringList{u"b"_s, u"a"_s, u"c"_s}));
    EXPECT_TRUE(reread.filters[0].disabled);
    QStringList shown;
    for (int row = 0; row < table.rowCount(); ++row)
        shown << table.item(row, 2)->text();
    EXPECT_EQ(shown, names(reread));
}

TEST_F(FilterTable, RemovingTheOnlyFilterLeavesNoCurrentRow) {
    load({filterNamed("only")});
    table.setCurrentCell(0, 2);
    QStringList order;
    QObject::connect(&table, &PanelListEmailFilter::sigEmpty, &owner,
                     [&order] { order << QStringLiteral("empty"); });
    QObject::connect(&table, &PanelListEmailFilter::sigChanged, &owner,
                     [&order] { order << QStringLiteral("changed"); });
    remove.click();
    EXPECT_EQ(order, (QStringList{u"empty"_s, u"changed"_s}));
    EXPECT_EQ(table.rowCount(), 0);
    EXPECT_FALSE(edit.isEnabled());
    EXPECT_FALSE(remove.isEnabled());
    DataListEmailFilter saved;
    table.save(saved);
    EXPECT_TRUE(saved.filters.isEmpty());
}

TEST_F(FilterTable, ToggledCheckReportsThatFilter) {
    load({filterNamed("one"), filterNamed("two")});
    table.setCurrentCell(0, 2);
    QStringList order;
    QObject::connect(&table, &PanelListEmailFilter::sigCurrent, &owner, [&order](const DataEmailFilter &f) {
        order << f.filterName + (f.disabled ? u"-off"_s : u"-on"_s);
    });
    QObject::connect(&table, &PanelListEmailFilter::sigChanged, &owner,
                     [&order] { order << QStringLiteral("changed"); });
    table.item(1, 1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(order, (QStringList{u"two-off"_s, u"changed"_s}));
    DataListEmailFilter saved;
    table.save(saved);
    EXPECT_FALSE(saved.filters[0].disabled);
    EXPECT_TRUE(saved.filters[1].disabled);
}

} // namespace
