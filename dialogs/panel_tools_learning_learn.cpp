#include "panel_tools_learning_learn.h"

#include "data/data_tools_learning_learn.h"
#include "panel_tools_learning_p.h"
#include "tools_actions_box_p.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>

using namespace ToolsLearning;

PanelToolsLearningLearn::PanelToolsLearningLearn(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    QGridLayout *grid = tabGrid(this);
    m_teach =
        newCheckBox(QStringLiteral("Teach &Velloran to recognize spam and legitimate email"), "teach", this);
    m_limitArchive = newCheckBox(QStringLiteral("Limit learning a&rchive to"), "limitarchive", this);
    m_maxArchiveSize = new QSpinBox(this);
    m_maxArchiveSize->setObjectName(QStringLiteral("maxarchivesize"));
    m_maxArchiveSize->setRange(0, 99);
    m_maxArchiveSize->setSingleStep(1);
    grid->addWidget(m_teach, 0, 0, 1, 5);
    grid->addWidget(m_limitArchive, 1, 1);
    grid->addWidget(m_maxArchiveSize, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("MB per category"), this), 1, 3);

    QGroupBox *action = actionBox(this);
    addLabel(action,
             QStringLiteral("If while using the learning column, you specify an email as being spam"));
    m_markBlacklist = addCheckBox(action, QStringLiteral("Mark sender for &black listing"), "markblacklist");
    m_markDelete = addCheckBox(action, QStringLiteral("Mark for &deletion"), "markdelete");
    m_markBounce = addCheckBox(action, QStringLiteral("Mark for b&ouncing"), "markbounce");
    m_markTallowmark =
        addCheckBox(action, QStringLiteral("Mark for reporting to Tallow&mark!"), "marktallowmark");
    m_markSpamCop = addCheckBox(action, QStringLiteral("Mark for reporting to Spam&Cop"), "markspamcop");
    addLabel(action,
             QStringLiteral("If while using the learning column, you specify an email as being legitimate"));
    m_addFriend = addCheckBox(action, QStringLiteral("Add to the &friends list"), "addfriend");
    grid->addWidget(action, 2, 1, 1, 4);
    grid->setRowStretch(3, 1);

    VLPanel::setTabOrder(m_teach, m_limitArchive, m_maxArchiveSize, m_markBlacklist, m_markDelete,
                         m_markBounce, m_markTallowmark, m_markSpamCop, m_addFriend, nullptr);
}

// A stored size above the spin box's range shows as 99 and is kept unless the user
// changes it (the binding remembers what was loaded).
void PanelToolsLearningLearn::load(const DataToolsLearningLearn &learn) {
    Data::load(learn.teach, m_teach);
    Data::load(learn.limitArchive, m_limitArchive);
    Data::load(learn.maxArchiveSize, m_maxArchiveSize);
    Data::load(learn.markBlacklist, m_markBlacklist);
    Data::load(learn.markDelete, m_markDelete);
    Data::load(learn.markBounce, m_markBounce);
    Data::load(learn.markTallowmark, m_markTallowmark);
    Data::load(learn.markSpamCop, m_markSpamCop);
    Data::load(learn.addFriend, m_addFriend);
}

void PanelToolsLearningLearn::save(DataToolsLearningLearn &learn) const {
    Data::save(learn.teach, m_teach);
    Data::save(learn.limitArchive, m_limitArchive);
    Data::save(learn.maxArchiveSize, m_maxArchiveSize);
    Data::save(learn.markBlacklist, m_markBlacklist);
    Data::save(learn.markDelete, m_markDelete);
    Data::save(learn.markBounce, m_markBounce);
    Data::save(learn.markTallowmark, m_markTallowmark);
    Data::save(learn.markSpamCop, m_markSpamCop);
    Data::save(learn.addFriend, m_addFriend);
}
