#pragma once
// The filter page of the spam tools: the user's ordered filter rules with Add, Edit,
// Remove, up and down, and the sentence that describes the current rule. The rules live in
// the filters store and are written only by saveToStore; the tools record's "filter"
// section has no settings.

#include "panel_titled.h"
#include "vl_panel.h"

class DataEmailFilter;
class DataToolsFilter;
class PanelListEmailFilter;
class QPushButton;
class QTextBrowser;
class QToolButton;
class StoreListEmailFilter;

class PanelToolsFilter : public PanelTitled, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelToolsFilter(QWidget *parent, const char *name);

    void load(const DataToolsFilter &) {}
    void save(DataToolsFilter &) const {}
    void loadFromStore();
    void saveToStore();

    [[nodiscard]] PanelListEmailFilter *listEmailFilter() const { return m_list; }

public slots:
    void slotCurrent(const DataEmailFilter &filter);
    void slotEmpty();

private:
    PanelListEmailFilter *m_list;
    QPushButton *m_add;
    QPushButton *m_edit;
    QPushButton *m_remove;
    QToolButton *m_up;
    QToolButton *m_down;
    QTextBrowser *m_browser;
    StoreListEmailFilter *m_store = nullptr;
};
