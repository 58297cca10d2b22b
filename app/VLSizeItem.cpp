#include "VLSizeItem.h"

#include "data/data_email.h"

VLSizeItem::VLSizeItem(const DataEmailMessage &message) : VLTableItem(Type) {
    bool ok = false;
    const int n = message.length.toInt(&ok);
    m_size = ok && n > 0 ? n : 0;
    m_key = QString::asprintf("%08x", unsigned(m_size));

    // Rounded to the nearest unit.
    QString text;
    if (m_size < 1024)
        text = QString::number(m_size);
    else if (m_size < 1048576)
        text = QStringLiteral("%1KB").arg((m_size + 512) / 1024);
    else
        text = QStringLiteral("%1MB").arg((qint64(m_size) + 524288) / 1048576);
    setText(text);
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}
