#pragma once
// The dock-app variant of the tray icon: a withdrawn window whose icon window (the Wharf)
// shows the picture at twice its size inside the dock.

#include "RKTrayIconPrivate.h"

class RKTrayIconWharf : public RKTrayIcon::RKTrayIconPrivate {
public:
    RKTrayIconWharf(RKTrayIcon *owner, const QPixmap &icon);
    void setPixmap(const QPixmap &p) override;
};

class RKTrayIconWindowMaker : public RKTrayIcon::RKTrayIconPrivate {
public:
    RKTrayIconWindowMaker(RKTrayIcon *owner, const QPixmap &icon);
    ~RKTrayIconWindowMaker() override;

    void setPixmap(const QPixmap &p) override;
    [[nodiscard]] RKTrayIconWharf *wharf() const { return m_wharf; }

private:
    RKTrayIconWharf *m_wharf;
};
