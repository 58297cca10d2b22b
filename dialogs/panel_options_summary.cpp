#include "panel_options_summary.h"

#include "data/data_options_summary.h"
#include "panel_account_advanced_smtp.h"
#include "tools_actions_box_p.h"
#include "vl_dialog.h"
#include "vl_group_box.h"
#include "vl_rt_label.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cstdio>

namespace {

QPushButton *newButton(const QString &text, const char *name, QWidget *parent) {
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QLineEdit *newWideField(const char *name, QWidget *parent) {
    QLineEdit *field = newLineEdit(name, parent);
    field->setMinimumWidth(300);
    return field;
}

bool confirmed(QWidget *parent, const QString &question) {
    return QMessageBox::question(parent, QStringLiteral("Velloran Pro"), question,
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No) == QMessageBox::Yes;
}

} // namespace

PanelOptionsSummary::PanelOptionsSummary(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));

    // Everything lies inside the logging box, so switching logging off disables the page.
    m_messageLogging = new VLGroupBox(1, Qt::Horizontal, this, "messageLogging");
    m_messageLogging->setTitle(QStringLiteral("Message &logging"));
    m_messageLogging->setCheckable(true);

    auto *keepRow = new QHBoxLayout;
    keepRow->setSpacing(10);
    auto *keepCaption = new QLabel(QStringLiteral("&Keep message log for"), m_messageLogging);
    m_keepLogFor = new QSpinBox(m_messageLogging);
    m_keepLogFor->setObjectName(QStringLiteral("keepLogFor"));
    m_keepLogFor->setRange(0, 99);
    m_keepLogFor->setMaximumWidth(100);
    keepCaption->setBuddy(m_keepLogFor);
    m_clearLogs = newButton(QStringLiteral("&Clear message logs"), "clearLogs", m_messageLogging);
    keepRow->addWidget(keepCaption);
    keepRow->addWidget(m_keepLogFor);
    keepRow->addWidget(new QLabel(QStringLiteral("days"), m_messageLogging));
    keepRow->addStretch(1);
    keepRow->addWidget(m_clearLogs);

    m_emailSummary = new VLGroupBox(1, Qt::Horizontal, m_messageLogging, "emailSummary");
    m_emailSummary->setTitle(QStringLiteral("&Email me a summary of Ruveredaz's activity"));
    m_emailSummary->setCheckable(true);
    m_emailSummaryEvery = new QComboBox(m_emailSummary);
    m_emailSummaryEvery->setObjectName(QStringLiteral("emailSummaryEvery"));
    m_emailSummaryEvery->addItems({QStringLiteral("Every Day"), QStringLiteral("Every Two Days"),
                                   QStringLiteral("Every Week"), QStringLiteral("Every Two Weeks"),
                                   QStringLiteral("Every Four Weeks")});
    auto *summaryColumn = new QVBoxLayout(m_emailSummary);
    summaryColumn->addWidget(m_emailSummaryEvery);

    auto *recycle = new QGroupBox(QStringLiteral("&Recycle bin"), m_messageLogging);
    recycle->setObjectName(QStringLiteral("recycle"));
    m_allowRecovery =
        new QCheckBox(QStringLiteral("&Allow deleted mail to be restored from summary screen"), recycle);
    m_allowRecovery->setObjectName(QStringLiteral("allowRecovery"));
    m_emptyBin = newButton(QStringLiteral("Em&pty recycle bin"), "emptyBin", recycle);
    auto *recycleRow = new QHBoxLayout(recycle);
    recycleRow->addWidget(m_allowRecovery);
    recycleRow->addStretch(1);
    recycleRow->addWidget(m_emptyBin);

    auto *outgoing = new QGroupBox(QStringLiteral("&Outgoing mail settings"), m_messageLogging);
    outgoing->setObjectName(QStringLiteral("outgoing"));
    m_advanced = newButton(QStringLiteral("Ad&vanced Options"), "advanced", outgoing);
    m_outgoingEmailAddress = newWideField("outgoingEmailAddress", outgoing);
    m_outgoingEmailServer = newWideField("outgoingEmailServer", outgoing);
    auto *grid = new QGridLayout(outgoing);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);
    grid->addWidget(
        new VLRTLabel(QStringLiteral("Velloran needs to know your SMTP server details in order to send "
                                     "summaries, to restore mail and to use the SpamCop reporting "
                                     "facility"),
                      outgoing, false),
        0, 0);
    grid->addWidget(m_advanced, 0, 1, Qt::AlignRight);
    grid->addWidget(
        new VLRTLabel(
            QStringLiteral("Enter the mail address to which summaries and restored mail should be sent"),
            outgoing, false),
        1, 0);
    grid->addWidget(m_outgoingEmailAddress, 1, 1);
    grid->addWidget(
        new VLRTLabel(QStringLiteral("Enter the address of the SMTP server to which these should be sent"),
                      outgoing, false),
        2, 0);
    grid->addWidget(m_outgoingEmailServer, 2, 1);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(3, 1);

    auto *column = new QVBoxLayout(m_messageLogging);
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(10);
    column->addLayout(keepRow);
    column->addWidget(m_emailSummary);
    column->addWidget(recycle);
    column->addWidget(outgoing, 1);

    auto *top = new QVBoxLayout(this);
    top->addWidget(m_messageLogging);

    VLDialog::sameSize(m_clearLogs, m_emptyBin, m_advanced);
    VLPanel::setTabOrder(m_messageLogging, m_keepLogFor, m_clearLogs, m_emailSummary, m_emailSummaryEvery,
                         m_allowRecovery, m_emptyBin, m_advanced, m_outgoingEmailAddress,
                         m_outgoingEmailServer, nullptr);

    connect(m_advanced, &QPushButton::clicked, this, &PanelOptionsSummary::slotSetSMTPServer);
    connect(m_clearLogs, &QPushButton::clicked, this, &PanelOptionsSummary::slotClearLogs);
    connect(m_emptyBin, &QPushButton::clicked, this, &PanelOptionsSummary::slotEmptyBin);
}

void PanelOptionsSummary::load(const DataOptionsSummary &summary) {
    Data::load(summary.messageLogging, m_messageLogging);
    Data::load(summary.keepLogFor, m_keepLogFor);
    Data::load(summary.emailSummary, m_emailSummary);
    Data::load(summary.emailSummaryEvery, m_emailSummaryEvery);
    Data::load(summary.allowRevovery, m_allowRecovery);
    Data::load(summary.outgoingEmailAddress, m_outgoingEmailAddress);
    Data::load(summary.outgoingEmailServer, m_outgoingEmailServer);
    postLoad(summary);
}

void PanelOptionsSummary::postLoad(const DataOptionsSummary &summary) {
    m_smtp = summary.advanced;
}

void PanelOptionsSummary::preSave(DataOptionsSummary &summary) const {
    summary.advanced = m_smtp;
}

void PanelOptionsSummary::save(DataOptionsSummary &summary) const {
    preSave(summary);
    Data::save(summary.messageLogging, m_messageLogging);
    Data::save(summary.keepLogFor, m_keepLogFor);
    Data::save(summary.emailSummary, m_emailSummary);
    Data::save(summary.emailSummaryEvery, m_emailSummaryEvery);
    Data::save(summary.allowRevovery, m_allowRecovery);
    Data::save(summary.outgoingEmailAddress, m_outgoingEmailAddress);
    Data::save(summary.outgoingEmailServer, m_outgoingEmailServer);
}

void PanelOptionsSummary::slotSetSMTPServer() {
    DialogAccountAdvancedSMTP dialog(this, "smtp");
    dialog.setAsSpecified();
    dialog.load(m_smtp);
    if (dialog.exec() == QDialog::Accepted)
        dialog.save(m_smtp);
}

void PanelOptionsSummary::slotClearLogs() {
    if (!confirmed(this, QStringLiteral("Clear the message log now? This cannot be undone.")))
        return;
    std::fprintf(stderr, "PanelOptionsSummary::slotClearLogs: confirmed\n");
    emit sigClearLogs();
}

void PanelOptionsSummary::slotEmptyBin() {
    if (!confirmed(this,
                   QStringLiteral(
                       "Empty the recycle bin now? Deleted mail kept there can then no longer be restored.")))
        return;
    std::fprintf(stderr, "PanelOptionsSummary::slotEmptyBin: confirmed\n");
    emit sigEmptyBin();
}
