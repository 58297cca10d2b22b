#include "MailSocket.h"

#include <QPointer>

MailSocket::MailSocket(QObject *parent) : SOSSLSocket(parent) {}

void MailSocket::appendMessage(const QString &uid, qint64 size) {
    DataEmailMessage &message = m_messages.emplaceBack();
    message.uid = uid;
    message.listedSize = size;
}

void MailSocket::loadEmail(int index, const SODataArray &raw, bool complete) {
    if (index < 0 || index >= m_messages.size())
        return;
    // The parsed message goes to the owner and is not kept: the list names the messages on
    // the server, and a whole mailbox of texts held here for the session would cost memory
    // (and time) in proportion to the mailbox.
    DataEmailMessage message = m_messages.at(index);
    message.loadEmail(raw);
    message.complete = complete;
    Q_EMIT sigMessageData(message);
}

void MailSocket::fetchWhole(const QStringList &uids) {
    // A client whose listing fetches whole messages is never asked; one that is has no way.
    QPointer<MailSocket> self(this);
    for (const QString &uid : uids) {
        Q_EMIT sigWholeFailed(uid, QStringLiteral("The server offers no whole message"));
        if (!self || m_ended)
            return;
    }
    Q_EMIT sigWholeDone();
}

void MailSocket::authError(const QString &text) {
    cancelTimeout();
    setError(text, false);
    Q_EMIT sigAuthError();
}

void MailSocket::tooMuchData() {
    setError(QStringLiteral("Server sent too much data"), true);
}

void MailSocket::setError(const QString &text, bool signal) {
    if (signal && !text.isEmpty()) {
        if (m_ended)
            return;
        m_ended = true;
        cancelTimeout();
        close();
    }
    SOSSLSocket::setError(text, signal);
}

void MailSocket::closeAndSignal() {
    cancelTimeout();
    close();
    m_ended = true;
    Q_EMIT sigClosed();
}

void MailSocket::refused(const QString &text, Refusal what) {
    if (what == Refusal::Login)
        authError(text);
    else
        setError(text, true);
}

void MailSocket::readyRead() {
    QPointer<MailSocket> self(this);
    if (!m_ended)
        readInput();
    if (!self || m_ended)
        return;
    if (atEOF() && awaitingReply())
        setError(QStringLiteral("Connection closed by host"), true);
}
