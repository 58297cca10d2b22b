#pragma once
// What the account editors share inside this library: the texts that several pages show and
// the way a thin dialog takes its one panel.

#include "vl_dialog.h"

#include <QLayout>
#include <QString>

namespace account_dialogs {

inline QString caveatText() {
    return QStringLiteral("These options are provided in case you have a less common network configuration. "
                          "Only modify these if you are familiar with these email settings");
}

inline QString advancedCaption() {
    return QStringLiteral("Advanced account options");
}

// Creates the dialog's panel "panel" under the content layout, then the button row.
template <typename Panel> Panel *addPanel(VLDialog *dialog, const char *helpKey = nullptr) {
    auto *panel = new Panel(dialog, "panel");
    dialog->layout()->addWidget(panel);
    dialog->addOKCancel(helpKey);
    return panel;
}

} // namespace account_dialogs
