#include "panel_tools_filter.h"

#include "data/store_list_filters.h"
#include "panel_list_email_filter.h"
#include "tools_actions_box_p.h"

#include <QGridLayout>
#include <QIcon>
#include <QPushButton>
#include <QTextBrowser>
#include <QToolButton>

PanelToolsFilter::PanelToolsFilter(QWidget *parent, const char *name)
    : PanelTitled("&Spam filters", parent, name) {
    QWidget *body = widget();
    m_list = new PanelListEmailFilter(body, "filters");
    m_add = newIconButton(QStringLiteral("&Add"), "plus.png", "add", body);
    m_edit = newIconButton(QStringLiteral("&Edit"), "magnify.png", "edit", body);
    m_remove = newIconButton(QStringLiteral("Remo&ve"), "x.png", "remove", body);
    m_up = newArrowButton("spinup.png", "up", body);
    m_down = newArrowButton("spindown.png", "down", body);
    m_browser = new QTextBrowser(body);
    m_browser->setObjectName(QStringLiteral("browser"));

    connect(m_list, &PanelListEmailFilter::sigCurrent, this, &PanelToolsFilter::slotCurrent);
    // With no rule current the last description would stay, describing nothing.
    connect(m_list, &PanelListEmailFilter::sigEmpty, this, &PanelToolsFilter::slotEmpty);
    m_list->setButtons(m_add, m_edit, m_remove, m_up, m_down);

    auto *grid = new QGridLayout(body);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(10);
    grid->addWidget(m_list, 0, 0, 6, 1);
    grid->addWidget(m_add, 0, 1);
    grid->addWidget(m_edit, 1, 1);
    grid->addWidget(m_remove, 2, 1);
    grid->addWidget(m_up, 4, 1);
    grid->addWidget(m_down, 5, 1);
    grid->addWidget(m_browser, 6, 0, 1, 2);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);

    VLPanel::setTabOrder(m_add, m_edit, m_remove, m_up, m_down, m_browser, nullptr);
}

void PanelToolsFilter::loadFromStore() {
    m_store = StoreListEmailFilter::filter();
    m_list->load(*m_store);
}

void PanelToolsFilter::saveToStore() {
    if (!m_store)
        return;
    m_list->save(*m_store);
    m_store->setChanged(true);
    (void)m_store->saveToStore();
}

void PanelToolsFilter::slotCurrent(const DataEmailFilter &filter) {
    m_browser->setText(filter.description());
}

void PanelToolsFilter::slotEmpty() {
    m_browser->clear();
}
