#pragma once
// The dock window for the desktop's system tray: it asks the owner of
// "_NET_SYSTEM_TRAY_S<screen>" to embed it and shows itself once the tray has taken it in.

#include "RKTrayIconPrivate.h"

class RKTrayIconFreeDesktop : public RKTrayIcon::RKTrayIconPrivate {
public:
    RKTrayIconFreeDesktop(RKTrayIcon *owner, const QPixmap &icon);

    // The tray's window when one owned the selection at construction, else 0.
    [[nodiscard]] unsigned long trayWindow() const { return m_tray; }

    // Sends the system tray's dock request for dockWindow to trayWindow with X errors
    // trapped; false when the server reported one (the tray went away meanwhile).
    static bool sendDockRequest(unsigned long trayWindow, unsigned long dockWindow);

    // The window was reparented (Qt does not pass ReparentNotify on to the widget, so the
    // icon's event filter hands it here): shown once in a tray, withdrawn when handed back
    // to the root window.
    void reparented(unsigned long parent);

private:
    unsigned long m_tray = 0;
};
