#pragma once
// What the account editor tests share: records compared as the XML they store, a stored
// account list with every awkward value the editors must carry through untouched, and the
// accounts file of this process's own data folder.

#include "data/data_account_list.h"
#include "data/store.h"
#include "data/store_account_list.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace accounttest {

// A record as the accounts file would hold it.
inline QString xml(const Data &record) {
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("record"));
    doc.appendChild(root);
    record.store(root);
    return doc.toString();
}

inline DataAccount pop3Account(const QString &name) {
    DataAccount a;
    a.type = DataAccount::POP3;
    a.pop3.name_.name = name;
    a.pop3.incoming.serverAddress = QStringLiteral("pop.brindlecot.example");
    a.pop3.incoming.userName = QStringLiteral("ada");
    return a;
}

// Stored values the dialogs cannot show as they are: ports 0 (standard), negative and far
// out of range; login methods, bounce methods and SMTP logins that name no button; an
// imported SMTP login (authUsing 0 with a user name); empty and very long names, twice.
inline DataAccountList awkwardList() {
    DataAccountList list;
    list.VLMessageID = QStringLiteral("{6b1c2f4e-0000-4000-8000-0123456789ab}");

    DataAccount pop3 = pop3Account(QStringLiteral("Work"));
    pop3.pop3.name_.inDefault = true;
    pop3.pop3.incoming.password = QStringLiteral("s3cret");
    pop3.pop3.outgoing.emailAddress = QStringLiteral("ada@brindlecot.example");
    list.accountList.append(pop3);

    DataAccount imap;
    imap.type = DataAccount::IMAP;
    imap.imap.name_.name = QStringLiteral("College");
    imap.imap.incoming.serverAddress = QStringLiteral("imap.brindlecot.example");
    imap.imap.incoming.advanced.portNumber = -5;
    imap.imap.incoming.advanced.useSSL = true;
    imap.imap.incoming.advanced.authType = 7;
    imap.imap.outgoing.advanced.SMTP.portNumber = 99999999;
    imap.imap.outgoing.advanced.SMTP.authUsing = 9;
    imap.imap.outgoing.advanced.bounce.useServers = -1;
    list.accountList.append(imap);

    DataAccount hotmail;
    hotmail.type = DataAccount::HotMail;
    hotmail.hotmail.name_.name = QString(5000, QLatin1Char('n'));
    hotmail.hotmail.incoming.userName = QStringLiteral("ada@hotmail.example");
    list.accountList.append(hotmail);

    DataAccount imported = pop3Account(QString());
    imported.pop3.incoming.advanced.useSSL = true;
    imported.pop3.outgoing.advanced.SMTP.useSMTPAuth = true;
    imported.pop3.outgoing.advanced.SMTP.authUserName = QStringLiteral("relay-user");
    imported.pop3.outgoing.advanced.SMTP.authPassword = QStringLiteral("relay-pass");
    list.accountList.append(imported);

    DataAccount secondEmpty = pop3Account(QString());
    secondEmpty.pop3.incoming.advanced.portNumber = 1110;
    list.accountList.append(secondEmpty);
    return list;
}

// The data folder of this process, made once before the first store exists.
inline QString dataDir() {
    static const QString dir = [] {
        const QString path = QDir::homePath() + QStringLiteral("/vldata/");
        QDir().mkpath(path);
        Store::setDataDir(path);
        return Store::dataDir();
    }();
    return dir;
}

inline StoreAccountList *store() {
    dataDir();
    return StoreAccountList::accounts();
}

inline QByteArray fileBytes(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline QString accountsFile() {
    return dataDir() + QStringLiteral("accounts.vlp");
}

inline QString backupFile() {
    return dataDir() + QStringLiteral("accounts.bak");
}

// Puts the list into the store and has the store write its file.
inline void storeList(const DataAccountList &list) {
    StoreAccountList *s = store();
    static_cast<DataAccountList &>(*s) = list;
    s->setChanged(false);
    ASSERT_TRUE(s->saveToStore().isNull());
}

} // namespace accounttest
