#pragma once
// The table of one address list (friends list or blacklist) with its add, edit, remove,
// enable and options actions. It works on its own copy of the list; the owner loads it
// from the store's record and saves it back.

#include "data/data_list_matches.h"
#include "panel_record_table.h"

class QPushButton;

class PanelListEmailMatch : public PanelRecordTable<DataListEmailMatch, DataEmailMatch,
                                                    &DataListEmailMatch::entries, &DataEmailMatch::address> {
    Q_OBJECT
public:
    // The caption is the list's title; its entry dialogs carry it.
    PanelListEmailMatch(const char *caption, QWidget *parent, const char *name);

    // The buttons are not owned; options may be null (no options action).
    void setButtons(QPushButton *add, QPushButton *edit, QPushButton *remove, QPushButton *options);

    // Shows a copy of the list, sorted (stably) as its options say. Emits nothing.
    void load(const DataListEmailMatch &list);

signals:
    void sigAddedEmail(const QString &address);

public slots:
    void slotOptions();
    // Removes every entry with exactly that address (case counts), one sigChanged each.
    void slotRemoveEmail(const QString &address);

protected:
    // An added or edited entry counts as used now.
    bool addRecord() override;
    bool editRecord(int row) override;
    // sigAddedEmail with the new entry's address.
    void recordAdded(int row) override;

private:
    QString m_caption;
};
