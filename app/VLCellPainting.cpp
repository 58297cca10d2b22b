#include "VLCellPainting_p.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

namespace {

QStyle *styleOf(const QWidget *widget) {
    return widget ? widget->style() : QApplication::style();
}

} // namespace

namespace VLCellPainting {

QSize indicatorSize(const QWidget *widget) {
    const QStyle *style = styleOf(widget);
    return {style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, widget),
            style->pixelMetric(QStyle::PM_IndicatorHeight, nullptr, widget)};
}

QSize indicatorCellHint(const QWidget *widget, const QSize &textHint) {
    const QSize indicator = indicatorSize(widget);
    return {textHint.width() + indicator.width() + 6, qMax(indicator.height(), textHint.height())};
}

void drawIndicator(QPainter *painter, const QWidget *widget, const QPalette &palette, const QRect &rect,
                   bool on, bool enabled) {
    QStyleOptionButton option;
    option.rect = rect;
    option.palette = palette;
    option.palette.setBrush(QPalette::Window, palette.brush(QPalette::Base));
    option.palette.setBrush(QPalette::Button, palette.brush(QPalette::Base));
    option.state = on ? QStyle::State_On : QStyle::State_Off;
    if (enabled)
        option.state |= QStyle::State_Enabled;
    styleOf(widget)->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, painter, widget);
}

} // namespace VLCellPainting
