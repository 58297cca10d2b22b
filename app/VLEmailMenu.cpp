#include "VLEmailMenu.h"

#include <QAction>

VLEmailMenu::VLEmailMenu(QWidget *parent, QObject *receiver) : QMenu(parent), m_receiver(receiver) {
    makeEntry("Add to black list", QKeySequence(Qt::Key_Minus), "addToBlacklist", SLOT(slotAddToBlacklist()));
    makeEntry("Add to friends list", QKeySequence(Qt::Key_Plus), "addToFriends", SLOT(slotAddToFriends()));
    makeEntry("Add domain to black list", QKeySequence(), "addDomainToBlacklist",
              SLOT(slotAddDomainToBlacklist()));
    makeEntry("Add domain to friends list", QKeySequence(), "addDomainToFriends",
              SLOT(slotAddDomainToFriends()));
    makeEntry("Mark for deletion", QKeySequence(Qt::Key_D), "marForDeletion", SLOT(slotMarForDeletion()));
    makeEntry("Mark for bouncing", QKeySequence(Qt::Key_B), "markForBouncing", SLOT(slotMarkForBouncing()));
    makeEntry("Preview message", QKeySequence(), "previewMessage", SLOT(slotPreviewMessage()));
    makeEntry("View complete header", QKeySequence(), "viewCompleteHeader", SLOT(slotViewCompleteHeader()));
    makeEntry("Mark all for deletion", QKeySequence(), "markAllForDeletion", SLOT(slotMarkAllForDeletion()));
    makeEntry("Mark all for bouncing", QKeySequence(), "markAllForBouncing", SLOT(slotMarkAllForBouncing()));
    makeEntry("Select all emails", QKeySequence(Qt::CTRL | Qt::Key_A), "selectAllEmails",
              SLOT(slotSelectAllEmails()));
    makeEntry("Clear message list", QKeySequence(Qt::Key_C), "clearMessageList",
              SLOT(slotClearMessageList()));
}

QAction *VLEmailMenu::makeEntry(const char *text, const QKeySequence &key, const char *name,
                                const char *slot) {
    // Owned by the menu, so the entries go with it.
    auto *action = new QAction(QString::fromLatin1(text), this);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetShortcut);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, SIGNAL(triggered()), m_receiver, slot);
    addAction(action);
    m_entries.append(action);
    return action;
}
