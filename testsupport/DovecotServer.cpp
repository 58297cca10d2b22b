#include "DovecotServer.h"

#include "TestCA.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QThread>

#include <csignal>
#include <pwd.h>
#include <stdexcept>
#include <sys/types.h>
#include <unistd.h>

namespace vltest {

namespace {

QString ownerUid() {
    return QString::number(getuid() == 0 ? getpwnam("nobody")->pw_uid : getuid());
}

QString ownerGid() {
    return QString::number(getuid() == 0 ? getpwnam("nobody")->pw_gid : getgid());
}

void writeText(const QString &path, const QString &text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + path.toStdString());
    f.write(text.toUtf8());
}

void giveToMailOwner(const QString &path) {
    if (getuid() != 0)
        return;
    const passwd *pw = getpwnam("nobody");
    if (::chown(QFile::encodeName(path).constData(), pw->pw_uid, pw->pw_gid) != 0)
        throw std::runtime_error("cannot chown " + path.toStdString());
}

// Parent pid and command name of a process, from /proc/<pid>/stat.
bool processInfo(qint64 pid, qint64 &parent, QByteArray &name) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return false;
    const QByteArray stat = f.readAll();
    const qsizetype open = stat.indexOf('(');
    const qsizetype close = stat.lastIndexOf(')');
    if (open < 0 || close < open)
        return false;
    name = stat.mid(open + 1, close - open - 1);
    const QList<QByteArray> rest = stat.mid(close + 2).split(' ');
    if (rest.size() < 2)
        return false;
    parent = rest.at(1).toLongLong();
    return true;
}

// Every process below root, with its name.
QList<QPair<qint64, QByteArray>> descendants(qint64 root) {
    QHash<qint64, QPair<qint64, QByteArray>> all;
    for (const QString &entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool ok = false;
        const qint64 pid = entry.toLongLong(&ok);
        qint64 parent = 0;
        QByteArray name;
        if (ok && processInfo(pid, parent, name))
            all.insert(pid, {parent, name});
    }
    QList<QPair<qint64, QByteArray>> out;
    QList<qint64> todo{root};
    while (!todo.isEmpty()) {
        const qint64 p = todo.takeFirst();
        for (auto it = all.cbegin(); it != all.cend(); ++it) {
            if (it.value().first == p) {
                out.append({it.key(), it.value().second});
                todo.append(it.key());
            }
        }
    }
    return out;
}

} // namespace

namespace {
DovecotServer *g_server = nullptr;
}

DovecotServer &DovecotServer::instance() {
    if (!g_server) {
        g_server = new DovecotServer;
        // Before the application object goes: the server's process handle needs it.
        qAddPostRoutine([] {
            delete g_server;
            g_server = nullptr;
        });
    }
    return *g_server;
}

DovecotServer::~DovecotServer() {
    stop();
}

DovecotServer::DovecotServer() : m_dir(QDir::tempPath() + QStringLiteral("/vl-dovecot-XXXXXX")) {
    if (!m_dir.isValid())
        throw std::runtime_error("DovecotServer: no temporary folder");
    m_dir.setAutoRemove(qEnvironmentVariableIsEmpty("KEEP_FIXTURES"));
    // The server's own users must reach everything below.
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                            QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                            QFile::ExeOther);
    m_base = getuid() == 0 ? 0 : 10000;
    QDir(m_dir.path()).mkpath(QStringLiteral("run"));
    QDir(m_dir.path()).mkpath(QStringLiteral("state"));
    QDir(m_dir.path()).mkpath(QStringLiteral("log"));
    QDir(m_dir.path()).mkpath(QStringLiteral("mail"));
    giveToMailOwner(m_dir.filePath(QStringLiteral("mail")));
    QDir(m_dir.path()).mkpath(QStringLiteral("users"));
    writeConfig();
    start();
}

QString DovecotServer::host() const {
    return ownLoopbackAddress().toString();
}

void DovecotServer::writeConfig() {
    const TestCA &ca = TestCA::instance();
    const bool root = getuid() == 0;
    const QString d = m_dir.path();
    const QString a = host();
    const QString internalUser =
        root ? QStringLiteral("dovecot") : QString::fromLocal8Bit(getpwuid(getuid())->pw_name);
    const QString loginUser = root ? QStringLiteral("dovenull") : internalUser;
    QString conf = QStringLiteral(R"(# Test instance: nothing from /etc/dovecot is read.
instance_name = vltest-%1
base_dir = %2/run
state_dir = %2/state
log_path = %2/log/dovecot.log
info_log_path = %2/log/dovecot.log
listen = %1
protocols = imap pop3
default_internal_user = %3
default_internal_group = %3
default_login_user = %4
first_valid_uid = %5
first_valid_gid = %6
mail_location = maildir:~/Maildir
disable_plaintext_auth = no
auth_mechanisms = plain login cram-md5 apop
auth_failure_delay = 0
auth_verbose = yes
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%u %2/users/%u
}
userdb {
  driver = passwd-file
  args = username_format=%u %2/users/%u
}
ssl = yes
ssl_cert = <%7
ssl_key = <%8
ssl_min_protocol = TLSv1
ssl_cipher_list = ALL:@SECLEVEL=0
pop3_uidl_format = %08Xu%08Xv
service imap-login {
  chroot =
  inet_listener imap {
    address = %1
    port = %9
  }
  inet_listener imaps {
    address = %1
    port = %10
    ssl = yes
  }
}
service pop3-login {
  chroot =
  inet_listener pop3 {
    address = %1
    port = %11
  }
  inet_listener pop3s {
    address = %1
    port = %12
    ssl = yes
  }
}
service anvil {
  chroot =
  unix_listener anvil-auth-penalty {
    mode = 0
  }
}
service stats {
  chroot =
}
)");
    // QString::arg would read "%u" and "%08Xu" as markers: fill in by hand.
    const QStringList values{a,
                             d,
                             internalUser,
                             loginUser,
                             ownerUid(),
                             ownerGid(),
                             ca.certFile(TestCA::Good),
                             ca.keyFile(TestCA::Good),
                             QString::number(imapPort()),
                             QString::number(imapsPort()),
                             QString::number(pop3Port()),
                             QString::number(pop3sPort())};
    for (int i = int(values.size()); i >= 1; --i)
        conf.replace(QStringLiteral("%") + QString::number(i), values.at(i - 1));
    writeText(m_dir.filePath(QStringLiteral("dovecot.conf")), conf);
}

void DovecotServer::start() {
    m_server = std::make_unique<ServerProcess>(m_dir.filePath(QStringLiteral("log/stdout.log")));
    m_server->start(
        QStringLiteral("dovecot"),
        {QStringLiteral("-F"), QStringLiteral("-c"), m_dir.filePath(QStringLiteral("dovecot.conf"))},
        ownLoopbackAddress(), imapsPort());
    if (!waitForPort(ownLoopbackAddress(), pop3Port(), 15000))
        throw std::runtime_error("DovecotServer: POP3 port not ready");
}

void DovecotServer::stop() {
    if (!m_server)
        return;
    // Session processes outlive a stopped master: end the whole tree at once.
    for (const auto &p : descendants(m_server->pid()))
        ::kill(pid_t(p.first), SIGKILL);
    m_server->stop(500);
    m_server.reset();
}

void DovecotServer::restart() {
    stop();
    start();
}

void DovecotServer::cutSessions() {
    if (!m_server)
        return;
    static const QList<QByteArray> sessions{"pop3", "imap", "pop3-login", "imap-login"};
    for (const auto &p : descendants(m_server->pid())) {
        if (sessions.contains(p.second))
            ::kill(pid_t(p.first), SIGKILL);
    }
}

void DovecotServer::addUser(const QString &name, const QString &password, const QString &settings) {
    const QString home = m_dir.filePath(QStringLiteral("mail/") + name);
    // One file a user: the server reads a new file at once, where a changed shared file
    // might be taken from its cache.
    // Latin-1, as the clients send credentials.
    QFile f(m_dir.filePath(QStringLiteral("users/") + name));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("DovecotServer: cannot write the user's file");
    // The last field holds the user's own settings, as the user database hands them on.
    f.write(QStringLiteral("%1:{PLAIN}%2:%3:%4::%5::%6\n")
                .arg(name, password, ownerUid(), ownerGid(), home, settings)
                .toLatin1());
    f.close();
    for (const char *sub : {"cur", "new", "tmp"})
        QDir().mkpath(home + QStringLiteral("/Maildir/") + QLatin1String(sub));
    for (const QString &p : {home, home + QStringLiteral("/Maildir"), home + QStringLiteral("/Maildir/cur"),
                             home + QStringLiteral("/Maildir/new"), home + QStringLiteral("/Maildir/tmp")})
        giveToMailOwner(p);
}

QString DovecotServer::maildir(const QString &user) const {
    return m_dir.filePath(QStringLiteral("mail/") + user + QStringLiteral("/Maildir"));
}

QByteArray DovecotServer::log() const {
    QFile f(m_dir.filePath(QStringLiteral("log/dovecot.log")));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int DovecotServer::messageFiles(const QString &user) const {
    const QString m = maildir(user);
    return int(QDir(m + QStringLiteral("/new")).entryList(QDir::Files).size() +
               QDir(m + QStringLiteral("/cur")).entryList(QDir::Files).size());
}

void fillMaildir(const QString &maildir, const QList<QByteArray> &messages, const QString &flags) {
    static int serial = 0;
    for (const QByteArray &m : messages) {
        ++serial;
        // Names that sort in list order: the server numbers new mail by name.
        const QString name = QStringLiteral("%1.M%2P%3.vltest")
                                 .arg(1700000000 + serial)
                                 .arg(serial, 6, 10, QLatin1Char('0'))
                                 .arg(QCoreApplication::applicationPid());
        const QString tmp = maildir + QStringLiteral("/tmp/") + name;
        QFile f(tmp);
        if (!f.open(QIODevice::WriteOnly) || f.write(m) != m.size())
            throw std::runtime_error("fillMaildir: cannot write " + tmp.toStdString());
        f.close();
        giveToMailOwner(tmp);
        const QString target = flags.isEmpty()
                                   ? maildir + QStringLiteral("/new/") + name
                                   : maildir + QStringLiteral("/cur/") + name + QStringLiteral(":2,") + flags;
        if (!QFile::rename(tmp, target))
            throw std::runtime_error("fillMaildir: cannot move " + tmp.toStdString());
    }
}

QList<MaildirFile> maildirFiles(const QString &maildir) {
    QList<MaildirFile> out;
    for (const char *sub : {"/new", "/cur"}) {
        const QDir dir(maildir + QLatin1String(sub));
        for (const QString &name : dir.entryList(QDir::Files)) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::ReadOnly))
                continue;
            MaildirFile file{name, QString(), f.readAll()};
            const qsizetype at = file.bytes.indexOf("Subject: ") + 9;
            file.subject = QString::fromLatin1(file.bytes.mid(at, file.bytes.indexOf('\r', at) - at));
            out.append(file);
        }
    }
    return out;
}

} // namespace vltest
