// The scan status record and the mail-log line.

#include "data_email.h"

#include "testsupport/TempDir.h"

#include <QBuffer>
#include <QDomDocument>
#include <QFile>

#include <gtest/gtest.h>

#include <ctime>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

QByteArray linesOf(const QList<DataEmailSummary> &records, bool withSentinel = true) {
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    for (const DataEmailSummary &s : records)
        s.dump(buf);
    if (withSentinel)
        DataEmailSummary::terminate(buf);
    return buf.data();
}

// Reads as the history does: until load fails or the sentinel comes.
QList<DataEmailSummary> readAll(const QByteArray &bytes, bool *sawSentinel = nullptr) {
    QBuffer buf;
    buf.setData(bytes);
    buf.open(QIODevice::ReadOnly);
    QList<DataEmailSummary> out;
    bool sentinel = false;
    for (;;) {
        DataEmailSummary s;
        if (!s.load(buf))
            break;
        if (s.isSentinel()) {
            sentinel = true;
            break;
        }
        out << s;
    }
    if (sawSentinel)
        *sawSentinel = sentinel;
    return out;
}

DataEmailSummary summary(const QString &uid, const QString &from, const QString &subject,
                         const QString &status, const QString &to, const QString &ident) {
    DataEmailSummary s;
    s.uid = uid;
    s.processed = 1234567890;
    s.from = from;
    s.subject = subject;
    s.status = status;
    s.logging = 0x83;
    s.ident = ident;
    s.to = to;
    return s;
}

} // namespace

TEST(DataEmailStatus, ClearAndLoggingLetters) {
    DataEmailStatus s;
    EXPECT_EQ(s.state, 0);
    EXPECT_EQ(s.delete_, 0);
    EXPECT_FALSE(s.hide);
    EXPECT_EQ(s.bayesProb, 0.0f);
    EXPECT_EQ(s.virusProb, 0.0f);
    EXPECT_TRUE(s.status.isNull());
    EXPECT_EQ(int(DataEmailStatus::Spam), 1);
    EXPECT_EQ(int(DataEmailStatus::Legitimate), 2);

    const struct {
        int bits;
        const char *letters;
    } cases[] = {
        {0, ""}, {0x1 | 0x8 | 0x80, "ORB"}, {0x400, "R"}, {0x8, "R"}, {0x7ff, "ODARSLFB*?R"}, {0x800, ""},
    };
    for (const auto &c : cases) {
        s.logging = c.bits;
        EXPECT_EQ(s.loggingAsText(), QString::fromLatin1(c.letters)) << c.bits;
    }

    s.state = 3;
    s.delete_ = 1;
    s.isFriend = true;
    s.status = u"Spam"_s;
    s.bayesProb = 0.7f;
    s.virusProb = 0.2f;
    s.clear();
    EXPECT_EQ(s.state, 0);
    EXPECT_EQ(s.delete_, 0);
    EXPECT_FALSE(s.isFriend);
    EXPECT_TRUE(s.status.isNull());
    EXPECT_EQ(s.bayesProb, 0.0f);
    EXPECT_EQ(s.virusProb, 0.0f);
}

TEST(DataEmailStatus, XmlRoundTrip) {
    DataEmailStatus s;
    s.state = 2;
    s.delete_ = 1;
    s.bounce = 1;
    s.learnSpam = 1;
    s.markBlacklist = true;
    s.scanned = true;
    s.logging = 0x182;
    s.autoDelete = true;
    s.status = u"Blacklisted"_s;
    s.reason = u"<b>on the blacklist</b>"_s;
    s.bgColor = u"#ff0000"_s;
    s.klass = 6;
    s.bayesRaw = 1;
    s.bayesCategory = DataEmailStatus::Spam;
    s.bayesProb = 0.9f;
    s.hide = true;
    QDomDocument doc;
    QDomElement e = doc.createElement(u"name"_s);
    doc.appendChild(e);
    s.store(e);
    EXPECT_EQ(e.attribute(u"delete"_s), u"1"_s);
    EXPECT_FALSE(e.hasAttribute(u"bayesProb"_s));
    EXPECT_FALSE(e.hasAttribute(u"virusProb"_s));
    EXPECT_EQ(e.attributes().count(), 22);

    DataEmailStatus r;
    r.setup(e);
    QStringList errors;
    r.check(e, errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u"\n"_s).toStdString();
    EXPECT_EQ(r.delete_, 1);
    EXPECT_EQ(r.logging, 0x182);
    EXPECT_EQ(r.reason, s.reason);
    EXPECT_TRUE(r.hide);
    EXPECT_EQ(r.bayesProb, 0.0f);
}

TEST(DataEmailSummary, FromAMessage) {
    DataEmailMessage m;
    m.uid = u"u1"_s;
    m.from = u"a@b"_s;
    m.subject = u"=?utf-8?q?caf=C3=A9?="_s;
    m.to = u"c@d"_s;
    m.date = u"Mon"_s;
    m.encSubject = QString::fromUtf8("café");
    DataEmailStatus st;
    st.status = u"Spam"_s;
    st.logging = 0x2;
    const DataEmailSummary s(m, st, 1000);
    EXPECT_EQ(s.uid, u"u1"_s);
    EXPECT_EQ(s.processed, 1000);
    EXPECT_EQ(s.ident, m.identifier());
    EXPECT_EQ(s.status, u"Spam"_s);
    EXPECT_EQ(s.logging, 0x2);
    EXPECT_EQ(s.encSubject, m.encSubject);

    // Time 0 means now.
    const long before = long(std::time(nullptr));
    const DataEmailSummary now(DataEmailMessage(), DataEmailStatus(), 0);
    EXPECT_GE(now.processed, before);
    EXPECT_LE(now.processed, long(std::time(nullptr)));
    EXPECT_TRUE(now.uid.isEmpty());
}

TEST(DataEmailSummary, LineFormatAndSentinel) {
    const DataEmailSummary s = summary(u"u 1"_s, u"Ann <a@b>"_s, u"x&y"_s, u"Spam"_s, u"t@x"_s, u"id@x"_s);
    EXPECT_EQ(s.toLine(), QByteArray("00000200&u%201&1234567890&Ann%20%3Ca%40b%3E&x%26y&Spam&131"
                                     "&id%40x&abcd0123&t%40x\n"));

    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    DataEmailSummary::terminate(buf);
    EXPECT_EQ(buf.data(), QByteArray("00000200&&0&&&&0&&9876cdef&\n"));

    bool sentinel = false;
    EXPECT_TRUE(readAll(buf.data(), &sentinel).isEmpty());
    EXPECT_TRUE(sentinel);
}

TEST(DataEmailSummary, HostileTextsRoundTrip) {
    const QString hostile[] = {
        QString::fromUtf8("amp & percent % plus + and %41 literal"),
        QString::fromUtf8("line\nend\r\nand\ttab"),
        QString::fromUtf8("Gr\u00fc\u00dfe \u20ac \U0001F600 \u65e5\u672c"),
        QString::fromLatin1("nul\0inside", 10),
        QString::fromUtf8("=?utf-8?q?caf=C3=A9?= & more"),
        QString::fromUtf8("&&&&&&&&&"),
        QString(),
    };
    QList<DataEmailSummary> records;
    int n = 0;
    for (const QString &h : hostile)
        records << summary(QString::number(n++), h, h, h, h, h);
    const QByteArray bytes = linesOf(records);
    // One line per record and one sentinel, every line ended by LF, no stray "&".
    EXPECT_EQ(bytes.count('\n'), records.size() + 1);
    for (const QByteArray &line : bytes.split('\n')) {
        if (!line.isEmpty()) {
            EXPECT_EQ(line.count('&'), 9) << line.toStdString();
        }
    }

    bool sentinel = false;
    const QList<DataEmailSummary> back = readAll(bytes, &sentinel);
    EXPECT_TRUE(sentinel);
    ASSERT_EQ(back.size(), records.size());
    for (int i = 0; i < back.size(); ++i) {
        EXPECT_EQ(back[i].uid, records[i].uid);
        EXPECT_EQ(back[i].processed, records[i].processed);
        EXPECT_EQ(back[i].from, records[i].from) << i;
        EXPECT_EQ(back[i].subject, records[i].subject) << i;
        EXPECT_EQ(back[i].status, records[i].status) << i;
        EXPECT_EQ(back[i].ident, records[i].ident) << i;
        EXPECT_EQ(back[i].to, records[i].to) << i;
        EXPECT_EQ(back[i].logging, 0x83);
        EXPECT_EQ(back[i].magic, DataEmailSummary::RecordMagic);
        EXPECT_FALSE(back[i].isSentinel());
    }
    // Decoded texts are recomputed on reading.
    EXPECT_EQ(back[4].encSubject, QString::fromUtf8("café & more"));
}

TEST(DataEmailSummary, OverLongTextsAreCutToFitTheLine) {
    const QString e = QString::fromUtf8("\u00e9"); // 6 bytes once encoded
    const QString longSubject = QString(e).repeated(20000);
    const QString longFrom = u"f&"_s.repeated(9000);
    DataEmailSummary big = summary(u"uid-1"_s, longFrom, longSubject, u"Spam"_s, u"to@x"_s, u"ident"_s);
    const DataEmailSummary next = summary(u"uid-2"_s, u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s);
    const QByteArray bytes = linesOf({big, next});
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 4); // two records, the sentinel, and the empty rest
    EXPECT_LE(lines[0].size() + 1, DataEmailSummary::MaxLine);
    EXPECT_GT(lines[0].size() + 1, DataEmailSummary::MaxLine - 16);

    bool sentinel = false;
    const QList<DataEmailSummary> back = readAll(bytes, &sentinel);
    EXPECT_TRUE(sentinel);
    ASSERT_EQ(back.size(), 2);
    // Short fields whole; long ones a prefix that ends on a whole character.
    EXPECT_EQ(back[0].uid, u"uid-1"_s);
    EXPECT_EQ(back[0].to, u"to@x"_s);
    EXPECT_EQ(back[0].status, u"Spam"_s);
    EXPECT_TRUE(longSubject.startsWith(back[0].subject));
    EXPECT_GT(back[0].subject.size(), 1000);
    EXPECT_FALSE(back[0].subject.contains(QChar::ReplacementCharacter));
    EXPECT_TRUE(longFrom.startsWith(back[0].from));
    EXPECT_GT(back[0].from.size(), 1000);
    EXPECT_EQ(back[1].uid, u"uid-2"_s);
}

TEST(DataEmailSummary, DamagedLinesAreRejected) {
    const struct {
        const char *name;
        QByteArray bytes;
    } cases[] = {
        {"empty file", ""},
        {"short line", "00000200&u&1\n"},
        {"nine fields", "00000200&u&1&f&s&st&0&i&abcd0123\n"},
        {"bad version", "00000300&u&1&f&s&st&0&i&abcd0123&t\n"},
        {"version not hex", "zz&u&1&f&s&st&0&i&abcd0123&t\n"},
        {"bad magic", "00000200&u&1&f&s&st&0&i&12345678&t\n"},
        {"nul inside", QByteArray("00000200&u&1&f\0&s&st&0&i&abcd0123&t\n", 36)},
        {"only a line end", "\n"},
    };
    for (const auto &c : cases) {
        QBuffer buf;
        buf.setData(c.bytes);
        buf.open(QIODevice::ReadOnly);
        DataEmailSummary s;
        EXPECT_FALSE(s.load(buf)) << c.name;
    }

    // A line longer than any dump writes is given up as a whole.
    QByteArray tooLong = "00000200&u&1&" + QByteArray(20000, 'x') + "&s&st&0&i&abcd0123&t\n";
    QBuffer buf;
    buf.setData(tooLong + "00000200&&0&&&&0&&9876cdef&\n");
    buf.open(QIODevice::ReadOnly);
    DataEmailSummary s;
    EXPECT_FALSE(s.load(buf));
    // What follows it is a line of its own again.
    DataEmailSummary after;
    EXPECT_TRUE(after.load(buf));
    EXPECT_TRUE(after.isSentinel());

    // A last line without its LF still reads.
    buf.close();
    buf.setData("00000200&u&5&f&s&st&1&i&abcd0123&t");
    buf.open(QIODevice::ReadOnly);
    DataEmailSummary last;
    EXPECT_TRUE(last.load(buf));
    EXPECT_EQ(last.to, u"t"_s);
    EXPECT_EQ(last.processed, 5);
}

TEST(DataEmailSummary, ThroughARealFile) {
    vltest::TempDir dir;
    QFile f(QString::fromStdString(dir.file("history.vlp")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    summary(u"a"_s, u"b"_s, u"c"_s, u"d"_s, u"e"_s, u"f"_s).dump(f);
    DataEmailSummary::terminate(f);
    f.close();
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    DataEmailSummary s, end, none;
    EXPECT_TRUE(s.load(f));
    EXPECT_EQ(s.subject, u"c"_s);
    EXPECT_TRUE(end.load(f));
    EXPECT_TRUE(end.isSentinel());
    EXPECT_FALSE(none.load(f));
}

TEST(DataEmailSummary, XmlRoundTrip) {
    DataEmailSummary s = summary(u"u"_s, u"f"_s, u"s"_s, u"st"_s, u"t"_s, u"i"_s);
    s.encSubject = u"es"_s;
    s.encFrom = u"ef"_s;
    QDomDocument doc;
    QDomElement e = doc.createElement(u"name"_s);
    doc.appendChild(e);
    s.store(e);
    EXPECT_EQ(e.attribute(u"processed"_s), u"1234567890"_s);
    EXPECT_EQ(e.attributes().count(), 10);
    DataEmailSummary r;
    r.setup(e);
    QStringList errors;
    r.check(e, errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u"\n"_s).toStdString();
    EXPECT_EQ(r.processed, 1234567890);
    EXPECT_EQ(r.encFrom, u"ef"_s);
    EXPECT_EQ(r.logging, 0x83);
}
