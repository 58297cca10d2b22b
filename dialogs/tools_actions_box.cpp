#include "tools_actions_box_p.h"

#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

QCheckBox *newCheckBox(const QString &text, const char *name, QWidget *parent) {
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QRadioButton *newRadioButton(const QString &text, const char *name, QWidget *parent) {
    auto *button = new QRadioButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QPushButton *newIconButton(const QString &text, const char *image, const char *name, QWidget *parent) {
    auto *button = new QPushButton(QIcon(QStringLiteral(":/vlImages/") + QLatin1String(image)), text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QToolButton *newArrowButton(const char *image, const char *name, QWidget *parent) {
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(QIcon(QStringLiteral(":/vlImages/") + QLatin1String(image)));
    button->setFixedSize(button->sizeHint());
    return button;
}

QLineEdit *newLineEdit(const char *name, QWidget *parent) {
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    return edit;
}

QLabel *newCaption(const QString &text, QWidget *field, QWidget *parent) {
    auto *label = new QLabel(text, parent);
    label->setBuddy(field);
    return label;
}

ToolsActionsBox::ToolsActionsBox(QWidget *parent)
    : QGroupBox(QStringLiteral("Ac&tions"), parent),
      m_addToBlacklist(
          newCheckBox(QStringLiteral("Add the &sender to the blacklist"), "addToBlacklist", this)),
      m_markForDeletion(newCheckBox(QStringLiteral("&Mark the email for deletion"), "markForDeletion", this)),
      // The object name is spelled so in scripts and help files.
      m_markForBouncing(newCheckBox(QStringLiteral("Mark the email for b&ouncing"), "markForBoucing", this)),
      m_display(newRadioButton(QStringLiteral("Dis&play the email"), "display", this)),
      m_hide(newRadioButton(QStringLiteral("Hide the emai&l"), "hide", this)),
      m_onProcess(newRadioButton(QStringLiteral("On p&rocess email (recommended)"), "onprocess", this)),
      m_automatic(newRadioButton(QStringLiteral("Automaticall&y (without notification)"), "automatic", this)),
      m_displayOrHide(new DataRadioSet(this, m_display, m_hide)),
      m_whence(new DataRadioSet(this, m_onProcess, m_automatic)) {
    setObjectName(QStringLiteral("actions"));
    auto *line = new QFrame(this);
    line->setFrameStyle(QFrame::HLine | QFrame::Plain);
    line->setLineWidth(1);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(20, 20, 20, 20);
    grid->setSpacing(10);
    grid->addWidget(new QLabel(QStringLiteral("When an email is known to be spam:"), this), 0, 0, 1, 2);
    grid->addWidget(m_addToBlacklist, 1, 0);
    grid->addWidget(m_markForDeletion, 2, 0);
    grid->addWidget(m_markForBouncing, 3, 0);
    grid->addWidget(m_display, 1, 1);
    grid->addWidget(m_hide, 2, 1);
    grid->addWidget(line, 4, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Perform the action:"), this), 5, 0, 1, 2);
    grid->addWidget(m_onProcess, 6, 0);
    grid->addWidget(m_automatic, 7, 0);
}

QList<QWidget *> ToolsActionsBox::tabOrder() const {
    return {m_addToBlacklist, m_markForDeletion, m_markForBouncing, m_display,
            m_hide,           m_onProcess,       m_automatic};
}
