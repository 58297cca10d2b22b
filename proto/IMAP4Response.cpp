#include "IMAP4Response.h"

#include <QMetaEnum>

#include <limits>
#include <ostream>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isWordByte(char c) {
    return isDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// Reads line from at through the blanks that follow; at then names the next word.
void skipBlanks(const QByteArray &line, qsizetype &at) {
    while (at < line.size() && isBlank(line.at(at)))
        ++at;
}

// The word at at (up to a blank, or to any of stops), and at after it.
QByteArray word(const QByteArray &line, qsizetype &at, QByteArrayView stops = {}) {
    const qsizetype start = at;
    while (at < line.size() && !isBlank(line.at(at)) && stops.indexOf(line.at(at)) < 0)
        ++at;
    return line.mid(start, at - start);
}

// Digits alone, at most 18 of them (so the value fits); -1 for anything else.
qint64 digitsValue(QByteArrayView digits) {
    if (digits.isEmpty() || digits.size() > 18)
        return -1;
    qint64 n = 0;
    for (const char c : digits) {
        if (!isDigit(c))
            return -1;
        n = n * 10 + (c - '0');
    }
    return n;
}

// Digits alone of any length, a value too large to hold read as the largest one: a count
// is never taken for a word, nor a huge one for a small one; -1 for anything else.
qint64 countValue(QByteArrayView digits) {
    if (digits.size() <= 18)
        return digitsValue(digits);
    for (const char c : digits) {
        if (!isDigit(c))
            return -1;
    }
    return std::numeric_limits<qint64>::max();
}

IMAP4Response::Status statusOf(const QByteArray &word, bool tagged) {
    using S = IMAP4Response::Status;
    const QByteArray w = word.toUpper();
    if (w == "OK")
        return S::Ok;
    if (w == "NO")
        return S::No;
    if (w == "BAD")
        return S::Bad;
    if (!tagged && w == "PREAUTH")
        return S::Preauth;
    if (!tagged && w == "BYE")
        return S::Bye;
    return S::None;
}

// "[NAME argument]" right after a status.
void responseCode(const QByteArray &line, qsizetype at, IMAP4Response &r) {
    skipBlanks(line, at);
    if (at >= line.size() || line.at(at) != '[')
        return;
    const qsizetype close = line.indexOf(']', at);
    if (close < 0)
        return;
    ++at;
    r.code = word(line, at, "]").toUpper();
    r.codeArgument = line.mid(at, close - at).trimmed();
}

// The digits after the last whole word item (any case) at or after from that blanks and at
// least one digit follow; empty when there is none.
QByteArray lastItemDigits(const QByteArray &line, qsizetype from, QByteArrayView item) {
    const char *p = line.constData();
    const qsizetype n = line.size();
    const qsizetype length = item.size();
    for (qsizetype at = n - length; at >= from; --at) {
        if (qstrnicmp(p + at, length, item.data(), length) != 0 || (at > 0 && isWordByte(p[at - 1])))
            continue;
        qsizetype i = at + length;
        if (i >= n || !isBlank(p[i]))
            continue;
        while (i < n && isBlank(p[i]))
            ++i;
        const qsizetype digits = i;
        while (i < n && isDigit(p[i]))
            ++i;
        if (i > digits)
            return QByteArray(p + digits, i - digits);
    }
    return {};
}

// What the first whole word "FLAGS" (any case) at or after from holds in the parentheses
// that follow it; empty when there is none.
QByteArray flagList(const QByteArray &line, qsizetype from) {
    const char *p = line.constData();
    const qsizetype n = line.size();
    for (qsizetype at = from; at + 5 <= n; ++at) {
        if (qstrnicmp(p + at, "FLAGS", 5) != 0 || (at > 0 && isWordByte(p[at - 1])) ||
            (at + 5 < n && isWordByte(p[at + 5])))
            continue;
        qsizetype i = at + 5;
        while (i < n && isBlank(p[i]))
            ++i;
        if (i >= n || p[i] != '(')
            continue;
        const qsizetype close = line.indexOf(')', i);
        if (close < 0)
            return {};
        return line.mid(i + 1, close - i - 1).trimmed();
    }
    return {};
}

// Whether the blank-separated words of list hold word, compared without regard to case.
bool holdsWord(QByteArrayView list, QByteArrayView word) {
    qsizetype at = 0;
    const qsizetype n = list.size();
    while (at < n) {
        while (at < n && isBlank(list.at(at)))
            ++at;
        const qsizetype start = at;
        while (at < n && !isBlank(list.at(at)))
            ++at;
        if (at - start == word.size() && at > start &&
            qstrnicmp(list.data() + start, word.data(), size_t(word.size())) == 0)
            return true;
    }
    return false;
}

// "{n}" or "{n+}" ending the line: n, else -1.
qint64 literalSize(const QByteArray &line) {
    if (!line.endsWith('}'))
        return -1;
    const qsizetype open = line.lastIndexOf('{');
    if (open < 0)
        return -1;
    QByteArrayView digits(line.constData() + open + 1, line.size() - open - 2);
    if (digits.endsWith('+'))
        digits.chop(1);
    return digitsValue(digits);
}

template <typename E> const char *name(E value) {
    const char *key = QMetaEnum::fromType<E>().valueToKey(int(value));
    return key ? key : "?";
}

} // namespace

IMAP4Response IMAP4Response::parse(const QByteArray &line, bool afterLiteral) {
    IMAP4Response r;
    r.line = line;
    if (afterLiteral) {
        r.kind = Kind::AfterLiteral;
        r.literal = literalSize(line);
        return r;
    }
    if (line.startsWith('+')) {
        r.kind = Kind::Continuation;
        return r;
    }
    qsizetype at = 0;
    if (!line.startsWith('*')) {
        r.kind = Kind::Tagged;
        r.tag = word(line, at);
        skipBlanks(line, at);
        r.status = statusOf(word(line, at, "["), true);
        if (r.status != Status::None)
            responseCode(line, at, r);
        return r;
    }
    r.kind = Kind::Untagged;
    r.literal = literalSize(line);
    at = 1;
    skipBlanks(line, at);
    const QByteArray first = word(line, at, "([");
    r.status = statusOf(first, false);
    if (r.status != Status::None) {
        responseCode(line, at, r);
        return r;
    }
    r.number = countValue(first);
    if (r.number < 0) {
        r.keyword = first.toUpper();
        return r;
    }
    skipBlanks(line, at);
    r.keyword = word(line, at, "([").toUpper();
    if (r.keyword == "FETCH") {
        r.uid = lastItemDigits(line, at, "UID");
        r.size = digitsValue(lastItemDigits(line, at, "RFC822.SIZE"));
        r.flags = flagList(line, at);
    }
    return r;
}

bool IMAP4Response::hasFlag(QByteArrayView flag) const {
    return holdsWord(flags, flag);
}

bool IMAP4Response::listsCapability(QByteArrayView list, QByteArrayView capability) {
    return holdsWord(list, capability);
}

std::ostream &operator<<(std::ostream &os, const IMAP4Response &r) {
    os << name(r.kind);
    if (!r.tag.isEmpty())
        os << " tag=" << r.tag.constData();
    if (r.status != IMAP4Response::Status::None)
        os << " status=" << name(r.status);
    if (!r.code.isEmpty())
        os << " code=" << r.code.constData() << " [" << r.codeArgument.constData() << ']';
    if (r.number >= 0)
        os << " number=" << r.number;
    if (!r.keyword.isEmpty())
        os << " keyword=" << r.keyword.constData();
    if (!r.uid.isEmpty())
        os << " uid=" << r.uid.constData();
    if (r.size >= 0)
        os << " size=" << r.size;
    if (!r.flags.isEmpty())
        os << " flags=(" << r.flags.constData() << ')';
    if (r.literal >= 0)
        os << " literal=" << r.literal;
    return os << " line=\"" << r.line.left(200).constData() << '"';
}
