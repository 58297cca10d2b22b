#include "VLStatusTip.h"

#include "VLMailTable.h"

#include <QRect>
#include <QToolTip>

VLStatusTip::VLStatusTip(VLMailTable *table) : m_table(table) {}

VLStatusTip::~VLStatusTip() {
    if (m_shown && QToolTip::isVisible())
        QToolTip::hideText();
}

QString VLStatusTip::maybeTip(const QPoint &pos) {
    QRect rect;
    const QString reason = m_table->tip(pos, rect);
    if (reason.isEmpty()) {
        if (m_shown)
            QToolTip::hideText();
        m_shown = false;
        return QString();
    }
    // The reason is rich text already: the lines that went into it were escaped as added.
    const QString text = QStringLiteral("<qt>Flagged by -<br/>%1</qt>").arg(reason);
    QWidget *viewport = m_table->viewport();
    QToolTip::showText(viewport->mapToGlobal(pos), text, viewport, rect);
    m_shown = true;
    return text;
}
