// The sender queue against a real aiosmtpd: connections shared and not shared, the order of
// its signals, a failed message that does not stop the queue, cancelling, the named senders,
// and the message text it builds from a message record.

#include "SMTPSender.h"
#include "SMTPSession.h"
#include "SMTPSocket.h"

#include "data/store.h"
#include "data/store_account_list.h"

#include "ChildProcess.h"
#include "SMTPServer.h"
#include "ScriptedPeer.h"
#include "TestCA.h"
#include "TestNames.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using vltest::SMTPServer;

QString freshRecipient() {
    static int serial = 0;
    return QStringLiteral("queue%1@example.org").arg(++serial);
}

// A sender no other test of the binary uses.
SMTPSender *freshSender() {
    static int serial = 0;
    return SMTPSender::self(QStringLiteral("test-%1").arg(++serial).toLatin1().constData());
}

DataAccountAdvancedSMTP settings(SMTPServer::Listener listener,
                                 const QString &password = SMTPServer::password()) {
    vltest::TestCA::instance();
    DataAccountAdvancedSMTP s;
    s.portNumber = SMTPServer::instance().port(listener);
    s.useSSL = listener == SMTPServer::ImplicitTLS || listener == SMTPServer::PlainOnlyTLS;
    s.useSMTPAuth = true;
    s.authUsing = 2;
    s.authUserName = SMTPServer::user();
    s.authPassword = password;
    return s;
}

DataEmailMessage record(const QString &uid, const QString &to,
                        const QString &subject = QStringLiteral("test")) {
    DataEmailMessage m;
    m.uid = uid;
    m.date = QStringLiteral("Thu, 10 Dec 2026 16:00:00 +0000");
    m.from = QStringLiteral("Sender <sender@example.org>");
    m.to = to;
    m.subject = subject;
    m.body_ = QStringLiteral("body of ") + uid + QLatin1Char('\n');
    return m;
}

// Every signal of one sender, in order.
struct Recorder : QObject {
    explicit Recorder(SMTPSender *s) : sender(s) {
        connect(s, &SMTPSender::sigBusy, this,
                [this](bool busy) { events.append(busy ? QStringLiteral("busy") : QStringLiteral("idle")); });
        connect(s, &SMTPSender::sigLoggedIn, this, [this] { events.append(QStringLiteral("loggedIn")); });
        connect(s, &SMTPSender::sigSent, this,
                [this](const QString &uid) { events.append(QStringLiteral("sent ") + uid); });
        connect(s, &SMTPSender::sigError, this, [this] { events.append(QStringLiteral("error")); });
    }
    bool waitIdle(int ms = 60000) {
        return QTest::qWaitFor([this] { return events.contains(QStringLiteral("idle")); }, ms);
    }
    SMTPSender *sender;
    QStringList events;
};

void send(SMTPSender *s, const QString &server, const DataAccountAdvancedSMTP &smtp,
          const DataEmailMessage &m, bool marker = false, const QString &user = {},
          const QString &password = {}) {
    s->sendMessage(marker, server, smtp, user, password, m, QStringLiteral("sender@example.org"), m.to);
}

TEST(SMTPSender, RequestsOnOneSettingsRecordShareOneConnection) {
    SMTPSender *s = freshSender();
    Recorder r(s);
    // The incoming server's login, passed with each request.
    DataAccountAdvancedSMTP smtp = settings(SMTPServer::Plain, QStringLiteral("not this one"));
    smtp.authUsing = 1;
    const QString host = SMTPServer::instance().host();
    const QString to = freshRecipient();
    s->sendMessage(false, host, smtp, SMTPServer::user(), SMTPServer::password(),
                   record(QStringLiteral("<a1@x>"), to), QStringLiteral("sender@example.org"), to);
    s->sendMessage(false, host, smtp, SMTPServer::user(), SMTPServer::password(),
                   record(QStringLiteral("<a2@x>"), to), QStringLiteral("sender@example.org"), to);
    ASSERT_TRUE(r.waitIdle());
    EXPECT_EQ(r.events,
              (QStringList{QStringLiteral("busy"), QStringLiteral("loggedIn"), QStringLiteral("sent <a1@x>"),
                           QStringLiteral("sent <a2@x>"), QStringLiteral("idle")}));
    const auto got = SMTPServer::instance().messagesTo(to);
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got.at(0).connection, got.at(1).connection);
    EXPECT_EQ(got.at(0).mechanism, QStringLiteral("CRAM-MD5"));
    EXPECT_TRUE(got.at(0).content.startsWith("Date: "));
    EXPECT_TRUE(got.at(1).content.contains("Message-Id: <a2@x>\r\n"));
}

TEST(SMTPSender, SeparateRecordsUseConnectionsOfTheirOwn) {
    SMTPSender *s = freshSender();
    Recorder r(s);
    const QString host = SMTPServer::instance().host();
    const QString to = freshRecipient();
    // Equal values, but two records: the first over TLS, the second plain.
    send(s, host, settings(SMTPServer::ImplicitTLS), record(QStringLiteral("b1"), to));
    send(s, host, settings(SMTPServer::Plain), record(QStringLiteral("b2"), to));
    ASSERT_TRUE(r.waitIdle());
    EXPECT_EQ(r.events,
              (QStringList{QStringLiteral("busy"), QStringLiteral("loggedIn"), QStringLiteral("sent b1"),
                           QStringLiteral("busy"), QStringLiteral("loggedIn"), QStringLiteral("sent b2"),
                           QStringLiteral("idle")}));
    const auto got = SMTPServer::instance().messagesTo(to);
    ASSERT_EQ(got.size(), 2);
    EXPECT_NE(got.at(0).connection, got.at(1).connection);
    EXPECT_TRUE(got.at(0).tls);
    EXPECT_FALSE(got.at(1).tls);
}

TEST(SMTPSender, FailedRequestIsDroppedAndTheQueueGoesOn) {
    SMTPSender *s = freshSender();
    Recorder r(s);
    const QString host = SMTPServer::instance().host();
    const QString to = freshRecipient();
    send(s, host, settings(SMTPServer::Plain, QStringLiteral("wrong")), record(QStringLiteral("c1"), to));
    send(s, host, settings(SMTPServer::Plain), record(QStringLiteral("c2"), to));
    ASSERT_TRUE(r.waitIdle());
    QTest::qWait(100);
    EXPECT_EQ(r.events,
              (QStringList{QStringLiteral("busy"), QStringLiteral("error"), QStringLiteral("busy"),
                           QStringLiteral("loggedIn"), QStringLiteral("sent c2"), QStringLiteral("idle")}));
    EXPECT_EQ(s->error(), QStringLiteral("5.7.8 Authentication credentials invalid\n[credentials hidden]"));
    const auto got = SMTPServer::instance().messagesTo(to);
    ASSERT_EQ(got.size(), 1);
    EXPECT_TRUE(got.first().content.contains("Message-Id: c2\r\n"));
}

TEST(SMTPSender, OnlySecureSettingReachesTheClient) {
    SMTPSender *s = freshSender();
    Recorder r(s);
    DataAccountAdvancedSMTP smtp = settings(SMTPServer::NoCram);
    smtp.useOnlySecure = true;
    const QString to = freshRecipient();
    send(s, SMTPServer::instance().host(), smtp, record(QStringLiteral("d1"), to));
    ASSERT_TRUE(r.waitIdle());
    EXPECT_EQ(r.events,
              (QStringList{QStringLiteral("busy"), QStringLiteral("error"), QStringLiteral("idle")}));
    EXPECT_EQ(s->error(),
              QStringLiteral("No recognised authentication mechanism\nEHLO localhost.localdomain"));
    EXPECT_TRUE(SMTPServer::instance().messagesTo(to).isEmpty());
}

TEST(SMTPSender, CancelDropsTheConnectionSilentlyAndTheNextRequestReconnects) {
    SOSSLSocket::setTimeoutScale(0.01);
    struct Restore {
        ~Restore() { SOSSLSocket::setTimeoutScale(1); }
    } restore;
    // A server that accepts and never speaks: the request hangs until cancelled.
    vltest::ScriptedPeer silent;
    silent.setDialogue(QStringLiteral("P: 1\n"));
    ASSERT_TRUE(silent.start());
    SMTPSender *s = freshSender();
    Recorder r(s);
    DataAccountAdvancedSMTP stalled;
    stalled.portNumber = silent.serverPort();
    const QString to = freshRecipient();
    send(s, silent.host(), stalled, record(QStringLiteral("e1"), to));
    ASSERT_TRUE(QTest::qWaitFor([&] { return silent.connections() == 1; }, 20000));
    s->cancel();
    // Nothing of the cancelled connection arrives, not even its time-out (600 ms scaled).
    QTest::qWait(1500);
    EXPECT_EQ(r.events, QStringList{QStringLiteral("busy")});
    EXPECT_TRUE(silent.clientClosed());
    SOSSLSocket::setTimeoutScale(1);

    send(s, SMTPServer::instance().host(), settings(SMTPServer::Plain), record(QStringLiteral("e2"), to));
    ASSERT_TRUE(r.waitIdle());
    EXPECT_EQ(r.events,
              (QStringList{QStringLiteral("busy"), QStringLiteral("busy"), QStringLiteral("loggedIn"),
                           QStringLiteral("sent e2"), QStringLiteral("idle")}));
    EXPECT_EQ(SMTPServer::instance().messagesTo(to).size(), 1);
}

TEST(SMTPSender, AcceptanceOfAnotherMessageDropsNothing) {
    SMTPSender *s = freshSender();
    Recorder r(s);
    const QString to = freshRecipient();
    send(s, SMTPServer::instance().host(), settings(SMTPServer::Plain), record(QStringLiteral("h1"), to));
    // A report for a message that is not at the head: the head starts again on a new
    // connection and still goes out once.
    s->slotSent(QStringLiteral("stray"));
    ASSERT_TRUE(r.waitIdle());
    EXPECT_EQ(r.events,
              (QStringList{QStringLiteral("busy"), QStringLiteral("sent stray"), QStringLiteral("busy"),
                           QStringLiteral("loggedIn"), QStringLiteral("sent h1"), QStringLiteral("idle")}));
    EXPECT_EQ(SMTPServer::instance().messagesTo(to).size(), 1);
}

TEST(SMTPSender, NamedSendersAreProcessWide) {
    EXPECT_EQ(SMTPSender::self(nullptr), SMTPSender::self("__default__"));
    EXPECT_NE(SMTPSender::self("__default__"), SMTPSender::self("__quick__"));
    EXPECT_EQ(SMTPSender::self("__quick__"), SMTPSender::self("__quick__"));
}

// The data folder of the account list whose identifier marks restored mail.
void privateDataFolder() {
    static QTemporaryDir dir;
    static const bool set = [] {
        Store::setDataDir(dir.path());
        return true;
    }();
    (void)set;
}

struct BodyCase {
    std::string name;
    DataEmailMessage message;
    bool marker;
    QString expected; // %1: the account list's identifier
};

void PrintTo(const BodyCase &c, std::ostream *os) {
    *os << c.name;
}

std::vector<BodyCase> bodyCases() {
    DataEmailMessage plain = record(QStringLiteral("<p@x>"), QStringLiteral("to@example.org"));
    DataEmailMessage mime = plain;
    mime.mime = QStringLiteral("1.0");
    mime.content = QStringLiteral("text/plain; charset=us-ascii");
    mime.autosub = QStringLiteral("auto-replied");
    DataEmailMessage empty;
    DataEmailMessage hostile = plain;
    hostile.subject = QStringLiteral("hi\r\nBcc: victim@evil.test");
    hostile.from = QStringLiteral("Eve <eve@evil.test>\nX-Injected: 1");
    hostile.uid = QStringLiteral("<u@x>\r\n\r\nbody");
    hostile.date = QStringLiteral("now") + QChar(0);
    DataEmailMessage foreign = plain;
    foreign.subject = QStringLiteral("Grüße");
    foreign.from = QStringLiteral("\"Jörg\" <j@example.org>");
    foreign.to = QStringLiteral("東京 <t@example.org>");
    return {
        {"no MIME fields: exactly five header lines", plain, false,
         QStringLiteral("Date: Thu, 10 Dec 2026 16:00:00 +0000\r\nFrom: Sender <sender@example.org>\r\n"
                        "Message-Id: <p@x>\r\nTo: to@example.org\r\nSubject: test\r\n\r\nbody of <p@x>\n")},
        {"MIME fields and the restore marker last", mime, true,
         QStringLiteral("Date: Thu, 10 Dec 2026 16:00:00 +0000\r\nFrom: Sender <sender@example.org>\r\n"
                        "Message-Id: <p@x>\r\nTo: to@example.org\r\nSubject: test\r\nMIME-Version: 1.0\r\n"
                        "Content-Type: text/plain; charset=us-ascii\r\nAuto-Submitted: auto-replied\r\n"
                        "X-Velloran-ID: <%1>\r\n\r\nbody of <p@x>\n")},
        {"empty record: the five lines still", empty, false,
         QStringLiteral("Date: \r\nFrom: \r\nMessage-Id: \r\nTo: \r\nSubject: \r\n\r\n")},
        {"line breaks and NULs in values become spaces", hostile, false,
         QStringLiteral(
             "Date: now \r\nFrom: Eve <eve@evil.test> X-Injected: 1\r\nMessage-Id: <u@x>    body\r\n"
             "To: to@example.org\r\nSubject: hi  Bcc: victim@evil.test\r\n\r\nbody of <p@x>\n")},
        {"text beyond ASCII as UTF-8 encoded words, addresses kept", foreign, false,
         QStringLiteral(
             "Date: Thu, 10 Dec 2026 16:00:00 +0000\r\nFrom: =?UTF-8?B?SsO2cmc=?= <j@example.org>\r\n"
             "Message-Id: <p@x>\r\nTo: =?UTF-8?B?5p2x5Lqs?= <t@example.org>\r\n"
             "Subject: =?UTF-8?B?R3LDvMOfZQ==?=\r\n\r\nbody of <p@x>\n")},
    };
}

class SMTPSenderBody : public ::testing::TestWithParam<BodyCase> {};

TEST_P(SMTPSenderBody, BuildsTheMessageText) {
    const BodyCase &c = GetParam();
    privateDataFolder();
    const QString id = StoreAccountList::accounts()->VLMessageID;
    ASSERT_FALSE(id.isEmpty());
    SMTPSenderRequest request(c.marker, QStringLiteral("smtp.example.org"), DataAccountAdvancedSMTP(),
                              QString(), QString(), c.message, QStringLiteral("a@example.org"),
                              QStringLiteral("b@example.org"));
    EXPECT_EQ(request.body(), c.marker ? c.expected.arg(id) : c.expected);
}

INSTANTIATE_TEST_SUITE_P(SMTP, SMTPSenderBody, ::testing::ValuesIn(bodyCases()), vltest::RowName());

TEST(SMTPSender, RestoredMessageArrivesWithItsMarker) {
    privateDataFolder();
    SMTPSender *s = freshSender();
    Recorder r(s);
    const QString to = freshRecipient();
    send(s, SMTPServer::instance().host(), settings(SMTPServer::Plain), record(QStringLiteral("f1"), to),
         true);
    ASSERT_TRUE(r.waitIdle());
    const auto got = SMTPServer::instance().messagesTo(to);
    ASSERT_EQ(got.size(), 1);
    const QByteArray marker = "\r\nX-Velloran-ID: <" + StoreAccountList::accounts()->VLMessageID.toLatin1() +
                              ">\r\n\r\nbody of f1\r\n";
    EXPECT_TRUE(got.first().content.contains(marker)) << got.first().content.toStdString();
}

TEST(SMTPSender, HeaderValuesArriveDecodableAndAlone) {
    SMTPSender *s = freshSender();
    Recorder r(s);
    const QString to = freshRecipient();
    DataEmailMessage m =
        record(QStringLiteral("<g1@x>"), to, QStringLiteral("Grüße aus 東京\r\nBcc: victim@evil.test"));
    m.from = QStringLiteral("Grüße 東京 <sender@example.org>");
    // Long enough to need several encoded words.
    m.to = QString(40, QChar(0x6771)) + QStringLiteral(" <") + to + QLatin1Char('>');
    s->sendMessage(false, SMTPServer::instance().host(), settings(SMTPServer::Plain), {}, {}, m,
                   QStringLiteral("sender@example.org"), to);
    ASSERT_TRUE(r.waitIdle());
    const auto got = SMTPServer::instance().messagesTo(to);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got.first().rcptTo, QStringList{to});
    // The classic decoder: it follows the rule that the space between adjacent encoded words
    // is no part of the text (the newer header objects of Python insert one).
    const vltest::CommandResult py = vltest::runCommand(
        {"/usr/bin/python3", "-c",
         "import sys, email\n"
         "from email.header import decode_header, make_header\n"
         "m = email.message_from_bytes(sys.stdin.buffer.read())\n"
         "out = [str(make_header(decode_header(m[h]))) for h in ('Subject', 'From', 'To')]\n"
         "out += [str(m['Bcc']), str(len(m.defects))]\n"
         "sys.stdout.buffer.write('\\n'.join(out).encode('utf-8'))\n"},
        got.first().content.toStdString());
    ASSERT_EQ(py.exitCode, 0) << py.err;
    EXPECT_EQ(QString::fromStdString(py.out),
              QStringLiteral("Grüße aus 東京  Bcc: victim@evil.test\nGrüße 東京 <sender@example.org>\n") +
                  QString(40, QChar(0x6771)) + QStringLiteral(" <") + to + QStringLiteral(">\nNone\n0"));
}

} // namespace
