#pragma once
// The "Actions" box that the DNS blacklist and Tallowmark pages share: what happens to a
// message known as spam, and when. Both records name these fields alike.

#include "data/data.h"
#include "data/data_radio_set.h"

#include <QGroupBox>
#include <QList>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QRadioButton;

// A check box, radio button or line edit with its object name, for the tool pages.
QCheckBox *newCheckBox(const QString &text, const char *name, QWidget *parent);
QRadioButton *newRadioButton(const QString &text, const char *name, QWidget *parent);
QLineEdit *newLineEdit(const char *name, QWidget *parent);
// A push button with an icon of the embedded images ("plus.png"), and a small arrow tool
// button fixed to its size hint, for the list pages and panes.
QPushButton *newIconButton(const QString &text, const char *image, const char *name, QWidget *parent);
QToolButton *newArrowButton(const char *image, const char *name, QWidget *parent);
// A field's caption, whose mnemonic focuses the field.
QLabel *newCaption(const QString &text, QWidget *field, QWidget *parent);

class ToolsActionsBox : public QGroupBox {
    Q_OBJECT
public:
    explicit ToolsActionsBox(QWidget *parent);

    template <class Record> void load(const Record &record) {
        Data::load(record.addToBlacklist, m_addToBlacklist);
        Data::load(record.markForDeletion, m_markForDeletion);
        Data::load(record.markForBouncing, m_markForBouncing);
        Data::load(record.displayOrHide, m_displayOrHide);
        Data::load(record.whence, m_whence);
    }
    template <class Record> void save(Record &record) const {
        Data::save(record.addToBlacklist, m_addToBlacklist);
        Data::save(record.markForDeletion, m_markForDeletion);
        Data::save(record.markForBouncing, m_markForBouncing);
        Data::save(record.displayOrHide, m_displayOrHide);
        Data::save(record.whence, m_whence);
    }

    // The box's controls in their tab order.
    [[nodiscard]] QList<QWidget *> tabOrder() const;

private:
    QCheckBox *m_addToBlacklist;
    QCheckBox *m_markForDeletion;
    QCheckBox *m_markForBouncing;
    QRadioButton *m_display;
    QRadioButton *m_hide;
    QRadioButton *m_onProcess;
    QRadioButton *m_automatic;
    DataRadioSet *m_displayOrHide;
    DataRadioSet *m_whence;
};
