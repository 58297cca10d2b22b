#include "pane_reload_p.h"

#include <QApplication>
#include <QWidget>

namespace {
constexpr int kRetryMs = 50;
}

bool paneBusy(const QWidget *w) {
    // Walked by hand: isAncestorOf stops at window borders, and the dialog is a window.
    for (const QObject *o = QApplication::activeModalWidget(); o; o = o->parent())
        if (o == w)
            return true;
    return false;
}

PaneReload::PaneReload(QWidget *pane, std::function<void()> reload)
    : QObject(pane), m_pane(pane), m_reload(std::move(reload)) {
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &PaneReload::run);
}

void PaneReload::request() {
    if (m_queued)
        return;
    m_queued = true;
    QMetaObject::invokeMethod(this, &PaneReload::run, Qt::QueuedConnection);
}

void PaneReload::run() {
    if (paneBusy(m_pane)) {
        m_retry.start();
        return;
    }
    m_queued = false;
    m_reload();
}
