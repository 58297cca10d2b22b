#include "panel_account_advanced_server.h"

#include "account_dialogs_p.h"
#include "account_port_row_p.h"
#include "data/data_account_advanced_imap.h"
#include "data/data_account_advanced_pop3.h"
#include "data/data_radio_set.h"
#include "vl_default_button.h"
#include "vl_rt_label.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

PanelAccountAdvancedServer::PanelAccountAdvancedServer(const char *plainPort, const char *sslPort,
                                                       Method first, const Method *second, QWidget *parent,
                                                       const char *name)
    : QWidget(parent), m_plainPort(QLatin1String(plainPort)), m_sslPort(QLatin1String(sslPort)) {
    setObjectName(QLatin1String(name));
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    top->addWidget(new VLRTLabel(account_dialogs::caveatText(), this, false));

    m_portRow = AccountPortRow::add(this, top);

    m_ssl = new QCheckBox(QStringLiteral("This server requires a secure connection (&SSL)"), this);
    m_ssl->setObjectName(QStringLiteral("useSSL"));
    top->addWidget(m_ssl);

    m_secureAuth = new QGroupBox(QStringLiteral("Use secure au&thentication"), this);
    m_secureAuth->setObjectName(QStringLiteral("useSecureAuth"));
    m_secureAuth->setCheckable(true);
    auto *strip = new QHBoxLayout(m_secureAuth);
    m_method1 = new QRadioButton(QLatin1String(first.text), m_secureAuth);
    m_method1->setObjectName(QLatin1String(first.name));
    strip->addWidget(m_method1);
    if (second) {
        m_method2 = new QRadioButton(QLatin1String(second->text), m_secureAuth);
        m_method2->setObjectName(QLatin1String(second->name));
        strip->addWidget(m_method2);
    }
    strip->addStretch(1);
    top->addWidget(m_secureAuth);
    top->addStretch(1);
    m_methods = new DataRadioSet(this, m_method1, m_method2);

    VLPanel::setTabOrder(m_portRow.port, m_portRow.useDefault, m_ssl, m_secureAuth, m_method1, m_method2);
    connect(m_ssl, &QCheckBox::toggled, this, &PanelAccountAdvancedServer::changeUseSSL);
}

QString PanelAccountAdvancedServer::standardPort(bool ssl) const {
    return ssl ? m_sslPort : m_plainPort;
}

void PanelAccountAdvancedServer::changeUseSSL(bool on) {
    // A changed transport makes any port typed for the other one wrong.
    m_portRow.showStandard(standardPort(on));
}

void PanelAccountAdvancedServer::loadServer(const DataAccountAdvancedServer &record) {
    Data::load(record.useSSL, m_ssl);
    Data::load(record.useSecureAuth, m_secureAuth);
    Data::load(record.authType, m_methods);
    Data::load(record.portNumber, m_portRow.port);
    m_portRow.loaded(record.portNumber, standardPort(record.useSSL));
}

void PanelAccountAdvancedServer::saveServer(DataAccountAdvancedServer &record) const {
    Data::save(record.useSSL, m_ssl);
    Data::save(record.useSecureAuth, m_secureAuth);
    Data::save(record.authType, m_methods);
    Data::save(record.portNumber, m_portRow.port);
}

// ---------------------------------------------------------------- POP3 and IMAP

namespace {
const PanelAccountAdvancedServer::Method kMSN{"useMSNSPA", "&MSN SPA"};
}

PanelAccountAdvancedPOP3::PanelAccountAdvancedPOP3(QWidget *parent, const char *name)
    : PanelAccountAdvancedServer("110", "995", {"useAPOP", "&APOP"}, &kMSN, parent, name) {}

void PanelAccountAdvancedPOP3::load(const DataAccountAdvancedPOP3 &record) {
    loadServer(record);
}

void PanelAccountAdvancedPOP3::save(DataAccountAdvancedPOP3 &record) const {
    saveServer(record);
}

PanelAccountAdvancedIMAP::PanelAccountAdvancedIMAP(QWidget *parent, const char *name)
    : PanelAccountAdvancedServer("143", "993", {"useCRAM", "&CRAM/MD5"}, nullptr, parent, name) {}

void PanelAccountAdvancedIMAP::load(const DataAccountAdvancedIMAP &record) {
    loadServer(record);
}

void PanelAccountAdvancedIMAP::save(DataAccountAdvancedIMAP &record) const {
    saveServer(record);
}

DialogAccountAdvancedPOP3::DialogAccountAdvancedPOP3(QWidget *parent, const char *name)
    : VLDialog(account_dialogs::advancedCaption(), parent, name),
      m_panel(account_dialogs::addPanel<PanelAccountAdvancedPOP3>(this)) {}

DialogAccountAdvancedIMAP::DialogAccountAdvancedIMAP(QWidget *parent, const char *name)
    : VLDialog(account_dialogs::advancedCaption(), parent, name),
      m_panel(account_dialogs::addPanel<PanelAccountAdvancedIMAP>(this)) {}
