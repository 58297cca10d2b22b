#include "VLAction.h"

#include <QToolBar>
#include <QToolButton>

VLAction::VLAction(const QIcon &icon, const QString &text, const QKeySequence &shortcut, QObject *parent,
                   const QString &name)
    : QAction(icon, text, parent) {
    setShortcut(shortcut);
    setObjectName(name);
}

QToolButton *VLAction::toolButton() const {
    const QList<QObject *> containers = associatedObjects();
    for (auto it = containers.crbegin(); it != containers.crend(); ++it) {
        auto *bar = qobject_cast<QToolBar *>(*it);
        if (!bar)
            continue;
        if (auto *button = qobject_cast<QToolButton *>(bar->widgetForAction(const_cast<VLAction *>(this)))) {
            button->setAutoRaise(true);
            return button;
        }
    }
    return nullptr;
}
