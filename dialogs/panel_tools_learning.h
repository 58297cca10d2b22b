#pragma once
// The learning page of the spam tools: how the Bayesian classifier is taught and what the
// scanner does with its verdicts, on three tabs.

#include "panel_titled.h"
#include "vl_panel.h"

class DataToolsLearning;
class PanelTabWidget;
class PanelToolsLearningLearn;
class PanelToolsLearningLegit;
class PanelToolsLearningSpam;

class PanelToolsLearning : public PanelTitled, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelToolsLearning(QWidget *parent, const char *name);

    void load(const DataToolsLearning &learning);
    void save(DataToolsLearning &learning) const;

    // Focuses the first control of the tab that is showing, whichever it is.
    void focusFirstWidget() override;

private:
    PanelTabWidget *m_tabber;
    PanelToolsLearningLearn *m_learn;
    PanelToolsLearningSpam *m_spam;
    PanelToolsLearningLegit *m_legit;
};
