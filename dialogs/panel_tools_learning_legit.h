#pragma once
// The "Recognizing email" tab: what the scanner does with mail the classifier judges
// legitimate.

#include "vl_panel.h"

#include <QWidget>

class DataToolsLearningLegit;
class QCheckBox;
class VLColorSpinner;

class PanelToolsLearningLegit : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelToolsLearningLegit(QWidget *parent, const char *name);

    void load(const DataToolsLearningLegit &legit);
    void save(DataToolsLearningLegit &legit) const;

private:
    QCheckBox *m_doAction;
    QCheckBox *m_markFriend;
    QCheckBox *m_displayEmail;
    QCheckBox *m_colorRow;
    VLColorSpinner *m_useColor;
};
