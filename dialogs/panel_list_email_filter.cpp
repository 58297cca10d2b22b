#include "panel_list_email_filter.h"

#include "list_table_p.h"
#include "panel_email_filter.h"
#include "vl_table_order.h"

#include <QPushButton>
#include <QSignalBlocker>
#include <QToolButton>

PanelListEmailFilter::PanelListEmailFilter(QWidget *parent, const char *name)
    : PanelRecordTable(parent, name) {}

void PanelListEmailFilter::setButtons(QPushButton *add, QPushButton *edit, QPushButton *remove,
                                      QToolButton *up, QToolButton *down) {
    m_up = up;
    m_down = down;
    PanelListTable::setButtons(add, edit, remove);
    if (up) {
        connect(up, &QToolButton::clicked, this, &PanelListEmailFilter::slotMoveUp);
        up->setEnabled(false);
    }
    if (down) {
        connect(down, &QToolButton::clicked, this, &PanelListEmailFilter::slotMoveDown);
        down->setEnabled(false);
    }
}

void PanelListEmailFilter::reportRecord(int row) {
    if (row >= 0 && row < m_list.filters.size())
        emit sigCurrent(m_list.filters.at(row));
    else
        emit sigEmpty();
}

void PanelListEmailFilter::slotCurrent() {
    const int row = currentRow();
    const bool current = row >= 0;
    if (m_up)
        m_up->setEnabled(current && row > 0);
    if (m_down)
        m_down->setEnabled(current && row < rowCount() - 1);
    PanelListTable::slotCurrent();
}

bool PanelListEmailFilter::addRecord() {
    DialogEmailFilter dialog(this, "EmailFilter");
    if (dialog.exec() != QDialog::Accepted)
        return false;
    DataEmailFilter filter;
    dialog.save(filter);
    m_list.filters.append(filter);
    return true;
}

void PanelListEmailFilter::rowInserted(int row) {
    setCurrentCell(row, listtable::Margin);
}

void PanelListEmailFilter::recordAdded(int row) {
    Q_UNUSED(row);
    slotCurrent();
}

bool PanelListEmailFilter::editRecord(int row) {
    DialogEmailFilter dialog(this, "EmailFilter");
    dialog.load(m_list.filters.at(row));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.save(m_list.filters[row]);
    return true;
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
