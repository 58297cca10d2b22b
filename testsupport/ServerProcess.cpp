#include "ServerProcess.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QThread>

#include <csignal>
#include <stdexcept>
#include <sys/prctl.h>

namespace vltest {

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
    m_proc.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
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
    m_proc.terminate();
    if (!m_proc.waitForFinished(graceMs)) {
        m_proc.kill();
        m_proc.waitForFinished(1000);
    }
}

} // namespace vltest
