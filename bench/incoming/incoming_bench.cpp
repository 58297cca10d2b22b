// Lists and fetches a mailbox with the POP3 or IMAP4 client, the way a mail check does, and
// prints the messages per second and this process's own CPU seconds.
//
//   vl_incoming_bench pop3|imap plain|tls HOST PORT USER PASSWORD [LINES]

#include "IMAP4Socket.h"
#include "POP3Socket.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>
#include <sys/resource.h>

namespace {

double cpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 7) {
        std::fprintf(stderr, "usage: %s pop3|imap plain|tls HOST PORT USER PASSWORD [LINES]\n", argv[0]);
        return 2;
    }
    const bool pop3 = args[1] == QStringLiteral("pop3");
    const SOSSLSocket::SSLType type =
        args[2] == QStringLiteral("tls") ? SOSSLSocket::SSLv23 : SOSSLSocket::NoSSL;
    const int lines = args.size() > 7 ? args[7].toInt() : 200;
    std::unique_ptr<MailSocket> client;
    if (pop3) {
        auto c = std::make_unique<POP3Socket>();
        c->setup(type, args[3], args[4].toInt(), args[5], args[6], lines);
        client = std::move(c);
    } else {
        auto c = std::make_unique<IMAP4Socket>();
        c->setup(type, args[3], args[4].toInt(), args[5], args[6], lines);
        client = std::move(c);
    }
    int fetched = 0;
    qint64 bytes = 0;
    int status = 1;
    MailSocket *c = client.get();
    QObject::connect(c, &MailSocket::sigLoggedIn, c, [c] { c->getMessageList(true); });
    QObject::connect(c, qOverload<const DataEmailMessage &>(&MailSocket::sigMessageData), c,
                     [&](const DataEmailMessage &m) {
                         ++fetched;
                         bytes += m.raw.size();
                     });
    QObject::connect(c, qOverload<>(&MailSocket::sigMessageData), c, [c] { c->closeSocket(false); });
    QObject::connect(c, &MailSocket::sigClosed, c, [&] {
        status = 0;
        app.quit();
    });
    auto fail = [&] {
        std::fprintf(stderr, "incoming_bench: %s\n", qPrintable(c->error()));
        app.quit();
    };
    QObject::connect(c, &MailSocket::sigError, c, fail);
    QObject::connect(c, &MailSocket::sigAuthError, c, fail);
    QElapsedTimer wall;
    const double cpu0 = cpuSeconds();
    wall.start();
    c->login();
    app.exec();
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    const double cpu = cpuSeconds() - cpu0;
    std::printf("messages %d bytes %lld seconds %.3f rate %.1f cpu %.3f\n", fetched,
                static_cast<long long>(bytes), seconds, fetched / seconds, cpu);
    return status;
}
