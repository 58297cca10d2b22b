#pragma once
// The ordered table of the user's filters with add, edit, remove, enable and move up or
// down. The order is the order in which the scanner tries them. It works on its own copy;
// the owner loads it from the filters store and saves it back.

#include "data/data_list_filters.h"

#include <QTableWidget>

class QPushButton;
class QToolButton;

class PanelListEmailFilter : public QTableWidget {
    Q_OBJECT
public:
    PanelListEmailFilter(QWidget *parent, const char *name);

    // The buttons are not owned; up and down may be null.
    void setButtons(QPushButton *add, QPushButton *edit, QPushButton *remove, QToolButton *up,
                    QToolButton *down);

    // Shows a copy of the list in its order. Emits nothing.
    void load(const DataListEmailFilter &list);
    // The copy, with the checks of the rows, in the table's order.
    void save(DataListEmailFilter &list);
    void setRowData(int row, const DataEmailFilter &filter);
    // Exchanges two rows; the filter moved to row `to` stays current, its margin and check
    // columns selected.
    void swapTableRows(int from, int to);

    [[nodiscard]] const DataListEmailFilter &list() const { return m_list; }

signals:
    void sigCurrent(const DataEmailFilter &filter);
    void sigEmpty();
    void sigChanged();

public slots:
    void slotCurrent();
    void slotAdd();
    void slotRemove();
    void slotProperties();
    // A toggled check: the filter of the changed row.
    void slotValueChanged(int row, int column);
    void slotMoveUp();
    void slotMoveDown();

private:
    void refreshDisabled(int row);
    void reportCurrent();
    void move(int row, int other);

    DataListEmailFilter m_list;
    QPushButton *m_add = nullptr;
    QPushButton *m_edit = nullptr;
    QPushButton *m_remove = nullptr;
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
};
