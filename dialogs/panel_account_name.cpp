#include "panel_account_name.h"

#include "data/data_account_name.h"
#include "vl_rt_label.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QVBoxLayout>

PanelAccountName::PanelAccountName(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    top->addWidget(new VLRTLabel(QStringLiteral("Type the name by which you would line to refer to the mail "
                                                "account, for example \"Work\" or \"College\","),
                                 this, false));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("name"));
    top->addWidget(m_name);
    top->addStretch(1);
    m_inDefault = new QCheckBox(QStringLiteral("Include this account in the &default mail check"), this);
    m_inDefault->setObjectName(QStringLiteral("inDefault"));
    top->addWidget(m_inDefault);
    VLPanel::setTabOrder(m_name, m_inDefault);
}

void PanelAccountName::load(const DataAccountName &record) {
    Data::load(record.name, m_name);
    Data::load(record.inDefault, m_inDefault);
}

void PanelAccountName::save(DataAccountName &record) const {
    Data::save(record.name, m_name);
    Data::save(record.inDefault, m_inDefault);
}
