#include "vl_rt_label.h"

#include <QApplication>
#include <QFontMetrics>
#include <QTextDocument>

#include <cmath>

VLRTLabel::VLRTLabel(QWidget *parent, bool noFit) : QTextBrowser(parent), m_noFit(noFit) {
    // Blend with the dialog behind it.
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QApplication::palette().color(QPalette::Active, QPalette::Window));
    setPalette(pal);
    setFrameStyle(QFrame::NoFrame);
    setLineWidth(0);
    setFocusPolicy(Qt::NoFocus);
    setOpenLinks(false);
    setOpenExternalLinks(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QTextBrowser::anchorClicked, this,
            [this](const QUrl &url) { emit linkClicked(url.toString()); });
}

VLRTLabel::VLRTLabel(const QString &text, QWidget *parent, bool noFit) : VLRTLabel(parent, noFit) {
    setText(text);
}

void VLRTLabel::setText(const QString &text) {
    QTextDocument layout;
    layout.setDefaultFont(font());
    layout.setHtml(text);
    if (!m_noFit) {
        // Longer texts get wider lines: the width of 20, 40, 60 or (from 80 characters,
        // markup included) all 70 letters of a sample.
        const QString sample(70, QLatin1Char('x'));
        for (int n : {80, 60, 40, 20}) {
            if (text.size() >= n) {
                layout.setTextWidth(QFontMetrics(font()).boundingRect(sample.left(n)).width());
                break;
            }
        }
    }
    setHtml(text);
    const QSizeF size = layout.size();
    setMinimumWidth(int(std::ceil(size.width())));
    setFixedHeight(int(std::ceil(size.height())));
}

void VLRTLabel::doSetSource(const QUrl &, QTextDocument::ResourceType) {}
