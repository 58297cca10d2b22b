#pragma once
// The dock window of the tray icon: a small fixed square without frame that paints the
// icon's picture centred and hands every mouse event to the icon. The docking variants
// derive from it.

#include "RKTrayIcon.h"

#include <QPixmap>
#include <QWidget>

class RKTrayIcon::RKTrayIconPrivate : public QWidget {
public:
    RKTrayIconPrivate(RKTrayIcon *owner, int size);

    // Class hint "rkdock", and WM hints that make a dock app of the window: withdrawn,
    // with the given icon window and itself as the window group.
    virtual void initWM(unsigned long iconWindow);
    virtual void setPixmap(const QPixmap &p);

    [[nodiscard]] QPixmap shownPixmap() const { return pixmap; }
    [[nodiscard]] int side() const { return m_size; }

protected:
    bool event(QEvent *e) override;
    void paintEvent(QPaintEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

    // Writes the class hint with this name and the application's class name.
    void setClassHint(const char *name);

    RKTrayIcon *owner;
    QPixmap pixmap;
    int m_size; // the fixed side length
};
