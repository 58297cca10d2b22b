#include "VLQuickReply.h"

#include "VLOutgoingMail.h"

#include "data/data_email.h"
#include "data/store_options.h"
#include "proto/SMTPSender.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include <cstdio>

namespace {

QFrame *horizontalLine(QWidget *parent) {
    auto *line = new QFrame(parent);
    line->setFrameStyle(QFrame::HLine | QFrame::Plain);
    line->setLineWidth(1);
    return line;
}

QString envelopeRecipient(const QString &to) {
    return bareAddress(to).trimmed();
}

} // namespace

VLQuickReply::VLQuickReply(const DataEmailMessage &message, QWidget *parent, const char *name)
    : VLDialog(QStringLiteral("Quick Reply"), parent, name) {
    auto *box = new QVBoxLayout;
    box->setContentsMargins(10, 10, 10, 10);
    box->setSpacing(10);
    static_cast<QBoxLayout *>(layout())->addLayout(box);

    m_from = new QLineEdit(StoreOptions::options()->summary.outgoingEmailAddress, this);
    m_from->setObjectName(QStringLiteral("from"));
    m_from->setReadOnly(true);
    m_to = new QLineEdit(message.encFrom, this);
    m_to->setObjectName(QStringLiteral("to"));
    m_subject = new QLineEdit(QStringLiteral("Re: ") + message.encSubject, this);
    m_subject->setObjectName(QStringLiteral("subject"));
    m_body = new QTextEdit(this);
    m_body->setObjectName(QStringLiteral("body"));
    // What the user writes is sent as plain text.
    m_body->setAcceptRichText(false);
    // Tab moves on to the buttons instead of going into the text.
    m_body->setTabChangesFocus(true);

    auto *grid = new QGridLayout;
    grid->setSpacing(10);
    const struct {
        const char *caption;
        QLineEdit *field;
    } rows[] = {{"F&rom", m_from}, {"&To", m_to}, {"S&ubject", m_subject}};
    int row = 0;
    for (const auto &r : rows) {
        auto *label = new QLabel(QLatin1String(r.caption), this);
        label->setBuddy(r.field);
        grid->addWidget(label, row, 0);
        grid->addWidget(r.field, row, 1);
        ++row;
    }
    box->addLayout(grid);
    box->addWidget(horizontalLine(this));
    box->addWidget(m_body, 1);
    box->addWidget(horizontalLine(this));

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(10);
    buttons->addStretch(1);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("cancel"));
    auto *sendButton = new QPushButton(QStringLiteral("&Send"), this);
    sendButton->setObjectName(QStringLiteral("send"));
    sendButton->setDefault(true);
    buttons->addWidget(cancel);
    buttons->addWidget(sendButton);
    box->addLayout(buttons);
    connect(sendButton, &QPushButton::clicked, this, &VLQuickReply::accept);
    connect(cancel, &QPushButton::clicked, this, &VLQuickReply::reject);

    m_body->setFocus();
}

QString VLQuickReply::problem() const {
    if (envelopeRecipient(m_to->text()).isEmpty())
        return QStringLiteral("The reply has no address to go to. Enter one in the To field.");
    if (StoreOptions::options()->summary.outgoingEmailServer.trimmed().isEmpty())
        return QStringLiteral("No outgoing mail server is set in the summary options, so the reply "
                              "cannot be sent.");
    return QString();
}

void VLQuickReply::accept() {
    const QString why = problem();
    if (!why.isNull()) {
        QMessageBox::warning(this, QStringLiteral("Velloran Pro"), why);
        m_to->setFocus();
        return;
    }
    VLDialog::accept();
}

bool VLQuickReply::send() {
    const QString why = problem();
    if (!why.isNull()) {
        std::fprintf(stderr, "VLQuickReply::send: refused: %s\n", qPrintable(why));
        QMessageBox::warning(this, QStringLiteral("Velloran Pro"), why);
        return false;
    }
    const DataOptionsSummary &options = StoreOptions::options()->summary;
    SMTPSender *sender = SMTPSender::self("__quick__");
    DataEmailMessage reply;
    reply.from = options.outgoingEmailAddress;
    // The header keeps the name the user sees; the envelope needs the bare address.
    reply.to = m_to->text();
    reply.subject = m_subject->text();
    // The sender writes the body byte for byte: UTF-8, declared, keeps every character typed.
    reply.mime = QStringLiteral("1.0");
    reply.content = QStringLiteral("text/plain; charset=UTF-8");
    reply.body_ = QString::fromLatin1(m_body->toPlainText().toUtf8());
    VLOutgoingMail::stamp(reply, options.outgoingEmailAddress);
    sender->sendMessage(false, options.outgoingEmailServer, options.advanced, QString(), QString(), reply,
                        bareAddress(options.outgoingEmailAddress).trimmed(), envelopeRecipient(reply.to));
    return true;
}
