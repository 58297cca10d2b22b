#pragma once
// Where a DNS blacklist lookup finds the relay that handed a message over: an IPv4 address
// written in the received-from text, or else the text itself as the relay's host name.

#include <QString>
#include <QStringView>

struct RelayAddress {
    enum class Kind { None, Address, HostName };

    Kind kind = Kind::None;
    // Address: the four numbers in reverse order joined by dots, as blacklist zones are
    // asked ("7.2.0.192" for 192.0.2.7). The numbers are taken as written.
    QString quad;
    // HostName: the name to resolve first.
    QString host;

    // The first address in square brackets, else the first in parentheses, else the first
    // followed by " by"; with none, the whole text as a host name when it is one word, else
    // nothing to look up. Linear in the length of the text.
    [[nodiscard]] static RelayAddress fromReceivedText(QStringView recvFrom);
    // "a.b.c.d" as "d.c.b.a"; empty unless the text has exactly four dot-separated parts.
    [[nodiscard]] static QString reversedQuad(QStringView dotted);
};
