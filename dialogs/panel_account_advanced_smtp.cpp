#include "panel_account_advanced_smtp.h"

#include "account_dialogs_p.h"
#include "account_port_row_p.h"
#include "data/data_account_advanced_smtp.h"
#include "data/data_radio_set.h"
#include "vl_default_button.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {
constexpr int kAsIncoming = 1;
constexpr int kSpecified = 2;

QString standardPort(bool ssl) {
    return ssl ? QStringLiteral("465") : QStringLiteral("25");
}
} // namespace

PanelAccountAdvancedSMTP::PanelAccountAdvancedSMTP(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);

    m_portRow = AccountPortRow::add(this, top);

    m_ssl = new QCheckBox(QStringLiteral("This server required a secure connection (SS&L)"), this);
    m_ssl->setObjectName(QStringLiteral("useSSL"));
    top->addWidget(m_ssl);

    m_smtpAuth = new QGroupBox(QStringLiteral("My SMTP server requires auth&entication"), this);
    m_smtpAuth->setObjectName(QStringLiteral("useSMTPAuth"));
    m_smtpAuth->setCheckable(true);
    m_smtpAuth->setChecked(true);
    top->addWidget(m_smtpAuth);
    auto *column = new QVBoxLayout(m_smtpAuth);
    m_asIncoming =
        new QRadioButton(QStringLiteral("Use the same settings as my &incoming mail server"), m_smtpAuth);
    m_asIncoming->setObjectName(QStringLiteral("authAsIncoming"));
    m_specifiedLogin = new QRadioButton(QStringLiteral("Log &on using"), m_smtpAuth);
    m_specifiedLogin->setObjectName(QStringLiteral("authSpecified"));
    column->addWidget(m_asIncoming);
    column->addWidget(m_specifiedLogin);

    m_grid = new QWidget(m_smtpAuth);
    m_grid->setObjectName(QStringLiteral("grid"));
    auto *grid = new QGridLayout(m_grid);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);
    auto *userLabel = new QLabel(QStringLiteral("&User name"), m_grid);
    m_userName = new QLineEdit(m_grid);
    m_userName->setObjectName(QStringLiteral("userName"));
    userLabel->setBuddy(m_userName);
    auto *passwordLabel = new QLabel(QStringLiteral("&Password"), m_grid);
    m_password = new QLineEdit(m_grid);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    passwordLabel->setBuddy(m_password);
    m_remember = new QCheckBox(QStringLiteral("&Remember Password"), m_grid);
    m_remember->setObjectName(QStringLiteral("rememberPassword"));
    grid->addWidget(userLabel, 0, 0);
    grid->addWidget(m_userName, 0, 1);
    grid->addWidget(passwordLabel, 1, 0);
    grid->addWidget(m_password, 1, 1);
    grid->addWidget(new QWidget(m_grid), 2, 0);
    grid->addWidget(m_remember, 2, 1);
    column->addWidget(m_grid);

    m_onlySecure = new QCheckBox(QStringLiteral("Use only se&cure authentication protocols"), m_smtpAuth);
    m_onlySecure->setObjectName(QStringLiteral("useOnlySecure"));
    column->addWidget(m_onlySecure);

    m_authUsing = new DataRadioSet(this, m_asIncoming, m_specifiedLogin);

    VLPanel::setTabOrder(m_portRow.port, m_portRow.useDefault, m_ssl, m_smtpAuth, m_asIncoming,
                         m_specifiedLogin, m_userName, m_password, m_remember, m_onlySecure);
    connect(m_ssl, &QCheckBox::toggled, this, &PanelAccountAdvancedSMTP::changeUseSSL);
    connect(m_authUsing, &DataRadioSet::sigValueChanged, this, &PanelAccountAdvancedSMTP::changeAuthUsing);
}

void PanelAccountAdvancedSMTP::setAsSpecified() {
    m_specified = true;
    m_asIncoming->hide();
    m_specifiedLogin->hide();
}

void PanelAccountAdvancedSMTP::changeAuthUsing(int value) {
    m_grid->setEnabled(value == kSpecified);
}

void PanelAccountAdvancedSMTP::changeUseSSL(bool on) {
    m_portRow.showStandard(standardPort(on));
}

void PanelAccountAdvancedSMTP::load(const DataAccountAdvancedSMTP &record) {
    Data::load(record.useSSL, m_ssl);
    Data::load(record.useSMTPAuth, m_smtpAuth);
    Data::load(record.authUsing, m_authUsing);
    Data::load(record.authUserName, m_userName);
    Data::load(record.authPassword, m_password);
    Data::load(record.rememberPassword, m_remember);
    Data::load(record.useOnlySecure, m_onlySecure);
    Data::load(record.portNumber, m_portRow.port);
    // The sender logs in with the incoming server's login only for 1; any other stored
    // value (an imported account's 0) uses the name and password of this record, so they
    // stay editable when one is stored.
    const bool ownLogin =
        record.authUsing == kSpecified || (record.authUsing != kAsIncoming && !record.authUserName.isEmpty());
    m_grid->setEnabled(ownLogin);
    m_portRow.loaded(record.portNumber, standardPort(record.useSSL));
    if (m_specified)
        m_grid->setEnabled(true);
}

void PanelAccountAdvancedSMTP::save(DataAccountAdvancedSMTP &record) const {
    Data::save(record.useSSL, m_ssl);
    Data::save(record.useSMTPAuth, m_smtpAuth);
    Data::save(record.authUsing, m_authUsing);
    Data::save(record.authUserName, m_userName);
    Data::save(record.authPassword, m_password);
    Data::save(record.rememberPassword, m_remember);
    Data::save(record.useOnlySecure, m_onlySecure);
    Data::save(record.portNumber, m_portRow.port);
    // Without an incoming server the borrowed login would be empty: use the one typed here.
    if (m_specified && record.authUsing == kAsIncoming)
        record.authUsing = kSpecified;
}

DialogAccountAdvancedSMTP::DialogAccountAdvancedSMTP(QWidget *parent, const char *name)
    : VLDialog(account_dialogs::advancedCaption(), parent, name),
      m_panel(account_dialogs::addPanel<PanelAccountAdvancedSMTP>(this)) {}
