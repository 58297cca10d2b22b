#pragma once
// The filters pane beside the mail table: the user's ordered filter rules, edited straight
// into the filters store (saved two seconds after an edit), with the description of the
// selected rule. Reloads after a store change are deferred as in the address panes.

#include "vl_panel.h"

#include <QWidget>

class DataEmailFilter;
class PaneReload;
class DataToolsFilter;
class PanelListEmailFilter;
class QPushButton;
class QTextBrowser;
class QToolButton;
class StoreListEmailFilter;
class VLHelpPushButton;

class PanelSideFilter : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelSideFilter(QWidget *parent, const char *name);

    void load(const DataToolsFilter &) {}
    void save(DataToolsFilter &) const {}

    [[nodiscard]] PanelListEmailFilter *listEmailFilter() const { return m_list; }

public slots:
    void slotCurrent(const DataEmailFilter &filter);
    void slotEmpty();
    void slotChanged();
    // The first call fills the pane at once; every later one asks for one deferred reload.
    void loadFromStore();
    void saveToStore();

private:
    void reload();
    void write(unsigned delayMs);

    PanelListEmailFilter *m_list;
    QPushButton *m_add;
    QPushButton *m_edit;
    QPushButton *m_remove;
    QToolButton *m_up;
    QToolButton *m_down;
    QTextBrowser *m_browser;
    VLHelpPushButton *m_help;
    StoreListEmailFilter *m_store = nullptr;
    PaneReload *m_reload;
};
