#include "MailSocket.h"

#include <QPointer>

MailSocket::MailSocket(QObject *parent) : SOSSLSocket(parent) {}

void MailSocket::appendMessage(const QString &uid) {
    DataEmailMessage m;
    m.uid = uid;
    m_messages.append(m);
}

void MailSocket::loadEmail(int index, const SODataArray &raw) {
    if (index < 0 || index >= m_messages.size())
        return;
    m_messages[index].loadEmail(raw);
    Q_EMIT sigMessageData(m_messages.at(index));
}

void MailSocket::authError(const QString &text) {
    cancelTimeout();
    setError(text, false);
    Q_EMIT sigAuthError();
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

QString MailSocket::serverLine(const QByteArray &line) {
    return QString::fromLatin1(line.left(kMaxErrorText));
}

void MailSocket::readyRead() {
    QPointer<MailSocket> self(this);
    QByteArray line;
    while (!m_ended) {
        if (!takePending())
            break;
        if (!self || m_ended || !readLine(line))
            break;
        cancelTimeout();
        handleLine(line);
        if (!self)
            return;
    }
    if (!self || m_ended)
        return;
    if (atEOF() && awaitingReply())
        setError(QStringLiteral("Connection closed by host"), true);
}
