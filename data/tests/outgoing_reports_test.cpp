// The bounce and the SpamCop report, read back by Python's email package.

#include "data_email.h"
#include "email_fixture.h"

#include "testsupport/ChildProcess.h"
#include "testsupport/TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <ctime>
#include <string>

using namespace Qt::Literals::StringLiterals;

namespace {

using vltest::emailFixture;
using vltest::loadMessage;

// The message text that the SMTP sender makes of an outgoing record.
QByteArray assemble(const DataEmailMessage &m) {
    QString text = u"Date: "_s + m.date + u"\r\nFrom: "_s + m.from + u"\r\nMessage-Id: "_s + m.uid +
                   u"\r\nTo: "_s + m.to + u"\r\nSubject: "_s + m.subject + u"\r\n"_s;
    if (!m.mime.isEmpty())
        text += u"MIME-Version: "_s + m.mime + u"\r\n"_s;
    if (!m.content.isEmpty())
        text += u"Content-Type: "_s + m.content + u"\r\n"_s;
    if (!m.autosub.isEmpty())
        text += u"Auto-Submitted: "_s + m.autosub + u"\r\n"_s;
    text += u"\r\n"_s + m.body_;
    return text.toLatin1();
}

QJsonObject parseWithPython(const QByteArray &message) {
    const auto r = vltest::runCommand(
        {"/usr/bin/python3", std::string(VL_TEST_DATA_DIR) + "/parse_report.py"}, message.toStdString());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
}

QStringList headerNames(const QJsonObject &part) {
    QStringList names;
    for (const QJsonValue &h : part[u"headers"_s].toArray())
        names << h.toArray().at(0).toString();
    return names;
}

QString header(const QJsonArray &headers, const QString &name) {
    for (const QJsonValue &h : headers) {
        if (h.toArray().at(0).toString().compare(name, Qt::CaseInsensitive) == 0)
            return h.toArray().at(1).toString();
    }
    return QString();
}

const QStringList bounceHeaders = {u"Date"_s,    u"From"_s,         u"Message-Id"_s,   u"To"_s,
                                   u"Subject"_s, u"MIME-Version"_s, u"Content-Type"_s, u"Auto-Submitted"_s};

bool hasLineBreakOrNul(const QString &s) {
    return s.contains(u'\r') || s.contains(u'\n') || s.contains(QChar(0));
}

} // namespace

TEST(BounceMessage, IsAMultipartReportOfThreeParts) {
    DataEmailMessage received = loadMessage(emailFixture("basic.crlf.eml"));
    received.uid = u"UIDL-77"_s;
    DataEmailMessage bounce;
    QString envFrom, envTo;
    const quint32 before = quint32(std::time(nullptr));
    received.bounceMessage(bounce, envFrom, envTo);
    const quint32 after = quint32(std::time(nullptr));

    EXPECT_EQ(bounce.from, u"Mail Delivery Subsystem <MAILER-DAEMON@example.com>"_s);
    EXPECT_EQ(bounce.to, received.from);
    EXPECT_EQ(bounce.uid, u"UIDL-77"_s);
    EXPECT_EQ(bounce.date, received.date);
    EXPECT_EQ(bounce.subject, u"Returned mail: User unknown"_s);
    EXPECT_EQ(bounce.autosub, u"auto-generated (failure)"_s);
    EXPECT_EQ(bounce.mime, u"1.0"_s);
    EXPECT_EQ(envFrom, u"MAILER_DEAMON@example.com"_s);
    EXPECT_EQ(envTo, u"anna.smith@example.org"_s);

    const QRegularExpression boundaryForm(u"^([0-9a-f]{8})\\.([0-9a-f]{8})/mx1\\.example\\.com$"_s);
    const QString prefix = u"multipart/report; report-type=delivery-status; boundary=\""_s;
    ASSERT_TRUE(bounce.content.startsWith(prefix)) << bounce.content.toStdString();
    const QString boundary = bounce.content.mid(prefix.size()).chopped(1);
    const auto bm = boundaryForm.match(boundary);
    ASSERT_TRUE(bm.hasMatch()) << boundary.toStdString();
    const quint32 t = bm.captured(1).toUInt(nullptr, 16);
    EXPECT_GE(t, before);
    EXPECT_LE(t, after);
    EXPECT_EQ(bm.captured(2).toUInt(nullptr, 16), quint32(t * 17u));

    const QStringList lines = bounce.body_.split(u"\r\n"_s);
    ASSERT_EQ(lines.size(), 33);
    EXPECT_EQ(lines[1], u"This is a MIME-encapsulated message"_s);
    EXPECT_EQ(lines[5], u"The original message was received at "_s + received.date);
    EXPECT_EQ(lines[6], u"from "_s + received.from);
    EXPECT_EQ(lines[9], u"<second-to@example.com>"_s);
    EXPECT_EQ(lines[13], u"mail.local: unknown name: second-to"_s);
    EXPECT_EQ(lines[14], u"550 <second-to@example.com>... User unknown"_s);
    EXPECT_EQ(lines[19], u"Reporting-MTA: dns; mx1.example.com"_s);
    EXPECT_EQ(lines[20], u"Received-From-MTA: DNS; "_s + received.recvfrom);
    EXPECT_EQ(lines[32], u"--"_s + boundary + u"--"_s);
    EXPECT_FALSE(bounce.body_.endsWith(u"\r\n"_s));

    const QJsonObject msg = parseWithPython(assemble(bounce));
    EXPECT_EQ(msg[u"type"_s].toString(), u"multipart/report"_s);
    EXPECT_EQ(msg[u"params"_s].toObject()[u"report-type"_s].toString(), u"delivery-status"_s);
    EXPECT_EQ(msg[u"params"_s].toObject()[u"boundary"_s].toString(), boundary);
    EXPECT_EQ(headerNames(msg), bounceHeaders);
    EXPECT_TRUE(msg[u"defects"_s].toArray().isEmpty());
    const QJsonArray parts = msg[u"parts"_s].toArray();
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0].toObject()[u"type"_s].toString(), u"text/plain"_s);
    EXPECT_TRUE(
        parts[0].toObject()[u"text"_s].toString().contains(u"550 <second-to@example.com>... User unknown"_s));
    EXPECT_EQ(parts[1].toObject()[u"type"_s].toString(), u"message/delivery-status"_s);
    EXPECT_EQ(parts[2].toObject()[u"type"_s].toString(), u"message/rfc822"_s);
    const QJsonArray blocks = parts[1].toObject()[u"blocks"_s].toArray();
    ASSERT_EQ(blocks.size(), 2);
    EXPECT_EQ(header(blocks[0].toArray(), u"Reporting-MTA"_s), u"dns; mx1.example.com"_s);
    EXPECT_EQ(header(blocks[0].toArray(), u"Arrival-Date"_s), received.date);
    EXPECT_EQ(header(blocks[1].toArray(), u"Final-Recipient"_s), u"RFC822; <second-to@example.com>"_s);
    EXPECT_EQ(header(blocks[1].toArray(), u"Action"_s), u"failed"_s);
    EXPECT_EQ(header(blocks[1].toArray(), u"Status"_s), u"5.1.1"_s);
}

TEST(BounceMessage, DerivedValuesAndEmptyFields) {
    // A best recipient without "@": name and domain are both all of it.
    DataEmailMessage received;
    received.bestTo = u"postmaster"_s;
    received.rawTo = u"postmaster"_s;
    received.rawReplyto = u"sender@example.org"_s;
    DataEmailMessage bounce;
    QString envFrom, envTo;
    received.bounceMessage(bounce, envFrom, envTo);
    EXPECT_EQ(bounce.from, u"Mail Delivery Subsystem <MAILER-DAEMON@postmaster>"_s);
    const QStringList lines = bounce.body_.split(u"\r\n"_s);
    ASSERT_EQ(lines.size(), 33);
    EXPECT_EQ(lines[13], u"mail.local: unknown name: postmaster"_s);
    EXPECT_EQ(lines[19], u"Reporting-MTA: dns; mx1.postmaster"_s);
    // No Date: empty date parts and an empty Date header.
    EXPECT_TRUE(bounce.date.isEmpty());
    EXPECT_EQ(lines[5], u"The original message was received at "_s);
    EXPECT_EQ(lines[21], u"Arrival-Date: "_s);
    EXPECT_EQ(lines[27], u"Last-Attempt-Date: "_s);
    // An envelope sender without "@" stays the bare address.
    EXPECT_EQ(envFrom, u"postmaster"_s);
    EXPECT_EQ(envTo, u"sender@example.org"_s);
}

TEST(BounceMessage, NoHeaderInjectionFromAHostileMessage) {
    // Bare CRs survive line splitting; a hostile server can put anything into a uid.
    const std::string hostile = "From: Eve <eve@evil.example>\rBcc: victim@target.example\n"
                                "To: \"x\rX-Injected: 1\" <rcpt@example.com>\n"
                                "Date: Mon, 1 Jan 2024\rX-Date-Injected: 1\n"
                                "Received: from evil\r\rContent-Type: text/html\n"
                                "Subject: hi\n\nbody\n";
    DataEmailMessage received = loadMessage(hostile);
    received.uid = QString::fromLatin1("id\r\nX-Uid-Injected: 1\0z", 24);
    ASSERT_TRUE(received.from.contains(u'\r'));

    DataEmailMessage bounce;
    QString envFrom, envTo;
    received.bounceMessage(bounce, envFrom, envTo);
    for (const QString *field : {&bounce.date, &bounce.from, &bounce.uid, &bounce.to, &bounce.subject,
                                 &bounce.mime, &bounce.content, &bounce.autosub, &envFrom, &envTo})
        EXPECT_FALSE(hasLineBreakOrNul(*field)) << field->toStdString();
    EXPECT_EQ(envTo, u"eve@evil.example"_s);

    const QJsonObject msg = parseWithPython(assemble(bounce));
    EXPECT_EQ(headerNames(msg), bounceHeaders);
    const QJsonArray parts = msg[u"parts"_s].toArray();
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0].toObject()[u"type"_s].toString(), u"text/plain"_s);
    EXPECT_EQ(headerNames(parts[0].toObject()), QStringList());
    EXPECT_EQ(parts[1].toObject()[u"type"_s].toString(), u"message/delivery-status"_s);
    const QJsonArray blocks = parts[1].toObject()[u"blocks"_s].toArray();
    ASSERT_EQ(blocks.size(), 2);
    QStringList perMessage;
    for (const QJsonValue &h : blocks[0].toArray())
        perMessage << h.toArray().at(0).toString();
    EXPECT_EQ(perMessage, QStringList({u"Reporting-MTA"_s, u"Received-From-MTA"_s, u"Arrival-Date"_s}));

    // The same through the SpamCop report.
    DataEmailMessage report;
    received.spamCopMessage(report, u"me@example.net"_s, u"spam@reports.example"_s);
    const QJsonObject sc = parseWithPython(assemble(report));
    EXPECT_EQ(headerNames(sc), QStringList({u"Date"_s, u"From"_s, u"Message-Id"_s, u"To"_s, u"Subject"_s}));
}

TEST(BounceMessage, BoundaryUsesOnlyBoundaryCharactersAndAtMost70) {
    const QRegularExpression bchars(u"^[0-9A-Za-z'()+_,\\-./:=?]{1,70}$"_s);
    const std::string longDomain = "u@" + std::string(300, 'd') + ".example";
    const std::string cases[] = {
        // No address anywhere: the bare To value is the best recipient.
        "To: a@\"b c\"/(d)=;<>\n\n",
        "To: " + longDomain + "\n\n",
        "To: x@\"q\\\"uote\" \t\n\n",
    };
    for (const std::string &c : cases) {
        DataEmailMessage bounce;
        QString envFrom, envTo;
        loadMessage(c).bounceMessage(bounce, envFrom, envTo);
        const QString prefix = u"multipart/report; report-type=delivery-status; boundary=\""_s;
        ASSERT_TRUE(bounce.content.startsWith(prefix));
        ASSERT_TRUE(bounce.content.endsWith(u'"'));
        const QString boundary = bounce.content.mid(prefix.size()).chopped(1);
        EXPECT_TRUE(bchars.match(boundary).hasMatch()) << boundary.toStdString();
        const QJsonObject msg = parseWithPython(assemble(bounce));
        EXPECT_EQ(msg[u"params"_s].toObject()[u"boundary"_s].toString(), boundary) << c;
        EXPECT_EQ(msg[u"parts"_s].toArray().size(), 3) << c;
    }
}

TEST(SpamCopMessage, ForwardsTheMessageAsFetched) {
    const std::string raw = emailFixture("basic.crlf.eml");
    DataEmailMessage received = loadMessage(raw);
    received.uid = u"UIDL-9"_s;
    DataEmailMessage report;
    report.mime = u"stale"_s;
    received.spamCopMessage(report, u"me@example.net"_s, u"submit.x@spam.example"_s);
    EXPECT_EQ(report.from, u"me@example.net"_s);
    EXPECT_EQ(report.to, u"submit.x@spam.example"_s);
    EXPECT_EQ(report.subject, u"Spam EMail"_s);
    EXPECT_EQ(report.date, received.date);
    EXPECT_EQ(report.uid, u"UIDL-9"_s);
    EXPECT_TRUE(report.mime.isNull());
    EXPECT_TRUE(report.content.isNull());
    EXPECT_TRUE(report.autosub.isNull());
    EXPECT_EQ(report.body_, QString::fromLatin1(raw.data(), qsizetype(raw.size())));

    const QJsonObject msg = parseWithPython(assemble(report));
    EXPECT_EQ(headerNames(msg), QStringList({u"Date"_s, u"From"_s, u"Message-Id"_s, u"To"_s, u"Subject"_s}));
    EXPECT_EQ(header(msg[u"headers"_s].toArray(), u"Subject"_s), u"Spam EMail"_s);
    EXPECT_EQ(msg[u"text"_s].toString(), QString::fromLatin1(raw.data(), qsizetype(raw.size())));
}
