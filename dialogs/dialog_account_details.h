#pragma once
// The modal dialogs around the account details panels. While the account list names the
// names already taken, OK is refused for a name that would make two accounts
// indistinguishable: the rest of the application knows an account by its name.

#include "panel_account_details.h"
#include "vl_dialog.h"

#include <QStringList>

#include <optional>

class PanelAccountName;

class DialogAccountDetails : public VLDialog {
    Q_OBJECT
public:
    // OK is refused while the trimmed name equals one of taken or an account selector. For
    // an account being edited, pass the name it was loaded with: while the name is still
    // exactly that, it is not checked (a stored duplicate stays as it is).
    void refuseNames(const QStringList &taken, const std::optional<QString> &loaded = std::nullopt);

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
    std::optional<QString> m_loaded;
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
