#pragma once
// The "Recognizing spam" tab: what the scanner does with mail the classifier judges spam.

#include "vl_panel.h"

#include <QWidget>

class DataToolsLearningSpam;
class QCheckBox;
class VLColorSpinner;

class PanelToolsLearningSpam : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelToolsLearningSpam(QWidget *parent, const char *name);

    void load(const DataToolsLearningSpam &spam);
    void save(DataToolsLearningSpam &spam) const;

private:
    QCheckBox *m_doAction;
    QCheckBox *m_markBlackList;
    QCheckBox *m_markDelete;
    QCheckBox *m_markBounce;
    QCheckBox *m_displayEmail;
    QCheckBox *m_colorRow;
    VLColorSpinner *m_useColor;
};
