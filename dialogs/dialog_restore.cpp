#include "dialog_restore.h"

#include "vl_progress_bar.h"
#include "vl_rt_label.h"

#include "proto/SMTPSender.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace {
constexpr int kSteps = 10;
constexpr int kTickMs = 500;
} // namespace

DialogRestore::DialogRestore(SMTPSender *sender, const QString &text, QWidget *parent, const char *name)
    : VLDialog(QStringLiteral("Restore"), parent, name), m_sender(sender) {
    auto *box = static_cast<QBoxLayout *>(layout());
    box->setContentsMargins(20, 20, 20, 20);
    box->setSpacing(10);
    box->addWidget(new VLRTLabel(text, this, false));
    m_bar = new VLProgressBar(kSteps, this, "progress");
    box->addWidget(m_bar);
    auto *row = new QHBoxLayout;
    row->setSpacing(10);
    row->addWidget(new QWidget(this), 1);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("ok"));
    m_ok->setEnabled(false);
    m_ok->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    row->addWidget(m_ok);
    row->addWidget(m_cancel);
    box->addLayout(row);

    connect(m_ok, &QPushButton::clicked, this, &DialogRestore::accept);
    connect(m_cancel, &QPushButton::clicked, this, &DialogRestore::slotCancel);
    if (m_sender) {
        connect(m_sender, &SMTPSender::sigError, this, &DialogRestore::slotError);
        connect(m_sender, &SMTPSender::sigLoggedIn, this, &DialogRestore::slotLoggedIn);
        connect(m_sender, &SMTPSender::sigSent, this, &DialogRestore::slotSent);
    }
    connect(&m_timer, &QTimer::timeout, this, &DialogRestore::slotTimer);
    std::fprintf(stderr, "DialogRestore::DialogRestore: set text\n");
    m_bar->setText(QStringLiteral("Connecting to mail server"));
    m_cancel->setFocus();
}

int DialogRestore::exec() {
    m_timer.start(kTickMs);
    std::fprintf(stderr, "DialogRestore::exec: executing\n");
    return QDialog::exec();
}

void DialogRestore::slotTimer() {
    std::fprintf(stderr, "DialogRestore::slotTimer: called: p=%d,%d\n", m_bar->value(), m_bar->maximum());
    // From the bar's first state (no progress, -1) the first step gives 0.
    m_bar->setValue((m_bar->value() + 1) % m_bar->maximum());
}

void DialogRestore::slotError() {
    std::fprintf(stderr, "DialogRestore::slotError: error\n");
    m_timer.stop();
    m_bar->setText(QStringLiteral("Error restoring message"));
    m_bar->setValue(0);
}

void DialogRestore::slotLoggedIn() {
    m_bar->setText(QStringLiteral("Sending message"));
}

void DialogRestore::slotSent(const QString &) {
    m_timer.stop();
    m_bar->setText(QStringLiteral("Message restored"));
    m_bar->setValue(0);
    m_ok->setEnabled(true);
    m_ok->setFocus();
}

void DialogRestore::slotCancel() {
    reject();
}

void DialogRestore::reject() {
    if (m_sender)
        m_sender->cancel();
    VLDialog::reject();
}
