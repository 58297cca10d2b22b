// Refused logins in the main window on an X display, against Dovecot: the queue reports the
// refusal and waits, the window opens the prompt over itself without blocking, with the
// server's reason above the fields. Typing the right password and Return logs the account
// in and stores the details; Cancel drops the request and the next account is checked. A
// secure login the server does not offer, as a man in the middle would arrange, is such a
// refusal too, with the client's own reason.
// Pictures of the prompt and of the filled list are kept.

#include "mailbox_fixture.h"

#include "app/VLMainWindow.h"
#include "dialogs/dialog_login.h"

#include "DovecotServer.h"
#include "ScriptedPeer.h"
#include "TestCA.h"

#include <QLineEdit>

using namespace mailboxtest;
using vltest::DovecotServer;

namespace {

class MailBoxOnX : public MailBoxTest {
protected:
    void SetUp() override {
        MailBoxTest::SetUp();
        // The window makes its own mail list and answers the queue: the fixture's list goes.
        recorder.reset();
        lister.reset();
        window = std::make_unique<VLMainWindow>();
        recorder = std::make_unique<Recorder>(MailBox::self(), window->mailLister());

        vltest::TestCA::instance();
        DovecotServer &server = DovecotServer::instance();
        server.addUser(u"alice"_s, u"alice-pw"_s);
        server.addUser(u"bob"_s, u"bob-pw"_s);
        QList<QByteArray> files;
        for (int i = 1; i <= 12; ++i)
            files << mailFile("Home message " + QByteArray::number(i), "Sender " + QByteArray::number(i) +
                                                                           " <s" + QByteArray::number(i) +
                                                                           "@example.org>");
        vltest::fillMaildir(server.maildir(u"alice"_s), files);
        vltest::fillMaildir(server.maildir(u"bob"_s), {mailFile("Work report", "Boss <boss@example.org>")});

        window->resize(1000, 700);
        window->show();
        ASSERT_TRUE(vltest::activate(window.get()));
    }

    void TearDown() override {
        MailBox::self()->stop();
        window.reset();
        MailBoxTest::TearDown();
    }

    static DataAccount home(const QString &password) {
        DovecotServer &server = DovecotServer::instance();
        return pop3Account(u"Home"_s, server.host(), server.pop3Port(), u"alice"_s, password);
    }
    static DataAccount work(const QString &password) {
        DovecotServer &server = DovecotServer::instance();
        return imapAccount(u"Work"_s, server.host(), server.imapsPort(), u"bob"_s, password, true);
    }

    // Checks the accounts in this order and returns the prompt that opens, once it shows:
    // the test goes on while it is open, so nothing blocks under it.
    DialogLogin *checkUntilPrompt(const QStringList &accounts, const QString &promptName) {
        for (const QString &name : accounts)
            MailBox::self()->download(stored(name), false);
        MailBox::self()->go();
        QWidget *prompt = vltest::waitForWindow(promptName, 30000);
        return qobject_cast<DialogLogin *>(prompt);
    }

    [[nodiscard]] int listed() const { return window->mailLister()->mailTable()->numVirtualRows(); }

    std::unique_ptr<VLMainWindow> window;
};

TEST_F(MailBoxOnX, RefusedLoginPromptOpensWithoutBlockingAndOkLogsIn) {
    storeAccounts({home(u"wrong"_s), work(u"bob-pw"_s)});
    DialogLogin *prompt = checkUntilPrompt({u"Home"_s, u"Work"_s}, u"pop3login"_s);
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(window->loginPrompt(), prompt);
    // Over the window, which it alone blocks; the queue waits with both requests.
    EXPECT_EQ(prompt->parentWidget(), window.get());
    EXPECT_EQ(prompt->windowModality(), Qt::WindowModal);
    EXPECT_TRUE(MailBox::self()->busy());
    EXPECT_TRUE(MailBox::self()->awaitingLogin());
    EXPECT_EQ(MailBox::self()->client(), nullptr);
    EXPECT_EQ(MailBox::self()->queue().size(), 2);
    EXPECT_EQ(listed(), 0);
    // Why, above the fields; the server and the details tried.
    auto *reason = vltest::child<QLabel>(prompt, u"reason"_s);
    EXPECT_TRUE(reason->isVisible());
    EXPECT_EQ(reason->text(), u"-ERR [AUTH] Authentication failed."_s);
    EXPECT_LT(reason->mapTo(prompt, QPoint()).y(),
              vltest::child<QWidget>(prompt, u"login"_s)->mapTo(prompt, QPoint()).y());
    EXPECT_EQ(vltest::child<QLabel>(prompt, u"server"_s)->text(), DovecotServer::instance().host());
    EXPECT_EQ(vltest::child<QLineEdit>(prompt, u"name"_s)->text(), u"alice"_s);

    EXPECT_TRUE(vltest::activate(prompt));
    EXPECT_FALSE(vltest::saveScreenshot(prompt, u"mailbox_pop3login"_s).isEmpty());
    vltest::pressMnemonic(prompt, u'p');
    QWidget *field = QApplication::focusWidget();
    EXPECT_EQ(field ? field->objectName() : QString(), u"password"_s);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, u"alice-pw"_s);
    QTest::keyClick(field, Qt::Key_Return);

    ASSERT_TRUE(vltest::waitUntil([] { return !MailBox::self()->busy(); }, 60000));
    EXPECT_EQ(window->loginPrompt(), nullptr);
    EXPECT_EQ(listed(), 13);
    EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join(u'\n').toStdString();
    EXPECT_EQ(stored(u"Home"_s).pop3.incoming.password, u"alice-pw"_s);
    EXPECT_TRUE(folder().read(u"accounts.vlp"_s).contains("alice-pw"));
    QTest::qWait(200);
    EXPECT_FALSE(vltest::saveScreenshot(window.get(), u"mailbox_lister"_s).isEmpty());
}

TEST_F(MailBoxOnX, CancelDropsTheRefusedRequestAndTheNextAccountIsChecked) {
    storeAccounts({work(u"wrong"_s), home(u"alice-pw"_s)});
    const QByteArray before = folder().read(u"accounts.vlp"_s);
    DialogLogin *prompt = checkUntilPrompt({u"Work"_s, u"Home"_s}, u"imaplogin"_s);
    ASSERT_NE(prompt, nullptr);
    auto *reason = vltest::child<QLabel>(prompt, u"reason"_s);
    EXPECT_TRUE(reason->text().contains(u"NO [AUTHENTICATIONFAILED] Authentication failed."_s))
        << reason->text().toStdString();
    EXPECT_EQ(vltest::child<QLineEdit>(prompt, u"name"_s)->text(), u"bob"_s);
    EXPECT_EQ(listed(), 0);

    EXPECT_TRUE(vltest::activate(prompt));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

    ASSERT_TRUE(vltest::waitUntil([] { return !MailBox::self()->busy(); }, 60000));
    EXPECT_EQ(window->loginPrompt(), nullptr);
    EXPECT_EQ(listed(), 12); // Home's messages only
    EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join(u'\n').toStdString();
    EXPECT_EQ(recorder->count(u"idle"_s), 1);
    EXPECT_EQ(recorder->refusals.size(), 1);
    EXPECT_EQ(folder().read(u"accounts.vlp"_s), before);
}

TEST_F(MailBoxOnX, ThePromptSaysWhyTheLoginWasRefused) {
    const struct {
        const char *name;
        bool pop3;
        const char *dialogue;
        bool secure;
        QString reason;
    } cases[] = {
        {"APOP not offered", true, "pop3_greeting_without_apop.txt", true,
         u"Host does not support APOP authentiation"_s},
        {"CRAM-MD5 not offered", false, "imap_greeting_without_cram.txt", true,
         u"Host does not offer CRAM-MD5 authentication"_s},
        {"refusal with a control byte", false, "imap_login_refused_raw.txt", false,
         u"00000001 NO [AUTHENTICATIONFAILED] bad? login"_s},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        vltest::ScriptedPeer peer;
        peer.loadDialogue(QStringLiteral(VL_TEST_DATA_DIR "/dialogues/") + QLatin1String(c.dialogue));
        ASSERT_TRUE(peer.start());
        const bool pop3 = c.pop3;
        DataAccount account =
            pop3 ? pop3Account(u"Peer"_s, peer.host(), peer.serverPort(), u"user"_s, u"secret"_s)
                 : imapAccount(u"Peer"_s, peer.host(), peer.serverPort(), u"user"_s, u"secret"_s, false);
        if (pop3)
            account.pop3.incoming.advanced.useSecureAuth = c.secure;
        else
            account.imap.incoming.advanced.useSecureAuth = c.secure;
        storeAccounts({account});
        DialogLogin *prompt = checkUntilPrompt({u"Peer"_s}, pop3 ? u"pop3login"_s : u"imaplogin"_s);
        ASSERT_NE(prompt, nullptr);
        auto *reason = vltest::child<QLabel>(prompt, u"reason"_s);
        EXPECT_TRUE(reason->isVisible());
        EXPECT_EQ(reason->text(), c.reason);
        EXPECT_TRUE(peer.mismatches().isEmpty()) << peer.mismatches().join(u'\n').toStdString();
        // A secure login that cannot be had sends nothing, least of all the password.
        if (c.secure) {
            EXPECT_TRUE(peer.received().isEmpty()) << peer.received().join('|').toStdString();
        }
        EXPECT_TRUE(vltest::activate(prompt));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        ASSERT_TRUE(vltest::waitUntil([] { return !MailBox::self()->busy(); }, 60000));
        EXPECT_EQ(window->loginPrompt(), nullptr);
    }
    EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join(u'\n').toStdString();
}

} // namespace
