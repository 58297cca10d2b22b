#include "RKTrayIconWindowMaker.h"

RKTrayIconWharf::RKTrayIconWharf(RKTrayIcon *owner, const QPixmap &icon) : RKTrayIconPrivate(owner, 44) {
    setClassHint("rkdockWharf");
    setPixmap(icon);
}

void RKTrayIconWharf::setPixmap(const QPixmap &p) {
    pixmap = p.scaled(p.width() * 2, p.height() * 2);
    setWindowIcon(QIcon(pixmap));
    // The whole square at once: the doubled picture may not cover the old one.
    update();
}

RKTrayIconWindowMaker::RKTrayIconWindowMaker(RKTrayIcon *owner, const QPixmap &icon)
    : RKTrayIconPrivate(owner, 32), m_wharf(new RKTrayIconWharf(owner, icon)) {
    initWM(static_cast<unsigned long>(m_wharf->winId()));
}

RKTrayIconWindowMaker::~RKTrayIconWindowMaker() {
    delete m_wharf;
}

void RKTrayIconWindowMaker::setPixmap(const QPixmap &p) {
    m_wharf->setPixmap(p);
}
