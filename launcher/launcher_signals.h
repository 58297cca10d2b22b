#pragma once
// Turns SIGTERM, SIGHUP and SIGINT into the program's normal end: the event loop ends with
// status 0 and the launcher's shut-down saves everything, as after Exit.

#include <QObject>

class QSocketNotifier;

class VLSignalExit : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one object per process.
    explicit VLSignalExit(QObject *parent = nullptr);
    ~VLSignalExit() override;

private slots:
    void slotSignal();

private:
    QSocketNotifier *m_notifier = nullptr;
};
