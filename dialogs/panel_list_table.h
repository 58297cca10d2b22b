#pragma once
// The record table that the filter list and the address lists share: one row per record of
// the panel's own copy of its list, the check of a row the inverse of its record's disabled
// flag, and Add, Edit and Remove buttons that open the record's dialog. A subclass holds
// the copy and says how a record is shown, edited and removed.

#include <QTableWidget>

class QPushButton;

class PanelListTable : public QTableWidget {
    Q_OBJECT
public:
    PanelListTable(QWidget *parent, const char *name);

signals:
    void sigChanged();

public slots:
    // Edit and Remove follow whether a row is current; then the current record is reported.
    virtual void slotCurrent();
    void slotAdd();
    void slotRemove();
    void slotProperties();
    // A toggled check: the record of the changed row.
    void slotValueChanged(int row, int column);

protected:
    // The buttons are not owned.
    void setButtons(QPushButton *add, QPushButton *edit, QPushButton *remove);
    // One row per record of the copy, the first current if any. Emits nothing.
    void showRecords();
    // Takes the checks of the rows into the copy.
    void readChecks();
    // Shows the row's record again.
    void showRow(int row);
    // Removes the record and its row.
    void removeRecordRow(int row);

    [[nodiscard]] virtual int recordCount() const = 0;
    [[nodiscard]] virtual bool recordDisabled(int row) const = 0;
    virtual void setRecordDisabled(int row, bool disabled) = 0;
    [[nodiscard]] virtual QString recordText(int row) const = 0;
    // The record's dialog: appends a new record, or changes the row's record; false when
    // the user cancelled it.
    virtual bool addRecord() = 0;
    virtual bool editRecord(int row) = 0;
    virtual void removeRecord(int row) = 0;
    // A new record's row has been inserted (signals still blocked); then it is shown, then
    // recordAdded follows and sigChanged last.
    virtual void rowInserted(int row) { Q_UNUSED(row); }
    virtual void recordAdded(int row) { Q_UNUSED(row); }
    // The record of the row has become the one to describe; the row may hold none.
    virtual void reportRecord(int row) { Q_UNUSED(row); }

private:
    void refreshDisabled(int row);

    QPushButton *m_edit = nullptr;
    QPushButton *m_remove = nullptr;
};
