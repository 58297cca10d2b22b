#pragma once
// The accounts dialog: the account list panel with OK, Cancel and Help.

#include "panel_account_list.h"
#include "vl_dialog.h"

class DialogAccountList : public VLDialog {
    Q_OBJECT
public:
    DialogAccountList(QWidget *parent, const char *name);
    void load(const DataAccountList &list) { m_panel->load(list); }
    void save(DataAccountList &list) const { m_panel->save(list); }
    void loadFromStore() { m_panel->loadFromStore(); }
    QString saveToStore() { return m_panel->saveToStore(); }
    [[nodiscard]] PanelAccountList *panel() const { return m_panel; }

private:
    PanelAccountList *m_panel;
};
