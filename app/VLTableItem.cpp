#include "VLTableItem.h"

bool VLTableItem::operator<(const QTableWidgetItem &other) const {
    if (const auto *keyed = dynamic_cast<const VLTableItem *>(&other))
        return key() < keyed->key();
    return QTableWidgetItem::operator<(other);
}

QString VLTableItem::hexKey(quint64 value, int width) {
    char digits[16];
    int n = 0;
    do {
        digits[n++] = "0123456789abcdef"[value & 0xf];
        value >>= 4;
    } while (value != 0);
    QString key(qMax(width, n), QLatin1Char('0'));
    QChar *out = key.data() + key.size();
    for (int i = 0; i < n; ++i)
        *--out = QLatin1Char(digits[i]);
    return key;
}
