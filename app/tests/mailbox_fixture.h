#pragma once
// What the mailbox queue and mail lister tests share: accounts in this process's own accounts
// store, a lister as the main window makes it, and a recorder of everything the queue and
// the lister say, in order.

#include "data_folder.h"

#include "app/MailBox.h"
#include "app/VLMailLister.h"
#include "app/VLMailTable.h"
#include "app/VLScannerItem.h"
#include "data/store_account_list.h"
#include "data/store_options.h"
#include "proto/SOSSLSocket.h"

#include "GuiHelpers.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <memory>

namespace mailboxtest {

using namespace Qt::StringLiterals;

inline DataAccount pop3Account(const QString &name, const QString &host, int port, const QString &user,
                               const QString &password) {
    DataAccount a;
    a.type = DataAccount::POP3;
    a.pop3.name_.name = name;
    a.pop3.incoming.serverAddress = host;
    a.pop3.incoming.userName = user;
    a.pop3.incoming.password = password;
    a.pop3.incoming.advanced.portNumber = port;
    return a;
}

inline DataAccount imapAccount(const QString &name, const QString &host, int port, const QString &user,
                               const QString &password, bool ssl) {
    DataAccount a;
    a.type = DataAccount::IMAP;
    a.imap.name_.name = name;
    a.imap.incoming.serverAddress = host;
    a.imap.incoming.userName = user;
    a.imap.incoming.password = password;
    a.imap.incoming.advanced.portNumber = port;
    a.imap.incoming.advanced.useSSL = ssl;
    return a;
}

inline DataAccount hotmailAccount(const QString &name, const QString &user, const QString &password) {
    DataAccount a;
    a.type = DataAccount::HotMail;
    a.hotmail.name_.name = name;
    a.hotmail.incoming.userName = user;
    a.hotmail.incoming.password = password;
    return a;
}

// A message file as a server holds it.
inline QByteArray mailFile(const QByteArray &subject,
                           const QByteArray &from = "Sender <sender@example.org>") {
    return "From: " + from + "\r\nTo: me@example.org\r\nSubject: " + subject + "\r\nMessage-ID: <" + subject +
           "@example.org>\r\nDate: Mon, 2 Jan 2006 10:20:30 -0800\r\n\r\nBody of " + subject + "\r\n";
}

// Every signal of the queue and the lister as one line, in the order they came.
class Recorder : public QObject {
public:
    Recorder(MailBox *box, VLMailLister *lister) {
        connect(box, &MailBox::sigBusy, this, [this](bool on) { add(on ? u"busy"_s : u"idle"_s); });
        connect(box, &MailBox::sigError, this, [this](const QString &text) {
            errors << text;
            add(u"error "_s + text);
        });
        connect(box, &MailBox::sigConnecting, this, [this](const DataAccount &a, bool del) {
            add(u"connecting %1%2"_s.arg(a.name(), del ? u" delete"_s : QString()));
        });
        connect(box, &MailBox::sigLoggedIn, this, [this](const DataAccount &a, bool del) {
            add(u"loggedIn %1%2"_s.arg(a.name(), del ? u" delete"_s : QString()));
        });
        connect(box, &MailBox::sigProgress, this,
                [this](const DataAccount &a, const QString &text, int total, int done) {
                    add(u"progress %1: %2 (%3,%4)"_s.arg(a.name(), text).arg(total).arg(done));
                });
        connect(box, qOverload<const DataAccount &, const DataEmailList &, bool>(&MailBox::sigMessageData),
                this, [this](const DataAccount &a, const DataEmailList &list, bool timed) {
                    add(u"list %1 %2 timed=%3"_s.arg(a.name()).arg(list.size()).arg(int(timed)));
                });
        connect(box, &MailBox::sigLoginRefused, this, [this](const DataAccount &a, const QString &reason) {
            refusals << a.name() + u": "_s + reason;
            add(u"refused "_s + a.name());
        });
        connect(box, &MailBox::sigDeleted, this, [this](const DataAccount &a, const QString &uid) {
            deleted << a.name() + u' ' + uid;
            add(u"deleted "_s + a.name());
            if (onDeleted)
                onDeleted(a, uid);
        });
        if (lister)
            connect(lister, &VLMailLister::sigNewMail, this, [this](bool any, bool timed) {
                add(u"newMail any=%1 timed=%2"_s.arg(int(any)).arg(int(timed)));
            });
    }

    [[nodiscard]] int count(const QString &line) const { return int(events.count(line)); }
    [[nodiscard]] QStringList starting(const QString &prefix) const {
        QStringList out;
        for (const QString &e : events)
            if (e.startsWith(prefix))
                out << e;
        return out;
    }

    QStringList events;
    QStringList errors;
    QStringList refusals; // "account: reason"
    QStringList deleted;
    std::function<void(const DataAccount &, const QString &)> onDeleted;

private:
    void add(const QString &line) { events << line; }
};

class MailBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        static apptest::DataFolder folder; // before the first store, for the life of the process
        m_folder = &folder;
        StoreOptions::options()->summary.allowRevovery = true;
        StoreOptions::options()->summary.messageLogging = true;
        lister = std::make_unique<VLMailLister>(nullptr, "maillister");
        lister->resize(900, 400);
        recorder = std::make_unique<Recorder>(MailBox::self(), lister.get());
    }

    void TearDown() override {
        MailBox::self()->stop();
        recorder.reset();
        lister.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Replaces the stored account list and writes it.
    static void storeAccounts(const QList<DataAccount> &accounts) {
        StoreAccountList *store = StoreAccountList::accounts();
        store->accountList = accounts;
        store->setChanged(false);
        ASSERT_TRUE(store->saveToStore().isNull());
    }
    static DataAccount stored(const QString &name) {
        const DataAccount *a = StoreAccountList::accounts()->account(name);
        return a ? *a : DataAccount();
    }

    // Starts the queue and waits until it has run dry (and what it scheduled has run).
    bool runQueue(int timeoutMs = 30000) {
        MailBox::self()->go();
        const bool idle = vltest::waitUntil([] { return !MailBox::self()->busy(); }, timeoutMs);
        QTest::qWait(20);
        return idle;
    }

    [[nodiscard]] VLMailTable *table() const { return lister->mailTable(); }
    [[nodiscard]] QString progressText() const {
        return lister->findChild<QLabel *>(QStringLiteral("progresstext"))->text();
    }
    // "account subject" of every row, in table order.
    [[nodiscard]] QStringList rows() const {
        QStringList out;
        for (int row = 0; row < table()->numVirtualRows(); ++row) {
            const VLScannerItem *item = table()->scannerItem(row);
            out << (item ? item->account() + u' ' + item->message().subject : QStringLiteral("(none)"));
        }
        return out;
    }
    // Waits until no row is left of the messages ("account uid") reported deleted: the lister
    // removes them in one batch a while after the last report. True when they are gone.
    bool waitForRowsGone(const QStringList &reported, int timeoutMs = 10000) const {
        return vltest::waitUntil(
            [&] {
                for (int row = 0; row < table()->numVirtualRows(); ++row) {
                    const VLScannerItem *item = table()->scannerItem(row);
                    if (item && reported.contains(item->account() + u' ' + item->message().uid))
                        return false;
                }
                return true;
            },
            timeoutMs);
    }
    // The same for every deletion the queue has reported to the recorder.
    bool waitForReportedRowsGone(int timeoutMs = 10000) const {
        return waitForRowsGone(recorder->deleted, timeoutMs);
    }
    // "account subject size" of every row, the size as its cell shows it.
    [[nodiscard]] QStringList sizes() const {
        QStringList out;
        const int col = table()->mapFieldToCol(VLMailTable::Size);
        for (int row = 0; row < table()->numVirtualRows(); ++row) {
            const VLScannerItem *item = table()->scannerItem(row);
            const QTableWidgetItem *cell = table()->item(row, col);
            out << (item && cell ? item->account() + u' ' + item->message().subject + u' ' + cell->text()
                                 : QStringLiteral("(none)"));
        }
        return out;
    }
    // The Size column's text for a message of n bytes: bytes, else rounded KB.
    [[nodiscard]] static QString sizeText(qsizetype n) {
        return n < 1024 ? QString::number(n) : QStringLiteral("%1KB").arg((n + 512) / 1024);
    }
    [[nodiscard]] VLScannerItem *rowOf(const QString &account, const QString &subject) const {
        for (int row = 0; row < table()->numVirtualRows(); ++row) {
            VLScannerItem *item = table()->scannerItem(row);
            if (item && item->account() == account && item->message().subject == subject)
                return item;
        }
        return nullptr;
    }

    const apptest::DataFolder &folder() const { return *m_folder; }
    // Whether the seen list's file holds an entry of the message.
    bool seenFileHas(const QString &account, const QString &id) const {
        const QByteArray entry = QUrl::toPercentEncoding(account) + '&' + QUrl::toPercentEncoding(id) + '&';
        for (const QByteArray &line : folder().read(QStringLiteral("seenemail.vlp")).split('\n'))
            if (line.startsWith(entry))
                return true;
        return false;
    }

    std::unique_ptr<VLMailLister> lister;
    std::unique_ptr<Recorder> recorder;

private:
    const apptest::DataFolder *m_folder = nullptr;
};

} // namespace mailboxtest
