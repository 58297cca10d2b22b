#include "RKTrayIconFreeDesktop.h"

#include <cstdio>

// Xlib last: its macros (None, Bool, ...) clash with Qt's names.
#include "VLX11_p.h"
#include <X11/Xatom.h>

namespace {
constexpr long XEmbedVersion = 0;
constexpr long XEmbedMapped = 1;
} // namespace

RKTrayIconFreeDesktop::RKTrayIconFreeDesktop(RKTrayIcon *owner, const QPixmap &icon)
    : RKTrayIconPrivate(owner, 22) {
    Display *d = vlXDisplay();
    if (!d) {
        // No X display: nothing can dock; the window only keeps the picture.
        pixmap = icon;
        return;
    }
    const Window w = static_cast<Window>(winId());
    initWM(w);

    // Root StructureNotify brings the MANAGER message of a tray that starts later.
    const Window root = DefaultRootWindow(d);
    XWindowAttributes attr;
    if (XGetWindowAttributes(d, root, &attr))
        XSelectInput(d, root, attr.your_event_mask | StructureNotifyMask);

    const Atom selection = vlTraySelection(d);

    XGrabServer(d);
    const Window tray = XGetSelectionOwner(d, selection);
    if (tray != None)
        XSelectInput(d, tray, StructureNotifyMask); // its DestroyNotify tells us it went
    XUngrabServer(d);
    XFlush(d);

    // The tray reads these when the request arrives, so they are in place before it.
    const long xembedInfo[2] = {XEmbedVersion, XEmbedMapped};
    const Atom xembed = XInternAtom(d, "_XEMBED_INFO", False);
    XChangeProperty(d, w, xembed, xembed, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char *>(xembedInfo), 2);
    const long zero = 0;
    const Atom kwm = XInternAtom(d, "KWM_DOCKWINDOW", False);
    XChangeProperty(d, w, kwm, kwm, 32, PropModeReplace, reinterpret_cast<const unsigned char *>(&zero), 1);
    XChangeProperty(d, w, XInternAtom(d, "_KDE_NET_WM_SYSTEM_TRAY_WINDOW_FOR", False), XA_WINDOW, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char *>(&zero), 1);

    setPixmap(icon);
    if (tray == None) {
        std::fprintf(stderr,
                     "RKTrayIconFreeDesktop::RKTrayIconFreeDesktop: no system tray, waiting for one\n");
        return;
    }
    m_tray = tray;
    sendDockRequest(tray, w);
}

bool RKTrayIconFreeDesktop::sendDockRequest(unsigned long trayWindow, unsigned long dockWindow) {
    Display *d = vlXDisplay();
    if (!d)
        return false;
    XEvent ev{};
    ev.xclient.type = ClientMessage;
    ev.xclient.window = trayWindow;
    ev.xclient.message_type = XInternAtom(d, "_NET_SYSTEM_TRAY_OPCODE", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = 0; // time
    ev.xclient.data.l[1] = 0; // request dock
    ev.xclient.data.l[2] = long(dockWindow);
    ev.xclient.data.l[3] = 0;
    ev.xclient.data.l[4] = 0;
    VLXErrorTrap trap(d);
    XSendEvent(d, trayWindow, False, NoEventMask, &ev);
    if (!trap.release()) {
        std::fprintf(stderr,
                     "RKTrayIconFreeDesktop::sendDockRequest: tray window 0x%lx refused: X error %d\n",
                     trayWindow, trap.error());
        return false;
    }
    return true;
}

void RKTrayIconFreeDesktop::reparented(unsigned long parent) {
    Display *d = vlXDisplay();
    if (!d)
        return;
    if (parent != DefaultRootWindow(d)) {
        show();
        owner->setDocked(true);
    } else if (owner->isDocked()) {
        // Handed back to the desktop: the tray is gone.
        owner->trayLost();
    }
}
