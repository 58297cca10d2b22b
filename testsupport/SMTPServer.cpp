#include "SMTPServer.h"

#include "TestCA.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <stdexcept>
#include <unistd.h>

namespace vltest {

namespace {

SMTPServer *g_server = nullptr;

struct ListenerSpec {
    SMTPServer::Listener listener;
    quint16 rootPort;
    quint16 userPort;
    bool tls;
    const char *mechanisms;
};

constexpr ListenerSpec kListeners[] = {
    {SMTPServer::Plain, 25, 10025, false, "all"},
    {SMTPServer::ImplicitTLS, 465, 10465, true, "all"},
    {SMTPServer::LoginOnly, 10026, 10026, false, "LOGIN"},
    {SMTPServer::PlainOnly, 10027, 10027, false, "PLAIN"},
    {SMTPServer::NoCram, 10028, 10028, false, "LOGIN+PLAIN"},
    {SMTPServer::PlainOnlyTLS, 10466, 10466, true, "PLAIN"},
};

} // namespace

SMTPServer &SMTPServer::instance() {
    if (!g_server) {
        g_server = new SMTPServer;
        // Before the application object goes: the server's process handle needs it.
        qAddPostRoutine([] {
            delete g_server;
            g_server = nullptr;
        });
    }
    return *g_server;
}

SMTPServer::SMTPServer() : m_dir(QDir::tempPath() + QStringLiteral("/vl-smtpd-XXXXXX")) {
    if (!m_dir.isValid())
        throw std::runtime_error("SMTPServer: no temporary folder");
    m_dir.setAutoRemove(qEnvironmentVariableIsEmpty("KEEP_FIXTURES"));
    m_base = getuid() == 0 ? 0 : 10000;
    const TestCA &ca = TestCA::instance();
    QStringList args{QStringLiteral(VL_SMTPD_SCRIPT),
                     QStringLiteral("--addr"),
                     host(),
                     QStringLiteral("--cert"),
                     ca.certFile(TestCA::Good),
                     QStringLiteral("--key"),
                     ca.keyFile(TestCA::Good),
                     QStringLiteral("--outdir"),
                     m_dir.filePath(QStringLiteral("out")),
                     QStringLiteral("--user"),
                     user() + QLatin1Char(':') + password(),
                     QStringLiteral("--refuse"),
                     refusedRecipient()};
    for (const ListenerSpec &l : kListeners)
        args << QStringLiteral("--listener")
             << QStringLiteral("%1:%2:%3")
                    .arg(port(l.listener))
                    .arg(l.tls ? 1 : 0)
                    .arg(QLatin1String(l.mechanisms));
    m_server = std::make_unique<ServerProcess>(m_dir.filePath(QStringLiteral("smtpd.log")));
    // The listeners start in order: the last one accepting means all do.
    m_server->start(QStringLiteral("/usr/bin/python3"), args, ownLoopbackAddress(), port(PlainOnlyTLS),
                    20000);
}

SMTPServer::~SMTPServer() {
    if (m_server)
        m_server->stop(2000);
}

QString SMTPServer::host() const {
    return ownLoopbackAddress().toString();
}

quint16 SMTPServer::port(Listener listener) const {
    for (const ListenerSpec &l : kListeners) {
        if (l.listener == listener)
            return m_base == 0 ? l.rootPort : l.userPort;
    }
    return 0;
}

QList<SMTPServer::Message> SMTPServer::messages() const {
    QList<Message> out;
    const QDir dir(m_dir.filePath(QStringLiteral("out")));
    const QStringList names = dir.entryList({QStringLiteral("*.eml")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        QFile eml(dir.filePath(name));
        QFile json(dir.filePath(name.chopped(4) + QStringLiteral(".json")));
        if (!eml.open(QIODevice::ReadOnly) || !json.open(QIODevice::ReadOnly))
            throw std::runtime_error("SMTPServer: cannot read " + name.toStdString());
        const QJsonObject meta = QJsonDocument::fromJson(json.readAll()).object();
        Message m;
        m.content = eml.readAll();
        m.mailFrom = meta.value(QStringLiteral("mail_from")).toString();
        for (const QJsonValue &r : meta.value(QStringLiteral("rcpt_to")).toArray())
            m.rcptTo.append(r.toString());
        m.user = meta.value(QStringLiteral("user")).toString();
        m.mechanism = meta.value(QStringLiteral("mechanism")).toString();
        m.connection = meta.value(QStringLiteral("connection")).toInt();
        m.tls = meta.value(QStringLiteral("tls")).toBool();
        m.port = quint16(meta.value(QStringLiteral("port")).toInt());
        out.append(m);
    }
    return out;
}

QList<SMTPServer::Message> SMTPServer::messagesTo(const QString &recipient) const {
    QList<Message> out;
    for (const Message &m : messages()) {
        if (m.rcptTo.contains(recipient, Qt::CaseInsensitive))
            out.append(m);
    }
    return out;
}

} // namespace vltest
