#pragma once
// One outgoing (SMTP) server: port, SSL and the login, either borrowed from the account's
// incoming server or typed here. Alone in its dialog (the e-mailed summary's server) it is
// put in specified mode, where there is no incoming login to borrow.

#include "account_port_row_p.h"
#include "vl_dialog.h"
#include "vl_panel.h"

#include <QWidget>

class DataAccountAdvancedSMTP;
class DataRadioSet;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;

class PanelAccountAdvancedSMTP : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelAccountAdvancedSMTP(QWidget *parent, const char *name);

    void load(const DataAccountAdvancedSMTP &record);
    void save(DataAccountAdvancedSMTP &record) const;
    // For the life of the panel the login is always the one typed here; call before load.
    void setAsSpecified();

    [[nodiscard]] bool isSpecified() const { return m_specified; }
    [[nodiscard]] QWidget *grid() const { return m_grid; }
    [[nodiscard]] DataRadioSet *authUsing() const { return m_authUsing; }

public slots:
    void changeAuthUsing(int value);
    void changeUseSSL(bool on);

private:
    AccountPortRow m_portRow;
    QCheckBox *m_ssl;
    QGroupBox *m_smtpAuth;
    QRadioButton *m_asIncoming;
    QRadioButton *m_specifiedLogin;
    QWidget *m_grid;
    QLineEdit *m_userName;
    QLineEdit *m_password;
    QCheckBox *m_remember;
    QCheckBox *m_onlySecure;
    DataRadioSet *m_authUsing;
    bool m_specified = false;
};

class DialogAccountAdvancedSMTP : public VLDialog {
    Q_OBJECT
public:
    DialogAccountAdvancedSMTP(QWidget *parent, const char *name);
    void load(const DataAccountAdvancedSMTP &record) { m_panel->load(record); }
    void save(DataAccountAdvancedSMTP &record) const { m_panel->save(record); }
    void setAsSpecified() { m_panel->setAsSpecified(); }
    [[nodiscard]] PanelAccountAdvancedSMTP *panel() const { return m_panel; }

private:
    PanelAccountAdvancedSMTP *m_panel;
};
