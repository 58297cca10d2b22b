#include "panel_tools_tm.h"

#include "data/data_tools_tm.h"
#include "tools_actions_box_p.h"
#include "vl_group_box.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

PanelToolsTM::PanelToolsTM(QWidget *parent, const char *name)
    : PanelTitled("&Block known spam", parent, name) {
    QWidget *page = widget();
    m_enable = new VLGroupBox(1, Qt::Horizontal, page, "enabletm");
    m_enable->setTitle(QStringLiteral("use the Tallowmark! spam &database"));
    m_enable->setCheckable(true);
    m_enable->setFlat(true);

    auto *servers = new QWidget(m_enable);
    servers->setObjectName(QStringLiteral("servers"));
    m_account = newLineEdit("account", servers);
    m_password = newLineEdit("password", servers);
    m_password->setEchoMode(QLineEdit::Password);
    auto *grid = new QGridLayout(servers);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(10);
    grid->addWidget(newCaption(QStringLiteral("&Account Number"), m_account, servers), 0, 0);
    grid->addWidget(m_account, 0, 1);
    grid->addWidget(newCaption(QStringLiteral("Pass&word"), m_password, servers), 1, 0);
    grid->addWidget(m_password, 1, 1);
    grid->setColumnStretch(1, 1);

    m_actions = new ToolsActionsBox(m_enable);

    auto *groupLayout = new QVBoxLayout(m_enable);
    groupLayout->setSpacing(10);
    groupLayout->addWidget(servers);
    groupLayout->addWidget(m_actions);

    auto *top = new QVBoxLayout(page);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    top->addWidget(m_enable);
    top->addStretch(1);

    QList<QWidget *> chain;
    chain << m_enable << m_account << m_password;
    chain += m_actions->tabOrder();
    setTabOrderList(chain);
}

// The password goes to and from its field exactly as typed; nothing here traces it.
void PanelToolsTM::load(const DataToolsTM &tm) {
    Data::load(tm.enableTM, m_enable);
    Data::load(tm.account, m_account);
    Data::load(tm.password, m_password);
    m_actions->load(tm);
}

void PanelToolsTM::save(DataToolsTM &tm) const {
    Data::save(tm.enableTM, m_enable);
    Data::save(tm.account, m_account);
    Data::save(tm.password, m_password);
    m_actions->save(tm);
}
