// The header table of the message record: the byte-wise header patterns and the hand-coded
// rows that DataEmailMessage::extract reads a header line with.

#include "cpp/AsciiText.h"
#include "data_email.h"
#include "data_email_p.h"

#include <cstdio>
#include <cstring>
#include <locale.h>

// ---------------------------------------------------------------------------------------
// Byte-wise header patterns

namespace {

// glibc's regex follows the thread's locale: in a UTF-8 locale it stops at the first byte
// that is not UTF-8 and folds case by the locale's rules. Header bytes are not text in
// any locale, so compile and run every pattern under the "C" locale.
locale_t cLocale() {
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
    return c;
}

class CLocaleScope {
public:
    CLocaleScope() : m_old(cLocale() ? uselocale(cLocale()) : locale_t(nullptr)) {}
    ~CLocaleScope() {
        if (m_old)
            uselocale(m_old);
    }
    CLocaleScope(const CLocaleScope &) = delete;
    CLocaleScope &operator=(const CLocaleScope &) = delete;

private:
    locale_t m_old;
};

} // namespace

ExtractHeader::ExtractHeader(const char *pattern) {
    CLocaleScope c;
    m_ok = regcomp(&m_regex, pattern, REG_EXTENDED | REG_ICASE) == 0;
    if (!m_ok)
        std::fprintf(stderr, "ExtractHeader::ExtractHeader: cannot compile [%s]\n", pattern);
}

ExtractHeader::~ExtractHeader() {
    if (m_ok)
        regfree(&m_regex);
}

bool ExtractHeader::match(const QByteArray &line, QByteArray &group) const {
    if (!m_ok)
        return false;
    regmatch_t m[2];
    {
        CLocaleScope c;
        if (regexec(&m_regex, line.constData(), 2, m, 0) != 0)
            return false;
    }
    if (m[1].rm_so < 0)
        group = QByteArray();
    else
        group = line.mid(m[1].rm_so, m[1].rm_eo - m[1].rm_so);
    return true;
}

bool ExtractHeader::extract(const QByteArray &line, QString &out) const {
    QByteArray g;
    if (!match(line, g))
        return false;
    out = QString::fromLatin1(g);
    return true;
}

bool ExtractHeader::extract(const QByteArray &line, QStringList &out) const {
    QByteArray g;
    if (!match(line, g))
        return false;
    out.append(QString::fromLatin1(g));
    return true;
}

bool ExtractHeader::extract(const QByteArray &line, QByteArray &out) const {
    QByteArray g;
    if (!match(line, g))
        return false;
    out = g;
    return true;
}

// ---------------------------------------------------------------------------------------
// The header table

namespace {

enum class Take {
    Rest,                    // "^start(.*)"
    Angle,                   // "^start<(.*)>": up to the last ">"
    Digits,                  // "^start([0-9]*)"
    TokenAfterLast,          // "^start.*marker([^ ]*)": the token after the last marker
    RestAfterLast,           // "^start.*marker(.*)": all after the last marker
    RestAfterLastSkipBlanks, // "^start.*marker *(.*)"
};

struct HeaderRow {
    const char *pattern;
    const char *start; // lower case
    Take take;
    const char *marker; // lower case
};

const HeaderRow headerRows[HeaderTable::RowCount] = {
    {"^received: from (.*)", "received: from ", Take::Rest, nullptr},
    {"^delivered-to: (.*)", "delivered-to: ", Take::Rest, nullptr},
    {"^received: .*for ([^ ]*)", "received: ", Take::TokenAfterLast, "for "},
    {"^x-envelope-to: (.*)", "x-envelope-to: ", Take::Rest, nullptr},
    {"^x-original.*-to: (.*)", "x-original", Take::RestAfterLast, "-to: "},
    {"^resent-from: (.*)", "resent-from: ", Take::Rest, nullptr},
    {"^x-apparently-to: (.*)", "x-apparently-to: ", Take::Rest, nullptr},
    {"^from: (.*)", "from: ", Take::Rest, nullptr},
    {"^to: (.*)", "to: ", Take::Rest, nullptr},
    {"^cc: (.*)", "cc: ", Take::Rest, nullptr},
    {"^reply-to: (.*)", "reply-to: ", Take::Rest, nullptr},
    {"^return-path: (.*)", "return-path: ", Take::Rest, nullptr},
    {"^subject: (.*)", "subject: ", Take::Rest, nullptr},
    {"^date: (.*)", "date: ", Take::Rest, nullptr},
    {"^status: (.*)", "status: ", Take::Rest, nullptr},
    {"^priority: (.*)", "priority: ", Take::Rest, nullptr},
    {"^message-id: <(.*)>", "message-id: <", Take::Angle, nullptr},
    {"^message-id: (.*)", "message-id: ", Take::Rest, nullptr},
    {"^x-velloran-id: <(.*)>", "x-velloran-id: <", Take::Angle, nullptr},
    {"^received:.*; *(.*)", "received:", Take::RestAfterLastSkipBlanks, ";"},
    {"^content-length: ([0-9]*)", "content-length: ", Take::Digits, nullptr},
    {"^content-type: (.*)", "content-type: ", Take::Rest, nullptr},
};

} // namespace

const char *HeaderTable::pattern(Row row) {
    return headerRows[row].pattern;
}

bool HeaderTable::take(Row row, const QByteArray &line, QByteArray &group) {
    const HeaderRow &r = headerRows[row];
    const qsizetype start = qsizetype(std::strlen(r.start));
    if (!Ascii::startsWithI(bytesView(line), r.start))
        return false;
    switch (r.take) {
    case Take::Rest:
        group = line.mid(start);
        return true;
    case Take::Angle: {
        const qsizetype close = line.lastIndexOf('>');
        if (close < start)
            return false;
        group = line.mid(start, close - start);
        return true;
    }
    case Take::Digits: {
        qsizetype end = start;
        while (end < line.size() && line.at(end) >= '0' && line.at(end) <= '9')
            ++end;
        group = line.mid(start, end - start);
        return true;
    }
    case Take::TokenAfterLast: {
        const std::size_t at = Ascii::rfindI(bytesView(line), r.marker, std::size_t(start));
        if (at == std::string_view::npos)
            return false;
        const qsizetype from = qsizetype(at + std::strlen(r.marker));
        qsizetype end = from;
        while (end < line.size() && line.at(end) != ' ')
            ++end;
        group = line.mid(from, end - from);
        return true;
    }
    case Take::RestAfterLast:
    case Take::RestAfterLastSkipBlanks: {
        const std::size_t at = Ascii::rfindI(bytesView(line), r.marker, std::size_t(start));
        if (at == std::string_view::npos)
            return false;
        qsizetype from = qsizetype(at + std::strlen(r.marker));
        if (r.take == Take::RestAfterLastSkipBlanks) {
            while (from < line.size() && line.at(from) == ' ')
                ++from;
        }
        group = line.mid(from);
        return true;
    }
    }
    return false;
}
