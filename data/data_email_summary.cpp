// The mail-log line of a message.

#include "data_email.h"
#include "data_email_p.h"
#include "record_fields_p.h"

#include <QIODevice>

#include <cstdio>
#include <cstring>
#include <ctime>

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
    // The mail log is read at start-up and may be long: most fields hold no escape at all,
    // and the others are decoded in place of a plain copy.
    const qsizetype first = field.indexOf('%');
    if (first < 0)
        return QString::fromUtf8(field);
    const qsizetype n = field.size();
    const char *in = field.constData();
    QByteArray bytes(n, Qt::Uninitialized);
    char *out = bytes.data();
    std::memcpy(out, in, size_t(first));
    out += first;
    for (qsizetype i = first; i < n; ++i) {
        const auto c = static_cast<unsigned char>(in[i]);
        if (c == '%' && i + 2 < n && isHex(in[i + 1]) && isHex(in[i + 2])) {
            *out++ = char(hexval(in[i + 1]) * 16 + hexval(in[i + 2]));
            i += 2;
        } else {
            *out++ = char(c);
        }
    }
    bytes.truncate(out - bytes.constData());
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
    const qint64 got = readLine(file, buf, sizeof buf);
    if (got == LineReadError) {
        std::fprintf(stderr, "DataEmailSummary::load: readline failed\n");
        return false;
    }
    if (got == LineTooLong) {
        // Longer than any line dump writes.
        std::fprintf(stderr, "DataEmailSummary::load: line too long\n");
        return false;
    }
    if (got == 0)
        return false;
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
