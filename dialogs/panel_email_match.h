#pragma once
// One entry of the friends list or the blacklist: a plain address or a wildcard
// expression, with a field to try the expression on an address.

#include "vl_dialog.h"
#include "vl_panel.h"

#include <QWidget>

class DataEmailMatch;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class PanelEmailMatch : public QWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelEmailMatch(QWidget *parent, const char *name);

    void load(const DataEmailMatch &entry);
    // Kind and address of the chosen field; disabled and lastUsed stay. A typed address
    // loses its surrounding blanks; an address left as loaded is saved as it was.
    void save(DataEmailMatch &entry) const;
    // The chosen field holds nothing but blanks (or no kind is chosen).
    [[nodiscard]] bool isEmpty() const;
    // The line edit of the chosen kind, null when none is chosen.
    [[nodiscard]] QLineEdit *chosenField() const;

public slots:
    void plainToggled(bool on);
    void wildcardToggled(bool on);
    void clickTest();

private:
    QRadioButton *m_plain;
    QGroupBox *m_plainBox;
    QLineEdit *m_plainAddress;
    QRadioButton *m_wildcard;
    QGroupBox *m_wildBox;
    QLineEdit *m_wildcardAddress;
    QLineEdit *m_testAddress;
    QPushButton *m_testButton;
    QLineEdit *m_testResult;
};

class DialogEmailMatch : public VLDialog {
    Q_OBJECT
public:
    DialogEmailMatch(const QString &caption, QWidget *parent, const char *name);

    void load(const DataEmailMatch &entry) { m_panel->load(entry); }
    void save(DataEmailMatch &entry) const { m_panel->save(entry); }

public slots:
    // An entry without an address would match every message without a sender: OK stays
    // without effect (the field gets the focus) until the chosen field holds one.
    void accept() override;

private:
    PanelEmailMatch *m_panel;
};
