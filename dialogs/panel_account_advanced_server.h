#pragma once
// The connection details of an incoming server that most users leave alone: port, SSL and
// the secure login method, for POP3 and IMAP, with the small dialogs that show them. The
// port follows the SSL box: switching SSL puts the protocol's standard port in the field.

#include "account_port_row_p.h"
#include "vl_dialog.h"
#include "vl_panel.h"

#include <QWidget>

class DataAccountAdvancedIMAP;
class DataAccountAdvancedPOP3;
class DataAccountAdvancedServer;
class DataRadioSet;
class QCheckBox;
class QGroupBox;
class QRadioButton;

// What the POP3 and IMAP pages share; each protocol gives its ports and login methods.
class PanelAccountAdvancedServer : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    struct Method {
        const char *name;
        const char *text;
    };

    [[nodiscard]] QCheckBox *sslBox() const { return m_ssl; }
    [[nodiscard]] QGroupBox *secureAuthBox() const { return m_secureAuth; }
    [[nodiscard]] DataRadioSet *methods() const { return m_methods; }

public slots:
    void changeUseSSL(bool on);

protected:
    // One or two login methods, button 1 first.
    PanelAccountAdvancedServer(const char *plainPort, const char *sslPort, Method first, const Method *second,
                               QWidget *parent, const char *name);
    void loadServer(const DataAccountAdvancedServer &record);
    void saveServer(DataAccountAdvancedServer &record) const;

private:
    [[nodiscard]] QString standardPort(bool ssl) const;

    QString m_plainPort;
    QString m_sslPort;
    AccountPortRow m_portRow;
    QCheckBox *m_ssl;
    QGroupBox *m_secureAuth;
    QRadioButton *m_method1;
    QRadioButton *m_method2 = nullptr;
    DataRadioSet *m_methods;
};

class PanelAccountAdvancedPOP3 : public PanelAccountAdvancedServer {
    Q_OBJECT
public:
    PanelAccountAdvancedPOP3(QWidget *parent, const char *name);
    void load(const DataAccountAdvancedPOP3 &record);
    void save(DataAccountAdvancedPOP3 &record) const;
};

class PanelAccountAdvancedIMAP : public PanelAccountAdvancedServer {
    Q_OBJECT
public:
    PanelAccountAdvancedIMAP(QWidget *parent, const char *name);
    void load(const DataAccountAdvancedIMAP &record);
    void save(DataAccountAdvancedIMAP &record) const;
};

class DialogAccountAdvancedPOP3 : public VLDialog {
    Q_OBJECT
public:
    DialogAccountAdvancedPOP3(QWidget *parent, const char *name);
    void load(const DataAccountAdvancedPOP3 &record) { m_panel->load(record); }
    void save(DataAccountAdvancedPOP3 &record) const { m_panel->save(record); }
    [[nodiscard]] PanelAccountAdvancedPOP3 *panel() const { return m_panel; }

private:
    PanelAccountAdvancedPOP3 *m_panel;
};

class DialogAccountAdvancedIMAP : public VLDialog {
    Q_OBJECT
public:
    DialogAccountAdvancedIMAP(QWidget *parent, const char *name);
    void load(const DataAccountAdvancedIMAP &record) { m_panel->load(record); }
    void save(DataAccountAdvancedIMAP &record) const { m_panel->save(record); }
    [[nodiscard]] PanelAccountAdvancedIMAP *panel() const { return m_panel; }

private:
    PanelAccountAdvancedIMAP *m_panel;
};
