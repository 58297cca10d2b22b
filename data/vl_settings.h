#pragma once
// The user's interface settings (window geometry and similar state), in the user's own
// settings file of the product, inside the group "settings".

#include <QSettings>

class VLSettings : public QSettings {
    Q_OBJECT
public:
    VLSettings();
};
