#include "dialog_login.h"

#include "data/data.h"
#include "data/data_account_incoming_pop3imap.h"
#include "data/data_radio_set.h"
#include "vl_panel.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

DialogLogin::DialogLogin(QWidget *parent, const char *name) : VLDialog(parent, name) {
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panel"));
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(20, 20, 20, 20);
    column->setSpacing(10);
    // The server's or the client's own words: shown as they came, never as markup.
    m_reason = new QLabel(panel);
    m_reason->setObjectName(QStringLiteral("reason"));
    m_reason->setTextFormat(Qt::PlainText);
    m_reason->setWordWrap(true);
    m_reason->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_reason->hide();
    column->addWidget(m_reason);
    column->addWidget(
        new QLabel(QStringLiteral("Please enter your user name and password for this server"), panel));

    auto *login = new QGroupBox(QStringLiteral("&Login"), panel);
    login->setObjectName(QStringLiteral("login"));
    auto *grid = new QGridLayout(login);
    grid->addWidget(new QLabel(QStringLiteral("Server"), login), 0, 0);
    // A label, not a field: the server is not the user's to change here.
    m_server = new QLabel(login);
    m_server->setObjectName(QStringLiteral("server"));
    m_server->setTextFormat(Qt::PlainText);
    m_server->setTextInteractionFlags(Qt::TextSelectableByMouse);
    grid->addWidget(m_server, 0, 1);

    auto *nameLabel = new QLabel(QStringLiteral("&User Name"), login);
    m_name = new QLineEdit(login);
    m_name->setObjectName(QStringLiteral("name"));
    nameLabel->setBuddy(m_name);
    grid->addWidget(nameLabel, 1, 0);
    grid->addWidget(m_name, 1, 1);

    auto *passwordLabel = new QLabel(QStringLiteral("&Password"), login);
    m_password = new QLineEdit(login);
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    passwordLabel->setBuddy(m_password);
    grid->addWidget(passwordLabel, 2, 0);
    grid->addWidget(m_password, 2, 1);

    m_remember = new QCheckBox(QStringLiteral("&Remember password"), login);
    m_remember->setObjectName(QStringLiteral("rememberPassword"));
    grid->addWidget(new QWidget(login), 3, 0);
    grid->addWidget(m_remember, 3, 1);

    m_options = new QWidget(login);
    m_options->setObjectName(QStringLiteral("options"));
    m_optionsGrid = new QGridLayout(m_options);
    m_optionsGrid->setContentsMargins(0, 0, 0, 0);
    m_optionsGrid->setSpacing(10);
    grid->addWidget(new QWidget(login), 4, 0);
    grid->addWidget(m_options, 4, 1);
    grid->setColumnStretch(1, 1);

    column->addWidget(login);
    // A window taller than needed keeps the prompt and its fields together at the top.
    column->addStretch(1);
    layout()->addWidget(panel);
    addOKCancel();
}

void DialogLogin::chainTabs(const QList<QWidget *> &options) {
    QList<QWidget *> chain{m_name, m_password, m_remember};
    for (QWidget *w : options)
        chain.append(fixFocus(w));
    // The button row was made before the protocol's options: it goes last.
    for (QPushButton *b : findChildren<QPushButton *>(Qt::FindDirectChildrenOnly))
        chain.append(b);
    for (qsizetype i = 1; i < chain.size(); ++i)
        QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
    m_name->setFocus();
}

void DialogLogin::setReason(const QString &reason) {
    m_reason->setText(reason);
    m_reason->setVisible(!reason.isEmpty());
}

void DialogLogin::loadLogin(const DataAccountIncomingPOP3IMAP &record,
                            const DataAccountAdvancedServer &advanced) {
    m_server->setText(record.serverAddress);
    Data::load(record.userName, m_name);
    Data::load(record.password, m_password);
    Data::load(record.rememberPassword, m_remember);
    Data::load(advanced.useSecureAuth, m_secure);
    Data::load(advanced.authType, m_authType);
    m_name->selectAll();
}

void DialogLogin::saveLogin(DataAccountIncomingPOP3IMAP &record, DataAccountAdvancedServer &advanced) const {
    Data::save(record.userName, m_name);
    Data::save(record.password, m_password);
    Data::save(record.rememberPassword, m_remember);
    Data::save(advanced.useSecureAuth, m_secure);
    Data::save(advanced.authType, m_authType);
}

DialogLoginPOP3::DialogLoginPOP3(QWidget *parent, const char *name) : DialogLogin(parent, name) {
    m_secure = new QCheckBox(QStringLiteral("Use &secure authentication"), options());
    m_secure->setObjectName(QStringLiteral("useSecureAuth"));
    auto *apop = new QRadioButton(QStringLiteral("&APOP"), options());
    apop->setObjectName(QStringLiteral("useAPOP"));
    auto *spa = new QRadioButton(QStringLiteral("&MSN SPA"), options());
    spa->setObjectName(QStringLiteral("useMSNSPA"));
    optionsGrid()->addWidget(m_secure, 0, 0, 1, 2);
    optionsGrid()->addWidget(apop, 1, 0);
    optionsGrid()->addWidget(spa, 1, 1);
    m_authType = new DataRadioSet(this, apop, spa);
    chainTabs({m_secure, apop, spa});
}

void DialogLoginPOP3::load(const DataAccountIncomingPOP3 &record) {
    loadLogin(record, record.advanced);
}

void DialogLoginPOP3::save(DataAccountIncomingPOP3 &record) const {
    saveLogin(record, record.advanced);
}

DialogLoginIMAP::DialogLoginIMAP(QWidget *parent, const char *name) : DialogLogin(parent, name) {
    m_secure = new QCheckBox(QStringLiteral("Use &secure authentication"), options());
    m_secure->setObjectName(QStringLiteral("useSecureAuth"));
    // The same object name as the POP3 prompt's first choice: scripts reach both alike.
    auto *cram = new QRadioButton(QStringLiteral("&CRAM/MD5"), options());
    cram->setObjectName(QStringLiteral("useAPOP"));
    optionsGrid()->addWidget(m_secure, 0, 0, 1, 2);
    optionsGrid()->addWidget(cram, 1, 0);
    m_authType = new DataRadioSet(this, cram);
    chainTabs({m_secure, cram});
}

void DialogLoginIMAP::load(const DataAccountIncomingIMAP &record) {
    loadLogin(record, record.advanced);
}

void DialogLoginIMAP::save(DataAccountIncomingIMAP &record) const {
    saveLogin(record, record.advanced);
}
