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

constexpr char16_t asciiLower(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c + 0x20) : c;
}

bool isAscii(QStringView text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// Equal without regard to case, as QString::compare with Qt::CaseInsensitive says. Two
// ASCII characters are compared by hand; Qt's case folding decides as soon as either is
// beyond ASCII (the Kelvin sign folds to "k").
bool equalIgnoringCase(QStringView a, QStringView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x == y)
            continue;
        if ((x | y) >= 0x80)
            return a.compare(b, Qt::CaseInsensitive) == 0;
        if (asciiLower(x) != asciiLower(y))
            return false;
    }
    return true;
}

bool isWildcard(QChar c) {
    return c == u'*' || c == u'?' || c == u'+';
}

// Letters, digits and "@", ".", "-", "_" stand for themselves in a wildcard entry.
bool isLiteral(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u'@' ||
           u == u'.' || u == u'-' || u == u'_';
}

// False when the entry cannot match this sender, found without the pattern: an entry of
// literal characters and wildcards (nearly all of them, "*@domain") must start with the
// text before its first wildcard and end with the text after its last one. An ASCII sender
// is compared by ASCII case; any other entry or sender is left to the pattern.
bool mayMatch(const QString &address, const QString &sender) {
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < address.size(); ++i) {
        if (isWildcard(address[i])) {
            if (first < 0)
                first = i;
            last = i;
        } else if (!isLiteral(address[i])) {
            return true;
        }
    }
    if (first < 0 || !isAscii(sender))
        return true;
    const QStringView prefix = QStringView(address).left(first);
    const QStringView suffix = QStringView(address).mid(last + 1);
    if (sender.size() < prefix.size() + suffix.size())
        return false;
    return equalIgnoringCase(prefix, QStringView(sender).left(prefix.size())) &&
           equalIgnoringCase(suffix, QStringView(sender).right(suffix.size()));
}

} // namespace

bool DataEmailMatch::match(const QString &senderAddress) const {
    if (disabled)
        return false;
    // Case folding keeps the length, so most entries are passed over without reading them.
    if (!wildcard)
        return equalIgnoringCase(address, senderAddress);
    if (!mayMatch(address, senderAddress))
        return false;
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
