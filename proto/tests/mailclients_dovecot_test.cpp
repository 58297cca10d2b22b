// The POP3 and IMAP4 clients against a real Dovecot on this process's own loopback address,
// plain and over TLS: listing with the server's own uids, fetching, the line and byte limits,
// deleting, refused logins, empty and large mailboxes, secure logins and cut sessions.

#include "IMAP4Socket.h"
#include "MailSession.h"
#include "POP3Socket.h"

#include "DovecotServer.h"
#include "TestCA.h"
#include "TestNames.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace Qt::StringLiterals;
using vltest::DovecotServer;

enum class Protocol { POP3, IMAP4 };

struct Account {
    QString user;
    QString password;
};

// A user of its own for every test: a binary run whole shares one server.
Account freshUser(const QString &password = QStringLiteral("secret-pw")) {
    static int serial = 0;
    Account a{QStringLiteral("user%1").arg(++serial), password};
    DovecotServer::instance().addUser(a.user, a.password);
    return a;
}

std::unique_ptr<MailSocket> makeClient(Protocol p, bool ssl, const Account &a, int port = -1,
                                       bool secure = false) {
    auto &server = DovecotServer::instance();
    const SOSSLSocket::SSLType type = ssl ? SOSSLSocket::SSLv23 : SOSSLSocket::NoSSL;
    if (p == Protocol::POP3) {
        auto c = std::make_unique<POP3Socket>();
        c->setup(type, server.host(),
                 port >= 0 ? port
                 : ssl     ? server.pop3sPort()
                           : server.pop3Port(),
                 a.user, a.password, 150);
        c->setSecureLogin(secure);
        return c;
    }
    auto c = std::make_unique<IMAP4Socket>();
    c->setup(type, server.host(),
             port >= 0 ? port
             : ssl     ? server.imapsPort()
                       : server.imapPort(),
             a.user, a.password, 150);
    c->setSecureLogin(secure);
    return c;
}

QByteArray message(const QByteArray &subject, const QByteArray &body) {
    return "From: Sender <sender@example.org>\r\nTo: alice@example.org\r\nSubject: " + subject +
           "\r\nMessage-ID: <" + subject + "@example.org>\r\n\r\n" + body;
}

QByteArray numberedLines(int count) {
    QByteArray body;
    for (int i = 1; i <= count; ++i)
        body += "Body line " + QByteArray::number(i) + "\r\n";
    return body;
}

// Message files in the order they were written, and the uids the server gave them.
struct ServerUids {
    quint32 validity = 0;
    QList<quint32> uids; // in the order of the files
};

ServerUids readUidList(const QString &maildir, const QStringList &files) {
    ServerUids out;
    QFile f(maildir + QStringLiteral("/dovecot-uidlist"));
    if (!f.open(QIODevice::ReadOnly))
        return out;
    QHash<QString, quint32> byName;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (const QByteArray &head : lines.first().split(' ')) {
        if (head.startsWith('V'))
            out.validity = head.mid(1).toUInt();
    }
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].lastIndexOf(':');
        if (colon < 0)
            continue;
        const QString base = QString::fromLatin1(lines[i].mid(colon + 1)).section(u':', 0, 0);
        byName.insert(base, lines[i].split(' ').first().toUInt());
    }
    for (const QString &file : files)
        out.uids.append(byName.value(file));
    return out;
}

QStringList filesInOrder(const QString &maildir) {
    QStringList names = QDir(maildir + QStringLiteral("/new")).entryList(QDir::Files) +
                        QDir(maildir + QStringLiteral("/cur")).entryList(QDir::Files);
    for (QString &n : names)
        n = n.section(u':', 0, 0);
    names.sort();
    return names;
}

QString expectedUid(Protocol p, const ServerUids &s, int i) {
    if (p == Protocol::IMAP4)
        return QString::number(s.uids.at(i));
    return QStringLiteral("%1%2")
        .arg(s.uids.at(i), 8, 16, QLatin1Char('0'))
        .arg(s.validity, 8, 16, QLatin1Char('0'));
}

int bodyLines(const QByteArray &raw) {
    const qsizetype start = raw.indexOf("\r\n\r\n");
    return start < 0 ? 0 : int(raw.mid(start + 4).count("\r\n"));
}

struct LinkCase {
    std::string name;
    Protocol protocol;
    bool ssl;
};

void PrintTo(const LinkCase &c, std::ostream *os) {
    *os << c.name;
}

std::vector<LinkCase> allLinks() {
    return {{"POP3 plain", Protocol::POP3, false},
            {"POP3 TLS", Protocol::POP3, true},
            {"IMAP4 plain", Protocol::IMAP4, false},
            {"IMAP4 TLS", Protocol::IMAP4, true}};
}

class POP3IMAP4Dovecot : public ::testing::TestWithParam<LinkCase> {
protected:
    void SetUp() override {
        SOSSLSocket::setTimeoutScale(1);
        vltest::TestCA::instance();
    }
};

TEST_P(POP3IMAP4Dovecot, ListsFetchesWithinTheLimitsAndDeletesOnGoodbye) {
    const LinkCase &c = GetParam();
    auto &server = DovecotServer::instance();
    const Account a = freshUser();
    const QList<QByteArray> files{
        message("plain", "hello\r\n"),
        message("long", numberedLines(250)),
        message("dots", ".\r\n.leading\r\nbare\rCR inside\r\n"),
        message("big", QByteArray(9000, 'x') + "\r\n"),
    };
    vltest::fillMaildir(server.maildir(a.user), files);

    auto client = makeClient(c.protocol, c.ssl, a);
    MailSession download(client.get(), MailSession::Download);
    ASSERT_TRUE(download.run());
    EXPECT_EQ(download.endings, QStringList{QStringLiteral("closed")})
        << download.events.join(u'|').toStdString();
    const ServerUids uids = readUidList(server.maildir(a.user), filesInOrder(server.maildir(a.user)));
    ASSERT_EQ(uids.uids.size(), 4);
    ASSERT_EQ(download.messages.size(), 4);
    EXPECT_EQ(download.downloaded, 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(download.messages[i].uid, expectedUid(c.protocol, uids, i)) << i;
        // The server's size of the whole message, also where less of it was fetched.
        EXPECT_EQ(download.messages[i].listedSize, files[i].size()) << i;
    }
    EXPECT_EQ(download.messages[0].raw, files[0]);
    EXPECT_EQ(download.messages[0].subject, QStringLiteral("plain"));
    if (c.protocol == Protocol::POP3) {
        EXPECT_EQ(bodyLines(download.messages[1].raw), 200); // asked for 150: raised to 200
        EXPECT_EQ(download.messages[2].raw, files[2]);       // the stuffed "." comes back as "."
        EXPECT_EQ(download.messages[3].raw, files[3]);
    } else {
        EXPECT_EQ(download.messages[1].raw, files[1].left(IMAP4Socket::kFetchBytes));
        EXPECT_EQ(download.messages[2].raw, files[2]);
        EXPECT_EQ(download.messages[3].raw.size(), IMAP4Socket::kFetchBytes);
        EXPECT_EQ(download.messages[3].raw, files[3].left(IMAP4Socket::kFetchBytes));
    }

    auto deleter = makeClient(c.protocol, c.ssl, a);
    MailSession del(deleter.get(), MailSession::Delete, {download.messages[0].uid, download.messages[2].uid});
    ASSERT_TRUE(del.run());
    EXPECT_EQ(del.endings, QStringList{QStringLiteral("closed")}) << del.events.join(u'|').toStdString();
    EXPECT_EQ(server.messageFiles(a.user), 2);
    const QStringList left = filesInOrder(server.maildir(a.user));
    ASSERT_EQ(left.size(), 2);
}

TEST_P(POP3IMAP4Dovecot, AWrongPasswordIsOnlyAnAuthenticationError) {
    const LinkCase &c = GetParam();
    Account a = freshUser();
    a.password = QStringLiteral("wrong");
    auto client = makeClient(c.protocol, c.ssl, a);
    MailSession s(client.get(), MailSession::Download);
    ASSERT_TRUE(s.run());
    QTest::qWait(100);
    ASSERT_EQ(s.endings.size(), 1) << s.events.join(u'|').toStdString();
    EXPECT_TRUE(s.endings[0].startsWith(QStringLiteral("auth: "))) << s.endings[0].toStdString();
    // The server's own line is the text.
    if (c.protocol == Protocol::POP3)
        EXPECT_TRUE(client->error().startsWith(QStringLiteral("-ERR"))) << client->error().toStdString();
    else
        EXPECT_TRUE(client->error().contains(QStringLiteral(" NO "))) << client->error().toStdString();
}

TEST_P(POP3IMAP4Dovecot, AnEmptyMailboxEndsTheFetchWithoutAskingForMessages) {
    const LinkCase &c = GetParam();
    const Account a = freshUser();
    auto client = makeClient(c.protocol, c.ssl, a);
    MailSession s(client.get(), MailSession::Download);
    ASSERT_TRUE(s.run());
    EXPECT_EQ(s.events, (QStringList{QStringLiteral("loggedIn"), QStringLiteral("list 0"),
                                     QStringLiteral("data"), QStringLiteral("closed")}));
    EXPECT_EQ(s.downloaded, 0);
}

TEST_P(POP3IMAP4Dovecot, ACutSessionFailsAtOnceAndLosesNothing) {
    const LinkCase &c = GetParam();
    auto &server = DovecotServer::instance();
    const Account a = freshUser();
    QList<QByteArray> files;
    for (int i = 0; i < 300; ++i)
        files.append(message("cut" + QByteArray::number(i), numberedLines(20)));
    vltest::fillMaildir(server.maildir(a.user), files);
    auto client = makeClient(c.protocol, c.ssl, a);
    MailSession s(client.get(), MailSession::Download);
    QElapsedTimer sinceCut;
    s.onDownloaded = [&](int number) {
        if (number == 100) {
            sinceCut.start();
            server.cutSessions();
        }
    };
    ASSERT_TRUE(s.run());
    QTest::qWait(200);
    ASSERT_EQ(s.endings.size(), 1) << s.events.join(u'|').toStdString();
    EXPECT_TRUE(s.endings[0].startsWith(QStringLiteral("error: "))) << s.endings[0].toStdString();
    // Seen as soon as the connection drops, far inside the 30 s line timeout (the bound
    // leaves room for a loaded machine).
    EXPECT_LT(sinceCut.elapsed() - s.sinceEnd.elapsed(), 5000);
    EXPECT_LT(s.messages.size(), 300);

    server.restart();
    auto again = makeClient(c.protocol, c.ssl, a);
    MailSession s2(again.get(), MailSession::Download);
    ASSERT_TRUE(s2.run());
    EXPECT_EQ(s2.endings, QStringList{QStringLiteral("closed")}) << s2.events.join(u'|').toStdString();
    EXPECT_EQ(s2.messages.size(), 300);
    EXPECT_EQ(server.messageFiles(a.user), 300);
}

TEST_P(POP3IMAP4Dovecot, ChosenMessagesComeWholeByteForByteAndShortOnesAreWholeWhenListed) {
    const LinkCase &c = GetParam();
    auto &server = DovecotServer::instance();
    const Account a = freshUser();
    const bool pop3 = c.protocol == Protocol::POP3;
    // A line longer than the socket's buffer, and a "." line and a stuffed one after it.
    const QByteArray longLine = QByteArray(100000, 'L') + "\r\n.\r\n..two\r\n";
    struct Row {
        QByteArray subject;
        QByteArray body;
        bool listedWhole; // what a listing shows is the whole message
    };
    const QList<Row> rows{
        {"short", "hello\r\n", true},
        {"lines199", numberedLines(199), true},
        // As many body lines as TOP asks for: whether more follow cannot be told.
        {"lines200", numberedLines(200), !pop3},
        {"lines250", numberedLines(250), !pop3},
        {"bytes9000", QByteArray(9000, 'x') + "\r\n", pop3},
        {"longline", longLine, pop3},
        {"large", numberedLines(20000), false},
    };
    QList<QByteArray> files;
    for (const Row &r : rows)
        files << message(r.subject, r.body);
    vltest::fillMaildir(server.maildir(a.user), files);

    auto client = makeClient(c.protocol, c.ssl, a);
    MailSession download(client.get(), MailSession::Download);
    ASSERT_TRUE(download.run());
    ASSERT_EQ(download.messages.size(), rows.size());
    QStringList uids;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(download.messages[i].complete, rows[i].listedWhole) << rows[i].subject.constData();
        if (rows[i].listedWhole) {
            EXPECT_EQ(download.messages[i].raw, files[i]) << rows[i].subject.constData();
        }
        uids << download.messages[i].uid;
    }

    // Every message fetched whole, and one the server does not list; those that came go.
    auto deleter = makeClient(c.protocol, c.ssl, a);
    MailSession del(deleter.get(), MailSession::DeleteWhole,
                    uids + QStringList{QStringLiteral("no-such-uid")});
    ASSERT_TRUE(del.run());
    EXPECT_EQ(del.endings, QStringList{QStringLiteral("closed")}) << del.events.join(u'|').toStdString();
    EXPECT_TRUE(del.events.contains(QStringLiteral("unsaved no-such-uid: The message is not on the server")))
        << del.events.join(u'|').toStdString();
    ASSERT_EQ(del.whole.size(), rows.size());
    for (qsizetype i = 0; i < rows.size(); ++i)
        EXPECT_EQ(del.whole.value(uids[i]), files[i]) << rows[i].subject.constData();
    EXPECT_EQ(server.messageFiles(a.user), 0);
}

INSTANTIATE_TEST_SUITE_P(Links, POP3IMAP4Dovecot, ::testing::ValuesIn(allLinks()), vltest::RowName());

// ---------------------------------------------------------------- IMAP expunge

// Which messages a maildir holds, by subject, with "(deleted)" after one flagged deleted.
QStringList heldWithFlags(const QString &maildir) {
    QStringList out;
    for (const vltest::MaildirFile &file : vltest::maildirFiles(maildir)) {
        const bool deleted =
            file.name.section(u':', 1).startsWith(u"2,") && file.name.section(u',', -1).contains(u'T');
        out << (deleted ? file.subject + QStringLiteral(" (deleted)") : file.subject);
    }
    out.sort();
    return out;
}

TEST(IMAP4DovecotExpunge, OnlyWhatThisSessionFlaggedGoes) {
    struct Row {
        const char *name;
        const char *settings; // the user's own server settings
        bool uidPlus;
        QStringList after; // what the mailbox holds afterwards
    };
    const Row rows[] = {
        // UID EXPUNGE leaves the other session's flag for whoever set it.
        {"with UIDPLUS", "", true, {u"B"_s, u"F (deleted)"_s}},
        // CLOSE would take F too: its flag comes off first.
        {"without UIDPLUS", "userdb_imap_capability=IMAP4rev1", false, {u"B"_s, u"F"_s}},
    };
    auto &server = DovecotServer::instance();
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        static int serial = 0;
        const Account a{QStringLiteral("expunge%1").arg(++serial), QStringLiteral("expunge-pw")};
        server.addUser(a.user, a.password, QLatin1String(r.settings));
        vltest::fillMaildir(server.maildir(a.user), {message("A", "a\r\n"), message("B", "b\r\n")});
        // Flagged deleted by a session that ended before it removed them.
        vltest::fillMaildir(server.maildir(a.user), {message("F", "f\r\n"), message("G", "g\r\n")},
                            QStringLiteral("T"));

        auto client = makeClient(Protocol::IMAP4, false, a);
        MailSession download(client.get(), MailSession::Download);
        ASSERT_TRUE(download.run());
        ASSERT_EQ(download.messages.size(), 4);
        EXPECT_EQ(static_cast<IMAP4Socket *>(client.get())->hasUidPlus(), r.uidPlus);
        QHash<QString, QString> uidOf;
        for (const DataEmailMessage &m : download.messages) {
            uidOf.insert(m.subject, m.uid);
            // Marked for the user only where the end of a session would take every one.
            const bool flagged = m.subject == u"F"_s || m.subject == u"G"_s;
            EXPECT_EQ(m.flaggedDeleted, flagged && !r.uidPlus) << m.subject.toStdString();
        }

        // A goes, and G, which the user left marked; F is kept.
        auto deleter = makeClient(Protocol::IMAP4, false, a);
        MailSession del(deleter.get(), MailSession::Delete, {uidOf.value(u"A"_s), uidOf.value(u"G"_s)});
        ASSERT_TRUE(del.run());
        EXPECT_EQ(del.endings, QStringList{QStringLiteral("closed")}) << del.events.join(u'|').toStdString();
        EXPECT_EQ(heldWithFlags(server.maildir(a.user)), r.after);
    }
}

// ---------------------------------------------------------------- logins and sizes

TEST(POP3IMAP4DovecotLogin, SecureLoginsAndAwkwardPasswordsGetIn) {
    struct Row {
        const char *name;
        Protocol protocol;
        bool secure;
        QString password;
    };
    const Row rows[] = {
        {"POP3 APOP", Protocol::POP3, true, QStringLiteral("apop-secret")},
        {"IMAP4 CRAM-MD5", Protocol::IMAP4, true, QStringLiteral("cram-secret")},
        {"IMAP4 quote and backslash", Protocol::IMAP4, false, QStringLiteral("pa\"ss\\word")},
        {"IMAP4 8-bit password as literal", Protocol::IMAP4, false, QStringLiteral("p\u00e4ss")},
        {"POP3 quote and backslash", Protocol::POP3, false, QStringLiteral("pa\"ss\\word")},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.name);
        const Account a = freshUser(r.password);
        auto client = makeClient(r.protocol, false, a, -1, r.secure);
        MailSession s(client.get(), MailSession::Download);
        ASSERT_TRUE(s.run());
        EXPECT_EQ(s.endings, QStringList{QStringLiteral("closed")}) << s.events.join(u'|').toStdString();
    }
}

TEST(POP3IMAP4DovecotLogin, EverySSLTypeConnectsAndPortZeroFindsTheSSLPort) {
    const Account a = freshUser();
    auto &server = DovecotServer::instance();
    for (Protocol p : {Protocol::POP3, Protocol::IMAP4}) {
        for (int type = 1; type <= 4; ++type) {
            SCOPED_TRACE(type);
            std::unique_ptr<MailSocket> client;
            if (p == Protocol::POP3) {
                auto c = std::make_unique<POP3Socket>();
                c->setup(SOSSLSocket::SSLType(type), server.host(), server.pop3sPort(), a.user, a.password,
                         200);
                client = std::move(c);
            } else {
                auto c = std::make_unique<IMAP4Socket>();
                c->setup(SOSSLSocket::SSLType(type), server.host(), server.imapsPort(), a.user, a.password,
                         200);
                client = std::move(c);
            }
            MailSession s(client.get(), MailSession::Download);
            ASSERT_TRUE(s.run());
            EXPECT_EQ(s.endings, QStringList{QStringLiteral("closed")}) << s.events.join(u'|').toStdString();
        }
        if (!server.standardPorts())
            continue; // port 0 means 995/993, which only root may serve
        auto client = makeClient(p, true, a, 0);
        MailSession s(client.get(), MailSession::Download);
        ASSERT_TRUE(s.run());
        EXPECT_EQ(s.endings, QStringList{QStringLiteral("closed")}) << s.events.join(u'|').toStdString();
    }
}

TEST(POP3IMAP4DovecotSize, ThreeThousandMessagesEachOnce) {
    auto &server = DovecotServer::instance();
    const Account a = freshUser();
    QList<QByteArray> files;
    for (int i = 0; i < 3000; ++i)
        files.append(message("n" + QByteArray::number(i), "short\r\n"));
    vltest::fillMaildir(server.maildir(a.user), files);
    for (Protocol p : {Protocol::POP3, Protocol::IMAP4}) {
        auto client = makeClient(p, false, a);
        MailSession s(client.get(), MailSession::Download);
        ASSERT_TRUE(s.run(240000));
        EXPECT_EQ(s.endings, QStringList{QStringLiteral("closed")});
        ASSERT_EQ(s.messages.size(), 3000);
        QSet<QString> uids;
        for (int i = 0; i < 3000; ++i) {
            uids.insert(s.messages[i].uid);
            EXPECT_EQ(s.messages[i].subject, QStringLiteral("n%1").arg(i));
        }
        EXPECT_EQ(uids.size(), 3000);
    }
}

} // namespace
