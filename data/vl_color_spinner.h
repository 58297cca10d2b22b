#pragma once
// A colour chosen by stepping through a fixed set of shades with two small arrow buttons:
// white, then five ever stronger shades of red ('R') or green ('G').

#include <QColor>
#include <QList>
#include <QString>
#include <QWidget>

class QFrame;
class QToolButton;

class VLColorSpinner : public QWidget {
    Q_OBJECT
public:
    VLColorSpinner(QWidget *parent, const char *name);

    // 'R' or 'G' selects that set; anything else selects none. Index and swatch stay.
    void setColorSet(int set);
    // Shows the first shade of the set equal to the colour, white when none is; does
    // nothing while no set is selected.
    void setValue(const QString &colorName);
    // The shown shade as #rrggbb; white when no set is selected.
    [[nodiscard]] QString value() const;

    [[nodiscard]] QToolButton *buttonUp() const { return m_up; }
    [[nodiscard]] QToolButton *buttonDown() const { return m_down; }

public slots:
    void slotUp();
    void slotDown();

private:
    void paintSwatch();

    const QList<QColor> *m_set = nullptr;
    int m_index = 0;
    QToolButton *m_up;
    QToolButton *m_down;
    QFrame *m_swatch;
};
