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

namespace {

using vltest::emailFixture;
using vltest::loadMessage;

// The message text that the SMTP sender makes of an outgoing record.
QByteArray assemble(const DataEmailMessage &m) {
    QString text = "Date: " + m.date + "\r\nFrom: " + m.from + "\r\nMessage-Id: " + m.uid +
                   "\r\nTo: " + m.to + "\r\nSubject: " + m.subject + "\r\n";
    if (!m.mime.isEmpty())
        text += "MIME-Version: " + m.mime + "\r\n";
    if (!m.content.isEmpty())
        text += "Content-Type: " + m.content + "\r\n";
    if (!m.autosub.isEmpty())
        text += "Auto-Submitted: " + m.autosub + "\r\n";
    text += "\r\n" + m.body_;
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
    for (const QJsonValue &h : part["headers"].toArray())
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

const QStringList bounceHeaders = {"Date",    "From",         "Message-Id",   "To",
                                   "Subject", "MIME-Version", "Content-Type", "Auto-Submitted"};

bool hasLineBreakOrNul(const QString &s) {
    return s.contains('\r') || s.contains('\n') || s.contains(QChar(0));
}

} // namespace

TEST(BounceMessage, IsAMultipartReportOfThreeParts) {
    DataEmailMessage received = loadMessage(emailFixture("basic.crlf.eml"));
    received.uid = "UIDL-77";
    DataEmailMessage bounce;
    QString envFrom, envTo;
    const quint32 before = quint32(std::time(nullptr));
    received.bounceMessage(bounce, envFrom, envTo);
    const quint32 after = quint32(std::time(nullptr));

    EXPECT_EQ(bounce.from, "Mail Delivery Subsystem <MAILER-DAEMON@example.com>");
    EXPECT_EQ(bounce.to, received.from);
    EXPECT_EQ(bounce.uid, "UIDL-77");
    EXPECT_EQ(bounce.date, received.date);
    EXPECT_EQ(bounce.subject, "Returned mail: User unknown");
    EXPECT_EQ(bounce.autosub, "auto-generated (failure)");
    EXPECT_EQ(bounce.mime, "1.0");
    EXPECT_EQ(envFrom, "MAILER_DEAMON@example.com");
    EXPECT_EQ(envTo, "anna.smith@example.org");

    const QRegularExpression boundaryForm("^([0-9a-f]{8})\\.([0-9a-f]{8})/mx1\\.example\\.com$");
    const QString prefix = "multipart/report; report-type=delivery-status; boundary=\"";
    ASSERT_TRUE(bounce.content.startsWith(prefix)) << bounce.content.toStdString();
    const QString boundary = bounce.content.mid(prefix.size()).chopped(1);
    const auto bm = boundaryForm.match(boundary);
    ASSERT_TRUE(bm.hasMatch()) << boundary.toStdString();
    const quint32 t = bm.captured(1).toUInt(nullptr, 16);
    EXPECT_GE(t, before);
    EXPECT_LE(t, after);
    EXPECT_EQ(bm.captured(2).toUInt(nullptr, 16), quint32(t * 17u));

    const QStringList lines = bounce.body_.split("\r\n");
    ASSERT_EQ(lines.size(), 33);
    EXPECT_EQ(lines[1], "This is a MIME-encapsulated message");
    EXPECT_EQ(lines[5], "The original message was received at " + received.date);
    EXPECT_EQ(lines[6], "from " + received.from);
    EXPECT_EQ(lines[9], "<second-to@example.com>");
    EXPECT_EQ(lines[13], "mail.local: unknown name: second-to");
    EXPECT_EQ(lines[14], "550 <second-to@example.com>... User unknown");
    EXPECT_EQ(lines[19], "Reporting-MTA: dns; mx1.example.com");
    EXPECT_EQ(lines[20], "Received-From-MTA: DNS; " + received.recvfrom);
    EXPECT_EQ(lines[32], "--" + boundary + "--");
    EXPECT_FALSE(bounce.body_.endsWith("\r\n"));

    const QJsonObject msg = parseWithPython(assemble(bounce));
    EXPECT_EQ(msg["type"].toString(), "multipart/report");
    EXPECT_EQ(msg["params"].toObject()["report-type"].toString(), "delivery-status");
    EXPECT_EQ(msg["params"].toObject()["boundary"].toString(), boundary);
    EXPECT_EQ(headerNames(msg), bounceHeaders);
    EXPECT_TRUE(msg["defects"].toArray().isEmpty());
    const QJsonArray parts = msg["parts"].toArray();
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0].toObject()["type"].toString(), "text/plain");
    EXPECT_TRUE(
        parts[0].toObject()["text"].toString().contains("550 <second-to@example.com>... User unknown"));
    EXPECT_EQ(parts[1].toObject()["type"].toString(), "message/delivery-status");
    EXPECT_EQ(parts[2].toObject()["type"].toString(), "message/rfc822");
    const QJsonArray blocks = parts[1].toObject()["blocks"].toArray();
    ASSERT_EQ(blocks.size(), 2);
    EXPECT_EQ(header(blocks[0].toArray(), "Reporting-MTA"), "dns; mx1.example.com");
    EXPECT_EQ(header(blocks[0].toArray(), "Arrival-Date"), received.date);
    EXPECT_EQ(header(blocks[1].toArray(), "Final-Recipient"), "RFC822; <second-to@example.com>");
    EXPECT_EQ(header(blocks[1].toArray(), "Action"), "failed");
    EXPECT_EQ(header(blocks[1].toArray(), "Status"), "5.1.1");
}

TEST(BounceMessage, DerivedValuesAndEmptyFields) {
    // A best recipient without "@": name and domain are both all of it.
    DataEmailMessage received;
    received.bestTo = "postmaster";
    received.rawTo = "postmaster";
    received.rawReplyto = "sender@example.org";
    DataEmailMessage bounce;
    QString envFrom, envTo;
    received.bounceMessage(bounce, envFrom, envTo);
    EXPECT_EQ(bounce.from, "Mail Delivery Subsystem <MAILER-DAEMON@postmaster>");
    const QStringList lines = bounce.body_.split("\r\n");
    ASSERT_EQ(lines.size(), 33);
    EXPECT_EQ(lines[13], "mail.local: unknown name: postmaster");
    EXPECT_EQ(lines[19], "Reporting-MTA: dns; mx1.postmaster");
    // No Date: empty date parts and an empty Date header.
    EXPECT_TRUE(bounce.date.isEmpty());
    EXPECT_EQ(lines[5], "The original message was received at ");
    EXPECT_EQ(lines[21], "Arrival-Date: ");
    EXPECT_EQ(lines[27], "Last-Attempt-Date: ");
    // An envelope sender without "@" stays the bare address.
    EXPECT_EQ(envFrom, "postmaster");
    EXPECT_EQ(envTo, "sender@example.org");
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
    ASSERT_TRUE(received.from.contains('\r'));

    DataEmailMessage bounce;
    QString envFrom, envTo;
    received.bounceMessage(bounce, envFrom, envTo);
    for (const QString *field : {&bounce.date, &bounce.from, &bounce.uid, &bounce.to, &bounce.subject,
                                 &bounce.mime, &bounce.content, &bounce.autosub, &envFrom, &envTo})
        EXPECT_FALSE(hasLineBreakOrNul(*field)) << field->toStdString();
    EXPECT_EQ(envTo, "eve@evil.example");

    const QJsonObject msg = parseWithPython(assemble(bounce));
    EXPECT_EQ(headerNames(msg), bounceHeaders);
    const QJsonArray parts = msg["parts"].toArray();
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0].toObject()["type"].toString(), "text/plain");
    EXPECT_EQ(headerNames(parts[0].toObject()), QStringList());
    EXPECT_EQ(parts[1].toObject()["type"].toString(), "message/delivery-status");
    const QJsonArray blocks = parts[1].toObject()["blocks"].toArray();
    ASSERT_EQ(blocks.size(), 2);
    QStringList perMessage;
    for (const QJsonValue &h : blocks[0].toArray())
        perMessage << h.toArray().at(0).toString();
    EXPECT_EQ(perMessage, QStringList({"Reporting-MTA", "Received-From-MTA", "Arrival-Date"}));

    // The same through the SpamCop report.
    DataEmailMessage report;
    received.spamCopMessage(report, "me@example.net", "spam@reports.example");
    const QJsonObject sc = parseWithPython(assemble(report));
    EXPECT_EQ(headerNames(sc), QStringList({"Date", "From", "Message-Id", "To", "Subject"}));
}

TEST(BounceMessage, BoundaryUsesOnlyBoundaryCharactersAndAtMost70) {
    const QRegularExpression bchars("^[0-9A-Za-z'()+_,\\-./:=?]{1,70}$");
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
        const QString prefix = "multipart/report; report-type=delivery-status; boundary=\"";
        ASSERT_TRUE(bounce.content.startsWith(prefix));
        ASSERT_TRUE(bounce.content.endsWith('"'));
        const QString boundary = bounce.content.mid(prefix.size()).chopped(1);
        EXPECT_TRUE(bchars.match(boundary).hasMatch()) << boundary.toStdString();
        const QJsonObject msg = parseWithPython(assemble(bounce));
        EXPECT_EQ(msg["params"].toObject()["boundary"].toString(), boundary) << c;
        EXPECT_EQ(msg["parts"].toArray().size(), 3) << c;
    }
}

TEST(SpamCopMessage, ForwardsTheMessageAsFetched) {
    const std::string raw = emailFixture("basic.crlf.eml");
    DataEmailMessage received = loadMessage(raw);
    received.uid = "UIDL-9";
    DataEmailMessage report;
    report.mime = "stale";
    received.spamCopMessage(report, "me@example.net", "submit.x@spam.example");
    EXPECT_EQ(report.from, "me@example.net");
    EXPECT_EQ(report.to, "submit.x@spam.example");
    EXPECT_EQ(report.subject, "Spam EMail");
    EXPECT_EQ(report.date, received.date);
    EXPECT_EQ(report.uid, "UIDL-9");
    EXPECT_TRUE(report.mime.isNull());
    EXPECT_TRUE(report.content.isNull());
    EXPECT_TRUE(report.autosub.isNull());
    EXPECT_EQ(report.body_, QString::fromLatin1(raw.data(), qsizetype(raw.size())));

    const QJsonObject msg = parseWithPython(assemble(report));
    EXPECT_EQ(headerNames(msg), QStringList({"Date", "From", "Message-Id", "To", "Subject"}));
    EXPECT_EQ(header(msg["headers"].toArray(), "Subject"), "Spam EMail");
    EXPECT_EQ(msg["text"].toString(), QString::fromLatin1(raw.data(), qsizetype(raw.size())));
}
