#include "MailSocket.h"

#include <QHash>
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

QList<int> MailSocket::listOrder() const {
    QList<int> order(m_messages.size());
    for (int i = 0; i < order.size(); ++i)
        order[i] = i;
    return order;
}

QList<int> MailSocket::wholeOrder(const QStringList &uids, const std::function<bool()> &ready) {
    QHash<QString, int> positions;
    positions.reserve(m_messages.size());
    for (int i = int(m_messages.size()) - 1; i >= 0; --i)
        positions.insert(m_messages.at(i).uid, i);
    QList<int> order;
    QStringList unlisted;
    for (const QString &uid : uids) {
        const auto at = positions.constFind(uid);
        if (at == positions.cend())
            unlisted.append(uid);
        else
            order.append(*at);
    }
    QPointer<MailSocket> self(this);
    for (const QString &uid : std::as_const(unlisted)) {
        Q_EMIT sigWholeFailed(uid, QStringLiteral("The message is not on the server"));
        if (!self || ended() || !ready())
            return {};
    }
    if (order.isEmpty())
        Q_EMIT sigWholeDone();
    return order;
}
