#pragma once
// A real server program as a test fixture: started in the foreground as a child of the
// test, on a loopback address of this process's own, ready once its port accepts, and
// stopped with every process it forked. A test binary that dies takes its servers with it.

#include <QHostAddress>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace vltest {

// 127.x.y.z derived from this process's pid: test processes running side by side
// (ctest -j) never share an address, so each can use fixed ports on its own.
QHostAddress ownLoopbackAddress();

// Polls until a TCP connection to addr:port succeeds or timeoutMs runs out.
bool waitForPort(const QHostAddress &addr, quint16 port, int timeoutMs);

class ServerProcess {
public:
    explicit ServerProcess(QString logFile = {});
    ~ServerProcess();
    ServerProcess(const ServerProcess &) = delete;
    ServerProcess &operator=(const ServerProcess &) = delete;

    // Starts program and waits until readyPort on addr accepts; throws std::runtime_error
    // when it cannot start or is not ready in time (its log names the reason).
    void start(const QString &program, const QStringList &args, const QHostAddress &addr, quint16 readyPort,
               int timeoutMs = 15000);
    // SIGTERM to our child; SIGKILL after graceMs. Then every process left in its process
    // group is killed and waited for, so that no worker it forked (which may hold its
    // listening sockets) outlives it and answers in place of the next server.
    void stop(int graceMs = 3000);
    [[nodiscard]] qint64 pid() const { return m_proc.processId(); }
    [[nodiscard]] bool running() const { return m_proc.state() != QProcess::NotRunning; }

private:
    QProcess m_proc;
    QString m_log;
};

} // namespace vltest
