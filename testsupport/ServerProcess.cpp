#include "ServerProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QThread>

#include <csignal>
#include <stdexcept>
#include <sys/prctl.h>
#include <unistd.h>

namespace vltest {

namespace {

// True while a process other than a zombie belongs to process group pgid.
bool groupAlive(qint64 pgid) {
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString &entry : entries) {
        bool ok = false;
        entry.toLongLong(&ok);
        if (!ok)
            continue;
        QFile f(QStringLiteral("/proc/") + entry + QStringLiteral("/stat"));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        const QByteArray stat = f.readAll();
        // "pid (name) state ppid pgrp ...": the name may hold spaces and parentheses.
        const qsizetype close = stat.lastIndexOf(')');
        if (close < 0)
            continue;
        const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
        if (fields.size() > 2 && fields.at(0) != "Z" && fields.at(2).toLongLong() == pgid)
            return true;
    }
    return false;
}

} // namespace

QHostAddress ownLoopbackAddress() {
    const quint32 pid = quint32(QCoreApplication::applicationPid());
    return QHostAddress((127u << 24) | ((1 + ((pid >> 16) & 0x3f)) << 16) | (pid & 0xffff));
}

bool waitForPort(const QHostAddress &addr, quint16 port, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        QTcpSocket s;
        s.connectToHost(addr, port);
        if (s.waitForConnected(200))
            return true;
        QThread::msleep(20);
    }
    return false;
}

ServerProcess::ServerProcess(QString logFile) : m_log(std::move(logFile)) {}

ServerProcess::~ServerProcess() {
    stop();
}

void ServerProcess::start(const QString &program, const QStringList &args, const QHostAddress &addr,
                          quint16 readyPort, int timeoutMs) {
    if (!m_log.isEmpty()) {
        m_proc.setStandardOutputFile(m_log);
        m_proc.setStandardErrorFile(m_log);
    }
    // A group of its own, so that stop() reaches the workers it forks as well.
    m_proc.setChildProcessModifier([] {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    });
    m_proc.start(program, args);
    if (!m_proc.waitForStarted(timeoutMs))
        throw std::runtime_error("cannot start " + program.toStdString());
    if (!waitForPort(addr, readyPort, timeoutMs)) {
        stop();
        throw std::runtime_error("not ready: " + program.toStdString() + " (log: " + m_log.toStdString() +
                                 ")");
    }
}

void ServerProcess::stop(int graceMs) {
    if (m_proc.state() == QProcess::NotRunning)
        return;
    const qint64 group = m_proc.processId();
    m_proc.terminate();
    if (!m_proc.waitForFinished(graceMs)) {
        m_proc.kill();
        m_proc.waitForFinished(1000);
    }
    ::kill(-pid_t(group), SIGKILL);
    QElapsedTimer t;
    t.start();
    while (groupAlive(group) && t.elapsed() < 5000)
        QThread::msleep(10);
}

} // namespace vltest
