#include "MailSocket.h"

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
    setError(text, false);
    Q_EMIT sigAuthError();
}
