#include "vl_progress_bar.h"

VLProgressBar::VLProgressBar(int totalSteps, QWidget *parent, const char *name) : QProgressBar(parent) {
    setObjectName(QLatin1String(name));
    setRange(0, totalSteps);
    reset();
    setTextVisible(true);
    setAlignment(Qt::AlignCenter);
}

void VLProgressBar::setText(const QString &text) {
    m_text = text;
    update();
}
