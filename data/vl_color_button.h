#pragma once
// A small square button showing a colour; a click lets the user choose another one.

#include <QString>
#include <QToolButton>

class VLColorButton : public QToolButton {
    Q_OBJECT
public:
    VLColorButton(QWidget *parent, const char *name);

    // Stores the colour name (#rrggbb) and paints the button with it; a name that is no
    // colour is kept as it is and the button shows the default look.
    void setValue(const QString &colorName);
    [[nodiscard]] QString value() const { return m_value; }

public slots:
    // Opens the colour dialog "colordlg" on the current colour; a confirmed valid choice
    // becomes the value, a cancelled dialog changes nothing.
    void slotClicked();

private:
    QString m_value;
};
