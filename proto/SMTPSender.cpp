#include "SMTPSender.h"

#include "SMTPSocket.h"

#include <QByteArray>
#include <QHash>

#include <cstdio>

SMTPSender *SMTPSender::self(const char *name) {
    // Kept reachable for good: the senders outlive every caller.
    static auto *senders = new QHash<QByteArray, SMTPSender *>;
    const QByteArray key = name ? QByteArray(name) : QByteArrayLiteral("__default__");
    SMTPSender *&sender = (*senders)[key];
    if (!sender)
        sender = new SMTPSender;
    return sender;
}

void SMTPSender::sendMessage(bool addMarker, const QString &server, const DataAccountAdvancedSMTP &smtp,
                             const QString &user, const QString &password, const DataEmailMessage &message,
                             const QString &from, const QString &to) {
    m_queue.append(SMTPSenderRequest(addMarker, server, smtp, user, password, message, from, to));
    if (m_queue.size() == 1)
        startHead();
}

void SMTPSender::cancel() {
    m_queue.clear();
    dropClient(false);
}

void SMTPSender::start(const QString &server, const DataAccountAdvancedSMTP &smtp, const QString &user,
                       const QString &password) {
    dropClient(false);
    m_client = new SMTPSocket(this);
    connect(m_client, &SMTPSocket::sigLoggedIn, this, &SMTPSender::slotLoggedIn);
    connect(m_client, &SMTPSocket::sigError, this, &SMTPSender::slotError);
    connect(m_client, &SMTPSocket::sigSent, this, &SMTPSender::slotSent);
    const bool incomingLogin = smtp.authUsing == 1;
    m_client->setup(smtp.useSSL ? SOSSLSocket::SSLv23 : SOSSLSocket::NoSSL, server, smtp.portNumber,
                    incomingLogin ? user : smtp.authUserName, incomingLogin ? password : smtp.authPassword,
                    smtp.useSMTPAuth);
    m_client->setOnlySecure(smtp.useOnlySecure);
    m_client->login();
}

void SMTPSender::startHead() {
    const SMTPSenderRequest &head = m_queue.first();
    start(head.server, head.smtp, head.user, head.password);
    Q_EMIT sigBusy(true);
}

void SMTPSender::sendHead() {
    const SMTPSenderRequest &head = m_queue.first();
    m_client->sendMessage(head.from, head.to, head.body(), head.message.uid);
}

void SMTPSender::dropClient(bool quit) {
    SMTPSocket *client = m_client;
    m_client = nullptr;
    if (!client)
        return;
    disconnect(client, nullptr, this, nullptr);
    if (quit && client->state() == SMTPSocket::State::Ready)
        client->closeSocket(true);
    else
        client->close();
    client->deleteLater();
}

void SMTPSender::slotLoggedIn() {
    SMTPSocket *client = m_client;
    Q_EMIT sigLoggedIn();
    // A receiver may have cancelled, or cancelled and queued anew on another connection.
    if (client && m_client == client && !m_queue.isEmpty())
        sendHead();
}

void SMTPSender::slotSent(const QString &uid) {
    SMTPSocket *client = m_client;
    Q_EMIT sigSent(uid);
    if (!client || m_client != client || m_queue.isEmpty())
        return;
    if (uid != m_queue.first().message.uid) {
        // Not the message at the head: nothing is known to be sent, so nothing is dropped.
        std::fprintf(stderr, "SMTPSender::slotSent: uid mismatch\n");
        dropClient(true);
        startHead();
        return;
    }
    if (m_queue.size() < 2) {
        dropClient(true);
        m_queue.clear();
        Q_EMIT sigBusy(false);
        return;
    }
    const SMTPSenderRequest &head = m_queue.at(0);
    const SMTPSenderRequest &next = m_queue.at(1);
    const bool keep = head.smtp.tag() == next.smtp.tag() && head.server == next.server;
    if (!keep)
        dropClient(true);
    m_queue.removeFirst();
    if (keep)
        sendHead();
    else
        startHead();
}

void SMTPSender::slotError() {
    SMTPSocket *client = m_client;
    if (!client)
        return;
    m_error = client->error();
    std::fprintf(stderr, "SMTPSender::slotError: [%s]\n", qPrintable(m_error));
    Q_EMIT sigError();
    if (m_client != client)
        return; // a receiver cancelled
    if (!m_queue.isEmpty()) {
        const SMTPSenderRequest &failed = m_queue.first();
        std::fprintf(stderr, "SMTPSender::slotError: dropped message %s to %s\n",
                     qPrintable(failed.message.uid), qPrintable(failed.to));
        m_queue.removeFirst();
    }
    dropClient(false);
    if (m_queue.isEmpty())
        Q_EMIT sigBusy(false);
    else
        startHead();
}
