#include "panel_tab_widget.h"

#include <cstdio>

PanelTabWidget::PanelTabWidget(QWidget *parent, const char *name) : QTabWidget(parent) {
    setObjectName(QLatin1String(name));
    connect(this, &QTabWidget::currentChanged, this,
            [this](int index) { slotCurrentChanged(widget(index)); });
}

void PanelTabWidget::addPanel(QWidget *page, VLPanel *panel, const QString &label) {
    addTab(page, label);
    m_panels.insert(page, panel);
}

void PanelTabWidget::slotCurrentChanged(QWidget *page) {
    VLPanel *panel = m_panels.value(page);
    std::fprintf(stderr, "PanelTabWidget::slotCurrentChanged: current=%p widget=%p\n",
                 static_cast<void *>(page), static_cast<void *>(panel));
    if (panel)
        panel->focusFirstWidget();
}
