#pragma once
// A run of a launcher program (velloran or its stand-in) on the test's X display, in its own
// home, and what a user sees of it there: its windows, found and driven with xdotool.

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

class LauncherProcess {
public:
    // env entries are "NAME=value" to set or "-NAME" to remove; QT_QPA_PLATFORM is removed
    // unless set there, since the program chooses xcb itself.
    LauncherProcess(const QString &program, const QString &home, const QStringList &env,
                    const QStringList &args = {});
    ~LauncherProcess();
    LauncherProcess(const LauncherProcess &) = delete;
    LauncherProcess &operator=(const LauncherProcess &) = delete;

    // Standard error so far.
    QString err();
    bool waitFor(const QString &text, int timeoutMs = 20000);
    void signal(int number);
    // The exit status once it ended normally; -1 when it did not end in time or crashed.
    int finish(int timeoutMs = 20000);
    [[nodiscard]] bool running() const { return m_process.state() == QProcess::Running; }
    [[nodiscard]] qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
    QString m_err;
};

// A top-level window of another process on the display.
struct XWindow {
    QString id;
    QString title;
    QString type; // the _NET_WM_WINDOW_TYPE atom's last part: "NORMAL", "SPLASH", "DIALOG"
    QRect geometry;
    bool viewable = false;
    bool iconic = false; // asked to start or be minimised (WM_HINTS or WM_STATE)
};

QString xdotool(const QStringList &args);
// The process's top-level windows that are mapped, or, with all, that exist.
QList<XWindow> windowsOf(qint64 pid, bool all = false);
// Waits for a window of the process that satisfies test; an empty id when none came.
XWindow waitForWindow(qint64 pid, const std::function<bool(const XWindow &)> &test, int timeoutMs = 20000,
                      bool all = false);
// Gives the window the keyboard focus and types the keys (xdotool key names) one by one.
void typeKeys(const QString &windowId, const QStringList &keys);

// Presses Return in the "already running" box, as a user would: the box is found by its
// caption, given the keyboard focus, and the key is typed on the display.
bool dismissTheBox();

// Whether the window is the top-most of the process's mapped windows in the display's
// stacking order.
bool onTop(qint64 pid, const QString &windowId);

// Whether the two processes hold the two ends of an established loopback TCP connection
// (read from /proc): a link one of them opened and the other accepted.
bool linked(qint64 pid, qint64 otherPid);

// Saves the window's picture as it is on the display under the build's screenshots/; the
// file's path, empty on failure.
QString grabWindow(const XWindow &window, const QString &name);
// The window's picture as it is on the display now.
QImage pictureOf(const XWindow &window);
