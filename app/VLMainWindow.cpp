#include "VLMainWindow.h"

VLMainWindow::VLMainWindow() = default;
VLMainWindow::~VLMainWindow() = default;

void VLMainWindow::show() {
    QMainWindow::show();
}

void VLMainWindow::slotStartup() {}
