// The message record: loading a message from its text, its fields and its XML form.

#include "data_email.h"
#include "cpp/AsciiText.h"
#include "data_email_p.h"
#include "record_fields_p.h"

#include <QRegularExpression>

#include <cstring>

namespace {

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

QString bareAddress(const QString &value) {
    const qsizetype open = value.indexOf(QLatin1Char('<'));
    const qsizetype close = value.lastIndexOf(QLatin1Char('>'));
    if (open < 0 || close <= open)
        return value;
    return value.mid(open + 1, close - open - 1);
}

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
    listedSize = -1;
    complete = false;
    flaggedDeleted = false;
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
    if (Ascii::startsWithI(bytesView(line), "mime-version:") ||
        Ascii::startsWithI(bytesView(line), "content-") || Ascii::startsWithI(bytesView(line), "subject:"))
        anonymize += QString::fromLatin1(line) + QLatin1String("\r\n");

    // Every Content-Type line naming a mixed or related multipart counts, whatever
    // spacing follows its colon.
    if (Ascii::startsWithI(bytesView(line), "content-type:") &&
        (Ascii::containsI(bytesView(line), "multipart/mixed") ||
         Ascii::containsI(bytesView(line), "multipart/related")))
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
// XML form of the message

VL_RECORD_IO_FROM_TABLE(DataEmailMessage, kMessageFields, "DataEmailMessage")
