#pragma once
// Splits what arrives on the help link into key lines: every complete line is one key, a
// partial line waits for its end, and a line longer than the limit is dropped whole, however
// it arrives, so a sender that never ends its line cannot grow memory.

#include <QByteArray>
#include <QList>

class SOHelpKeyReader {
public:
    static constexpr qsizetype MaxLine = 4096;

    // The lines that this arrival completes, in order, without their line feeds.
    QList<QByteArray> feed(const QByteArray &bytes);
    // Lines dropped for their length so far.
    [[nodiscard]] int dropped() const { return m_dropped; }

private:
    QByteArray m_pending;
    bool m_discarding = false; // the rest of an over-long line is still arriving
    int m_dropped = 0;
};
