#pragma once
// The outgoing page of the POP3 and IMAP account editors: the account's own address, the
// SMTP server, whether its messages may be bounced, and the advanced outgoing settings,
// edited on a copy that reaches the record only when the page is saved.

#include "data/data_account_advanced.h"
#include "vl_panel.h"

#include <QWidget>

class DataAccountOutgoing;
class QCheckBox;
class QLineEdit;
class QPushButton;

class PanelAccountOutgoing : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelAccountOutgoing(QWidget *parent, const char *name);
    void load(const DataAccountOutgoing &record);
    void save(DataAccountOutgoing &record) const;
    [[nodiscard]] const DataAccountAdvanced &advanced() const { return m_advanced; }
    [[nodiscard]] QPushButton *advancedButton() const { return m_advancedButton; }

public slots:
    void showAdvanced();

private:
    QCheckBox *m_enableBounce;
    QLineEdit *m_email;
    QLineEdit *m_server;
    QPushButton *m_advancedButton;
    DataAccountAdvanced m_advanced;
};
