#pragma once
// The menu of commands on the listed messages. One instance sits in the main window's menu
// bar as "&Email", another pops up over the mail table; each entry only forwards to a slot
// of the receiver (the mail lister), which carries the command out.

#include <QKeySequence>
#include <QList>
#include <QMenu>

class QAction;

class VLEmailMenu : public QMenu {
    Q_OBJECT
public:
    VLEmailMenu(QWidget *parent, QObject *receiver);

    // The entries, in menu order.
    [[nodiscard]] const QList<QAction *> &entries() const { return m_entries; }

private:
    // One entry whose trigger calls the receiver's slot (a SLOT() signature). The key is only
    // shown: the window-wide bindings of these keys belong to the main window, and a second
    // window shortcut on the same key would silence both.
    QAction *makeEntry(const char *text, const QKeySequence &key, const char *name, const char *slot);

    QObject *m_receiver;
    QList<QAction *> m_entries;
};
