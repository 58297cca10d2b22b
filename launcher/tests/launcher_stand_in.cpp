// velloran's start-up and shut-down around a stand-in main window, for the launcher tests:
// a plain window, shown as the options say. $VL_TEST_MODAL opens a modal box over it once the
// loop runs; $VL_TEST_TRAY hides the window (as into the tray) and opens a parentless box;
// $VL_TEST_CHANGE marks the options store changed, as a session of real use does.
#include "launcher_run.h"

#include "data/data_options_general.h"
#include "data/store_options.h"

#include <QMessageBox>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv) {
    return launcherMain(argc, argv, [](const DataOptionsGeneral &general) {
        auto window = std::make_unique<QWidget>();
        window->setObjectName(QStringLiteral("mainwindow"));
        window->setWindowTitle(QStringLiteral("Stand-in main window"));
        window->resize(320, 200);
        if (general.minimizeOnStartup)
            window->showMinimized();
        else
            window->show();
        std::fprintf(stderr, "stand-in: window shown minimized=%d\n", general.minimizeOnStartup ? 1 : 0);
        if (qEnvironmentVariableIsSet("VL_TEST_CHANGE"))
            StoreOptions::options()->setChanged(false);
        if (qEnvironmentVariableIsSet("VL_TEST_MODAL"))
            QTimer::singleShot(0, window.get(), [w = window.get()] {
                std::fprintf(stderr, "stand-in: modal open\n");
                const int answer =
                    QMessageBox::information(w, QStringLiteral("Modal box"), QStringLiteral("modal"),
                                             QMessageBox::Ok | QMessageBox::Cancel);
                std::fprintf(stderr, "stand-in: modal ended answer=%s\n",
                             answer == QMessageBox::Ok ? "ok" : "cancel");
            });
        if (qEnvironmentVariableIsSet("VL_TEST_TRAY"))
            QTimer::singleShot(0, window.get(), [w = window.get()] {
                w->hide();
                std::fprintf(stderr, "stand-in: hidden, box open\n");
                QMessageBox::information(nullptr, QStringLiteral("Velloran Pro"), QStringLiteral("box"));
                std::fprintf(stderr, "stand-in: box closed\n");
            });
        return window;
    });
}
