#include "vl_color_button.h"

#include <QColorDialog>

VLColorButton::VLColorButton(QWidget *parent, const char *name) : QToolButton(parent) {
    setObjectName(QLatin1String(name));
    setFixedSize(20, 20);
    connect(this, &QToolButton::clicked, this, &VLColorButton::slotClicked);
}

void VLColorButton::setValue(const QString &colorName) {
    m_value = colorName;
    const QColor colour(colorName);
    if (!colour.isValid()) {
        setPalette(QPalette());
        setAutoFillBackground(false);
        return;
    }
    QPalette pal = palette();
    pal.setColor(QPalette::Button, colour);
    pal.setColor(QPalette::Window, colour);
    setPalette(pal);
    setAutoFillBackground(true);
}

void VLColorButton::slotClicked() {
    // Our own dialog rather than the platform's, so that it has a name scripts can find.
    QColorDialog dialog(QColor(m_value), this);
    dialog.setObjectName(QStringLiteral("colordlg"));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QColor chosen = dialog.selectedColor();
    if (chosen.isValid())
        setValue(chosen.name());
}
