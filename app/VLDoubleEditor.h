#pragma once
// The learning cell's editor while the cell is current: its two boxes side by side.

#include <QWidget>

class VLCheckBox;

class VLDoubleEditor : public QWidget {
    Q_OBJECT
public:
    explicit VLDoubleEditor(QWidget *parent);

    [[nodiscard]] VLCheckBox *box1() const { return m_box1; }
    [[nodiscard]] VLCheckBox *box2() const { return m_box2; }
    void setBoxes(VLCheckBox *box1, VLCheckBox *box2);

private:
    VLCheckBox *m_box1 = nullptr;
    VLCheckBox *m_box2 = nullptr;
};
