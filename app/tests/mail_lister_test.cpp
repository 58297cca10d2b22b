// The mail lister between the queue's messages and the table: the end of a list, the late
// answers of the DNS blacklists and the community service (emitted on the real lookup
// singletons), automatic deletion, deletion reports, rescans and the seen list.

#include "mailbox_fixture.h"

#include "app/vl_file_cache.h"
#include "app/vl_history.h"
#include "app/vl_seen_email_list.h"
#include "data/store_list_matches.h"
#include "data/store_tools.h"
#include "engine/VLDNSRBL.h"
#include "engine/VLTM.h"

#include "DnsServer.h"
#include "ScriptedPeer.h"
#include "ServerProcess.h"
#include "StderrCapture.h"

#include <QFile>
#include <QRegularExpression>

using namespace Qt::Literals::StringLiterals;

using namespace mailboxtest;

namespace {

DataEmailMessage mail(const QString &account, const QString &uid, const QString &from = u"a@example.org"_s) {
    DataEmailMessage m;
    m.account = account;
    m.uid = uid;
    m.subject = m.encSubject = u"subject "_s + uid;
    m.messageID = uid + u"@example.org"_s;
    m.from = m.encFrom = m.rawFrom = from;
    m.raw.append(QByteArray("Subject: subject " + uid.toLatin1() + "\r\n\r\nbody\r\n"));
    // A short message: its listing holds all of it, as a client says of one.
    m.complete = true;
    return m;
}

class MailLister : public MailBoxTest {
protected:
    void SetUp() override {
        MailBoxTest::SetUp();
        StoreTools::tools()->origin = DataToolsOrigin();
        StoreTools::tools()->tm = DataToolsTM();
        home = pop3Account(u"Home"_s, u"127.0.0.1"_s, 9, u"user"_s, u"secret"_s);
        work = imapAccount(u"Work"_s, u"127.0.0.1"_s, 9, u"user"_s, u"secret"_s, false);
        storeAccounts({home, work});
    }

    // One check of the account as the queue reports it: each message, then the list.
    void deliver(const DataAccount &account, const QStringList &uids, bool timed = false) {
        DataEmailList list;
        for (const QString &uid : uids) {
            const DataEmailMessage m = mail(account.name(), uid);
            lister->slotMessageData(account, m, timed);
            list << m;
        }
        lister->slotMessageData(account, list, timed);
    }
    VLScannerItem *row(const QString &account, const QString &uid) const {
        return VLScannerItem::findMessage(account + u'_' + uid);
    }
    QStringList uids() const {
        QStringList out;
        for (int r = 0; r < table()->numVirtualRows(); ++r)
            out << table()->scannerItem(r)->account() + u' ' + table()->scannerItem(r)->message().uid;
        return out;
    }

    // A POP3 account whose server greets, then stalls a while and hangs up: the queue stays
    // busy with it meanwhile.
    static DataAccount stallingAccount(vltest::ScriptedPeer &peer, const QString &name) {
        peer.loadDialogue(QStringLiteral(VL_TEST_DATA_DIR "/dialogues/pop3_greet_then_stall.txt"));
        EXPECT_TRUE(peer.start());
        return pop3Account(name, peer.host(), peer.serverPort(), u"user"_s, u"secret"_s);
    }

    DataAccount home;
    DataAccount work;
};

// ---------------------------------------------------------------- end of a list

TEST_F(MailLister, EndOfListRemovesOnlyThatAccountsGoneRowsAndCountsNewOnes) {
    deliver(home, {u"1"_s, u"2"_s, u"3"_s}, true);
    deliver(work, {u"1"_s});
    EXPECT_EQ(recorder->starting(u"newMail"_s),
              (QStringList{u"newMail any=1 timed=1"_s, u"newMail any=1 timed=0"_s}));
    VLScannerItem *three = row(u"Home"_s, u"3"_s);
    three->setDeleteChecked(QString(), true);

    // A second check of Home: 2 is gone, 4 is new, the others keep their rows and marks.
    deliver(home, {u"1"_s, u"3"_s, u"4"_s});
    EXPECT_EQ(uids(), (QStringList{u"Home 1"_s, u"Home 3"_s, u"Work 1"_s, u"Home 4"_s}));
    EXPECT_EQ(row(u"Home"_s, u"3"_s), three);
    EXPECT_TRUE(three->isDeleteChecked());
    EXPECT_EQ(recorder->starting(u"newMail"_s).last(), u"newMail any=1 timed=0"_s);
    deliver(home, {u"1"_s, u"3"_s, u"4"_s});
    EXPECT_EQ(recorder->starting(u"newMail"_s).last(), u"newMail any=0 timed=0"_s);

    deliver(home, {});
    EXPECT_EQ(uids(), QStringList{u"Work 1"_s});
    EXPECT_EQ(progressText(), u"Home: Mailbox is empty"_s);
}

TEST_F(MailLister, SeenMessagesAreKeyedByIdentityAndHiddenWhenAsked) {
    StoreOptions::options()->display.readDisplay = false;
    DataEmailMessage noId = mail(u"Home"_s, u"2"_s);
    noId.messageID.clear();
    noId.date = u"Mon, 2 Jan 2006 10:20:30 -0800"_s;
    VLSeenEmailList *seen = VLSeenEmailList::self();
    seen->add(u"Home"_s, u"1@example.org"_s);
    seen->add(u"Home"_s, noId.identifier()); // subject "_" date without a Message-ID
    seen->add(u"Home"_s, u"gone@example.org"_s);
    seen->setTm(u"Home"_s, u"1@example.org"_s);

    lister->slotLoggedIn(home, false);
    const DataEmailMessage one = mail(u"Home"_s, u"1"_s);
    lister->slotMessageData(home, one, false);
    lister->slotMessageData(home, noId, false);
    lister->slotMessageData(home, DataEmailList{one, noId}, false);

    for (const QString &uid : {u"1"_s, u"2"_s}) {
        SCOPED_TRACE(uid.toStdString());
        VLScannerItem *item = row(u"Home"_s, uid);
        ASSERT_TRUE(item);
        EXPECT_TRUE(item->isMessageRead());
        EXPECT_TRUE(item->status().hide);
        EXPECT_TRUE(table()->isRowHidden(item->row()));
    }
    EXPECT_FALSE(row(u"Home"_s, u"1"_s)->hasReport());
    // Hidden, yet still new mail.
    EXPECT_EQ(recorder->starting(u"newMail"_s), QStringList{u"newMail any=1 timed=0"_s});
    EXPECT_EQ(progressText(), u"2 emails hidden from list"_s);
    EXPECT_TRUE(seenFileHas(u"Home"_s, u"1@example.org"_s));
    EXPECT_TRUE(seenFileHas(u"Home"_s, noId.identifier()));
    EXPECT_FALSE(seenFileHas(u"Home"_s, u"gone@example.org"_s));
}

// ---------------------------------------------------------------- late answers

TEST_F(MailLister, BlacklistAnswerTakesOnlyRowsWithoutVerdict) {
    DataToolsOrigin &origin = StoreTools::tools()->origin;
    origin.markForDeletion = true;
    origin.markForBouncing = true;
    origin.displayOrHide = 2;
    origin.addToBlacklist = true;
    origin.whence = 1;
    StoreTools::tools()->learning.spam.colorRow = true;
    StoreTools::tools()->learning.spam.useColor = u"#ff0000"_s;
    deliver(home, {u"plain"_s, u"bayes"_s, u"friend"_s});
    row(u"Home"_s, u"bayes"_s)->status().klass = 1;
    row(u"Home"_s, u"friend"_s)->status().klass = 3;

    for (const QString &uid : {u"plain"_s, u"bayes"_s, u"friend"_s, u"none"_s})
        Q_EMIT VLDNSRBL::self().sigRBLMatched(u"List <b>"_s, u"127.0.0.2"_s, u"Home_"_s + uid);

    const VLScannerItem *plain = row(u"Home"_s, u"plain"_s);
    const DataEmailStatus &s = plain->status();
    EXPECT_EQ(s.status, u"List <b>"_s);
    EXPECT_TRUE(s.reason.endsWith(u"<nobr>*  Realtime Blackhole List</nobr><br/>"_s));
    EXPECT_FALSE(s.reason.contains(u"<b>"_s));
    EXPECT_EQ(s.klass, 6);
    EXPECT_TRUE(s.logging & 0x400);
    EXPECT_TRUE(plain->isDeleteChecked());
    EXPECT_TRUE(plain->isBounceChecked());
    EXPECT_TRUE(s.markBlacklist);
    EXPECT_FALSE(s.autoDelete);
    EXPECT_EQ(s.bgColor, u"#ff0000"_s);
    EXPECT_TRUE(table()->isRowHidden(plain->row()));
    for (const QString &uid : {u"bayes"_s, u"friend"_s}) {
        const DataEmailStatus &other = row(u"Home"_s, uid)->status();
        EXPECT_NE(other.klass, 6) << uid.toStdString();
        EXPECT_FALSE(other.logging & 0x400) << uid.toStdString();
        EXPECT_FALSE(row(u"Home"_s, uid)->isDeleteChecked()) << uid.toStdString();
    }
}

TEST_F(MailLister, CommunityAnswerSparesTheUsersOwnVerdictsAndIsLogged) {
    StoreTools::tools()->tm.markForDeletion = true;
    StoreTools::tools()->tm.whence = 2;
    struct Case {
        const char *uid;
        int klass;
        int logging;
        bool found;
        bool applied;
    };
    const Case cases[] = {
        {"plain", 0, 0, true, true},          {"bayes", 1, 0x200, true, true},
        {"blacklisted", 4, 0x80, true, true}, {"friend", 3, 0x40, true, false},
        {"legit", 5, 0x20, true, false},      {"unknown", 0, 0, false, false},
    };
    QStringList all;
    for (const Case &c : cases)
        all << QLatin1String(c.uid);
    deliver(home, all);
    for (const Case &c : cases) {
        VLScannerItem *item = row(u"Home"_s, QLatin1String(c.uid));
        item->status().klass = c.klass;
        item->status().logging = c.logging;
        item->setReportChecked(QString(), true);
    }
    for (const Case &c : cases)
        Q_EMIT VLTM::self().sigTMDone(u"Home_"_s + QLatin1String(c.uid), c.found);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.uid);
        const VLScannerItem *item = row(u"Home"_s, QLatin1String(c.uid));
        const DataEmailStatus &s = item->status();
        EXPECT_EQ(s.klass == 7, c.applied);
        EXPECT_EQ(bool(s.logging & 0x004), c.applied);
        EXPECT_EQ(s.status == u"Known Spam"_s, c.applied);
        EXPECT_EQ(s.autoDelete, c.applied);
        EXPECT_EQ(item->isDeleteChecked(), c.applied);
        // Reported by the community already: no second report, and a checked box counts.
        EXPECT_EQ(item->hasReport(), !c.applied);
        EXPECT_EQ(bool(s.logging & 0x008), c.applied);
    }
}

// ---------------------------------------------------------------- automatic deletion

TEST_F(MailLister, AutoDeletionQueuesEachMessageOnceAndKeepsItsCopyFirst) {
    vltest::ScriptedPeer peer;
    const DataAccount account = stallingAccount(peer, u"Home"_s);
    storeAccounts({account, work});

    deliver(account, {u"1"_s, u"2"_s});
    VLScannerItem *one = row(u"Home"_s, u"1"_s);
    one->status().autoDelete = true;
    // The list ends with the queue idle and no lookup running: the deletion goes out.
    deliver(account, {u"1"_s, u"2"_s});
    ASSERT_EQ(MailBox::self()->queue().size(), 1);
    EXPECT_EQ(MailBox::self()->queue().first().action, MailBoxRequest::Delete);
    EXPECT_EQ(MailBox::self()->queue().first().ids, QStringList{u"1"_s});
    EXPECT_EQ(recorder->starting(u"connecting"_s), QStringList{u"connecting Home delete"_s});
    // Kept before deleting: in the recycle bin and in the mail log.
    EXPECT_EQ(VLFileCache::self()->bytes(u"1@example.org"_s), QByteArray(one->message().raw));
    ASSERT_EQ(VLHistory::self()->emailList()->size(), 1);
    EXPECT_TRUE(VLHistory::self()->emailList()->first()->logging & 0x002);
    EXPECT_TRUE(folder().exists(u"history.vlp"_s));

    // A second list end while the deletion is still under way queues nothing again.
    deliver(account, {u"1"_s, u"2"_s});
    EXPECT_EQ(MailBox::self()->queue().size(), 1);

    // The server hangs up: the deletion failed. The queue's idle check does not retry it: a
    // short look, ended early by a request or a connection that does.
    ASSERT_TRUE(vltest::waitUntil([] { return !MailBox::self()->busy(); }));
    ASSERT_TRUE(vltest::waitUntil([&] { return !recorder->errors.isEmpty(); }));
    EXPECT_FALSE(vltest::waitUntil(
        [&] { return !MailBox::self()->queue().isEmpty() || peer.connections() > 1; }, 300));
    EXPECT_TRUE(MailBox::self()->queue().isEmpty());
    EXPECT_EQ(peer.connections(), 1);
    EXPECT_EQ(recorder->errors.size(), 1);
    // ...but the account's next check does, once.
    deliver(account, {u"1"_s, u"2"_s});
    EXPECT_EQ(MailBox::self()->queue().size(), 1);
    ASSERT_TRUE(vltest::waitUntil([&] { return peer.connections() == 2; }));
}

TEST_F(MailLister, AutoDeletionWaitsUntilTheQueueIsIdle) {
    vltest::ScriptedPeer busyServer;
    const DataAccount other = stallingAccount(busyServer, u"Other"_s);
    storeAccounts({home, other});
    deliver(home, {u"1"_s});
    row(u"Home"_s, u"1"_s)->status().autoDelete = true;
    // Another account's check is under way when Home's list ends: the deletion waits.
    MailBox::self()->download(other, false);
    MailBox::self()->go();
    deliver(home, {u"1"_s});
    ASSERT_EQ(MailBox::self()->queue().size(), 1);
    EXPECT_EQ(MailBox::self()->queue().first().action, MailBoxRequest::Download);
    // The check fails and the queue runs dry: now the deletion goes out. Its server refuses at
    // once, so the request is seen as it starts, not by looking at the queue later.
    QList<MailBoxRequest> started;
    QObject context;
    QObject::connect(MailBox::self(), &MailBox::sigConnecting, &context,
                     [&started](const DataAccount &, bool del) {
                         if (del && !MailBox::self()->queue().isEmpty())
                             started.append(MailBox::self()->queue().first());
                     });
    ASSERT_TRUE(vltest::waitUntil([&started] { return !started.isEmpty(); }));
    EXPECT_EQ(started.first().action, MailBoxRequest::Delete);
    EXPECT_EQ(started.first().ids, QStringList{u"1"_s});
    EXPECT_EQ(started.first().account.name(), u"Home"_s);
    // Whoever else heard of the idle queue heard it before the deletion started.
    EXPECT_EQ(
        recorder->events.filter(QRegularExpression(u"^(busy|idle|connecting)"_s)),
        (QStringList{u"connecting Other"_s, u"busy"_s, u"idle"_s, u"connecting Home delete"_s, u"busy"_s}));
}

TEST_F(MailLister, AutoDeletionLeavesAMessageWhoseCopyCannotBeSaved) {
    // A plain file where the recycle bin's folder belongs: no copy can be written.
    folder().write(u"cache"_s, "in the way");
    deliver(home, {u"1"_s});
    row(u"Home"_s, u"1"_s)->status().autoDelete = true;
    deliver(home, {u"1"_s});
    EXPECT_TRUE(MailBox::self()->queue().isEmpty());
    EXPECT_FALSE(MailBox::self()->busy());
    EXPECT_TRUE(progressText().endsWith(u": cannot save"_s)) << progressText().toStdString();
    EXPECT_TRUE(progressText().contains(u"cache"_s)) << progressText().toStdString();
    EXPECT_EQ(uids(), QStringList{u"Home 1"_s});
}

TEST_F(MailLister, AutoDeletionOfAnAccountThatChangedIsDropped) {
    deliver(home, {u"1"_s});
    row(u"Home"_s, u"1"_s)->status().autoDelete = true;
    DataAccount moved = home;
    moved.pop3.incoming.serverAddress = u"other.example.org"_s;
    storeAccounts({moved, work});
    deliver(home, {u"1"_s});
    EXPECT_TRUE(MailBox::self()->queue().isEmpty());
    EXPECT_FALSE(MailBox::self()->busy());
}

TEST_F(MailLister, AutoDeletionWaitsForTheBlacklistAnswerFromRealDns) {
    QString why;
    if (!vltest::DnsServer::canRun(&why))
        GTEST_SKIP() << why.toStdString();
    vltest::DnsServer dns;
    dns.addZone(u"bl.test"_s);
    dns.addRecord(u"4.3.2.1.bl.test"_s, u"127.0.0.2"_s);
    dns.start(vltest::ownLoopbackAddress());
    VLDNSRBL::self().setNameServer(dns.address());
    VLDNSRBL::self().setRBLList({u"Test List"_s, u"bl.test"_s});
    StoreTools::tools()->origin.checkDNS = true;
    StoreTools::tools()->origin.whence = 2;

    vltest::ScriptedPeer peer;
    const DataAccount account = stallingAccount(peer, u"Home"_s);
    storeAccounts({account});

    DataEmailMessage listed = mail(u"Home"_s, u"1"_s);
    listed.recvfrom = u"[1.2.3.4]"_s;
    DataEmailMessage clean = mail(u"Home"_s, u"2"_s);
    clean.recvfrom = u"[5.6.7.8]"_s;
    lister->slotMessageData(account, listed, false);
    lister->slotMessageData(account, clean, false);
    lister->slotMessageData(account, DataEmailList{listed, clean}, false);
    // The lookups still run: nothing is deleted before their answers.
    EXPECT_TRUE(MailBox::self()->queue().isEmpty());
    ASSERT_TRUE(vltest::waitUntil([] { return !MailBox::self()->queue().isEmpty(); }));
    EXPECT_FALSE(VLDNSRBL::self().busy());
    EXPECT_EQ(row(u"Home"_s, u"1"_s)->status().klass, 6);
    EXPECT_EQ(row(u"Home"_s, u"1"_s)->status().status, u"Test List"_s);
    EXPECT_EQ(MailBox::self()->queue().first().ids, QStringList{u"1"_s});
    EXPECT_EQ(row(u"Home"_s, u"2"_s)->status().klass, 0);
}

// ---------------------------------------------------------------- deletion reports, rescans

TEST_F(MailLister, DeletionReportsRemoveEightAtOnceAndFewerAfterTheDelay) {
    QStringList all;
    for (int i = 1; i <= 11; ++i)
        all << QString::number(i);
    deliver(home, all);
    ASSERT_EQ(table()->numVirtualRows(), 11);
    for (int i = 1; i <= 8; ++i)
        lister->slotDeleted(home, QString::number(i));
    EXPECT_EQ(uids(), (QStringList{u"Home 9"_s, u"Home 10"_s, u"Home 11"_s}));
    lister->slotDeleted(home, u"9"_s);
    lister->slotDeleted(home, u"10"_s);
    lister->slotDeleted(work, u"11"_s); // another account's uid
    lister->slotDeleted(home, u"99"_s); // no such row
    EXPECT_EQ(table()->numVirtualRows(), 3);
    ASSERT_TRUE(waitForRowsGone({u"Home 9"_s, u"Home 10"_s}));
    EXPECT_EQ(uids(), QStringList{u"Home 11"_s});
}

TEST_F(MailLister, TwoStoreChangesMakeOneRescanThatReappliesHiding) {
    StoreTools::tools()->friends.action = 2; // friends are listed hidden
    deliver(home, {u"1"_s, u"2"_s});
    EXPECT_FALSE(table()->isRowHidden(0));
    vltest::StderrCapture capture;
    StoreListEmailMatch::friends()->add(mail(u"Home"_s, u"x"_s));
    Q_EMIT StoreListEmailMatch::friends()->changed();
    // The event loop turns between the two changes; the rescan waits for more.
    QCoreApplication::processEvents();
    EXPECT_EQ(capture.text().count("VLMailLister::slotDoRescan: called"), 0);
    Q_EMIT StoreTools::tools()->changed();
    ASSERT_TRUE(capture.waitFor("VLMailLister::slotDoRescan: called"));
    // No second rescan follows: a look as long as the delay, ended early by one that does.
    EXPECT_FALSE(
        capture.waitFor("VLMailLister::slotDoRescan: called", 2, VLMailLister::kRescanDelayMs + 200));
    const QByteArray trace = capture.stop();
    EXPECT_EQ(trace.count("VLMailLister::slotRescan: called"), 2);
    EXPECT_EQ(trace.count("VLMailLister::slotDoRescan: called"), 1);
    EXPECT_EQ(row(u"Home"_s, u"1"_s)->status().klass, 3);
    EXPECT_EQ(table()->item(0, table()->mapFieldToCol(VLMailTable::Status))->text(), u"Friend"_s);
    EXPECT_TRUE(table()->isRowHidden(0));
    EXPECT_TRUE(table()->isRowHidden(1));
    EXPECT_EQ(progressText(), u"2 emails hidden from list"_s);
}

TEST_F(MailLister, TheHiddenCountFollowsTheRowsThatAreStillHidden) {
    StoreTools::tools()->friends.action = 2; // friends are listed hidden
    StoreListEmailMatch::friends()->add(mail(u"Home"_s, u"x"_s));
    deliver(home, {u"1"_s, u"2"_s, u"3"_s});
    ASSERT_EQ(progressText(), u"3 emails hidden from list"_s);

    // Hidden rows deleted on the server: the count shrinks...
    lister->slotDeleted(home, u"1"_s);
    ASSERT_TRUE(waitForRowsGone({u"Home 1"_s}));
    EXPECT_EQ(progressText(), u"2 emails hidden from list"_s);

    // ...and goes when a rescan shows the rest again, rather than stay with a wrong number.
    StoreListEmailMatch::friends()->remove(mail(u"Home"_s, u"x"_s));
    Q_EMIT StoreListEmailMatch::friends()->changed();
    ASSERT_TRUE(vltest::waitUntil([&] { return !table()->isRowHidden(0); }));
    EXPECT_EQ(progressText(), QString());
}

TEST_F(MailLister, OptionsChangeKeepsEveryRow) {
    deliver(home, {u"1"_s, u"2"_s});
    VLScannerItem *two = row(u"Home"_s, u"2"_s);
    two->setDeleteChecked(QString(), true);
    Q_EMIT StoreOptions::options()->changed();
    EXPECT_EQ(uids(), (QStringList{u"Home 1"_s, u"Home 2"_s}));
    EXPECT_EQ(row(u"Home"_s, u"2"_s), two);
    EXPECT_TRUE(two->isDeleteChecked());
    EXPECT_EQ(table()->item(1, table()->mapFieldToCol(VLMailTable::Subject))->text(), u"subject 2"_s);
}

} // namespace
