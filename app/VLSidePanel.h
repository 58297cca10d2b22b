#pragma once
// The tabbed panel beside the mail table: the friends list, the blacklist and the filters,
// each kept in step with its store whoever changes it, and the two address lists tied so
// that an address added to one leaves the other.

#include "dialogs/panel_tab_widget.h"

class PanelSideBlacklist;
class PanelSideFilter;
class PanelSideFriends;

class VLSidePanel : public PanelTabWidget {
    Q_OBJECT
public:
    VLSidePanel(QWidget *parent, const char *name);

    [[nodiscard]] PanelSideFriends *friends() const { return m_friends; }
    [[nodiscard]] PanelSideBlacklist *blacklist() const { return m_blacklist; }
    [[nodiscard]] PanelSideFilter *filters() const { return m_filters; }

private:
    PanelSideFriends *m_friends;
    PanelSideBlacklist *m_blacklist;
    PanelSideFilter *m_filters;
};
