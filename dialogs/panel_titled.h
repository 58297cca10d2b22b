#pragma once
// A titled frame around one page; the page's controls and layout go into widget().

#include <QGroupBox>

class PanelTitled : public QGroupBox {
    Q_OBJECT
public:
    PanelTitled(QWidget *parent, const char *name);
    PanelTitled(const char *title, QWidget *parent, const char *name);

    // The inner widget "panelwidget", created on the first call.
    QWidget *widget();
};
