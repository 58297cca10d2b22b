// The mailbox queue and the mail lister against a real Dovecot on this process's own loopback
// address: "Home" is POP3 in plain text (alice), "Work" is IMAP over TLS (bob) with a CA
// made for the test. Checks, second checks, removed and empty mailboxes, secure logins,
// deletions, and refused logins answered as the window does (retry with new details, or
// cancel).

#include "mailbox_fixture.h"

#include "app/vl_seen_email_list.h"

#include "DovecotServer.h"
#include "TestCA.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QSignalSpy>

using namespace Qt::Literals::StringLiterals;

using namespace mailboxtest;
using vltest::DovecotServer;

namespace {

const QString kAlicePw = QStringLiteral("alice-pw");
const QString kBobPw = QStringLiteral("bob-pw");

class MailBoxDovecot : public MailBoxTest {
protected:
    void SetUp() override {
        MailBoxTest::SetUp();
        vltest::TestCA::instance(); // SSL_CERT_FILE names the test's own authority
        DovecotServer &server = DovecotServer::instance();
        server.addUser(QStringLiteral("alice"), kAlicePw);
        server.addUser(QStringLiteral("bob"), kBobPw);
        storeAccounts({home(kAlicePw), work(kBobPw)});
    }

    static DataAccount home(const QString &password) {
        DovecotServer &server = DovecotServer::instance();
        return pop3Account(QStringLiteral("Home"), server.host(), server.pop3Port(), QStringLiteral("alice"),
                           password);
    }
    static DataAccount work(const QString &password) {
        DovecotServer &server = DovecotServer::instance();
        return imapAccount(QStringLiteral("Work"), server.host(), server.imapsPort(), QStringLiteral("bob"),
                           password, true);
    }

    static void fill(const QString &user, const QList<QByteArray> &subjects) {
        QList<QByteArray> files;
        for (const QByteArray &s : subjects)
            files << mailFile(s);
        vltest::fillMaildir(DovecotServer::instance().maildir(user), files);
    }

    void checkBoth(bool timed) {
        MailBox::self()->download(stored(QStringLiteral("Home")), timed);
        MailBox::self()->download(stored(QStringLiteral("Work")), timed);
        ASSERT_TRUE(runQueue());
    }
};

TEST_F(MailBoxDovecot, OneCheckListsBothAccountsInOrder) {
    fill(QStringLiteral("alice"), {"h1", "h2"});
    fill(QStringLiteral("bob"), {"w1", "w2", "w3"});
    checkBoth(true);

    EXPECT_EQ(rows(), (QStringList{u"Home h1"_s, u"Home h2"_s, u"Work w1"_s, u"Work w2"_s, u"Work w3"_s}));
    EXPECT_EQ(recorder->events,
              (QStringList{u"connecting Home"_s, u"busy"_s, u"loggedIn Home"_s,
                           u"progress Home: Retrieving message 1 of 2 (2,1)"_s,
                           u"progress Home: Retrieving message 2 of 2 (2,2)"_s, u"newMail any=1 timed=1"_s,
                           u"list Home 2 timed=1"_s, u"connecting Work"_s, u"busy"_s, u"loggedIn Work"_s,
                           u"progress Work: Retrieving message 1 of 3 (3,1)"_s,
                           u"progress Work: Retrieving message 2 of 3 (3,2)"_s,
                           u"progress Work: Retrieving message 3 of 3 (3,3)"_s, u"newMail any=1 timed=1"_s,
                           u"list Work 3 timed=1"_s, u"idle"_s}));
    EXPECT_TRUE(progressText().isEmpty()) << progressText().toStdString();
    // Every message carries its account, so equal uids of two accounts never meet.
    for (int row = 0; row < table()->numVirtualRows(); ++row) {
        const VLScannerItem *item = table()->scannerItem(row);
        EXPECT_EQ(item->message().account, item->account());
        EXPECT_EQ(VLScannerItem::findMessage(item->message().unique()), item);
    }
    EXPECT_TRUE(MailBox::self()->idleTimerActive());
    EXPECT_EQ(MailBox::self()->client(), nullptr);
}

TEST_F(MailBoxDovecot, SecondCheckKeepsRowsMarksAndSeenEntries) {
    fill(QStringLiteral("alice"), {"h1", "h2"});
    fill(QStringLiteral("bob"), {"w1"});
    checkBoth(false);
    ASSERT_EQ(table()->numVirtualRows(), 3);
    VLScannerItem *h2 = rowOf(QStringLiteral("Home"), QStringLiteral("h2"));
    VLScannerItem *w1 = rowOf(QStringLiteral("Work"), QStringLiteral("w1"));
    ASSERT_TRUE(h2 && w1);
    h2->setDeleteChecked(QString(), true);
    w1->setBounceChecked(QString(), true);
    // The user looked at h2: the seen list keys it by its message identity.
    VLSeenEmailList::self()->add(QStringLiteral("Home"), h2->message().identifier());
    recorder->events.clear();

    checkBoth(false);
    EXPECT_EQ(rowOf(QStringLiteral("Home"), QStringLiteral("h2")), h2);
    EXPECT_EQ(rowOf(QStringLiteral("Work"), QStringLiteral("w1")), w1);
    EXPECT_EQ(table()->numVirtualRows(), 3);
    EXPECT_TRUE(h2->isDeleteChecked());
    EXPECT_TRUE(w1->isBounceChecked());
    EXPECT_EQ(recorder->starting(u"newMail"_s),
              (QStringList{u"newMail any=0 timed=0"_s, u"newMail any=0 timed=0"_s}));
    // Still on the server, so still seen: the entry survives the list's end and the file.
    EXPECT_TRUE(VLSeenEmailList::self()->seen(QStringLiteral("Home"), QStringLiteral("h2@example.org")));
    EXPECT_TRUE(seenFileHas(u"Home"_s, u"h2@example.org"_s));
}

TEST_F(MailBoxDovecot, MessageRemovedFromTheServerLosesItsRow) {
    fill(QStringLiteral("alice"), {"h1", "h2", "h3"});
    checkBoth(false);
    ASSERT_EQ(rows(), (QStringList{u"Home h1"_s, u"Home h2"_s, u"Home h3"_s}));
    VLScannerItem *h1 = rowOf(QStringLiteral("Home"), QStringLiteral("h1"));
    h1->setDeleteChecked(QString(), true);

    const QString maildir = DovecotServer::instance().maildir(QStringLiteral("alice"));
    int removed = 0;
    for (const QString &sub : {QStringLiteral("/new"), QStringLiteral("/cur")}) {
        QDir dir(maildir + sub);
        for (const QString &name : dir.entryList(QDir::Files)) {
            QFile f(dir.filePath(name));
            if (f.open(QIODevice::ReadOnly) && f.readAll().contains("Subject: h2\r\n")) {
                f.close();
                removed += int(QFile::remove(dir.filePath(name)));
            }
        }
    }
    ASSERT_EQ(removed, 1);

    checkBoth(false);
    EXPECT_EQ(rows(), (QStringList{u"Home h1"_s, u"Home h3"_s}));
    EXPECT_EQ(rowOf(QStringLiteral("Home"), QStringLiteral("h1")), h1);
    EXPECT_TRUE(h1->isDeleteChecked());
}

TEST_F(MailBoxDovecot, TheSizeColumnShowsTheSizesTheServersList) {
    // Longer than either client fetches of it, and like most mail without a Content-Length.
    const QByteArray small = mailFile("small");
    const QByteArray big =
        mailFile("big") +
        QByteArray("A body line of the big message, far past what is fetched.\r\n").repeated(600);
    for (const QString &user : {QStringLiteral("alice"), QStringLiteral("bob")})
        vltest::fillMaildir(DovecotServer::instance().maildir(user), {small, big});
    checkBoth(false);
    const QString s = sizeText(small.size());
    const QString b = sizeText(big.size());
    EXPECT_EQ(sizes(), (QStringList{u"Home small "_s + s, u"Home big "_s + b, u"Work small "_s + s,
                                    u"Work big "_s + b}));
}

TEST_F(MailBoxDovecot, EmptyMailboxSaysSo) {
    MailBox::self()->download(stored(QStringLiteral("Home")), false);
    ASSERT_TRUE(runQueue());
    EXPECT_EQ(progressText(), QStringLiteral("Home: Mailbox is empty"));
    EXPECT_EQ(recorder->starting(u"newMail"_s), QStringList{u"newMail any=0 timed=0"_s});
    EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join(u'\n').toStdString();
}

TEST_F(MailBoxDovecot, SecureLoginUsesApopAndCramMd5) {
    DataAccount h = home(kAlicePw);
    h.pop3.incoming.advanced.useSecureAuth = true;
    DataAccount w = work(kBobPw);
    w.imap.incoming.advanced.useSecureAuth = true;
    storeAccounts({h, w});
    fill(QStringLiteral("alice"), {"h1"});
    fill(QStringLiteral("bob"), {"w1"});
    checkBoth(false);
    EXPECT_EQ(rows(), (QStringList{u"Home h1"_s, u"Work w1"_s}));
    const QByteArray log = DovecotServer::instance().log();
    EXPECT_TRUE(log.contains("user=<alice>, method=APOP")) << log.constData();
    EXPECT_TRUE(log.contains("user=<bob>, method=CRAM-MD5")) << log.constData();
    EXPECT_FALSE(log.contains("method=PLAIN")) << log.constData();
}

TEST_F(MailBoxDovecot, DeletingTwoOfThreeReportsAfterTheClose) {
    fill(QStringLiteral("alice"), {"h1", "h2", "h3"});
    fill(QStringLiteral("bob"), {"w1", "w2", "w3"});
    checkBoth(false);
    ASSERT_EQ(table()->numVirtualRows(), 6);
    const auto uidOf = [this](const QString &account, const QString &subject) {
        const VLScannerItem *item = rowOf(account, subject);
        return item ? item->message().uid : QString();
    };
    recorder->events.clear();
    // What the server holds when a deletion is reported: it must already be committed.
    QStringList filesAtReport;
    recorder->onDeleted = [&](const DataAccount &a, const QString &) {
        const QString user = a.name() == u"Home"_s ? u"alice"_s : u"bob"_s;
        filesAtReport << a.name() + u' ' + QString::number(DovecotServer::instance().messageFiles(user));
    };
    MailBox::self()->deleteMail(stored(QStringLiteral("Home")),
                                {uidOf(u"Home"_s, u"h1"_s), uidOf(u"Home"_s, u"h3"_s)});
    MailBox::self()->deleteMail(stored(QStringLiteral("Work")),
                                {uidOf(u"Work"_s, u"w2"_s), uidOf(u"Work"_s, u"w3"_s)});
    // Nothing to delete: the session ends at once, in order.
    MailBox::self()->deleteMail(stored(QStringLiteral("Home")), {});
    ASSERT_TRUE(runQueue());
    EXPECT_EQ(
        recorder->events,
        (QStringList{u"connecting Home delete"_s, u"busy"_s, u"loggedIn Home delete"_s,
                     u"progress Home: Deleting message 1 of 2 (3,1)"_s,
                     u"progress Home: Deleting message 2 of 2 (3,2)"_s, u"deleted Home"_s, u"deleted Home"_s,
                     u"connecting Work delete"_s, u"busy"_s, u"loggedIn Work delete"_s,
                     u"progress Work: Deleting message 1 of 2 (3,1)"_s,
                     u"progress Work: Deleting message 2 of 2 (3,2)"_s, u"deleted Work"_s, u"deleted Work"_s,
                     u"connecting Home delete"_s, u"busy"_s, u"loggedIn Home delete"_s, u"idle"_s}));
    EXPECT_EQ(filesAtReport, (QStringList{u"Home 1"_s, u"Home 1"_s, u"Work 1"_s, u"Work 1"_s}));
    EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join(u'\n').toStdString();
    ASSERT_TRUE(waitForReportedRowsGone());
    EXPECT_EQ(rows(), (QStringList{u"Home h2"_s, u"Work w1"_s}));
    EXPECT_EQ(DovecotServer::instance().messageFiles(QStringLiteral("alice")), 1);
    EXPECT_EQ(DovecotServer::instance().messageFiles(QStringLiteral("bob")), 1);
}

// ---------------------------------------------------------------- refused logins

// What the queue reported with a refused login: the request's own copy of the account, why
// it was refused, and whether the refused client was already gone.
struct Refusal {
    QString account;
    QString server;
    QString user;
    QString password;
    QString reason;
    bool clientDetached = false;
    bool waited = false;   // still waiting, and busy, when the answer came
    bool answered = false; // the answer has been given
};

// Answers the queue's refused logins in turn as the window does: later, from the event loop,
// after running extra (what happens elsewhere while the prompt is open), with the password
// typed (retry) or cancel. A refusal beyond the answers is cancelled.
class LoginAnswers : public QObject {
public:
    struct Answer {
        bool retry = false;
        QString password;
        std::function<void()> extra;
    };

    explicit LoginAnswers(QList<Answer> answers) : m_answers(std::move(answers)) {
        connect(MailBox::self(), &MailBox::sigLoginRefused, this, &LoginAnswers::refused);
    }

    QList<Refusal> seen;

private:
    void refused(const DataAccount &account, const QString &reason) {
        seen.append({account.name(), account.server(), account.user(), account.password(), reason,
                     MailBox::self()->client() == nullptr});
        const Answer answer = m_answers.isEmpty() ? Answer{} : m_answers.takeFirst();
        QTimer::singleShot(0, this, [this, index = seen.size() - 1, account, answer] {
            seen[index].waited = MailBox::self()->awaitingLogin() && MailBox::self()->busy();
            if (answer.extra)
                answer.extra();
            if (!answer.retry) {
                MailBox::self()->cancel();
            } else {
                DataAccount details = account;
                if (details.type == DataAccount::POP3)
                    details.pop3.incoming.password = answer.password;
                else
                    details.imap.incoming.password = answer.password;
                MailBox::self()->retry(details);
            }
            seen[index].answered = true;
        });
    }

    QList<Answer> m_answers;
};

TEST_F(MailBoxDovecot, WrongPasswordsAreRefusedPop3ThenImapAndEachRetryIsSavedOnce) {
    storeAccounts({home(u"wrong-a"_s), work(u"wrong-b"_s)});
    fill(QStringLiteral("alice"), {"h1"});
    fill(QStringLiteral("bob"), {"w1"});
    QSignalSpy changes(StoreAccountList::accounts(), &Store::changed);
    // Meanwhile the user edits the account elsewhere: that edit stays.
    LoginAnswers answers({{true, kAlicePw,
                           [] {
                               StoreAccountList::accounts()->account(u"Home"_s)->pop3.outgoing.emailAddress =
                                   u"alice@example.org"_s;
                           }},
                          {true, kBobPw, {}}});
    MailBox::self()->download(stored(QStringLiteral("Home")), false);
    MailBox::self()->download(stored(QStringLiteral("Work")), false);
    ASSERT_TRUE(runQueue(60000));
    ASSERT_EQ(answers.seen.size(), 2);
    const Refusal &pop3 = answers.seen[0];
    const Refusal &imap = answers.seen[1];
    EXPECT_EQ(pop3.account, QStringLiteral("Home"));
    EXPECT_TRUE(pop3.clientDetached);
    EXPECT_TRUE(imap.clientDetached);
    EXPECT_TRUE(pop3.waited);
    EXPECT_TRUE(imap.waited);
    EXPECT_EQ(pop3.server, DovecotServer::instance().host());
    EXPECT_EQ(pop3.user, QStringLiteral("alice"));
    EXPECT_EQ(imap.account, QStringLiteral("Work"));
    EXPECT_EQ(imap.user, QStringLiteral("bob"));
    // The server's own refusal, which never holds the password.
    EXPECT_EQ(pop3.reason, u"-ERR [AUTH] Authentication failed."_s);
    EXPECT_TRUE(imap.reason.contains(u"NO [AUTHENTICATIONFAILED] Authentication failed."_s))
        << imap.reason.toStdString();
    EXPECT_FALSE(imap.reason.contains(u"wrong-b"_s));
    EXPECT_EQ(rows(), (QStringList{u"Home h1"_s, u"Work w1"_s}));
    EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join(u'\n').toStdString();
    EXPECT_EQ(changes.size(), 2); // one write-back per login that succeeded
    EXPECT_EQ(stored(u"Home"_s).pop3.incoming.password, kAlicePw);
    EXPECT_EQ(stored(u"Work"_s).imap.incoming.password, kBobPw);
    const QByteArray file = folder().read(QStringLiteral("accounts.vlp"));
    EXPECT_TRUE(file.contains(kAlicePw.toLatin1()));
    EXPECT_TRUE(file.contains(kBobPw.toLatin1()));
    EXPECT_TRUE(file.contains("alice@example.org"));
}

TEST_F(MailBoxDovecot, CancelDropsOnlyTheRefusedRequest) {
    storeAccounts({home(u"wrong-a"_s), work(kBobPw)});
    fill(QStringLiteral("alice"), {"h1"});
    fill(QStringLiteral("bob"), {"w1"});
    const QByteArray before = folder().read(QStringLiteral("accounts.vlp"));
    LoginAnswers answers({{false, {}, {}}});
    MailBox::self()->download(stored(QStringLiteral("Home")), false);
    MailBox::self()->download(stored(QStringLiteral("Work")), false);
    ASSERT_TRUE(runQueue(60000));
    ASSERT_EQ(answers.seen.size(), 1);
    EXPECT_EQ(answers.seen[0].account, QStringLiteral("Home"));
    EXPECT_TRUE(answers.seen[0].waited);
    EXPECT_EQ(rows(), QStringList{u"Work w1"_s});
    EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join(u'\n').toStdString();
    EXPECT_EQ(recorder->count(u"idle"_s), 1);
    EXPECT_EQ(folder().read(QStringLiteral("accounts.vlp")), before);
}

TEST_F(MailBoxDovecot, RequestQueuedBehindKeepsItsOwnCopy) {
    storeAccounts({home(u"wrong-a"_s), work(kBobPw)});
    fill(QStringLiteral("alice"), {"h1"});
    LoginAnswers answers({{true, kAlicePw, {}}, {false, {}, {}}});
    // Two checks queued with the same wrong copy: the details typed for the first reach the
    // first request only.
    MailBox::self()->download(stored(QStringLiteral("Home")), false);
    MailBox::self()->download(stored(QStringLiteral("Home")), false);
    ASSERT_TRUE(runQueue(60000));
    ASSERT_EQ(answers.seen.size(), 2);
    EXPECT_EQ(answers.seen[0].password, QStringLiteral("wrong-a"));
    EXPECT_EQ(answers.seen[1].password, QStringLiteral("wrong-a"));
    EXPECT_EQ(rows(), QStringList{u"Home h1"_s});
    EXPECT_EQ(stored(u"Home"_s).pop3.incoming.password, kAlicePw);
    EXPECT_TRUE(recorder->errors.isEmpty());
}

TEST_F(MailBoxDovecot, LoginIsNotWrittenToAnAccountChangedMeanwhile) {
    storeAccounts({home(u"wrong-a"_s), work(kBobPw)});
    fill(QStringLiteral("alice"), {"h1"});
    // While the prompt is open the stored account is pointed at another mailbox.
    LoginAnswers answers({{true, kAlicePw, [] {
                               StoreAccountList::accounts()->account(u"Home"_s)->pop3.incoming.userName =
                                   u"carol"_s;
                           }}});
    MailBox::self()->download(stored(QStringLiteral("Home")), false);
    ASSERT_TRUE(runQueue(60000));
    EXPECT_EQ(rows(), QStringList{u"Home h1"_s}); // the login itself worked
    EXPECT_EQ(stored(u"Home"_s).pop3.incoming.userName, u"carol"_s);
    EXPECT_EQ(stored(u"Home"_s).pop3.incoming.password, u"wrong-a"_s);
    EXPECT_FALSE(folder().read(QStringLiteral("accounts.vlp")).contains(kAlicePw.toLatin1()));
}

// An answer reaches only a request that waits for one: not a request under way, and not one
// that a stop dropped while the prompt was open.
TEST_F(MailBoxDovecot, AnswersReachOnlyAWaitingLogin) {
    storeAccounts({home(u"wrong-a"_s), work(kBobPw)});
    fill(QStringLiteral("alice"), {"h1"});
    fill(QStringLiteral("bob"), {"w1"});
    const QByteArray before = folder().read(QStringLiteral("accounts.vlp"));

    // Work logs in with its stored details; stray answers while it connects change nothing.
    MailBox::self()->download(stored(QStringLiteral("Work")), false);
    MailBox::self()->go();
    MailBox::self()->cancel();
    MailBox::self()->retry(work(u"other"_s));
    EXPECT_EQ(MailBox::self()->queue().size(), 1);
    ASSERT_TRUE(runQueue(60000));
    EXPECT_EQ(rows(), QStringList{u"Work w1"_s});

    // The user stops the queue while Home's prompt is open; the OK that follows is too late.
    LoginAnswers answers({{true, kAlicePw, [] { MailBox::self()->stop(); }}});
    MailBox::self()->download(stored(QStringLiteral("Home")), false);
    ASSERT_TRUE(runQueue(60000));
    ASSERT_EQ(answers.seen.size(), 1);
    ASSERT_TRUE(vltest::waitUntil([&] { return answers.seen[0].answered; }));
    // The late OK starts nothing: a short look, ended early by a request that does start.
    EXPECT_FALSE(vltest::waitUntil([] { return MailBox::self()->busy() || MailBox::self()->client(); }, 300));
    EXPECT_FALSE(MailBox::self()->busy());
    EXPECT_FALSE(MailBox::self()->awaitingLogin());
    EXPECT_EQ(MailBox::self()->client(), nullptr);
    EXPECT_EQ(rows(), QStringList{u"Work w1"_s});
    EXPECT_TRUE(recorder->errors.isEmpty()) << recorder->errors.join(u'\n').toStdString();
    EXPECT_EQ(folder().read(QStringLiteral("accounts.vlp")), before);
}

} // namespace
