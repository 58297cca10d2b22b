#pragma once
// The Tallowmark page of the spam tools: the community spam database on or off, the user's
// account with the service, and what happens to mail the service knows as spam.

#include "panel_titled.h"
#include "vl_panel.h"

class DataToolsTM;
class QLineEdit;
class ToolsActionsBox;
class VLGroupBox;

class PanelToolsTM : public PanelTitled, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelToolsTM(QWidget *parent, const char *name);

    void load(const DataToolsTM &tm);
    void save(DataToolsTM &tm) const;

private:
    VLGroupBox *m_enable;
    QLineEdit *m_account;
    QLineEdit *m_password;
    ToolsActionsBox *m_actions;
};
