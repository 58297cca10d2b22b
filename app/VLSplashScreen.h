#pragma once
// The start-up picture shown while the main window is built. It closes itself five seconds
// after it was made, ready or not, and is never larger than its picture's frame.

#include <QSplashScreen>

class VLSplashScreen : public QSplashScreen {
    Q_OBJECT
public:
    static constexpr int MaxWidth = 565;
    static constexpr int MaxHeight = 440;
    static constexpr int ShowMs = 5000;

    VLSplashScreen();
};
