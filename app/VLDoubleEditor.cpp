#include "VLDoubleEditor.h"

VLDoubleEditor::VLDoubleEditor(QWidget *parent) : QWidget(parent) {}

void VLDoubleEditor::setBoxes(VLCheckBox *box1, VLCheckBox *box2) {
    m_box1 = box1;
    m_box2 = box2;
}
