#pragma once
// Drives a mail client the way the mailbox queue does (download: log in, list, fetch all,
// drop the link; delete: log in, list, delete each id, say goodbye; a delete of whole
// copies first fetches each id whole and deletes only those that came) and records every
// signal, so tests can check that exactly one ending arrived.

#include "MailSocket.h"

#include "GuiHelpers.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QHash>
#include <QObject>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>
#include <ostream>

// Readable failure messages for lists of texts (GuiHelpers.h prints a text).
inline void PrintTo(const QStringList &l, std::ostream *os) {
    *os << '[' << l.join(QStringLiteral("|")).toStdString() << ']';
}

class MailSession : public QObject {
public:
    enum Mode { Download, Delete, LoginOnly, DeleteWhole };

    MailSession(MailSocket *client, Mode mode, QStringList toDelete = {})
        : m_client(client), m_mode(mode), m_toDelete(std::move(toDelete)) {
        connect(client, &MailSocket::sigError, this,
                [this] { end(QStringLiteral("error: ") + m_client->error()); });
        connect(client, &MailSocket::sigAuthError, this,
                [this] { end(QStringLiteral("auth: ") + m_client->error()); });
        connect(client, &MailSocket::sigClosed, this, [this] { end(QStringLiteral("closed")); });
        connect(client, &MailSocket::sigLoggedIn, this, [this] {
            events.append(QStringLiteral("loggedIn"));
            if (m_mode != LoginOnly)
                m_client->getMessageList(m_mode == Download);
        });
        connect(client, &MailSocket::sigMessageList, this, [this] {
            events.append(QStringLiteral("list %1").arg(m_client->messageCount()));
            if (m_mode == Delete)
                deleteNext();
            if (m_mode == DeleteWhole) {
                const QStringList ids = m_toDelete;
                m_toDelete.clear();
                m_client->fetchWhole(ids);
            }
        });
        connect(client, &MailSocket::sigWholeMessage, this,
                [this](const QString &uid, const SODataArray &text) {
                    events.append(QStringLiteral("whole ") + uid);
                    whole.insert(uid, text);
                    m_toDelete.append(uid);
                });
        connect(client, &MailSocket::sigWholeFailed, this, [this](const QString &uid, const QString &reason) {
            events.append(QStringLiteral("unsaved %1: %2").arg(uid, reason));
        });
        connect(client, &MailSocket::sigWholeDone, this, [this] {
            events.append(QStringLiteral("wholeDone"));
            deleteNext();
        });
        connect(client, &MailSocket::sigDownloaded, this, [this](int total, int number) {
            ++downloaded;
            lastTotal = total;
            if (onDownloaded)
                onDownloaded(number);
        });
        connect(client, qOverload<const DataEmailMessage &>(&MailSocket::sigMessageData), this,
                [this](const DataEmailMessage &m) { messages.append(m); });
        connect(client, qOverload<>(&MailSocket::sigMessageData), this, [this] {
            events.append(QStringLiteral("data"));
            if (m_mode == Download)
                m_client->closeSocket(false);
        });
        connect(client, &MailSocket::sigDeleted, this, [this](const QString &uid) {
            events.append(QStringLiteral("deleted ") + uid);
            deleteNext();
        });
    }

    // Logs in and waits for the first ending (or the bound); true when one arrived.
    // (An event loop rather than QTest::qWaitFor, which naps 10 ms between turns and would
    // make every round trip that slow.)
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

    QStringList events;
    QStringList endings;
    QList<DataEmailMessage> messages;
    QHash<QString, QByteArray> whole; // the whole texts, by uid
    int downloaded = 0;
    int lastTotal = 0;
    std::function<void(int)> onDownloaded;
    QElapsedTimer sinceEnd;

private:
    void end(const QString &what) {
        events.append(what);
        endings.append(what);
        sinceEnd.start();
        if (m_loop)
            m_loop->quit();
    }
    void deleteNext() {
        if (m_toDelete.isEmpty()) {
            m_client->closeSocket(true);
            return;
        }
        m_client->deleteMessage(m_toDelete.takeFirst());
    }

    MailSocket *m_client;
    Mode m_mode;
    QStringList m_toDelete;
    QEventLoop *m_loop = nullptr;
};
