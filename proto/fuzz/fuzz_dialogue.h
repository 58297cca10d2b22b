#pragma once
// Plays fuzz input as a server's side of a whole session to a real mail client over
// loopback, driving the client as the mailbox queue does, and insists that every run ends
// in one of the client's ending signals.

#include "MailSocket.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

namespace fuzzdialogue {

inline QCoreApplication &app() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *a = [] {
        auto *created = new QCoreApplication(argc, argv);
        // Every protocol wait shrinks to a few milliseconds.
        SOSSLSocket::setTimeoutScale(0.001);
        return created;
    }();
    return *a;
}

// The first input byte picks the drive (bit 0: delete instead of fetch, bit 1: secure
// login, bit 2: a delete fetches every message whole first); the rest is what the server
// says.
inline int
play(const uint8_t *data, size_t size,
     const std::function<std::unique_ptr<MailSocket>(const QString &host, quint16 port, bool secure)> &make) {
    app();
    if (size < 1)
        return 0;
    const bool deleting = data[0] & 1;
    const bool secure = data[0] & 2;
    const bool wholeFirst = data[0] & 4;
    const QByteArray script(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        std::abort();
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server, &script] {
        QTcpSocket *peer = server.nextPendingConnection();
        peer->write(script);
        peer->disconnectFromHost();
    });

    std::unique_ptr<MailSocket> client = make(QStringLiteral("127.0.0.1"), server.serverPort(), secure);
    MailSocket *c = client.get();
    QEventLoop loop;
    int endings = 0;
    auto end = [&] {
        ++endings;
        loop.quit();
    };
    QStringList toDelete;
    auto deleteNext = [&] {
        if (toDelete.isEmpty())
            c->closeSocket(true);
        else
            c->deleteMessage(toDelete.takeFirst());
    };
    QObject::connect(c, &MailSocket::sigError, &loop, end);
    QObject::connect(c, &MailSocket::sigAuthError, &loop, end);
    QObject::connect(c, &MailSocket::sigClosed, &loop, end);
    QObject::connect(c, &MailSocket::sigLoggedIn, &loop, [&] { c->getMessageList(!deleting); });
    QObject::connect(c, &MailSocket::sigMessageList, &loop, [&] {
        if (!deleting)
            return;
        for (const DataEmailMessage &m : c->messageList())
            toDelete.append(m.uid);
        toDelete.append(QStringLiteral("not-listed"));
        if (wholeFirst)
            c->fetchWhole(toDelete);
        else
            deleteNext();
    });
    QObject::connect(c, &MailSocket::sigWholeDone, &loop, [&] { deleteNext(); });
    QObject::connect(c, &MailSocket::sigDeleted, &loop, [&](const QString &) { deleteNext(); });
    QObject::connect(c, qOverload<>(&MailSocket::sigMessageData), &loop, [&] {
        if (!deleting)
            c->closeSocket(false);
    });
    QTimer hang;
    hang.setSingleShot(true);
    QObject::connect(&hang, &QTimer::timeout, &loop, [] {
        std::fprintf(stderr, "fuzz_dialogue: no ending signal within the bound\n");
        std::abort();
    });
    hang.start(20000);
    c->login();
    if (endings == 0)
        loop.exec();
    hang.stop();
    client.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}

} // namespace fuzzdialogue
