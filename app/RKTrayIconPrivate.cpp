#include "RKTrayIconPrivate.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>

// Xlib last: its macros (None, Bool, ...) clash with Qt's names.
#include "VLX11_p.h"
#include <X11/Xutil.h>

RKTrayIcon::RKTrayIconPrivate::RKTrayIconPrivate(RKTrayIcon *owner, int size)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), owner(owner), m_size(size) {
    setObjectName(QStringLiteral("rkdock"));
    setFocusPolicy(Qt::NoFocus);
    // The dock window is never active, yet its tool tip must show.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFixedSize(size, size);
    if (Display *d = vlXDisplay()) {
        // Until the first paint the tray's own background shows through.
        XSetWindowBackgroundPixmap(d, static_cast<Window>(winId()), ParentRelative);
    }
}

void RKTrayIcon::RKTrayIconPrivate::setClassHint(const char *name) {
    Display *d = vlXDisplay();
    if (!d)
        return;
    const QByteArray cls = QApplication::applicationName().toLatin1();
    XClassHint hint;
    hint.res_name = const_cast<char *>(name);
    hint.res_class = const_cast<char *>(cls.isEmpty() ? "Velloran" : cls.constData());
    XSetClassHint(d, static_cast<Window>(winId()), &hint);
}

void RKTrayIcon::RKTrayIconPrivate::initWM(unsigned long iconWindow) {
    Display *d = vlXDisplay();
    if (!d)
        return;
    const Window w = static_cast<Window>(winId());
    setClassHint("rkdock");
    XWMHints *read = XGetWMHints(d, w);
    XWMHints hints{};
    if (read)
        hints = *read;
    hints.flags |= StateHint | IconWindowHint | WindowGroupHint;
    hints.initial_state = WithdrawnState;
    hints.icon_window = iconWindow;
    hints.icon_x = 0;
    hints.icon_y = 0;
    hints.window_group = w;
    XSetWMHints(d, w, &hints);
    if (read)
        XFree(read);
}

void RKTrayIcon::RKTrayIconPrivate::setPixmap(const QPixmap &p) {
    pixmap = p;
    setWindowIcon(QIcon(p));
    repaint();
}

bool RKTrayIcon::RKTrayIconPrivate::event(QEvent *e) {
    switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        QApplication::sendEvent(owner, e);
        return true;
    default:
        return QWidget::event(e);
    }
}

void RKTrayIcon::RKTrayIconPrivate::paintEvent(QPaintEvent *) {
    QPainter p(this);
    p.drawPixmap((width() - pixmap.width()) / 2, (height() - pixmap.height()) / 2, pixmap);
}

void RKTrayIcon::RKTrayIconPrivate::closeEvent(QCloseEvent *e) {
    emit owner->closed();
    e->accept();
}
