// The SMTP client against a scripted peer, for what a real server will not do on demand:
// the older capability form, mechanisms the client does not know, refusals at any step,
// silence and a hang-up. Each row plays one dialogue file and checks the signals in order
// and what the client sent.

#include "SMTPSession.h"
#include "SMTPSocket.h"

#include "ScriptedPeer.h"
#include "TestNames.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct PeerCase {
    std::string name;
    const char *dialogue;
    QList<Outgoing> messages;
    QStringList events;
    QString user = QStringLiteral("user");
    QString password = QStringLiteral("secret");
    QStringList neverSent{}; // prefixes of lines that must not reach the server
    double timeoutScale = 1;
};

void PrintTo(const PeerCase &c, std::ostream *os) {
    *os << c.name;
}

QString err(const char *text) {
    return QStringLiteral("error: ") + QString::fromUtf8(text);
}

const QString kLoggedIn = QStringLiteral("loggedIn");
const QString kClosed = QStringLiteral("closed");
const QString kSentOK = QStringLiteral("status Message sent OK");

std::vector<PeerCase> cases() {
    const Outgoing hello{QStringLiteral("a@example.org"), QStringLiteral("b@example.org"),
                         QStringLiteral("hello"), QStringLiteral("m1")};
    const Outgoing nullSender{QString(), QStringLiteral(" b@example.org  "), QStringLiteral(".leading dot"),
                              QStringLiteral("m2")};
    return {
        {"AUTH= form offers LOGIN, 251 accepted",
         "smtp_auth_equals_login",
         {hello},
         {kLoggedIn, kSentOK, QStringLiteral("sent m1"), kClosed}},
        {"CRAM-MD5 answer to the published challenge",
         "smtp_cram_rfc_example",
         {},
         {kLoggedIn, kClosed},
         QStringLiteral("tim"),
         QStringLiteral("tanstaaftanstaaf")},
        {"DIGEST-MD5 only: no mechanism tried",
         "smtp_digest_only",
         {},
         {err("No recognised authentication mechanism\nEHLO localhost.localdomain")},
         QStringLiteral("user"),
         QStringLiteral("secret"),
         {QStringLiteral("AUTH")}},
        {"no AUTH line: no login, null sender",
         "smtp_no_auth_null_sender",
         {nullSender},
         {kLoggedIn, kSentOK, QStringLiteral("sent m2"), kClosed},
         QStringLiteral("user"),
         QStringLiteral("secret"),
         {QStringLiteral("AUTH")}},
        {"refused EHLO: no HELO fallback",
         "smtp_ehlo_refused",
         {},
         {err("5.5.1 command not implemented\nEHLO localhost.localdomain")},
         QStringLiteral("user"),
         QStringLiteral("secret"),
         {QStringLiteral("HELO")}},
        {"refused greeting", "smtp_greeting_refused", {}, {err("5.3.2 no service for you")}},
        {"empty line for an answer",
         "smtp_empty_line",
         {},
         {err("Server sent an empty line\nEHLO localhost.localdomain")}},
        {"silent server: time-out",
         "smtp_silent_after_ehlo",
         {},
         {err("Timeout communicating with SMTP server\nEHLO localhost.localdomain")},
         QStringLiteral("user"),
         QStringLiteral("secret"),
         {},
         0.05},
        {"hang-up while MAIL FROM is answered",
         "smtp_close_after_mail",
         {hello},
         {kLoggedIn, err("Connection closed by host\nMAIL FROM: <a@example.org>")}},
        {"hang-up while idle: the next message fails at once",
         "smtp_close_when_idle",
         {hello},
         {kLoggedIn, err("Connection closed by host\nMAIL FROM: <a@example.org>")}},
    };
}

class SMTPPeer : public ::testing::TestWithParam<PeerCase> {
protected:
    void TearDown() override { SOSSLSocket::setTimeoutScale(1); }
};

TEST_P(SMTPPeer, PlaysTheDialogue) {
    const PeerCase &c = GetParam();
    SOSSLSocket::setTimeoutScale(c.timeoutScale);
    vltest::ScriptedPeer peer;
    peer.loadDialogue(QStringLiteral(VL_TEST_DATA_DIR "/dialogues/") + QLatin1String(c.dialogue) +
                      QStringLiteral(".txt"));
    ASSERT_TRUE(peer.start());
    SMTPSocket client;
    client.setup(SOSSLSocket::NoSSL, peer.host(), peer.serverPort(), c.user, c.password, true);
    SMTPSession session(&client, c.messages);
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(session.run(20000)) << session.events.join(u'|').toStdString();
    // A hang-up is noticed at once, not when the wait runs out.
    EXPECT_LT(clock.elapsed(), 15000);
    // Exactly one ending, and nothing after it.
    SMTPSession::settle(100);
    EXPECT_EQ(session.events, c.events);
    EXPECT_EQ(session.endings.size(), 1);
    EXPECT_TRUE(peer.mismatches().isEmpty()) << peer.mismatches().join(u'\n').toStdString();
    for (const QString &prefix : c.neverSent) {
        for (const QByteArray &line : peer.received())
            EXPECT_FALSE(line.startsWith(prefix.toLatin1())) << "sent: " << line.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(SMTP, SMTPPeer, ::testing::ValuesIn(cases()), vltest::RowName());

TEST(SMTPPeerRequests, OutOfTurnRequestsFailTheConnectionOnce) {
    vltest::ScriptedPeer peer;
    peer.setDialogue(
        QStringLiteral("S: 220 peer.test ESMTP\nC: EHLO localhost.localdomain\nS: 250 peer.test\n"
                       "C: MAIL FROM: <a@example.org>\n"));
    ASSERT_TRUE(peer.start());
    SMTPSocket client;
    client.setup(SOSSLSocket::NoSSL, peer.host(), peer.serverPort(), QString(), QString(), true);
    // Closing before the greeting is refused, and so is a second message while one is in transit.
    client.closeSocket(true);
    EXPECT_EQ(client.state(), SMTPSocket::State::Failed);
    EXPECT_EQ(client.error(), QStringLiteral("Request to close connection when not ready"));

    SMTPSocket second;
    second.setup(SOSSLSocket::NoSSL, peer.host(), peer.serverPort(), QString(), QString(), true);
    QStringList errors;
    QObject::connect(&second, &SMTPSocket::sigError, &second, [&] { errors.append(second.error()); });
    QObject::connect(&second, &SMTPSocket::sigLoggedIn, &second, [&] {
        second.sendMessage(QStringLiteral("a@example.org"), QStringLiteral("b@example.org"),
                           QStringLiteral("x"), QStringLiteral("one"));
        second.sendMessage(QStringLiteral("a@example.org"), QStringLiteral("c@example.org"),
                           QStringLiteral("y"), QStringLiteral("two"));
    });
    second.login();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.isEmpty(); }, 20000));
    SMTPSession::settle(100);
    EXPECT_EQ(errors, QStringList{QStringLiteral("Request to send message list when not ready\n"
                                                 "MAIL FROM: <a@example.org>")});
    EXPECT_EQ(second.state(), SMTPSocket::State::Failed);
}

TEST(SMTPPeerRequests, EnvelopeAddressWithLineBreakIsRefusedUnsent) {
    vltest::ScriptedPeer peer;
    peer.setDialogue(
        QStringLiteral("S: 220 peer.test ESMTP\nC: EHLO localhost.localdomain\nS: 250 peer.test\n"));
    ASSERT_TRUE(peer.start());
    for (const QString &bad : {QStringLiteral("a@example.org\r\nRCPT TO: <x@evil.test>"),
                               QStringLiteral("a@example.org\nDATA"), QStringLiteral("a@exa") + QChar(0)}) {
        for (const bool inSender : {true, false}) {
            SMTPSocket client;
            client.setup(SOSSLSocket::NoSSL, peer.host(), peer.serverPort(), QString(), QString(), true);
            SMTPSession session(&client, {{inSender ? bad : QStringLiteral("a@example.org"),
                                           inSender ? QStringLiteral("b@example.org") : bad,
                                           QStringLiteral("x"), QStringLiteral("u")}});
            ASSERT_TRUE(session.run(20000));
            EXPECT_EQ(session.endings, QStringList{err("Invalid character in envelope address")});
        }
    }
    for (const QByteArray &line : peer.received())
        EXPECT_FALSE(line.startsWith("MAIL") || line.startsWith("RCPT")) << line.toStdString();
}

// A large message to a peer that takes it slowly: the data wait runs from the last piece the
// peer took, so a transfer longer than the wait succeeds while bytes move, and a peer that
// stops taking them still ends the connection.
class SMTPSlowData : public ::testing::Test {
protected:
    // Command wait 1.2 s, write retries every 20 ms.
    void SetUp() override { SOSSLSocket::setTimeoutScale(0.02); }
    void TearDown() override { SOSSLSocket::setTimeoutScale(1); }

    static constexpr int kLines = 25000;
    // 76 characters and CR LF a line, then the empty line and "." that end the data.
    static constexpr qint64 kWireBytes = qint64(kLines) * 78 + 5;

    static Outgoing bigMessage() {
        QStringList lines;
        for (int i = 0; i < kLines; ++i)
            lines << QString(76, QLatin1Char('x'));
        return {QStringLiteral("a@example.org"), QStringLiteral("b@example.org"), lines.join(u'\n'),
                QStringLiteral("big")};
    }

    static QString dialogue(const QString &afterData) {
        return QStringLiteral("S: 220 peer.test ESMTP\nC: EHLO localhost.localdomain\nS: 250 peer.test\n"
                              "C: MAIL FROM: <a@example.org>\nS: 250 ok\nC: RCPT TO: <b@example.org>\n"
                              "S: 250 ok\nC: DATA\nS: 354 go ahead\n") +
               afterData;
    }
};

TEST_F(SMTPSlowData, ASteadyReaderSlowerThanTheWaitGetsTheWholeMessage) {
    vltest::ScriptedPeer peer;
    peer.setReceiveBuffer(32768);
    peer.setDialogue(dialogue(QStringLiteral("Z: %1\nS: 250 queued\nC: QUIT\n").arg(kWireBytes)));
    ASSERT_TRUE(peer.start());
    SMTPSocket client;
    client.setup(SOSSLSocket::NoSSL, peer.host(), peer.serverPort(), QString(), QString(), true);
    SMTPSession session(&client, {bigMessage()});
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(session.run(120000)) << session.events.join(u'|').toStdString();
    const qint64 took = clock.elapsed();
    SMTPSession::settle(100);
    EXPECT_EQ(session.events, (QStringList{kLoggedIn, kSentOK, QStringLiteral("sent big"), kClosed}));
    EXPECT_EQ(peer.rawBytes(), kWireBytes);
    EXPECT_TRUE(peer.mismatches().isEmpty()) << peer.mismatches().join(u'\n').toStdString();
    // Otherwise the test proves nothing: the transfer outlasted the wait armed at its start.
    EXPECT_GT(took, SOSSLSocket::scaled(60000));
}

TEST_F(SMTPSlowData, AReaderThatStopsEndsTheConnection) {
    vltest::ScriptedPeer peer;
    peer.setReceiveBuffer(32768);
    peer.setDialogue(dialogue(QStringLiteral("Z: 65536\nP: 600000\n")));
    ASSERT_TRUE(peer.start());
    SMTPSocket client;
    client.setup(SOSSLSocket::NoSSL, peer.host(), peer.serverPort(), QString(), QString(), true);
    SMTPSession session(&client, {bigMessage()});
    QElapsedTimer clock;
    clock.start();
    ASSERT_TRUE(session.run(120000)) << session.events.join(u'|').toStdString();
    EXPECT_LT(clock.elapsed(), 30000);
    SMTPSession::settle(100);
    // Stuck in the program's own buffer it is a write that never goes; stuck in the kernel's
    // the reply that never comes.
    const QStringList stalled{err("Error sending data to host"),
                              err("Timeout communicating with SMTP server\nDATA")};
    ASSERT_EQ(session.events.size(), 2) << session.events.join(u'|').toStdString();
    EXPECT_EQ(session.events.first(), kLoggedIn);
    EXPECT_TRUE(stalled.contains(session.events.last())) << session.events.last().toStdString();
    EXPECT_EQ(client.state(), SMTPSocket::State::Failed);
}

} // namespace
