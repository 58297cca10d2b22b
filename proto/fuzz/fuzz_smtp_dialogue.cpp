// An SMTP server's whole side of a session, from the fuzzer, to the real client: greeting,
// capabilities, login challenges and the replies to one or two messages. Every run must end
// in exactly one of the client's ending signals.
#include "SMTPSocket.h"
#include "fuzz_dialogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    fuzzdialogue::app();
    if (size < 1)
        return 0;
    // First byte: bit 0 greets with HELO, bit 1 asks for a secure login only, bit 2 sends a
    // second message over the same connection.
    const bool helo = data[0] & 1;
    const bool onlySecure = data[0] & 2;
    int messages = (data[0] & 4) ? 2 : 1;
    const QByteArray script(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));

    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost, 0))
        std::abort();
    QObject::connect(&server, &QTcpServer::newConnection, &server, [&server, &script] {
        QTcpSocket *peer = server.nextPendingConnection();
        peer->write(script);
        peer->disconnectFromHost();
    });

    auto client = std::make_unique<SMTPSocket>();
    SMTPSocket *c = client.get();
    c->setup(SOSSLSocket::NoSSL, QStringLiteral("127.0.0.1"), server.serverPort(), QStringLiteral("user"),
             QStringLiteral("secret"), !helo);
    c->setOnlySecure(onlySecure);
    QEventLoop loop;
    int endings = 0;
    auto end = [&] {
        ++endings;
        loop.quit();
    };
    auto next = [&] {
        if (messages-- > 0)
            c->sendMessage(QStringLiteral("a@example.org"), QStringLiteral("b@example.org"),
                           QStringLiteral("Subject: x\n\n.\n..\nbody"), QStringLiteral("uid"));
        else
            c->closeSocket(true);
    };
    QObject::connect(c, &SMTPSocket::sigError, &loop, end);
    QObject::connect(c, &SMTPSocket::sigClosed, &loop, end);
    QObject::connect(c, &SMTPSocket::sigLoggedIn, &loop, next);
    QObject::connect(c, &SMTPSocket::sigSent, &loop, [&](const QString &) { next(); });
    QTimer hang;
    hang.setSingleShot(true);
    QObject::connect(&hang, &QTimer::timeout, &loop, [] {
        std::fprintf(stderr, "fuzz_smtp_dialogue: no ending signal within the bound\n");
        std::abort();
    });
    hang.start(20000);
    c->login();
    if (endings == 0)
        loop.exec();
    hang.stop();
    // Nothing may follow the first ending.
    QCoreApplication::processEvents();
    if (endings != 1) {
        std::fprintf(stderr, "fuzz_smtp_dialogue: %d endings\n", endings);
        std::abort();
    }
    client.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    return 0;
}
