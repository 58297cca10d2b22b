#include "launcher_signals.h"

#include <QApplication>
#include <QDialog>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int pipeFds[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// Runs in the signal handler: only async-signal-safe calls. The first signal restores the
// default actions, so a second one ends a program that hangs in its shut-down at once.
void onSignal(int number) {
    const int saved = errno;
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (int s : kSignals)
        sigaction(s, &dfl, nullptr);
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t n = write(pipeFds[1], &byte, 1);
    errno = saved;
}

} // namespace

VLSignalExit::VLSignalExit(QObject *parent) : QObject(parent) {
    if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("VLSignalExit: pipe");
        return;
    }
    m_notifier = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &VLSignalExit::slotSignal);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kSignals)
        sigaction(s, &action, nullptr);
}

VLSignalExit::~VLSignalExit() {
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (int s : kSignals)
        sigaction(s, &dfl, nullptr);
}

void VLSignalExit::slotSignal() {
    unsigned char byte = 0;
    if (read(pipeFds[0], &byte, 1) != 1)
        return;
    m_notifier->setEnabled(false);
    std::fprintf(stderr, "VLSignalExit::slotSignal: signal %d: shutting down\n", int(byte));
    // A modal box or dialog that is open ends as if cancelled; its caller then returns into
    // an event loop that is already told to end. quit() would ask the windows to close first
    // (and a window that hides to the tray would refuse), so the loop is ended directly.
    while (QWidget *modal = QApplication::activeModalWidget()) {
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else
            modal->close();
        if (QApplication::activeModalWidget() == modal)
            break;
    }
    QCoreApplication::exit(0);
}
