#pragma once
// The advanced outgoing editor of a POP3 or IMAP account: how bounces are sent, the SMTP
// server settings beside it on two tabs, and the dialog that shows them.

#include "vl_dialog.h"
#include "vl_panel.h"

#include <QWidget>

class DataAccountAdvanced;
class DataAccountAdvancedBounce;
class DataRadioSet;
class PanelAccountAdvancedSMTP;
class PanelTabWidget;

// Which SMTP servers carry a bounce: 1 remote only, 2 local only, 3 remote with local backup.
class PanelAccountAdvancedBounce : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelAccountAdvancedBounce(QWidget *parent, const char *name);
    void load(const DataAccountAdvancedBounce &record);
    void save(DataAccountAdvancedBounce &record) const;
    [[nodiscard]] DataRadioSet *servers() const { return m_servers; }

private:
    DataRadioSet *m_servers;
};

class PanelAccountAdvanced : public QWidget {
    Q_OBJECT
public:
    PanelAccountAdvanced(QWidget *parent, const char *name);
    void load(const DataAccountAdvanced &record);
    void save(DataAccountAdvanced &record) const;

    [[nodiscard]] PanelTabWidget *tabber() const { return m_tabber; }
    [[nodiscard]] PanelAccountAdvancedSMTP *smtp() const { return m_smtp; }
    [[nodiscard]] PanelAccountAdvancedBounce *bounce() const { return m_bounce; }

private:
    PanelTabWidget *m_tabber;
    PanelAccountAdvancedSMTP *m_smtp;
    PanelAccountAdvancedBounce *m_bounce;
};

class DialogAccountAdvanced : public VLDialog {
    Q_OBJECT
public:
    DialogAccountAdvanced(QWidget *parent, const char *name);
    void load(const DataAccountAdvanced &record) { m_panel->load(record); }
    void save(DataAccountAdvanced &record) const { m_panel->save(record); }
    [[nodiscard]] PanelAccountAdvanced *panel() const { return m_panel; }

private:
    PanelAccountAdvanced *m_panel;
};
