#include "dialog_about.h"

#include "open_url.h"
#include "vl_maker_url.h"
#include "vl_rt_label.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstdio>

namespace {

// A row of a label and a link whose visible text is its own address; neither wraps, so an
// address is never split over two lines.
QString linkRow(const QString &label, const QString &url) {
    const QString escaped = url.toHtmlEscaped();
    return QStringLiteral("<tr><td style=\"white-space:nowrap\">%1</td>"
                          "<td style=\"white-space:nowrap\"><a href=\"%2\">%2</a></td></tr>")
        .arg(label, escaped);
}

} // namespace

QString DialogAbout::aboutText(const QString &site) {
    return QStringLiteral("<table cellspacing=\"4\" cellpadding=\"0\">"
                          "<tr><td colspan=\"2\"><b>Velloran Pro, published by Brindlecot, 2006&#8211;2026"
                          "</b><br></td></tr>") +
           linkRow(QStringLiteral("Brindlecot Web Site:"), site) +
           linkRow(QStringLiteral("Support Information:"), site + QStringLiteral("support/")) +
           linkRow(QStringLiteral("Support Forums:"), site + QStringLiteral("forums/")) +
           QStringLiteral("<tr><td></td><td><br>Velloran Pro V2.0.0<br></td></tr>"
                          "<tr><td colspan=\"2\"><b>Warning</b><br>This program is protected by copyright "
                          "law. Copying or distributing it, or any part of it, without the permission of "
                          "Brindlecot is forbidden and may lead to civil and criminal penalties.</td></tr>"
                          "</table>");
}

DialogAbout::DialogAbout(QWidget *parent, const char *name)
    : VLDialog(QStringLiteral("About Velloran Pro"), parent, name) {
    m_label = new VLRTLabel(aboutText(vlMakerURL()), this, false);
    m_label->setObjectName(QStringLiteral("about"));
    // The text's own size plus a margin: the label has no scroll bars, so it must hold it all.
    m_label->setFixedWidth(m_label->minimumWidth() + 32);
    m_label->setFixedHeight(m_label->minimumHeight() + 32);

    auto *content = new QVBoxLayout;
    content->setContentsMargins(20, 20, 20, 20);
    content->setSpacing(10);
    content->addWidget(m_label);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    row->addWidget(ok);
    content->addLayout(row);
    static_cast<QVBoxLayout *>(layout())->addLayout(content);
    // The box is exactly as large as its content, whatever size it was last given.
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_label, &VLRTLabel::linkClicked, this, &DialogAbout::slotLinkClicked);
}

void DialogAbout::slotLinkClicked(const QString &url) {
    std::fprintf(stderr, "DialogAbout::slotLinkClicked: %s\n", qPrintable(url));
    openURL(this, url);
}
