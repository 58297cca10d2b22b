#pragma once
// The "Spam Tools" dialog around the tools panel, with OK, Cancel and a Help button that
// opens the help topic of the page shown (disabled on a page without one).

#include "vl_dialog.h"

class DataTools;
class PanelTools;

class DialogTools : public VLDialog {
    Q_OBJECT
public:
    DialogTools(QWidget *parent, const char *name);

    void loadFromStore();
    void saveToStore();
    void load(const DataTools &tools);
    void save(DataTools &tools);
    void raisePage(const char *name);

    [[nodiscard]] PanelTools *panel() const { return m_panel; }

public slots:
    void slotHelp();
    void slotEnableHelp(bool enable);

private:
    PanelTools *m_panel;
};
