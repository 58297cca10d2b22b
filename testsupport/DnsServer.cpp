#include "DnsServer.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <stdexcept>
#include <unistd.h>

namespace vltest {

namespace {

QString dnsmasqProgram() {
    QString program = QStandardPaths::findExecutable(QStringLiteral("dnsmasq"));
    if (program.isEmpty())
        program = QStandardPaths::findExecutable(QStringLiteral("dnsmasq"),
                                                 {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")});
    return program;
}

} // namespace

DnsServer::DnsServer() = default;

DnsServer::~DnsServer() {
    stop();
}

void DnsServer::addZone(const QString &zone) {
    m_zones << zone;
}

void DnsServer::addRecord(const QString &name, const QString &ipv4) {
    m_records.append({name, ipv4});
}

bool DnsServer::canRun(QString *why) {
    if (::geteuid() != 0) {
        if (why)
            *why = QStringLiteral("binding port 53 needs root");
        return false;
    }
    if (dnsmasqProgram().isEmpty()) {
        if (why)
            *why = QStringLiteral("dnsmasq is not installed");
        return false;
    }
    return true;
}

QString DnsServer::configText() const {
    QString text;
    const auto line = [&text](const QString &l) { text += l + QLatin1Char('\n'); };
    // Started with -C, so neither /etc/dnsmasq.conf nor /etc/dnsmasq.d is read.
    line(QStringLiteral("listen-address=") + m_address.toString());
    line(QStringLiteral("port=53"));
    line(QStringLiteral("bind-interfaces"));
    line(QStringLiteral("no-resolv"));
    line(QStringLiteral("no-hosts"));
    line(QStringLiteral("no-poll"));
    line(QStringLiteral("user=nobody"));
    line(QStringLiteral("pid-file=") + m_dir->filePath(QStringLiteral("dnsmasq.pid")));
    line(QStringLiteral("log-facility=") + m_dir->filePath(QStringLiteral("dnsmasq.log")));
    line(QStringLiteral("log-queries"));
    for (const QString &zone : m_zones)
        line(QStringLiteral("local=/%1/").arg(zone));
    for (const auto &record : m_records)
        line(QStringLiteral("host-record=%1,%2").arg(record.first, record.second));
    return text;
}

void DnsServer::start(const QHostAddress &address) {
    QString why;
    if (!canRun(&why))
        throw std::runtime_error("DnsServer: " + why.toStdString());
    m_address = address;
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/dnsmasq-XXXXXX"));
    m_dir->setAutoRemove(qEnvironmentVariableIsEmpty("KEEP_FIXTURES"));
    // dnsmasq drops to "nobody" after start-up.
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                             QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                             QFile::ExeOther);
    const QString config = m_dir->filePath(QStringLiteral("dnsmasq.conf"));
    QFile file(config);
    if (!file.open(QIODevice::WriteOnly) || file.write(configText().toUtf8()) < 0)
        throw std::runtime_error("DnsServer: cannot write " + config.toStdString());
    file.close();
    m_process = std::make_unique<ServerProcess>(m_dir->filePath(QStringLiteral("stdout.log")));
    // dnsmasq serves TCP beside UDP: an accepted connection means it answers.
    m_process->start(dnsmasqProgram(), {QStringLiteral("-k"), QStringLiteral("-C"), config}, address, 53);
}

void DnsServer::stop() {
    m_process.reset();
}

QStringList DnsServer::queriedNames() const {
    QStringList names;
    if (!m_dir)
        return names;
    QFile log(m_dir->filePath(QStringLiteral("dnsmasq.log")));
    if (!log.open(QIODevice::ReadOnly))
        return names;
    // "<date> dnsmasq[<pid>]: query[A] <name> from <address>"
    const QByteArray marker("query[");
    while (!log.atEnd()) {
        const QByteArray line = log.readLine();
        const qsizetype at = line.indexOf(marker);
        if (at < 0)
            continue;
        const qsizetype nameStart = line.indexOf("] ", at);
        if (nameStart < 0)
            continue;
        const qsizetype nameEnd = line.indexOf(' ', nameStart + 2);
        names << QString::fromLatin1(
            line.mid(nameStart + 2, nameEnd < 0 ? -1 : nameEnd - nameStart - 2).trimmed());
    }
    return names;
}

} // namespace vltest
