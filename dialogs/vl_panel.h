#pragma once
// Mix-in of every settings panel, beside its Qt widget base: the keyboard-focus chain of
// the panel's controls and the widget that gets the focus when the panel is shown.

#include <QList>
#include <QObject>
#include <QWidget>

// The widget that stands in the tab chain for w: tool and radio buttons are made to take
// part in tab navigation, and a checkable plain group box is its own tab stop.
QWidget *fixFocus(QWidget *w);

class VLPanel {
public:
    VLPanel() = default;
    virtual ~VLPanel();

    // Focuses the first widget of the chain; a line edit gets its text selected.
    virtual void focusFirstWidget();

    // Chains the widgets in this order, up to the first null; the first one is the widget
    // focused when the panel is shown. Panels call it qualified, as VLPanel::setTabOrder,
    // beside the widget base's own static setTabOrder.
    template <typename... More> void setTabOrder(QWidget *first, More... more) {
        setTabOrderList({first, static_cast<QWidget *>(more)...});
    }
    void setTabOrderList(const QList<QWidget *> &widgets);

    [[nodiscard]] QWidget *firstWidget() const { return m_first; }

private:
    QWidget *m_first = nullptr;
};

#define VLPanel_iid "example.brindlecot.Velloran.VLPanel"
Q_DECLARE_INTERFACE(VLPanel, VLPanel_iid)
