#pragma once
// The header table of DataEmailMessage::extract. Each row stands for the case-insensitive
// POSIX extended expression that pattern() gives (matched byte-wise, group 1 taken), coded
// by hand: the expressions are all a literal start and one simple rule for the value, and
// the general matcher costs microseconds a line on the scan path.

#include "cpp/CUtils.h"

#include <QByteArray>

#include <string_view>

class HeaderTable {
public:
    enum Row {
        Recvfrom,
        Delivto,
        Rcvfor,
        XEnvto,
        XOrigto,
        Resentfrom,
        XApparently,
        From,
        To,
        Cc,
        Replyto,
        Returnpath,
        Subject,
        Date,
        Status,
        Priority,
        MessageID1,
        MessageID2,
        VLMessageID,
        Arrived,
        Length,
        ContentType,
        RowCount
    };

    // The expression the row stands for.
    static const char *pattern(Row row);
    // On a match sets group to what group 1 of the expression takes and returns true.
    static bool take(Row row, const QByteArray &line, QByteArray &group);
};

// The blanks of a header line: space, tab, CR, LF, VT and FF.
inline bool isSpaceByte(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

inline bool isHex(unsigned char c) {
    return hexDigitValue(c) >= 0;
}

// The bytes of a header line, for the ASCII text helpers.
inline std::string_view bytesView(const QByteArray &bytes) {
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}
