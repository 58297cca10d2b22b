#pragma once
// The three side panes wired as the main window's side panel wires them: tabs in order,
// each pane loaded from its store, the two address lists cross-wired, and every store's
// change notice connected straight to its pane's loadFromStore.

#include "tools_dialog_fixture.h"

#include "panel_list_email_filter.h"
#include "panel_list_email_match.h"
#include "panel_side_emails.h"
#include "panel_side_filter.h"

#include <QTabWidget>

namespace toolsdlg {

struct SidePanel {
    QTabWidget tabs;
    PanelSideFriends *friends = new PanelSideFriends(&tabs, "friends");
    PanelSideBlacklist *blacklist = new PanelSideBlacklist(&tabs, "blacklist");
    PanelSideFilter *filters = new PanelSideFilter(&tabs, "filters");

    SidePanel() {
        tabs.setObjectName(QStringLiteral("sidepanel"));
        tabs.addTab(friends, QStringLiteral("Friends List"));
        tabs.addTab(blacklist, QStringLiteral("Black List"));
        tabs.addTab(filters, QStringLiteral("Filters"));
        friends->loadFromStore();
        blacklist->loadFromStore();
        filters->loadFromStore();
        QObject::connect(friends->listEmailMatch(), &PanelListEmailMatch::sigAddedEmail,
                         blacklist->listEmailMatch(), &PanelListEmailMatch::slotRemoveEmail);
        QObject::connect(blacklist->listEmailMatch(), &PanelListEmailMatch::sigAddedEmail,
                         friends->listEmailMatch(), &PanelListEmailMatch::slotRemoveEmail);
        QObject::connect(StoreListEmailMatch::friends(), &Store::changed, friends,
                         &PanelSideFriends::loadFromStore);
        QObject::connect(StoreListEmailMatch::blacklist(), &Store::changed, blacklist,
                         &PanelSideBlacklist::loadFromStore);
        QObject::connect(StoreListEmailFilter::filter(), &Store::changed, filters,
                         &PanelSideFilter::loadFromStore);
    }
};

inline QStringList rows(const QTableWidget *table) {
    QStringList out;
    for (int row = 0; row < table->rowCount(); ++row)
        out << (table->item(row, 2) ? table->item(row, 2)->text() : QString());
    return out;
}

} // namespace toolsdlg
