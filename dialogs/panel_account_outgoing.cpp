#include "panel_account_outgoing.h"

#include "data/data_account_outgoing.h"
#include "panel_account_advanced.h"
#include "vl_rt_label.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// A label and its field on one row.
QLineEdit *addLabelledField(QWidget *panel, QVBoxLayout *top, const QString &label, const char *name) {
    auto *row = new QHBoxLayout;
    row->setSpacing(10);
    auto *text = new QLabel(label, panel);
    auto *field = new QLineEdit(panel);
    field->setObjectName(QLatin1String(name));
    text->setBuddy(field);
    row->addWidget(text);
    row->addWidget(field);
    top->addLayout(row);
    return field;
}
} // namespace

PanelAccountOutgoing::PanelAccountOutgoing(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    m_enableBounce = new QCheckBox(QStringLiteral("&Enable bouncing of messages from this address"), this);
    m_enableBounce->setObjectName(QStringLiteral("enableBounce"));
    top->addWidget(m_enableBounce);
    top->addWidget(
        new VLRTLabel(QStringLiteral("The email address for this account is required (since emails to "
                                     "not always contain the address they were sent to)"),
                      this, false));
    m_email = addLabelledField(this, top, QStringLiteral("EMail &Address"), "emailAddress");
    top->addWidget(
        new VLRTLabel(QStringLiteral("Specifying the SMTP server provided by your ISP enables a bounce "
                                     "notice to be send when a connection cannot be made to the host "
                                     "that send you the email. Often using your ISP's SMTP server is "
                                     "the only way to bounce an email"),
                      this, false));
    m_server = addLabelledField(this, top, QStringLiteral("SMTP Se&rver Address"), "serverAddress");
    top->addStretch(1);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    m_advancedButton = new QPushButton(QStringLiteral("Advanced Bouncing &Options"), this);
    row->addWidget(m_advancedButton);
    top->addLayout(row);

    VLPanel::setTabOrder(m_enableBounce, m_email, m_server, m_advancedButton);
    connect(m_advancedButton, &QPushButton::clicked, this, &PanelAccountOutgoing::showAdvanced);
}

void PanelAccountOutgoing::load(const DataAccountOutgoing &record) {
    Data::load(record.enableBounce, m_enableBounce);
    Data::load(record.emailAddress, m_email);
    Data::load(record.serverAddress, m_server);
    m_advanced = record.advanced;
}

void PanelAccountOutgoing::save(DataAccountOutgoing &record) const {
    Data::save(record.enableBounce, m_enableBounce);
    Data::save(record.emailAddress, m_email);
    Data::save(record.serverAddress, m_server);
    record.advanced = m_advanced;
}

void PanelAccountOutgoing::showAdvanced() {
    // Unnamed: it shares the geometry of every dialog opened without a name.
    DialogAccountAdvanced dialog(this, "");
    dialog.load(m_advanced);
    if (dialog.exec() == QDialog::Accepted)
        dialog.save(m_advanced);
}
