#pragma once
// Context help: the process-wide link to the help viewer "vlhelp". The first request
// starts the viewer on that topic and offers it a loopback port; once the viewer has
// connected, every later request is sent to it as one line (the key and "\n"), so the
// same viewer window jumps to the new topic.

#include <QObject>
#include <QPushButton>

class QProcess;
class QTcpServer;
class QTcpSocket;

class VLHelp : public QObject {
    Q_OBJECT
public:
    // The launcher, created on the first call and kept for the life of the process.
    static VLHelp *self();

    // Sets up listening if that has not succeeded yet, then starts the viewer on the key.
    void startHelpProcess(const char *key);

    // The port the viewer is offered, 0 while nothing listens.
    [[nodiscard]] quint16 port() const;
    [[nodiscard]] bool viewerRunning() const { return m_process != nullptr; }
    [[nodiscard]] bool viewerConnected() const { return m_connection != nullptr; }

public slots:
    void slotCommsCalled();
    void slotProcessExited();
    // Shows a topic: starts the viewer, sends the key to a connected one, or drops the key
    // while a viewer is starting and has not connected yet.
    void slotHelp(const char *key);
    // The key is the object name of the sender (the pressed Help button).
    void slotHelp();
    void showContents();
    void showIndex();

private:
    VLHelp() = default;
    void show(const QByteArray &key);
    void listen();
    void slotProcessError();

    QProcess *m_process = nullptr;
    QTcpServer *m_server = nullptr;
    QTcpSocket *m_connection = nullptr;
};

// A dialog's Help button; its object name is its help key.
class VLHelpPushButton : public QPushButton {
    Q_OBJECT
public:
    // Pressing it asks the launcher for the key helpKey.
    VLHelpPushButton(QWidget *parent, const char *helpKey);
    // Pressing it calls target's slotHelp() instead, which chooses the key; nothing once
    // target is gone.
    template <typename Target>
    VLHelpPushButton(QWidget *parent, const char *helpKey, Target *target)
        : VLHelpPushButton(parent, helpKey, Unwired{}) {
        connect(this, &QPushButton::clicked, target, &Target::slotHelp);
    }

private:
    struct Unwired {};
    // Named and with its icon, connected to nothing yet.
    VLHelpPushButton(QWidget *parent, const char *helpKey, Unwired);
};
