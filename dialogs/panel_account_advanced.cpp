#include "panel_account_advanced.h"

#include "account_dialogs_p.h"
#include "data/data_account_advanced.h"
#include "data/data_radio_set.h"
#include "panel_account_advanced_smtp.h"
#include "panel_tab_widget.h"
#include "vl_rt_label.h"

#include <QGroupBox>
#include <QRadioButton>
#include <QVBoxLayout>

PanelAccountAdvancedBounce::PanelAccountAdvancedBounce(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    auto *group = new QGroupBox(QStringLiteral("Bounce sending &method"), this);
    group->setObjectName(QStringLiteral("group"));
    top->addWidget(group);
    top->addStretch(1);
    auto *column = new QVBoxLayout(group);
    auto *remote = new QRadioButton(QStringLiteral("Use &remote SMTP servers only"), group);
    remote->setObjectName(QStringLiteral("useRemoteOnly"));
    auto *local = new QRadioButton(QStringLiteral("Use &local SMTP servers only"), group);
    local->setObjectName(QStringLiteral("useLocalOnly"));
    auto *both = new QRadioButton(QStringLiteral("Use remote &with local backup"), group);
    both->setObjectName(QStringLiteral("useRemoteWithLocal"));
    column->addWidget(remote);
    column->addWidget(local);
    column->addWidget(both);
    m_servers = new DataRadioSet(this, remote, local, both);
    VLPanel::setTabOrder(remote, local, both);
}

void PanelAccountAdvancedBounce::load(const DataAccountAdvancedBounce &record) {
    Data::load(record.useServers, m_servers);
}

void PanelAccountAdvancedBounce::save(DataAccountAdvancedBounce &record) const {
    Data::save(record.useServers, m_servers);
}

PanelAccountAdvanced::PanelAccountAdvanced(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    top->addWidget(new VLRTLabel(account_dialogs::caveatText(), this, false));
    m_tabber = new PanelTabWidget(this, "tabber");
    top->addWidget(m_tabber);
    m_smtp = new PanelAccountAdvancedSMTP(m_tabber, "smtp");
    m_bounce = new PanelAccountAdvancedBounce(m_tabber, "bounce");
    m_tabber->addPanel(m_smtp, m_smtp, QStringLiteral("Outgoing Mail (&SMTP)"));
    m_tabber->addPanel(m_bounce, m_bounce, QStringLiteral("&Bouncing Details"));
}

void PanelAccountAdvanced::load(const DataAccountAdvanced &record) {
    m_smtp->load(record.SMTP);
    m_bounce->load(record.bounce);
}

void PanelAccountAdvanced::save(DataAccountAdvanced &record) const {
    m_smtp->save(record.SMTP);
    m_bounce->save(record.bounce);
}

// The outgoing page opens it without a name; it has no caption of its own.
DialogAccountAdvanced::DialogAccountAdvanced(QWidget *parent, const char *name)
    : VLDialog(parent, name), m_panel(account_dialogs::addPanel<PanelAccountAdvanced>(this)) {}
