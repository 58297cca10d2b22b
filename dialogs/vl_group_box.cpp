#include "vl_group_box.h"

#include <cstdio>

VLGroupBox::VLGroupBox(int, Qt::Orientation, QWidget *parent, const char *name) : QGroupBox(parent) {
    setObjectName(QLatin1String(name));
}

void VLGroupBox::focusInEvent(QFocusEvent *event) {
    std::fprintf(stderr, "VLGroupBox::focusInEvent: checkable=%d\n", isCheckable() ? 1 : 0);
    QWidget::focusInEvent(event);
}
