#pragma once
// A lighttpd instance for the HTTP tests: plain and TLS (certificate of the test CA) on this
// process's own loopback address (ports 80 and 443 when running as root), with static pages,
// a Digest-protected folder, redirects of every kind and a loop, a cookie set and checked,
// and CGI scripts (".sh" by the shell, ".py" by python3) that tests may add. One per test
// process, started on first use and stopped when the application object goes.
//
// Endpoints: /index.html ("hello"); /private/secret.txt (Digest, realm "test realm", user
// "dave", password "dave-pw"); /old/X -> 302 /new/X; /moved -> 301 /index.html; /see -> 303
// and /temp -> 307 to /cgi-bin/echo.sh?from=...; /perm -> 308 /index.html; /loop -> /loop;
// /cookie/set (Set-Cookie: session=abc123);
// /cgi-bin/echo.sh (method, query, cookie, host and body of the request);
// /cgi-bin/chunked.sh (streamed, so sent in chunks).

#include "ServerProcess.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace vltest {

class LighttpdServer {
public:
    // Starts the server on first use; throws std::runtime_error when it cannot.
    static LighttpdServer &instance();
    ~LighttpdServer();
    LighttpdServer(const LighttpdServer &) = delete;
    LighttpdServer &operator=(const LighttpdServer &) = delete;

    [[nodiscard]] QString host() const;
    [[nodiscard]] quint16 port() const { return m_port; }
    [[nodiscard]] quint16 tlsPort() const { return m_tlsPort; }
    // Whether the ports are 80 and 443, so that a client's port 0 reaches them.
    [[nodiscard]] bool standardPorts() const { return m_port == 80; }
    [[nodiscard]] QString docRoot() const;

    // Writes a file below the document root (folders made as needed), readable by the
    // server; executable for a script. Takes effect at once.
    void addFile(const QString &relativePath, const QByteArray &content, bool executable = false);
    // The access log, one request a line (the server writes it with a delay of a second or so).
    [[nodiscard]] QStringList accessLog() const;

private:
    LighttpdServer();
    void writeConfig();

    QTemporaryDir m_dir;
    quint16 m_port = 0;
    quint16 m_tlsPort = 0;
    std::unique_ptr<ServerProcess> m_server;
};

} // namespace vltest
