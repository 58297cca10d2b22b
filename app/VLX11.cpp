#include <QGuiApplication>

#include <cstdio>

// Xlib after Qt: its macros (None, Bool, ...) clash with Qt's names.
#include "VLX11_p.h"

namespace {
int g_trappedError = 0;

int recordError(Display *, XErrorEvent *event) {
    g_trappedError = event->error_code;
    return 0;
}
} // namespace

Display *vlXDisplay() {
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->display() : nullptr;
}

Atom vlTraySelection(Display *display) {
    char name[32];
    std::snprintf(name, sizeof name, "_NET_SYSTEM_TRAY_S%d",
                  XScreenNumberOfScreen(XDefaultScreenOfDisplay(display)));
    return XInternAtom(display, name, False);
}

VLXErrorTrap::VLXErrorTrap(Display *display) : m_display(display) {
    if (!m_display)
        return;
    // Errors of requests made before the trap belong to whoever made them.
    XSync(m_display, False);
    g_trappedError = 0;
    m_previous = XSetErrorHandler(recordError);
    m_active = true;
}

VLXErrorTrap::~VLXErrorTrap() {
    release();
}

bool VLXErrorTrap::release() {
    if (!m_active)
        return m_error == 0;
    XSync(m_display, False);
    XSetErrorHandler(m_previous);
    m_active = false;
    m_error = g_trappedError;
    if (m_error)
        std::fprintf(stderr, "VLXErrorTrap::release: X error %d trapped\n", m_error);
    return m_error == 0;
}
