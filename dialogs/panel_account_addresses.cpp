#include "panel_account_addresses.h"

#include "account_dialogs_p.h"
#include "data/data_account_addresses.h"
#include "data/data_radio_set.h"
#include "vl_rt_label.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

PanelAccountAddresses::PanelAccountAddresses(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    top->addWidget(
        new VLRTLabel(QStringLiteral("If you want to bounce messages from an email account that has "
                                     "multiple email addresses, then you will have to list the "
                                     "addresses here to help Velloran determine which address each "
                                     "message should be send to."),
                      this, false));
    m_multiple = new QGroupBox(QStringLiteral("The account has &multiple email addresses"), this);
    m_multiple->setObjectName(QStringLiteral("multiple"));
    m_multiple->setCheckable(true);
    top->addWidget(m_multiple, 1);

    auto *inside = new QVBoxLayout(m_multiple);
    inside->setSpacing(10);
    auto *addresses = new QGridLayout;
    addresses->setSpacing(10);
    inside->addLayout(addresses, 1);
    m_address = new QLineEdit(m_multiple);
    m_address->setObjectName(QStringLiteral("address"));
    m_add = new QPushButton(QStringLiteral("&Add"), m_multiple);
    m_add->setObjectName(QStringLiteral("add"));
    m_replace = new QPushButton(QStringLiteral("Re&place"), m_multiple);
    m_replace->setObjectName(QStringLiteral("replace"));
    m_delete = new QPushButton(QStringLiteral("&Delete"), m_multiple);
    m_delete->setObjectName(QStringLiteral("delete "));
    m_list = new QListWidget(m_multiple);
    m_list->setObjectName(QStringLiteral("addressList"));
    // Reached with the mouse only: it is not one of the keyboard stops.
    m_list->setFocusPolicy(Qt::ClickFocus);
    addresses->addWidget(m_address, 0, 0, 1, 3);
    addresses->setRowStretch(1, 1);
    addresses->addWidget(m_add, 2, 0);
    addresses->addWidget(m_replace, 2, 1);
    addresses->addWidget(m_delete, 2, 2);
    addresses->addWidget(m_list, 0, 3, 3, 1);

    inside->addWidget(
        new VLRTLabel(QStringLiteral("If you want to bounce a message and the address it was sent to "
                                     "cannot be determined then Velloran should:"),
                      m_multiple, false));
    auto *bounce = new QGridLayout;
    bounce->setSpacing(10);
    inside->addLayout(bounce);
    auto *ask = new QRadioButton(QStringLiteral("As&k"), m_multiple);
    ask->setObjectName(QStringLiteral("bounceAsk"));
    auto *assume = new QRadioButton(QStringLiteral("Assume it was &sent to"), m_multiple);
    assume->setObjectName(QStringLiteral("bounceAssume"));
    auto *skip = new QRadioButton(QStringLiteral("Skip the &bounce"), m_multiple);
    skip->setObjectName(QStringLiteral("bounceSkip"));
    m_assume = new QComboBox(m_multiple);
    m_assume->setObjectName(QStringLiteral("assumeAddress"));
    bounce->addWidget(ask, 0, 0);
    bounce->addWidget(assume, 1, 0);
    bounce->addWidget(skip, 2, 0);
    bounce->addWidget(m_assume, 0, 1, 3, 1);
    m_bounceType = new DataRadioSet(this, ask, assume, skip);

    VLPanel::setTabOrder(m_multiple, m_address, m_add, m_replace, m_delete, ask, assume, m_assume, skip);
    connect(m_address, &QLineEdit::textChanged, this, &PanelAccountAddresses::slotAddressChanged);
    connect(m_list, &QListWidget::currentRowChanged, this, &PanelAccountAddresses::slotAddressChanged);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &PanelAccountAddresses::slotAddressDoubleClick);
    slotAddressChanged();
}

void PanelAccountAddresses::slotAddressChanged() {
    const bool typed = !m_address->text().isEmpty();
    const bool current = m_list->currentItem() != nullptr;
    m_add->setEnabled(typed);
    m_replace->setEnabled(typed && current);
    m_delete->setEnabled(current);
}

void PanelAccountAddresses::slotAddressDoubleClick() {
    const QListWidgetItem *item = m_list->currentItem();
    if (!item)
        return;
    m_address->setText(item->text());
    m_add->setEnabled(true);
    m_replace->setEnabled(true);
    m_delete->setEnabled(true);
}

void PanelAccountAddresses::load(const DataAccountAddresses &record) {
    Data::load(record.multiple, m_multiple);
    Data::load(record.bounceType, m_bounceType);
    Data::load(record.addressList, m_list);
    slotAddressChanged();
}

void PanelAccountAddresses::save(DataAccountAddresses &record) const {
    Data::save(record.multiple, m_multiple);
    Data::save(record.bounceType, m_bounceType);
    Data::save(record.addressList, m_list);
}

DialogAccountAddresses::DialogAccountAddresses(QWidget *parent, const char *name)
    : VLDialog(account_dialogs::advancedCaption(), parent, name),
      m_panel(account_dialogs::addPanel<PanelAccountAddresses>(this)) {}
