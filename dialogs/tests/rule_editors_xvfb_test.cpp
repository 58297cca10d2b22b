// The rule editors on a real X display: each window's keyboard chain and mnemonics, the
// interface script, and a picture of every editor under the build's screenshots folder.
#include "data/data_list_filters.h"
#include "data/data_list_matches.h"
#include "panel_email_filter.h"
#include "panel_email_match.h"
#include "panel_list_email_filter.h"
#include "panel_list_email_match.h"
#include "panel_list_match_options.h"
#include "rule_test_support.h"

#include "GuiHelpers.h"

#include <gtest/gtest.h>

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace {

// The chain from the first widget of the panel on, as far as the dialog's own buttons.
QStringList chainFrom(QWidget *window, VLPanel *panel) {
    vltest::activate(window);
    panel->focusFirstWidget();
    return vltest::tabChain(window);
}

void expectCleanMnemonics(QWidget *window, const QStringList &exempt = {}) {
    EXPECT_EQ(vltest::mnemonicClashes(window), QStringList());
    EXPECT_EQ(vltest::missingMnemonics(window,
                                       QStringList{QStringLiteral("OK"), QStringLiteral("Cancel")} + exempt),
              QStringList());
}

TEST(RuleEditorsOnX, EntryDialogInBothKinds) {
    DialogEmailMatch dialog(QStringLiteral("Friends list"), nullptr, "EmailMatch");
    auto *panel = dialog.findChild<PanelEmailMatch *>(QStringLiteral("panel"));
    DataEmailMatch stored;
    stored.address = QStringLiteral("someone@example.com");
    dialog.load(stored);
    dialog.show();
    EXPECT_EQ(chainFrom(&dialog, panel), (QStringList{u"plain"_s, u"plainAddress"_s, u"wildcard"_s, u"OK"_s,
                                                      u"Cancel"_s})); // the wild box is off
    expectCleanMnemonics(&dialog);
    EXPECT_FALSE(vltest::saveScreenshot(&dialog, QStringLiteral("rules_entry_plain")).isEmpty());

    stored.wildcard = true;
    stored.address = QStringLiteral("*money*@*.com");
    dialog.load(stored);
    vltest::child<QLineEdit>(&dialog, QStringLiteral("testAddress"))
        ->setText(QStringLiteral("bigmoney@spam.com"));
    vltest::child<QPushButton>(&dialog, QStringLiteral("testButton"))->click();
    EXPECT_EQ(chainFrom(&dialog, panel),
              (QStringList{u"plain"_s, u"wildcard"_s, u"wildcardAddress"_s, u"testAddress"_s, u"testButton"_s,
                           u"OK"_s, u"Cancel"_s}));
    EXPECT_FALSE(vltest::saveScreenshot(&dialog, QStringLiteral("rules_entry_wildcard")).isEmpty());
}

TEST(RuleEditorsOnX, ListOptionsDialog) {
    DialogListMatchOptions dialog(nullptr, "options");
    DataListMatchOptions options;
    options.expireEmail = true;
    options.expireEmailAfter = 30;
    dialog.load(options);
    dialog.show();
    vltest::activate(&dialog);
    vltest::child<QWidget>(&dialog, QStringLiteral("expireemail"))->setFocus();
    EXPECT_EQ(
        vltest::tabChain(&dialog),
        (QStringList{u"expireemail"_s, u"expireemailafter"_s, u"expirewildcard"_s, u"expirewildcardafter"_s,
                     u"Sort email in the list by domain"_s, u"OK"_s, u"Cancel"_s}));
    expectCleanMnemonics(&dialog, {QStringLiteral("List Options")});
    EXPECT_FALSE(vltest::saveScreenshot(&dialog, QStringLiteral("rules_list_options")).isEmpty());
}

TEST(RuleEditorsOnX, FilterDialogWithRules) {
    DialogEmailFilter dialog(nullptr, "EmailFilter");
    auto *panel = dialog.findChild<PanelEmailFilter *>(QStringLiteral("panel"));
    DataEmailFilter filter;
    filter.filterName = QStringLiteral("Pharmacy");
    filter.displayOrHide = 2;
    filter.whence = 1;
    filter.allOrAny = 2;
    filter.statusDescription = QStringLiteral("Pills");
    filter.color = QStringLiteral("#ff9900");
    filter.markDelete = true;
    filter.rules = {DataEmailFilterRule(2, 1, QStringLiteral("pills")),
                    DataEmailFilterRule(1, 4, QStringLiteral("pharma.*@")),
                    DataEmailFilterRule(7, 5, QStringLiteral("X-Mailer: friendly"))};
    dialog.load(filter);
    dialog.show();
    EXPECT_EQ(chainFrom(&dialog, panel),
              (QStringList{u"name"_s,        u"precOverFriends"_s, u"display"_s,       u"hide"_s,
                           u"description"_s, u"legitimate"_s,      u"markBlacklist"_s, u"markDelete"_s,
                           u"markBounce"_s,  u"disableReport"_s,   u"onProcess"_s,     u"automatic"_s,
                           u"allRules"_s,    u"anyRule"_s,         u"addRule"_s,       u"removeRule"_s,
                           u"color"_s,       u"QComboBox"_s,       u"QComboBox"_s,     u"QComboBox"_s,
                           u"QComboBox"_s,   u"QComboBox"_s,       u"QComboBox"_s,     u"rules"_s,
                           u"OK"_s,          u"Cancel"_s}));
    expectCleanMnemonics(&dialog);
    EXPECT_FALSE(vltest::saveScreenshot(&dialog, QStringLiteral("rules_filter")).isEmpty());
}

TEST(RuleEditorsOnX, BothTables) {
    QWidget window;
    window.setObjectName(QStringLiteral("tables"));
    window.resize(640, 360);
    auto *layout = new QHBoxLayout(&window);

    auto *friendsBox = new QVBoxLayout;
    auto *friends = new PanelListEmailMatch("Friends list", &window, "friends");
    auto *add = new QPushButton(QStringLiteral("&Add"), &window);
    auto *edit = new QPushButton(QStringLiteral("&Edit"), &window);
    auto *remove = new QPushButton(QStringLiteral("&Remove"), &window);
    auto *options = new QPushButton(QStringLiteral("&Options"), &window);
    friends->setButtons(add, edit, remove, options);
    DataListEmailMatch list;
    for (const char *address : {"carol@gamma.org", "*@alpha.org", "bob@beta.org"}) {
        DataEmailMatch e;
        e.address = QLatin1String(address);
        e.wildcard = address[0] == '*';
        e.disabled = address[0] == 'b';
        list.entries.append(e);
    }
    friends->load(list);
    friendsBox->addWidget(friends);
    auto *friendButtons = new QHBoxLayout;
    for (QPushButton *b : {add, edit, remove, options})
        friendButtons->addWidget(b);
    friendsBox->addLayout(friendButtons);
    layout->addLayout(friendsBox);

    auto *filtersBox = new QVBoxLayout;
    auto *filters = new PanelListEmailFilter(&window, "filters");
    auto *fAdd = new QPushButton(QStringLiteral("A&dd filter"), &window);
    auto *fEdit = new QPushButton(QStringLiteral("Edi&t filter"), &window);
    auto *fRemove = new QPushButton(QStringLiteral("Re&move filter"), &window);
    auto *up = new QToolButton(&window);
    up->setArrowType(Qt::UpArrow);
    auto *down = new QToolButton(&window);
    down->setArrowType(Qt::DownArrow);
    filters->setButtons(fAdd, fEdit, fRemove, up, down);
    DataListEmailFilter filterList;
    for (const char *name : {"Pharmacy", "Newsletters", "Known senders"}) {
        DataEmailFilter f;
        f.filterName = QLatin1String(name);
        f.disabled = name[0] == 'N';
        filterList.filters.append(f);
    }
    filters->load(filterList);
    filters->setCurrentCell(1, 2);
    filtersBox->addWidget(filters);
    auto *filterButtons = new QHBoxLayout;
    for (QWidget *b : std::initializer_list<QWidget *>{fAdd, fEdit, fRemove, up, down})
        filterButtons->addWidget(b);
    filtersBox->addLayout(filterButtons);
    layout->addLayout(filtersBox);

    window.show();
    ASSERT_TRUE(vltest::activate(&window));
    EXPECT_TRUE(up->isEnabled());
    EXPECT_TRUE(down->isEnabled());
    EXPECT_FALSE(vltest::saveScreenshot(&window, QStringLiteral("rules_tables")).isEmpty());
}

TEST(RuleEditorsOnX, ScriptAddsATwoRuleFilter) {
    runTwoRuleFilterScript();
}

} // namespace
