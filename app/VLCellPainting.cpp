#include "VLCellPainting_p.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
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
    // A table repaints hundreds of these at a time, and the style draws each with gradients:
    // each look is drawn once and then copied.
    const QStyle *style = styleOf(widget);
    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    const QString key = QString::asprintf(
        "vl_indicator_%p_%d_%d_%dx%d@%g_%08x_%08x_%08x_%08x_%08x_%08x", static_cast<const void *>(style),
        on ? 1 : 0, enabled ? 1 : 0, rect.width(), rect.height(), ratio, palette.color(QPalette::Base).rgba(),
        palette.color(QPalette::Text).rgba(), palette.color(QPalette::WindowText).rgba(),
        palette.color(QPalette::Highlight).rgba(), palette.color(QPalette::Shadow).rgba(),
        palette.color(QPalette::Dark).rgba());
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        pixmap = QPixmap(rect.size() * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        QStyleOptionButton option;
        option.rect = QRect(QPoint(0, 0), rect.size());
        option.palette = palette;
        option.palette.setBrush(QPalette::Window, palette.brush(QPalette::Base));
        option.palette.setBrush(QPalette::Button, palette.brush(QPalette::Base));
        option.state = on ? QStyle::State_On : QStyle::State_Off;
        if (enabled)
            option.state |= QStyle::State_Enabled;
        style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &p, widget);
        p.end();
        QPixmapCache::insert(key, pixmap);
    }
    painter->drawPixmap(rect.topLeft(), pixmap);
}

} // namespace VLCellPainting
