#include "VLCheckTableItem.h"

#include "VLCellPainting_p.h"

#include <QPainter>
#include <QSignalBlocker>
#include <QTableWidget>

VLCheckTableItem::VLCheckTableItem() : VLTableItem(Type) {
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    setCheckState(Qt::Unchecked);
}

bool VLCheckTableItem::isChecked() const {
    return checkState() == Qt::Checked;
}

bool VLCheckTableItem::isCurrent() const {
    const QTableWidget *table = tableWidget();
    return table && table->currentItem() == this;
}

void VLCheckTableItem::setChecked(bool on) {
    const Qt::CheckState state = on ? Qt::Checked : Qt::Unchecked;
    QTableWidget *table = tableWidget();
    if (!table || isCurrent()) {
        setCheckState(state);
        return;
    }
    {
        const QSignalBlocker quiet(table->model());
        setCheckState(state);
    }
    // A hidden table, or one being filled with updates off, is painted whole later.
    if (table->isVisible() && table->viewport()->updatesEnabled())
        table->viewport()->update(table->visualItemRect(this));
}

void VLCheckTableItem::toggle() {
    if (isCurrent())
        setCheckState(isChecked() ? Qt::Unchecked : Qt::Checked);
}

void VLCheckTableItem::paint(QPainter *painter, const QPalette &palette, const QRect &rect,
                             bool selected) const {
    const QTableWidget *table = tableWidget();
    painter->fillRect(rect, selected ? palette.brush(QPalette::Highlight) : palette.brush(QPalette::Base));
    const bool enabled = (flags() & Qt::ItemIsEnabled) && (!table || table->isEnabled());
    const QSize indicator = VLCellPainting::indicatorSize(table);
    const QRect box(rect.center() - QPoint(indicator.width() / 2, indicator.height() / 2), indicator);
    VLCellPainting::drawIndicator(painter, table, palette, box, isChecked(), enabled);
}

QSize VLCheckTableItem::sizeHint(const QSize &textHint) const {
    return VLCellPainting::indicatorCellHint(tableWidget(), textHint);
}
