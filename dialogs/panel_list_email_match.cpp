#include "panel_list_email_match.h"

#include "list_table_p.h"
#include "panel_email_match.h"
#include "panel_list_match_options.h"

#include <QPushButton>
#include <QSignalBlocker>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

PanelListEmailMatch::PanelListEmailMatch(const char *caption, QWidget *parent, const char *name)
    : QTableWidget(parent), m_caption(QString::fromUtf8(caption)) {
    setObjectName(QLatin1String(name));
    listtable::setup(this);
}

void PanelListEmailMatch::setButtons(QPushButton *add, QPushButton *edit, QPushButton *remove,
                                     QPushButton *options) {
    m_add = add;
    m_edit = edit;
    m_remove = remove;
    connect(this, &QTableWidget::currentCellChanged, this, &PanelListEmailMatch::slotCurrent);
    connect(this, &QTableWidget::cellChanged, this, &PanelListEmailMatch::slotValueChanged);
    connect(this, &QTableWidget::cellDoubleClicked, this, &PanelListEmailMatch::slotProperties);
    connect(add, &QPushButton::clicked, this, &PanelListEmailMatch::slotAdd);
    connect(remove, &QPushButton::clicked, this, &PanelListEmailMatch::slotRemove);
    connect(edit, &QPushButton::clicked, this, &PanelListEmailMatch::slotProperties);
    remove->setEnabled(false);
    edit->setEnabled(false);
    if (options)
        connect(options, &QPushButton::clicked, this, &PanelListEmailMatch::slotOptions);
}

void PanelListEmailMatch::load(const DataListEmailMatch &list) {
    m_list = list;
    DataEmailMatch::setSortByDomain(m_list.options.sortByDomain);
    // Sorted by position over keys upper-cased once, then rebuilt: the ordering upper-cases
    // both sides of every comparison, which costs nothing for a text already upper case,
    // and entries are costly to move one by one.
    const QList<DataEmailMatch> &entries = m_list.entries;
    std::vector<DataEmailMatch> keys(entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i)
        keys[i].address = entries[i].address.toUpper();
    std::vector<qsizetype> order(entries.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](qsizetype x, qsizetype y) { return keys[x] < keys[y]; });
    QList<DataEmailMatch> sorted;
    sorted.reserve(entries.size());
    for (qsizetype i : order)
        sorted.append(entries[i]);
    m_list.entries = sorted;
    {
        // Owners save on sigChanged; filling the table is no change.
        const QSignalBlocker block(this);
        setRowCount(0);
        setRowCount(int(m_list.entries.size()));
        for (int row = 0; row < rowCount(); ++row)
            setRowData(row, m_list.entries.at(row));
    }
    slotCurrent();
}

void PanelListEmailMatch::save(DataListEmailMatch &list) {
    const int rows = std::min(int(m_list.entries.size()), rowCount());
    for (int row = 0; row < rows; ++row)
        refreshDisabled(row);
    list = m_list;
}

void PanelListEmailMatch::setRowData(int row, const DataEmailMatch &entry) {
    const QSignalBlocker block(this);
    listtable::setRow(this, row, entry.disabled, entry.address);
}

void PanelListEmailMatch::refreshDisabled(int row) {
    if (row < 0 || row >= m_list.entries.size() || !item(row, listtable::Check))
        return;
    // Written only when it differs: the copy stays shared with the last saved list.
    const bool disabled = listtable::rowDisabled(this, row);
    if (m_list.entries.at(row).disabled != disabled)
        m_list.entries[row].disabled = disabled;
}

void PanelListEmailMatch::slotCurrent() {
    const bool current = currentRow() >= 0;
    if (m_edit)
        m_edit->setEnabled(current);
    if (m_remove)
        m_remove->setEnabled(current);
}

void PanelListEmailMatch::slotValueChanged(int row, int column) {
    if (column != listtable::Check || row < 0 || row >= m_list.entries.size())
        return;
    refreshDisabled(row);
    emit sigChanged();
}

void PanelListEmailMatch::slotAdd() {
    DialogEmailMatch dialog(m_caption, this, "EmailMatch");
    if (dialog.exec() != QDialog::Accepted)
        return;
    DataEmailMatch entry;
    dialog.save(entry);
    entry.used();
    m_list.entries.append(entry);
    const int row = rowCount();
    {
        const QSignalBlocker block(this);
        insertRow(row);
    }
    setRowData(row, entry);
    emit sigAddedEmail(entry.address);
    emit sigChanged();
}

void PanelListEmailMatch::slotProperties() {
    const int row = currentRow();
    if (row < 0 || row >= m_list.entries.size())
        return;
    refreshDisabled(row);
    DialogEmailMatch dialog(m_caption, this, "EmailMatch");
    dialog.load(m_list.entries.at(row));
    if (dialog.exec() != QDialog::Accepted)
        return;
    DataEmailMatch &entry = m_list.entries[row];
    dialog.save(entry);
    entry.used();
    setRowData(row, entry);
    emit sigChanged();
}

void PanelListEmailMatch::removeEntry(int row) {
    m_list.entries.removeAt(row);
    {
        const QSignalBlocker block(this);
        removeRow(row);
    }
    slotCurrent();
    emit sigChanged();
}

void PanelListEmailMatch::slotRemove() {
    // By position: with two equal addresses the row and the entry removed are the same one.
    const int row = currentRow();
    if (row < 0 || row >= m_list.entries.size())
        return;
    removeEntry(row);
}

void PanelListEmailMatch::slotOptions() {
    DialogListMatchOptions dialog(this, "options");
    dialog.load(m_list.options);
    if (dialog.exec() == QDialog::Accepted)
        dialog.save(m_list.options);
}

void PanelListEmailMatch::slotRemoveEmail(const QString &address) {
    fprintf(stderr, "PanelListEmailMatch::slotRemoveEmail: [%s]\n", address.toLatin1().constData());
    int row = 0;
    while (row < m_list.entries.size() && row < rowCount()) {
        if (m_list.entries.at(row).address == address)
            removeEntry(row); // the next entry moves up into this row
        else
            ++row;
    }
}
