#pragma once
// A group box whose check box is its keyboard stop: the frames of the tool pages that
// switch a whole feature on and off.

#include <QGroupBox>

class VLGroupBox : public QGroupBox {
    Q_OBJECT
public:
    // Strips and orientation are the owner's layout to make; the box takes no layout.
    VLGroupBox(int strips, Qt::Orientation orientation, QWidget *parent, const char *name);

protected:
    // Checkable, the box's own title check takes the focus; otherwise the box keeps it
    // instead of passing it to a child.
    void focusInEvent(QFocusEvent *event) override;
};
