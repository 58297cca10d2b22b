#include "panel_account_details.h"

#include "data/data_account_details_hotmail.h"
#include "data/data_account_details_imap.h"
#include "data/data_account_details_pop3.h"
#include "panel_account_incoming.h"
#include "panel_account_name.h"
#include "panel_account_outgoing.h"

namespace {

QString nameLabel() {
    return QStringLiteral("&Mail Account");
}
QString incomingLabel() {
    return QStringLiteral("&Incoming Mail");
}
QString outgoingLabel() {
    return QStringLiteral("&Bounce and Outgoing Mail");
}

template <typename Page> Page *addPage(PanelTabWidget *tabs, const char *name, const QString &label) {
    auto *page = new Page(tabs, name);
    tabs->addPanel(page, page, label);
    return page;
}

} // namespace

PanelAccountDetailsPOP3::PanelAccountDetailsPOP3(QWidget *parent, const char *name)
    : PanelTabWidget(parent, name), m_name(addPage<PanelAccountName>(this, "name", nameLabel())),
      m_incoming(addPage<PanelAccountIncomingPOP3>(this, "incoming", incomingLabel())),
      m_outgoing(addPage<PanelAccountOutgoing>(this, "outgoing", outgoingLabel())) {}

void PanelAccountDetailsPOP3::load(const DataAccountDetailsPOP3 &record) {
    m_name->load(record.name_);
    m_incoming->load(record.incoming);
    m_outgoing->load(record.outgoing);
}

void PanelAccountDetailsPOP3::save(DataAccountDetailsPOP3 &record) const {
    m_name->save(record.name_);
    m_incoming->save(record.incoming);
    m_outgoing->save(record.outgoing);
}

PanelAccountDetailsIMAP::PanelAccountDetailsIMAP(QWidget *parent, const char *name)
    : PanelTabWidget(parent, name), m_name(addPage<PanelAccountName>(this, "name", nameLabel())),
      m_incoming(addPage<PanelAccountIncomingIMAP>(this, "incoming", incomingLabel())),
      m_outgoing(addPage<PanelAccountOutgoing>(this, "outgoing", outgoingLabel())) {}

void PanelAccountDetailsIMAP::load(const DataAccountDetailsIMAP &record) {
    m_name->load(record.name_);
    m_incoming->load(record.incoming);
    m_outgoing->load(record.outgoing);
}

void PanelAccountDetailsIMAP::save(DataAccountDetailsIMAP &record) const {
    m_name->save(record.name_);
    m_incoming->save(record.incoming);
    m_outgoing->save(record.outgoing);
}

PanelAccountDetailsHotMail::PanelAccountDetailsHotMail(QWidget *parent, const char *name)
    : PanelTabWidget(parent, name), m_name(addPage<PanelAccountName>(this, "name", nameLabel())),
      m_incoming(addPage<PanelAccountIncomingHotMail>(this, "incoming", incomingLabel())) {}

void PanelAccountDetailsHotMail::load(const DataAccountDetailsHotMail &record) {
    m_name->load(record.name_);
    m_incoming->load(record.incoming);
}

void PanelAccountDetailsHotMail::save(DataAccountDetailsHotMail &record) const {
    m_name->save(record.name_);
    m_incoming->save(record.incoming);
}
