#include "VLSizeItem.h"

#include "data/data_email.h"

#include <climits>

namespace {

// The size on the server when the listing gave one the cell can hold, else Content-Length,
// which few messages carry.
int shownSize(const DataEmailMessage &message) {
    if (message.listedSize >= 0 && message.listedSize <= INT_MAX)
        return int(message.listedSize);
    bool ok = false;
    const int n = message.length.toInt(&ok);
    return ok && n > 0 ? n : 0;
}

} // namespace

VLSizeItem::VLSizeItem(const DataEmailMessage &message) : VLTableItem(Type) {
    m_size = shownSize(message);
    // The key is the shown number itself, so sorting follows what the column shows.
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
