#include "RKTrayIcon.h"

#include "RKTrayIconFreeDesktop.h"
#include "RKTrayIconWindowMaker.h"

#include <QAbstractEventDispatcher>
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>

#include <cstdio>

#include <xcb/xcb.h>

// Xlib last: its macros (None, Bool, ...) clash with Qt's names.
#include "VLX11_p.h"

// Watches the root window, the tray and the dock window for the events that change where
// the icon is docked: a tray announcing itself (MANAGER), the tray's window going away, and
// the dock window moving into a tray or back to the root.
class RKTrayIcon::TrayWatcher : public QAbstractNativeEventFilter {
public:
    TrayWatcher(RKTrayIcon *icon, Display *display) : m_icon(icon) {
        m_manager = XInternAtom(display, "MANAGER", False);
        m_selection = vlTraySelection(display);
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
    ~TrayWatcher() override {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override {
        if (eventType != "xcb_generic_event_t")
            return false;
        const auto *ev = static_cast<const xcb_generic_event_t *>(message);
        auto *dock = dynamic_cast<RKTrayIconFreeDesktop *>(m_icon->dock);
        if (!dock)
            return false; // hidden, or the WindowMaker dock: no tray to follow
        switch (ev->response_type & 0x7f) {
        case XCB_CLIENT_MESSAGE: {
            const auto *cm = static_cast<const xcb_client_message_event_t *>(message);
            if (cm->type == m_manager && cm->format == 32 && cm->data.data32[1] == m_selection &&
                cm->data.data32[2] != dock->trayWindow()) {
                std::fprintf(stderr, "RKTrayIcon::TrayWatcher::nativeEventFilter: new tray 0x%x\n",
                             cm->data.data32[2]);
                QMetaObject::invokeMethod(m_icon, &RKTrayIcon::newTrayOwner, Qt::QueuedConnection);
            }
            break;
        }
        case XCB_REPARENT_NOTIFY: {
            const auto *rn = static_cast<const xcb_reparent_notify_event_t *>(message);
            if (rn->window == static_cast<xcb_window_t>(dock->winId()))
                dock->reparented(rn->parent);
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto *dn = static_cast<const xcb_destroy_notify_event_t *>(message);
            if (dock->trayWindow() && dn->window == dock->trayWindow()) {
                std::fprintf(stderr, "RKTrayIcon::TrayWatcher::nativeEventFilter: tray 0x%x gone\n",
                             dn->window);
                m_icon->trayLost();
            }
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    RKTrayIcon *m_icon;
    Atom m_manager = None;
    Atom m_selection = None;
};

RKTrayIcon::RKTrayIcon(const QPixmap &normal, const QPixmap &blink, const QString &toolTip, QMenu *popup,
                       QObject *parent, const char *name)
    : QObject(parent), popupMenu(popup), normalIcon(normal), blinkIcon(blink), toolTipText(toolTip) {
    // A picture the tray can always show, whatever the caller passed.
    if (blinkIcon.width() == 0 || blinkIcon.height() == 0) {
        blinkIcon = QPixmap(16, 16);
        blinkIcon.fill(Qt::gray);
    }
    if (normalIcon.width() == 0 || normalIcon.height() == 0) {
        normalIcon = QPixmap(16, 16);
        normalIcon.fill(Qt::white);
    }
    if (name)
        setObjectName(QLatin1String(name));
    init();
}

RKTrayIcon::RKTrayIcon(QObject *parent, const char *name) : QObject(parent) {
    blinkIcon = QPixmap(16, 16);
    blinkIcon.fill(Qt::gray);
    normalIcon = QPixmap(16, 16);
    normalIcon.fill(Qt::white);
    if (name)
        setObjectName(QLatin1String(name));
    init();
}

void RKTrayIcon::init() {
    current = normalIcon;
    blinkTimer.setParent(this);
    blinkTimer.setObjectName(QStringLiteral("blinkTimer"));
    blinkTimer.setInterval(750);
    connect(&blinkTimer, &QTimer::timeout, this, &RKTrayIcon::blink);
    if (Display *d = vlXDisplay())
        m_watcher = new TrayWatcher(this, d);
}

RKTrayIcon::~RKTrayIcon() {
    delete m_watcher;
    m_watcher = nullptr;
    hide();
    blinkTimer.setParent(nullptr); // a member, not a child to be deleted
}

void RKTrayIcon::show() {
    if (dock)
        return;
    if (wmDock)
        dock = new RKTrayIconWindowMaker(this, current);
    else
        dock = new RKTrayIconFreeDesktop(this, current);
    setToolTip(toolTipText);
    if (wmDock)
        dock->show();
}

void RKTrayIcon::hide() {
    delete dock;
    dock = nullptr;
    setDocked(false);
}

void RKTrayIcon::newTrayOwner() {
    hide();
    show();
}

void RKTrayIcon::trayLost() {
    setDocked(false);
    if (!dock || m_rebuildQueued)
        return;
    // Withdraw at once, so the window the server handed back to the desktop does not sit
    // there as a stray square; rebuild after this event, whose window it is.
    dock->hide();
    m_rebuildQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_rebuildQueued = false;
        if (dock && !m_docked)
            newTrayOwner();
    });
}

void RKTrayIcon::setDocked(bool docked) {
    if (m_docked == docked)
        return;
    m_docked = docked;
    emit dockedChanged(docked);
}

void RKTrayIcon::setIcon(const QPixmap &pixmap) {
    current = pixmap;
    if (dock)
        dock->setPixmap(current);
}

void RKTrayIcon::setToolTip(const QString &text) {
    toolTipText = text;
    if (dock)
        dock->setToolTip(text); // an empty text removes the tip
}

void RKTrayIcon::setBlinking(bool on) {
    if (on) {
        blinkTimer.start();
    } else {
        blinkTimer.stop();
        setIcon(normalIcon);
    }
}

void RKTrayIcon::blink() {
    blinkPhase = !blinkPhase;
    setIcon(blinkPhase ? normalIcon : blinkIcon);
}

bool RKTrayIcon::event(QEvent *e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
        mousePressEvent(static_cast<QMouseEvent *>(e));
        return true;
    case QEvent::MouseButtonRelease:
        mouseReleaseEvent(static_cast<QMouseEvent *>(e));
        return true;
    case QEvent::MouseButtonDblClick:
        mouseDoubleClickEvent(static_cast<QMouseEvent *>(e));
        return true;
    case QEvent::MouseMove:
        mouseMoveEvent(static_cast<QMouseEvent *>(e));
        return true;
    default:
        return QObject::event(e);
    }
}

void RKTrayIcon::mousePressEvent(QMouseEvent *e) {
    const QPoint global = e->globalPosition().toPoint();
    switch (e->button()) {
    case Qt::RightButton:
        if (popupMenu)
            popupMenu->popup(global);
        break;
    case Qt::LeftButton:
    case Qt::MiddleButton:
        emit clicked(global, e->button());
        break;
    default:
        break;
    }
    e->ignore();
}

void RKTrayIcon::mouseDoubleClickEvent(QMouseEvent *e) {
    if (e->button() == Qt::LeftButton)
        emit doubleClicked(e->globalPosition().toPoint());
    e->accept();
}

void RKTrayIcon::mouseMoveEvent(QMouseEvent *e) {
    e->ignore();
}

void RKTrayIcon::mouseReleaseEvent(QMouseEvent *e) {
    e->ignore();
}
