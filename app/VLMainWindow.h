#pragma once
// The application's main window.

#include <QMainWindow>

class VLMainWindow : public QMainWindow {
    Q_OBJECT
public:
    VLMainWindow();
    ~VLMainWindow() override;

    // Shows the window with its stored geometry.
    void show();

public Q_SLOTS:
    // The first event of the loop: the tray icon, the check timer and the first check.
    void slotStartup();
};
