// The POP3 and IMAP4 clients against a scripted peer, for what a real server will not do on
// demand: odd but legal answers, broken and hostile servers, slow and silent ones. Each row
// plays one dialogue file and checks the signals in order and what the client sent.

#include "IMAP4Socket.h"
#include "MailSession.h"
#include "POP3Socket.h"

#include "ScriptedPeer.h"
#include "TestNames.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>
#include <string_view>

using namespace Qt::Literals::StringLiterals;

namespace {

enum class Protocol { POP3, IMAP4 };

struct Session {
    MailSession::Mode mode;
    QStringList ids;                    // to delete
    QStringList events;                 // signals in order
    QStringList subjects{};             // of the fetched messages, when checked
    QList<qint64> sizes{};              // listed with the unique ids (-1: none), when checked
    QHash<QString, QByteArray> whole{}; // the texts fetched whole, by uid, when checked
};

struct PeerCase {
    std::string name;
    Protocol protocol;
    const char *dialogue;
    QList<Session> runs;
    bool secure = false;
    QString user = QStringLiteral("user");
    QString password = QStringLiteral("secret");
    QStringList neverSent{}; // commands that must not reach the server
};

void PrintTo(const PeerCase &c, std::ostream *os) {
    *os << c.name;
}

const QString kClosed = QStringLiteral("closed");

QString err(const char *text) {
    return QStringLiteral("error: ") + QLatin1String(text);
}

std::vector<PeerCase> cases() {
    using M = MailSession;
    return {
        {"POP3 three-piece UIDL line then DELE of a later uid",
         Protocol::POP3,
         "pop3_uidl_three_pieces",
         {{M::Delete,
           {QStringLiteral("uid-c")},
           {u"loggedIn"_s, u"list 2"_s, u"deleted uid-c"_s, u"closed"_s},
           {},
           {1000, -1}}}},
        {"POP3 APOP digest of the time stamp",
         Protocol::POP3,
         "pop3_apop",
         {{M::Download, {}, {u"loggedIn"_s, u"list 0"_s, u"data"_s, u"closed"_s}}},
         true,
         QStringLiteral("user"),
         QStringLiteral("tanstaaf"),
         {QStringLiteral("USER*"), QStringLiteral("PASS*")}},
        {"POP3 secure login without a time stamp sends nothing",
         Protocol::POP3,
         "pop3_no_apop_stamp",
         {{M::Download, {}, {u"auth: Host does not support APOP authentiation"_s}}},
         true,
         QStringLiteral("user"),
         QStringLiteral("secret"),
         {QStringLiteral("*")}},
        {"POP3 drop in the middle of a message",
         Protocol::POP3,
         "pop3_drop_mid_reply",
         {{M::Download, {}, {u"loggedIn"_s, u"list 2"_s, err("Connection closed by host")}}}},
        {"POP3 garbage greeting",
         Protocol::POP3,
         "pop3_garbage_greeting",
         {{M::Download, {}, {QStringLiteral("error: ???GARBAGE")}}}},
        {"POP3 stalled server",
         Protocol::POP3,
         "pop3_stalled",
         {{M::Download, {}, {err("Timeout communicating with POP3 mail server")}}}},
        {"POP3 slow server byte by byte",
         Protocol::POP3,
         "pop3_slow",
         {{M::Download,
           {},
           {u"loggedIn"_s, u"list 1"_s, u"data"_s, u"closed"_s},
           {QStringLiteral("slow")},
           {4242}}}},
        {"POP3 TOP commands go out ahead of their answers when the server pipelines",
         Protocol::POP3,
         "pop3_pipelined",
         {{M::Download,
           {},
           {u"loggedIn"_s, u"list 3"_s, u"data"_s, u"closed"_s},
           {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")},
           {100, 200, 300}}}},
        {"POP3 a server that refuses LIST still has its messages fetched, without sizes",
         Protocol::POP3,
         "pop3_list_refused",
         {{M::Download,
           {},
           {u"loggedIn"_s, u"list 1"_s, u"data"_s, u"closed"_s},
           {QStringLiteral("one")},
           {-1}}}},
        {"POP3 empty line for a greeting",
         Protocol::POP3,
         "pop3_empty_greeting",
         {{M::Download, {}, {err("Server sent an empty line")}}}},
        {"POP3 line while idle",
         Protocol::POP3,
         "pop3_idle_line",
         {{M::LoginOnly, {}, {u"loggedIn"_s, err("Internal POP3 error: unknown state: 4")}}}},
        {"POP3 delete of an id not listed",
         Protocol::POP3,
         "pop3_dele_not_listed",
         {{M::Delete,
           {QStringLiteral("gone")},
           {u"loggedIn"_s, u"list 1"_s, u"deleted gone"_s, u"closed"_s}}}},
        {"IMAP4 news before completions, SIZE before UID, completion-only fetch",
         Protocol::IMAP4,
         "imap_news_and_skips",
         {{M::Download,
           {},
           {u"loggedIn"_s, u"list 2"_s, u"data"_s, u"closed"_s},
           {QStringLiteral("two")},
           {100, -1}}}},
        {"IMAP4 pipelined fetches answered out of order keep their texts and order",
         Protocol::IMAP4,
         "imap_pipelined_out_of_order",
         {{M::Download,
           {},
           {u"loggedIn"_s, u"list 3"_s, u"data"_s, u"closed"_s},
           {QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three")}}}},
        {"IMAP4 oversized literal",
         Protocol::IMAP4,
         "imap_oversized_literal",
         {{M::Download, {}, {u"loggedIn"_s, u"list 1"_s, u"data"_s, u"closed"_s}, {QStringLiteral("big")}}}},
        {"IMAP4 NO after the data",
         Protocol::IMAP4,
         "imap_no_after_data",
         {{M::Download, {}, {u"loggedIn"_s, u"list 2"_s, err("00000004 NO [SERVERBUG] Internal error")}}}},
        {"IMAP4 UIDVALIDITY changed before a delete",
         Protocol::IMAP4,
         "imap_uidvalidity_changed",
         {{M::Download, {}, {u"loggedIn"_s, u"list 2"_s, u"data"_s, u"closed"_s}},
          {M::Delete,
           {QStringLiteral("3")},
           {u"loggedIn"_s, u"list 2"_s, err("IMAP mailbox changed since it was listed")}}},
         false,
         QStringLiteral("user"),
         QStringLiteral("secret"),
         {QStringLiteral("* STORE *")}},
        {"IMAP4 drop inside a literal",
         Protocol::IMAP4,
         "imap_drop_mid_literal",
         {{M::Download, {}, {u"loggedIn"_s, u"list 1"_s, err("Connection closed by host")}}}},
        {"IMAP4 garbage greeting",
         Protocol::IMAP4,
         "imap_garbage_greeting",
         {{M::Download, {}, {QStringLiteral("error: ???* garbage")}}}},
        {"IMAP4 stalled server",
         Protocol::IMAP4,
         "imap_stalled",
         {{M::Download, {}, {err("Timeout communicating with IMAP mail server")}}}},
        {"IMAP4 quote and backslash in the credentials",
         Protocol::IMAP4,
         "imap_quoted_login",
         {{M::Download, {}, {u"loggedIn"_s, u"list 0"_s, u"data"_s, u"closed"_s}}},
         false,
         QStringLiteral("us\"er"),
         QStringLiteral("se\\cr\"et")},
        {"IMAP4 a completion with a tag no fetch carries ends no fetch",
         Protocol::IMAP4,
         "imap_unknown_tag_fetch",
         {{M::Download,
           {},
           {u"loggedIn"_s, u"list 2"_s,
            err("Unexpected answer from IMAP server: 00000099 OK Fetch completed")}}}},
        {"IMAP4 a stale tag confirms no deletion",
         Protocol::IMAP4,
         "imap_stale_tag_store",
         {{M::Delete,
           {QStringLiteral("4")},
           {u"loggedIn"_s, u"list 2"_s, err("Unexpected answer from IMAP server: 00000003 OK done")}}},
         false,
         QStringLiteral("user"),
         QStringLiteral("secret"),
         {QStringLiteral("* CLOSE *")}},
        {"IMAP4 empty line for an answer",
         Protocol::IMAP4,
         "imap_empty_line",
         {{M::Delete,
           {QStringLiteral("4")},
           {u"loggedIn"_s, u"list 2"_s, err("Server sent an empty line")}}}},
        {"IMAP4 delete flags by uid and CLOSE ends",
         Protocol::IMAP4,
         "imap_delete_and_close",
         {{M::Delete, {QStringLiteral("4")}, {u"loggedIn"_s, u"list 2"_s, u"deleted 4"_s, u"closed"_s}}}},
        {"POP3 a message refused whole stays, the other comes whole and goes",
         Protocol::POP3,
         "pop3_retr_refused",
         {{M::DeleteWhole,
           {u"uid-a"_s, u"uid-b"_s},
           {u"loggedIn"_s, u"list 2"_s, u"unsaved uid-a: -ERR [IN-USE] message locked"_s, u"whole uid-b"_s,
            u"wholeDone"_s, u"deleted uid-b"_s, u"closed"_s},
           {},
           {},
           {{u"uid-b"_s, "Subject: two\r\n\r\n.dotted\r\n.\r\nlast\r\n"}}}}},
        {"IMAP4 with UIDPLUS a message refused whole stays and UID EXPUNGE takes only the one deleted",
         Protocol::IMAP4,
         "imap_whole_uidplus",
         {{M::DeleteWhole,
           {u"3"_s, u"4"_s},
           {u"loggedIn"_s, u"list 3"_s, u"unsaved 3: 00000004 NO [UNAVAILABLE] Message gone astray"_s,
            u"whole 4"_s, u"wholeDone"_s, u"deleted 4"_s, u"closed"_s},
           {},
           {},
           {{u"4"_s, "Subject: four\r\n\r\nfull body\r\n.\r\nend\r\n"}}}},
         false,
         QStringLiteral("user"),
         QStringLiteral("secret"),
         {QStringLiteral("* CLOSE *")}},
        {"IMAP4 without UIDPLUS the flag another session left comes off before CLOSE",
         Protocol::IMAP4,
         "imap_no_uidplus_unflag",
         {{M::Delete,
           {u"3"_s, u"5"_s},
           {u"loggedIn"_s, u"list 3"_s, u"deleted 3"_s, u"deleted 5"_s, u"closed"_s}}},
         false,
         QStringLiteral("user"),
         QStringLiteral("secret"),
         {QStringLiteral("* EXPUNGE *")}},
        // Counts and listings past what a server could soundly send end with one error;
        // nothing is set aside for a count, and no count reads as an empty mailbox.
        {"IMAP4 a huge EXISTS lists what arrives",
         Protocol::IMAP4,
         "imap_exists_huge",
         {{M::Download, {}, {u"loggedIn"_s, u"list 2"_s, u"data"_s, u"closed"_s}}}},
        {"IMAP4 EXISTS of 10^20",
         Protocol::IMAP4,
         "imap_exists_beyond_int",
         {{M::Download, {}, {err("Server sent too much data")}}},
         false,
         u"user"_s,
         u"secret"_s,
         {u"* FETCH *"_s}},
        {"IMAP4 EXISTS one past the largest int",
         Protocol::IMAP4,
         "imap_exists_past_int",
         {{M::Download, {}, {err("Server sent too much data")}}},
         false,
         u"user"_s,
         u"secret"_s,
         {u"* FETCH *"_s}},
        {"IMAP4 a listing longer than EXISTS",
         Protocol::IMAP4,
         "imap_listing_past_exists",
         {{M::Download, {}, {u"loggedIn"_s, err("Server sent too much data")}}},
         false,
         u"user"_s,
         u"secret"_s,
         {u"* UID FETCH *"_s}},
        {"POP3 LIST longer than UIDL",
         Protocol::POP3,
         "pop3_list_past_uidl",
         {{M::Download, {}, {u"loggedIn"_s, err("Server sent too much data")}}},
         false,
         u"user"_s,
         u"secret"_s,
         {u"TOP*"_s}},
        {"POP3 UIDL message number past any int",
         Protocol::POP3,
         "pop3_uidl_number_past_int",
         {{M::Download, {}, {u"loggedIn"_s, err("Server sent too much data")}}},
         false,
         u"user"_s,
         u"secret"_s,
         {u"LIST"_s}},
        {"POP3 endless UIDL stops at the most a listing holds",
         Protocol::POP3,
         "pop3_uidl_endless",
         {{M::Download, {}, {u"loggedIn"_s, err("Server sent too much data")}}}},
        // A secure login the server does not offer is refused with a reason, and the
        // password never goes out.
        {"IMAP4 greeting without CRAM-MD5",
         Protocol::IMAP4,
         "imap_cram_not_offered",
         {{M::Download, {}, {u"auth: Host does not offer CRAM-MD5 authentication"_s}}},
         true,
         u"user"_s,
         u"secret"_s,
         {u"*"_s}},
        {"IMAP4 CRAM-MD5 refused with the server's text",
         Protocol::IMAP4,
         "imap_cram_refused",
         {{M::Download, {}, {u"auth: 00000001 NO [CANNOT] Unsupported authentication mechanism"_s}}},
         true,
         u"user"_s,
         u"secret"_s,
         {u"* secret *"_s, u"* LOGIN *"_s}},
    };
}

class POP3IMAP4Peer : public ::testing::TestWithParam<PeerCase> {
protected:
    // Waits of 30 s become 300 ms in the rows about waiting (stalled and slow servers) and 3 s
    // elsewhere, so that a loaded machine times no other row out.
    void SetUp() override {
        const std::string_view dialogue = GetParam().dialogue;
        const bool aboutWaiting = dialogue.find("stalled") != std::string_view::npos ||
                                  dialogue.find("slow") != std::string_view::npos;
        SOSSLSocket::setTimeoutScale(aboutWaiting ? 0.01 : 0.1);
    }
    void TearDown() override { SOSSLSocket::setTimeoutScale(1); }
};

std::unique_ptr<MailSocket> makeClient(const PeerCase &c, const vltest::ScriptedPeer &peer) {
    if (c.protocol == Protocol::POP3) {
        auto client = std::make_unique<POP3Socket>();
        client->setup(SOSSLSocket::NoSSL, peer.host(), peer.serverPort(), c.user, c.password, 200);
        client->setSecureLogin(c.secure);
        return client;
    }
    auto client = std::make_unique<IMAP4Socket>();
    client->setup(SOSSLSocket::NoSSL, peer.host(), peer.serverPort(), c.user, c.password, 200);
    client->setSecureLogin(c.secure);
    return client;
}

TEST_P(POP3IMAP4Peer, PlaysTheDialogue) {
    const PeerCase &c = GetParam();
    vltest::ScriptedPeer peer;
    peer.loadDialogue(QStringLiteral(VL_TEST_DATA_DIR "/dialogues/") + QLatin1String(c.dialogue) +
                      QStringLiteral(".txt"));
    ASSERT_TRUE(peer.start());
    for (const Session &run : c.runs) {
        auto client = makeClient(c, peer);
        MailSession s(client.get(), run.mode, run.ids);
        ASSERT_TRUE(s.run(20000)) << s.events.join(u'|').toStdString();
        // Exactly one ending, and nothing after it.
        QTest::qWait(50);
        EXPECT_EQ(s.events, run.events);
        EXPECT_EQ(s.endings.size(), 1);
        if (!run.subjects.isEmpty()) {
            QStringList subjects;
            for (const DataEmailMessage &m : s.messages)
                subjects.append(m.subject);
            EXPECT_EQ(subjects, run.subjects);
        }
        if (!run.sizes.isEmpty()) {
            // In the list and in every message handed on.
            QList<qint64> listed;
            QHash<QString, qint64> byUid;
            for (const DataEmailMessage &m : client->messageList()) {
                listed.append(m.listedSize);
                byUid.insert(m.uid, m.listedSize);
            }
            EXPECT_EQ(listed, run.sizes);
            for (const DataEmailMessage &m : s.messages)
                EXPECT_EQ(m.listedSize, byUid.value(m.uid, -2)) << m.uid.toStdString();
        }
        if (!run.whole.isEmpty()) {
            EXPECT_EQ(s.whole, run.whole);
        }
        client.reset();
    }
    EXPECT_TRUE(peer.mismatches().isEmpty()) << peer.mismatches().join(u'\n').toStdString();
    for (const QString &pattern : c.neverSent) {
        for (const QByteArray &line : peer.received()) {
            const QByteArray p = pattern.toLatin1();
            const bool hit = p == "*" || (p.startsWith("* ") ? line.contains(p.mid(2, p.size() - 4))
                                          : p.endsWith('*')  ? line.startsWith(p.chopped(1))
                                                             : line == p);
            EXPECT_FALSE(hit) << "sent: " << line.toStdString();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Dialogues, POP3IMAP4Peer, ::testing::ValuesIn(cases()), vltest::RowName());

// ---------------------------------------------------------------- bounded input

TEST(POP3IMAP4PeerLimits, AnEndlessGreetingEndsWithABoundedText) {
    SOSSLSocket::setTimeoutScale(0.01);
    for (Protocol p : {Protocol::POP3, Protocol::IMAP4}) {
        vltest::ScriptedPeer peer;
        peer.loadDialogue(QStringLiteral(VL_TEST_DATA_DIR "/dialogues/") +
                          (p == Protocol::POP3 ? QStringLiteral("pop3_endless_line.txt")
                                               : QStringLiteral("imap_endless_line.txt")));
        ASSERT_TRUE(peer.start());
        PeerCase c{"endless", p, "", {}};
        auto client = makeClient(c, peer);
        MailSession s(client.get(), MailSession::Download);
        ASSERT_TRUE(s.run(20000));
        ASSERT_EQ(s.endings.size(), 1);
        // POP3 chokes on the greeting; IMAP4 takes the first piece as the answer to LOGIN.
        const QString want =
            p == Protocol::POP3 ? QStringLiteral("error: endless-") : QStringLiteral("auth: endless-");
        EXPECT_TRUE(s.endings[0].startsWith(want)) << s.endings[0].left(80).toStdString();
        EXPECT_LE(client->error().size(), 1000);
    }
    SOSSLSocket::setTimeoutScale(1);
}

TEST(POP3IMAP4PeerLimits, RequestsDuringACommandAreRefused) {
    vltest::ScriptedPeer peer;
    peer.loadDialogue(QStringLiteral(VL_TEST_DATA_DIR "/dialogues/pop3_stalled.txt"));
    ASSERT_TRUE(peer.start());
    struct Row {
        const char *what;
        std::function<void(MailSocket *)> call;
        QString text;
    };
    const Row rows[] = {
        {"list", [](MailSocket *m) { m->getMessageList(true); },
         QStringLiteral("Request for message UID list during command")},
        {"delete", [](MailSocket *m) { m->deleteMessage(QStringLiteral("x")); },
         QStringLiteral("Request to delete message during command")},
        {"close", [](MailSocket *m) { m->closeSocket(true); },
         QStringLiteral("Request to close connection during command")},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.what);
        POP3Socket client;
        client.setup(SOSSLSocket::NoSSL, peer.host(), peer.serverPort(), QStringLiteral("u"),
                     QStringLiteral("p"), 0);
        QSignalSpy errors(&client, &SOSSLSocket::sigError);
        client.login();
        r.call(&client);
        EXPECT_EQ(errors.count(), 1);
        EXPECT_EQ(client.error(), r.text);
        // Dropping the link ends any state at once.
        QSignalSpy closed(&client, &MailSocket::sigClosed);
        client.closeSocket(false);
        EXPECT_EQ(closed.count(), 1);
    }
}

} // namespace
