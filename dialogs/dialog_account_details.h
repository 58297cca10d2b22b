#pragma once
// The modal dialogs around the account details panels. While the account list names the
// names already taken, OK is refused for a name that would make two accounts
// indistinguishable: the rest of the application knows an account by its name.

#include "panel_account_details.h"
#include "vl_dialog.h"

#include <QStringList>

class PanelAccountName;

class DialogAccountDetails : public VLDialog {
    Q_OBJECT
public:
    // OK is refused while the trimmed name equals one of taken (or an account selector),
    // unless the name is still exactly unchanged, as loaded (a stored duplicate stays as it
    // is). For a new account pass a null unchanged name: every name is checked.
    void refuseNames(const QStringList &taken, const QString &unchanged);

public slots:
    void accept() override;

protected:
    DialogAccountDetails(const QString &caption, QWidget *parent, const char *name);
    // The panel's tabs and its name page, which the check shows on a clash.
    void setNamePage(PanelTabWidget *tabs, PanelAccountName *page);

private:
    [[nodiscard]] QString clash(const QString &typed) const;

    PanelTabWidget *m_tabs = nullptr;
    PanelAccountName *m_namePage = nullptr;
    bool m_check = false;
    QStringList m_taken;
    QString m_unchanged;
};

class DialogAccountDetailsPOP3 : public DialogAccountDetails {
    Q_OBJECT
public:
    DialogAccountDetailsPOP3(QWidget *parent, const char *name);
    void load(const DataAccountDetailsPOP3 &record) { m_panel->load(record); }
    void save(DataAccountDetailsPOP3 &record) const { m_panel->save(record); }
    [[nodiscard]] PanelAccountDetailsPOP3 *panel() const { return m_panel; }

private:
    PanelAccountDetailsPOP3 *m_panel;
};

class DialogAccountDetailsIMAP : public DialogAccountDetails {
    Q_OBJECT
public:
    DialogAccountDetailsIMAP(QWidget *parent, const char *name);
    void load(const DataAccountDetailsIMAP &record) { m_panel->load(record); }
    void save(DataAccountDetailsIMAP &record) const { m_panel->save(record); }
    [[nodiscard]] PanelAccountDetailsIMAP *panel() const { return m_panel; }

private:
    PanelAccountDetailsIMAP *m_panel;
};

class DialogAccountDetailsHotMail : public DialogAccountDetails {
    Q_OBJECT
public:
    DialogAccountDetailsHotMail(QWidget *parent, const char *name);
    void load(const DataAccountDetailsHotMail &record) { m_panel->load(record); }
    void save(DataAccountDetailsHotMail &record) const { m_panel->save(record); }
    [[nodiscard]] PanelAccountDetailsHotMail *panel() const { return m_panel; }

private:
    PanelAccountDetailsHotMail *m_panel;
};
