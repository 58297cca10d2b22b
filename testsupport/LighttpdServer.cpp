#include "LighttpdServer.h"

#include "TestCA.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
#include <stdexcept>
#include <unistd.h>

namespace vltest {

namespace {

LighttpdServer *g_server = nullptr;

constexpr QFile::Permissions kReadable =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther;
constexpr QFile::Permissions kOpen = kReadable | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;

void writeFile(const QString &path, const QByteArray &content, QFile::Permissions mode) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(content) != content.size())
        throw std::runtime_error("LighttpdServer: cannot write " + path.toStdString());
    f.close();
    QFile::setPermissions(path, mode);
}

const char kEcho[] = R"(#!/bin/sh
printf 'Content-Type: text/plain\r\n\r\n'
echo "method=$REQUEST_METHOD"
echo "query=$QUERY_STRING"
echo "cookie=$HTTP_COOKIE"
echo "host=$HTTP_HOST"
if [ "${CONTENT_LENGTH:-0}" -gt 0 ]; then printf 'body='; head -c "$CONTENT_LENGTH"; echo; fi
exit 0
)";

// Without a Content-Length and streamed, the answer goes out in chunks.
const char kChunked[] = R"(#!/bin/sh
printf 'Content-Type: text/plain\r\n\r\n'
for i in 1 2 3; do echo "part $i"; sleep 0.1; done
)";

} // namespace

LighttpdServer &LighttpdServer::instance() {
    if (!g_server) {
        g_server = new LighttpdServer;
        qAddPostRoutine([] {
            delete g_server;
            g_server = nullptr;
        });
    }
    return *g_server;
}

LighttpdServer::~LighttpdServer() {
    if (m_server)
        m_server->stop();
}

QString LighttpdServer::host() const {
    return ownLoopbackAddress().toString();
}

QString LighttpdServer::docRoot() const {
    return m_dir.filePath(QStringLiteral("www"));
}

void LighttpdServer::addFile(const QString &relativePath, const QByteArray &content, bool executable) {
    const QString path = docRoot() + QLatin1Char('/') + relativePath;
    writeFile(path, content, executable ? kOpen : kReadable);
    // Folders on the way must be open to the server's user.
    for (QDir d = QFileInfo(path).dir(); d.path().startsWith(docRoot()) && d.path() != docRoot(); d.cdUp())
        QFile::setPermissions(d.path(), kOpen);
}

QStringList LighttpdServer::accessLog() const {
    QFile f(m_dir.filePath(QStringLiteral("log/access.log")));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

LighttpdServer::LighttpdServer() : m_dir(QDir::tempPath() + QStringLiteral("/vl-lighttpd-XXXXXX")) {
    if (!m_dir.isValid())
        throw std::runtime_error("LighttpdServer: no temporary folder");
    m_dir.setAutoRemove(qEnvironmentVariableIsEmpty("KEEP_FIXTURES"));
    // The server drops to nobody when started as root: it must reach the document root.
    QFile::setPermissions(m_dir.path(), kOpen);
    QDir(m_dir.path()).mkpath(QStringLiteral("www"));
    QFile::setPermissions(docRoot(), kOpen);
    const bool root = getuid() == 0;
    m_port = root ? 80 : 10080;
    m_tlsPort = root ? 443 : 10443;
    addFile(QStringLiteral("index.html"), "hello\n");
    addFile(QStringLiteral("private/secret.txt"), "top secret\n");
    addFile(QStringLiteral("new/page.txt"), "new place\n");
    addFile(QStringLiteral("cookie/set"), "cookie set\n");
    addFile(QStringLiteral("cgi-bin/echo.sh"), kEcho, true);
    addFile(QStringLiteral("cgi-bin/chunked.sh"), kChunked, true);
    const QByteArray ha1 =
        QCryptographicHash::hash("dave:test realm:dave-pw", QCryptographicHash::Md5).toHex();
    writeFile(m_dir.filePath(QStringLiteral("htdigest")), "dave:test realm:" + ha1 + "\n", kReadable);
    QDir(m_dir.path()).mkpath(QStringLiteral("log"));
    if (root) {
        // Logs are opened after the switch to nobody.
        const passwd *pw = getpwnam("nobody");
        if (!pw || ::chown(QFile::encodeName(m_dir.filePath(QStringLiteral("log"))).constData(), pw->pw_uid,
                           pw->pw_gid) != 0)
            throw std::runtime_error("LighttpdServer: cannot give the log folder to nobody");
    }
    writeConfig();
    m_server = std::make_unique<ServerProcess>(m_dir.filePath(QStringLiteral("lighttpd.out")));
    m_server->start(
        QStringLiteral("/usr/sbin/lighttpd"),
        {QStringLiteral("-D"), QStringLiteral("-f"), m_dir.filePath(QStringLiteral("lighttpd.conf"))},
        ownLoopbackAddress(), m_port);
    if (!waitForPort(ownLoopbackAddress(), m_tlsPort, 5000))
        throw std::runtime_error("LighttpdServer: TLS port not ready");
}

void LighttpdServer::writeConfig() {
    const TestCA &ca = TestCA::instance();
    const QString d = m_dir.path();
    const QString a = host();
    QFile::copy(ca.certFile(TestCA::Good), d + QStringLiteral("/cert.pem"));
    QFile::copy(ca.keyFile(TestCA::Good), d + QStringLiteral("/key.pem"));
    const bool root = getuid() == 0;
    QString conf =
        QStringLiteral(R"CONF(server.modules = ("mod_access", "mod_auth", "mod_authn_file", "mod_redirect",
                  "mod_setenv", "mod_cgi", "mod_accesslog", "mod_openssl")
server.document-root = "%1/www"
server.bind = "%2"
server.port = %3
server.pid-file = "%1/lighttpd.pid"
server.errorlog = "%1/log/error.log"
accesslog.filename = "%1/log/access.log"
%4
server.stream-response-body = 2
index-file.names = ("index.html")
mimetype.assign = (".html" => "text/html", ".txt" => "text/plain", "" => "text/plain")

auth.backend = "htdigest"
auth.backend.htdigest.userfile = "%1/htdigest"
auth.require = ("/private/" => ("method" => "digest", "realm" => "test realm",
                                "require" => "valid-user", "algorithm" => "MD5"))

$HTTP["url"] =~ "^/cgi-bin/" { cgi.assign = (".sh" => "", ".py" => "/usr/bin/python3") }

url.redirect = ("^/old/(.*)$" => "/new/$1", "^/moved$" => "/index.html", "^/loop$" => "/loop",
                "^/perm$" => "/index.html")
url.redirect-code = 302
$HTTP["url"] == "/moved" { url.redirect-code = 301 }
$HTTP["url"] == "/perm" { url.redirect-code = 308 }
$HTTP["url"] == "/see"   { url.redirect = ("" => "/cgi-bin/echo.sh?from=see") url.redirect-code = 303 }
$HTTP["url"] == "/temp"  { url.redirect = ("" => "/cgi-bin/echo.sh?from=temp") url.redirect-code = 307 }

$HTTP["url"] == "/cookie/set" { setenv.add-response-header = ("Set-Cookie" => "session=abc123; Path=/; HttpOnly") }
$SERVER["socket"] == "%2:%5" { ssl.engine = "enable" ssl.pemfile = "%1/cert.pem" ssl.privkey = "%1/key.pem" }
)CONF")
            .arg(d, a, QString::number(m_port),
                 root ? QStringLiteral("server.username = \"nobody\"\nserver.groupname = \"nogroup\"")
                      : QString(),
                 QString::number(m_tlsPort));
    writeFile(d + QStringLiteral("/lighttpd.conf"), conf.toUtf8(), kReadable);
}

} // namespace vltest
