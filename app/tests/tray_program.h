#pragma once
// A tray manager (the fake one, or a real one) run as a child of the test, stopped at the end
// or earlier, to take the tray away.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace apptest {

class TrayProgram {
public:
    TrayProgram() = default;
    TrayProgram(const TrayProgram &) = delete;
    TrayProgram &operator=(const TrayProgram &) = delete;
    ~TrayProgram() { stop(); }

    void start(const QString &program, const QStringList &arguments = {}) {
        m_process.start(program, arguments);
    }

    // The next line of the program's log; empty when none comes in time.
    QString line() {
        const QDeadlineTimer deadline(20000);
        while (!m_process.canReadLine()) {
            if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
                return {};
            m_process.waitForReadyRead(50);
            QCoreApplication::processEvents();
        }
        return QString::fromUtf8(m_process.readLine()).trimmed();
    }

    void stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.write("exit\n");
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(3000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

private:
    QProcess m_process;
};

} // namespace apptest
