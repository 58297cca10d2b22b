#include "data_email.h"
#include "data_email_p.h"
#include "record_fields_p.h"

#include <QIODevice>
#include <QRegularExpression>
#include <QTextCodec>

#include <cstdio>
#include <cstring>
#include <ctime>
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

bool isSpaceByte(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

QString latin1UpToNul(const char *p, qsizetype n) {
    const void *nul = std::memchr(p, 0, size_t(n));
    if (nul)
        n = static_cast<const char *>(nul) - p;
    return QString::fromLatin1(p, n);
}

QByteArray bytesUpToNul(const char *p, qsizetype n) {
    const void *nul = std::memchr(p, 0, size_t(n));
    if (nul)
        n = static_cast<const char *>(nul) - p;
    return QByteArray(p, n);
}

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

namespace {

bool startsWithNoCase(const QByteArray &s, const char *prefix) {
    const qsizetype n = qsizetype(std::strlen(prefix));
    return s.size() >= n && qstrnicmp(s.constData(), prefix, size_t(n)) == 0;
}

bool containsNoCase(const QByteArray &s, const char *what) {
    const qsizetype n = qsizetype(std::strlen(what));
    for (qsizetype i = 0; i + n <= s.size(); ++i) {
        if (qstrnicmp(s.constData() + i, what, size_t(n)) == 0)
            return true;
    }
    return false;
}

// The text between the first "<" and the last ">" after it, or the value unchanged.
QString bareAddress(const QString &value) {
    const qsizetype open = value.indexOf(QLatin1Char('<'));
    const qsizetype close = value.lastIndexOf(QLatin1Char('>'));
    if (open < 0 || close <= open)
        return value;
    return value.mid(open + 1, close - open - 1);
}

} // namespace

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

// Last case-insensitive occurrence of what (lower case) at or after from, or -1.
qsizetype lastIndexNoCase(const QByteArray &s, const char *what, qsizetype from) {
    const qsizetype n = qsizetype(std::strlen(what));
    for (qsizetype i = s.size() - n; i >= from; --i) {
        if (qstrnicmp(s.constData() + i, what, size_t(n)) == 0)
            return i;
    }
    return -1;
}

} // namespace

const char *HeaderTable::pattern(Row row) {
    return headerRows[row].pattern;
}

bool HeaderTable::take(Row row, const QByteArray &line, QByteArray &group) {
    const HeaderRow &r = headerRows[row];
    const qsizetype start = qsizetype(std::strlen(r.start));
    if (line.size() < start || qstrnicmp(line.constData(), r.start, size_t(start)) != 0)
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
        const qsizetype at = lastIndexNoCase(line, r.marker, start);
        if (at < 0)
            return false;
        const qsizetype from = at + qsizetype(std::strlen(r.marker));
        qsizetype end = from;
        while (end < line.size() && line.at(end) != ' ')
            ++end;
        group = line.mid(from, end - from);
        return true;
    }
    case Take::RestAfterLast:
    case Take::RestAfterLastSkipBlanks: {
        const qsizetype at = lastIndexNoCase(line, r.marker, start);
        if (at < 0)
            return false;
        qsizetype from = at + qsizetype(std::strlen(r.marker));
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

namespace {

bool takeRow(HeaderTable::Row row, const QByteArray &line, QString &out) {
    QByteArray g;
    if (!HeaderTable::take(row, line, g))
        return false;
    out = QString::fromLatin1(g);
    return true;
}

bool takeRow(HeaderTable::Row row, const QByteArray &line, QStringList &out) {
    QByteArray g;
    if (!HeaderTable::take(row, line, g))
        return false;
    out.append(QString::fromLatin1(g));
    return true;
}

} // namespace

// ---------------------------------------------------------------------------------------
// DataEmailMessage

namespace {
// The record's members in the order of its XML form.
const RecordFields::Field<DataEmailMessage> kMessageFields[] = {
    {"uid", &DataEmailMessage::uid},
    {"headers", &DataEmailMessage::headers, RecordFields::Text},
    {"body", &DataEmailMessage::body_, RecordFields::Text},
    {"recvfrom", &DataEmailMessage::recvfrom},
    {"delivto", &DataEmailMessage::delivto},
    {"recvfor", &DataEmailMessage::recvfor},
    {"x_envto", &DataEmailMessage::x_envto},
    {"x_origto", &DataEmailMessage::x_origto},
    {"resentfrom", &DataEmailMessage::resentfrom},
    {"apparently", &DataEmailMessage::apparently},
    {"from", &DataEmailMessage::from},
    {"to", &DataEmailMessage::to},
    {"cc", &DataEmailMessage::cc},
    {"replyto", &DataEmailMessage::replyto},
    {"returnpath", &DataEmailMessage::returnpath},
    {"subject", &DataEmailMessage::subject},
    {"date", &DataEmailMessage::date},
    {"status", &DataEmailMessage::status},
    {"priority", &DataEmailMessage::priority},
    {"arrived", &DataEmailMessage::arrived},
    {"messageID", &DataEmailMessage::messageID},
    {"length", &DataEmailMessage::length},
    {"VLMessageID", &DataEmailMessage::VLMessageID},
    {"anonymize", &DataEmailMessage::anonymize},
    {"rawTo", &DataEmailMessage::rawTo},
    {"rawCc", &DataEmailMessage::rawCc},
    {"rawFrom", &DataEmailMessage::rawFrom},
    {"rawReplyto", &DataEmailMessage::rawReplyto},
    {"bestTo", &DataEmailMessage::bestTo},
    {"encSubject", &DataEmailMessage::encSubject},
    {"encFrom", &DataEmailMessage::encFrom},
    {"mime", &DataEmailMessage::mime},
    {"content", &DataEmailMessage::content},
    {"autosub", &DataEmailMessage::autosub},
    {"contentType", &DataEmailMessage::contentType},
    {"attachments", &DataEmailMessage::attachments},
    {"seen", &DataEmailMessage::seen},
};
} // namespace

DataEmailMessage::DataEmailMessage() {
    name = "DataEmailMessage";
    clear();
}

DataEmailMessage::DataEmailMessage(const QDomElement &e) {
    name = "DataEmailMessage";
    clear();
    setup(e);
}

void DataEmailMessage::clear() {
    RecordFields::clear(*this, kMessageFields);
    account.clear();
}

void DataEmailMessage::loadEmail(const SODataArray &bytes) {
    raw.append(bytes);

    const char *d = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype pos = 0;
    qsizetype headerEnd = -1;
    qsizetype bodyStart = -1;
    QByteArray current;
    while (pos < n) {
        const void *lf = std::memchr(d + pos, '\n', size_t(n - pos));
        if (!lf)
            break;
        const qsizetype end = static_cast<const char *>(lf) - d;
        qsizetype len = end - pos;
        if (len > 0 && d[end - 1] == '\r')
            --len;
        if (len == 0) {
            headerEnd = pos;
            bodyStart = end + 1;
            break;
        }
        const QByteArray line = bytesUpToNul(d + pos, len);
        // A line that starts with white space continues the header line before it.
        if (!line.isEmpty() && isSpaceByte(line.at(0))) {
            current += line;
        } else {
            if (!current.isEmpty())
                extract(current);
            current = line;
        }
        pos = end + 1;
    }
    if (!current.isEmpty())
        extract(current);
    if (headerEnd < 0) {
        headerEnd = pos;
        bodyStart = pos;
    }
    headers = latin1UpToNul(d, headerEnd);
    body_ = latin1UpToNul(d + bodyStart, n - bodyStart);

    if (replyto.isEmpty())
        replyto = from;
    rawTo = bareAddress(to);
    rawCc = bareAddress(cc);
    rawFrom = bareAddress(from);
    rawReplyto = bareAddress(replyto);
    bestTo = getBestTo();
    encSubject = getEncodedText(subject.toLatin1());
    encFrom = getEncodedText(from.toLatin1());
}

void DataEmailMessage::extract(const QByteArray &line) {
    if (line.isEmpty())
        return;
    if (startsWithNoCase(line, "mime-version:") || startsWithNoCase(line, "content-") ||
        startsWithNoCase(line, "subject:"))
        anonymize += QString::fromLatin1(line) + QLatin1String("\r\n");

    // Every Content-Type line naming a mixed or related multipart counts, whatever
    // spacing follows its colon.
    if (startsWithNoCase(line, "content-type:") &&
        (containsNoCase(line, "multipart/mixed") || containsNoCase(line, "multipart/related")))
        attachments = true;

    using T = HeaderTable;
    if (arrived.isEmpty())
        takeRow(T::Arrived, line, arrived);

    const bool gotFrom = takeRow(T::Recvfrom, line, recvfrom);
    const bool gotFor = takeRow(T::Rcvfor, line, recvfor);
    if (gotFrom || gotFor)
        return;

    takeRow(T::Delivto, line, delivto) || takeRow(T::XEnvto, line, x_envto) ||
        takeRow(T::XOrigto, line, x_origto) || takeRow(T::Resentfrom, line, resentfrom) ||
        takeRow(T::XApparently, line, apparently) || takeRow(T::From, line, from) ||
        takeRow(T::To, line, to) || takeRow(T::Cc, line, cc) || takeRow(T::Replyto, line, replyto) ||
        takeRow(T::Returnpath, line, returnpath) || takeRow(T::Subject, line, subject) ||
        takeRow(T::Date, line, date) || takeRow(T::Status, line, status) ||
        takeRow(T::Priority, line, priority) || takeRow(T::Length, line, length) ||
        takeRow(T::ContentType, line, contentType) || takeRow(T::MessageID1, line, messageID) ||
        takeRow(T::MessageID2, line, messageID) || takeRow(T::VLMessageID, line, VLMessageID);
}

QString DataEmailMessage::getBestTo() const {
    // The local part takes any RFC 5322 atext (and dots), so "john_doe@x" stays whole.
    static const QRegularExpression bestRegExp(
        QStringLiteral("([0-9a-zA-Z!#$%&'*+/=?^_`{|}~.-]+@[0-9a-zA-Z.-]+)"));
    QRegularExpressionMatch m;
    auto found = [&m](const QString &field) {
        m = bestRegExp.match(field);
        return m.hasMatch();
    };
    if (found(to) || found(x_envto) || found(cc) || found(resentfrom))
        return m.captured(1);
    for (const QString &s : x_origto) {
        if (found(s))
            return m.captured(1);
    }
    for (auto it = delivto.crbegin(); it != delivto.crend(); ++it) {
        if (found(*it))
            return m.captured(1);
    }
    if (found(apparently))
        return m.captured(1);
    for (auto it = recvfor.crbegin(); it != recvfor.crend(); ++it) {
        if (found(*it))
            return m.captured(1);
    }
    return rawTo;
}

QString DataEmailMessage::identifier() const {
    if (!messageID.isEmpty())
        return messageID;
    return subject + QLatin1Char('_') + date;
}

QString DataEmailMessage::unique() const {
    return account + QLatin1Char('_') + uid;
}

QString DataEmailMessage::showTo() const {
    return to.isEmpty() ? bestTo : to;
}

QString DataEmailMessage::body() const {
    if (contentType.isEmpty())
        return body_;
    const qsizetype at = contentType.indexOf(QLatin1String("boundary="), 0, Qt::CaseInsensitive);
    if (at < 0)
        return body_;
    QString boundary = contentType.mid(at + 9);
    const qsizetype semi = boundary.indexOf(QLatin1Char(';'));
    if (semi > 0)
        boundary.truncate(semi);
    boundary = boundary.trimmed();
    if (boundary.startsWith(QLatin1Char('"')))
        boundary = boundary.mid(1, boundary.size() - 2);
    if (boundary.startsWith(QLatin1Char('\'')))
        boundary = boundary.mid(1, boundary.size() - 2);
    const qsizetype b = body_.indexOf(boundary);
    if (b < 0)
        return body_;
    // The part's header ends at its first empty line, whichever line ends the message has.
    const qsizetype crlf = body_.indexOf(QLatin1String("\r\n\r\n"), b);
    const qsizetype lf = body_.indexOf(QLatin1String("\n\n"), b);
    if (crlf < 0 && lf < 0)
        return body_;
    if (lf < 0 || (crlf >= 0 && crlf < lf))
        return body_.mid(crlf + 4);
    return body_.mid(lf + 2);
}

// ---------------------------------------------------------------------------------------
// Outgoing reports

namespace {

// A value from a received message on its way into a header line of an outgoing one:
// a CR, LF or NUL would start a header (or a part) of the received message's choosing.
QString headerSafe(QString s) {
    for (QChar &c : s) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar(0))
            c = QLatin1Char(' ');
    }
    return s;
}

QString envelopeSafe(QString s) {
    s.remove(QLatin1Char('\r'));
    s.remove(QLatin1Char('\n'));
    s.remove(QChar(0));
    return s;
}

// RFC 2046 boundary characters (bcharsnospace).
bool isBoundaryChar(QChar c) {
    const char16_t u = c.unicode();
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
        return true;
    return u < 0x80 && std::strchr("'()+_,-./:=?", char(u)) != nullptr && u != 0;
}

} // namespace

void DataEmailMessage::spamCopMessage(DataEmailMessage &report, const QString &sender,
                                      const QString &recipient) const {
    report.from = headerSafe(sender);
    report.to = headerSafe(recipient);
    report.date = headerSafe(date);
    report.uid = headerSafe(uid);
    report.mime = QString();
    report.content = QString();
    report.autosub = QString();
    report.subject = QStringLiteral("Spam EMail");
    report.body_ = headers + QLatin1String("\r\n") + body_;
}

void DataEmailMessage::bounceMessage(DataEmailMessage &bounce, QString &envelopeFrom,
                                     QString &envelopeTo) const {
    const QString best = headerSafe(bestTo);
    const qsizetype at = best.indexOf(QLatin1Char('@'));
    const QString name = at < 0 ? best : best.left(at);
    const QString domain = at < 0 ? best : best.mid(at + 1);

    const quint32 t = quint32(std::time(nullptr));
    QString boundary = QString::asprintf("%08x.%08x/mx1.", t, quint32(t * 17u));
    for (QChar c : domain) {
        if (isBoundaryChar(c))
            boundary += c;
    }
    boundary.truncate(70);

    std::fprintf(stderr, "DataEmailMessage::bounceMessage: best=[%s] name=[%s] domain=[%s]\n",
                 best.toLatin1().constData(), name.toLatin1().constData(), domain.toLatin1().constData());

    const QString when = headerSafe(date);
    bounce.date = when;
    bounce.from = QLatin1String("Mail Delivery Subsystem <MAILER-DAEMON@") + domain + QLatin1Char('>');
    bounce.uid = headerSafe(uid);
    bounce.to = headerSafe(replyto);
    bounce.mime = QStringLiteral("1.0");
    bounce.content = QLatin1String("multipart/report; report-type=delivery-status; boundary=\"") + boundary +
                     QLatin1Char('"');
    bounce.subject = QStringLiteral("Returned mail: User unknown");
    bounce.autosub = QStringLiteral("auto-generated (failure)");

    const QString sep = QLatin1String("--") + boundary;
    const QStringList lines = {
        QString(),
        QStringLiteral("This is a MIME-encapsulated message"),
        QString(),
        sep,
        QString(),
        QLatin1String("The original message was received at ") + when,
        QLatin1String("from ") + headerSafe(from),
        QString(),
        QStringLiteral("   ----- The following addresses had permanent fatal errors -----"),
        QLatin1Char('<') + best + QLatin1Char('>'),
        QLatin1String("    (expanded from: <") + best + QLatin1String(">)"),
        QString(),
        QStringLiteral("   ----- Transcript of session follows -----"),
        QLatin1String("mail.local: unknown name: ") + name,
        QLatin1String("550 <") + best + QLatin1String(">... User unknown"),
        QString(),
        sep,
        QStringLiteral("Content-Type: message/delivery-status"),
        QString(),
        QLatin1String("Reporting-MTA: dns; mx1.") + domain,
        QLatin1String("Received-From-MTA: DNS; ") + headerSafe(recvfrom),
        QLatin1String("Arrival-Date: ") + when,
        QString(),
        QLatin1String("Final-Recipient: RFC822; <") + best + QLatin1Char('>'),
        QLatin1String("X-Actual-Recipient: RFC822; <") + best + QLatin1Char('>'),
        QStringLiteral("Action: failed"),
        QStringLiteral("Status: 5.1.1"),
        QLatin1String("Last-Attempt-Date: ") + when,
        QString(),
        sep,
        QStringLiteral("Content-Type: message/rfc822"),
        QString(),
        sep + QLatin1String("--"),
    };
    bounce.body_ = lines.join(QLatin1String("\r\n"));

    envelopeFrom = envelopeSafe(rawTo);
    envelopeTo = envelopeSafe(rawReplyto);
    std::fprintf(stderr, "DataEmailMessage::bounceMessage: m_rawTo=[%s] m_rawReplyto=[%s]\n",
                 envelopeFrom.toLatin1().constData(), envelopeTo.toLatin1().constData());
    const qsizetype envAt = envelopeFrom.indexOf(QLatin1Char('@'));
    if (envAt >= 0)
        envelopeFrom = QLatin1String("MAILER_DEAMON") + envelopeFrom.mid(envAt);
}

// ---------------------------------------------------------------------------------------
// XML form of the message

VL_RECORD_IO_FROM_TABLE(DataEmailMessage, kMessageFields, "DataEmailMessage")

// ---------------------------------------------------------------------------------------
// Encoded words (RFC 2047)

namespace {

enum : unsigned char { B64Skip = 0xff, B64Pad = 0xfe };

struct Base64Map {
    unsigned char v[256];
    constexpr Base64Map() : v() {
        for (int i = 0; i < 256; ++i)
            v[i] = B64Skip;
        const char *alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i)
            v[static_cast<unsigned char>(alphabet[i])] = static_cast<unsigned char>(i);
        v[static_cast<unsigned char>('=')] = B64Pad;
    }
};
constexpr Base64Map base64Map;

bool isHex(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isLinearSpace(const QByteArray &s) {
    for (char c : s) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    }
    return true;
}

struct EncodedWord {
    qsizetype start = 0;
    qsizetype end = 0; // one past the closing "?="
    QByteArray charset;
    char encoding = 0;
    QByteArray text;
};

// Finds the next encoded word at or after from. noCloseFrom remembers the first position
// from which no "?=" follows, so a value full of "=?" is scanned once, not once per "=?".
bool nextEncodedWord(const QByteArray &v, qsizetype from, qsizetype &noCloseFrom, EncodedWord &w) {
    const qsizetype n = v.size();
    for (qsizetype p = v.indexOf("=?", from); p >= 0 && p < noCloseFrom; p = v.indexOf("=?", p + 1)) {
        qsizetype q = p + 2;
        while (q < n && v.at(q) != '?' && !isSpaceByte(v.at(q)))
            ++q;
        if (q == p + 2 || q + 2 >= n || v.at(q) != '?')
            continue;
        const char enc = v.at(q + 1);
        if (v.at(q + 2) != '?' || !(enc == 'Q' || enc == 'q' || enc == 'B' || enc == 'b'))
            continue;
        const qsizetype textStart = q + 3;
        const qsizetype close = v.indexOf("?=", textStart);
        if (close < 0) {
            noCloseFrom = textStart;
            return false;
        }
        w.start = p;
        w.end = close + 2;
        w.charset = v.mid(p + 2, q - p - 2);
        // RFC 2231 lets a language follow the charset: "utf-8*en".
        const qsizetype star = w.charset.indexOf('*');
        if (star >= 0)
            w.charset.truncate(star);
        w.encoding = enc;
        w.text = v.mid(textStart, close - textStart);
        return true;
    }
    return false;
}

QByteArray decodeWordText(const EncodedWord &w) {
    QByteArray out(w.text.size() + 4, '\0');
    const auto *src = reinterpret_cast<const unsigned char *>(w.text.constData());
    auto *dst = reinterpret_cast<unsigned char *>(out.data());
    const int got = (w.encoding == 'B' || w.encoding == 'b') ? kbB64Decode(src, int(w.text.size()), dst)
                                                             : kbQPDecode(src, int(w.text.size()), dst);
    out.truncate(got);
    return out;
}

QTextCodec *codecFor(const QByteArray &charset) {
    if (charset.isEmpty())
        return nullptr;
    return QTextCodec::codecForName(charset);
}

// A stateful charset (escapes or shifts) ends every encoded word in its initial state, so
// its words decode one by one: joined, the escape closing one word meets the escape opening
// the next, which strict decoders reject with a replacement character.
bool isStateful(const QTextCodec *codec) {
    const QByteArray name = codec->name().toLower();
    return name.startsWith("iso-2022") || name == "utf-7" || name == "hz-gb-2312";
}

} // namespace

int hexval(int c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

int kbB64Decode(const unsigned char *src, int count, unsigned char *dst) {
    int written = 0;
    unsigned int bits = 0;
    int values = 0; // values in the current group, pads included
    int pads = 0;   // pads in the current group
    auto flush = [&](int outBytes) {
        const unsigned char b[3] = {static_cast<unsigned char>(bits >> 16),
                                    static_cast<unsigned char>(bits >> 8), static_cast<unsigned char>(bits)};
        for (int i = 0; i < outBytes; ++i)
            dst[written++] = b[i];
    };
    for (int i = 0; i < count; ++i) {
        const unsigned char m = base64Map.v[src[i]];
        if (m == B64Skip)
            continue;
        bits <<= 6;
        if (m == B64Pad)
            ++pads;
        else
            bits |= m;
        if (++values == 4) {
            // Each group carries as many bytes as its pads leave room for.
            flush(std::max(0, 3 - pads));
            bits = 0;
            values = 0;
            pads = 0;
        }
    }
    // A final group that lost its padding still holds whole bytes.
    if (values >= 2) {
        const int missing = 4 - values;
        bits <<= 6 * missing;
        flush(std::max(0, 3 - pads - missing));
    }
    return written;
}

int kbQPDecode(const unsigned char *src, int count, unsigned char *dst) {
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned char c = src[i];
        if (c == '=' && i + 2 < count && isHex(src[i + 1]) && isHex(src[i + 2])) {
            dst[written++] = static_cast<unsigned char>(hexval(src[i + 1]) * 16 + hexval(src[i + 2]));
            i += 2;
        } else if (c == '_') {
            dst[written++] = ' ';
        } else {
            dst[written++] = c;
        }
    }
    return written;
}

QString getEncodedText(const QByteArray &value) {
    if (value.isEmpty())
        return QString::fromLatin1(value);
    qsizetype noCloseFrom = value.size();
    EncodedWord w;
    if (!nextEncodedWord(value, 0, noCloseFrom, w))
        return QString::fromLatin1(value);

    QString out;
    out.reserve(value.size());
    // Adjacent words of one charset are decoded together: a character may be split
    // between two words. Words of a stateful charset are whole and decode alone.
    QTextCodec *runCodec = nullptr;
    QByteArray runCharset;
    QByteArray runBytes;
    auto flushRun = [&]() {
        if (runCodec)
            out += runCodec->toUnicode(runBytes);
        runCodec = nullptr;
        runCharset.clear();
        runBytes.clear();
    };

    qsizetype pos = 0;
    bool found = true;
    bool lastWasWord = false; // the text before this point ended in a decoded word
    while (found) {
        QTextCodec *codec = codecFor(w.charset);
        const QByteArray between = value.mid(pos, w.start - pos);
        if (!(lastWasWord && codec && isLinearSpace(between))) {
            flushRun();
            out += QString::fromLatin1(between);
        }
        if (codec) {
            if (runCodec &&
                (isStateful(codec) || qstricmp(runCharset.constData(), w.charset.constData()) != 0))
                flushRun();
            runCodec = codec;
            runCharset = w.charset;
            runBytes += decodeWordText(w);
            lastWasWord = true;
        } else {
            std::fprintf(stderr, "DataEmailMessage::getEncodedText: %s: no codec\n", w.charset.constData());
            flushRun();
            out += QString::fromLatin1(value.mid(w.start, w.end - w.start));
            lastWasWord = false;
        }
        pos = w.end;
        found = nextEncodedWord(value, pos, noCloseFrom, w);
    }
    flushRun();
    out += QString::fromLatin1(value.mid(pos));
    return out;
}

// ---------------------------------------------------------------------------------------
// DataEmailStatus

namespace {
// The record's members in the order of its XML form.
const RecordFields::Field<DataEmailStatus> kStatusFields[] = {
    {"state", &DataEmailStatus::state},
    {"delete", &DataEmailStatus::delete_},
    {"bounce", &DataEmailStatus::bounce},
    {"learnLegit", &DataEmailStatus::learnLegit},
    {"learnSpam", &DataEmailStatus::learnSpam},
    {"isFriend", &DataEmailStatus::isFriend},
    {"isBlacklist", &DataEmailStatus::isBlacklist},
    {"markFriend", &DataEmailStatus::markFriend},
    {"markBlacklist", &DataEmailStatus::markBlacklist},
    {"scanned", &DataEmailStatus::scanned},
    {"logging", &DataEmailStatus::logging},
    {"isNew", &DataEmailStatus::isNew},
    {"autoDelete", &DataEmailStatus::autoDelete},
    {"status", &DataEmailStatus::status},
    {"reason", &DataEmailStatus::reason},
    {"fgColor", &DataEmailStatus::fgColor},
    {"bgColor", &DataEmailStatus::bgColor},
    {"stColor", &DataEmailStatus::stColor},
    {"klass", &DataEmailStatus::klass},
    {"bayesRaw", &DataEmailStatus::bayesRaw},
    {"bayesCategory", &DataEmailStatus::bayesCategory},
    {"hide", &DataEmailStatus::hide},
};
} // namespace

DataEmailStatus::DataEmailStatus() {
    name = "DataEmailStatus";
    clear();
}

void DataEmailStatus::clear() {
    RecordFields::clear(*this, kStatusFields);
    bayesProb = 0;
    virusProb = 0;
}

QString DataEmailStatus::loggingAsText() const {
    static const char letters[] = "ODARSLFB*?R";
    QString s;
    for (int bit = 0; bit < 11; ++bit) {
        if (logging & (1 << bit))
            s += QLatin1Char(letters[bit]);
    }
    return s;
}

VL_RECORD_IO_FROM_TABLE(DataEmailStatus, kStatusFields, "DataEmailStatus")

// ---------------------------------------------------------------------------------------
// DataEmailSummary

namespace {

// The URL-special characters of the log's text encoding; every control byte and every
// byte of 0x80 and above is escaped as well, so a field never holds "&" or a line end.
bool needsEscape(unsigned char c) {
    if (c < 0x21 || c >= 0x7f)
        return true;
    return std::strchr("+<>#@\"&%$:,;?={}|^~[]'`\\", c) != nullptr;
}

QByteArray percentEncode(const QString &text) {
    static const char hex[] = "0123456789ABCDEF";
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        if (needsEscape(c)) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

QString percentDecode(const QByteArray &field) {
    QByteArray bytes;
    bytes.reserve(field.size());
    const qsizetype n = field.size();
    for (qsizetype i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(field.at(i));
        if (c == '%' && i + 2 < n && isHex(field.at(i + 1)) && isHex(field.at(i + 2))) {
            bytes += char(hexval(field.at(i + 1)) * 16 + hexval(field.at(i + 2)));
            i += 2;
        } else {
            bytes += char(c);
        }
    }
    return QString::fromUtf8(bytes);
}

// Cuts an encoded field to at most max bytes, never inside an escape and never inside
// the UTF-8 sequence of one character.
QByteArray cutEncoded(const QByteArray &field, qsizetype max) {
    if (field.size() <= max)
        return field;
    qsizetype cut = 0;
    qsizetype i = 0;
    while (i < field.size()) {
        const bool escape = field.at(i) == '%';
        const qsizetype unit = escape ? 3 : 1;
        const unsigned byte = escape ? unsigned(hexval(field.at(i + 1)) * 16 + hexval(field.at(i + 2)))
                                     : static_cast<unsigned char>(field.at(i));
        if ((byte & 0xc0) != 0x80)
            cut = i; // a character starts here
        if (i + unit > max)
            break;
        i += unit;
    }
    if (i >= field.size())
        cut = field.size();
    return field.left(cut);
}

QByteArray formatLine(unsigned long version, const QByteArray &uid, long processed, const QByteArray &from,
                      const QByteArray &subject, const QByteArray &status, int logging,
                      const QByteArray &ident, unsigned long magic, const QByteArray &to) {
    QByteArray texts[6] = {uid, from, subject, status, ident, to};
    const QByteArray head = QByteArray::number(quint64(version), 16).rightJustified(8, '0') + '&';
    const QByteArray num1 = QByteArray::number(qint64(processed));
    const QByteArray num2 = QByteArray::number(logging);
    const QByteArray tail = QByteArray::number(quint64(magic), 16).rightJustified(8, '0');
    // Nine separators and the LF.
    const qsizetype fixed = head.size() + num1.size() + num2.size() + tail.size() + 8 + 1;
    const qsizetype budget = DataEmailSummary::MaxLine - fixed;
    qsizetype total = 0;
    for (const QByteArray &t : texts)
        total += t.size();
    if (total > budget) {
        // Largest common cap that makes the texts fit: long fields are shortened, short
        // ones (the uid) keep their whole text.
        qsizetype lo = 0;
        qsizetype hi = budget;
        while (lo < hi) {
            const qsizetype mid = (lo + hi + 1) / 2;
            qsizetype sum = 0;
            for (const QByteArray &t : texts)
                sum += std::min(t.size(), mid);
            if (sum <= budget)
                lo = mid;
            else
                hi = mid - 1;
        }
        for (QByteArray &t : texts)
            t = cutEncoded(t, lo);
    }
    QByteArray line = head;
    line += texts[0] + '&' + num1 + '&' + texts[1] + '&' + texts[2] + '&' + texts[3] + '&' + num2 + '&' +
            texts[4] + '&' + tail + '&' + texts[5] + '\n';
    return line;
}

} // namespace

namespace {
// The record's members in the order of its XML form.
const RecordFields::Field<DataEmailSummary> kSummaryFields[] = {
    {"uid", &DataEmailSummary::uid},
    {"processed", &DataEmailSummary::processed},
    {"from", &DataEmailSummary::from},
    {"subject", &DataEmailSummary::subject},
    {"status", &DataEmailSummary::status},
    {"logging", &DataEmailSummary::logging},
    {"ident", &DataEmailSummary::ident},
    {"to", &DataEmailSummary::to},
    {"encSubject", &DataEmailSummary::encSubject},
    {"encFrom", &DataEmailSummary::encFrom},
};
} // namespace

DataEmailSummary::DataEmailSummary() : magic(0) {
    name = "DataEmailSummary";
    clear();
}

DataEmailSummary::DataEmailSummary(const DataEmailMessage &message, const DataEmailStatus &st, long when)
    : magic(0) {
    name = "DataEmailSummary";
    clear();
    uid = message.uid;
    processed = when != 0 ? when : long(std::time(nullptr));
    from = message.from;
    subject = message.subject;
    status = st.status;
    logging = st.logging;
    ident = message.identifier();
    to = message.to;
    encSubject = message.encSubject;
    encFrom = message.encFrom;
}

void DataEmailSummary::clear() {
    RecordFields::clear(*this, kSummaryFields);
}

QByteArray DataEmailSummary::toLine() const {
    return formatLine(Version, percentEncode(uid), processed, percentEncode(from), percentEncode(subject),
                      percentEncode(status), logging, percentEncode(ident), RecordMagic, percentEncode(to));
}

void DataEmailSummary::dump(QIODevice &file) const {
    file.write(toLine());
}

void DataEmailSummary::terminate(QIODevice &file) {
    file.write(formatLine(Version, {}, 0, {}, {}, {}, 0, {}, SentinelMagic, {}));
}

bool DataEmailSummary::load(QIODevice &file) {
    if (file.atEnd())
        return false;
    char buf[MaxLine + 1];
    const qint64 got = file.readLine(buf, sizeof buf);
    if (got < 0) {
        std::fprintf(stderr, "DataEmailSummary::load: readline failed\n");
        return false;
    }
    if (got == 0)
        return false;
    if (buf[got - 1] != '\n' && !file.atEnd()) {
        // Longer than any line dump writes: skip to its end and give the file up.
        char rest[1024];
        qint64 more;
        while ((more = file.readLine(rest, sizeof rest)) > 0 && rest[more - 1] != '\n') {
        }
        std::fprintf(stderr, "DataEmailSummary::load: line too long\n");
        return false;
    }
    QList<QByteArray> fields;
    splitLine(buf, long(got), fields);
    if (fields.size() < 10) {
        std::fprintf(stderr, "DataEmailSummary::load: damaged line: %d fields\n", int(fields.size()));
        return false;
    }
    const unsigned long version = fields.at(0).toULong(nullptr, 16);
    if (version != Version) {
        std::fprintf(stderr, "DataEmailSummary::load: bad version value: %08lx\n", version);
        return false;
    }
    uid = percentDecode(fields.at(1));
    processed = long(fields.at(2).toLongLong());
    from = percentDecode(fields.at(3));
    subject = percentDecode(fields.at(4));
    status = percentDecode(fields.at(5));
    logging = fields.at(6).toInt();
    ident = percentDecode(fields.at(7));
    magic = fields.at(8).toULong(nullptr, 16);
    to = percentDecode(fields.at(9));
    if (magic != RecordMagic && magic != SentinelMagic) {
        std::fprintf(stderr, "DataEmailSummary::load: bad magic value: %08lx\n", magic);
        return false;
    }
    encSubject = getEncodedText(subject.toLatin1());
    encFrom = getEncodedText(from.toLatin1());
    return true;
}

VL_RECORD_IO_FROM_TABLE(DataEmailSummary, kSummaryFields, "DataEmailSummary")
