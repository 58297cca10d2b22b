#pragma once
// Decisions of the main window that need no window: where a remembered geometry may go on
// the current desktop, how often the periodic check runs, and what a close, a minimise or
// the loss of the tray does with the window.

#include <QRect>
#include <QSize>

#include <optional>

class QTimer;

namespace VLWindowRules {

// A remembered window rectangle corrected against the desktop: tiny sizes get a usable
// default, and the window is kept on screen with a margin to grab it by.
[[nodiscard]] QRect clampGeometry(const QRect &stored, const QSize &desktop);

// The periodic check's period in seconds (at least one minute), or nothing when periodic
// checks are off.
[[nodiscard]] std::optional<int> checkPeriod(bool checkPeriodically, int checkIntervalMinutes);

// Starts the timer repeating with the period above; with periodic checks off a running timer
// is left alone. Returns the period started, or nothing.
std::optional<int> startCheckTimer(QTimer &timer, bool checkPeriodically, int checkIntervalMinutes);

struct WindowState {
    bool exiting = false;           // Exit was chosen
    bool minimizeOnClose = false;   // a close only puts the window away
    bool systrayOnMinimize = false; // a minimise goes into the tray
    bool docked = false;            // the tray icon sits in a tray
    bool hidden = false;            // the window is hidden
};

enum class WindowEvent { Close, Minimised, TrayLost };

enum class WindowAction {
    None,         // leave the window as it is
    Quit,         // accept the close and quit the application
    Hide,         // hide into the tray
    Minimise,     // minimise instead of closing
    ShowMinimised // come back from the tray minimised
};

// The window hides only into a tray that is really there: without one the user could not
// get it back.
[[nodiscard]] WindowAction decide(WindowEvent event, const WindowState &state);

} // namespace VLWindowRules
