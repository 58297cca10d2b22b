#include "panel_list_email_match.h"

#include "panel_email_match.h"
#include "panel_list_match_options.h"

#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <vector>

PanelListEmailMatch::PanelListEmailMatch(const char *caption, QWidget *parent, const char *name)
    : PanelRecordTable(parent, name), m_caption(QString::fromUtf8(caption)) {}

void PanelListEmailMatch::setButtons(QPushButton *add, QPushButton *edit, QPushButton *remove,
                                     QPushButton *options) {
    PanelListTable::setButtons(add, edit, remove);
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
    showRecords();
}

bool PanelListEmailMatch::addRecord() {
    DialogEmailMatch dialog(m_caption, this, "EmailMatch");
    if (dialog.exec() != QDialog::Accepted)
        return false;
    DataEmailMatch entry;
    dialog.save(entry);
    entry.used();
    m_list.entries.append(entry);
    return true;
}

void PanelListEmailMatch::recordAdded(int row) {
    // A copy: a receiver may change this list.
    const QString address = m_list.entries.at(row).address;
    emit sigAddedEmail(address);
}

bool PanelListEmailMatch::editRecord(int row) {
    DialogEmailMatch dialog(m_caption, this, "EmailMatch");
    dialog.load(m_list.entries.at(row));
    if (dialog.exec() != QDialog::Accepted)
        return false;
    DataEmailMatch &entry = m_list.entries[row];
    dialog.save(entry);
    entry.used();
    return true;
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
            removeRecordRow(row); // the next entry moves up into this row
        else
            ++row;
    }
}
