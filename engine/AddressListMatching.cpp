// Matching a sender address against the friends list and the blacklist.

#include "PatternSearch.h"

#include "data/data_list_matches.h"

namespace {

// The user's wildcard notation as a regular expression: "." is literal, "?" one character,
// "*" any run (also none), "+" a run of at least one. Everything else keeps its
// regular-expression meaning, as entries written for earlier versions expect.
QString wildcardPattern(QString address) {
    address.replace(QLatin1String("."), QLatin1String("\\."));
    address.replace(QLatin1String("?"), QLatin1String("."));
    address.replace(QLatin1String("*"), QLatin1String(".*"));
    address.replace(QLatin1String("+"), QLatin1String("..*"));
    return address;
}

} // namespace

bool DataEmailMatch::match(const QString &senderAddress) const {
    if (disabled)
        return false;
    // Case folding keeps the length, so most entries are passed over without reading them.
    if (!wildcard)
        return address.size() == senderAddress.size() &&
               address.compare(senderAddress, Qt::CaseInsensitive) == 0;
    const QRegularExpression *re = pattern.get(address);
    if (!re)
        re = pattern.set(
            address, PatternSearch::compileWhole(wildcardPattern(address), PatternSearch::Case::Insensitive));
    return PatternSearch::search(*re, senderAddress, "DataEmailMatch::match") == PatternSearch::Result::Found;
}

bool DataListEmailMatch::match(const QString &senderAddress) {
    for (DataEmailMatch &entry : entries) {
        if (entry.match(senderAddress)) {
            entry.used();
            return true;
        }
    }
    return false;
}
