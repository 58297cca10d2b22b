#pragma once
// The dialog that the runner's scripts drive: one widget of every kind a script can name,
// on two tab pages, and a button that opens a second named dialog a little later.

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QTableWidget;

namespace vltest {

class TrialFixtureDialog : public QDialog {
public:
    // How long after its button is clicked the second dialog opens.
    static constexpr int SecondDelayMs = 300;

    TrialFixtureDialog();

    QTabWidget *tabs;
    QWidget *pageOne;
    QWidget *pageTwo;
    QLineEdit *userName;
    QCheckBox *remember;
    QGroupBox *useProxy;
    QRadioButton *typePop;
    QRadioButton *typeImap;
    QListWidget *addresses;
    QComboBox *servers;
    QTableWidget *rules;
    QComboBox *ruleKind; // the combo cell at (0,0)
    QPushButton *openSecond;
    // Named "secondDialog"; kept between openings, so it stays behind hidden once closed.
    QDialog *second;
    // What each run of the second dialog's exec() gave.
    QList<int> secondResults;
};

// Runs dialog.exec() with a bound: when it runs out, every open dialog is rejected (the
// innermost first) and timedOut is set. Gives exec()'s result.
int execBounded(QDialog &dialog, int boundMs, bool &timedOut);

} // namespace vltest
