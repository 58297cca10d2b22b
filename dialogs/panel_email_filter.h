#pragma once
// One spam filter: its name, priority, what happens to a matching message, when it
// applies and its table of rules (part of the message, comparison, text).

#include "vl_dialog.h"
#include "vl_panel.h"

#include <QStringList>
#include <QWidget>

class DataEmailFilter;
class DataEmailFilterRule;
class DataRadioSet;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;
class VLColorButton;

class PanelEmailFilter : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelEmailFilter(QWidget *parent, const char *name);

    // disabled is neither shown nor changed.
    void load(const DataEmailFilter &filter);
    // Rows with a part, a comparison and a text become rules; a stored rule the user left
    // alone is saved back as loaded; other rows are dropped.
    void save(DataEmailFilter &filter) const;
    // Commits the rule text being typed.
    void flush();
    // Why the rules cannot be saved as they stand, naming the row: a row the user added or
    // changed that is only partly filled, or whose regular expression does not compile.
    // Null when they can.
    [[nodiscard]] QString rulesProblem() const;

    // The texts of the codes of a rule's part and comparison; index 0, no choice, is empty.
    static const QStringList &headerList();
    static const QStringList &matchList();

public slots:
    void slotAddRule();
    void slotRemoveRule();

private:
    void addRuleRow(int header, int match, const QString &text, const DataEmailFilterRule *stored);
    [[nodiscard]] int comboIndex(int row, int column) const;
    [[nodiscard]] QString ruleText(int row) const;
    [[nodiscard]] bool rowAsLoaded(int row) const;
    void openTextEditor(int row, int column);
    void chainRuleCells();

    QLineEdit *m_name;
    QCheckBox *m_precOverFriends;
    QRadioButton *m_display;
    QRadioButton *m_hide;
    QLineEdit *m_description;
    VLColorButton *m_color;
    QCheckBox *m_legitimate;
    QCheckBox *m_markBlacklist;
    QCheckBox *m_markDelete;
    QCheckBox *m_markBounce;
    QCheckBox *m_disableReport;
    QRadioButton *m_onProcess;
    QRadioButton *m_automatic;
    QRadioButton *m_allRules;
    QRadioButton *m_anyRule;
    DataRadioSet *m_displayOrHide;
    DataRadioSet *m_whence;
    DataRadioSet *m_allOrAny;
    QTableWidget *m_rules;
    QPushButton *m_addRule;
    QPushButton *m_removeRule;
};

class DialogEmailFilter : public VLDialog {
    Q_OBJECT
public:
    DialogEmailFilter(QWidget *parent, const char *name);

    void load(const DataEmailFilter &filter) { m_panel->load(filter); }
    void save(DataEmailFilter &filter) const { m_panel->save(filter); }

public slots:
    // Commits the rule being typed; a rule that cannot be saved is named in a warning and
    // the dialog stays open.
    void accept() override;

private:
    PanelEmailFilter *m_panel;
};
