#pragma once
// The table of one address list (friends list or blacklist) with its add, edit, remove,
// enable and options actions. It works on its own copy of the list; the owner loads it
// from the store's record and saves it back.

#include "data/data_list_matches.h"

#include <QTableWidget>

class QPushButton;

class PanelListEmailMatch : public QTableWidget {
    Q_OBJECT
public:
    // The caption is the list's title; its entry dialogs carry it.
    PanelListEmailMatch(const char *caption, QWidget *parent, const char *name);

    // The buttons are not owned; options may be null (no options action).
    void setButtons(QPushButton *add, QPushButton *edit, QPushButton *remove, QPushButton *options);

    // Shows a copy of the list, sorted (stably) as its options say. Emits nothing.
    void load(const DataListEmailMatch &list);
    // The copy, with the checks of the rows and in the table's order.
    void save(DataListEmailMatch &list);
    void setRowData(int row, const DataEmailMatch &entry);

    [[nodiscard]] const DataListEmailMatch &list() const { return m_list; }

signals:
    void sigAddedEmail(const QString &address);
    void sigChanged();

public slots:
    void slotCurrent();
    void slotAdd();
    void slotRemove();
    void slotProperties();
    void slotOptions();
    // A toggled check: the entry of the changed row.
    void slotValueChanged(int row, int column);
    // Removes every entry with exactly that address (case counts), one sigChanged each.
    void slotRemoveEmail(const QString &address);

private:
    void refreshDisabled(int row);
    void removeEntry(int row);

    DataListEmailMatch m_list;
    QString m_caption;
    QPushButton *m_add = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_remove = nullptr;
};
