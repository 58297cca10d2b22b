// The SMTP client against a real aiosmtpd on this process's own loopback address, plain and
// over implicit TLS: the choice of login mechanism, refused logins and recipients, the text
// as it arrives, a large message, the standard ports and the diagnosis transcript.

#include "SMTPSession.h"
#include "SMTPSocket.h"

#include "SMTPServer.h"
#include "TestCA.h"
#include "TestNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

using vltest::SMTPServer;

// A recipient no other test of the binary uses.
QString freshRecipient() {
    static int serial = 0;
    return QStringLiteral("rcpt%1@example.org").arg(++serial);
}

struct Login {
    QString user = SMTPServer::user();
    QString password = SMTPServer::password();
    bool useEhlo = true;
    bool onlySecure = false;
};

std::unique_ptr<SMTPSocket> client(SMTPServer::Listener listener, bool tls, const Login &login = {}) {
    vltest::TestCA::instance();
    auto &server = SMTPServer::instance();
    auto c = std::make_unique<SMTPSocket>();
    c->setup(tls ? SOSSLSocket::SSLv23 : SOSSLSocket::NoSSL, server.host(), server.port(listener), login.user,
             login.password, login.useEhlo);
    c->setOnlySecure(login.onlySecure);
    return c;
}

Outgoing message(const QString &to, const QString &text = QStringLiteral("Subject: test\n\nhello\n")) {
    static int serial = 0;
    return {QStringLiteral("sender@example.org"), to, text, QStringLiteral("uid-%1").arg(++serial)};
}

const QString kBadPassword = QStringLiteral("5.7.8 Authentication credentials invalid\n[credentials hidden]");

struct MechanismCase {
    std::string name;
    SMTPServer::Listener listener;
    bool tls;
    Login login;
    QString mechanism; // used by the delivered message; empty: delivered without a login
    QString error{};   // instead of a delivery
};

void PrintTo(const MechanismCase &c, std::ostream *os) {
    *os << c.name;
}

const QString kWrong = QStringLiteral("wrong-pw");

std::vector<MechanismCase> mechanismCases() {
    const SMTPServer::Listener all = SMTPServer::Plain;
    return {
        {"all three offered: CRAM-MD5", all, false, {}, QStringLiteral("CRAM-MD5")},
        {"LOGIN only", SMTPServer::LoginOnly, false, {}, QStringLiteral("LOGIN")},
        {"PLAIN only", SMTPServer::PlainOnly, false, {}, QStringLiteral("PLAIN")},
        {"all three over TLS: CRAM-MD5", SMTPServer::ImplicitTLS, true, {}, QStringLiteral("CRAM-MD5")},
        {"HELO never logs in", all, false, {.useEhlo = false}, QString()},
        {"wrong password, CRAM-MD5", all, false, {.password = kWrong}, {}, kBadPassword},
        {"wrong password, LOGIN", SMTPServer::LoginOnly, false, {.password = kWrong}, {}, kBadPassword},
        {"wrong password, PLAIN", SMTPServer::PlainOnly, false, {.password = kWrong}, {}, kBadPassword},
        {"only secure, plain link with PLAIN and LOGIN: refused before any AUTH",
         SMTPServer::NoCram,
         false,
         {.onlySecure = true},
         {},
         QStringLiteral("No recognised authentication mechanism\nEHLO localhost.localdomain")},
        {"only secure, CRAM-MD5 on a plain link",
         all,
         false,
         {.onlySecure = true},
         QStringLiteral("CRAM-MD5")},
        {"only secure, PLAIN inside TLS",
         SMTPServer::PlainOnlyTLS,
         true,
         {.onlySecure = true},
         QStringLiteral("PLAIN")},
    };
}

class Mechanisms : public ::testing::TestWithParam<MechanismCase> {};

TEST_P(Mechanisms, LogsInAsTheServerAllows) {
    const MechanismCase &c = GetParam();
    auto smtp = client(c.listener, c.tls, c.login);
    const Outgoing m = message(freshRecipient());
    SMTPSession session(smtp.get(), {m});
    ASSERT_TRUE(session.run());
    const QList<SMTPServer::Message> got = SMTPServer::instance().messagesTo(m.to);
    if (!c.error.isEmpty()) {
        EXPECT_EQ(session.endings, QStringList{QStringLiteral("error: ") + c.error});
        EXPECT_EQ(smtp->state(), SMTPSocket::State::Failed);
        EXPECT_TRUE(got.isEmpty());
        return;
    }
    EXPECT_EQ(session.events,
              (QStringList{QStringLiteral("loggedIn"), QStringLiteral("status Message sent OK"),
                           QStringLiteral("sent ") + m.uid, QStringLiteral("closed")}));
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got.first().mechanism, c.mechanism);
    EXPECT_EQ(got.first().user, c.mechanism.isEmpty() ? QString() : SMTPServer::user());
    EXPECT_EQ(got.first().tls, c.tls);
    EXPECT_EQ(got.first().mailFrom, m.from);
}

INSTANTIATE_TEST_SUITE_P(SMTP, Mechanisms, ::testing::ValuesIn(mechanismCases()), vltest::RowName());

TEST(SMTPText, LineEndsDotsAndEmptyLinesArriveAsWritten) {
    auto smtp = client(SMTPServer::Plain, false);
    const Outgoing m = message(freshRecipient(), QStringLiteral("a\n.\n.x\n\nb"));
    SMTPSession session(smtp.get(), {m});
    ASSERT_TRUE(session.run());
    ASSERT_EQ(session.endings, QStringList{QStringLiteral("closed")});
    const auto got = SMTPServer::instance().messagesTo(m.to);
    ASSERT_EQ(got.size(), 1);
    // The empty line before the end marker is the one the client always adds.
    EXPECT_EQ(got.first().content, QByteArray("a\r\n.\r\n.x\r\n\r\nb\r\n\r\n"));
}

TEST(SMTPText, MegabyteOverTLSArrivesByteExact) {
    QString text;
    QByteArray expected;
    for (int i = 0; text.size() < 1024 * 1024; ++i) {
        // Every seventh line starts with a dot, every fifth ends in CR LF already.
        const QString line = (i % 7 == 0 ? QStringLiteral(".") : QString()) +
                             QStringLiteral("line %1 of a long message, some text to fill it up").arg(i);
        text += line + (i % 5 == 0 ? QStringLiteral("\r\n") : QStringLiteral("\n"));
        expected += line.toLatin1() + "\r\n";
    }
    expected += "\r\n\r\n"; // the piece after the last LF, and the added empty line
    auto smtp = client(SMTPServer::ImplicitTLS, true);
    const Outgoing m = message(freshRecipient(), text);
    SMTPSession session(smtp.get(), {m});
    ASSERT_TRUE(session.run(120000));
    ASSERT_EQ(session.endings, QStringList{QStringLiteral("closed")});
    const auto got = SMTPServer::instance().messagesTo(m.to);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got.first().content.size(), expected.size());
    EXPECT_TRUE(got.first().content == expected);
}

TEST(SMTPConnection, TwoMessagesOverOneConnection) {
    auto smtp = client(SMTPServer::Plain, false);
    const QString to = freshRecipient();
    const Outgoing first = message(to);
    const Outgoing second = message(QStringLiteral("  ") + to + QStringLiteral(" "));
    SMTPSession session(smtp.get(), {first, second});
    ASSERT_TRUE(session.run());
    EXPECT_EQ(session.events,
              (QStringList{QStringLiteral("loggedIn"), QStringLiteral("status Message sent OK"),
                           QStringLiteral("sent ") + first.uid, QStringLiteral("status Message sent OK"),
                           QStringLiteral("sent ") + second.uid, QStringLiteral("closed")}));
    const auto got = SMTPServer::instance().messagesTo(to);
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got.at(0).connection, got.at(1).connection);
}

TEST(SMTPConnection, PortZeroMeansTheStandardPort) {
    auto &server = SMTPServer::instance();
    if (!server.standardPorts())
        GTEST_SKIP() << "ports 25 and 465 need root";
    for (const bool tls : {false, true}) {
        SCOPED_TRACE(tls ? "TLS" : "plain");
        SMTPSocket smtp;
        smtp.setup(tls ? SOSSLSocket::SSLv23 : SOSSLSocket::NoSSL, server.host(), 0, SMTPServer::user(),
                   SMTPServer::password(), true);
        const Outgoing m = message(freshRecipient());
        SMTPSession session(&smtp, {m});
        ASSERT_TRUE(session.run());
        EXPECT_EQ(session.endings, QStringList{QStringLiteral("closed")});
        const auto got = server.messagesTo(m.to);
        ASSERT_EQ(got.size(), 1);
        EXPECT_EQ(got.first().port, tls ? 465 : 25);
        EXPECT_EQ(got.first().tls, tls);
    }
}

TEST(SMTPErrors, RefusedRecipientNamesTheCommandAndStaysTheOnlyError) {
    auto smtp = client(SMTPServer::Plain, false);
    SMTPSession session(smtp.get(), {message(SMTPServer::refusedRecipient())});
    ASSERT_TRUE(session.run());
    const QString expected = QStringLiteral("5.1.1 Mailbox refused\nRCPT TO: <refused@example.org>");
    EXPECT_EQ(session.endings, QStringList{QStringLiteral("error: ") + expected});
    // A second error changes nothing: neither the text nor the count of reports.
    smtp->sendMessage(QStringLiteral("a@example.org"), QStringLiteral("b@example.org"), QStringLiteral("x"),
                      QStringLiteral("late"));
    smtp->closeSocket(true);
    SMTPSession::settle(200);
    EXPECT_EQ(smtp->error(), expected);
    EXPECT_EQ(session.endings.size(), 1);
    EXPECT_EQ(smtp->state(), SMTPSocket::State::Failed);
}

// Transcript files of this process's address, by name.
QStringList transcripts() {
    const QString prefix = QStringLiteral("smtpLog.") + SMTPServer::instance().host() + QLatin1Char('.');
    return QDir(QStringLiteral("/tmp")).entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::System);
}

void removeTranscripts() {
    for (const QString &name : transcripts())
        QFile::remove(QStringLiteral("/tmp/") + name);
}

TEST(SMTPTranscript, PrivateFileWithoutCredentialsAndNoPlantedLinkFollowed) {
    auto &server = SMTPServer::instance();
    removeTranscripts();
    qputenv("VL_SMTP_LOG", "1");
    struct Unset {
        ~Unset() {
            qunsetenv("VL_SMTP_LOG");
            removeTranscripts();
        }
    } unset;

    // LOGIN and PLAIN put the password's base64 form on the line; neither may reach the file.
    for (const SMTPServer::Listener l : {SMTPServer::LoginOnly, SMTPServer::PlainOnly}) {
        removeTranscripts();
        auto smtp = client(l, false);
        SMTPSession session(smtp.get(), {message(freshRecipient())});
        ASSERT_TRUE(session.run());
        ASSERT_EQ(session.endings, QStringList{QStringLiteral("closed")});
        smtp.reset();
        const QStringList files = transcripts();
        ASSERT_EQ(files.size(), 1);
        const QString path = QStringLiteral("/tmp/") + files.first();
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0600u);
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray text = f.readAll();
        const QByteArray pw = SMTPServer::password().toLatin1();
        EXPECT_TRUE(text.contains("[credentials hidden]\r\n"));
        EXPECT_TRUE(text.contains("MAIL FROM: <sender@example.org>\r\n"));
        EXPECT_TRUE(text.contains("250 2.0.0 Message accepted\n"));
        EXPECT_FALSE(text.contains(pw));
        EXPECT_FALSE(text.contains(pw.toBase64()));
        const QByteArray plain = '\0' + SMTPServer::user().toLatin1() + '\0' + pw;
        EXPECT_FALSE(text.contains(plain.toBase64()));
    }

    // The next connection's name is taken by a link to a file of ours: the link stays and the
    // file is untouched.
    const QString last = transcripts().first();
    const int seq = last.mid(last.lastIndexOf(QLatin1Char('.')) + 1).toInt();
    const QString planted = QStringLiteral("/tmp/smtpLog.%1.%2").arg(server.host()).arg(seq + 1);
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target"));
    {
        QFile t(target);
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write("untouched");
    }
    ASSERT_TRUE(QFile::link(target, planted));
    auto smtp = client(SMTPServer::Plain, false);
    SMTPSession session(smtp.get(), {message(freshRecipient())});
    ASSERT_TRUE(session.run());
    EXPECT_EQ(session.endings, QStringList{QStringLiteral("closed")});
    smtp.reset();
    EXPECT_TRUE(QFileInfo(planted).isSymLink());
    QFile t(target);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll(), QByteArray("untouched"));
    QFile::remove(planted);
}

} // namespace
