#pragma once
// One page button of the spam-tools dialog's tool box: a big picture over its label that
// lights while its page is the one chosen.

#include <QToolButton>

class PanelTools;

class ToolsToolButton : public QToolButton {
    Q_OBJECT
public:
    // The pictures are "<imageBase>Normal.png" and, under the pointer, "<imageBase>Active.png"
    // of the embedded images.
    ToolsToolButton(const char *imageBase, const QString &textLabel, PanelTools *tools, QWidget *page,
                    QWidget *parent, const char *name);

    [[nodiscard]] QWidget *page() const { return m_page; }

public slots:
    void slotClicked();

private:
    PanelTools *m_tools;
    QWidget *m_page;
};
