#include "panel_list_table.h"

#include "list_table_p.h"

#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>

PanelListTable::PanelListTable(QWidget *parent, const char *name) : QTableWidget(parent) {
    setObjectName(QLatin1String(name));
    listtable::setup(this);
}

void PanelListTable::setButtons(QPushButton *add, QPushButton *edit, QPushButton *remove) {
    m_edit = edit;
    m_remove = remove;
    connect(this, &QTableWidget::currentCellChanged, this, &PanelListTable::slotCurrent);
    connect(this, &QTableWidget::cellChanged, this, &PanelListTable::slotValueChanged);
    connect(this, &QTableWidget::cellDoubleClicked, this, &PanelListTable::slotProperties);
    connect(add, &QPushButton::clicked, this, &PanelListTable::slotAdd);
    connect(remove, &QPushButton::clicked, this, &PanelListTable::slotRemove);
    connect(edit, &QPushButton::clicked, this, &PanelListTable::slotProperties);
    remove->setEnabled(false);
    edit->setEnabled(false);
}

void PanelListTable::showRecords() {
    // Owners save on sigChanged; filling the table is no change.
    const QSignalBlocker block(this);
    setRowCount(0);
    setRowCount(recordCount());
    for (int row = 0; row < rowCount(); ++row)
        showRow(row);
    slotCurrent();
}

void PanelListTable::readChecks() {
    const int rows = std::min(recordCount(), rowCount());
    for (int row = 0; row < rows; ++row)
        refreshDisabled(row);
}

void PanelListTable::showRow(int row) {
    const QSignalBlocker block(this);
    listtable::setRow(this, row, recordDisabled(row), recordText(row));
}

void PanelListTable::refreshDisabled(int row) {
    if (row < 0 || row >= recordCount() || !item(row, listtable::Check))
        return;
    // Written only when it differs: the copy stays shared with the last saved list.
    const bool disabled = listtable::rowDisabled(this, row);
    if (recordDisabled(row) != disabled)
        setRecordDisabled(row, disabled);
}

void PanelListTable::slotCurrent() {
    const bool current = currentRow() >= 0;
    if (m_edit)
        m_edit->setEnabled(current);
    if (m_remove)
        m_remove->setEnabled(current);
    reportRecord(currentRow());
}

void PanelListTable::slotValueChanged(int row, int column) {
    if (column != listtable::Check)
        return;
    if (row < 0 || row >= recordCount()) {
        reportRecord(row);
        return;
    }
    refreshDisabled(row);
    reportRecord(row);
    emit sigChanged();
}

void PanelListTable::slotAdd() {
    if (!addRecord())
        return;
    const int row = rowCount();
    {
        const QSignalBlocker block(this);
        insertRow(row);
        rowInserted(row);
    }
    showRow(row);
    recordAdded(row);
    emit sigChanged();
}

void PanelListTable::slotProperties() {
    const int row = currentRow();
    if (row < 0 || row >= recordCount())
        return;
    refreshDisabled(row);
    if (!editRecord(row))
        return;
    showRow(row);
    reportRecord(row);
    emit sigChanged();
}

void PanelListTable::slotRemove() {
    // By position: with two equal records the row and the record removed are the same one.
    const int row = currentRow();
    if (row < 0 || row >= recordCount())
        return;
    removeRecordRow(row);
}

void PanelListTable::removeRecordRow(int row) {
    removeRecord(row);
    {
        const QSignalBlocker block(this);
        removeRow(row);
    }
    slotCurrent();
    emit sigChanged();
}
