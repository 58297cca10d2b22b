// The smallest Qt program with a window: the floor under velloran's start-up and end.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.resize(640, 480);
    window.show();
    return app.exec();
}
