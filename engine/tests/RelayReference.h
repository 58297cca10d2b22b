#pragma once
// The relay-address search written as the three regular expressions it stands for, tried in
// order: the reference that the linear search must agree with.

#include "PatternSearch.h"
#include "RelayAddress.h"

#include <QRegularExpression>

#include <algorithm>

namespace vltest {

inline RelayAddress referenceRelay(const QString &recvFrom) {
    static const QRegularExpression patterns[] = {
        PatternSearch::compile(QStringLiteral("\\[([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)\\]"),
                               PatternSearch::Case::Sensitive),
        PatternSearch::compile(QStringLiteral("\\(([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+)\\)"),
                               PatternSearch::Case::Sensitive),
        PatternSearch::compile(QStringLiteral("([0-9]+)\\.([0-9]+)\\.([0-9]+)\\.([0-9]+) by"),
                               PatternSearch::Case::Sensitive),
    };
    RelayAddress relay;
    for (const QRegularExpression &re : patterns) {
        const QRegularExpressionMatch m = re.match(recvFrom);
        if (m.hasMatch()) {
            relay.kind = RelayAddress::Kind::Address;
            relay.quad =
                QStringLiteral("%1.%2.%3.%4").arg(m.captured(4), m.captured(3), m.captured(2), m.captured(1));
            return relay;
        }
    }
    // Otherwise one word (no white space of any script) is a host name.
    const QString name = recvFrom.trimmed();
    if (!name.isEmpty() && std::none_of(name.begin(), name.end(), [](QChar c) { return c.isSpace(); })) {
        relay.kind = RelayAddress::Kind::HostName;
        relay.host = name;
    }
    return relay;
}

inline bool sameRelay(const RelayAddress &a, const RelayAddress &b) {
    return a.kind == b.kind && a.quad == b.quad && a.host == b.host;
}

} // namespace vltest
