#include "HotmailGateway.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <stdexcept>

namespace vltest {

namespace {
HotmailGateway *g_gateway = nullptr;
}

HotmailGateway &HotmailGateway::instance() {
    if (!g_gateway) {
        g_gateway = new HotmailGateway;
        qAddPostRoutine([] {
            delete g_gateway;
            g_gateway = nullptr;
        });
    }
    return *g_gateway;
}

HotmailGateway::HotmailGateway() : m_dir(QDir::tempPath() + QStringLiteral("/vl-gateway-XXXXXX")) {
    if (!m_dir.isValid())
        throw std::runtime_error("HotmailGateway: no temporary folder");
    m_port = 18080;
    reset();
    m_server = std::make_unique<ServerProcess>(m_dir.filePath(QStringLiteral("gateway.log")));
    m_server->start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral(VL_TESTSUPPORT_DIR "/hotmail_gateway.py"), host(),
                     QString::number(m_port), m_dir.path()},
                    ownLoopbackAddress(), m_port, 15000);
}

HotmailGateway::~HotmailGateway() {
    if (m_server)
        m_server->stop();
}

QString HotmailGateway::host() const {
    return ownLoopbackAddress().toString();
}

QString HotmailGateway::address() const {
    return QStringLiteral("%1:%2").arg(host()).arg(m_port);
}

void HotmailGateway::reset() {
    m_switches.clear();
    writeMode();
    setMessages({});
    QFile::remove(m_dir.filePath(QStringLiteral("requests.log")));
}

void HotmailGateway::setSwitch(const QString &name, const QString &value) {
    m_switches.append({name, value});
    writeMode();
}

void HotmailGateway::writeMode() {
    QStringList pairs;
    for (const auto &s : std::as_const(m_switches))
        pairs.append(QStringLiteral("\"%1\": \"%2\"").arg(s.first, s.second));
    QFile f(m_dir.filePath(QStringLiteral("mode.json.new")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("HotmailGateway: cannot write the mode");
    f.write((QLatin1Char('{') + pairs.join(QStringLiteral(", ")) + QLatin1Char('}')).toUtf8());
    f.close();
    // Replaced in one step: the server never reads half a file.
    ::rename(QFile::encodeName(f.fileName()).constData(),
             QFile::encodeName(m_dir.filePath(QStringLiteral("mode.json"))).constData());
}

void HotmailGateway::setMessages(const QList<QByteArray> &messages) {
    QDir mail(m_dir.filePath(QStringLiteral("mail")));
    mail.removeRecursively();
    QDir().mkpath(mail.path());
    for (qsizetype i = 0; i < messages.size(); ++i) {
        QFile f(mail.filePath(QStringLiteral("MSG%1.eml").arg(i + 1, 4, 10, QLatin1Char('0'))));
        if (!f.open(QIODevice::WriteOnly) || f.write(messages.at(i)) != messages.at(i).size())
            throw std::runtime_error("HotmailGateway: cannot write a message");
    }
}

QStringList HotmailGateway::requests() const {
    QFile f(m_dir.filePath(QStringLiteral("requests.log")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QStringList out = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (QString &line : out)
        line = line.trimmed();
    return out;
}

} // namespace vltest
