// vlhelp: shows the help books, started by the application with a first key and the port
// on which it sends further keys, or by hand as a stand-alone help browser.
#include "globals.h"
#include "viewer.h"

#include <QApplication>
#include <QDir>
#include <QPointer>

#include <cstdio>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const SOHelpOptions options = parseHelpArguments(app.arguments().mid(1));
    vlHelpDir = options.helpDir;
    vlHelpKey = options.helpKey;
    vlHelpPort = options.port;

    fprintf(stderr, "BCHelp: cwd     =%s\n        helpdir =%s\n        helpkey =%s\n        helpport=%d\n",
            qUtf8Printable(QDir::currentPath()), qUtf8Printable(vlHelpDir), qUtf8Printable(vlHelpKey),
            vlHelpPort);

    xmlFiles = listHelpBooks(vlHelpDir);
    vlKeyBase = QStringLiteral("/Velloran/0.1/");

    QPointer<SOHelpViewer> viewer = new SOHelpViewer(vlHelpPort, nullptr, QStringLiteral("Velloran Help"));
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    if (SOHelpViewer::readStored().maximized)
        viewer->showMaximized();
    else
        viewer->show();
    viewer->raise();
    viewer->activateWindow();
    QApplication::processEvents();

    if (!viewer)
        return 0;
    if (!vlHelpKey.isEmpty())
        viewer->setHelpKey(vlHelpKey);
    QObject::connect(&app, &QGuiApplication::lastWindowClosed, &app, &QCoreApplication::quit);
    const int status = QApplication::exec();
    delete viewer.data(); // saves the settings once more, as on every way out
    return status;
}
