#include "panel_tools_learning_spam.h"

#include "data/data_tools_learning_spam.h"
#include "data/vl_color_spinner.h"
#include "panel_tools_learning_p.h"
#include "tools_actions_box_p.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QToolButton>

using namespace ToolsLearning;

PanelToolsLearningSpam::PanelToolsLearningSpam(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    QGridLayout *grid = tabGrid(this);
    // The action box stays enabled without it: the choices are kept for when it is ticked.
    m_doAction = newCheckBox(QStringLiteral("If &Velloran recognizes the email as spam, specify which action "
                                            "should be taken"),
                             "doaction", this);
    grid->addWidget(m_doAction, 0, 0, 1, 5);

    QGroupBox *action = actionBox(this);
    addLabel(action, QStringLiteral("When an email is recognized as spam:"));
    m_markBlackList = addCheckBox(action, QStringLiteral("Mark sender for &black listing"), "markblacklist");
    m_markDelete = addCheckBox(action, QStringLiteral("Mark for &deletion"), "markdelete");
    m_markBounce = addCheckBox(action, QStringLiteral("Mark for b&ouncing"), "markbounce");
    m_displayEmail = addCheckBox(action, QStringLiteral("Dis&play the email"), "displayemail");
    const ColorRow color = addColorRow(action, 'R');
    m_colorRow = color.check;
    m_useColor = color.spinner;
    grid->addWidget(action, 1, 1, 1, 4);
    grid->setRowStretch(2, 1);

    VLPanel::setTabOrder(m_doAction, m_markBlackList, m_markDelete, m_markBounce, m_displayEmail, m_colorRow,
                         m_useColor->buttonUp(), m_useColor->buttonDown(), nullptr);
}

void PanelToolsLearningSpam::load(const DataToolsLearningSpam &spam) {
    Data::load(spam.doAction, m_doAction);
    Data::load(spam.markBlackList, m_markBlackList);
    Data::load(spam.markDelete, m_markDelete);
    Data::load(spam.markBounce, m_markBounce);
    Data::load(spam.displayEmail, m_displayEmail);
    Data::load(spam.colorRow, m_colorRow);
    Data::load(spam.useColor, m_useColor);
}

void PanelToolsLearningSpam::save(DataToolsLearningSpam &spam) const {
    Data::save(spam.doAction, m_doAction);
    Data::save(spam.markBlackList, m_markBlackList);
    Data::save(spam.markDelete, m_markDelete);
    Data::save(spam.markBounce, m_markBounce);
    Data::save(spam.displayEmail, m_displayEmail);
    Data::save(spam.colorRow, m_colorRow);
    Data::save(spam.useColor, m_useColor);
}
