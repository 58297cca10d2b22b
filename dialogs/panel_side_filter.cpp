#include "panel_side_filter.h"

#include "data/store_list_filters.h"
#include "list_table_p.h"
#include "pane_reload_p.h"
#include "panel_list_email_filter.h"
#include "tools_actions_box_p.h"
#include "vl_help.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QToolButton>

PanelSideFilter::PanelSideFilter(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    m_list = new PanelListEmailFilter(this, "filters");
    m_add = newIconButton(QStringLiteral("&Add"), "plus.png", "add", this);
    m_edit = newIconButton(QStringLiteral("&Edit"), "magnify.png", "edit", this);
    m_remove = newIconButton(QStringLiteral("&Remove"), "x.png", "remove", this);
    m_up = newArrowButton("spinup.png", "up", this);
    m_down = newArrowButton("spindown.png", "down", this);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("browser"));
    m_browser->setMinimumHeight(180);
    auto *caption = new QLabel(QStringLiteral("Filter description"), this);
    m_help = new VLHelpPushButton(this, "How_to_manage_Filters");

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);
    grid->addWidget(m_add, 0, 1);
    grid->addWidget(m_edit, 0, 2);
    grid->addWidget(m_remove, 0, 3, 1, 2);
    grid->addWidget(m_help, 1, 3, 1, 2);
    grid->addWidget(m_list, 2, 0, 1, 5);
    grid->addWidget(caption, 3, 0, 1, 5);
    grid->addWidget(m_browser, 4, 0, 2, 4);
    grid->addWidget(m_up, 4, 4);
    grid->addWidget(m_down, 5, 4);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(2, 1);
    VLPanel::setTabOrder(m_add, m_edit, m_remove, m_help, m_up, m_down, nullptr);

    m_list->setButtons(m_add, m_edit, m_remove, m_up, m_down);
    connect(m_list, &PanelListEmailFilter::sigCurrent, this, &PanelSideFilter::slotCurrent);
    // With no rule current the last description would stay, describing nothing.
    connect(m_list, &PanelListEmailFilter::sigEmpty, this, &PanelSideFilter::slotEmpty);
    connect(m_list, &PanelListEmailFilter::sigChanged, this, &PanelSideFilter::slotChanged);

    m_reload = new PaneReload(this, [this] { reload(); });
}

void PanelSideFilter::slotCurrent(const DataEmailFilter &filter) {
    m_browser->setText(filter.description());
}

void PanelSideFilter::slotEmpty() {
    m_browser->clear();
}

void PanelSideFilter::slotChanged() {
    write(kListSaveDelayMs);
}

void PanelSideFilter::saveToStore() {
    write(0);
}

void PanelSideFilter::write(unsigned delayMs) {
    if (!m_store)
        return;
    m_list->save(*m_store);
    m_store->setChanged(true);
    if (delayMs > 0)
        m_store->saveDelayed(delayMs);
    else
        (void)m_store->saveToStore();
}

void PanelSideFilter::loadFromStore() {
    const bool first = !m_store;
    m_store = StoreListEmailFilter::filter();
    if (first) {
        m_list->load(*m_store);
        return;
    }
    m_reload->request();
}

void PanelSideFilter::reload() {
    if (!m_store)
        return;
    const int row = m_list->currentRow();
    const QString name = row >= 0 && row < m_list->list().filters.size()
                             ? m_list->list().filters.at(row).filterName
                             : QString();
    const int scroll = m_list->verticalScrollBar()->value();

    m_list->load(*m_store);

    if (row >= 0 && m_list->rowCount() > 0) {
        // The same rule by position when it is still there, else by name, else the nearest row.
        const QList<DataEmailFilter> &filters = m_list->list().filters;
        int found = row < filters.size() && filters.at(row).filterName == name ? row : -1;
        for (int i = 0; found < 0 && i < filters.size(); ++i)
            if (filters.at(i).filterName == name)
                found = i;
        if (found < 0)
            found = qMin(row, m_list->rowCount() - 1);
        m_list->setCurrentCell(found, listtable::Text);
    }
    m_list->verticalScrollBar()->setValue(scroll);
}
