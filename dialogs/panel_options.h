#pragma once
// The options record on three tabs: General, Display and Summary.

#include "panel_tab_widget.h"

#include <QString>

class DataOptions;
class PanelOptionsDisplay;
class PanelOptionsGeneral;
class PanelOptionsSummary;
class StoreOptions;

class PanelOptions : public PanelTabWidget {
    Q_OBJECT
public:
    PanelOptions(QWidget *parent, const char *name);

    void load(const DataOptions &options);
    void save(DataOptions &options) const;
    // Shows the options store's record and keeps the store for saveToStore.
    void loadFromStore();
    // Writes the pages into the kept store and saves it; nothing without loadFromStore.
    // Null on success, else the store's error text.
    QString saveToStore();

    [[nodiscard]] PanelOptionsGeneral *general() const { return m_general; }
    [[nodiscard]] PanelOptionsDisplay *display() const { return m_display; }
    [[nodiscard]] PanelOptionsSummary *summary() const { return m_summary; }

private:
    PanelOptionsGeneral *m_general;
    PanelOptionsDisplay *m_display;
    PanelOptionsSummary *m_summary;
    StoreOptions *m_store = nullptr;
};
