#include "panel_account_incoming.h"

#include "data/data_account_incoming_hotmail.h"
#include "data/data_account_incoming_pop3imap.h"
#include "panel_account_advanced_server.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct LoginRows {
    QLineEdit *user;
    QLineEdit *password;
    QCheckBox *remember;
};

// User name, password and the remember box from that grid row down.
LoginRows addLoginRows(QWidget *panel, QGridLayout *grid, int row) {
    auto *userLabel = new QLabel(QStringLiteral("&User name"), panel);
    auto *user = new QLineEdit(panel);
    user->setObjectName(QStringLiteral("userName"));
    userLabel->setBuddy(user);
    auto *passwordLabel = new QLabel(QStringLiteral("&Password"), panel);
    auto *password = new QLineEdit(panel);
    password->setObjectName(QStringLiteral("password"));
    password->setEchoMode(QLineEdit::Password);
    passwordLabel->setBuddy(password);
    auto *remember = new QCheckBox(QStringLiteral("&Remember Password"), panel);
    remember->setObjectName(QStringLiteral("rememberPassword"));
    grid->addWidget(userLabel, row, 0);
    grid->addWidget(user, row, 1);
    grid->addWidget(passwordLabel, row + 1, 0);
    grid->addWidget(password, row + 1, 1);
    grid->addWidget(new QWidget(panel), row + 2, 0);
    grid->addWidget(remember, row + 2, 1);
    return {user, password, remember};
}

QGridLayout *panelGrid(QWidget *panel) {
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);
    return grid;
}

// Runs the protocol's advanced dialog on the page's copy; only OK changes the copy.
template <typename Dialog, typename Record>
void editAdvanced(QWidget *panel, const char *name, Record &copy) {
    Dialog dialog(panel, name);
    dialog.load(copy);
    if (dialog.exec() == QDialog::Accepted)
        dialog.save(copy);
}

} // namespace

PanelAccountIncomingPOP3IMAP::PanelAccountIncomingPOP3IMAP(const char *protocolWord, QWidget *parent,
                                                           const char *name)
    : QWidget(parent) {
    setObjectName(QLatin1String(name));
    const QString word = QLatin1String(protocolWord);
    auto *grid = panelGrid(this);
    auto *serverLabel = new QLabel(QStringLiteral("%1 &Server Address").arg(word), this);
    m_server = new QLineEdit(this);
    m_server->setObjectName(QStringLiteral("serverAddress"));
    serverLabel->setBuddy(m_server);
    grid->addWidget(serverLabel, 0, 0);
    grid->addWidget(m_server, 0, 1);
    const LoginRows login = addLoginRows(this, grid, 1);
    m_user = login.user;
    m_password = login.password;
    m_remember = login.remember;
    grid->setRowStretch(4, 1);
    m_advanced = new QPushButton(QStringLiteral("&Advanced %1 Configuration").arg(word), this);
    m_advanced->setObjectName(QStringLiteral("advancedPOP3IMAP"));
    grid->addWidget(m_advanced, 5, 1);
    connect(m_advanced, &QPushButton::clicked, this, &PanelAccountIncomingPOP3IMAP::showAdvanced);
}

void PanelAccountIncomingPOP3IMAP::chainTabs() {
    VLPanel::setTabOrder(m_server, m_user, m_password, m_remember, m_advanced);
}

void PanelAccountIncomingPOP3IMAP::load(const DataAccountIncomingPOP3IMAP &record) {
    Data::load(record.serverAddress, m_server);
    Data::load(record.userName, m_user);
    Data::load(record.password, m_password);
    Data::load(record.rememberPassword, m_remember);
}

void PanelAccountIncomingPOP3IMAP::save(DataAccountIncomingPOP3IMAP &record) const {
    Data::save(record.serverAddress, m_server);
    Data::save(record.userName, m_user);
    Data::save(record.password, m_password);
    Data::save(record.rememberPassword, m_remember);
}

PanelAccountIncomingPOP3::PanelAccountIncomingPOP3(QWidget *parent, const char *name)
    : PanelAccountIncomingPOP3IMAP("POP3", parent, name) {
    chainTabs();
}

void PanelAccountIncomingPOP3::load(const DataAccountIncomingPOP3 &record) {
    PanelAccountIncomingPOP3IMAP::load(record);
    m_advanced = record.advanced;
}

void PanelAccountIncomingPOP3::save(DataAccountIncomingPOP3 &record) const {
    PanelAccountIncomingPOP3IMAP::save(record);
    record.advanced = m_advanced;
}

void PanelAccountIncomingPOP3::showAdvanced() {
    editAdvanced<DialogAccountAdvancedPOP3>(this, "advancedPOP3", m_advanced);
}

PanelAccountIncomingIMAP::PanelAccountIncomingIMAP(QWidget *parent, const char *name)
    : PanelAccountIncomingPOP3IMAP("IMAP", parent, name) {
    chainTabs();
}

void PanelAccountIncomingIMAP::load(const DataAccountIncomingIMAP &record) {
    PanelAccountIncomingPOP3IMAP::load(record);
    m_advanced = record.advanced;
}

void PanelAccountIncomingIMAP::save(DataAccountIncomingIMAP &record) const {
    PanelAccountIncomingPOP3IMAP::save(record);
    record.advanced = m_advanced;
}

void PanelAccountIncomingIMAP::showAdvanced() {
    editAdvanced<DialogAccountAdvancedIMAP>(this, "advancedIMAP", m_advanced);
}

PanelAccountIncomingHotMail::PanelAccountIncomingHotMail(QWidget *parent, const char *name)
    : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto *grid = panelGrid(this);
    const LoginRows login = addLoginRows(this, grid, 0);
    m_user = login.user;
    m_password = login.password;
    m_remember = login.remember;
    grid->setRowStretch(3, 1);
    VLPanel::setTabOrder(m_user, m_password, m_remember);
}

void PanelAccountIncomingHotMail::load(const DataAccountIncomingHotMail &record) {
    Data::load(record.userName, m_user);
    Data::load(record.password, m_password);
    Data::load(record.rememberPassword, m_remember);
}

void PanelAccountIncomingHotMail::save(DataAccountIncomingHotMail &record) const {
    Data::save(record.userName, m_user);
    Data::save(record.password, m_password);
    Data::save(record.rememberPassword, m_remember);
}
