#pragma once
// Building blocks that the three learning tabs share.

#include <QString>

class QCheckBox;
class QGridLayout;
class QGroupBox;
class QWidget;
class VLColorSpinner;

namespace ToolsLearning {

// The tab's grid: the first check box spans row 0, everything below is indented by an
// empty column 0, and column 4 takes the spare width.
QGridLayout *tabGrid(QWidget *tab);

// The "Action" box ("action") that the tab fills top to bottom.
QGroupBox *actionBox(QWidget *tab);

// A sentence in the action box.
void addLabel(QGroupBox *box, const QString &text);
// A check box in the action box.
QCheckBox *addCheckBox(QGroupBox *box, const QString &text, const char *name);

// "Color the entire row" with its colour spinner beside it, on one line of the action box.
struct ColorRow {
    QCheckBox *check;
    VLColorSpinner *spinner;
};
ColorRow addColorRow(QGroupBox *box, char colorSet);

} // namespace ToolsLearning
