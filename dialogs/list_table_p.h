#pragma once
// What the address-list and filter tables share: a narrow margin, a check column, the
// stretched text column and another margin, without headers or grid, one row selected at
// a time; the check of a row is the inverse of its record's disabled flag.

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableWidget>

namespace listtable {

enum Column { Margin = 0, Check = 1, Text = 2, EndMargin = 3 };

inline void setup(QTableWidget *table) {
    table->setColumnCount(4);
    table->horizontalHeader()->hide();
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setSectionResizeMode(Text, QHeaderView::Stretch);
    table->setColumnWidth(Margin, 5);
    table->setColumnWidth(Check, 40);
    table->setColumnWidth(EndMargin, 5);
    table->setShowGrid(false);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // In a dialog Tab leaves the table; arrows move between its rows.
    table->setTabKeyNavigation(false);
    // The margins are spacing, not cells: a current cell there (the first cell when the
    // table takes the focus, a click beside the text) would put the focus frame in the
    // empty strip. The row stays; the current cell moves to its text.
    QItemSelectionModel *selection = table->selectionModel();
    QObject::connect(
        selection, &QItemSelectionModel::currentChanged, table, [selection](const QModelIndex &current) {
            if (current.isValid() && (current.column() == Margin || current.column() == EndMargin))
                selection->setCurrentIndex(current.siblingAtColumn(Text), QItemSelectionModel::NoUpdate);
        });
}

inline void setRow(QTableWidget *table, int row, bool disabled, const QString &text) {
    auto *check = new QTableWidgetItem;
    check->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    check->setCheckState(disabled ? Qt::Unchecked : Qt::Checked);
    table->setItem(row, Check, check);
    auto *label = new QTableWidgetItem(text);
    label->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    table->setItem(row, Text, label);
    for (int column : {Margin, EndMargin}) {
        auto *margin = new QTableWidgetItem;
        margin->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        table->setItem(row, column, margin);
    }
}

// The disabled flag that row's check stands for; false for a row without one.
inline bool rowDisabled(const QTableWidget *table, int row) {
    const QTableWidgetItem *check = table->item(row, Check);
    return check && check->checkState() != Qt::Checked;
}

} // namespace listtable
