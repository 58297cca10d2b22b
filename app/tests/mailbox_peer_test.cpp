// The mailbox queue on the failures a real server will not produce on demand, played by a
// scripted peer: a link dropped after the deletions but before QUIT, a garbage greeting, a
// stop while a message is still arriving; a refusal that repeats the password; and refused
// web-mail logins, which never prompt.

#include "mailbox_fixture.h"

#include "proto/MailSocket.h"

#include "HotmailGateway.h"
#include "ScriptedPeer.h"

#include <QEventLoop>
#include <QPointer>

using namespace Qt::Literals::StringLiterals;

using namespace mailboxtest;
using vltest::ScriptedPeer;

namespace {

class MailBoxPeer : public MailBoxTest {
protected:
    // A peer playing the dialogue file, and an account "name" that reaches it.
    DataAccount peerAccount(ScriptedPeer &peer, const char *dialogue, const QString &name) {
        peer.loadDialogue(QStringLiteral(VL_TEST_DATA_DIR "/dialogues/") + QLatin1String(dialogue));
        EXPECT_TRUE(peer.start());
        return pop3Account(name, peer.host(), peer.serverPort(), QStringLiteral("user"),
                           QStringLiteral("secret"));
    }

    // Lists messages with these uids for the account, as a check would.
    void listRows(const DataAccount &account, const QStringList &uids) {
        DataEmailList list;
        for (const QString &uid : uids) {
            DataEmailMessage m;
            m.uid = uid;
            m.subject = m.encSubject = u"subject "_s + uid;
            m.account = account.name();
            list << m;
            lister->slotMessageData(account, m, false);
        }
        lister->slotMessageData(account, list, false);
    }
};

TEST_F(MailBoxPeer, DropBetweenDeletionsAndQuitReportsNoDeletion) {
    ScriptedPeer peer;
    const DataAccount account = peerAccount(peer, "pop3_drop_before_quit.txt", u"Home"_s);
    storeAccounts({account});
    listRows(account, {u"uid-a"_s, u"uid-b"_s});
    MailBox::self()->deleteMail(account, {u"uid-a"_s, u"uid-b"_s});
    ASSERT_TRUE(runQueue());
    EXPECT_TRUE(peer.mismatches().isEmpty()) << peer.mismatches().join(u'\n').toStdString();
    // The server answered both DELEs: the progress says so, but nothing was committed.
    EXPECT_EQ(recorder->starting(u"progress"_s),
              (QStringList{u"progress Home: Deleting message 1 of 2 (2,1)"_s,
                           u"progress Home: Deleting message 2 of 2 (2,2)"_s}));
    EXPECT_TRUE(recorder->deleted.isEmpty()) << recorder->deleted.join(u' ').toStdString();
    ASSERT_EQ(recorder->errors.size(), 1);
    EXPECT_TRUE(recorder->errors[0].endsWith(u": Home"_s)) << recorder->errors[0].toStdString();
    QTest::qWait(VLMailLister::kDeletionDelayMs + 100);
    EXPECT_EQ(rows(), (QStringList{u"Home subject uid-a"_s, u"Home subject uid-b"_s}));
}

TEST_F(MailBoxPeer, GarbageThenCloseIsOneErrorAndTheNextRequestRuns) {
    ScriptedPeer bad, good;
    const DataAccount garbage = peerAccount(bad, "pop3_garbage_then_close.txt", u"Garbage"_s);
    const DataAccount fine = peerAccount(good, "pop3_empty_mailbox.txt", u"Fine"_s);
    storeAccounts({garbage, fine});
    // Whoever hears of the error finds the queue already past the failed request.
    int queuedAtError = -1;
    QObject::connect(MailBox::self(), &MailBox::sigError, recorder.get(),
                     [&] { queuedAtError = int(MailBox::self()->queue().size()); });
    MailBox::self()->download(garbage, false);
    MailBox::self()->download(fine, false);
    ASSERT_TRUE(runQueue());
    QTest::qWait(200);
    ASSERT_EQ(recorder->errors.size(), 1) << recorder->events.join(u'\n').toStdString();
    EXPECT_TRUE(recorder->errors[0].endsWith(u": Garbage"_s)) << recorder->errors[0].toStdString();
    EXPECT_EQ(queuedAtError, 1);
    EXPECT_EQ(recorder->starting(u"list"_s), QStringList{u"list Fine 0 timed=0"_s});
    EXPECT_EQ(recorder->count(u"idle"_s), 1);
    EXPECT_EQ(progressText(), u"Fine: Mailbox is empty"_s);
}

TEST_F(MailBoxPeer, StopAndImmediateGoWhileDataIsInFlight) {
    ScriptedPeer slow, other;
    const DataAccount trickle = peerAccount(slow, "pop3_slow_message.txt", u"Slow"_s);
    const DataAccount empty = peerAccount(other, "pop3_empty_mailbox.txt", u"Other"_s);
    storeAccounts({trickle, empty});
    MailBox::self()->download(trickle, false);
    MailBox::self()->go();
    ASSERT_TRUE(vltest::waitUntil([&] {
        for (const QByteArray &line : slow.received())
            if (line.startsWith("TOP"))
                return true;
        return false;
    }));
    QTest::qWait(100); // some of the message is on its way
    QPointer<MailSocket> old = MailBox::self()->client();
    ASSERT_TRUE(old);

    MailBox::self()->stop();
    MailBox::self()->download(empty, false);
    EXPECT_TRUE(MailBox::self()->go());
    ASSERT_TRUE(vltest::waitUntil([] { return !MailBox::self()->busy(); }));
    QTest::qWait(300); // the old server keeps sending
    QEventLoop loop;   // the released client goes once an event loop runs
    QTimer::singleShot(50, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_TRUE(old.isNull());
    EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join(u'\n').toStdString();
    // Nothing of the stopped session reaches anyone after the stop.
    const QStringList afterStop = recorder->events.mid(recorder->events.indexOf(u"idle"_s));
    EXPECT_TRUE(afterStop.filter(u"Slow"_s).isEmpty()) << recorder->events.join(u'|').toStdString();
    EXPECT_EQ(recorder->starting(u"list"_s), QStringList{u"list Other 0 timed=0"_s});
    QStringList busy;
    for (const QString &e : recorder->events)
        if (e == u"busy"_s || e == u"idle"_s)
            busy << e;
    EXPECT_EQ(busy, (QStringList{u"busy"_s, u"idle"_s, u"busy"_s, u"idle"_s}));
    EXPECT_EQ(rows(), QStringList());
}

// ---------------------------------------------------------------- refused logins

// What the user is told of a refused login: the client's own text or the server's, but never
// the password ("secret"), even when the server repeats it.
TEST_F(MailBoxPeer, RefusalReasonIsTheClientsTextWithoutThePassword) {
    const struct {
        const char *name;
        const char *dialogue;
        bool secure;
        QString reason;
    } cases[] = {
        {"APOP not offered", "pop3_greeting_without_apop.txt", true,
         u"Home: Host does not support APOP authentiation"_s},
        {"password repeated", "pop3_refusal_repeats_password.txt", false,
         u"Home: The server refused the login"_s},
        {"password cut by the end of a long text", "pop3_refusal_cut_in_password.txt", false,
         u"Home: The server refused the login"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        recorder->refusals.clear();
        ScriptedPeer peer;
        DataAccount account = peerAccount(peer, c.dialogue, u"Home"_s);
        account.pop3.incoming.advanced.useSecureAuth = c.secure;
        storeAccounts({account});
        MailBox::self()->download(account, false);
        MailBox::self()->go();
        ASSERT_TRUE(vltest::waitUntil([] { return MailBox::self()->awaitingLogin(); }));
        EXPECT_TRUE(peer.mismatches().isEmpty()) << peer.mismatches().join(u'\n').toStdString();
        EXPECT_EQ(recorder->refusals, QStringList{c.reason});
        MailBox::self()->cancel();
        EXPECT_FALSE(MailBox::self()->busy());
    }
    EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join(u'\n').toStdString();
}

// ---------------------------------------------------------------- web mail

TEST_F(MailBoxPeer, RefusedWebMailLoginIsOneErrorWithoutPrompt) {
    vltest::HotmailGateway &gateway = vltest::HotmailGateway::instance();
    gateway.reset();
    gateway.setSwitch(u"login"_s, u"invalid"_s);
    qputenv("VL_HOTMAIL_GATEWAY", gateway.address().toLatin1());
    const DataAccount account = hotmailAccount(u"Web"_s, vltest::HotmailGateway::user(), u"wrong"_s);
    storeAccounts({account});
    MailBox::self()->download(account, false);
    ASSERT_TRUE(runQueue());
    QTest::qWait(200);
    qunsetenv("VL_HOTMAIL_GATEWAY");
    EXPECT_EQ(recorder->errors, QStringList{u"Invalid login: bad username or password?: Web"_s});
    // Nobody is asked for new details.
    EXPECT_TRUE(recorder->refusals.isEmpty()) << recorder->refusals.join(u' ').toStdString();
    EXPECT_EQ(recorder->count(u"idle"_s), 1);
}

TEST_F(MailBoxPeer, WebMailRowsShowTheSizesTheGatewayLists) {
    vltest::HotmailGateway &gateway = vltest::HotmailGateway::instance();
    gateway.reset();
    const QByteArray small = mailFile("small");
    const QByteArray big = mailFile("big") + QByteArray("A body line of the big message.\r\n").repeated(300);
    gateway.setMessages({small, big});
    qputenv("VL_HOTMAIL_GATEWAY", gateway.address().toLatin1());
    const DataAccount account =
        hotmailAccount(u"Web"_s, vltest::HotmailGateway::user(), vltest::HotmailGateway::password());
    storeAccounts({account});
    MailBox::self()->download(account, false);
    ASSERT_TRUE(runQueue());
    qunsetenv("VL_HOTMAIL_GATEWAY");
    EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join(u'\n').toStdString();
    EXPECT_EQ(sizes(),
              (QStringList{u"Web small "_s + sizeText(small.size()), u"Web big "_s + sizeText(big.size())}));
}

TEST_F(MailBoxPeer, WebMailWithoutGatewayIsOneError) {
    qunsetenv("VL_HOTMAIL_GATEWAY");
    const DataAccount account = hotmailAccount(u"Web"_s, u"user@hm.test"_s, u"pw"_s);
    storeAccounts({account});
    MailBox::self()->download(account, false);
    MailBox::self()->download(account, true);
    ASSERT_TRUE(runQueue());
    QTest::qWait(100);
    EXPECT_EQ(recorder->errors, (QStringList{u"Hotmail gateway not configured: Web"_s,
                                             u"Hotmail gateway not configured: Web"_s}));
    EXPECT_TRUE(recorder->refusals.isEmpty());
    EXPECT_EQ(recorder->count(u"idle"_s), 1);
    EXPECT_EQ(recorder->count(u"busy"_s), 2);
}

} // namespace
