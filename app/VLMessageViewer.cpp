#include "VLMessageViewer.h"

#include "VLMessageDisplay.h"

#include "data/data_email.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QVBoxLayout>

VLMessageViewer::VLMessageViewer(QWidget *parent, const char *name) : VLDialog(parent, name) {
    auto *box = new QVBoxLayout;
    static_cast<QBoxLayout *>(layout())->addLayout(box);
    m_headers = new QTextBrowser(this);
    m_headers->setObjectName(QStringLiteral("headers"));
    m_headers->setOpenLinks(false);
    m_headers->setOpenExternalLinks(false);
    m_headers->setLineWrapMode(QTextEdit::NoWrap);
    m_display = new VLMessageDisplay(this, true, "display");
    box->addWidget(m_headers);
    box->addWidget(m_display, 1);

    auto *row = new QHBoxLayout;
    row->setContentsMargins(5, 5, 5, 5);
    row->addStretch(1);
    auto *close = new QPushButton(QStringLiteral("&Close"), this);
    close->setObjectName(QStringLiteral("close"));
    close->setDefault(true);
    row->addWidget(close);
    box->addLayout(row);
    connect(close, &QPushButton::clicked, this, &VLMessageViewer::accept);
}

void VLMessageViewer::setMessage(const DataEmailMessage &message) {
    // The values are the sender's text: escaped, so none of it is taken as markup.
    const QString row = QStringLiteral("<tr><td style='padding-right:8px'><b>%1</b></td><td>%2</td></tr>");
    QString html = QStringLiteral("<qt bgcolor='%1'><table cellspacing='0' cellpadding='0'>")
                       .arg(palette().color(backgroundRole()).name());
    html += row.arg(QStringLiteral("From:"), message.encFrom.toHtmlEscaped());
    html += row.arg(QStringLiteral("Date:"), message.date.toHtmlEscaped());
    html += row.arg(QStringLiteral("To:"), message.to.toHtmlEscaped());
    html += row.arg(QStringLiteral("Subject:"), message.encSubject.toHtmlEscaped());
    html += QStringLiteral("</table></qt>");
    m_headers->setHtml(html);
    // Four lines of header, unwrapped: no more room than they need.
    m_headers->document()->adjustSize();
    const int frame = 2 * m_headers->frameWidth();
    const int scrollBar = m_headers->horizontalScrollBar()->sizeHint().height();
    m_headers->setFixedHeight(int(m_headers->document()->size().height()) + frame + scrollBar);

    m_display->slotCurrentMsg(message);
    setWindowTitle(QStringLiteral("%1 - %2").arg(QStringLiteral("Velloran Pro"), message.subject));
}
