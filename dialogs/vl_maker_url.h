#pragma once
// The maker's web-site address, chosen when the program is built, ending in "/" so that
// its pages ("support/", "forums/") can be appended.

#include <QString>

QString vlMakerURL();
