#include "panel_tools_emails.h"

#include "data/data_radio_set.h"
#include "data/data_tools.h"
#include "data/store_list_matches.h"
#include "list_edits.h"
#include "tools_actions_box_p.h"
#include "vl_rt_label.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

PanelToolsEmails::PanelToolsEmails(const char *listCaption, const char *title, QWidget *parent,
                                   const char *name)
    : PanelTitled(title, parent, name) {
    QWidget *body = widget();
    m_list = new PanelListEmailMatch(listCaption, body, "emaillist");
    m_add = newIconButton(QStringLiteral("&Add"), "plus.png", "add", body);
    m_edit = newIconButton(QStringLiteral("&Edit"), "magnify.png", "edit", body);
    m_remove = newIconButton(QStringLiteral("Remo&ve"), "x.png", "remove", body);
    m_options = newIconButton(QStringLiteral("&Options"), "options.png", "options", body);

    m_grid = new QGridLayout(body);
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setSpacing(10);
    m_action = new QGroupBox(QStringLiteral("Ac&tion"), body);
    m_action->setObjectName(QStringLiteral("action"));
    new QVBoxLayout(m_action);

    m_grid->addWidget(m_list, 0, 0, 5, 1);
    m_grid->addWidget(m_add, 0, 1);
    m_grid->addWidget(m_edit, 1, 1);
    m_grid->addWidget(m_remove, 2, 1);
    m_grid->addWidget(m_options, 0, 3);
    m_grid->addWidget(m_action, 4, 1, 1, 3);
    m_grid->setRowStretch(3, 1);
    m_grid->setColumnStretch(0, 1);

    m_list->setButtons(m_add, m_edit, m_remove, m_options);
}

void PanelToolsEmails::loadList(StoreListEmailMatch *store) {
    m_store = store;
    m_list->load(*store);
    m_loaded = m_list->list();
}

void PanelToolsEmails::saveList() {
    if (!m_store)
        return;
    DataListEmailMatch edited;
    m_list->save(edited);
    const DataListEmailMatch merged = applyListEdits(*m_store, m_loaded, edited);
    static_cast<DataListEmailMatch &>(*m_store) = merged;
    m_loaded = edited;
    m_store->setChanged(true);
    (void)m_store->saveToStore();
}

PanelToolsFriends::PanelToolsFriends(QWidget *parent, const char *name)
    : PanelToolsEmails("Friends list", "Friend&s List", parent, name) {
    auto *box = static_cast<QVBoxLayout *>(m_action->layout());
    box->addWidget(new VLRTLabel(QStringLiteral("When an email is from a person in your friends list :-"),
                                 m_action, false));
    QRadioButton *display = newRadioButton(QStringLiteral("&Display the Email"), "display", m_action);
    QRadioButton *hide = newRadioButton(QStringLiteral("Hide the E&mail"), "hide", m_action);
    box->addWidget(display);
    box->addWidget(hide);
    m_radio = new DataRadioSet(this, display, hide);
    VLPanel::setTabOrder(m_add, m_edit, m_remove, m_options, display, hide, nullptr);
}

void PanelToolsFriends::load(const DataToolsFriends &friends) {
    Data::load(friends.action, m_radio);
}

void PanelToolsFriends::save(DataToolsFriends &friends) const {
    Data::save(friends.action, m_radio);
}

void PanelToolsFriends::loadFromStore() {
    loadList(StoreListEmailMatch::friends());
}

void PanelToolsFriends::saveToStore() {
    saveList();
}

PanelToolsBlacklist::PanelToolsBlacklist(QWidget *parent, const char *name)
    : PanelToolsEmails("Blacklist", "&Blacklist", parent, name) {
    auto *box = static_cast<QVBoxLayout *>(m_action->layout());
    box->addWidget(new VLRTLabel(QStringLiteral("When an email is from a person in your blocklist :-"),
                                 m_action, false));
    m_delete = newCheckBox(QStringLiteral("Mark email for &deletion"), "delete", m_action);
    m_bounce = newCheckBox(QStringLiteral("Mark email for boun&cing"), "bounce", m_action);
    box->addWidget(m_delete);
    box->addWidget(m_bounce);
    box->addWidget(new VLRTLabel(QStringLiteral("Perform the action :-"), m_action, false));
    QRadioButton *display =
        newRadioButton(QStringLiteral("On \"&Process Mail\" (recommended)"), "display", m_action);
    QRadioButton *hide =
        newRadioButton(QStringLiteral("Automatically (&without notification)"), "hide", m_action);
    box->addWidget(display);
    box->addWidget(hide);
    m_radio = new DataRadioSet(this, display, hide);
    VLPanel::setTabOrder(m_add, m_edit, m_remove, m_options, m_delete, m_bounce, display, hide, nullptr);
}

void PanelToolsBlacklist::load(const DataToolsBlacklist &blacklist) {
    Data::load(blacklist.markDelete, m_delete);
    Data::load(blacklist.markBounce, m_bounce);
    Data::load(blacklist.action, m_radio);
}

void PanelToolsBlacklist::save(DataToolsBlacklist &blacklist) const {
    Data::save(blacklist.markDelete, m_delete);
    Data::save(blacklist.markBounce, m_bounce);
    Data::save(blacklist.action, m_radio);
}

void PanelToolsBlacklist::loadFromStore() {
    loadList(StoreListEmailMatch::blacklist());
}

void PanelToolsBlacklist::saveToStore() {
    saveList();
}
