#include "VLSizeItem.h"

#include "data/data_email.h"

VLSizeItem::VLSizeItem(const DataEmailMessage &message) : VLTableItem(Type) {
    bool ok = false;
    const int n = message.length.toInt(&ok);
    m_size = ok && n > 0 ? n : 0;
    m_key = hexKey(unsigned(m_size), 8);

    // Rounded to the nearest unit.
    QString text;
    if (m_size < 1024)
        text = QString::number(m_size);
    else if (m_size < 1048576)
        text = QString::number((m_size + 512) / 1024) + QLatin1String("KB");
    else
        text = QString::number((qint64(m_size) + 524288) / 1048576) + QLatin1String("MB");
    setText(text);
    setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}
