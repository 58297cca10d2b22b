#include "dialog_account_list.h"

#include "account_dialogs_p.h"

DialogAccountList::DialogAccountList(QWidget *parent, const char *name)
    : VLDialog(QStringLiteral("Accounts"), parent, name),
      m_panel(account_dialogs::addPanel<PanelAccountList>(this, "Account_setup")) {}
