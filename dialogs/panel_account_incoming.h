#pragma once
// The incoming-server pages of the account editors: server, login and the advanced
// connection settings for POP3 and IMAP, the login alone for Hotmail. The advanced settings
// are edited on a copy that reaches the record only when the page is saved, so cancelling
// the account editor drops them with everything else.

#include "data/data_account_advanced_imap.h"
#include "data/data_account_advanced_pop3.h"
#include "vl_panel.h"

#include <QWidget>

class DataAccountIncomingHotMail;
class DataAccountIncomingIMAP;
class DataAccountIncomingPOP3;
class DataAccountIncomingPOP3IMAP;
class QCheckBox;
class QLineEdit;
class QPushButton;

class PanelAccountIncomingPOP3IMAP : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    // protocolWord names the protocol in the server label and the advanced button.
    PanelAccountIncomingPOP3IMAP(const char *protocolWord, QWidget *parent, const char *name);
    void load(const DataAccountIncomingPOP3IMAP &record);
    void save(DataAccountIncomingPOP3IMAP &record) const;
    [[nodiscard]] QPushButton *advancedButton() const { return m_advanced; }

public slots:
    virtual void showAdvanced() = 0;

protected:
    // Each protocol's page chains the fields once it is complete.
    void chainTabs();

private:
    QLineEdit *m_server;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QCheckBox *m_remember;
    QPushButton *m_advanced;
};

class PanelAccountIncomingPOP3 : public PanelAccountIncomingPOP3IMAP {
    Q_OBJECT
public:
    PanelAccountIncomingPOP3(QWidget *parent, const char *name);
    void load(const DataAccountIncomingPOP3 &record);
    void save(DataAccountIncomingPOP3 &record) const;
    [[nodiscard]] const DataAccountAdvancedPOP3 &advanced() const { return m_advanced; }

public slots:
    void showAdvanced() override;

private:
    DataAccountAdvancedPOP3 m_advanced;
};

class PanelAccountIncomingIMAP : public PanelAccountIncomingPOP3IMAP {
    Q_OBJECT
public:
    PanelAccountIncomingIMAP(QWidget *parent, const char *name);
    void load(const DataAccountIncomingIMAP &record);
    void save(DataAccountIncomingIMAP &record) const;
    [[nodiscard]] const DataAccountAdvancedIMAP &advanced() const { return m_advanced; }

public slots:
    void showAdvanced() override;

private:
    DataAccountAdvancedIMAP m_advanced;
};

class PanelAccountIncomingHotMail : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelAccountIncomingHotMail(QWidget *parent, const char *name);
    void load(const DataAccountIncomingHotMail &record);
    void save(DataAccountIncomingHotMail &record) const;

private:
    QLineEdit *m_user;
    QLineEdit *m_password;
    QCheckBox *m_remember;
};
