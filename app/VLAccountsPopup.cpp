#include "VLAccountsPopup.h"

#include "data/store_account_list.h"

#include <cstdio>

VLAccountsPopup::VLAccountsPopup(QWidget *parent, const QString &name) : QMenu(parent) {
    setObjectName(name);
    connect(this, &QMenu::aboutToShow, this, &VLAccountsPopup::rebuild);
}

void VLAccountsPopup::rebuild() {
    std::fprintf(stderr, "VLAccountsPopup::show: called\n");
    clear();
    const auto add = [this](const QString &text, int id) {
        // Plain text: an account name with "&" must not turn into a mnemonic.
        QString shown = text;
        shown.replace(u'&', QStringLiteral("&&"));
        QAction *action = addAction(shown);
        connect(action, &QAction::triggered, this, [this, id] { slotCheckAccount(id); });
    };
    add(tr("Default Accounts"), DefaultAccountsId);
    add(tr("All Accounts"), AllAccountsId);
    addSeparator();
    const QList<DataAccount> &accounts = StoreAccountList::accounts()->accountList;
    for (int i = 0; i < accounts.size(); ++i)
        add(accounts[i].name(), i);
}

void VLAccountsPopup::slotCheckAccount(int id) {
    if (id == DefaultAccountsId) {
        emit sigCheckAccount(QStringLiteral("$$$DEF$$$"));
        return;
    }
    if (id == AllAccountsId) {
        emit sigCheckAccount(QStringLiteral("$$$ALL$$$"));
        return;
    }
    const QList<DataAccount> &accounts = StoreAccountList::accounts()->accountList;
    if (id < 0 || id >= accounts.size())
        return;
    emit sigCheckAccount(accounts[id].name());
}
