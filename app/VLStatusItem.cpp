#include "VLStatusItem.h"

#include "VLScannerItem.h"

VLStatusItem::VLStatusItem(const VLScannerItem *row) : VLTableItem(Type), m_row(row) {
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}

QString VLStatusItem::key() const {
    QLatin1String group("1_");
    if (m_row && m_row->isJunk())
        group = QLatin1String("2_");
    else if (m_row && m_row->isLegitimate())
        group = QLatin1String("0_");
    return group + text();
}
