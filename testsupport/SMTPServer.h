#pragma once
// An aiosmtpd instance for the tests that send mail: listeners on this process's own
// loopback address, plain and implicit TLS (certificate of the test authority), each offering
// a chosen set of AUTH mechanisms, one user, and one recipient that is always refused. Every
// accepted message is kept as it arrived, with its envelope, the login and mechanism used and
// the number of the connection it came over. One per test process, started on first use.

#include "ServerProcess.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace vltest {

class SMTPServer {
public:
    enum Listener {
        Plain,        // CRAM-MD5, LOGIN and PLAIN; port 25 when running as root
        ImplicitTLS,  // the same over TLS from the first byte; port 465 when running as root
        LoginOnly,    // plain, LOGIN only
        PlainOnly,    // plain, PLAIN only
        NoCram,       // plain, LOGIN and PLAIN
        PlainOnlyTLS, // implicit TLS, PLAIN only
    };

    struct Message {
        QByteArray content; // as the client sent it, dot-unstuffed
        QString mailFrom;
        QStringList rcptTo;
        QString user;      // empty without a login
        QString mechanism; // the AUTH mechanism of the login, empty without one
        int connection = 0;
        bool tls = false;
        quint16 port = 0;
    };

    // Starts the server on first use; throws std::runtime_error when it cannot.
    static SMTPServer &instance();
    ~SMTPServer();
    SMTPServer(const SMTPServer &) = delete;
    SMTPServer &operator=(const SMTPServer &) = delete;

    [[nodiscard]] QString host() const;
    [[nodiscard]] quint16 port(Listener listener) const;
    // Whether Plain and ImplicitTLS are on 25 and 465 (so a client's port 0 reaches them).
    [[nodiscard]] bool standardPorts() const { return m_base == 0; }

    [[nodiscard]] static QString user() { return QStringLiteral("carol"); }
    [[nodiscard]] static QString password() { return QStringLiteral("carol-pw"); }
    [[nodiscard]] static QString refusedRecipient() { return QStringLiteral("refused@example.org"); }

    // Every message accepted so far, in order of arrival.
    [[nodiscard]] QList<Message> messages() const;
    // Those whose envelope names the recipient (tests of one binary share the server: each
    // test sends to addresses of its own).
    [[nodiscard]] QList<Message> messagesTo(const QString &recipient) const;

private:
    SMTPServer();

    QTemporaryDir m_dir;
    quint16 m_base = 0;
    std::unique_ptr<ServerProcess> m_server;
};

} // namespace vltest
