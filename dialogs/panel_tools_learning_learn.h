#pragma once
// The "Learning" tab: whether the classifier learns, how large its archive may grow, and
// which boxes are ticked in advance when the user marks a message as spam or legitimate.

#include "vl_panel.h"

#include <QWidget>

class DataToolsLearningLearn;
class QCheckBox;
class QSpinBox;

class PanelToolsLearningLearn : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelToolsLearningLearn(QWidget *parent, const char *name);

    void load(const DataToolsLearningLearn &learn);
    void save(DataToolsLearningLearn &learn) const;

private:
    QCheckBox *m_teach;
    QCheckBox *m_limitArchive;
    QSpinBox *m_maxArchiveSize;
    QCheckBox *m_markBlacklist;
    QCheckBox *m_markDelete;
    QCheckBox *m_markBounce;
    QCheckBox *m_markTallowmark;
    QCheckBox *m_markSpamCop;
    QCheckBox *m_addFriend;
};
