#pragma once
// The friends and blacklist panes beside the mail table. Each edits its stored list
// directly: an edit goes into the store's record at once (which tells the mail list to
// rescan) and to the file two seconds later. The store's change notice brings the pane
// back in step; that reload is always deferred to the event loop, never run inside the
// pane's own handling of a click or a dialog, and keeps the row the user was on.

#include "data/data_list_matches.h"
#include "vl_panel.h"

#include <QWidget>

class PaneReload;
class PanelListEmailMatch;
class QPushButton;
class StoreListEmailMatch;
class VLHelpPushButton;

class PanelSideEmails : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelSideEmails(const char *listTitle, const char *labelText, const char *helpKey, QWidget *parent,
                    const char *name);

    [[nodiscard]] PanelListEmailMatch *listEmailMatch() const { return m_list; }

public slots:
    virtual void slotChanged() = 0;
    virtual void slotOptions() = 0;

protected:
    // The first call fills the pane at once; every later one asks for one deferred reload.
    void loadList(StoreListEmailMatch *store);
    // Applies the pane's edits to the store's list as it is now, marks the store changed
    // and saves it after delayMs (at once for 0); nothing before the first load.
    void writeList(unsigned delayMs);
    // The tools dialog on one of its pages; when accepted, both address lists are saved.
    void openTools(const char *page);

private:
    void reload();

    PanelListEmailMatch *m_list;
    QPushButton *m_add;
    QPushButton *m_edit;
    QPushButton *m_remove;
    QPushButton *m_options;
    VLHelpPushButton *m_help;
    StoreListEmailMatch *m_store = nullptr;
    // The list the pane's table is an edit of.
    DataListEmailMatch m_loaded;
    PaneReload *m_reload;
};

class PanelSideFriends : public PanelSideEmails {
    Q_OBJECT
public:
    PanelSideFriends(QWidget *parent, const char *name);

public slots:
    void slotChanged() override;
    void slotOptions() override;
    void loadFromStore();
    void saveToStore();
};

class PanelSideBlacklist : public PanelSideEmails {
    Q_OBJECT
public:
    PanelSideBlacklist(QWidget *parent, const char *name);

public slots:
    void slotChanged() override;
    void slotOptions() override;
    void loadFromStore();
    void saveToStore();
};
