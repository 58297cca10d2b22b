#pragma once
// The main window's action: besides the menu entry it knows the toolbar button that shows
// it, so the window can set that button's size and label.

#include <QAction>
#include <QIcon>
#include <QKeySequence>

class QToolButton;

class VLAction : public QAction {
    Q_OBJECT
public:
    VLAction(const QIcon &icon, const QString &text, const QKeySequence &shortcut, QObject *parent,
             const QString &name);

    // The button of the last toolbar the action was added to (made auto-raising), or null
    // while the action sits only in menus.
    [[nodiscard]] QToolButton *toolButton() const;
};
