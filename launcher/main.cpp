// velloran: the launcher's start-up and shut-down around the real windows.
#include "launcher_run.h"

#include "app/VLMainWindow.h"
#include "app/VLSplashScreen.h"
#include "data/data_options_general.h"

#include <QGuiApplication>
#include <QPointer>
#include <QTimer>

// Xlib after Qt: its macros (None, Bool, ...) clash with Qt's names.
#include <X11/Xlib.h>

namespace {

// Pushes the splash's drawing to the X server before the main window's slower construction
// holds up the event loop; a no-op on any other platform.
void flushX() {
    auto *x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (Display *display = x11 ? x11->display() : nullptr) {
        XFlush(display);
        XSync(display, False);
    }
}

std::unique_ptr<QWidget> openWindows(const DataOptionsGeneral &general) {
    QPointer<VLSplashScreen> splash;
    if (general.displaySplash) {
        // Closes itself; kept until the main window goes, so that it never outlives the
        // application object.
        splash = new VLSplashScreen;
        splash->show();
        QCoreApplication::processEvents();
        flushX();
    }

    auto window = std::make_unique<VLMainWindow>();
    if (general.minimizeOnStartup)
        window->showMinimized();
    else
        window->show();
    if (splash)
        QObject::connect(window.get(), &QObject::destroyed, qApp, [splash] { delete splash.data(); });
    // The first event of the loop, once the window is on screen.
    QTimer::singleShot(0, window.get(), &VLMainWindow::slotStartup);
    return window;
}

} // namespace

int main(int argc, char **argv) {
    return launcherMain(argc, argv, openWindows);
}
