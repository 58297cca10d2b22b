#include "tools_tool_button.h"

#include "panel_tools.h"

#include <QIcon>
#include <QPixmap>

ToolsToolButton::ToolsToolButton(const char *imageBase, const QString &textLabel, PanelTools *tools,
                                 QWidget *page, QWidget *parent, const char *name)
    : QToolButton(parent), m_tools(tools), m_page(page) {
    setObjectName(QLatin1String(name));
    const QString base = QStringLiteral(":/vlImages/") + QLatin1String(imageBase);
    QIcon icon;
    icon.addPixmap(QPixmap(base + QStringLiteral("Normal.png")), QIcon::Normal, QIcon::Off);
    icon.addPixmap(QPixmap(base + QStringLiteral("Active.png")), QIcon::Active, QIcon::Off);
    setIcon(icon);
    setIconSize(QSize(32, 32));
    setText(textLabel);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setCheckable(true);
    setAutoRaise(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &QToolButton::clicked, this, &ToolsToolButton::slotClicked);
    connect(this, &QToolButton::toggled, tools, &PanelTools::slotToggled);
}

void ToolsToolButton::slotClicked() {
    m_tools->raisePage(m_page);
}
