#pragma once
// Processing against real servers: Dovecot holds the mailboxes ("Home" POP3 as alice,
// "Work" IMAP as bob), aiosmtpd takes the bounces and the SpamCop reports, the community
// stand-in takes the uploads; recycle bin and mail log on.

#include "mailbox_fixture.h"

#include "app/VLLearningItem.h"
#include "app/vl_file_cache.h"
#include "app/vl_history.h"
#include "app/vl_seen_email_list.h"
#include "data/store_list_matches.h"
#include "data/store_tools.h"
#include "engine/VLBayes.h"
#include "engine/VLTM.h"
#include "proto/SMTPSender.h"

#include "DovecotServer.h"
#include "SMTPServer.h"
#include "TMServer.h"

#include <QDir>

namespace processtest {

using namespace mailboxtest;
using namespace Qt::StringLiterals;
using vltest::DovecotServer;
using vltest::SMTPServer;

inline const QString kSpamCop = u"spamcop-reports@example.net"_s;
inline const QString kMe = u"me@example.org"_s;

class Processing : public MailBoxTest {
protected:
    void SetUp() override {
        MailBoxTest::SetUp();
        DovecotServer &dovecot = DovecotServer::instance();
        dovecot.addUser(u"alice"_s, u"alice-pw"_s);
        dovecot.addUser(u"bob"_s, u"bob-pw"_s);
        SMTPServer &smtp = SMTPServer::instance();

        DataAccount home =
            pop3Account(u"Home"_s, dovecot.host(), dovecot.pop3Port(), u"alice"_s, u"alice-pw"_s);
        DataAccountOutgoing &out = home.pop3.outgoing;
        out.enableBounce = true;
        out.serverAddress = smtp.host();
        out.advanced.SMTP.portNumber = smtp.port(SMTPServer::Plain);
        out.advanced.SMTP.useSMTPAuth = false;
        DataAccount work =
            imapAccount(u"Work"_s, dovecot.host(), dovecot.imapPort(), u"bob"_s, u"bob-pw"_s, false);
        storeAccounts({home, work});

        DataOptionsSummary &summary = StoreOptions::options()->summary;
        summary.outgoingEmailAddress = kMe;
        summary.outgoingEmailServer = smtp.host();
        summary.advanced.portNumber = smtp.port(SMTPServer::Plain);
        summary.advanced.useSSL = false;
        summary.advanced.useSMTPAuth = false;
        summary.keepLogFor = 30;

        DataTools &tools = *StoreTools::tools();
        tools.spamcop.enableSpamCop = true;
        tools.spamcop.email = kSpamCop;
        tools.tm = DataToolsTM();
        tools.tm.account = u"tmuser"_s;
        tools.tm.password = u"tm-pw"_s;
        // A learning tick only teaches: it marks no boxes.
        tools.learning = DataToolsLearning();
        tools.learning.learn.markBlacklist = false;
        tools.learning.learn.markDelete = false;
        tools.learning.learn.markBounce = false;
        tools.learning.learn.markTallowmark = false;
        tools.learning.learn.markSpamCop = false;
        tools.learning.learn.addFriend = false;
        VLBayes::self().initState();
    }

    // Switches the community service on, with the stand-in as its host.
    static void useCommunity() {
        TMServer::instance().clearRecords();
        qputenv("VL_TM_HOST", TMServer::instance().host().toLatin1());
        StoreTools::tools()->tm.enableTM = true;
    }

    static QByteArray file(const char *subject, const char *from = "Sender <sender@example.org>") {
        return mailFile(subject, from);
    }
    static void fill(const QString &user, const QList<QByteArray> &files) {
        vltest::fillMaildir(DovecotServer::instance().maildir(user), files);
    }
    // The message files in a user's maildir, by content.
    static QList<QByteArray> onServer(const QString &user) {
        QList<QByteArray> out;
        for (const char *sub : {"/new", "/cur"}) {
            const QDir dir(DovecotServer::instance().maildir(user) + QLatin1String(sub));
            for (const QString &name : dir.entryList(QDir::Files, QDir::Name)) {
                QFile f(dir.filePath(name));
                if (f.open(QIODevice::ReadOnly))
                    out << f.readAll();
            }
        }
        return out;
    }

    void check() {
        MailBox::self()->download(stored(u"Home"_s), false);
        MailBox::self()->download(stored(u"Work"_s), false);
        ASSERT_TRUE(runQueue());
    }

    // Processes, then waits for the queue, the sender and the community uploads to finish.
    bool process() {
        const bool result = lister->processMail();
        EXPECT_TRUE(
            vltest::waitUntil([] { return !MailBox::self()->busy() && !VLTM::self().busy(); }, 30000));
        EXPECT_TRUE(waitForReportedRowsGone());
        return result;
    }

    // The messages that reached the SMTP server for to, once count have; then a short look
    // for more, ended early by one that arrives.
    static QList<SMTPServer::Message> arrivedFor(const QString &to, int count) {
        (void)vltest::waitUntil([&] { return SMTPServer::instance().messagesTo(to).size() >= count; }, 10000);
        (void)vltest::waitUntil([&] { return SMTPServer::instance().messagesTo(to).size() > count; }, 200);
        return SMTPServer::instance().messagesTo(to);
    }

    // The mail log's file: "ident logging" per record, then "end" for the end line.
    QStringList historyFile() const {
        return folder().mailLog([](const DataEmailSummary &entry) {
            return u"%1 %2"_s.arg(entry.ident).arg(entry.logging & 0x00f, 0, 16);
        });
    }
};

} // namespace processtest
