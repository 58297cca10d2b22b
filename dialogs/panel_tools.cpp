#include "panel_tools.h"

#include "data/store_tools.h"
#include "panel_help.h"
#include "panel_tools_emails.h"
#include "panel_tools_filter.h"
#include "panel_tools_learning.h"
#include "panel_tools_origin.h"
#include "panel_tools_spamcop.h"
#include "panel_tools_tm.h"
#include "panel_tools_virus.h"
#include "tools_tool_button.h"
#include "vl_panel.h"

#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QToolBox>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>

namespace {

// One tool-box item: a plain widget holding its buttons one under the other.
QWidget *newGroup(const char *name, QToolBox *toolbox, const QString &label) {
    auto *group = new QWidget(toolbox);
    group->setObjectName(QLatin1String(name));
    auto *column = new QVBoxLayout(group);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(4);
    column->addStretch(1);
    toolbox->addItem(group, label);
    return group;
}

} // namespace

PanelTools::PanelTools(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));

    m_toolbox = new QToolBox(this);
    m_toolbox->setObjectName(QStringLiteral("toolbox"));
    m_toolbox->setFrameShape(QFrame::StyledPanel);
    m_toolbox->setFrameShadow(QFrame::Sunken);
    QWidget *filters = newGroup("filters", m_toolbox, QStringLiteral("F&ilters and Lists"));
    QWidget *learning = newGroup("learning", m_toolbox, QStringLiteral("Virus and Lear&ning"));
    QWidget *misc = newGroup("misc", m_toolbox, QStringLiteral("Miscellaneo&us"));

    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("stack"));
    auto *group = new QGroupBox(QStringLiteral("Help and information"), this);
    group->setObjectName(QStringLiteral("group"));
    m_info = new QTextBrowser(group);
    m_info->setObjectName(QStringLiteral("info"));
    auto *groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_info);

    m_friends = new PanelToolsFriends(m_stack, "friends");
    m_blacklist = new PanelToolsBlacklist(m_stack, "blacklist");
    m_filter = new PanelToolsFilter(m_stack, "filter");
    m_learning = new PanelToolsLearning(m_stack, "learning");
    m_virus = new PanelToolsVirus(m_stack, "virus");
    m_origin = new PanelToolsOrigin(m_stack, "origin");
    m_spamcop = new PanelToolsSpamCop(m_stack, "spamcop");
    m_tm = new PanelToolsTM(m_stack, "tm");
    const QList<QPair<QWidget *, VLPanel *>> pages = {
        {m_friends, m_friends}, {m_blacklist, m_blacklist}, {m_filter, m_filter},   {m_learning, m_learning},
        {m_virus, m_virus},     {m_origin, m_origin},       {m_spamcop, m_spamcop}, {m_tm, m_tm}};
    for (const auto &[page, panel] : pages) {
        m_stack->addWidget(page);
        m_panels.insert(page, panel);
    }

    struct ButtonSpec {
        QWidget *group;
        const char *name;
        const char *image;
        const char *label;
        QWidget *page;
    };
    const ButtonSpec specs[] = {
        {filters, "friends", "Friendslist", "&Friends List", m_friends},
        {filters, "blacklist", "Blacklist", "Blac&klist", m_blacklist},
        {filters, "filter", "Filters", "Filte&rs", m_filter},
        {learning, "virus", "Virus", "Virus &Warning", m_virus},
        {learning, "learning", "Learning", "Learnin&g", m_learning},
        {misc, "spamcop", "SpamCop", "Spam&Cop", m_spamcop},
        {misc, "tm", "Tallowmark", "Tallowmar&k!", m_tm},
        {misc, "origin", "Origin", "Origin o&f Spam", m_origin},
    };
    QHash<QByteArray, ToolsToolButton *> byName;
    for (const ButtonSpec &s : specs) {
        auto *button =
            new ToolsToolButton(s.image, QString::fromUtf8(s.label), this, s.page, s.group, s.name);
        auto *column = static_cast<QVBoxLayout *>(s.group->layout());
        column->insertWidget(column->count() - 1, button);
        byName.insert(s.name, button);
    }

    m_helpKeys.insert("friends", "How_to_manage_the_Friends_list");
    m_helpKeys.insert("blacklist", "How_to_manage_the_Blacklist");
    m_helpKeys.insert("filter", "How_to_manage_Filters");
    m_helpKeys.insert("learning", "How_to_customize_Learning_options");
    m_helpKeys.insert("virus", "How_to_customize_Virus_warning_options");
    m_helpKeys.insert("spamcop", "How_to_customize_SpamCop_options");
    m_helpKeys.insert("origin", "How_to_customize_Origin_of_Spam_options");

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_toolbox);
    auto *column = new QVBoxLayout;
    column->setContentsMargins(10, 10, 10, 10);
    column->setSpacing(10);
    column->addWidget(m_stack, 1);
    column->addWidget(group);
    row->addLayout(column, 1);

    for (const char *n : {"friends", "blacklist", "filter", "learning", "virus", "origin", "spamcop", "tm"})
        m_buttons.append(byName.value(n));
    m_current = m_friends;
    // Wide enough for the buttons and for the item titles, which the size hint leaves out.
    int width = m_toolbox->sizeHint().width();
    for (int i = 0; i < m_toolbox->count(); ++i) {
        const QString title = m_toolbox->itemText(i).remove(QLatin1Char('&'));
        width = qMax(width, m_toolbox->fontMetrics().horizontalAdvance(title) + 64);
    }
    m_toolbox->setMinimumWidth(width);
    raisePage(m_friends);
    byName.value("friends")->setChecked(true);

    PanelHelp::create(this, m_info);
    PanelHelp::addHelpList("panel_tools.help", {m_buttons.begin(), m_buttons.end()});

    // An address added to one list leaves the other at once, in the dialog.
    connect(m_friends->listEmailMatch(), &PanelListEmailMatch::sigAddedEmail, m_blacklist->listEmailMatch(),
            &PanelListEmailMatch::slotRemoveEmail);
    connect(m_blacklist->listEmailMatch(), &PanelListEmailMatch::sigAddedEmail, m_friends->listEmailMatch(),
            &PanelListEmailMatch::slotRemoveEmail);

    connect(m_stack, &QStackedWidget::currentChanged, this,
            [this](int index) { slotAboutToShow(m_stack->widget(index)); });
}

void PanelTools::raisePage(QWidget *page) {
    if (!page || m_stack->indexOf(page) < 0)
        return;
    m_stack->setCurrentWidget(page);
    m_current = page;
    VLPanel *panel = m_panels.value(page);
    fprintf(stderr, "PanelTools::raisePage: %p->%p\n", static_cast<void *>(page), static_cast<void *>(panel));
    if (panel)
        panel->focusFirstWidget();
}

void PanelTools::raisePage(const char *name) {
    if (!name)
        return;
    for (ToolsToolButton *button : m_buttons) {
        if (std::strcmp(name, button->page()->objectName().toLatin1().constData()) != 0)
            continue;
        raisePage(button->page());
        // A page opened by name is as good as chosen by its button: its button lights,
        // and its group opens so the lit button shows.
        button->setChecked(true);
        if (QWidget *group = button->parentWidget())
            m_toolbox->setCurrentWidget(group);
        return;
    }
}

QByteArray PanelTools::helpKey() const {
    const QByteArray name = m_current->objectName().toLatin1();
    fprintf(stderr, "PanelTools::helpKey: name=[%s]\n", name.constData());
    return m_helpKeys.value(name);
}

void PanelTools::load(const DataTools &tools) {
    m_friends->load(tools.friends);
    m_blacklist->load(tools.blacklist);
    m_filter->load(tools.filter);
    m_learning->load(tools.learning);
    m_virus->load(tools.virus);
    m_origin->load(tools.origin);
    m_spamcop->load(tools.spamcop);
    m_tm->load(tools.tm);
}

void PanelTools::save(DataTools &tools) {
    m_friends->save(tools.friends);
    m_blacklist->save(tools.blacklist);
    m_filter->save(tools.filter);
    m_learning->save(tools.learning);
    m_virus->save(tools.virus);
    m_origin->save(tools.origin);
    m_spamcop->save(tools.spamcop);
    m_tm->save(tools.tm);
}

void PanelTools::loadFromStore() {
    m_store = StoreTools::tools();
    load(*m_store);
    m_friends->loadFromStore();
    m_blacklist->loadFromStore();
    m_filter->loadFromStore();
}

void PanelTools::saveToStore() {
    if (m_store) {
        save(*m_store);
        m_store->setChanged(true);
        (void)m_store->saveToStore();
    }
    m_friends->saveToStore();
    m_blacklist->saveToStore();
    m_filter->saveToStore();
}

void PanelTools::slotToggled(bool on) {
    if (!on)
        return;
    QObject *lit = sender();
    for (ToolsToolButton *button : m_buttons)
        if (button != lit)
            button->setChecked(false);
}

void PanelTools::slotAboutToShow(QWidget *page) {
    const bool help = page && !m_helpKeys.value(page->objectName().toLatin1()).isEmpty();
    emit sigEnableHelp(help);
}
