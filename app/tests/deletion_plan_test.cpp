// A batch of deletions without a mail table, against a real Dovecot ("Home" POP3 as alice,
// "Work" IMAP as bob): which delete requests it queues, which messages it keeps on their
// servers (account gone or changed, no safe copy), and what the mail log records.

#include "data_folder.h"

#include "app/AccountIdentity.h"
#include "app/MailBox.h"
#include "app/VLDeletionPlan.h"
#include "app/vl_file_cache.h"
#include "app/vl_history.h"
#include "data/store_account_list.h"
#include "data/store_options.h"

#include "DovecotServer.h"
#include "GuiHelpers.h"
#include "ScriptedPeer.h"
#include "TestCA.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using vltest::DovecotServer;

namespace {

// A listed message as a row holds it, without the row.
struct Row {
    QString account;
    AccountIdentity listedFrom;
    DataEmailMessage message;
    DataEmailStatus status;
};

DataAccount pop3Account(const QString &name, const QString &user) {
    DovecotServer &server = DovecotServer::instance();
    DataAccount a;
    a.type = DataAccount::POP3;
    a.pop3.name_.name = name;
    a.pop3.incoming.serverAddress = server.host();
    a.pop3.incoming.userName = user;
    a.pop3.incoming.password = user + u"-pw"_s;
    a.pop3.incoming.advanced.portNumber = server.pop3Port();
    return a;
}

DataAccount imapAccount(const QString &name, const QString &user) {
    DovecotServer &server = DovecotServer::instance();
    DataAccount a;
    a.type = DataAccount::IMAP;
    a.imap.name_.name = name;
    a.imap.incoming.serverAddress = server.host();
    a.imap.incoming.userName = user;
    a.imap.incoming.password = user + u"-pw"_s;
    a.imap.incoming.advanced.portNumber = server.imapPort();
    a.imap.incoming.advanced.useSSL = false;
    return a;
}

QByteArray file(const QByteArray &subject) {
    return "From: Sender <sender@example.org>\r\nTo: me@example.org\r\nSubject: " + subject +
           "\r\nMessage-ID: <" + subject +
           "@example.org>\r\nDate: Mon, 2 Jan 2006 10:20:30 -0800\r\n\r\nBody of " + subject + "\r\n";
}

// Longer than what a listing shows of it: POP3 shows 200 body lines, IMAP 8000 bytes.
QByteArray longFile(const QByteArray &subject) {
    QByteArray f = file(subject);
    for (int i = 1; i <= 300; ++i)
        f += "Line " + QByteArray::number(i) + " of a message longer than its listing shows.\r\n";
    return f;
}

// One line of 9000 bytes: whole in a POP3 listing, cut in an IMAP one.
QByteArray wideFile(const QByteArray &subject) {
    return file(subject) + QByteArray(9000, 'w') + "\r\n";
}

class DeletionPlan : public ::testing::Test {
protected:
    void SetUp() override {
        static apptest::DataFolder folder; // before the first store, for the life of the process
        m_folder = &folder;
        DataOptionsSummary &options = StoreOptions::options()->summary;
        options.allowRevovery = true;
        options.messageLogging = true;
        options.keepLogFor = 30;
        DovecotServer &dovecot = DovecotServer::instance();
        dovecot.addUser(u"alice"_s, u"alice-pw"_s);
        dovecot.addUser(u"bob"_s, u"bob-pw"_s);
        storeAccounts({pop3Account(u"Home"_s, u"alice"_s), imapAccount(u"Work"_s, u"bob"_s)});
    }
    void TearDown() override { MailBox::self()->stop(); }

    static void storeAccounts(const QList<DataAccount> &accounts) {
        StoreAccountList *store = StoreAccountList::accounts();
        store->accountList = accounts;
        store->setChanged(false);
        ASSERT_TRUE(store->saveToStore().isNull());
    }
    static const DataAccount &stored(const QString &name) {
        return *StoreAccountList::accounts()->account(name);
    }

    // What the queue says while it works, as "text" lines.
    struct Progress : QObject {
        QStringList texts;
        QStringList deleted;
        Progress() {
            connect(MailBox::self(), &MailBox::sigProgress, this,
                    [this](const DataAccount &, const QString &text, int, int) { texts << text; });
            connect(MailBox::self(), &MailBox::sigDeleted, this,
                    [this](const DataAccount &, const QString &uid) { deleted << uid; });
        }
    };

    static void fillFiles(const QString &user, const QList<QByteArray> &files) {
        vltest::fillMaildir(DovecotServer::instance().maildir(user), files);
    }
    static void fill(const QString &user, const QList<QByteArray> &subjects) {
        QList<QByteArray> files;
        for (const QByteArray &subject : subjects)
            files << file(subject);
        vltest::fillMaildir(DovecotServer::instance().maildir(user), files);
    }
    // The subjects of the messages in a user's mailbox.
    static QStringList onServer(const QString &user) {
        QStringList out;
        for (const char *sub : {"/new", "/cur"}) {
            const QDir dir(DovecotServer::instance().maildir(user) + QLatin1String(sub));
            for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
                QFile f(dir.filePath(name));
                if (f.open(QIODevice::ReadOnly)) {
                    const QByteArray bytes = f.readAll();
                    const qsizetype at = bytes.indexOf("Subject: ") + 9;
                    out << QString::fromLatin1(bytes.mid(at, bytes.indexOf('\r', at) - at));
                }
            }
        }
        out.sort();
        return out;
    }

    // Lists the account as a check does: its messages, as the rows would hold them.
    static QList<Row> listed(const QString &name) {
        QList<Row> rows;
        QObject context;
        QObject::connect(
            MailBox::self(),
            qOverload<const DataAccount &, const DataEmailMessage &, bool>(&MailBox::sigMessageData),
            &context, [&rows](const DataAccount &a, const DataEmailMessage &m, bool) {
                rows.append(Row{a.name(), AccountIdentity(a), m, DataEmailStatus()});
            });
        MailBox::self()->download(stored(name), false);
        EXPECT_TRUE(runQueue());
        return rows;
    }
    static bool runQueue() {
        MailBox::self()->go();
        const bool idle = vltest::waitUntil([] { return !MailBox::self()->busy(); }, 30000);
        QTest::qWait(20);
        return idle;
    }
    // The queued requests as "account uid uid ...", in queue order.
    static QStringList queue() {
        QStringList out;
        for (const MailBoxRequest &r : MailBox::self()->queue())
            out << (r.action == MailBoxRequest::Delete ? QString() : u"(download) "_s) + r.account.name() +
                       u' ' + r.ids.join(u' ');
        return out;
    }
    static Row &row(QList<Row> &rows, const QString &subject) {
        for (Row &r : rows)
            if (r.message.subject == subject)
                return r;
        throw std::runtime_error("no row " + subject.toStdString());
    }
    static void add(VLDeletionPlan &plan, Row &row, bool remove) {
        plan.add(row.account, row.listedFrom, row.message, row.status, remove);
    }

    // The mail log's file: "subject logging" per record, newest first, then "end".
    QStringList historyFile() const {
        return m_folder->mailLog([](const DataEmailSummary &entry) {
            return u"%1 %2"_s.arg(entry.subject).arg(entry.logging, 0, 16);
        });
    }
    const apptest::DataFolder &folder() const { return *m_folder; }

private:
    const apptest::DataFolder *m_folder = nullptr;
};

TEST_F(DeletionPlan, OneRequestPerAccountAndMailboxWithOnlyTheMessagesToRemove) {
    fill(u"alice"_s, {"A1", "A2", "A3"});
    fill(u"bob"_s, {"B1", "B2"});
    QList<Row> rows = listed(u"Home"_s) + listed(u"Work"_s);
    ASSERT_EQ(rows.size(), 5);

    // Handed in with the accounts interleaved, as a sorted table may hold them.
    VLDeletionPlan plan(VLDeletionPlan::Logged::Every);
    add(plan, row(rows, u"A1"_s), true);
    add(plan, row(rows, u"B1"_s), true);
    add(plan, row(rows, u"A2"_s), false);
    add(plan, row(rows, u"B2"_s), true);
    add(plan, row(rows, u"A3"_s), true);
    plan.carryOut();

    const auto uid = [&rows](const char *subject) { return row(rows, QLatin1String(subject)).message.uid; };
    EXPECT_EQ(queue(), (QStringList{u"Home "_s + uid("A1") + u' ' + uid("A3"),
                                    u"Work "_s + uid("B1") + u' ' + uid("B2")}));
    EXPECT_EQ(
        plan.queued(),
        (QList<QPair<QString, QString>>{
            {u"Home"_s, uid("A1")}, {u"Home"_s, uid("A3")}, {u"Work"_s, uid("B1")}, {u"Work"_s, uid("B2")}}));
    EXPECT_TRUE(plan.failure().isNull());
    // The queue is the caller's to start.
    EXPECT_FALSE(MailBox::self()->busy());
    for (const Row &r : rows)
        EXPECT_EQ(bool(r.status.logging & DataEmailStatus::LogDelete), r.message.subject != u"A2"_s)
            << r.message.subject.toStdString();
    // Each message that goes is in the recycle bin, byte for byte; the one that stays is not
    // copied by the plan.
    for (const char *subject : {"A1", "A3", "B1", "B2"})
        EXPECT_EQ(VLFileCache::self()->bytes(QLatin1String(subject) + u"@example.org"_s), file(subject))
            << subject;
    EXPECT_FALSE(VLFileCache::self()->exists(u"A2@example.org"_s));

    ASSERT_TRUE(runQueue());
    EXPECT_EQ(onServer(u"alice"_s), QStringList{u"A2"_s});
    EXPECT_TRUE(onServer(u"bob"_s).isEmpty());
}

TEST_F(DeletionPlan, ADeleteGoesOnlyToTheMailboxThatListedIt) {
    fill(u"alice"_s, {"C1", "C2"});
    fill(u"bob"_s, {"D1"});
    QList<Row> rows = listed(u"Home"_s) + listed(u"Work"_s);
    ASSERT_EQ(rows.size(), 3);
    // C2 was listed when Home named another server: its delete must not reach alice's
    // mailbox, while C1's, listed from it, does.
    DataAccount before = stored(u"Home"_s);
    before.pop3.incoming.serverAddress = u"old.example.org"_s;
    row(rows, u"C2"_s).listedFrom = AccountIdentity(before);
    // Work now names alice's mailbox; its row came from bob's.
    DataAccount work = stored(u"Work"_s);
    work.imap.incoming.userName = u"alice"_s;
    work.imap.incoming.password = u"alice-pw"_s;
    // And a row of an account no longer stored at all.
    Row gone = row(rows, u"D1"_s);
    gone.account = u"Gone"_s;
    storeAccounts({stored(u"Home"_s), work});

    VLDeletionPlan plan(VLDeletionPlan::Logged::DeletedOnly);
    for (Row &r : rows)
        add(plan, r, true);
    add(plan, gone, true);
    plan.carryOut();
    EXPECT_EQ(queue(), QStringList{u"Home "_s + row(rows, u"C1"_s).message.uid});
    EXPECT_TRUE(plan.failure().isNull());
    EXPECT_FALSE(row(rows, u"C2"_s).status.logging & DataEmailStatus::LogDelete);
    EXPECT_FALSE(row(rows, u"D1"_s).status.logging & DataEmailStatus::LogDelete);
    EXPECT_FALSE(gone.status.logging & DataEmailStatus::LogDelete);
    // Nothing kept is copied or logged.
    EXPECT_FALSE(VLFileCache::self()->exists(u"C2@example.org"_s));
    EXPECT_FALSE(VLFileCache::self()->exists(u"D1@example.org"_s));
    EXPECT_EQ(historyFile(), (QStringList{u"C1 2"_s, u"end"_s}));

    ASSERT_TRUE(runQueue());
    EXPECT_EQ(onServer(u"alice"_s), QStringList{u"C2"_s});
    EXPECT_EQ(onServer(u"bob"_s), QStringList{u"D1"_s});
}

TEST_F(DeletionPlan, AMessageWhoseCopyCannotBeMadeStaysOnItsServer) {
    fill(u"alice"_s, {"K1", "K2", "K3"});
    QList<Row> rows = listed(u"Home"_s);
    ASSERT_EQ(rows.size(), 3);
    // A folder where K2's copy belongs: that copy cannot be written, the others can.
    const QString blocked = VLFileCache::self()->path(u"K2@example.org"_s);
    ASSERT_TRUE(QDir().mkpath(blocked));

    VLDeletionPlan plan(VLDeletionPlan::Logged::Every);
    for (Row &r : rows)
        add(plan, r, true);
    plan.carryOut();
    EXPECT_EQ(queue(), QStringList{u"Home "_s + row(rows, u"K1"_s).message.uid + u' ' +
                                   row(rows, u"K3"_s).message.uid});
    EXPECT_EQ(plan.failure(), blocked + u": cannot save"_s);
    EXPECT_FALSE(row(rows, u"K2"_s).status.logging & DataEmailStatus::LogDelete);
    // Logged as kept, not as deleted.
    EXPECT_EQ(historyFile(), (QStringList{u"K3 2"_s, u"K2 0"_s, u"K1 2"_s, u"end"_s}));
    ASSERT_TRUE(runQueue());
    EXPECT_EQ(onServer(u"alice"_s), QStringList{u"K2"_s});

    // Without a recycle bin no copy is needed: K2 goes too.
    StoreOptions::options()->summary.allowRevovery = false;
    VLDeletionPlan again(VLDeletionPlan::Logged::Every);
    add(again, row(rows, u"K2"_s), true);
    again.carryOut();
    EXPECT_TRUE(again.failure().isNull());
    ASSERT_TRUE(runQueue());
    EXPECT_TRUE(onServer(u"alice"_s).isEmpty());
}

TEST_F(DeletionPlan, AMessageListedInPartIsCopiedWholeBeforeItsDeleteGoesOut) {
    vltest::TestCA::instance(); // SSL_CERT_FILE names the test's own authority
    DovecotServer &dovecot = DovecotServer::instance();
    dovecot.addUser(u"carl"_s, u"carl-pw"_s);
    dovecot.addUser(u"dora"_s, u"dora-pw"_s);
    DataAccount homeTLS = pop3Account(u"HomeTLS"_s, u"carl"_s);
    homeTLS.pop3.incoming.advanced.useSSL = true;
    homeTLS.pop3.incoming.advanced.portNumber = dovecot.pop3sPort();
    DataAccount workTLS = imapAccount(u"WorkTLS"_s, u"dora"_s);
    workTLS.imap.incoming.advanced.useSSL = true;
    workTLS.imap.incoming.advanced.portNumber = dovecot.imapsPort();
    storeAccounts({stored(u"Home"_s), stored(u"Work"_s), homeTLS, workTLS});
    struct Case {
        const char *account;
        const char *user;
        QByteArray prefix;
        bool pop3;
    };
    const Case cases[] = {
        {"Home", "alice", "PP", true},
        {"Work", "bob", "IP", false},
        {"HomeTLS", "carl", "PT", true},
        {"WorkTLS", "dora", "IT", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.account);
        const QByteArray longOne = c.prefix + "-long", shortOne = c.prefix + "-short",
                         wideOne = c.prefix + "-wide";
        const QHash<QString, QByteArray> files{{QLatin1String(longOne), longFile(longOne)},
                                               {QLatin1String(shortOne), file(shortOne)},
                                               {QLatin1String(wideOne), wideFile(wideOne)}};
        fillFiles(QLatin1String(c.user),
                  {files.value(QLatin1String(longOne)), files.value(QLatin1String(shortOne)),
                   files.value(QLatin1String(wideOne))});
        QList<Row> rows = listed(QLatin1String(c.account));
        ASSERT_EQ(rows.size(), 3);
        // What processing copies first: every message as its row holds it.
        for (const Row &r : rows)
            ASSERT_TRUE(VLFileCache::self()->addFile(r.message.identifier(), r.message.raw));

        VLDeletionPlan plan(VLDeletionPlan::Logged::Every);
        for (Row &r : rows)
            add(plan, r, true);
        plan.carryOut();
        ASSERT_EQ(MailBox::self()->queue().size(), 1);
        // Only what the listing showed in part is fetched again.
        QStringList partial{row(rows, QLatin1String(longOne)).message.uid};
        if (!c.pop3)
            partial << row(rows, QLatin1String(wideOne)).message.uid;
        EXPECT_EQ(MailBox::self()->queue().first().whole.uids, partial);
        EXPECT_EQ(plan.queued().size(), 3);

        Progress progress;
        ASSERT_TRUE(runQueue());
        EXPECT_EQ(progress.deleted.size(), 3) << progress.texts.join(u'|').toStdString();
        EXPECT_TRUE(onServer(QLatin1String(c.user)).isEmpty());
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            EXPECT_EQ(VLFileCache::self()->bytes(it.key() + u"@example.org"_s), it.value())
                << it.key().toStdString();
    }
}

TEST_F(DeletionPlan, AMessageWhoseWholeCopyCannotBeMadeStaysOnItsServer) {
    // The copy cannot be written: a folder where the first message's copy belongs.
    const struct {
        const char *account;
        const char *user;
        QByteArray kept, goes;
    } servers[] = {{"Home", "alice", "W1", "W2"}, {"Work", "bob", "X1", "X2"}};
    for (const auto &c : servers) {
        SCOPED_TRACE(c.account);
        fillFiles(QLatin1String(c.user), {longFile(c.kept), longFile(c.goes)});
        QList<Row> rows = listed(QLatin1String(c.account));
        ASSERT_EQ(rows.size(), 2);
        const QString blocked = VLFileCache::self()->path(QLatin1String(c.kept) + u"@example.org"_s);
        ASSERT_TRUE(QDir().mkpath(blocked));
        VLDeletionPlan plan(VLDeletionPlan::Logged::Every);
        for (Row &r : rows)
            add(plan, r, true);
        plan.carryOut();
        Progress progress;
        ASSERT_TRUE(runQueue());
        EXPECT_EQ(progress.deleted, QStringList{row(rows, QLatin1String(c.goes)).message.uid});
        EXPECT_EQ(onServer(QLatin1String(c.user)), QStringList{QLatin1String(c.kept)});
        // Said when it happened, and again as the session's last word.
        ASSERT_FALSE(progress.texts.isEmpty());
        EXPECT_EQ(progress.texts.last(), blocked + u": cannot save"_s);
        EXPECT_EQ(progress.texts.count(blocked + u": cannot save"_s), 2);
        EXPECT_EQ(VLFileCache::self()->bytes(QLatin1String(c.goes) + u"@example.org"_s), longFile(c.goes));
    }

    // The server will not hand the message over whole.
    vltest::ScriptedPeer peer;
    peer.loadDialogue(QStringLiteral(VL_TEST_DATA_DIR "/dialogues/pop3_retr_refused.txt"));
    ASSERT_TRUE(peer.start());
    DataAccount account = pop3Account(u"Peer"_s, u"user"_s);
    account.pop3.incoming.serverAddress = peer.host();
    account.pop3.incoming.advanced.portNumber = peer.serverPort();
    account.pop3.incoming.password = u"secret"_s;
    storeAccounts({stored(u"Home"_s), account});
    QList<Row> peerRows;
    for (const char *uid : {"uid-a", "uid-b"}) {
        Row r{u"Peer"_s, AccountIdentity(account), DataEmailMessage(), DataEmailStatus()};
        r.message.uid = QLatin1String(uid);
        r.message.loadEmail(SODataArray("Subject: " + QByteArray(uid) + "\r\nMessage-ID: <" + uid +
                                        "@peer.example.org>\r\n\r\nfirst lines only\r\n"));
        peerRows << r;
    }
    VLDeletionPlan plan(VLDeletionPlan::Logged::Every);
    for (Row &r : peerRows)
        add(plan, r, true);
    plan.carryOut();
    Progress progress;
    ASSERT_TRUE(runQueue());
    EXPECT_TRUE(peer.mismatches().isEmpty()) << peer.mismatches().join(u'\n').toStdString();
    EXPECT_EQ(progress.deleted, QStringList{u"uid-b"_s});
    EXPECT_EQ(progress.texts.last(),
              VLFileCache::self()->path(u"uid-a@peer.example.org"_s) + u": cannot save"_s);
    EXPECT_FALSE(VLFileCache::self()->exists(u"uid-a@peer.example.org"_s));
}

TEST_F(DeletionPlan, WithoutARecycleBinNothingMoreIsFetched) {
    StoreOptions::options()->summary.allowRevovery = false;
    fillFiles(u"bob"_s, {longFile("Q1")});
    QList<Row> rows = listed(u"Work"_s);
    ASSERT_EQ(rows.size(), 1);
    ASSERT_FALSE(rows.first().message.complete);
    VLDeletionPlan plan(VLDeletionPlan::Logged::Every);
    add(plan, rows.first(), true);
    plan.carryOut();
    ASSERT_EQ(MailBox::self()->queue().size(), 1);
    EXPECT_TRUE(MailBox::self()->queue().first().whole.uids.isEmpty());
    Progress progress;
    ASSERT_TRUE(runQueue());
    EXPECT_EQ(progress.texts, QStringList{u"Deleting message 1 of 1"_s});
    EXPECT_TRUE(onServer(u"bob"_s).isEmpty());
    EXPECT_FALSE(VLFileCache::self()->exists(u"Q1@example.org"_s));
}

TEST_F(DeletionPlan, TheMailLogRecordsEveryMessageHandedInOrOnlyThoseThatGo) {
    fill(u"alice"_s, {"L1", "L2", "L3"});
    const QList<Row> listedRows = listed(u"Home"_s);
    ASSERT_EQ(listedRows.size(), 3);
    struct Case {
        const char *name;
        VLDeletionPlan::Logged logged;
        bool messageLogging;
        QStringList history; // empty: the file is left as it was
    };
    // L1 goes; L2 stays, bounced; L3 was to go, but it was listed from another mailbox.
    const Case cases[] = {
        {"logging off", VLDeletionPlan::Logged::Every, false, {}},
        {"automatic", VLDeletionPlan::Logged::DeletedOnly, true, {u"L1 2"_s, u"end"_s}},
        {"processing", VLDeletionPlan::Logged::Every, true, {u"L3 0"_s, u"L2 1"_s, u"L1 2"_s, u"end"_s}},
    };
    const QByteArray untouched = "not read, not written\n";
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        folder().write(u"history.vlp"_s, untouched);
        VLHistory::self()->clear();
        StoreOptions::options()->summary.messageLogging = c.messageLogging;
        QList<Row> rows = listedRows;
        row(rows, u"L2"_s).status.logging = DataEmailStatus::LogBounce;
        row(rows, u"L3"_s).listedFrom.user = u"someone-else"_s;
        VLDeletionPlan plan(c.logged);
        for (Row &r : rows)
            add(plan, r, r.message.subject != u"L2"_s);
        plan.carryOut();
        MailBox::self()->stop();
        if (c.history.isEmpty())
            EXPECT_EQ(folder().read(u"history.vlp"_s), untouched);
        else
            EXPECT_EQ(historyFile(), c.history);
    }
}

TEST_F(DeletionPlan, AutomaticDeletionWithNothingToDeleteLeavesTheLogAlone) {
    fill(u"alice"_s, {"N1"});
    QList<Row> rows = listed(u"Home"_s);
    ASSERT_EQ(rows.size(), 1);
    const QByteArray untouched = "not read, not written\n";
    folder().write(u"history.vlp"_s, untouched);
    VLDeletionPlan plan(VLDeletionPlan::Logged::DeletedOnly);
    add(plan, rows.first(), false);
    plan.carryOut();
    EXPECT_TRUE(queue().isEmpty());
    EXPECT_TRUE(plan.queued().isEmpty());
    EXPECT_EQ(folder().read(u"history.vlp"_s), untouched);
}

} // namespace
