#include "TMServer.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonDocument>

#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace {

TMServer *g_server = nullptr;

constexpr QFile::Permissions kReadable =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
constexpr QFile::Permissions kOpen = kReadable | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
constexpr QFile::Permissions kShared = kOpen | QFile::WriteGroup | QFile::WriteOther;

void writeFile(const QString &path, const QByteArray &content, QFile::Permissions mode) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        throw std::runtime_error("TMServer: cannot write " + path.toStdString());
    f.close();
    QFile::setPermissions(path, mode);
}

QByteArray readFile(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TMServer &TMServer::instance() {
    if (!g_server) {
        g_server = new TMServer;
        qAddPostRoutine([] {
            delete g_server;
            g_server = nullptr;
        });
    }
    return *g_server;
}

TMServer::~TMServer() {
    if (m_server)
        m_server->stop();
}

QString TMServer::host() const {
    return vltest::ownLoopbackAddress().toString();
}

TMServer::TMServer() : m_dir(QDir::tempPath() + QStringLiteral("/vl-tm-XXXXXX")) {
    if (!m_dir.isValid())
        throw std::runtime_error("TMServer: no temporary folder");
    m_dir.setAutoRemove(qEnvironmentVariableIsEmpty("KEEP_FIXTURES"));
    const QString d = m_dir.path();
    QFile::setPermissions(d, kOpen);
    for (const char *sub : {"www", "log", "records"}) {
        QDir(d).mkpath(QLatin1String(sub));
        QFile::setPermissions(d + QLatin1Char('/') + QLatin1String(sub), sub[0] == 'w' ? kOpen : kShared);
    }
    const QByteArray script = readFile(QStringLiteral(VL_ENGINE_TESTS_DIR "/tm_service.py"));
    if (script.isEmpty())
        throw std::runtime_error("TMServer: tm_service.py not found");
    writeFile(d + QStringLiteral("/www/Content"), script, kOpen);
    writeFile(d + QStringLiteral("/www/Upload"), script, kOpen);
    writeFile(d + QStringLiteral("/www/records"), (d + QStringLiteral("/records\n")).toUtf8(), kReadable);
    writeFile(d + QStringLiteral("/www/answers"), QByteArray(), kReadable);
    const QByteArray ha1 =
        QCryptographicHash::hash("tmuser:community:tm-pw", QCryptographicHash::Md5).toHex();
    writeFile(d + QStringLiteral("/htdigest"), "tmuser:community:" + ha1 + "\n", kReadable);
    const bool root = getuid() == 0;
    if (root) {
        const passwd *pw = getpwnam("nobody");
        if (!pw ||
            ::chown(QFile::encodeName(d + QStringLiteral("/log")).constData(), pw->pw_uid, pw->pw_gid) != 0)
            throw std::runtime_error("TMServer: cannot give the log folder to nobody");
    }
    const QString conf =
        QStringLiteral(R"CONF(server.modules = ("mod_access", "mod_auth", "mod_authn_file", "mod_cgi")
server.document-root = "%1/www"
server.bind = "%2"
server.port = 4050
server.pid-file = "%1/lighttpd.pid"
server.errorlog = "%1/log/error.log"
%3
mimetype.assign = ("" => "text/plain")
url.access-deny = ("answers", "records")
auth.backend = "htdigest"
auth.backend.htdigest.userfile = "%1/htdigest"
auth.require = ("/" => ("method" => "digest", "realm" => "community", "require" => "valid-user",
                        "algorithm" => "MD5"))
cgi.assign = ("/Content" => "/usr/bin/python3", "/Upload" => "/usr/bin/python3")
)CONF")
            .arg(d, host(),
                 root ? QStringLiteral("server.username = \"nobody\"\nserver.groupname = \"nogroup\"")
                      : QString());
    writeFile(d + QStringLiteral("/lighttpd.conf"), conf.toUtf8(), kReadable);
    m_server = std::make_unique<vltest::ServerProcess>(d + QStringLiteral("/lighttpd.out"));
    m_server->start(QStringLiteral("/usr/sbin/lighttpd"),
                    {QStringLiteral("-D"), QStringLiteral("-f"), d + QStringLiteral("/lighttpd.conf")},
                    vltest::ownLoopbackAddress(), 4050);
}

void TMServer::setAnswer(const QString &digest, const QString &mode) {
    const QString path = m_dir.path() + QStringLiteral("/www/answers");
    writeFile(path, readFile(path) + (digest + QLatin1Char(' ') + mode + QLatin1Char('\n')).toUtf8(),
              kReadable);
}

QList<QJsonObject> TMServer::records() const {
    QDir dir(m_dir.path() + QStringLiteral("/records"));
    QList<QJsonObject> out;
    for (const QString &name : dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        out.append(QJsonDocument::fromJson(readFile(dir.filePath(name))).object());
    return out;
}

void TMServer::clearRecords() {
    QDir dir(m_dir.path() + QStringLiteral("/records"));
    for (const QString &name : dir.entryList(QDir::Files))
        dir.remove(name);
}
