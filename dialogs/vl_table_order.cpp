#include "vl_table_order.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QToolButton>

VLTableOrder::VLTableOrder(QTableWidget *table, const char *label, QWidget *parent, const char *name)
    : QWidget(parent), m_table(table), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
    setObjectName(QLatin1String(name));
    auto *text = new QLabel(QString::fromUtf8(label), this);
    m_up->setObjectName(QStringLiteral("up"));
    m_up->setIcon(QIcon(QStringLiteral(":/vlImages/spinup.png")));
    m_down->setObjectName(QStringLiteral("down"));
    m_down->setIcon(QIcon(QStringLiteral(":/vlImages/spindown.png")));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(10);
    grid->addWidget(m_up, 0, 0);
    grid->addWidget(m_down, 1, 0);
    grid->addWidget(text, 0, 1, 2, 1);
    grid->setColumnStretch(1, 1);
    connect(m_up, &QToolButton::clicked, this, &VLTableOrder::slotMoveUp);
    connect(m_down, &QToolButton::clicked, this, &VLTableOrder::slotMoveDown);
}

void VLTableOrder::slotMoveUp() {
    const int row = m_table->currentRow();
    swapRows(row, row - 1);
}

void VLTableOrder::slotMoveDown() {
    const int row = m_table->currentRow();
    swapRows(row, row + 1);
}

void VLTableOrder::swapRows(int a, int b) {
    const int rows = m_table->rowCount();
    if (a < 0 || b < 0 || a >= rows || b >= rows || a == b)
        return;
    {
        // A move is no edit: owners that watch item changes (a toggled check) see none.
        const QSignalBlocker block(m_table);
        for (int c = 0; c < m_table->columnCount(); ++c) {
            QTableWidgetItem *itemA = m_table->takeItem(a, c);
            QTableWidgetItem *itemB = m_table->takeItem(b, c);
            m_table->setItem(a, c, itemB);
            m_table->setItem(b, c, itemA);

            // Cell widgets (combo cells) travel with their row. Taking a widget out of the
            // table schedules its deletion; that is called off, since it lives on in the
            // other row.
            QWidget *widgetA = m_table->cellWidget(a, c);
            QWidget *widgetB = m_table->cellWidget(b, c);
            if (!widgetA && !widgetB)
                continue;
            m_table->removeCellWidget(a, c);
            m_table->removeCellWidget(b, c);
            for (QWidget *w : {widgetA, widgetB}) {
                if (w)
                    QCoreApplication::removePostedEvents(w, QEvent::DeferredDelete);
            }
            if (widgetB)
                m_table->setCellWidget(a, c, widgetB);
            if (widgetA)
                m_table->setCellWidget(b, c, widgetA);
        }
    }
    const int lastColumn = qMin(1, m_table->columnCount() - 1);
    m_table->setCurrentCell(b, lastColumn);
    m_table->clearSelection();
    m_table->setRangeSelected(QTableWidgetSelectionRange(b, 0, b, lastColumn), true);
    m_table->viewport()->update();
}
