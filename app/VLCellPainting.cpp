#include "VLCellPainting_p.h"

#include <QApplication>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

#include <array>

namespace {

QStyle *styleOf(const QWidget *widget) {
    return widget ? widget->style() : QApplication::style();
}

// Everything an indicator's picture depends on. Compared as plain values: building a text
// key for every box of every repaint cost more than drawing the copy.
struct IndicatorKey {
    const QStyle *style;
    bool on;
    bool enabled;
    QSize size;
    qreal ratio;
    std::array<QRgb, 6> colours;

    bool operator==(const IndicatorKey &) const = default;
};

size_t qHash(const IndicatorKey &key, size_t seed = 0) {
    seed = qHashMulti(seed, key.style, key.on, key.enabled, key.size.width(), key.size.height(), key.ratio);
    return qHashRange(key.colours.cbegin(), key.colours.cend(), seed);
}

// The looks in use are few (a handful of row colours, on or off, enabled or not); a cache
// that somehow grows past this is dropped and refilled rather than kept growing.
constexpr qsizetype kMostIndicators = 512;

QHash<IndicatorKey, QPixmap> &indicators() {
    static QHash<IndicatorKey, QPixmap> cache;
    return cache;
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
    const IndicatorKey key{style,
                           on,
                           enabled,
                           rect.size(),
                           ratio,
                           {palette.color(QPalette::Base).rgba(), palette.color(QPalette::Text).rgba(),
                            palette.color(QPalette::WindowText).rgba(),
                            palette.color(QPalette::Highlight).rgba(), palette.color(QPalette::Shadow).rgba(),
                            palette.color(QPalette::Dark).rgba()}};
    QHash<IndicatorKey, QPixmap> &cache = indicators();
    auto found = cache.constFind(key);
    if (found == cache.cend()) {
        QPixmap drawn(rect.size() * ratio);
        drawn.setDevicePixelRatio(ratio);
        drawn.fill(Qt::transparent);
        QPainter p(&drawn);
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
        if (cache.size() >= kMostIndicators)
            cache.clear();
        found = cache.insert(key, drawn);
    }
    const QPixmap &pixmap = *found;
    painter->drawPixmap(rect.topLeft(), pixmap);
}

} // namespace VLCellPainting
