#pragma once
// One of the learning cell's two boxes: box 1 marks spam, box 2 legitimate mail. When on it
// shows its mark instead of the style's tick.

#include <QCheckBox>

class DataEmailStatus;

class VLCheckBox : public QCheckBox {
    Q_OBJECT
public:
    // status (not owned) chooses the mark: greyed when the classifier already agrees.
    VLCheckBox(QWidget *parent, int box, const DataEmailStatus &status);

    [[nodiscard]] int box() const { return m_box; }
    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    // The indicator is drawn in the middle: the whole box answers a click.
    [[nodiscard]] bool hitButton(const QPoint &pos) const override;

private:
    int m_box;
    const DataEmailStatus &m_status;
};
