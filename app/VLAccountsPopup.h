#pragma once
// The Check Mail button's drop-down: check the default accounts, all accounts, or one
// account. Rebuilt from the account list every time it opens, so accounts added while the
// program runs are offered.

#include <QMenu>
#include <QString>

class VLAccountsPopup : public QMenu {
    Q_OBJECT
public:
    static constexpr int DefaultAccountsId = 900;
    static constexpr int AllAccountsId = 901;

    VLAccountsPopup(QWidget *parent, const QString &name);

    // Fills the menu from the current account list.
    void rebuild();

public Q_SLOTS:
    // DefaultAccountsId gives "$$$DEF$$$", AllAccountsId "$$$ALL$$$", an account's position
    // its name; an id that names no entry emits nothing.
    void slotCheckAccount(int id);

Q_SIGNALS:
    void sigCheckAccount(const QString &selector);
};
