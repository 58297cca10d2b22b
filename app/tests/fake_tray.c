/* A minimal system tray for the tray-icon tests, on plain Xlib: owns
 * "_NET_SYSTEM_TRAY_S0", announces itself with MANAGER, and for every dock request logs
 * the request's data words and what the window carries at that moment, then embeds the
 * window (save-set, reparent, map) as a real tray does. Lines on standard output:
 *   owns <tray window>
 *   dock <d0> <d1> <d2> <d3> <d4>
 *   props kwm=<0|1> kde=<0|1> xembed=<0|1> class=<name>,<class> size=<w>x<h>
 *   embedded <window>             or   error <code> <window>
 * "exit" on standard input (or its end) closes the connection. */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

static int lastError;

static int onError(Display *d, XErrorEvent *e) {
    (void)d;
    lastError = e->error_code;
    return 0;
}

static int hasProperty(Display *d, Window w, const char *name) {
    Atom type = None;
    int format = 0;
    unsigned long n = 0, after = 0;
    unsigned char *data = NULL;
    Atom atom = XInternAtom(d, name, False);
    if (XGetWindowProperty(d, w, atom, 0, 4, False, AnyPropertyType, &type, &format, &n, &after, &data) !=
        Success)
        return 0;
    if (data)
        XFree(data);
    return type != None;
}

static void dock(Display *d, Window tray, const XClientMessageEvent *m) {
    Window w = (Window)m->data.l[2];
    printf("dock %ld %ld %ld %ld %ld\n", m->data.l[0], m->data.l[1], m->data.l[2], m->data.l[3],
           m->data.l[4]);
    lastError = 0;
    XClassHint hint = {NULL, NULL};
    Window root;
    int x, y;
    unsigned int width = 0, height = 0, border, depth;
    int haveClass = XGetClassHint(d, w, &hint);
    XGetGeometry(d, w, &root, &x, &y, &width, &height, &border, &depth);
    printf("props kwm=%d kde=%d xembed=%d class=%s,%s size=%ux%u\n", hasProperty(d, w, "KWM_DOCKWINDOW"),
           hasProperty(d, w, "_KDE_NET_WM_SYSTEM_TRAY_WINDOW_FOR"), hasProperty(d, w, "_XEMBED_INFO"),
           haveClass && hint.res_name ? hint.res_name : "", haveClass && hint.res_class ? hint.res_class : "",
           width, height);
    if (haveClass) {
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    XAddToSaveSet(d, w);
    XReparentWindow(d, w, tray, 0, 0);
    XMapWindow(d, w);
    XSync(d, False);
    if (lastError)
        printf("error %d 0x%lx\n", lastError, w);
    else
        printf("embedded 0x%lx\n", w);
    fflush(stdout);
}

int main(void) {
    Display *d = XOpenDisplay(NULL);
    if (!d) {
        fprintf(stderr, "fake_tray: cannot open display\n");
        return 1;
    }
    XSetErrorHandler(onError);
    int screen = DefaultScreen(d);
    Window root = RootWindow(d, screen);
    XSetWindowAttributes attr;
    attr.background_pixel = 0x3060a0;
    Window tray = XCreateWindow(d, root, 100, 100, 64, 32, 0, CopyFromParent, InputOutput, CopyFromParent,
                                CWBackPixel, &attr);
    XSelectInput(d, tray, SubstructureNotifyMask);
    XMapWindow(d, tray);

    Atom selection = XInternAtom(d, "_NET_SYSTEM_TRAY_S0", False);
    Atom opcode = XInternAtom(d, "_NET_SYSTEM_TRAY_OPCODE", False);
    XSetSelectionOwner(d, selection, tray, CurrentTime);
    if (XGetSelectionOwner(d, selection) != tray) {
        fprintf(stderr, "fake_tray: could not own the tray selection\n");
        return 1;
    }
    XEvent manager;
    memset(&manager, 0, sizeof manager);
    manager.xclient.type = ClientMessage;
    manager.xclient.window = root;
    manager.xclient.message_type = XInternAtom(d, "MANAGER", False);
    manager.xclient.format = 32;
    manager.xclient.data.l[0] = CurrentTime;
    manager.xclient.data.l[1] = (long)selection;
    manager.xclient.data.l[2] = (long)tray;
    XSendEvent(d, root, False, StructureNotifyMask, &manager);
    XSync(d, False);
    printf("owns 0x%lx\n", tray);
    fflush(stdout);

    struct pollfd fds[2] = {{ConnectionNumber(d), POLLIN, 0}, {0, POLLIN, 0}};
    for (;;) {
        while (XPending(d)) {
            XEvent ev;
            XNextEvent(d, &ev);
            if (ev.type == ClientMessage && ev.xclient.message_type == opcode && ev.xclient.data.l[1] == 0)
                dock(d, tray, &ev.xclient);
        }
        if (poll(fds, 2, -1) < 0)
            continue;
        if (fds[1].revents) {
            char line[64];
            if (!fgets(line, sizeof line, stdin) || strncmp(line, "exit", 4) == 0)
                break;
        }
    }
    XCloseDisplay(d);
    return 0;
}
