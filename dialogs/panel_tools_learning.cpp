#include "panel_tools_learning.h"

#include "data/data_tools_learning.h"
#include "data/vl_color_spinner.h"
#include "panel_tab_widget.h"
#include "panel_tools_learning_learn.h"
#include "panel_tools_learning_legit.h"
#include "panel_tools_learning_p.h"
#include "panel_tools_learning_spam.h"
#include "tools_actions_box_p.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <cstdio>

namespace ToolsLearning {

QGridLayout *tabGrid(QWidget *tab) {
    auto *grid = new QGridLayout(tab);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);
    grid->setColumnMinimumWidth(0, 10);
    grid->setColumnStretch(4, 1);
    return grid;
}

QGroupBox *actionBox(QWidget *tab) {
    auto *box = new QGroupBox(QStringLiteral("&Action"), tab);
    box->setObjectName(QStringLiteral("action"));
    auto *layout = new QVBoxLayout(box);
    layout->setSpacing(10);
    return box;
}

void addLabel(QGroupBox *box, const QString &text) {
    auto *label = new QLabel(text, box);
    label->setWordWrap(true);
    box->layout()->addWidget(label);
}

QCheckBox *addCheckBox(QGroupBox *box, const QString &text, const char *name) {
    QCheckBox *check = newCheckBox(text, name, box);
    box->layout()->addWidget(check);
    return check;
}

ColorRow addColorRow(QGroupBox *box, char colorSet) {
    auto *line = new QWidget(box);
    ColorRow row{newCheckBox(QStringLiteral("&Color the entire row"), "colorrow", line),
                 new VLColorSpinner(line, "usecolor")};
    row.spinner->setColorSet(colorSet);
    auto *layout = new QHBoxLayout(line);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(row.check);
    layout->addWidget(row.spinner);
    layout->addStretch(1);
    box->layout()->addWidget(line);
    return row;
}

} // namespace ToolsLearning

PanelToolsLearning::PanelToolsLearning(QWidget *parent, const char *name)
    : PanelTitled("&Teach Velloran Pro to recognize spam and legitimate email", parent, name) {
    QWidget *page = widget();
    m_tabber = new PanelTabWidget(page, "tabber");
    m_learn = new PanelToolsLearningLearn(m_tabber, "learn");
    m_spam = new PanelToolsLearningSpam(m_tabber, "spam");
    m_legit = new PanelToolsLearningLegit(m_tabber, "legit");
    m_tabber->addPanel(m_learn, m_learn, QStringLiteral("&Learning"));
    m_tabber->addPanel(m_spam, m_spam, QStringLiteral("Recognizing &spam"));
    m_tabber->addPanel(m_legit, m_legit, QStringLiteral("Recognizing &email"));
    m_tabber->setCurrentWidget(m_learn);

    auto *top = new QVBoxLayout(page);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    top->addWidget(m_tabber);
}

void PanelToolsLearning::load(const DataToolsLearning &learning) {
    m_learn->load(learning.learn);
    m_spam->load(learning.spam);
    m_legit->load(learning.legit);
}

void PanelToolsLearning::save(DataToolsLearning &learning) const {
    m_learn->save(learning.learn);
    m_spam->save(learning.spam);
    m_legit->save(learning.legit);
}

void PanelToolsLearning::focusFirstWidget() {
    std::fprintf(stderr, "PanelToolsLearning::focusFirstWidget: called\n");
    m_tabber->slotCurrentChanged(m_tabber->currentWidget());
}
