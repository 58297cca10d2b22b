#include "VLWindowRules.h"

#include <QTimer>

#include <algorithm>
#include <limits>

namespace VLWindowRules {

QRect clampGeometry(const QRect &stored, const QSize &desktop) {
    int x = stored.x();
    int y = stored.y();
    int w = stored.width();
    int h = stored.height();
    const int dw = desktop.width();
    const int dh = desktop.height();
    if (w <= 99)
        w = 900;
    if (h <= 99)
        h = 650;
    if (x < 0)
        x = 48;
    if (y < 0)
        y = 48;
    if (x >= dw - 48)
        x = dw - 48;
    if (y >= dh - 48)
        y = dh - 48;
    if (w > dw)
        w = dw - 96;
    if (h > dh)
        h = dh - 96;
    return {x, y, w, h};
}

std::optional<int> checkPeriod(bool checkPeriodically, int checkIntervalMinutes) {
    if (!checkPeriodically)
        return std::nullopt;
    // A timer counts int milliseconds: longer intervals would wrap to a tiny or negative
    // period, so they stop at the longest one that fits.
    constexpr int longest = std::numeric_limits<int>::max() / 60'000;
    return std::max(std::min(checkIntervalMinutes, longest) * 60, 60);
}

std::optional<int> startCheckTimer(QTimer &timer, bool checkPeriodically, int checkIntervalMinutes) {
    const auto period = checkPeriod(checkPeriodically, checkIntervalMinutes);
    if (period) {
        timer.setSingleShot(false);
        timer.start(*period * 1000);
    }
    return period;
}

WindowAction decide(WindowEvent event, const WindowState &state) {
    switch (event) {
    case WindowEvent::Close:
        if (state.exiting || !state.minimizeOnClose)
            return WindowAction::Quit;
        return state.docked ? WindowAction::Hide : WindowAction::Minimise;
    case WindowEvent::Minimised:
        return state.systrayOnMinimize && state.docked ? WindowAction::Hide : WindowAction::None;
    case WindowEvent::TrayLost:
        return state.hidden ? WindowAction::ShowMinimised : WindowAction::None;
    }
    return WindowAction::None;
}

} // namespace VLWindowRules
