#pragma once
// The SpamCop page of the spam tools: reporting on or off, and the forwarding address the
// service gave the user, taken as typed.

#include "panel_titled.h"
#include "vl_panel.h"

class DataToolsSpamCop;
class QLineEdit;
class VLGroupBox;

class PanelToolsSpamCop : public PanelTitled, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelToolsSpamCop(QWidget *parent, const char *name);

    void load(const DataToolsSpamCop &spamcop);
    void save(DataToolsSpamCop &spamcop) const;

private:
    VLGroupBox *m_enable;
    QLineEdit *m_email;
};
