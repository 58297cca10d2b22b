#include "keyreader.h"

#include <cstdio>

QList<QByteArray> SOHelpKeyReader::feed(const QByteArray &bytes) {
    QList<QByteArray> lines;
    m_pending += bytes;
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = m_pending.indexOf('\n', start);
        if (end < 0)
            break;
        const qsizetype length = end - start;
        if (m_discarding || length > MaxLine) {
            fprintf(stderr, "SOHelpKeyReader::feed: key line over %d bytes dropped\n",
                    static_cast<int>(MaxLine));
            ++m_dropped;
            m_discarding = false;
        } else {
            lines << m_pending.mid(start, length);
        }
        start = end + 1;
    }
    m_pending.remove(0, start);
    if (m_pending.size() > MaxLine) {
        m_pending.clear();
        m_discarding = true;
    }
    return lines;
}
