#include "LinearPatterns.h"

namespace {

// One code point of text at i and its length in UTF-16 units (a lone surrogate is a code
// point of its own, as the matcher reads it).
inline char32_t codePointAt(QStringView text, qsizetype i, int &units) {
    const QChar c = text[i];
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
        units = 2;
        return QChar::surrogateToUcs4(c, text[i + 1]);
    }
    units = 1;
    return c.unicode();
}

// \w with Unicode properties: a letter, a number or the underscore.
bool isWord(char32_t c) {
    // Mail is mostly ASCII: answer that without the Unicode tables.
    if (c < 0x80)
        return (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || (c >= U'0' && c <= U'9') || c == U'_';
    return QChar::isLetterOrNumber(c);
}

bool isLocalPart(char32_t c) {
    return isWord(c) || c == U'.' || c == U'\'' || c == U'&' || c == U'-';
}

// \s with Unicode properties.
bool isSpace(char32_t c) {
    return QChar::isSpace(c);
}

// The end of the longest "([\w-]+\.)+[\w]+" at from, or -1. The labels are tried from the
// most to the fewest, as the greedy repetition backtracks: the first whose following text
// starts with a word character wins, and that word run ends the match.
qsizetype domainEnd(QStringView text, qsizetype from) {
    qsizetype best = -1;
    qsizetype i = from;
    const qsizetype n = text.size();
    while (i < n) {
        // One label: [\w-]+ then ".".
        qsizetype j = i;
        while (j < n) {
            int units = 0;
            const char32_t c = codePointAt(text, j, units);
            if (!isWord(c) && c != U'-')
                break;
            j += units;
        }
        if (j == i || j >= n || text[j] != QLatin1Char('.'))
            break;
        // After this label's dot: a word run would end a match here.
        qsizetype k = j + 1;
        while (k < n) {
            int units = 0;
            if (!isWord(codePointAt(text, k, units)))
                break;
            k += units;
        }
        if (k > j + 1)
            best = k;
        i = j + 1;
    }
    // The greedy repetition takes as many labels as allow a final word run; best is the end
    // of the word run after the last dot that has one.
    return best;
}

bool foldedEquals(QStringView text, qsizetype at, QLatin1String lower) {
    if (at + lower.size() > text.size())
        return false;
    for (qsizetype k = 0; k < lower.size(); ++k) {
        if (text[at + k].toCaseFolded() != QLatin1Char(lower[k]))
            return false;
    }
    return true;
}

// The first place at or after from where lower starts, case folded; -1 when none.
qsizetype foldedFind(QStringView text, qsizetype from, QLatin1String lower) {
    for (qsizetype i = from; i + lower.size() <= text.size(); ++i) {
        if (foldedEquals(text, i, lower))
            return i;
    }
    return -1;
}

qsizetype skipSpace(QStringView text, qsizetype i) {
    while (i < text.size()) {
        int units = 0;
        if (!isSpace(codePointAt(text, i, units)))
            break;
        i += units;
    }
    return i;
}

} // namespace

namespace LinearPatterns {

QString removeEmailAddresses(QStringView text) {
    QString out;
    qsizetype copied = 0;
    qsizetype runStart = 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        int units = 0;
        const char32_t c = codePointAt(text, i, units);
        if (c == U'@') {
            // The leftmost match starts where the run of local-part characters before the
            // "@" starts; none when the run is empty or no domain follows.
            const qsizetype end = runStart < i ? domainEnd(text, i + 1) : -1;
            if (end >= 0) {
                out += text.mid(copied, runStart - copied);
                copied = end;
                i = end;
                runStart = end;
                continue;
            }
            runStart = i + 1;
        } else if (!isLocalPart(c)) {
            runStart = i + units;
        }
        i += units;
    }
    if (copied == 0)
        return text.toString();
    out += text.mid(copied);
    return out;
}

bool attachmentName(QStringView text, QString &name) {
    static const QLatin1String disposition("content-disposition:");
    static const QLatin1String filename("filename");
    // "(.*\n){0,2}[^\n]*" lets anything stand between the two words, so the first
    // "Content-Disposition:" decides: a later one could only find the same file names.
    const qsizetype start = foldedFind(text, 0, disposition);
    if (start < 0)
        return false;
    qsizetype from = start + disposition.size();
    for (;;) {
        const qsizetype at = foldedFind(text, from, filename);
        if (at < 0)
            return false;
        qsizetype i = skipSpace(text, at + filename.size());
        if (i < text.size() && text[i] == QLatin1Char('=')) {
            i = skipSpace(text, i + 1);
            if (i < text.size() && text[i] == QLatin1Char('"')) {
                // Minimal: the name ends at the next quote, line ends included. Without
                // one no later file name can close either.
                const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
                if (close < 0)
                    return false;
                name = text.mid(i + 1, close - i - 1).toString();
                return true;
            }
        }
        from = at + 1;
    }
}

} // namespace LinearPatterns
