#pragma once
// The accounts of the accounts store in a table, with adding (after choosing the type),
// editing and removing. Everything happens on a copy of the list; the store gets it only
// through saveToStore, which the caller runs once the dialog was accepted.

#include "data/data_account_list.h"

#include <QWidget>

class QPushButton;
class QTableWidget;
class StoreAccountList;

class PanelAccountList : public QWidget {
    Q_OBJECT
public:
    PanelAccountList(QWidget *parent, const char *name);

    void load(const DataAccountList &list);
    void save(DataAccountList &list) const;
    void loadFromStore();
    // Writes the copy into the store and its file at once. Null on success (or without a
    // store); else the store's error text, which is also shown in a warning box.
    QString saveToStore();

    [[nodiscard]] QTableWidget *table() const { return m_table; }

public slots:
    void slotCurrent();
    void slotAdd();
    void slotRemove();
    void slotProperties();

private:
    void showRow(int row);
    // Widens the columns to their headers and entries (within a limit) and keeps the table
    // wide enough to show them all.
    void fitColumns();
    // The names of every account but the one at skip, as the details dialog must not reuse.
    [[nodiscard]] QStringList namesExcept(int skip) const;

    QTableWidget *m_table;
    QPushButton *m_add;
    QPushButton *m_remove;
    QPushButton *m_properties;
    DataAccountList m_list;
    StoreAccountList *m_store = nullptr;
};
