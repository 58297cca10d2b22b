#include "panel_tools_spamcop.h"

#include "data/data_tools_spamcop.h"
#include "tools_actions_box_p.h"
#include "vl_group_box.h"
#include "vl_rt_label.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

PanelToolsSpamCop::PanelToolsSpamCop(QWidget *parent, const char *name)
    : PanelTitled("&SpamCop", parent, name) {
    QWidget *page = widget();
    m_enable = new VLGroupBox(1, Qt::Horizontal, page, "enablespamcop");
    m_enable->setTitle(QStringLiteral("&Enable SpamCop Reporting"));
    m_enable->setCheckable(true);
    m_enable->setFlat(true);

    auto *about =
        new VLRTLabel(QStringLiteral("SpamCop is a reporting service that enables you to take extra "
                                     "action against spammers. This service is suitable for advanced "
                                     "users who want to be proactive in the fight against spam."),
                      m_enable, false);
    auto *before =
        new VLRTLabel(QStringLiteral("Before you can use SpamCop, visit their web site and obtain an "
                                     "email address to forward spam to. Please make sure you know how "
                                     "the service works and have read the SpamCop Terms and Conditions "
                                     "before you attempt to use it."),
                      m_enable, false);
    auto *hbox = new QWidget(m_enable);
    hbox->setObjectName(QStringLiteral("hbox"));
    m_email = newLineEdit("email", hbox);
    auto *row = new QHBoxLayout(hbox);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(newCaption(QStringLiteral("E&mail:"), m_email, hbox));
    row->addWidget(m_email, 1);

    auto *groupLayout = new QVBoxLayout(m_enable);
    groupLayout->setSpacing(10);
    groupLayout->addWidget(about);
    groupLayout->addWidget(before);
    groupLayout->addWidget(hbox);

    auto *top = new QVBoxLayout(page);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    top->addWidget(m_enable);
    top->addStretch(1);

    VLPanel::setTabOrder(m_enable, m_email, nullptr);
}

void PanelToolsSpamCop::load(const DataToolsSpamCop &spamcop) {
    Data::load(spamcop.enableSpamCop, m_enable);
    Data::load(spamcop.email, m_email);
}

void PanelToolsSpamCop::save(DataToolsSpamCop &spamcop) const {
    Data::save(spamcop.enableSpamCop, m_enable);
    Data::save(spamcop.email, m_email);
}
