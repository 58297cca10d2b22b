#pragma once
// Drawing shared by the check and learning cells.

#include <QPalette>
#include <QRect>
#include <QSize>

class QPainter;
class QWidget;

namespace VLCellPainting {

// The style's check indicator size.
QSize indicatorSize(const QWidget *widget);
// A cell holding indicators: the text's hint widened by one indicator and 6 pixels, and at
// least one indicator high.
QSize indicatorCellHint(const QWidget *widget, const QSize &textHint);
// The style's check indicator in rect, on its own Base-coloured background.
void drawIndicator(QPainter *painter, const QWidget *widget, const QPalette &palette, const QRect &rect,
                   bool on, bool enabled);

} // namespace VLCellPainting
