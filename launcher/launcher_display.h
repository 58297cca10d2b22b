#pragma once
// Whether the program can reach its X display, asked before the application object exists:
// without one, Qt's xcb platform would abort with a message about plugins.

// True when another platform was chosen ("-platform" or $QT_QPA_PLATFORM) or the display
// ("-display", else $DISPLAY) opens; otherwise writes "velloran: %s: cannot open X display"
// with its name (or "(unset)") and returns false. With no platform chosen the program runs
// on xcb: $QT_QPA_PLATFORM is set to it.
bool launcherDisplayUsable(int argc, char **argv);
