#include "VLMailTable.h"

#include "VLCellDelegate.h"
#include "VLScannerItem.h"

VLMailTable::VLMailTable(QWidget *parent) : QTableWidget(parent) {
    // The learning cell's editor lives while its cell is current; nothing else edits.
    setEditTriggers(QAbstractItemView::CurrentChanged);
    setItemDelegate(new VLCellDelegate(this));
}

void VLMailTable::backgroundForRow(int row, QPalette &palette) const {
    if (row % 2 == 1)
        palette.setColor(QPalette::Base, QColor(224, 224, 224));
    const auto *scanner = dynamic_cast<const VLScannerItem *>(item(row, 0));
    if (!scanner || scanner->status().bgColor.isEmpty())
        return;
    // A stored name that is no colour leaves the shade alone rather than painting black.
    const QColor colour(scanner->status().bgColor);
    if (colour.isValid())
        palette.setColor(QPalette::Base, colour);
}
