#include "vl_panel.h"

#include <QGroupBox>
#include <QLineEdit>

#include <cstring>

QWidget *fixFocus(QWidget *w) {
    if (!w)
        return w;
    // By exact class: subclasses (such as VLGroupBox) manage their focus themselves.
    const char *cls = w->metaObject()->className();
    if (!std::strcmp(cls, "QToolButton") || !std::strcmp(cls, "QRadioButton")) {
        if (w->focusPolicy() != Qt::StrongFocus)
            w->setFocusPolicy(Qt::StrongFocus);
        return w;
    }
    if (!std::strcmp(cls, "QGroupBox")) {
        auto *box = static_cast<QGroupBox *>(w);
        // The title's check box is drawn by the group box itself, which then takes the focus
        // and toggles on Space.
        if (box->isCheckable() && box->focusPolicy() != Qt::StrongFocus)
            box->setFocusPolicy(Qt::StrongFocus);
    }
    return w;
}

VLPanel::~VLPanel() = default;

void VLPanel::focusFirstWidget() {
    if (!m_first)
        return;
    m_first->setFocus();
    if (auto *edit = qobject_cast<QLineEdit *>(m_first))
        edit->setSelection(0, 1024);
}

void VLPanel::setTabOrderList(const QList<QWidget *> &widgets) {
    if (widgets.isEmpty())
        return;
    m_first = widgets.first();
    QWidget *prev = m_first;
    for (qsizetype i = 1; i < widgets.size() && widgets[i]; ++i) {
        QWidget *a = fixFocus(prev);
        QWidget *b = fixFocus(widgets[i]);
        QWidget::setTabOrder(a, b);
        prev = b;
    }
}
