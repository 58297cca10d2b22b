#include "panel_list_match_options.h"

#include "data/data_list_matches.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox *daysBox(QWidget *parent, const char *name) {
    auto *box = new QSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setRange(1, 999);
    box->setSingleStep(1);
    return box;
}

} // namespace

PanelListMatchOptions::PanelListMatchOptions(QWidget *parent, const char *name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    auto *group = new QGroupBox(QStringLiteral("List Options"), this);
    group->setObjectName(QStringLiteral("group"));

    m_expireEmail =
        new QCheckBox(QStringLiteral("&Expire unused email addresses from the list after"), group);
    m_expireEmail->setObjectName(QStringLiteral("expireemail"));
    m_expireEmailAfter = daysBox(group, "expireemailafter");
    m_expireWildcard =
        new QCheckBox(QStringLiteral("E&xpire unused wildcard expressions from the list after"), group);
    m_expireWildcard->setObjectName(QStringLiteral("expirewildcard"));
    m_expireWildcardAfter = daysBox(group, "expirewildcardafter");
    m_sortByDomain = new QCheckBox(QStringLiteral("&Sort email in the list by domain"), group);

    // Three columns filled row by row: check box, day count, unit.
    auto *grid = new QGridLayout(group);
    grid->addWidget(m_expireEmail, 0, 0);
    grid->addWidget(m_expireEmailAfter, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("days"), group), 0, 2);
    grid->addWidget(m_expireWildcard, 1, 0);
    grid->addWidget(m_expireWildcardAfter, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("days"), group), 1, 2);
    grid->addWidget(m_sortByDomain, 2, 0);

    auto *top = new QVBoxLayout(this);
    top->setContentsMargins(20, 20, 20, 20);
    top->setSpacing(10);
    top->addWidget(group);
    top->addStretch(1); // a taller dialog keeps the options together at the top
    setTabOrder(m_expireEmail, m_expireEmailAfter);
    setTabOrder(m_expireEmailAfter, m_expireWildcard);
    setTabOrder(m_expireWildcard, m_expireWildcardAfter);
    setTabOrder(m_expireWildcardAfter, m_sortByDomain);
}

void PanelListMatchOptions::load(const DataListMatchOptions &options) {
    Data::load(options.expireEmail, m_expireEmail);
    Data::load(options.expireEmailAfter, m_expireEmailAfter);
    Data::load(options.expireWildcard, m_expireWildcard);
    Data::load(options.expireWildcardAfter, m_expireWildcardAfter);
    Data::load(options.sortByDomain, m_sortByDomain);
}

void PanelListMatchOptions::save(DataListMatchOptions &options) const {
    Data::save(options.expireEmail, m_expireEmail);
    Data::save(options.expireEmailAfter, m_expireEmailAfter);
    Data::save(options.expireWildcard, m_expireWildcard);
    Data::save(options.expireWildcardAfter, m_expireWildcardAfter);
    Data::save(options.sortByDomain, m_sortByDomain);
}

DialogListMatchOptions::DialogListMatchOptions(QWidget *parent, const char *name)
    : VLDialog(QStringLiteral("List Options"), parent, name),
      m_panel(new PanelListMatchOptions(this, "panel")) {
    layout()->addWidget(m_panel);
    addOKCancel();
}
