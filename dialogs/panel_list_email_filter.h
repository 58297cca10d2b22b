#pragma once
// The ordered table of the user's filters with add, edit, remove, enable and move up or
// down. The order is the order in which the scanner tries them. It works on its own copy;
// the owner loads it from the filters store and saves it back.

#include "data/data_list_filters.h"
#include "panel_record_table.h"

class QPushButton;
class QToolButton;

class PanelListEmailFilter
    : public PanelRecordTable<DataListEmailFilter, DataEmailFilter, &DataListEmailFilter::filters,
                              &DataEmailFilter::filterName> {
    Q_OBJECT
public:
    PanelListEmailFilter(QWidget *parent, const char *name);

    // The buttons are not owned; up and down may be null.
    void setButtons(QPushButton *add, QPushButton *edit, QPushButton *remove, QToolButton *up,
                    QToolButton *down);

    // Exchanges two rows; the filter moved to row `to` stays current, its margin and check
    // columns selected.
    void swapTableRows(int from, int to);

signals:
    void sigCurrent(const DataEmailFilter &filter);
    void sigEmpty();

public slots:
    // Up and down follow the current row too.
    void slotCurrent() override;
    void slotMoveUp();
    void slotMoveDown();

protected:
    bool addRecord() override;
    bool editRecord(int row) override;
    // A new filter's row becomes the current one.
    void rowInserted(int row) override;
    void recordAdded(int row) override;
    // sigCurrent with the row's filter, or sigEmpty for a row without one.
    void reportRecord(int row) override;

private:
    void move(int row, int other);

    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
};
