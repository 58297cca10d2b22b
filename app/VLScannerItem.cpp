#include "VLScannerItem.h"

VLScannerItem::VLScannerItem() : QTableWidgetItem(Type) {
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}
