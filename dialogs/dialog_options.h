#pragma once
// The options dialog: the options record on its three tabs, with OK, Cancel and Help.

#include "vl_dialog.h"

#include <QString>

class DataOptions;
class PanelOptions;

class DialogOptions : public VLDialog {
    Q_OBJECT
public:
    DialogOptions(QWidget *parent, const char *name);

    void loadFromStore();
    QString saveToStore();
    void load(const DataOptions &options);
    void save(DataOptions &options) const;

    [[nodiscard]] PanelOptions *panel() const { return m_panel; }

signals:
    // The Summary tab's confirmed requests, passed on as they come.
    void sigClearLogs();
    void sigEmptyBin();

private:
    PanelOptions *m_panel;
};
