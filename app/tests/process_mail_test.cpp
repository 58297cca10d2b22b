// Processing the marked mail end to end: what reaches the mail servers, the SMTP server and
// the community service, and what lands in the recycle bin, the mail log, the seen list, the
// Bayes data and the friends list.

#include "process_fixture.h"

#include "app/VLMailLogPage.h"
#include "app/VLStatistics.h"
#include "dialogs/vl_progress_bar.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>

using namespace processtest;

namespace {

TEST_F(Processing, EveryMarkIsCarriedOutAndRecordedAsDone) {
    useCommunity();
    const QList<QByteArray> pop3 = {file("A"), file("B", "Bea <bea-bounce@example.org>"), file("C"),
                                    file("D")};
    const QList<QByteArray> imap = {file("E"), file("F", "Fred <fred@friends.example.org>")};
    fill(u"alice"_s, pop3);
    fill(u"bob"_s, imap);
    check();
    ASSERT_EQ(rows(),
              (QStringList{u"Home A"_s, u"Home B"_s, u"Home C"_s, u"Home D"_s, u"Work E"_s, u"Work F"_s}));
    const QDateTime bayesBefore = QFileInfo(VLBayes::statePath()).lastModified();

    rowOf(u"Home"_s, u"A"_s)->setDeleteChecked(QString(), true);
    rowOf(u"Home"_s, u"B"_s)->setBounceChecked(QString(), true);
    VLScannerItem *c = rowOf(u"Home"_s, u"C"_s);
    c->setSpamCopChecked(QString(), true);
    c->setLearning(DataEmailStatus::Spam, true);
    rowOf(u"Home"_s, u"D"_s)->setReportChecked(QString(), true);
    rowOf(u"Work"_s, u"E"_s)->setDeleteChecked(QString(), true);
    rowOf(u"Work"_s, u"F"_s)->setFriendChecked(QString(), true);
    ASSERT_FALSE(c->isDeleteChecked());
    const QStringList deleted{u"Home "_s + rowOf(u"Home"_s, u"A"_s)->message().uid,
                              u"Work "_s + rowOf(u"Work"_s, u"E"_s)->message().uid};
    recorder->deleted.clear();

    EXPECT_TRUE(process());
    EXPECT_FALSE(MailBox::self()->busy());

    // The bounce and the SpamCop report went out, one each.
    const QList<SMTPServer::Message> bounces = arrivedFor(u"bea-bounce@example.org"_s, 1);
    ASSERT_EQ(bounces.size(), 1);
    EXPECT_TRUE(bounces.at(0).content.contains("multipart/report"));
    const QList<SMTPServer::Message> reports = arrivedFor(kSpamCop, 1);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports.at(0).mailFrom, kMe);
    EXPECT_TRUE(reports.at(0).content.contains("Subject: C"));

    // One upload to the community service, of D.
    int uploads = 0;
    for (const QJsonObject &r : TMServer::instance().records())
        uploads += r.value(u"path"_s).toString() == u"/Upload"_s;
    EXPECT_EQ(uploads, 1);

    // Only A and E left their servers, and their rows went once the servers confirmed it.
    EXPECT_EQ(onServer(u"alice"_s), (QList<QByteArray>{pop3.at(1), pop3.at(2), pop3.at(3)}));
    EXPECT_EQ(onServer(u"bob"_s), QList<QByteArray>{imap.at(1)});
    EXPECT_EQ(recorder->deleted, deleted);
    EXPECT_EQ(rows(), (QStringList{u"Home B"_s, u"Home C"_s, u"Home D"_s, u"Work F"_s}));

    // The log holds what was really done: A deleted, B bounced, D reported, E deleted.
    // Newest first, as the log keeps them.
    EXPECT_EQ(historyFile(),
              (QStringList{u"F@example.org 0"_s, u"E@example.org 2"_s, u"D@example.org 8"_s,
                           u"C@example.org 0"_s, u"B@example.org 1"_s, u"A@example.org 2"_s, u"end"_s}));

    // Every message in the recycle bin, byte for byte as it was on its server.
    VLFileCache *cache = VLFileCache::self();
    EXPECT_EQ(cache->allFiles().size(), 6);
    const char *subjects[] = {"A", "B", "C", "D", "E", "F"};
    const QList<QByteArray> all = pop3 + imap;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(cache->bytes(QLatin1String(subjects[i]) + u"@example.org"_s), all.at(i)) << subjects[i];

    // The reports are remembered, also for rows never made current.
    const QByteArray seen = folder().read(u"seenemail.vlp"_s);
    EXPECT_TRUE(QRegularExpression(u"(^|\n)Home&C%40example.org&\\d+&0&1\n"_s)
                    .match(QString::fromLatin1(seen))
                    .hasMatch())
        << seen.toStdString();
    EXPECT_TRUE(QRegularExpression(u"(^|\n)Home&D%40example.org&\\d+&1&0\n"_s)
                    .match(QString::fromLatin1(seen))
                    .hasMatch())
        << seen.toStdString();

    EXPECT_TRUE(QFileInfo::exists(VLBayes::statePath()));
    EXPECT_NE(QFileInfo(VLBayes::statePath()).lastModified(), bayesBefore);
    EXPECT_FALSE(VLBayes::self().dirty());

    // The friends list is saved a little later, not at once.
    EXPECT_TRUE(StoreListEmailMatch::friends()->match(u"fred@friends.example.org"_s));
    EXPECT_TRUE(vltest::waitUntil(
        [this] { return folder().read(u"friends.vlp"_s).contains("fred@friends.example.org"); }, 5000));

    // B stays on its server and in the list, but its bounce went once: processing again
    // sends nothing.
    EXPECT_FALSE(rowOf(u"Home"_s, u"B"_s)->isBounceChecked());
    QSignalSpy sending(SMTPSender::self(nullptr), &SMTPSender::sigBusy);
    EXPECT_FALSE(lister->processMail());
    EXPECT_EQ(sending.count(), 0);
    qunsetenv("VL_TM_HOST");
}

TEST_F(Processing, NothingMarkedStillCachesAndLogsEveryRow) {
    fill(u"alice"_s, {file("N1"), file("N2")});
    check();
    ASSERT_EQ(table()->numVirtualRows(), 2);
    EXPECT_FALSE(lister->processMail());
    // Nothing for the servers: processing has ended, and says so.
    EXPECT_EQ(progressText(), u"Processing finished"_s);
    EXPECT_EQ(VLFileCache::self()->bytes(u"N1@example.org"_s), file("N1"));
    EXPECT_EQ(VLFileCache::self()->bytes(u"N2@example.org"_s), file("N2"));
    EXPECT_EQ(historyFile(), (QStringList{u"N2@example.org 0"_s, u"N1@example.org 0"_s, u"end"_s}));
    EXPECT_EQ(onServer(u"alice"_s).size(), 2);
}

TEST_F(Processing, ReportsAndBouncesThatCannotBeSentKeepTheirBoxesAndLeaveNoBit) {
    // SpamCop and the community service off; Work has no bounce server.
    StoreTools::tools()->spamcop.enableSpamCop = false;
    StoreTools::tools()->spamcop.email = u"spamcop-off@example.net"_s;
    fill(u"alice"_s, {file("S1"), file("S2")});
    fill(u"bob"_s, {file("S3", "Sam <s3-bounce@example.org>")});
    check();
    VLScannerItem *spamCop = rowOf(u"Home"_s, u"S1"_s);
    VLScannerItem *report = rowOf(u"Home"_s, u"S2"_s);
    spamCop->setSpamCopChecked(QString(), true);
    report->setReportChecked(QString(), true);
    rowOf(u"Work"_s, u"S3"_s)->setBounceChecked(QString(), true);
    EXPECT_FALSE(process());
    EXPECT_TRUE(spamCop->hasSpamCop() && spamCop->isSpamCopChecked());
    EXPECT_TRUE(report->hasReport() && report->isReportChecked());
    QTest::qWait(500);
    EXPECT_TRUE(SMTPServer::instance().messagesTo(u"spamcop-off@example.net"_s).isEmpty());
    EXPECT_TRUE(SMTPServer::instance().messagesTo(u"s3-bounce@example.org"_s).isEmpty());
    EXPECT_FALSE(VLSeenEmailList::self()->spamCop(u"Home"_s, u"S1@example.org"_s));
    EXPECT_FALSE(VLSeenEmailList::self()->tm(u"Home"_s, u"S2@example.org"_s));
    EXPECT_EQ(historyFile(),
              (QStringList{u"S3@example.org 0"_s, u"S2@example.org 0"_s, u"S1@example.org 0"_s, u"end"_s}));
}

TEST_F(Processing, AReportThatCouldNotGoOutIsNotRecordedAndGoesOutOnceItCan) {
    // Every report switched on, none with anywhere to go: no community host, no server for
    // the SpamCop reports, none for Home's bounces.
    StoreTools::tools()->tm.enableTM = true;
    qunsetenv("VL_TM_HOST");
    DataOptionsSummary &summary = StoreOptions::options()->summary;
    const QString smtpHost = summary.outgoingEmailServer;
    summary.outgoingEmailServer.clear();
    DataAccount home = stored(u"Home"_s);
    home.pop3.outgoing.serverAddress.clear();
    storeAccounts({home, stored(u"Work"_s)});
    StoreTools::tools()->spamcop.email = u"spamcop-unsent@example.net"_s;
    fill(u"alice"_s, {file("U1"), file("U2"), file("U3", "Una <u3-bounce@example.org>")});
    check();
    VLScannerItem *report = rowOf(u"Home"_s, u"U1"_s);
    VLScannerItem *spamCop = rowOf(u"Home"_s, u"U2"_s);
    VLScannerItem *bounce = rowOf(u"Home"_s, u"U3"_s);
    report->setReportChecked(QString(), true);
    spamCop->setSpamCopChecked(QString(), true);
    bounce->setBounceChecked(QString(), true);

    EXPECT_FALSE(process());
    // Nothing is recorded as sent: the boxes stay ticked, the seen list and the log know
    // nothing of it, and the progress text says why.
    EXPECT_TRUE(report->hasReport() && report->isReportChecked());
    EXPECT_TRUE(spamCop->hasSpamCop() && spamCop->isSpamCopChecked());
    EXPECT_TRUE(bounce->isBounceChecked());
    EXPECT_FALSE(VLSeenEmailList::self()->tm(u"Home"_s, u"U1@example.org"_s));
    EXPECT_FALSE(VLSeenEmailList::self()->spamCop(u"Home"_s, u"U2@example.org"_s));
    EXPECT_EQ(historyFile(),
              (QStringList{u"U3@example.org 0"_s, u"U2@example.org 0"_s, u"U1@example.org 0"_s, u"end"_s}));
    for (const QString &why :
         {u"Home: bounce not sent"_s, u"SpamCop report not sent"_s, u"Tallowmark service not configured"_s})
        EXPECT_TRUE(progressText().contains(why)) << progressText().toStdString();
    EXPECT_TRUE(TMServer::instance().records().isEmpty());

    // Once there is somewhere to send them, the next run sends them and records that.
    useCommunity();
    summary.outgoingEmailServer = smtpHost;
    home.pop3.outgoing.serverAddress = smtpHost;
    storeAccounts({home, stored(u"Work"_s)});
    EXPECT_FALSE(process());
    EXPECT_FALSE(report->hasReport());
    EXPECT_FALSE(spamCop->hasSpamCop());
    EXPECT_FALSE(bounce->isBounceChecked());
    EXPECT_EQ(arrivedFor(u"spamcop-unsent@example.net"_s, 1).size(), 1);
    EXPECT_EQ(arrivedFor(u"u3-bounce@example.org"_s, 1).size(), 1);
    int uploads = 0;
    for (const QJsonObject &r : TMServer::instance().records())
        uploads += r.value(u"path"_s).toString() == u"/Upload"_s;
    EXPECT_EQ(uploads, 1);
    EXPECT_TRUE(VLSeenEmailList::self()->tm(u"Home"_s, u"U1@example.org"_s));
    EXPECT_TRUE(VLSeenEmailList::self()->spamCop(u"Home"_s, u"U2@example.org"_s));
    EXPECT_EQ(historyFile(),
              (QStringList{u"U3@example.org 1"_s, u"U2@example.org 0"_s, u"U1@example.org 8"_s, u"end"_s}));
    EXPECT_EQ(progressText(), u"Processing finished"_s);
    qunsetenv("VL_TM_HOST");
}

TEST_F(Processing, ProcessingEndsOnlyOnceTheDeletedRowsHaveLeftTheList) {
    QList<QByteArray> pop3;
    QList<QByteArray> imap;
    for (int i = 0; i < 150; ++i) {
        pop3 << mailFile("P" + QByteArray::number(i));
        imap << mailFile("I" + QByteArray::number(i));
    }
    fill(u"alice"_s, pop3);
    fill(u"bob"_s, imap);
    check();
    ASSERT_EQ(table()->numVirtualRows(), 300);
    lister->slotMarkAllForDeletion();

    // What the main window meets when the queue runs dry: it hears of it after the list.
    QObject watch;
    int rowsAtEnd = -1;
    QString textAtEnd;
    QObject::connect(MailBox::self(), &MailBox::sigBusy, &watch, [&](bool busy) {
        if (busy || rowsAtEnd >= 0)
            return;
        rowsAtEnd = table()->numVirtualRows();
        textAtEnd = progressText();
    });
    ASSERT_TRUE(lister->processMail());
    ASSERT_TRUE(vltest::waitUntil([&] { return rowsAtEnd >= 0; }, 120000));
    EXPECT_EQ(rowsAtEnd, 0);
    EXPECT_EQ(textAtEnd, u"Processing finished"_s);
    EXPECT_TRUE(onServer(u"alice"_s).isEmpty());
    EXPECT_TRUE(onServer(u"bob"_s).isEmpty());
}

TEST_F(Processing, ADeleteGoesOnlyToTheMailboxThatListedIt) {
    fill(u"alice"_s, {file("M1")});
    fill(u"bob"_s, {file("M2")});
    check();
    rowOf(u"Home"_s, u"M1"_s)->setDeleteChecked(QString(), true);
    rowOf(u"Work"_s, u"M2"_s)->setDeleteChecked(QString(), true);
    // Work now names another mailbox than the one its row came from.
    DataAccount work = stored(u"Work"_s);
    work.imap.incoming.userName = u"alice"_s;
    work.imap.incoming.password = u"alice-pw"_s;
    storeAccounts({stored(u"Home"_s), work});
    EXPECT_TRUE(process());
    EXPECT_TRUE(onServer(u"alice"_s).isEmpty());
    EXPECT_EQ(onServer(u"bob"_s).size(), 1);
    EXPECT_EQ(rows(), QStringList{u"Work M2"_s});
    EXPECT_EQ(historyFile(), (QStringList{u"M2@example.org 0"_s, u"M1@example.org 2"_s, u"end"_s}));
}

TEST_F(Processing, ASenderFailureIsShownAndLaterReportsStillGoOut) {
    // A bounce server that is down: its port taken and closed again.
    quint16 downPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(vltest::ownLoopbackAddress(), 0));
        downPort = probe.serverPort();
    }
    DataAccount home = stored(u"Home"_s);
    home.pop3.outgoing.serverAddress = vltest::ownLoopbackAddress().toString();
    home.pop3.outgoing.advanced.SMTP.portNumber = downPort;
    storeAccounts({home, stored(u"Work"_s)});
    StoreTools::tools()->spamcop.email = u"spamcop-later@example.net"_s;
    fill(u"alice"_s, {file("X1", "Xa <x1-bounce@example.org>"), file("X2")});
    check();
    rowOf(u"Home"_s, u"X1"_s)->setBounceChecked(QString(), true);
    EXPECT_FALSE(process());
    SMTPSender *sender = SMTPSender::self(nullptr);
    ASSERT_TRUE(vltest::waitUntil([&] { return !sender->error().isEmpty(); }, 10000));
    EXPECT_TRUE(vltest::waitUntil([&] { return progressText() == sender->error(); }, 2000))
        << progressText().toStdString();

    // The server is back for the next run: the report goes out, with no cancel in between.
    rowOf(u"Home"_s, u"X2"_s)->setSpamCopChecked(QString(), true);
    EXPECT_FALSE(process());
    EXPECT_EQ(arrivedFor(u"spamcop-later@example.net"_s, 1).size(), 1);
}

TEST_F(Processing, AMessageThatCannotBeSavedStaysOnTheServer) {
    // A regular file where the recycle bin's folder would be: nothing can be cached.
    folder().write(u"cache"_s, "not a folder");
    fill(u"alice"_s, {file("K1"), file("K2")});
    check();
    VLScannerItem *kept = rowOf(u"Home"_s, u"K1"_s);
    kept->setDeleteChecked(QString(), true);
    EXPECT_FALSE(process());
    EXPECT_TRUE(progressText().endsWith(u": cannot save"_s)) << progressText().toStdString();
    EXPECT_TRUE(progressText().startsWith(folder().path())) << progressText().toStdString();
    EXPECT_EQ(onServer(u"alice"_s).size(), 2);
    EXPECT_EQ(rowOf(u"Home"_s, u"K1"_s), kept);
    EXPECT_TRUE(kept->isDeleteChecked());
    // Logged as kept, not as deleted.
    EXPECT_EQ(historyFile(), (QStringList{u"K2@example.org 0"_s, u"K1@example.org 0"_s, u"end"_s}));
}

TEST_F(Processing, WithoutARecycleBinDeletionsNeedNoCopy) {
    StoreOptions::options()->summary.allowRevovery = false;
    folder().write(u"cache"_s, "not a folder");
    fill(u"alice"_s, {file("R1"), file("R2")});
    check();
    rowOf(u"Home"_s, u"R1"_s)->setDeleteChecked(QString(), true);
    EXPECT_TRUE(process());
    EXPECT_EQ(onServer(u"alice"_s), QList<QByteArray>{file("R2")});
    EXPECT_EQ(historyFile(), (QStringList{u"R2@example.org 0"_s, u"R1@example.org 2"_s, u"end"_s}));
}

TEST_F(Processing, AMessageLongerThanItsListingIsKeptWholeAndRestoredWhole) {
    // More than a listing shows: POP3 lists 200 body lines, IMAP 8000 bytes.
    const auto longFile = [](const char *subject) {
        QByteArray f = file(subject);
        for (int i = 1; i <= 400; ++i)
            f += "Line " + QByteArray::number(i) + " of a message longer than its listing shows.\r\n";
        return f;
    };
    fill(u"alice"_s, {longFile("PL"), file("PS")});
    fill(u"bob"_s, {longFile("IL"), file("IS")});
    check();
    struct Listed {
        QString account;
        QString subject;
        bool whole; // the row holds the whole message
    };
    for (const Listed &l : {Listed{u"Home"_s, u"PL"_s, false}, Listed{u"Home"_s, u"PS"_s, true},
                            Listed{u"Work"_s, u"IL"_s, false}, Listed{u"Work"_s, u"IS"_s, true}})
        EXPECT_EQ(rowOf(l.account, l.subject)->message().complete, l.whole) << l.subject.toStdString();
    const qsizetype listedLength = rowOf(u"Home"_s, u"PL"_s)->message().raw.size();
    EXPECT_LT(listedLength, longFile("PL").size());
    rowOf(u"Home"_s, u"PL"_s)->setDeleteChecked(QString(), true);
    rowOf(u"Home"_s, u"PS"_s)->setDeleteChecked(QString(), true);
    rowOf(u"Work"_s, u"IL"_s)->setDeleteChecked(QString(), true);

    EXPECT_TRUE(process());
    EXPECT_TRUE(onServer(u"alice"_s).isEmpty());
    EXPECT_EQ(onServer(u"bob"_s), QList<QByteArray>{file("IS")});
    EXPECT_EQ(rows(), QStringList{u"Work IS"_s});
    // The copies that went whole; the one still on its server as listed.
    VLFileCache *cache = VLFileCache::self();
    EXPECT_EQ(cache->bytes(u"PL@example.org"_s), longFile("PL"));
    EXPECT_EQ(cache->bytes(u"PS@example.org"_s), file("PS"));
    EXPECT_EQ(cache->bytes(u"IL@example.org"_s), longFile("IL"));
    EXPECT_EQ(cache->bytes(u"IS@example.org"_s), file("IS"));
    EXPECT_EQ(historyFile(), (QStringList{u"IS@example.org 0"_s, u"IL@example.org 2"_s, u"PS@example.org 2"_s,
                                          u"PL@example.org 2"_s, u"end"_s}));

    // Restore sends the whole message back, to the user's own address.
    VLStatistics dialog(nullptr, "maillog");
    VLMailLogPage *page = dialog.mailLogPage();
    for (const char *subject : {"PL", "IL"}) {
        SCOPED_TRACE(subject);
        const QString ident = QLatin1String(subject) + u"@example.org"_s;
        int at = -1;
        for (int row = 0; row < page->rowCount(); ++row)
            if (page->item(row, VLMailLogPage::Ident)->text() == ident)
                at = row;
        ASSERT_GE(at, 0);
        page->setCurrentCell(at, VLMailLogPage::Subject);
        auto *button = vltest::child<QPushButton>(&dialog, u"restore"_s);
        ASSERT_TRUE(button->isEnabled());
        const qsizetype before = SMTPServer::instance().messagesTo(kMe).size();
        vltest::whenModal(
            QString(),
            [](QWidget *w) {
                EXPECT_TRUE(vltest::waitUntil(
                    [w] { return w->findChild<VLProgressBar *>()->text() == u"Message restored"_s; }, 30000));
                QTest::mouseClick(vltest::child<QPushButton>(w, u"ok"_s), Qt::LeftButton);
            },
            10000);
        QTest::mouseClick(button, Qt::LeftButton);
        const QList<SMTPServer::Message> got = arrivedFor(kMe, int(before) + 1);
        ASSERT_EQ(got.size(), before + 1);
        // The body byte for byte; the SMTP client only ends the text with an empty line.
        const QByteArray original = longFile(subject);
        const QByteArray body = original.mid(original.indexOf("\r\n\r\n") + 4);
        const QByteArray content = got.last().content;
        const QByteArray sent = content.mid(content.indexOf("\r\n\r\n") + 4);
        EXPECT_TRUE(sent.startsWith(body)) << sent.size() << " bytes sent of " << body.size();
        EXPECT_TRUE(QByteArray(sent.mid(body.size())).replace("\r\n", "").isEmpty());
    }
}

TEST_F(Processing, AMessageLeftFlaggedDeletedComesUpMarkedWhereTheServerRemovesAllSuch) {
    DovecotServer &dovecot = DovecotServer::instance();
    // A server that offers no UID EXPUNGE: its CLOSE removes every flagged message.
    dovecot.addUser(u"carol"_s, u"carol-pw"_s, u"userdb_imap_capability=IMAP4rev1"_s);
    storeAccounts(
        {stored(u"Home"_s), stored(u"Work"_s),
         imapAccount(u"Old"_s, dovecot.host(), dovecot.imapPort(), u"carol"_s, u"carol-pw"_s, false)});
    for (const QString &user : {u"bob"_s, u"carol"_s}) {
        fill(user, {file("N")});
        // Flagged deleted by a session that ended before it removed them.
        vltest::fillMaildir(dovecot.maildir(user), {file("F"), file("G")}, u"T"_s);
    }
    check();
    MailBox::self()->download(stored(u"Old"_s), false);
    ASSERT_TRUE(runQueue());
    for (const char *subject : {"N", "F", "G"}) {
        SCOPED_TRACE(subject);
        const bool flagged = QByteArrayView(subject) != "N";
        // With UID EXPUNGE the flags of another session decide nothing here.
        EXPECT_FALSE(rowOf(u"Work"_s, QLatin1String(subject))->isDeleteChecked());
        EXPECT_EQ(rowOf(u"Old"_s, QLatin1String(subject))->isDeleteChecked(), flagged);
    }
    // The user keeps F; G goes, whole in the recycle bin.
    rowOf(u"Old"_s, u"F"_s)->setDeleteChecked(QString(), false);
    EXPECT_TRUE(process());
    QList<QByteArray> left = onServer(u"carol"_s);
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (QList<QByteArray>{file("F"), file("N")}));
    EXPECT_EQ(onServer(u"bob"_s).size(), 3);
    EXPECT_EQ(VLFileCache::self()->bytes(u"G@example.org"_s), file("G"));
    // F's flag came off: no later session removes it unasked. (Maildir keeps the flags in
    // the file's name: "T" is deleted.)
    const QDir cur(dovecot.maildir(u"carol"_s) + u"/cur"_s);
    for (const QString &name : cur.entryList(QDir::Files))
        EXPECT_FALSE(name.section(u":2,"_s, 1).contains(u'T')) << name.toStdString();
}

TEST_F(Processing, WithoutMessageLoggingTheMailLogIsUntouched) {
    StoreOptions::options()->summary.messageLogging = false;
    const QByteArray before = "not read, not written\n";
    folder().write(u"history.vlp"_s, before);
    fill(u"alice"_s, {file("L1"), file("L2")});
    check();
    rowOf(u"Home"_s, u"L1"_s)->setDeleteChecked(QString(), true);
    EXPECT_TRUE(process());
    EXPECT_EQ(onServer(u"alice"_s), QList<QByteArray>{file("L2")});
    EXPECT_EQ(folder().read(u"history.vlp"_s), before);
}

} // namespace
