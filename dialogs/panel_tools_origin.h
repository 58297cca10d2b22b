#pragma once
// The DNS blacklist page of the spam tools: whether message origins are looked up, the
// servers asked (in the order shown, each with its in-use check) and what happens to mail
// from a listed origin. The table is the page's working copy of the server list.

#include "panel_titled.h"
#include "vl_panel.h"

class DataToolsOrigin;
class DataToolsOriginServer;
class QPushButton;
class QTableWidget;
class ToolsActionsBox;
class VLGroupBox;
class VLTableOrder;

class PanelToolsOrigin : public PanelTitled, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    // Table columns: 0 and 4 are margins, 1 the in-use check, 2 the name, 3 the zone.
    enum Column { CheckColumn = 1, NameColumn = 2, DomainColumn = 3, ColumnCount = 5 };

    PanelToolsOrigin(QWidget *parent, const char *name);

    void load(const DataToolsOrigin &origin);
    void postLoad(const DataToolsOrigin &origin);
    void save(DataToolsOrigin &origin);
    void preSave(DataToolsOrigin &origin);

    // Fills a row from a server: a fresh check item (checked while in use), name, zone.
    void setServerData(int row, const DataToolsOriginServer &server);
    // The server a row shows.
    [[nodiscard]] DataToolsOriginServer serverData(int row) const;

public slots:
    void slotAdd();
    void slotEdit();
    void slotRemove();

private:
    // Edit and Delete act on the current row, so they are offered exactly while there is one.
    void updateButtons();

    VLGroupBox *m_checkDNS;
    QTableWidget *m_table;
    QPushButton *m_add;
    QPushButton *m_edit;
    QPushButton *m_delete;
    VLTableOrder *m_order;
    ToolsActionsBox *m_actions;
};
