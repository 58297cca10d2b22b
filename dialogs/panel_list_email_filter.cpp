#include "panel_list_email_filter.h"

#include "list_table_p.h"
#include "panel_email_filter.h"
#include "vl_table_order.h"

#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

#include <algorithm>

PanelListEmailFilter::PanelListEmailFilter(QWidget *parent, const char *name) : QTableWidget(parent) {
    setObjectName(QLatin1String(name));
    listtable::setup(this);
}

void PanelListEmailFilter::setButtons(QPushButton *add, QPushButton *edit, QPushButton *remove,
                                      QToolButton *up, QToolButton *down) {
    m_add = add;
    m_edit = edit;
    m_remove = remove;
    m_up = up;
    m_down = down;
    connect(this, &QTableWidget::currentCellChanged, this, &PanelListEmailFilter::slotCurrent);
    connect(this, &QTableWidget::cellChanged, this, &PanelListEmailFilter::slotValueChanged);
    connect(this, &QTableWidget::cellDoubleClicked, this, &PanelListEmailFilter::slotProperties);
    connect(add, &QPushButton::clicked, this, &PanelListEmailFilter::slotAdd);
    connect(remove, &QPushButton::clicked, this, &PanelListEmailFilter::slotRemove);
    connect(edit, &QPushButton::clicked, this, &PanelListEmailFilter::slotProperties);
    remove->setEnabled(false);
    edit->setEnabled(false);
    if (up) {
        connect(up, &QToolButton::clicked, this, &PanelListEmailFilter::slotMoveUp);
        up->setEnabled(false);
    }
    if (down) {
        connect(down, &QToolButton::clicked, this, &PanelListEmailFilter::slotMoveDown);
        down->setEnabled(false);
    }
}

void PanelListEmailFilter::load(const DataListEmailFilter &list) {
    m_list = list;
    {
        // Owners save on sigChanged; filling the table is no change.
        const QSignalBlocker block(this);
        setRowCount(0);
        setRowCount(int(m_list.filters.size()));
        for (int row = 0; row < rowCount(); ++row)
            setRowData(row, m_list.filters.at(row));
    }
    const QSignalBlocker block(this);
    slotCurrent();
}

void PanelListEmailFilter::save(DataListEmailFilter &list) {
    const int rows = std::min(int(m_list.filters.size()), rowCount());
    for (int row = 0; row < rows; ++row)
        refreshDisabled(row);
    list = m_list;
}

void PanelListEmailFilter::setRowData(int row, const DataEmailFilter &filter) {
    const QSignalBlocker block(this);
    listtable::setRow(this, row, filter.disabled, filter.filterName);
}

void PanelListEmailFilter::refreshDisabled(int row) {
    if (row < 0 || row >= m_list.filters.size() || !item(row, listtable::Check))
        return;
    // Written only when it differs: the copy stays shared with the last saved list.
    const bool disabled = listtable::rowDisabled(this, row);
    if (m_list.filters.at(row).disabled != disabled)
        m_list.filters[row].disabled = disabled;
}

void PanelListEmailFilter::reportCurrent() {
    const int row = currentRow();
    if (row >= 0 && row < m_list.filters.size())
        emit sigCurrent(m_list.filters.at(row));
    else
        emit sigEmpty();
}

void PanelListEmailFilter::slotCurrent() {
    const int row = currentRow();
    const bool current = row >= 0;
    if (m_edit)
        m_edit->setEnabled(current);
    if (m_remove)
        m_remove->setEnabled(current);
    if (m_up)
        m_up->setEnabled(current && row > 0);
    if (m_down)
        m_down->setEnabled(current && row < rowCount() - 1);
    reportCurrent();
}

void PanelListEmailFilter::slotValueChanged(int row, int column) {
    if (column != listtable::Check)
        return;
    if (row < 0 || row >= m_list.filters.size()) {
        emit sigEmpty();
        return;
    }
    refreshDisabled(row);
    emit sigCurrent(m_list.filters.at(row));
    emit sigChanged();
}

void PanelListEmailFilter::slotAdd() {
    DialogEmailFilter dialog(this, "EmailFilter");
    if (dialog.exec() != QDialog::Accepted)
        return;
    DataEmailFilter filter;
    dialog.save(filter);
    m_list.filters.append(filter);
    const int row = rowCount();
    {
        const QSignalBlocker block(this);
        insertRow(row);
        setCurrentCell(row, listtable::Margin);
    }
    setRowData(row, filter);
    slotCurrent();
    emit sigChanged();
}

void PanelListEmailFilter::slotProperties() {
    const int row = currentRow();
    if (row < 0 || row >= m_list.filters.size())
        return;
    refreshDisabled(row);
    DialogEmailFilter dialog(this, "EmailFilter");
    dialog.load(m_list.filters.at(row));
    if (dialog.exec() != QDialog::Accepted)
        return;
    DataEmailFilter &filter = m_list.filters[row];
    dialog.save(filter);
    setRowData(row, filter);
    emit sigCurrent(filter);
    emit sigChanged();
}

void PanelListEmailFilter::slotRemove() {
    const int row = currentRow();
    if (row < 0 || row >= m_list.filters.size())
        return;
    m_list.filters.removeAt(row);
    {
        const QSignalBlocker block(this);
        removeRow(row);
    }
    slotCurrent();
    emit sigChanged();
}

void PanelListEmailFilter::move(int row, int other) {
    // The copy first: the move reports the filter that is current afterwards.
    m_list.swapRows(row, other);
    swapTableRows(row, other);
    emit sigChanged();
}

void PanelListEmailFilter::slotMoveUp() {
    const int row = currentRow();
    if (row > 0 && row < rowCount())
        move(row, row - 1);
}

void PanelListEmailFilter::slotMoveDown() {
    const int row = currentRow();
    if (row >= 0 && row < rowCount() - 1)
        move(row, row + 1);
}

void PanelListEmailFilter::swapTableRows(int from, int to) {
    if (!VLTableOrder::exchangeRows(this, from, to))
        return;
    {
        const QSignalBlocker block(this);
        setCurrentCell(to, listtable::Text);
        clearSelection();
        setRangeSelected(QTableWidgetSelectionRange(to, listtable::Margin, to, listtable::Check), true);
    }
    viewport()->update();
    // The buttons follow the moved filter (Up on the first row, Down on the last).
    slotCurrent();
}
