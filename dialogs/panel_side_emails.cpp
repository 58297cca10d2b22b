#include "panel_side_emails.h"

#include "data/store_list_matches.h"
#include "dialog_tools.h"
#include "list_edits.h"
#include "list_table_p.h"
#include "pane_reload_p.h"
#include "panel_list_email_match.h"
#include "tools_actions_box_p.h"
#include "vl_help.h"
#include "vl_rt_label.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QGridLayout>
#include <QIcon>
#include <QPushButton>
#include <QScrollBar>

#include <cmath>
#include <cstdio>

PanelSideEmails::PanelSideEmails(const char *listTitle, const char *labelText, const char *helpKey,
                                 QWidget *parent, const char *name)
    : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto *label = new VLRTLabel(QString::fromUtf8(labelText), this, false);
    // The pane is as narrow as the user makes the side panel: the sentence wraps to the
    // pane's width and the label grows to the lines that takes.
    label->setMinimumWidth(0);
    connect(label->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, label,
            [label](const QSizeF &size) { label->setFixedHeight(int(std::ceil(size.height()))); });
    m_add = newIconButton(QStringLiteral("&Add"), "plus.png", "add", this);
    m_edit = newIconButton(QStringLiteral("&Edit"), "magnify.png", "edit", this);
    m_remove = newIconButton(QStringLiteral("&Remove"), "x.png", "remove", this);
    m_options = newIconButton(QStringLiteral("&Options"), "options.png", "options", this);
    m_list = new PanelListEmailMatch(listTitle, this, "emails");
    m_help = new VLHelpPushButton(this, helpKey);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);
    grid->addWidget(label, 0, 0, 1, 4);
    grid->addWidget(m_add, 1, 1);
    grid->addWidget(m_edit, 1, 2);
    grid->addWidget(m_remove, 1, 3);
    grid->addWidget(m_options, 2, 2);
    grid->addWidget(m_help, 2, 3);
    grid->addWidget(m_list, 3, 0, 1, 4);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(3, 1);
    VLPanel::setTabOrder(m_add, m_edit, m_remove, m_options, m_help, nullptr);

    m_list->setButtons(m_add, m_edit, m_remove, nullptr);
    connect(m_list, &PanelListEmailMatch::sigChanged, this, &PanelSideEmails::slotChanged);
    connect(m_options, &QPushButton::clicked, this, &PanelSideEmails::slotOptions);

    m_reload = new PaneReload(this, [this] { reload(); });
}

void PanelSideEmails::loadList(StoreListEmailMatch *store) {
    const bool first = !m_store;
    m_store = store;
    if (first) {
        m_list->load(*m_store);
        m_loaded = m_list->list();
        return;
    }
    m_reload->request();
}

void PanelSideEmails::reload() {
    if (!m_store)
        return;
    // The row the user was on stays current, found by its entry; the view stays where it was.
    const int row = m_list->currentRow();
    const bool hadRow = row >= 0 && row < m_list->list().entries.size();
    const DataEmailMatch current = hadRow ? m_list->list().entries.at(row) : DataEmailMatch();
    const int scroll = m_list->verticalScrollBar()->value();

    m_list->load(*m_store);
    m_loaded = m_list->list();

    if (hadRow && m_list->rowCount() > 0) {
        const QList<DataEmailMatch> &entries = m_loaded.entries;
        int found = -1;
        for (int i = 0; i < entries.size(); ++i) {
            if (entries.at(i).address == current.address && entries.at(i).wildcard == current.wildcard) {
                found = i;
                break;
            }
        }
        if (found < 0)
            found = qMin(row, m_list->rowCount() - 1);
        m_list->setCurrentCell(found, listtable::Text);
    }
    m_list->verticalScrollBar()->setValue(scroll);
}

void PanelSideEmails::writeList(unsigned delayMs) {
    if (!m_store)
        return;
    DataListEmailMatch edited;
    m_list->save(edited);
    static_cast<DataListEmailMatch &>(*m_store) = applyListEdits(*m_store, m_loaded, edited);
    // Later edits are measured from what the table now shows, whether or not the reload
    // has come yet.
    m_loaded = edited;
    m_store->setChanged(true);
    if (delayMs > 0)
        m_store->saveDelayed(delayMs);
    else
        (void)m_store->saveToStore();
}

void PanelSideEmails::openTools(const char *page) {
    DialogTools dialog(this, "tools");
    dialog.loadFromStore();
    dialog.raisePage(page);
    if (dialog.exec() != QDialog::Accepted)
        return;
    dialog.saveToStore();
    (void)StoreListEmailMatch::friends()->saveToStore();
    (void)StoreListEmailMatch::blacklist()->saveToStore();
}

PanelSideFriends::PanelSideFriends(QWidget *parent, const char *name)
    : PanelSideEmails("Friends list",
                      "Any email received from a checked email address in this list will automatically be "
                      "marked as legitimate",
                      "How_to_manage_the_Friends_list", parent, name) {}

void PanelSideFriends::slotChanged() {
    writeList(kListSaveDelayMs);
}

void PanelSideFriends::slotOptions() {
    openTools("friends");
}

void PanelSideFriends::loadFromStore() {
    loadList(StoreListEmailMatch::friends());
}

void PanelSideFriends::saveToStore() {
    writeList(0);
}

PanelSideBlacklist::PanelSideBlacklist(QWidget *parent, const char *name)
    : PanelSideEmails("Blacklist",
                      "Any message received from a checked email address in this list will automatically be "
                      "marked for deletion",
                      "How_to_manage_the_Blacklist", parent, name) {}

void PanelSideBlacklist::slotChanged() {
    writeList(kListSaveDelayMs);
}

void PanelSideBlacklist::slotOptions() {
    openTools("blacklist");
}

void PanelSideBlacklist::loadFromStore() {
    loadList(StoreListEmailMatch::blacklist());
}

void PanelSideBlacklist::saveToStore() {
    writeList(0);
}
