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

bool VLTableOrder::exchangeRows(QTableWidget *table, int a, int b) {
    const int rows = table->rowCount();
    if (a < 0 || b < 0 || a >= rows || b >= rows || a == b)
        return false;
    {
        // A move is no edit: owners that watch item changes (a toggled check) see none.
        const QSignalBlocker block(table);
        for (int c = 0; c < table->columnCount(); ++c) {
            QTableWidgetItem *itemA = table->takeItem(a, c);
            QTableWidgetItem *itemB = table->takeItem(b, c);
            table->setItem(a, c, itemB);
            table->setItem(b, c, itemA);

            // Cell widgets (combo cells) travel with their row. Taking a widget out of the
            // table schedules its deletion; that is called off, since it lives on in the
            // other row.
            QWidget *widgetA = table->cellWidget(a, c);
            QWidget *widgetB = table->cellWidget(b, c);
            if (!widgetA && !widgetB)
                continue;
            table->removeCellWidget(a, c);
            table->removeCellWidget(b, c);
            for (QWidget *w : {widgetA, widgetB}) {
                if (w)
                    QCoreApplication::removePostedEvents(w, QEvent::DeferredDelete);
            }
            if (widgetB)
                table->setCellWidget(a, c, widgetB);
            if (widgetA)
                table->setCellWidget(b, c, widgetA);
        }
    }
    return true;
}

void VLTableOrder::swapRows(int a, int b) {
    if (!exchangeRows(m_table, a, b))
        return;
    const int lastColumn = qMin(1, m_table->columnCount() - 1);
    m_table->setCurrentCell(b, lastColumn);
    m_table->clearSelection();
    m_table->setRangeSelected(QTableWidgetSelectionRange(b, 0, b, lastColumn), true);
    m_table->viewport()->update();
}
