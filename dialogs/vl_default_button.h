#pragma once
// A "Use default" button tied to a line edit: enabled while the edit differs from the
// default, a press puts the default back.

#include <QPushButton>
#include <QString>

class QLineEdit;

class VLDefaultButton : public QPushButton {
    Q_OBJECT
public:
    VLDefaultButton(const QString &text, QWidget *parent, const char *name);
    VLDefaultButton(QWidget *parent, const char *name);

    // Watches the edit; the enabled state follows from the next change or setDefault.
    void setLineEdit(QLineEdit *edit);
    void setDefault(const QString &text);

public slots:
    void slotClicked();
    void slotChanged();

private:
    QLineEdit *m_edit = nullptr;
    QString m_default;
};
