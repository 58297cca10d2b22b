#pragma once
// The velloran program's start-up and shut-down around its main window: one instance per
// user and display, the per-user folders, the stored state, the event loop and the saving
// of everything at the end. Opening the windows is the one step handed in by the caller.

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

struct DataOptionsGeneral;

// Opens the program's windows (the splash screen and the main window, shown minimised when
// the options say so, with the window's start-up queued) and hands over the main window,
// which is destroyed after everything else is saved.
using VLWindowOpener = std::function<std::unique_ptr<QWidget>(const DataOptionsGeneral &general)>;

// Creates the three per-user folders under home (the cache folder the user's alone), sets
// the data folder ($VL_STOREDIR or the default), opens the message cache (which clears what
// a killed run left half-written), loads the Bayes state, the mail log and the seen list.
void launcherPrepareData(const QString &home);

// Trims the message cache, saves the six stores (each failure one "main: %s" line on
// standard error; the others are saved all the same) and writes the seen list.
void launcherSaveAll();

// The whole program: 2 without a usable X display, 1 when another instance of this user
// runs on the display (after the user dismissed the box that says so), else 0 once the
// event loop has ended and everything is saved.
int launcherMain(int argc, char **argv, const VLWindowOpener &openWindows);
