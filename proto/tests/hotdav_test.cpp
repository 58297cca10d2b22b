// The web-mail client against the gateway stand-in: login, listings in every namespace
// form, whole messages, deletes by move, the gateway's refusals, unreadable pages and their
// dumps, and a close while a request is under way.

#include "MailSession.h"
#include "SOHotDAV.h"

#include "HotmailGateway.h"
#include "TestNames.h"

#include <QFile>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QString s(const char *text) {
    return QString::fromLatin1(text);
}

QList<QByteArray> threeMessages() {
    QList<QByteArray> out;
    for (int i = 1; i <= 3; ++i) {
        QByteArray m = "From: sender" + QByteArray::number(i) + "@example.test\r\nSubject: message " +
                       QByteArray::number(i) + "\r\n\r\n";
        // Long enough to arrive in several reads.
        for (int line = 0; line < 2000; ++line)
            m += "body line " + QByteArray::number(line) + " of message " + QByteArray::number(i) + "\r\n";
        m += "last line\r\n";
        out.append(m);
    }
    return out;
}

class HotDAV : public ::testing::Test {
protected:
    void SetUp() override {
        vltest::HotmailGateway &g = vltest::HotmailGateway::instance();
        g.reset();
        g.setMessages(threeMessages());
        qputenv("VL_HOTMAIL_GATEWAY", g.address().toLatin1());
    }
    void TearDown() override { qunsetenv("VL_HOTMAIL_GATEWAY"); }

    static std::unique_ptr<SOHotDAV> client(const QString &password = vltest::HotmailGateway::password()) {
        auto c = std::make_unique<SOHotDAV>();
        c->setup(vltest::HotmailGateway::user(), password, 0);
        return c;
    }
    static vltest::HotmailGateway &gateway() { return vltest::HotmailGateway::instance(); }
    static QString inbox() { return s("http://%1/folders/ACTIVE/").arg(gateway().address()); }
};

TEST_F(HotDAV, WithoutAGatewayLoginFailsAtOnce) {
    qunsetenv("VL_HOTMAIL_GATEWAY");
    auto c = client();
    QSignalSpy errors(c.get(), &SOSSLSocket::sigError);
    c->login();
    ASSERT_EQ(errors.count(), 1);
    EXPECT_EQ(c->error(), s("Hotmail gateway not configured"));
    // Nothing goes out afterwards: a short look, ended early by any request that does.
    EXPECT_FALSE(vltest::waitUntil([] { return !gateway().requests().isEmpty(); }, 50));
}

TEST_F(HotDAV, DownloadsThreeMessagesWhole) {
    gateway().setSwitch(s("tags"), s("caps"));
    auto c = client();
    MailSession session(c.get(), MailSession::Download);
    ASSERT_TRUE(session.run());
    EXPECT_EQ(session.events, (QStringList{s("loggedIn"), s("list 3"), s("data"), s("closed")}));
    ASSERT_EQ(session.messages.size(), 3);
    const QList<QByteArray> sent = threeMessages();
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(session.messages[i].raw, sent[i]);
        EXPECT_EQ(session.messages[i].uid, inbox() + s("MSG%1.eml").arg(i + 1, 4, 10, QLatin1Char('0')));
        // The size comes from the listing, before the message itself.
        EXPECT_EQ(session.messages[i].listedSize, sent[i].size());
    }
    EXPECT_EQ(session.downloaded, 3);
    // Every request answered a challenge of its own; the listing was a PROPFIND with Depth 0.
    const QStringList requests = gateway().requests();
    EXPECT_EQ(requests.size(), 10) << requests.join(u'\n').toStdString();
    EXPECT_TRUE(requests.value(0).startsWith(s("PROPFIND /cgi-bin/hmdata")));
    EXPECT_TRUE(requests.value(2).startsWith(s("PROPFIND /folders/ACTIVE/")));
}

TEST_F(HotDAV, ListingsInEveryNamespaceForm) {
    struct Row {
        const char *listing;
        QStringList events;
        int empty; // index of the address that must be empty, or -1
    } rows[] = {
        {"D", {s("loggedIn"), s("list 3"), s("closed")}, -1},
        {"other", {s("loggedIn"), s("list 3"), s("closed")}, -1},
        {"default", {s("loggedIn"), s("list 3"), s("closed")}, -1},
        {"nohref", {s("loggedIn"), s("list 3"), s("closed")}, 1},
        {"none", {s("loggedIn"), s("list 0"), s("closed")}, -1},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.listing);
        gateway().reset();
        gateway().setMessages(threeMessages());
        gateway().setSwitch(s("listing"), s(row.listing));
        auto c = client();
        MailSession session(c.get(), MailSession::Delete); // lists without fetching, deletes nothing
        ASSERT_TRUE(session.run());
        EXPECT_EQ(session.events, row.events);
        for (int i = 0; i < c->messageCount(); ++i) {
            EXPECT_EQ(c->messageList()[i].uid.isEmpty(), i == row.empty) << i;
            EXPECT_EQ(c->messageList()[i].listedSize, threeMessages()[i].size()) << i;
        }
    }
}

TEST_F(HotDAV, AnEmptyInboxEndsTheDownloadAtOnce) {
    gateway().setSwitch(s("listing"), s("none"));
    auto c = client();
    MailSession session(c.get(), MailSession::Download);
    ASSERT_TRUE(session.run());
    EXPECT_EQ(session.events, (QStringList{s("loggedIn"), s("list 0"), s("data"), s("closed")}));
}

TEST_F(HotDAV, DeleteMovesToTheTrash) {
    const QString address = inbox() + s("ACTIVEactive-ACTIVE.eml");
    auto c = client();
    MailSession session(c.get(), MailSession::Delete, {address});
    ASSERT_TRUE(session.run());
    EXPECT_EQ(session.events,
              (QStringList{s("loggedIn"), s("list 3"), s("deleted ") + address, s("closed")}));
    const QStringList moves = gateway().requests().filter(QRegularExpression(s("^MOVE ")));
    ASSERT_EQ(moves.size(), 2); // the challenge, then the move
    EXPECT_EQ(moves.last(),
              s("MOVE /folders/ACTIVE/ACTIVEactive-ACTIVE.eml http://%1/folders/trAsH/trAsHactive-trAsH.eml")
                  .arg(gateway().address()));
}

TEST_F(HotDAV, AFailedMultistatusMoveIsAnError) {
    gateway().setSwitch(s("move"), s("fail207"));
    auto c = client();
    MailSession session(c.get(), MailSession::Delete, {inbox() + s("MSG0001.eml")});
    ASSERT_TRUE(session.run());
    EXPECT_EQ(session.events, (QStringList{s("loggedIn"), s("list 3"),
                                           s("error: Move to trash failed: HTTP/1.1 403 Forbidden")}));
}

TEST_F(HotDAV, RefusalsOfTheGatewayAreErrors) {
    struct Row {
        const char *login;
        const char *error;
    } rows[] = {
        {"invalid", "error: Invalid login: bad username or password?"},
        {"unavailable", "error: Service unavailable: bad username or password?"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.login);
        gateway().setSwitch(s("login"), s(row.login));
        auto c = client();
        MailSession session(c.get(), MailSession::Download);
        ASSERT_TRUE(session.run());
        EXPECT_EQ(session.events, QStringList{s(row.error)});
    }
}

// Both dumps in one test: the files are shared by every process on the machine.
TEST_F(HotDAV, UnreadablePagesAreDumpedPrivately) {
    struct Row {
        const char *key, *value, *dump, *error, *content;
    } rows[] = {
        {"tags", "missing", "/tmp/hotdav.oe", "error: OEPage: inbox location error", "<hm:outbox>"},
        {"listing", "bad", "/tmp/hotdav.inb", "error: Inbox: DOM parser failed", "<D:href>broken"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.key);
        QFile::remove(s(row.dump));
        gateway().reset();
        gateway().setSwitch(s(row.key), s(row.value));
        auto c = client();
        MailSession session(c.get(), MailSession::Download);
        ASSERT_TRUE(session.run());
        EXPECT_EQ(session.events.last(), s(row.error));
        QFile dump(s(row.dump));
        ASSERT_TRUE(dump.open(QIODevice::ReadOnly));
        EXPECT_TRUE(dump.readAll().contains(row.content));
        struct stat st {};
        ASSERT_EQ(::lstat(row.dump, &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        QFile::remove(s(row.dump));
    }
    // A link planted under the dump's name is neither followed nor removed.
    const QString target = QDir::tempPath() + s("/vl-hotdav-target-%1").arg(getpid());
    {
        QFile t(target);
        ASSERT_TRUE(t.open(QIODevice::WriteOnly));
        t.write("precious");
    }
    QFile::remove(s("/tmp/hotdav.oe"));
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), "/tmp/hotdav.oe"), 0);
    gateway().reset();
    gateway().setSwitch(s("tags"), s("missing"));
    auto c = client();
    MailSession session(c.get(), MailSession::Download);
    ASSERT_TRUE(session.run());
    EXPECT_EQ(session.events.last(), s("error: OEPage: inbox location error"));
    QFile t(target);
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll(), QByteArray("precious"));
    struct stat st {};
    ASSERT_EQ(::lstat("/tmp/hotdav.oe", &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ::unlink("/tmp/hotdav.oe");
    QFile::remove(target);
}

TEST_F(HotDAV, ClosingDuringAFetchEndsEverything) {
    gateway().setSwitch(s("get_delay"), s("1"));
    auto c = client();
    MailSession session(c.get(), MailSession::LoginOnly);
    QObject::connect(c.get(), &MailSocket::sigLoggedIn, c.get(), [&] { c->getMessageList(true); });
    QObject::connect(c.get(), &MailSocket::sigMessageList, c.get(), [&] {
        // Once the answered GET is at the server, the owner gives up.
        QTimer::singleShot(0, c.get(), [&] {
            EXPECT_TRUE(vltest::waitUntil(
                [&] { return gateway().requests().filter(QRegularExpression(s("^GET "))).size() == 2; }));
            c->closeSocket(false);
        });
    });
    ASSERT_TRUE(session.run());
    EXPECT_EQ(session.events, (QStringList{s("loggedIn"), s("list 3"), s("closed")}));
    EXPECT_TRUE(session.messages.isEmpty());
    // The delayed message arrives after the close, a second after its request: nothing of it
    // may come through. The look ends early on anything that does.
    EXPECT_FALSE(
        vltest::waitUntil([&] { return session.events.size() > 3 || !session.messages.isEmpty(); }, 1500));
    EXPECT_EQ(session.events, (QStringList{s("loggedIn"), s("list 3"), s("closed")}));
    EXPECT_EQ(session.endings.size(), 1);
    EXPECT_TRUE(session.messages.isEmpty());
}

TEST(HotDAVReaders, InboxTagsAnyCaseAndTheXmlReaders) {
    EXPECT_EQ(SOHotDAV::inboxAddress(s("x<HM:Inbox> http://a/b </hm:INBOX>")), s(" http://a/b "));
    EXPECT_TRUE(SOHotDAV::inboxAddress(s("<hm:inbox>open")).isNull());
    EXPECT_TRUE(SOHotDAV::inboxAddress(s("</hm:inbox><hm:inbox>")).isNull());
    QStringList hrefs;
    ASSERT_TRUE(SOHotDAV::readListing("<m xmlns:x='DAV:'><x:response><x:href>a</x:href><x:href>b</x:href>"
                                      "<x:r><x:response/></x:r></x:response><x:response/></m>",
                                      hrefs));
    EXPECT_EQ(hrefs, (QStringList{s("a"), QString()}));
    // The first content length of each response; one that is no number gives none.
    QList<qint64> sizes;
    ASSERT_TRUE(SOHotDAV::readListing(
        "<m xmlns:x='DAV:'><x:response><x:href>a</x:href><x:propstat><x:prop>"
        "<x:getcontentlength> 1234 </x:getcontentlength><x:getcontentlength>9</x:getcontentlength>"
        "</x:prop></x:propstat></x:response>"
        "<x:response><x:href>b</x:href><x:getcontentlength>12kB</x:getcontentlength></x:response>"
        "<x:response><x:href>c</x:href></x:response>"
        "<x:response><x:getcontentlength>99999999999999999999</x:getcontentlength></x:response></m>",
        hrefs, &sizes));
    EXPECT_EQ(hrefs, (QStringList{s("a"), s("b"), s("c"), QString()}));
    EXPECT_EQ(sizes, (QList<qint64>{1234, -1, -1, -1}));
    EXPECT_FALSE(SOHotDAV::readListing("<m><response>", hrefs));
    EXPECT_TRUE(SOHotDAV::failedStatus("<m xmlns='DAV:'><status>HTTP/1.1 201 Created</status>"
                                       "<status>HTTP/1.1 302 Found</status></m>")
                    .isNull());
    EXPECT_EQ(SOHotDAV::failedStatus("<m><a:status xmlns:a='DAV:'>HTTP/1.1 423 Locked</a:status></m>"),
              s("HTTP/1.1 423 Locked"));
}

} // namespace
