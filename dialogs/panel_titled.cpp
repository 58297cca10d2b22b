#include "panel_titled.h"

#include <QHBoxLayout>

PanelTitled::PanelTitled(QWidget *parent, const char *name) : QGroupBox(parent) {
    setObjectName(QLatin1String(name));
    new QHBoxLayout(this);
}

PanelTitled::PanelTitled(const char *title, QWidget *parent, const char *name) : PanelTitled(parent, name) {
    setTitle(QLatin1String(title));
}

QWidget *PanelTitled::widget() {
    const QString name = QStringLiteral("panelwidget");
    if (QWidget *inner = findChild<QWidget *>(name, Qt::FindDirectChildrenOnly))
        return inner;
    auto *inner = new QWidget(this);
    inner->setObjectName(name);
    layout()->addWidget(inner);
    return inner;
}
