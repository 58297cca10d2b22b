#include "panel_tools_learning_legit.h"

#include "data/data_tools_learning_legit.h"
#include "data/vl_color_spinner.h"
#include "panel_tools_learning_p.h"
#include "tools_actions_box_p.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QToolButton>

using namespace ToolsLearning;

PanelToolsLearningLegit::PanelToolsLearningLegit(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    QGridLayout *grid = tabGrid(this);
    m_doAction =
        newCheckBox(QStringLiteral("If &Velloran recognizes the email as legitimate, specify which action "
                                   "should be taken"),
                    "doaction", this);
    grid->addWidget(m_doAction, 0, 0, 1, 5);

    QGroupBox *action = actionBox(this);
    addLabel(action, QStringLiteral("When an email is recognized as being legitimate:"));
    m_markFriend = addCheckBox(
        action, QStringLiteral("Mark sender for addition to the &friends list (not always recommended)"),
        "markfriend");
    m_displayEmail = addCheckBox(action, QStringLiteral("Dis&play the email"), "displayemail");
    const ColorRow color = addColorRow(action, 'G');
    m_colorRow = color.check;
    m_useColor = color.spinner;
    grid->addWidget(action, 1, 1, 1, 4);
    grid->setRowStretch(2, 1);

    VLPanel::setTabOrder(m_doAction, m_markFriend, m_displayEmail, m_colorRow, m_useColor->buttonUp(),
                         m_useColor->buttonDown(), nullptr);
}

void PanelToolsLearningLegit::load(const DataToolsLearningLegit &legit) {
    Data::load(legit.doAction, m_doAction);
    Data::load(legit.markFriend, m_markFriend);
    Data::load(legit.displayEmail, m_displayEmail);
    Data::load(legit.colorRow, m_colorRow);
    Data::load(legit.useColor, m_useColor);
}

void PanelToolsLearningLegit::save(DataToolsLearningLegit &legit) const {
    Data::save(legit.doAction, m_doAction);
    Data::save(legit.markFriend, m_markFriend);
    Data::save(legit.displayEmail, m_displayEmail);
    Data::save(legit.colorRow, m_colorRow);
    Data::save(legit.useColor, m_useColor);
}
