// One start of the application object for the single-instance tests, as the launcher
// does it: "ident=<identity>", "first=<isRunning>", then initialise and "second=<isRunning>"
// again (false only for the copy that holds the lock); it then runs until its standard
// input ends. "--xpcs <hex of UTF-8 text>" prints the hex of toXPCS(text) instead.
#include "VLSingleApplication.h"

#include <QSocketNotifier>
#include <QWidget>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv) {
    const bool xpcs = argc == 3 && std::strcmp(argv[1], "--xpcs") == 0;
    const QByteArray text = xpcs ? QByteArray::fromHex(argv[2]) : QByteArray();
    VLSingleApplication app(argc, argv);
    if (xpcs) {
        std::printf("%s\n", app.toXPCS(QString::fromUtf8(text)).toHex().constData());
        return 0;
    }
    std::printf("ident=%s\n", app.ident().toUtf8().constData());
    std::printf("first=%d\n", int(app.isRunning()));
    app.initialise();
    const bool second = app.isRunning();
    std::printf("second=%d\n", int(second));
    std::fflush(stdout);
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buf[64];
        if (std::fgets(buf, sizeof buf, stdin) == nullptr)
            QApplication::quit();
    });
    return app.exec();
}
