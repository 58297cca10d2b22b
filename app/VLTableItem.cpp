#include "VLTableItem.h"

bool VLTableItem::operator<(const QTableWidgetItem &other) const {
    if (const auto *keyed = dynamic_cast<const VLTableItem *>(&other))
        return key() < keyed->key();
    return QTableWidgetItem::operator<(other);
}
