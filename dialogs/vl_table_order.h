#pragma once
// Up and down buttons beside a label that move the current row of a table; the owner
// reads the new order back from the table.

#include <QWidget>

class QTableWidget;
class QToolButton;

class VLTableOrder : public QWidget {
    Q_OBJECT
public:
    VLTableOrder(QTableWidget *table, const char *label, QWidget *parent, const char *name);

    [[nodiscard]] QToolButton *buttonUp() const { return m_up; }
    [[nodiscard]] QToolButton *buttonDown() const { return m_down; }

    // Exchanges two rows, cells and cell widgets alike (row headers stay), and makes row b
    // current and selected; rows outside the table change nothing.
    void swapRows(int a, int b);
    // Exchanges the contents of two rows, cells and cell widgets alike, with the table's
    // signals blocked; no current cell or selection is set. Rows outside the table change
    // nothing; false then.
    static bool exchangeRows(QTableWidget *table, int a, int b);

public slots:
    void slotMoveUp();
    void slotMoveDown();

private:
    QTableWidget *m_table;
    QToolButton *m_up;
    QToolButton *m_down;
};
