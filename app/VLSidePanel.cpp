#include "VLSidePanel.h"

#include "data/store_list_filters.h"
#include "data/store_list_matches.h"
#include "dialogs/panel_list_email_match.h"
#include "dialogs/panel_side_emails.h"
#include "dialogs/panel_side_filter.h"

VLSidePanel::VLSidePanel(QWidget *parent, const char *name)
    : PanelTabWidget(parent, name), m_friends(new PanelSideFriends(this, "friends")),
      m_blacklist(new PanelSideBlacklist(this, "blacklist")),
      m_filters(new PanelSideFilter(this, "filters")) {
    addPanel(m_friends, m_friends, QStringLiteral("Friends List"));
    addPanel(m_blacklist, m_blacklist, QStringLiteral("Black List"));
    addPanel(m_filters, m_filters, QStringLiteral("Filters"));
    m_friends->loadFromStore();
    m_blacklist->loadFromStore();
    m_filters->loadFromStore();

    connect(m_friends->listEmailMatch(), &PanelListEmailMatch::sigAddedEmail, m_blacklist->listEmailMatch(),
            &PanelListEmailMatch::slotRemoveEmail);
    connect(m_blacklist->listEmailMatch(), &PanelListEmailMatch::sigAddedEmail, m_friends->listEmailMatch(),
            &PanelListEmailMatch::slotRemoveEmail);

    // Queued: a store changes inside the handling of a click in a pane (or in processing),
    // and a pane must not be rebuilt under the code that is still using it.
    connect(StoreListEmailMatch::friends(), &Store::changed, m_friends, &PanelSideFriends::loadFromStore,
            Qt::QueuedConnection);
    connect(StoreListEmailMatch::blacklist(), &Store::changed, m_blacklist,
            &PanelSideBlacklist::loadFromStore, Qt::QueuedConnection);
    connect(StoreListEmailFilter::filter(), &Store::changed, m_filters, &PanelSideFilter::loadFromStore,
            Qt::QueuedConnection);
}
