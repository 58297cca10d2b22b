#pragma once
// The virus page of the spam tools: what the virus heuristics do with a message that may
// carry a virus and with one that carries a known virus.

#include "panel_titled.h"
#include "vl_panel.h"

class DataRadioSet;
class DataToolsVirus;
class VLGroupBox;

class PanelToolsVirus : public PanelTitled, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelToolsVirus(QWidget *parent, const char *name);

    void load(const DataToolsVirus &virus);
    void save(DataToolsVirus &virus) const;

private:
    VLGroupBox *m_possible;
    DataRadioSet *m_actPossible;
    VLGroupBox *m_known;
    DataRadioSet *m_actKnown;
};
