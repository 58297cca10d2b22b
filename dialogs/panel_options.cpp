#include "panel_options.h"

#include "data/store_options.h"
#include "panel_options_display.h"
#include "panel_options_general.h"
#include "panel_options_summary.h"

#include <cstdio>

PanelOptions::PanelOptions(QWidget *parent, const char *name)
    : PanelTabWidget(parent, name), m_general(new PanelOptionsGeneral(this, "general")),
      m_display(new PanelOptionsDisplay(this, "display")),
      m_summary(new PanelOptionsSummary(this, "summary")) {
    addPanel(m_general, m_general, QStringLiteral("&General"));
    addPanel(m_display, m_display, QStringLiteral("&Display"));
    addPanel(m_summary, m_summary, QStringLiteral("&Summary"));
}

void PanelOptions::load(const DataOptions &options) {
    m_general->load(options.general);
    m_display->load(options.display);
    m_summary->load(options.summary);
}

void PanelOptions::save(DataOptions &options) const {
    m_general->save(options.general);
    m_display->save(options.display);
    m_summary->save(options.summary);
}

void PanelOptions::loadFromStore() {
    m_store = StoreOptions::options();
    load(*m_store);
}

QString PanelOptions::saveToStore() {
    if (!m_store)
        return QString();
    save(*m_store);
    m_store->setChanged(true);
    const QString error = m_store->saveToStore();
    if (!error.isNull())
        std::fprintf(stderr, "PanelOptions::saveToStore: %s\n", qPrintable(error));
    return error;
}
