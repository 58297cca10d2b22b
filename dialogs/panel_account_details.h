#pragma once
// One mail account on tabs: its name, its incoming server and (POP3, IMAP) its outgoing
// mail, each tab a section of the details record.

#include "panel_tab_widget.h"

class DataAccountDetailsHotMail;
class DataAccountDetailsIMAP;
class DataAccountDetailsPOP3;
class PanelAccountIncomingHotMail;
class PanelAccountIncomingIMAP;
class PanelAccountIncomingPOP3;
class PanelAccountName;
class PanelAccountOutgoing;

class PanelAccountDetailsPOP3 : public PanelTabWidget {
    Q_OBJECT
public:
    PanelAccountDetailsPOP3(QWidget *parent, const char *name);
    void load(const DataAccountDetailsPOP3 &record);
    void save(DataAccountDetailsPOP3 &record) const;
    [[nodiscard]] PanelAccountName *namePage() const { return m_name; }

private:
    PanelAccountName *m_name;
    PanelAccountIncomingPOP3 *m_incoming;
    PanelAccountOutgoing *m_outgoing;
};

class PanelAccountDetailsIMAP : public PanelTabWidget {
    Q_OBJECT
public:
    PanelAccountDetailsIMAP(QWidget *parent, const char *name);
    void load(const DataAccountDetailsIMAP &record);
    void save(DataAccountDetailsIMAP &record) const;
    [[nodiscard]] PanelAccountName *namePage() const { return m_name; }

private:
    PanelAccountName *m_name;
    PanelAccountIncomingIMAP *m_incoming;
    PanelAccountOutgoing *m_outgoing;
};

class PanelAccountDetailsHotMail : public PanelTabWidget {
    Q_OBJECT
public:
    PanelAccountDetailsHotMail(QWidget *parent, const char *name);
    void load(const DataAccountDetailsHotMail &record);
    void save(DataAccountDetailsHotMail &record) const;
    [[nodiscard]] PanelAccountName *namePage() const { return m_name; }

private:
    PanelAccountName *m_name;
    PanelAccountIncomingHotMail *m_incoming;
};
