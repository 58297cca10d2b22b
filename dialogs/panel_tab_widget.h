#pragma once
// Tabbed pages, each page a panel; a page that becomes current focuses its first widget.

#include "vl_panel.h"

#include <QHash>
#include <QTabWidget>

class PanelTabWidget : public QTabWidget, public VLPanel {
    Q_OBJECT
    Q_INTERFACES(VLPanel)
public:
    PanelTabWidget(QWidget *parent, const char *name);

    // Adds the page as a tab with that label and remembers its panel (usually the page
    // itself seen through its other base).
    void addPanel(QWidget *page, VLPanel *panel, const QString &label);

public slots:
    void slotCurrentChanged(QWidget *page);

private:
    QHash<QWidget *, VLPanel *> m_panels;
};
