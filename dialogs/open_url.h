#pragma once
// Opens a web address in a browser found on PATH.

#include <QString>

class QWidget;

// Looks in each PATH folder in turn for the browsers we know, in our order of preference
// (an earlier folder beats an earlier name); when none is there, for the desktop's own
// openers. The browser is started detached with the address as its one argument, never
// through a shell. Failures are reported in warning boxes on parent.
void openURL(QWidget *parent, const QString &url);
