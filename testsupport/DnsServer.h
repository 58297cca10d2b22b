#pragma once
// A DNS server as a test fixture: dnsmasq on port 53 of this process's own loopback
// address (the only port QDnsLookup can ask), answering A records of the zones it is
// given. A name inside a zone without a record gets "no such name"; a name outside every
// zone is refused. Every query is logged, so a test can see what was asked.

#include "ServerProcess.h"

#include <QHostAddress>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace vltest {

class DnsServer {
public:
    DnsServer();
    ~DnsServer();
    DnsServer(const DnsServer &) = delete;
    DnsServer &operator=(const DnsServer &) = delete;

    // Before start: a zone answered with authority, and one A record (several records of
    // one name are all answered).
    void addZone(const QString &zone);
    void addRecord(const QString &name, const QString &ipv4);

    // Starts dnsmasq on address:53 and waits until it answers; throws std::runtime_error.
    void start(const QHostAddress &address);
    void stop();
    [[nodiscard]] const QHostAddress &address() const { return m_address; }

    // The names asked so far, in the order they arrived.
    [[nodiscard]] QStringList queriedNames() const;

    // Whether this process can run the server (port 53 needs root); why not, when it cannot.
    [[nodiscard]] static bool canRun(QString *why);

private:
    [[nodiscard]] QString configText() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ServerProcess> m_process;
    QHostAddress m_address;
    QStringList m_zones;
    QList<QPair<QString, QString>> m_records;
};

} // namespace vltest
