#pragma once
// The widget tests, one per script type. Each names the script's widget class in its
// messages, whatever class stands for it here: "QListBox" is a list widget, "QTable" any
// table view, "QButton" any button.

#include "trial_test.h"

// "QDialog": accept or reject the dialog under test (empty path) or a window that an earlier
// action opened, found by its exact object name.
class TrialTestDialog : public TrialTest {
public:
    TrialTestDialog(TrialRunner *runner, const QString &path, Action action, const QVariant &value);
    int action(QObject *widget) override;
    QObject *find(const QString &path) override;
};

// "QCheckBox": set or check the check mark.
class TrialTestCheckBox : public TrialTest {
public:
    using TrialTest::TrialTest;
    int action(QObject *widget) override;
};

// "QGroupBox": set or check the group box's own check mark.
class TrialTestGroupBox : public TrialTest {
public:
    using TrialTest::TrialTest;
    int action(QObject *widget) override;
};

// "QRadioButton": set, check or click.
class TrialTestRadioButton : public TrialTest {
public:
    using TrialTest::TrialTest;
    int action(QObject *widget) override;
};

// "QPushButton": check the text (mnemonic markers aside) or click; any button will do.
class TrialTestPushButton : public TrialTest {
public:
    using TrialTest::TrialTest;
    int action(QObject *widget) override;
};

// "QLineEdit": set or check the text.
class TrialTestLineEdit : public TrialTest {
public:
    using TrialTest::TrialTest;
    int action(QObject *widget) override;
};

// "QTabWidget": raise the page whose name the value gives.
class TrialTestTabWidget : public TrialTest {
public:
    using TrialTest::TrialTest;
    int action(QObject *widget) override;
};

// "QListBox": add an item at the end or remove the first of that text.
class TrialTestListBox : public TrialTest {
public:
    using TrialTest::TrialTest;
    int action(QObject *widget) override;
};

// "QComboBox": add an entry at the end or remove the first of that text.
class TrialTestComboBox : public TrialTest {
public:
    using TrialTest::TrialTest;
    int action(QObject *widget) override;
};

// "QTable": set one cell (a combo cell's index, a check cell's mark, else the text) or make
// a row current.
class TrialTestTable : public TrialTest {
public:
    TrialTestTable(TrialRunner *runner, const QString &path, Action action, const QVariant &value, int row,
                   int col);
    int action(QObject *widget) override;

private:
    int setCell(class QTableView *table);

    int m_row;
    int m_col;
};
