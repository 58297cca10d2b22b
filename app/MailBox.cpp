#include "MailBox.h"

#include "data/store_account_list.h"
#include "data/store_options.h"
#include "proto/IMAP4Socket.h"
#include "proto/POP3Socket.h"
#include "proto/SOHotDAV.h"

#include <cstdio>

namespace {

constexpr int kIdleTickMs = 60000;

SOSSLSocket::SSLType sslType(const DataAccountAdvancedServer &advanced) {
    return advanced.useSSL ? SOSSLSocket::SSLv23 : SOSSLSocket::NoSSL;
}

// The prompt's fields of an incoming section, and nothing else of it.
void copyLogin(const DataAccountIncomingPOP3IMAP &from, DataAccountIncomingPOP3IMAP &to,
               const DataAccountAdvancedServer &fromAdvanced, DataAccountAdvancedServer &toAdvanced) {
    to.userName = from.userName;
    to.password = from.password;
    to.rememberPassword = from.rememberPassword;
    toAdvanced.useSecureAuth = fromAdvanced.useSecureAuth;
    toAdvanced.authType = fromAdvanced.authType;
}

// The prompt's fields of one account copied into another of the same type.
void copyLogin(const DataAccount &from, DataAccount &to) {
    if (to.type == DataAccount::POP3)
        copyLogin(from.pop3.incoming, to.pop3.incoming, from.pop3.incoming.advanced,
                  to.pop3.incoming.advanced);
    else
        copyLogin(from.imap.incoming, to.imap.incoming, from.imap.incoming.advanced,
                  to.imap.incoming.advanced);
}

// Why a login was refused, as the user is told: the client's text, unless it holds the
// password (a server repeating what it was sent), which is never shown.
QString refusalReason(const QString &text, const QString &password) {
    const QString withheld = QStringLiteral("The server refused the login");
    if (password.isEmpty())
        return text;
    if (text.contains(password))
        return withheld;
    // A server's text is cut short with an ellipsis: the cut may fall inside the password,
    // leaving its start at the end.
    if (text.endsWith(QChar(0x2026))) {
        const QStringView shown = QStringView(text).chopped(1);
        for (qsizetype n = password.size() - 1; n >= qMin<qsizetype>(3, password.size() - 1) && n > 0; --n) {
            if (shown.endsWith(QStringView(password).left(n)))
                return withheld;
        }
    }
    return text;
}

} // namespace

// A POP3 or IMAP client set up from the account's incoming section; a secure login the user
// chose reaches it.
template <typename Socket, typename Section>
MailSocket *MailBox::makeServerClient(const Section &in, int throttle) {
    auto *client = new Socket(this);
    client->setup(sslType(in.advanced), in.serverAddress, in.advanced.portNumber, in.userName, in.password,
                  throttle);
    client->setSecureLogin(in.advanced.useSecureAuth);
    return client;
}

MailBox *MailBox::self() {
    static MailBox *box = new MailBox;
    return box;
}

MailBox::MailBox() {
    m_idleTimer.setInterval(kIdleTickMs);
    connect(&m_idleTimer, &QTimer::timeout, this, &MailBox::slotSinceTimeout);
    m_next.setSingleShot(true);
    m_next.setInterval(0);
    connect(&m_next, &QTimer::timeout, this, &MailBox::startNext);
}

void MailBox::download(const DataAccount &account, bool timed) {
    m_queue.append(MailBoxRequest(MailBoxRequest::Download, account, timed));
}

void MailBox::deleteMail(const DataAccount &account, const QStringList &uids,
                         const MailBoxRequest::WholeCopies &whole) {
    MailBoxRequest request(MailBoxRequest::Delete, account, uids);
    request.whole = whole;
    m_queue.append(request);
}

bool MailBox::go() {
    if (m_busy)
        return true;
    return startNext();
}

void MailBox::stop() {
    release();
    m_queue.clear();
    m_next.stop();
    m_awaitingLogin = false;
    m_busy = false;
    Q_EMIT sigBusy(false);
    startIdleCount();
}

bool MailBox::startNext() {
    m_next.stop();
    while (!m_queue.isEmpty()) {
        if (const MailSocket *client = start(m_queue.first())) {
            if (m_client != client) // a receiver of sigConnecting stopped the queue
                return m_busy;
            m_busy = true;
            m_idleTimer.stop();
            Q_EMIT sigBusy(true);
            login(client);
            return true;
        }
        m_queue.removeFirst();
    }
    m_busy = false;
    Q_EMIT sigBusy(false);
    startIdleCount();
    return false;
}

MailSocket *MailBox::start(const MailBoxRequest &request) {
    if (request.action != MailBoxRequest::Download && request.action != MailBoxRequest::Delete) {
        std::fprintf(stderr, "MailBox::start: MailBoxRequest::Unknown\n");
        return nullptr;
    }
    const DataAccount &account = request.account;
    const int throttle = qMax(200, StoreOptions::options()->general.spamThrottle());
    MailSocket *client = nullptr;
    switch (account.type) {
    case DataAccount::POP3:
        client = makeServerClient<POP3Socket>(account.pop3.incoming, throttle);
        break;
    case DataAccount::IMAP:
        client = makeServerClient<IMAP4Socket>(account.imap.incoming, throttle);
        break;
    case DataAccount::HotMail: {
        auto *hotmail = new SOHotDAV(this);
        hotmail->setup(account.hotmail.incoming.userName, account.hotmail.incoming.password, throttle);
        client = hotmail;
        break;
    }
    default:
        return nullptr;
    }
    release();
    m_client = client;
    m_confirmed.clear();
    m_deleting.clear();
    m_fetchedWhole.clear();
    m_kept.clear();
    m_notSaved.clear();
    const bool isDelete = request.action == MailBoxRequest::Delete;

    connect(client, &MailSocket::sigClosed, this, &MailBox::slotClosed);
    connect(client, &SOSSLSocket::sigError, this, &MailBox::slotError);
    connect(client, &MailSocket::sigAuthError, this, &MailBox::slotAuthError);
    connect(client, &MailSocket::sigLoggedIn, this, &MailBox::slotLoggedIn);
    connect(client, &MailSocket::sigMessageList, this, &MailBox::slotMessageList);
    connect(client, qOverload<const DataEmailMessage &>(&MailSocket::sigMessageData), this,
            qOverload<const DataEmailMessage &>(&MailBox::slotMessageData));
    if (isDelete) {
        connect(client, &MailSocket::sigDeleted, this, &MailBox::slotDeleted);
        connect(client, &MailSocket::sigWholeMessage, this, &MailBox::slotWholeMessage);
        connect(client, &MailSocket::sigWholeFailed, this, &MailBox::slotWholeFailed);
        connect(client, &MailSocket::sigWholeDone, this, &MailBox::slotWholeDone);
        connect(client, &MailSocket::sigDownloaded, this, &MailBox::slotDownloaded);
    } else {
        connect(client, qOverload<>(&MailSocket::sigMessageData), this,
                qOverload<>(&MailBox::slotMessageData));
        connect(client, &MailSocket::sigDownloaded, this, &MailBox::slotDownloaded);
    }
    Q_EMIT sigConnecting(DataAccount(account), isDelete);
    return client;
}

void MailBox::login(const MailSocket *client) {
    // A released client is deleted only from the event loop, and no receiver runs one: a
    // different pointer here is a stopped queue, never the same address reused.
    if (m_client && m_client == client)
        m_client->login();
}

bool MailBox::fromClient() const {
    if (!m_client || m_queue.isEmpty())
        return false;
    const QObject *from = sender();
    return !from || from == m_client;
}

void MailBox::release() {
    if (!m_client)
        return;
    MailSocket *client = m_client;
    m_client = nullptr;
    client->disconnect(this);
    // Cuts the link (and any request still out) without a word to us: what the server
    // still sends can no longer reach the next request.
    client->closeSocket(false);
    client->deleteLater();
}

void MailBox::removeHead() {
    if (!m_queue.isEmpty())
        m_queue.removeFirst();
}

void MailBox::scheduleNext() {
    m_next.start();
}

void MailBox::startIdleCount() {
    // A receiver of sigBusy(false) may have started the queue again.
    if (m_busy || m_idleTimer.isActive())
        return;
    m_minutes = 0;
    m_idleTimer.start();
}

void MailBox::fail() {
    const QString text = m_client->error() + QStringLiteral(": ") + m_queue.first().account.name();
    release();
    removeHead();
    Q_EMIT sigError(text);
    scheduleNext();
}

void MailBox::slotError() {
    if (!fromClient())
        return;
    fail();
}

void MailBox::slotAuthError() {
    if (!fromClient())
        return;
    const DataAccount &account = m_queue.first().account;
    if (account.type != DataAccount::POP3 && account.type != DataAccount::IMAP) {
        // No prompt for other accounts: the refusal is an error like any other.
        fail();
        return;
    }
    const QString reason = refusalReason(m_client->error(), account.password());
    // The refused client goes before anyone is asked: nothing it says can reach the request
    // while the user types.
    release();
    m_awaitingLogin = true;
    std::fprintf(stderr, "MailBox::slotAuthError: %s: login refused\n", qPrintable(account.name()));
    Q_EMIT sigLoginRefused(DataAccount(account), reason);
}

void MailBox::retry(const DataAccount &details) {
    if (!m_awaitingLogin || m_queue.isEmpty() || m_queue.first().account.name() != details.name()) {
        std::fprintf(stderr, "MailBox::retry: %s: no login of it waits\n", qPrintable(details.name()));
        return;
    }
    m_awaitingLogin = false;
    MailBoxRequest &head = m_queue.first();
    copyLogin(details, head.account);
    head.loginChanged = true;
    const MailSocket *client = start(head);
    if (!client) {
        removeHead();
        startNext();
        return;
    }
    login(client);
}

void MailBox::cancel() {
    if (!m_awaitingLogin) {
        std::fprintf(stderr, "MailBox::cancel: no login waits\n");
        return;
    }
    m_awaitingLogin = false;
    removeHead();
    startNext();
}

void MailBox::writeBack(const MailBoxRequest &request) {
    StoreAccountList *store = StoreAccountList::accounts();
    const QString name = request.account.name();
    DataAccount *stored = store->account(name);
    if (!stored || AccountIdentity(*stored) != request.queuedFor) {
        std::fprintf(stderr,
                     "MailBox::slotLoggedIn: %s: the stored account has changed; new login not saved\n",
                     qPrintable(name));
        return;
    }
    if (stored->type == DataAccount::POP3)
        copyLogin(request.account.pop3.incoming, stored->pop3.incoming,
                  request.account.pop3.incoming.advanced, stored->pop3.incoming.advanced);
    else
        copyLogin(request.account.imap.incoming, stored->imap.incoming,
                  request.account.imap.incoming.advanced, stored->imap.incoming.advanced);
    store->setChanged(true);
    const QString failed = store->saveToStore();
    if (!failed.isEmpty())
        std::fprintf(stderr, "MailBox::slotLoggedIn: %s\n", qPrintable(failed));
}

void MailBox::slotLoggedIn() {
    if (!fromClient())
        return;
    MailSocket *const client = m_client;
    MailBoxRequest &head = m_queue.first();
    if (head.loginChanged) {
        head.loginChanged = false;
        writeBack(head);
    }
    const bool isDelete = m_queue.first().action == MailBoxRequest::Delete;
    Q_EMIT sigLoggedIn(DataAccount(m_queue.first().account), isDelete);
    // A receiver may have stopped the queue (see login()).
    if (m_client == client)
        client->getMessageList(!isDelete);
}

void MailBox::slotMessageList() {
    if (!fromClient())
        return;
    MailSocket *const client = m_client;
    Q_EMIT sigMessageList(DataAccount(m_queue.first().account));
    if (m_client != client || m_queue.first().action != MailBoxRequest::Delete)
        return;
    // The copies to keep come first, in this session: a message whose delete goes out has
    // its whole text on disk by then. One no longer listed has nothing left to copy.
    const MailBoxRequest &head = m_queue.first();
    QStringList whole;
    if (!head.whole.uids.isEmpty() && head.whole.keep) {
        QSet<QString> listed;
        listed.reserve(client->messageCount());
        for (const DataEmailMessage &m : std::as_const(client->messageList()))
            listed.insert(m.uid);
        const QSet<QString> ids(head.ids.cbegin(), head.ids.cend());
        for (const QString &uid : head.whole.uids)
            if (listed.contains(uid) && ids.contains(uid))
                whole.append(uid);
    }
    m_fetchedWhole = QSet<QString>(whole.cbegin(), whole.cend());
    if (whole.isEmpty())
        startDeleting();
    else
        client->fetchWhole(whole);
}

void MailBox::slotWholeMessage(const QString &uid, const SODataArray &text) {
    if (!fromClient())
        return;
    const MailBoxRequest &head = m_queue.first();
    const QString failure = head.whole.keep(uid, text);
    if (failure.isNull())
        m_kept.insert(uid);
    else
        notSaved(failure);
}

void MailBox::slotWholeFailed(const QString &uid, const QString &reason) {
    if (!fromClient())
        return;
    const MailBoxRequest &head = m_queue.first();
    std::fprintf(stderr, "MailBox::slotWholeFailed: %s: %s: %s; it stays on the server\n",
                 qPrintable(head.account.name()), qPrintable(uid), qPrintable(reason));
    notSaved(head.whole.unsaved ? head.whole.unsaved(uid) : reason);
}

void MailBox::notSaved(const QString &text) {
    m_notSaved = text;
    const int total = int(m_queue.first().ids.size());
    Q_EMIT sigProgress(DataAccount(m_queue.first().account), text, total, 0);
}

void MailBox::slotWholeDone() {
    if (!fromClient())
        return;
    startDeleting();
}

void MailBox::startDeleting() {
    MailSocket *const client = m_client;
    m_deleting.clear();
    for (const QString &uid : std::as_const(m_queue.first().ids))
        if (!m_fetchedWhole.contains(uid) || m_kept.contains(uid))
            m_deleting.append(uid);
    if (m_deleting.isEmpty())
        client->closeSocket(true);
    else
        client->deleteMessage(m_deleting.first());
}

void MailBox::slotDownloaded(int total, int number) {
    if (!fromClient())
        return;
    const QString text = QStringLiteral("Retrieving message %1 of %2").arg(number).arg(total);
    Q_EMIT sigProgress(DataAccount(m_queue.first().account), text, total, number);
}

void MailBox::slotMessageData(const DataEmailMessage &message) {
    if (!fromClient())
        return;
    const MailBoxRequest &head = m_queue.first();
    DataEmailMessage tagged = message;
    tagged.account = head.account.name();
    const bool timed = head.timed;
    Q_EMIT sigMessageData(DataAccount(head.account), tagged, timed);
}

void MailBox::slotMessageData() {
    if (!fromClient())
        return;
    MailSocket *const client = m_client;
    const MailBoxRequest &head = m_queue.first();
    const QString name = head.account.name();
    DataEmailList list = client->messageList();
    for (DataEmailMessage &message : list)
        message.account = name;
    const bool timed = head.timed;
    Q_EMIT sigMessageData(DataAccount(head.account), list, timed);
    if (m_client == client)
        client->closeSocket(false);
}

void MailBox::slotDeleted(const QString &uid) {
    if (!fromClient())
        return;
    MailSocket *const client = m_client;
    const MailBoxRequest &head = m_queue.first();
    const qsizetype i = m_deleting.indexOf(uid);
    if (i < 0) {
        m_client->closeSocket(true);
        return;
    }
    m_confirmed.append(uid);
    const int count = int(m_deleting.size());
    const QString text = QStringLiteral("Deleting message %1 of %2").arg(i + 1).arg(count);
    const QString next = i + 1 < count ? m_deleting.at(i + 1) : QString();
    // The bar measures the mailbox as listed in this session.
    const int total = qMax(count, m_client->messageCount());
    Q_EMIT sigProgress(DataAccount(head.account), text, total, int(i + 1));
    if (m_client != client)
        return;
    if (next.isNull())
        m_client->closeSocket(true); // the orderly end commits the deletions
    else
        m_client->deleteMessage(next);
}

void MailBox::slotClosed() {
    if (!fromClient())
        return;
    const MailBoxRequest head = m_queue.first();
    const QStringList confirmed = m_confirmed;
    const QString notSaved = m_notSaved;
    m_confirmed.clear();
    m_notSaved.clear();
    release();
    removeHead();
    // Only now are the deletions committed on the server.
    if (head.action == MailBoxRequest::Delete)
        for (const QString &uid : confirmed)
            Q_EMIT sigDeleted(head.account, uid);
    // What stayed for want of a copy is the last word of the session, not a passing one.
    if (!notSaved.isEmpty())
        Q_EMIT sigProgress(head.account, notSaved, int(head.ids.size()), int(confirmed.size()));
    scheduleNext();
}

void MailBox::slotSinceTimeout() {
    ++m_minutes;
    Q_EMIT sigSinceTimeout(m_minutes);
}
