#pragma once
// The commands on the rows of the mail table before processing: a click on a box reaching
// the selection (and, for the Blacklist and Friends boxes, every row of that sender), a
// learning tick reaching the selection, the message menu's entries on the selected rows or
// on all of them, selecting all and opening the viewer. Nothing reaches the servers or the
// stored lists, except the menu's list entries, which change the lists at once.

#include "data/data_email.h"

class QWidget;
class VLMailTable;

class VLRowCommands {
public:
    // Works on the rows of table; warnings and the viewer open over owner. Both outlive it.
    VLRowCommands(VLMailTable *table, QWidget *owner);

    // A box of the row was clicked (the table's cellChanged).
    void valueChanged(int row, int col);
    // A learning box of a row was ticked or cleared: the same for the selected rows.
    void learningChanged(DataEmailStatus::Bayes bayes, bool on);
    // Opens the viewer on the current row's message.
    void previewMessage();

    void addToBlacklist();
    void addToFriends();
    void addDomainToBlacklist();
    void addDomainToFriends();
    void markForDeletion();
    void markForBouncing();
    void markAllForDeletion();
    void markAllForBouncing();
    // Selects every row; with VL_DUMPALL set, first writes each row's status into the data
    // folder.
    void selectAll();

private:
    VLMailTable *m_table;
    QWidget *m_owner;
};
