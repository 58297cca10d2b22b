#include "vl_default_button.h"

#include <QLineEdit>

VLDefaultButton::VLDefaultButton(const QString &text, QWidget *parent, const char *name)
    : QPushButton(text, parent) {
    setObjectName(QLatin1String(name));
    connect(this, &QPushButton::clicked, this, &VLDefaultButton::slotClicked);
}

VLDefaultButton::VLDefaultButton(QWidget *parent, const char *name)
    : VLDefaultButton(QString(), parent, name) {}

void VLDefaultButton::setLineEdit(QLineEdit *edit) {
    m_edit = edit;
    connect(edit, &QLineEdit::textChanged, this, &VLDefaultButton::slotChanged);
}

void VLDefaultButton::setDefault(const QString &text) {
    m_default = text;
    slotChanged();
}

void VLDefaultButton::slotChanged() {
    if (m_edit)
        setEnabled(m_edit->text() != m_default);
}

void VLDefaultButton::slotClicked() {
    if (m_edit)
        m_edit->setText(m_default);
    setEnabled(false);
}
