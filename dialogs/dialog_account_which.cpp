#include "dialog_account_which.h"

#include "data/data_radio_set.h"
#include "vl_rt_label.h"

#include <QGroupBox>
#include <QLayout>
#include <QRadioButton>
#include <QVBoxLayout>

DialogAccountWhich::DialogAccountWhich(QWidget *parent, const char *name)
    : VLDialog(QStringLiteral("Select an account type"), parent, name) {
    layout()->setContentsMargins(20, 20, 20, 20);
    layout()->setSpacing(10);
    layout()->addWidget(
        new VLRTLabel(QStringLiteral("Which type of mail account would you like to add"), this, false));
    auto *group = new QGroupBox(this);
    auto *column = new QVBoxLayout(group);
    auto *pop3 = new QRadioButton(QStringLiteral("&POP3"), group);
    auto *hotmail = new QRadioButton(QStringLiteral("&Hotmail"), group);
    auto *imap = new QRadioButton(QStringLiteral("&IMAP"), group);
    column->addWidget(pop3);
    column->addWidget(hotmail);
    column->addWidget(imap);
    layout()->addWidget(group);
    // A taller window leaves the space below the choices instead of spreading them apart.
    static_cast<QVBoxLayout *>(layout())->addStretch(1);
    // Numbered by type, not by the order shown.
    m_types = new DataRadioSet(this, pop3, imap, hotmail);
    for (QRadioButton *button : {pop3, hotmail, imap})
        button->setFocusPolicy(Qt::StrongFocus);
    addOKCancel();
}

void DialogAccountWhich::accept() {
    done(m_types->value());
}
