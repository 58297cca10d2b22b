#pragma once
// The friends and blacklist pages of the spam tools: the address list with its Add, Edit,
// Remove and Options buttons, and an "Action" box with what happens to mail that matches.
// The list lives in its own store and is written only by saveToStore; the action settings
// belong to the tools record.

#include "data/data_list_matches.h"
#include "panel_list_email_match.h"
#include "panel_titled.h"
#include "vl_panel.h"

class DataRadioSet;
class DataToolsBlacklist;
class DataToolsFriends;
class QCheckBox;
class QGridLayout;
class QGroupBox;
class QPushButton;
class QRadioButton;
class StoreListEmailMatch;

class PanelToolsEmails : public PanelTitled, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelToolsEmails(const char *listCaption, const char *title, QWidget *parent, const char *name);

    [[nodiscard]] PanelListEmailMatch *listEmailMatch() const { return m_list; }

protected:
    // Loads the store's list into the editor and remembers both.
    void loadList(StoreListEmailMatch *store);
    // Applies the editor's changes to the store's list as it is now and saves it at once;
    // nothing when no store was loaded.
    void saveList();

    PanelListEmailMatch *m_list;
    QPushButton *m_add;
    QPushButton *m_edit;
    QPushButton *m_remove;
    QPushButton *m_options;
    QGridLayout *m_grid;
    QGroupBox *m_action;

private:
    StoreListEmailMatch *m_store = nullptr;
    // The list as the editor got it: what the user's edits are measured against.
    DataListEmailMatch m_loaded;
};

class PanelToolsFriends : public PanelToolsEmails {
    Q_OBJECT
public:
    PanelToolsFriends(QWidget *parent, const char *name);

    void load(const DataToolsFriends &friends);
    void save(DataToolsFriends &friends) const;
    void loadFromStore();
    void saveToStore();

private:
    DataRadioSet *m_radio;
};

class PanelToolsBlacklist : public PanelToolsEmails {
    Q_OBJECT
public:
    PanelToolsBlacklist(QWidget *parent, const char *name);

    void load(const DataToolsBlacklist &blacklist);
    void save(DataToolsBlacklist &blacklist) const;
    void loadFromStore();
    void saveToStore();

private:
    QCheckBox *m_delete;
    QCheckBox *m_bounce;
    DataRadioSet *m_radio;
};
