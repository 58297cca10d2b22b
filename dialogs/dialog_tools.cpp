#include "dialog_tools.h"

#include "panel_tools.h"
#include "vl_help.h"

#include <QLayout>

#include <cstdio>

DialogTools::DialogTools(QWidget *parent, const char *name)
    : VLDialog(QStringLiteral("Spam Tools"), parent, name) {
    m_panel = new PanelTools(this, "panel");
    layout()->addWidget(m_panel);
    addOKCancel(this);
    connect(m_panel, &PanelTools::sigEnableHelp, this, &DialogTools::slotEnableHelp);
}

void DialogTools::loadFromStore() {
    m_panel->loadFromStore();
}

void DialogTools::saveToStore() {
    m_panel->saveToStore();
}

void DialogTools::load(const DataTools &tools) {
    m_panel->load(tools);
}

void DialogTools::save(DataTools &tools) {
    m_panel->save(tools);
}

void DialogTools::raisePage(const char *name) {
    m_panel->raisePage(name);
}

void DialogTools::slotHelp() {
    const QByteArray key = m_panel->helpKey();
    fprintf(stderr, "DialogTools::slotHelp: called: %s\n", key.constData());
    if (!key.isEmpty())
        VLHelp::self()->slotHelp(key.constData());
}

void DialogTools::slotEnableHelp(bool enable) {
    fprintf(stderr, "DialogTools::slotEnableHelp: enable=%d\n", int(enable));
    enableHelp(enable);
}
