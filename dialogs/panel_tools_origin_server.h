#pragma once
// The editor of one DNS blacklist server: its display name and its zone, as a panel and as
// the small dialog "DNS Blacklist Servers" around it. Whether the server is in use is the
// list's business, not the editor's.

#include "vl_dialog.h"

#include <QWidget>

class DataToolsOriginServer;
class QLineEdit;

class PanelToolsOriginServer : public QWidget {
    Q_OBJECT
public:
    PanelToolsOriginServer(QWidget *parent, const char *name);

    void load(const DataToolsOriginServer &server);
    void save(DataToolsOriginServer &server) const;

private:
    QLineEdit *m_name;
    QLineEdit *m_domain;
};

class DialogToolsOriginServer : public VLDialog {
    Q_OBJECT
public:
    DialogToolsOriginServer(QWidget *parent, const char *name);

    void load(const DataToolsOriginServer &server);
    void save(DataToolsOriginServer &server) const;

private:
    PanelToolsOriginServer *m_panel;
};
