#include "data_radio_set.h"

#include <QRadioButton>
#include <QSignalBlocker>

DataRadioSet::DataRadioSet(QObject *parent, QRadioButton *button1, QRadioButton *button2,
                           QRadioButton *button3, QRadioButton *button4)
    : QObject(parent), m_buttons{nullptr, button1, button2, button3, button4} {
    for (int i = 1; i <= 4; ++i) {
        if (!m_buttons[i])
            continue;
        // Qt's exclusivity would refuse to leave no button checked and would switch buttons
        // of another set under the same parent.
        m_buttons[i]->setAutoExclusive(false);
        connect(m_buttons[i], &QRadioButton::toggled, this, &DataRadioSet::slotToggled);
    }
    if (m_buttons[1])
        m_buttons[1]->setChecked(true);
}

int DataRadioSet::value() const {
    for (int i = 1; i <= 4; ++i)
        if (m_buttons[i] && m_buttons[i]->isChecked())
            return i;
    return 0;
}

int DataRadioSet::positionOf(const QObject *button) const {
    for (int i = 1; i <= 4; ++i)
        if (button && m_buttons[i] == button)
            return i;
    return 0;
}

void DataRadioSet::setValue(int value) {
    if (value < 1 || value > 4 || !m_buttons[value]) {
        // Nothing to show: check none, so that the number is not replaced by a guess.
        for (int i = 1; i <= 4; ++i) {
            if (!m_buttons[i])
                continue;
            const QSignalBlocker block(m_buttons[i]);
            m_buttons[i]->setChecked(false);
        }
        return;
    }
    // Live signals: the button turning on unchecks the others and reports the change; one
    // turned off before that is put back by slotToggled until then.
    for (int i = 1; i <= 4; ++i)
        if (m_buttons[i])
            m_buttons[i]->setChecked(i == value);
}

void DataRadioSet::slotToggled(bool on) {
    const int position = positionOf(sender());
    if (!position)
        return;
    QRadioButton *button = m_buttons[position];
    if (!on) {
        // A button cannot be switched off by itself, only by another one turning on.
        const QSignalBlocker block(button);
        button->setChecked(true);
        return;
    }
    for (int i = 1; i <= 4; ++i) {
        if (!m_buttons[i] || i == position)
            continue;
        const QSignalBlocker block(m_buttons[i]);
        m_buttons[i]->setChecked(false);
    }
    emit sigValueChanged(position);
}
