#include "VLSplashScreen.h"

#include <QPixmap>
#include <QTimer>

#include <cstdio>

VLSplashScreen::VLSplashScreen() : QSplashScreen(QPixmap(QStringLiteral(":/vlImages/vlSplashScreen.png"))) {
    std::fprintf(stderr, "VLSplashScreen::VLSplashScreen: called\n");
    setMaximumSize(MaxWidth, MaxHeight);
    // Closed, not deleted: the launcher keeps the object until the process ends.
    QTimer::singleShot(ShowMs, this, &QWidget::close);
}
