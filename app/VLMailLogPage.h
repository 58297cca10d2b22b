#pragma once
// The "Mail Log" tab: one row per mail-log record, filtered to the chosen period, sorted by a
// click on a column header, and telling its owner whether the current row's message can be
// restored from the recycle bin.

#include <QTableWidget>

class DataEmailSummary;

class VLMailLogPage : public QTableWidget {
    Q_OBJECT
public:
    enum Column { FirstProcessed, From, To, Subject, Status, Bounced, Deleted, Reported, Ident, ColumnCount };

    // Empty, with the nine columns and the stored column widths.
    VLMailLogPage(QWidget *parent, const char *name);
    // Stores the column widths.
    ~VLMailLogPage() override;

    // Fills the existing row with the record's cells.
    void add(const DataEmailSummary *record, int row);
    // Shows only the rows processed within the period (0 day ... 4 eight weeks, other
    // numbers: everything); a negative period applies the last one again.
    void display(int period);

public Q_SLOTS:
    void slotCurrent(int row, int column);
    void slotClickHeader(int column);

Q_SIGNALS:
    // The cache identifier of the current row when its message is in the recycle bin, else
    // a null string.
    void sigCanRestore(const QString &ident);

private:
    int m_period = 0;
    int m_sortedColumn = -1;
};
