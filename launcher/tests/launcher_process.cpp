#include "launcher_process.h"

#include "GuiHelpers.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPixmap>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QThread>

#include <csignal>

LauncherProcess::LauncherProcess(const QString &program, const QString &home, const QStringList &env,
                                 const QStringList &args) {
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    e.insert(QStringLiteral("HOME"), home);
    e.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/.config"));
    e.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const QString &kv : env) {
        if (kv.startsWith(QLatin1Char('-')))
            e.remove(kv.mid(1));
        else
            e.insert(kv.section(QLatin1Char('='), 0, 0), kv.section(QLatin1Char('='), 1));
    }
    m_process.setProcessEnvironment(e);
    m_process.start(program, args);
}

LauncherProcess::~LauncherProcess() {
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

QString LauncherProcess::err() {
    m_err += QString::fromLocal8Bit(m_process.readAllStandardError());
    return m_err;
}

bool LauncherProcess::waitFor(const QString &text, int timeoutMs) {
    return vltest::waitUntil([&] { return err().contains(text); }, timeoutMs);
}

void LauncherProcess::signal(int number) {
    ::kill(pid_t(m_process.processId()), number);
}

int LauncherProcess::finish(int timeoutMs) {
    if (!vltest::waitUntil([&] { return m_process.state() == QProcess::NotRunning; }, timeoutMs))
        return -1;
    err();
    return m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
}

namespace {

QString run(const QString &program, const QStringList &args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

int number(const QString &text, const QString &pattern) {
    const QRegularExpressionMatch m = QRegularExpression(pattern).match(text);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

} // namespace

QString xdotool(const QStringList &args) {
    return run(QStringLiteral("xdotool"), args);
}

QList<XWindow> windowsOf(qint64 pid, bool all) {
    QStringList args{QStringLiteral("search")};
    if (!all)
        args << QStringLiteral("--onlyvisible");
    args << QStringLiteral("--pid") << QString::number(pid);
    QList<XWindow> windows;
    for (const QString &id : xdotool(args).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        XWindow w;
        w.id = id;
        const QString props =
            run(QStringLiteral("xprop"),
                {QStringLiteral("-id"), id, QStringLiteral("WM_NAME"), QStringLiteral("_NET_WM_WINDOW_TYPE"),
                 QStringLiteral("WM_HINTS"), QStringLiteral("WM_STATE"), QStringLiteral("_NET_WM_STATE")});
        w.title = QRegularExpression(QStringLiteral("WM_NAME\\(\\w+\\) = \"(.*)\"")).match(props).captured(1);
        w.type = QRegularExpression(QStringLiteral("_NET_WM_WINDOW_TYPE_(\\w+)")).match(props).captured(1);
        w.iconic = props.contains(QLatin1String("Initial state is Iconic")) ||
                   props.contains(QLatin1String("window state: Iconic")) ||
                   props.contains(QLatin1String("_NET_WM_STATE_HIDDEN"));
        const QString info = run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), id});
        w.viewable = info.contains(QLatin1String("Map State: IsViewable"));
        w.geometry = QRect(number(info, QStringLiteral("Absolute upper-left X:\\s+(-?\\d+)")),
                           number(info, QStringLiteral("Absolute upper-left Y:\\s+(-?\\d+)")),
                           number(info, QStringLiteral("Width:\\s+(\\d+)")),
                           number(info, QStringLiteral("Height:\\s+(\\d+)")));
        // Qt's own helper windows (a 1x1 leader, the clipboard) are not what a user sees.
        if (w.geometry.width() > 1 && w.geometry.height() > 1)
            windows << w;
    }
    return windows;
}

XWindow waitForWindow(qint64 pid, const std::function<bool(const XWindow &)> &test, int timeoutMs, bool all) {
    XWindow found;
    vltest::waitUntil(
        [&] {
            for (const XWindow &w : windowsOf(pid, all))
                if (test(w)) {
                    found = w;
                    return true;
                }
            return false;
        },
        timeoutMs);
    return found;
}

void typeKeys(const QString &windowId, const QStringList &keys) {
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), windowId});
    for (const QString &key : keys) {
        xdotool({QStringLiteral("key"), key});
        QThread::msleep(150);
    }
}

bool dismissTheBox() {
    QString id;
    if (!vltest::waitUntil(
            [&] {
                id = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                              QStringLiteral("--name"), QStringLiteral("^Velloran Pro$")})
                         .section(QLatin1Char('\n'), 0, 0);
                return !id.isEmpty();
            },
            20000))
        return false;
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});
    return true;
}

bool onTop(qint64 pid, const QString &windowId) {
    QSet<quint64> mine;
    for (const XWindow &w : windowsOf(pid))
        mine.insert(w.id.toULongLong(nullptr, 0));
    // The root's children, listed from the top of the stack down.
    const QRegularExpression child(QStringLiteral("^\\s+(0x[0-9a-f]+) "));
    for (const QString &line :
         run(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-children")})
             .split(QLatin1Char('\n'))) {
        const QRegularExpressionMatch m = child.match(line);
        const quint64 id = m.hasMatch() ? m.captured(1).toULongLong(nullptr, 16) : 0;
        if (mine.contains(id))
            return id == windowId.toULongLong(nullptr, 0);
    }
    return false;
}

namespace {

// The process's established IPv4 TCP connections as (local, remote) "address:port" pairs,
// as /proc/net/tcp writes them.
QSet<QPair<QString, QString>> connectionsOf(qint64 pid) {
    QSet<QString> sockets;
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString &fd : QDir(fds).entryList(QDir::Files | QDir::System)) {
        const QString target = QFile::symLinkTarget(fds + QLatin1Char('/') + fd);
        if (target.contains(QLatin1String("socket:[")))
            sockets.insert(target.section(QLatin1Char('['), 1).chopped(1));
    }
    QSet<QPair<QString, QString>> out;
    QFile table(QStringLiteral("/proc/%1/net/tcp").arg(pid));
    if (!table.open(QIODevice::ReadOnly))
        return out;
    // sl local rem st tx:rx tr:when retrnsmt uid timeout inode ...
    for (const QByteArray &line : table.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (f.size() > 9 && f[3] == "01" && sockets.contains(QString::fromLatin1(f[9])))
            out.insert({QString::fromLatin1(f[1]), QString::fromLatin1(f[2])});
    }
    return out;
}

} // namespace

bool linked(qint64 pid, qint64 otherPid) {
    const QSet<QPair<QString, QString>> theirs = connectionsOf(otherPid);
    for (const auto &[local, remote] : connectionsOf(pid))
        if (theirs.contains({remote, local}))
            return true;
    return false;
}

QImage pictureOf(const XWindow &window) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, window.geometry.x(), window.geometry.y(), window.geometry.width(),
                     window.geometry.height())
        .toImage();
}

QString grabWindow(const XWindow &window, const QString &name) {
    const QImage picture = pictureOf(window);
    const QString dir = QStringLiteral(VL_BINARY_DIR "/screenshots/");
    QDir().mkpath(dir);
    const QString path = dir + name + QStringLiteral(".png");
    return !picture.isNull() && picture.save(path) ? path : QString();
}
