#pragma once
// A record table over the panel's own copy of one list record: the rows are the records of
// its QList member Records, each showing its Text member beside the check of its disabled
// flag. The subclass adds the record's dialog and its own actions.

#include "panel_list_table.h"

#include <QList>
#include <QString>

template <typename List, typename Record, QList<Record> List::*Records, QString Record::*Text>
class PanelRecordTable : public PanelListTable {
public:
    using PanelListTable::PanelListTable;

    // Shows a copy of the list in its order. Emits nothing.
    void load(const List &list) {
        m_list = list;
        showRecords();
    }
    // The copy, with the checks of the rows, in the table's order.
    void save(List &list) {
        readChecks();
        list = m_list;
    }
    [[nodiscard]] const List &list() const { return m_list; }

protected:
    [[nodiscard]] const QList<Record> &records() const { return m_list.*Records; }
    [[nodiscard]] QList<Record> &records() { return m_list.*Records; }

    [[nodiscard]] int recordCount() const override { return int(records().size()); }
    [[nodiscard]] bool recordDisabled(int row) const override { return records().at(row).disabled; }
    void setRecordDisabled(int row, bool disabled) override { records()[row].disabled = disabled; }
    [[nodiscard]] QString recordText(int row) const override { return records().at(row).*Text; }
    void removeRecord(int row) override { records().removeAt(row); }

    List m_list;
};
