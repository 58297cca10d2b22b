#pragma once
// A check-box cell (Delete, Bounce, Blacklist, ...): its check state is its value. The
// current cell stands for a live editor: only there does a click toggle it, and only there
// does a change reach the table's change signals.

#include "VLTableItem.h"

#include <QPalette>

class QPainter;

class VLCheckTableItem : public VLTableItem {
public:
    static constexpr int Type = 1098;

    VLCheckTableItem();

    [[nodiscard]] bool isChecked() const;
    // On the current cell the table hears of the change; elsewhere it is stored quietly and
    // the cell repainted.
    void setChecked(bool on);
    // Inverts the current cell once (one change signal); any other cell is left alone.
    void toggle();

    void paint(QPainter *painter, const QPalette &palette, const QRect &rect, bool selected) const;
    [[nodiscard]] QSize sizeHint(const QSize &textHint) const;

private:
    [[nodiscard]] bool isCurrent() const;
};
