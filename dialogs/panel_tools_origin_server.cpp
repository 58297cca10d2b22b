#include "panel_tools_origin_server.h"

#include "data/data_tools_origin.h"
#include "tools_actions_box_p.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

PanelToolsOriginServer::PanelToolsOriginServer(QWidget *parent, const char *name)
    : QWidget(parent), m_name(newLineEdit("name", this)), m_domain(newLineEdit("domain", this)) {
    setObjectName(QLatin1String(name));
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    top->addWidget(newCaption(QStringLiteral("&Name of the blacklist service"), m_name, this));
    top->addWidget(m_name);
    top->addWidget(newCaption(QStringLiteral("&Domain name of the blacklist service"), m_domain, this));
    top->addWidget(m_domain);
    top->addStretch(1);
}

// Nothing is checked: an empty name or zone is the user's to keep.
void PanelToolsOriginServer::load(const DataToolsOriginServer &server) {
    Data::load(server.serviceName, m_name);
    Data::load(server.domainName, m_domain);
}

void PanelToolsOriginServer::save(DataToolsOriginServer &server) const {
    Data::save(server.serviceName, m_name);
    Data::save(server.domainName, m_domain);
}

DialogToolsOriginServer::DialogToolsOriginServer(QWidget *parent, const char *name)
    : VLDialog(QStringLiteral("DNS Blacklist Servers"), parent, name),
      m_panel(new PanelToolsOriginServer(this, "panel")) {
    layout()->addWidget(m_panel);
    addOKCancel();
    // Two fields need no full-size window, only room for a long zone name. A size the user
    // gave the editor before still wins when it opens.
    const QSize hint = sizeHint();
    resize(std::max(hint.width(), 420), hint.height());
}

void DialogToolsOriginServer::load(const DataToolsOriginServer &server) {
    m_panel->load(server);
}

void DialogToolsOriginServer::save(DataToolsOriginServer &server) const {
    m_panel->save(server);
}
