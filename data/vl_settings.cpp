#include "vl_settings.h"

VLSettings::VLSettings()
    : QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("brindlecot.example"),
                QStringLiteral("Velloran2")) {
    beginGroup(QStringLiteral("settings"));
}
