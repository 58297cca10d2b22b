#include "panel_email_match.h"

#include "data/data_list_matches.h"
#include "vl_rt_label.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

PanelEmailMatch::PanelEmailMatch(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);

    grid->addWidget(new VLRTLabel(QStringLiteral("You can either add an email address, or specify with "
                                                 "wildcards one that can match many addresses. Note that "
                                                 "excessive use of wildcard addresses can slow performance"),
                                  this, false),
                    0, 0, 1, 2);

    m_plain = new QRadioButton(QStringLiteral("&Plain email address"), this);
    m_plain->setObjectName(QStringLiteral("plain"));
    grid->addWidget(m_plain, 1, 0, 1, 2);
    m_plainBox = new QGroupBox(this);
    m_plainBox->setObjectName(QStringLiteral("plain"));
    auto *plainLayout = new QVBoxLayout(m_plainBox);
    plainLayout->addWidget(
        new VLRTLabel(QStringLiteral("Enter the email address below that you would like "
                                     "added to the list, for instance someone@example.com:"),
                      m_plainBox, false));
    m_plainAddress = new QLineEdit(m_plainBox);
    m_plainAddress->setObjectName(QStringLiteral("plainAddress"));
    plainLayout->addWidget(m_plainAddress);
    grid->addWidget(m_plainBox, 2, 1);

    m_wildcard = new QRadioButton(QStringLiteral("&Wildcard expression"), this);
    m_wildcard->setObjectName(QStringLiteral("wildcard"));
    grid->addWidget(m_wildcard, 3, 0, 1, 2);
    m_wildBox = new QGroupBox(this);
    m_wildBox->setObjectName(QStringLiteral("wild"));
    auto *wildLayout = new QVBoxLayout(m_wildBox);
    wildLayout->addWidget(new VLRTLabel(QStringLiteral("Enter the email address below that you would like "
                                                       "added to the list. You man include the following:"),
                                        m_wildBox, false));
    for (const char *line : {"'?' will match one character", "'*' will match zero or more unknown characters",
                             "'+' will match one or more unknown characters", "for instance: *money*@*.com"})
        wildLayout->addWidget(new QLabel(QLatin1String(line), m_wildBox));
    m_wildcardAddress = new QLineEdit(m_wildBox);
    m_wildcardAddress->setObjectName(QStringLiteral("wildcardAddress"));
    wildLayout->addWidget(m_wildcardAddress);
    auto *test = new QWidget(m_wildBox);
    test->setObjectName(QStringLiteral("test"));
    auto *testLayout = new QHBoxLayout(test);
    testLayout->setContentsMargins(0, 0, 0, 0);
    testLayout->setSpacing(10);
    m_testAddress = new QLineEdit(test);
    m_testAddress->setObjectName(QStringLiteral("testAddress"));
    m_testButton = new QPushButton(QStringLiteral("&Test"), test);
    m_testButton->setObjectName(QStringLiteral("testButton"));
    m_testResult = new QLineEdit(test);
    m_testResult->setObjectName(QStringLiteral("testResult"));
    m_testResult->setReadOnly(true);
    m_testResult->setFocusPolicy(Qt::NoFocus);
    testLayout->addWidget(m_testAddress);
    testLayout->addWidget(m_testButton);
    testLayout->addWidget(m_testResult);
    wildLayout->addWidget(test);
    grid->addWidget(m_wildBox, 4, 1);

    // The two boxes sit indented under their radio buttons; the content keeps to the top.
    grid->setColumnMinimumWidth(0, 15);
    grid->setRowStretch(5, 1);

    m_plain->setAutoExclusive(false);
    m_wildcard->setAutoExclusive(false);
    m_plain->setChecked(true);
    m_wildcard->setChecked(false);
    m_plainBox->setEnabled(true);
    m_wildBox->setEnabled(false);

    connect(m_testButton, &QPushButton::clicked, this, &PanelEmailMatch::clickTest);
    connect(m_plain, &QRadioButton::toggled, this, &PanelEmailMatch::plainToggled);
    connect(m_wildcard, &QRadioButton::toggled, this, &PanelEmailMatch::wildcardToggled);
    VLPanel::setTabOrder(m_plain, m_plainAddress, m_wildcard, m_wildcardAddress, m_testAddress, m_testButton,
                         nullptr);
}

void PanelEmailMatch::load(const DataEmailMatch &entry) {
    if (entry.wildcard) {
        m_wildcard->setChecked(true);
        m_plainAddress->clear();
        m_wildcardAddress->setText(entry.address);
    } else {
        m_plain->setChecked(true);
        m_plainAddress->setText(entry.address);
        m_wildcardAddress->clear();
    }
}

void PanelEmailMatch::save(DataEmailMatch &entry) const {
    const bool wildcard = !m_plain->isChecked() && m_wildcard->isChecked();
    const QLineEdit *field = chosenField();
    QString address;
    if (field) {
        const bool asLoaded = wildcard == entry.wildcard && field->text() == entry.address;
        address = asLoaded ? entry.address : field->text().trimmed();
    }
    if (wildcard != entry.wildcard || address != entry.address)
        entry.pattern.reset(); // compiled afresh from the new text at the next match
    entry.wildcard = wildcard;
    entry.address = address;
}

QLineEdit *PanelEmailMatch::chosenField() const {
    if (m_plain->isChecked())
        return m_plainAddress;
    if (m_wildcard->isChecked())
        return m_wildcardAddress;
    return nullptr;
}

bool PanelEmailMatch::isEmpty() const {
    const QLineEdit *field = chosenField();
    return !field || field->text().trimmed().isEmpty();
}

void PanelEmailMatch::plainToggled(bool on) {
    if (!on)
        return;
    m_plainBox->setEnabled(true);
    m_wildBox->setEnabled(false);
    m_wildcard->setChecked(false);
}

void PanelEmailMatch::wildcardToggled(bool on) {
    if (!on)
        return;
    m_plainBox->setEnabled(false);
    m_wildBox->setEnabled(true);
    m_plain->setChecked(false);
}

void PanelEmailMatch::clickTest() {
    const QString address = m_testAddress->text();
    const QString expression = m_wildcardAddress->text();
    m_testResult->clear();
    if (address.isEmpty() || expression.isEmpty())
        return;
    DataEmailMatch probe;
    probe.disabled = false;
    probe.wildcard = true;
    probe.address = expression;
    m_testResult->setText(probe.match(address) ? QStringLiteral("Matched") : QStringLiteral("Not matched"));
}

DialogEmailMatch::DialogEmailMatch(const QString &caption, QWidget *parent, const char *name)
    : VLDialog(caption, parent, name), m_panel(new PanelEmailMatch(this, "panel")) {
    layout()->addWidget(m_panel);
    addOKCancel();
}

void DialogEmailMatch::accept() {
    if (m_panel->isEmpty()) {
        if (QLineEdit *field = m_panel->chosenField())
            field->setFocus(Qt::OtherFocusReason);
        return;
    }
    VLDialog::accept();
}
