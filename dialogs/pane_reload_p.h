#pragma once
// How a side pane catches up with its store: the reload runs from the event loop, once for a
// burst of change notices, and waits while a dialog the pane opened is running (the pane is
// then still inside its own click handler, and rebuilding its table would pull the rows out
// from under that handler).

#include <QObject>
#include <QTimer>

#include <functional>

class QWidget;

// Whether a modal window of w's own (a dialog it opened, however deep) is running.
bool paneBusy(const QWidget *w);

class PaneReload : public QObject {
public:
    PaneReload(QWidget *pane, std::function<void()> reload);
    // Asks for one reload; requests made before it runs are one.
    void request();

private:
    void run();

    QWidget *m_pane;
    std::function<void()> m_reload;
    bool m_queued = false;
    QTimer m_retry;
};
