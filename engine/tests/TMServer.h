#pragma once
// The community service for the tests: lighttpd on this process's loopback address, port
// 4050, with Digest authentication (realm "community", user "tmuser", password "tm-pw")
// and a python3 CGI (tm_service.py) on /Content and /Upload that checks the wire format,
// records each request and answers as the test tells it. One per test process.

#include "ServerProcess.h"

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class TMServer {
public:
    static TMServer &instance();
    ~TMServer();

    [[nodiscard]] QString host() const;

    // The answer for a check whose digest is digest: "found", "spaced" ("  FOUND "), "error"
    // (500) or "page" (not XML).
    void setAnswer(const QString &digest, const QString &mode);
    // Every request so far, oldest first.
    [[nodiscard]] QList<QJsonObject> records() const;
    void clearRecords();

private:
    TMServer();

    QTemporaryDir m_dir;
    std::unique_ptr<vltest::ServerProcess> m_server;
};
