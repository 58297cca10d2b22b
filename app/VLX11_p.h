#pragma once
// The application's X connection and a trap for X errors, for the few classes that speak
// Xlib beside Qt (the instance lock and the tray icon).

#include <X11/Xlib.h>

// The Display of Qt's xcb platform; null on any other platform (offscreen keeps DISPLAY
// set but has no connection), so test it before every Xlib call.
Display *vlXDisplay();

// The system tray's selection of the default screen, "_NET_SYSTEM_TRAY_S<screen>".
Atom vlTraySelection(Display *display);

// While it lives, X errors are recorded instead of reaching the handler installed before,
// which on Xlib's default terminates the process. Not reentrant: one trap at a time.
class VLXErrorTrap {
public:
    explicit VLXErrorTrap(Display *display);
    ~VLXErrorTrap();
    VLXErrorTrap(const VLXErrorTrap &) = delete;
    VLXErrorTrap &operator=(const VLXErrorTrap &) = delete;

    // Syncs, so the errors of every request made so far have arrived, and restores the
    // previous handler; true when none occurred. The error code is kept for error().
    bool release();
    [[nodiscard]] int error() const { return m_error; }

private:
    Display *m_display;
    int (*m_previous)(Display *, XErrorEvent *) = nullptr;
    bool m_active = false;
    int m_error = 0;
};
