#pragma once
// Root of the installed data (help book, sounds, data files), ending in "/". The build's
// default is replaced at run time by $VL_SHAREDIR when that is set and not empty, so the
// program can run from the build tree and tests can bring their own fixtures.

#include <QString>

QString vlShareDir();
