#pragma once
// Drives one SMTP client the way the sender queue does: log in, send each message after the
// previous one is accepted, then close; records every signal so tests can check that exactly
// one ending arrived and in which order things happened.

#include "SMTPSocket.h"

#include <QEventLoop>
#include <QList>
#include <QMetaEnum>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <ostream>

inline void PrintTo(const QString &s, std::ostream *os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QStringList &l, std::ostream *os) {
    *os << '[' << l.join(QStringLiteral("|")).toStdString() << ']';
}
inline void PrintTo(SMTPSocket::State state, std::ostream *os) {
    *os << QMetaEnum::fromType<SMTPSocket::State>().valueToKey(int(state)) << " (" << int(state) << ')';
}

struct Outgoing {
    QString from;
    QString to;
    QString text;
    QString uid;
};

class SMTPSession : public QObject {
public:
    SMTPSession(SMTPSocket *client, QList<Outgoing> messages)
        : m_client(client), m_messages(std::move(messages)) {
        connect(client, &SMTPSocket::sigError, this,
                [this] { end(QStringLiteral("error: ") + m_client->error()); });
        connect(client, &SMTPSocket::sigClosed, this, [this] { end(QStringLiteral("closed")); });
        connect(client, &SMTPSocket::sigLoggedIn, this, [this] {
            events.append(QStringLiteral("loggedIn"));
            next();
        });
        connect(client, &SMTPSocket::sigStatus, this,
                [this](const QString &text) { events.append(QStringLiteral("status ") + text); });
        connect(client, &SMTPSocket::sigSent, this, [this](const QString &uid) {
            events.append(QStringLiteral("sent ") + uid);
            next();
        });
    }

    // Logs in and waits for the first ending (or the bound); true when one arrived.
    bool run(int timeoutMs = 60000) {
        QEventLoop loop;
        QTimer bound;
        bound.setSingleShot(true);
        connect(&bound, &QTimer::timeout, &loop, &QEventLoop::quit);
        m_loop = &loop;
        bound.start(timeoutMs);
        m_client->login();
        if (endings.isEmpty())
            loop.exec();
        m_loop = nullptr;
        return !endings.isEmpty();
    }

    // Lets the event loop run a while longer, to see whether anything else arrives.
    static void settle(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

    QStringList events;
    QStringList endings;

private:
    void next() {
        if (m_messages.isEmpty()) {
            m_client->closeSocket(true);
            return;
        }
        const Outgoing m = m_messages.takeFirst();
        m_client->sendMessage(m.from, m.to, m.text, m.uid);
    }
    void end(const QString &what) {
        events.append(what);
        endings.append(what);
        if (m_loop)
            m_loop->quit();
    }

    SMTPSocket *m_client;
    QList<Outgoing> m_messages;
    QEventLoop *m_loop = nullptr;
};
