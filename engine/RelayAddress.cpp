#include "RelayAddress.h"

namespace {

bool isDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

using Parts = QStringView[4];

QString joinReversed(const Parts &parts) {
    QString quad;
    quad.reserve(parts[0].size() + parts[1].size() + parts[2].size() + parts[3].size() + 3);
    quad.append(parts[3]).append(u'.').append(parts[2]).append(u'.').append(parts[1]).append(u'.').append(
        parts[0]);
    return quad;
}

// Four runs of digits joined by single dots, starting exactly at pos; end is the position
// after the last digit.
bool readQuadForward(QStringView text, qsizetype pos, Parts &parts, qsizetype &end) {
    for (int i = 0; i < 4; ++i) {
        if (i > 0) {
            if (pos >= text.size() || text[pos] != u'.')
                return false;
            ++pos;
        }
        const qsizetype start = pos;
        while (pos < text.size() && isDigit(text[pos]))
            ++pos;
        if (pos == start)
            return false;
        parts[i] = text.mid(start, pos - start);
    }
    end = pos;
    return true;
}

// The first address written between open and close. A read that starts after one opening
// character stops at the next character that is neither digit nor dot, so no character is
// read twice.
bool findEnclosed(QStringView text, QChar open, QChar close, Parts &parts) {
    for (qsizetype at = text.indexOf(open); at >= 0; at = text.indexOf(open, at + 1)) {
        qsizetype end = 0;
        if (readQuadForward(text, at + 1, parts, end) && end < text.size() && text[end] == close)
            return true;
    }
    return false;
}

// The first address directly followed by " by". Each " by" is read backwards over the
// digits and dots before it; the first number takes every digit before it, as a search
// that starts as early as possible would.
bool findBeforeBy(QStringView text, Parts &parts) {
    const QLatin1String by(" by");
    for (qsizetype at = text.indexOf(by); at >= 0; at = text.indexOf(by, at + 1)) {
        qsizetype end = at;
        bool ok = true;
        for (int i = 3; i >= 0 && ok; --i) {
            qsizetype start = end;
            while (start > 0 && isDigit(text[start - 1]))
                --start;
            if (start == end) {
                ok = false;
                break;
            }
            parts[i] = text.mid(start, end - start);
            if (i > 0) {
                if (start == 0 || text[start - 1] != u'.')
                    ok = false;
                end = start - 1;
            }
        }
        if (ok)
            return true;
    }
    return false;
}

bool isOneWord(QStringView text) {
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c.isSpace())
            return false;
    }
    return true;
}

} // namespace

RelayAddress RelayAddress::fromReceivedText(QStringView recvFrom) {
    RelayAddress relay;
    Parts parts;
    if (findEnclosed(recvFrom, u'[', u']', parts) || findEnclosed(recvFrom, u'(', u')', parts) ||
        findBeforeBy(recvFrom, parts)) {
        relay.kind = Kind::Address;
        relay.quad = joinReversed(parts);
        return relay;
    }
    const QStringView name = recvFrom.trimmed();
    if (isOneWord(name)) {
        relay.kind = Kind::HostName;
        relay.host = name.toString();
    }
    return relay;
}

QString RelayAddress::reversedQuad(QStringView dotted) {
    Parts parts;
    qsizetype from = 0;
    for (int i = 0; i < 4; ++i) {
        const qsizetype dot = dotted.indexOf(u'.', from);
        if ((i < 3) != (dot >= 0))
            return QString();
        const qsizetype end = i < 3 ? dot : dotted.size();
        parts[i] = dotted.mid(from, end - from);
        from = end + 1;
    }
    return joinReversed(parts);
}
