#include "dialog_options.h"

#include "panel_options.h"
#include "panel_options_summary.h"

#include <QLayout>

DialogOptions::DialogOptions(QWidget *parent, const char *name)
    : VLDialog(QStringLiteral("Options"), parent, name), m_panel(new PanelOptions(this, "panel")) {
    layout()->addWidget(m_panel);
    addOKCancel("Customizing_Options");
    connect(m_panel->summary(), &PanelOptionsSummary::sigClearLogs, this, &DialogOptions::sigClearLogs);
    connect(m_panel->summary(), &PanelOptionsSummary::sigEmptyBin, this, &DialogOptions::sigEmptyBin);
}

void DialogOptions::loadFromStore() {
    m_panel->loadFromStore();
}

QString DialogOptions::saveToStore() {
    return m_panel->saveToStore();
}

void DialogOptions::load(const DataOptions &options) {
    m_panel->load(options);
}

void DialogOptions::save(DataOptions &options) const {
    m_panel->save(options);
}
