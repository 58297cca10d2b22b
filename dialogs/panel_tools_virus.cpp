#include "panel_tools_virus.h"

#include "data/data_radio_set.h"
#include "data/data_tools_virus.h"
#include "tools_actions_box_p.h"
#include "vl_group_box.h"
#include "vl_rt_label.h"

#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// A checkable frame with a sentence and two radio buttons; unchecked, it disables them.
VLGroupBox *newChoiceBox(const QString &title, const char *name, const QString &question, QRadioButton *first,
                         QRadioButton *second, QWidget *parent) {
    auto *box = new VLGroupBox(1, Qt::Horizontal, parent, name);
    box->setTitle(title);
    box->setCheckable(true);
    auto *layout = new QVBoxLayout(box);
    layout->setSpacing(10);
    layout->addWidget(new QLabel(question, box));
    for (QRadioButton *button : {first, second}) {
        button->setParent(box);
        layout->addWidget(button);
    }
    return box;
}

} // namespace

PanelToolsVirus::PanelToolsVirus(QWidget *parent, const char *name)
    : PanelTitled("&Virus warning", parent, name) {
    QWidget *page = widget();
    auto *note =
        new VLRTLabel(QStringLiteral("Velloran Pro is not a dedicated anti-virus product and should not be "
                                     "treated as such. However, viruses exhibit known traits, which Velloran "
                                     "Pro can act on or provide a warning."),
                      page, false);

    QRadioButton *mp1 = newRadioButton(QStringLiteral("&Mark for deletion"), "mp1", page);
    QRadioButton *mp2 =
        newRadioButton(QStringLiteral("&Automatically delete (without notification)"), "mp2", page);
    m_possible =
        newChoiceBox(QStringLiteral("Automatically mark email which &possibly contains a virus"), "possible",
                     QStringLiteral("When an email possibly contains a virus"), mp1, mp2, page);
    m_actPossible = new DataRadioSet(this, mp1, mp2);

    QRadioButton *mk1 = newRadioButton(QStringLiteral("Mark &for deletion"), "mk1", page);
    QRadioButton *mk2 =
        newRadioButton(QStringLiteral("Automatically &delete (without notification)"), "mk2", page);
    m_known = newChoiceBox(QStringLiteral("Automatically mark email which contains a &known virus"), "known",
                           QStringLiteral("When an email contains a known virus"), mk1, mk2, page);
    m_actKnown = new DataRadioSet(this, mk1, mk2);

    auto *top = new QVBoxLayout(page);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    top->addWidget(note);
    top->addWidget(m_possible);
    top->addWidget(m_known);
    top->addStretch(1);

    VLPanel::setTabOrder(m_possible, mp1, mp2, m_known, mk1, mk2, nullptr);
}

void PanelToolsVirus::load(const DataToolsVirus &virus) {
    Data::load(virus.markPossible, m_possible);
    Data::load(virus.actPossible, m_actPossible);
    Data::load(virus.markKnown, m_known);
    Data::load(virus.actKnown, m_actKnown);
}

void PanelToolsVirus::save(DataToolsVirus &virus) const {
    Data::save(virus.markPossible, m_possible);
    Data::save(virus.actPossible, m_actPossible);
    Data::save(virus.markKnown, m_known);
    Data::save(virus.actKnown, m_actKnown);
}
