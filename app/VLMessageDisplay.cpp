#include "VLMessageDisplay.h"

#include "VLQuickReply.h"

#include "proto/SMTPSender.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kLongestSubject = 64;
constexpr int kShortenedSubject = 60;

QToolButton *viewButton(QWidget *parent, const char *name, const char *image, const QString &tip) {
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(QIcon(QStringLiteral(":/vlImages/") + QLatin1String(image)));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    return button;
}

// Quick replies go out in the background; a failure is the user's to see, in one box per
// failure, however many panes exist.
void reportQuickReplyFailures() {
    static bool connected = false;
    if (connected)
        return;
    connected = true;
    SMTPSender *sender = SMTPSender::self("__quick__");
    QObject::connect(sender, &SMTPSender::sigError, sender, [sender] {
        const QString text = QStringLiteral("The quick reply could not be sent: %1").arg(sender->error());
        // Shown once the sender has finished with its failure, not inside its signal.
        QTimer::singleShot(0, sender, [text] {
            QMessageBox::warning(QApplication::activeWindow(), QStringLiteral("Velloran Pro"), text);
        });
    });
}

} // namespace

VLMessageDisplay::VLMessageDisplay(QWidget *parent, bool viewerMode, const char *name)
    : QWidget(parent), m_viewerMode(viewerMode) {
    setObjectName(QLatin1String(name));
    reportQuickReplyFailures();

    m_subject = new QLabel(this);
    m_subject->setObjectName(QStringLiteral("subject"));
    // A subject is the sender's text, never markup.
    m_subject->setTextFormat(Qt::PlainText);
    m_normal = viewButton(this, "normal", "normalView.png", QStringLiteral("Normal message view"));
    m_normal->setCheckable(true);
    m_normal->setChecked(true);
    m_raw = viewButton(this, "raw", "sourceView.png", QStringLiteral("Message source"));
    m_raw->setCheckable(true);
    m_quick = viewButton(this, "quick", "quickReply.png", QStringLiteral("Quick reply"));

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("browser"));
    // Plain text only: nothing in a message can load a local or remote resource.
    m_browser->setAcceptRichText(false);
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);

    m_viewLabel = new QLabel(QStringLiteral("Normal message view"), this);
    m_viewLabel->setFixedWidth(220);
    m_viewLabel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    m_status = new QLabel(this);
    m_status->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);

    auto *box = new QVBoxLayout(this);
    box->setContentsMargins(0, 0, 0, 0);
    auto *top = new QHBoxLayout;
    top->addWidget(m_subject);
    top->addStretch(1);
    top->addWidget(m_normal);
    top->addWidget(m_raw);
    top->addWidget(m_quick);
    box->addLayout(top);
    box->addWidget(m_browser, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_viewLabel);
    bottom->addWidget(m_status, 1);
    box->addLayout(bottom);

    connect(m_normal, &QToolButton::toggled, this, &VLMessageDisplay::slotToggleNormal);
    connect(m_raw, &QToolButton::toggled, this, &VLMessageDisplay::slotToggleRaw);
    connect(m_quick, &QToolButton::clicked, this, &VLMessageDisplay::slotQuickReply);
}

void VLMessageDisplay::clear() {
    m_message = DataEmailMessage();
    m_subject->clear();
    m_browser->clear();
}

QString VLMessageDisplay::sourceText() const {
    return m_message.headers + QStringLiteral("\r\n") + m_message.body_;
}

void VLMessageDisplay::showText(const QString &text) {
    // Mail lines end in CR LF; one line end is one line.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_browser->setPlainText(lines);
    // The top of the text, with the cursor there too, so keys scroll from the start.
    m_browser->moveCursor(QTextCursor::Start);
    m_browser->horizontalScrollBar()->setValue(0);
    m_browser->verticalScrollBar()->setValue(0);
}

void VLMessageDisplay::slotCurrentMsg(const DataEmailMessage &message) {
    m_message = message;
    if (!m_viewerMode) {
        QString subject = m_message.encSubject;
        if (subject.size() > kLongestSubject) {
            // Never half a character: a pair of surrogates stays whole or goes whole.
            const qsizetype keep = subject.at(kShortenedSubject - 1).isHighSurrogate() ? kShortenedSubject - 1
                                                                                       : kShortenedSubject;
            subject = subject.left(keep) + QStringLiteral(" ....");
        }
        m_subject->setText(subject);
    }
    showText(m_raw->isChecked() ? sourceText() : m_message.body());
}

void VLMessageDisplay::slotToggleNormal(bool on) {
    if (!on)
        return;
    m_raw->setChecked(false);
    showText(m_message.body());
    m_viewLabel->setText(QStringLiteral("Normal message view"));
}

void VLMessageDisplay::slotToggleRaw(bool on) {
    if (!on)
        return;
    m_normal->setChecked(false);
    showText(sourceText());
    m_viewLabel->setText(QStringLiteral("Message source"));
}

void VLMessageDisplay::slotQuickReply() {
    QPointer<VLQuickReply> reply = new VLQuickReply(m_message, this, "quickreply");
    if (reply->exec() == QDialog::Accepted && reply)
        reply->send();
    delete reply;
}
