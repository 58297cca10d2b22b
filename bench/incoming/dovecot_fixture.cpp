// Starts the test Dovecot with one user whose mailbox holds N messages, prints where it
// listens, and keeps it running until its standard input closes.
//
//   vl_dovecot_fixture N
//   -> HOST POP3 POP3S IMAP IMAPS USER PASSWORD CAFILE

#include "DovecotServer.h"
#include "TestCA.h"

#include <QCoreApplication>

#include <cstdio>
#include <unistd.h>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    auto &server = vltest::DovecotServer::instance();
    server.addUser(QStringLiteral("bench"), QStringLiteral("bench-pw"));
    QList<QByteArray> messages;
    QByteArray body;
    for (int line = 1; line <= 40; ++line)
        body +=
            "This is line " + QByteArray::number(line) + " of an ordinary message body, some words long.\r\n";
    for (int i = 0; i < count; ++i)
        messages.append("From: Sender " + QByteArray::number(i) + " <s" + QByteArray::number(i) +
                        "@example.org>\r\nTo: bench@example.org\r\nSubject: Message " +
                        QByteArray::number(i) + "\r\nMessage-ID: <" + QByteArray::number(i) +
                        "@example.org>\r\n\r\n" + body);
    vltest::fillMaildir(server.maildir(QStringLiteral("bench")), messages);
    std::printf("%s %d %d %d %d bench bench-pw %s\n", qPrintable(server.host()), server.pop3Port(),
                server.pop3sPort(), server.imapPort(), server.imapsPort(),
                qPrintable(vltest::TestCA::instance().caFile()));
    std::fflush(stdout);
    char buf[256];
    while (::read(0, buf, sizeof buf) > 0) {
    }
    return 0;
}
