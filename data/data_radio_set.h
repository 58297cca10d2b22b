#pragma once
// Up to four radio buttons read as one number: the position (1 to 4) of the checked button.
// The set keeps at most one button checked itself, so the buttons' own auto-exclusivity is
// switched off; a number that names no button checks none and reads back as 0.

#include <QObject>

#include <array>

class QRadioButton;

class DataRadioSet : public QObject {
    Q_OBJECT
public:
    // button1 is required; the others may be null. Checks button 1.
    DataRadioSet(QObject *parent, QRadioButton *button1, QRadioButton *button2 = nullptr,
                 QRadioButton *button3 = nullptr, QRadioButton *button4 = nullptr);

    // Position of the first checked button, 0 when none is checked.
    [[nodiscard]] int value() const;
    // Checks the button at that position and unchecks the others; a position without a
    // button unchecks all. Emits sigValueChanged when another button became checked.
    void setValue(int value);

signals:
    void sigValueChanged(int position);

public slots:
    void slotToggled(bool on);

private:
    [[nodiscard]] int positionOf(const QObject *button) const;

    // Positions 1 to 4; position 0 stays empty so that a position is its own index.
    std::array<QRadioButton *, 5> m_buttons{};
};
