#include "VLCheckBox.h"

#include "VLLearningItem.h"

#include <QPainter>
#include <QStyleOptionButton>

VLCheckBox::VLCheckBox(QWidget *parent, int box, const DataEmailStatus &status)
    : QCheckBox(parent), m_box(box), m_status(status) {
    // The table keeps the focus: a box holding it would hand it on (as a Tab would, moving
    // the current cell) when its editor closes under it.
    setFocusPolicy(Qt::NoFocus);
}

QSize VLCheckBox::sizeHint() const {
    const int h = QCheckBox::sizeHint().height();
    return {h, h * 3 / 2};
}

void VLCheckBox::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    // The style never draws its own tick: the mark below says which way the box is on.
    option.state &= ~(QStyle::State_On | QStyle::State_NoChange);
    option.state |= QStyle::State_Off | QStyle::State_Enabled;
    const QRect indicator = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    option.rect =
        QRect(rect().center() - QPoint(indicator.width() / 2, indicator.height() / 2), indicator.size());
    style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, this);

    const QRect mark(rect().center() - QPoint(4, 4), QSize(10, 10));
    painter.fillRect(mark, palette().brush(QPalette::Base));
    if (isChecked())
        painter.drawImage(mark, VLLearningItem::mark(m_box, m_status));
}

bool VLCheckBox::hitButton(const QPoint &pos) const {
    return rect().contains(pos);
}
