// The spam-tools dialog offscreen: which page and button show, when Help is offered, the
// two address lists kept apart, what OK and Cancel write, and list edits made while the
// dialog is open meeting entries the scanner added meanwhile.
#include "tools_dialog_fixture.h"

#include "dialog_tools.h"
#include "panel_list_email_filter.h"
#include "panel_list_email_match.h"
#include "panel_tools.h"
#include "panel_tools_emails.h"
#include "panel_tools_filter.h"
#include "tools_tool_button.h"
#include "vl_help.h"

#include <QCheckBox>
#include <QDomDocument>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QToolButton>

using namespace toolsdlg;

namespace {

QString shownPage(const DialogTools &dialog) {
    return vltest::child<QStackedWidget>(dialog.panel(), QStringLiteral("stack"))
        ->currentWidget()
        ->objectName();
}

QStringList litButtons(const DialogTools &dialog) {
    QStringList lit;
    for (ToolsToolButton *b : dialog.panel()->buttons())
        if (b->isChecked())
            lit << b->objectName();
    return lit;
}

ToolsToolButton *button(const DialogTools &dialog, const char *name) {
    for (ToolsToolButton *b : dialog.panel()->buttons())
        if (b->objectName() == QLatin1String(name))
            return b;
    ADD_FAILURE() << "no tool button " << name;
    return nullptr;
}

TEST(ToolsDialog, OpensOnTheFriendsPageWithItsButtonLitAndHelpOffered) {
    resetStores({}, {});
    DialogTools dialog(nullptr, "tools");
    dialog.loadFromStore();
    EXPECT_EQ(shownPage(dialog), QStringLiteral("friends"));
    EXPECT_EQ(dialog.panel()->currentPage()->objectName(), QStringLiteral("friends"));
    EXPECT_EQ(litButtons(dialog), QStringList{QStringLiteral("friends")});
    ASSERT_NE(dialog.helpButton(), nullptr);
    EXPECT_EQ(dialog.helpButton()->objectName(), QStringLiteral("help"));
    EXPECT_TRUE(dialog.helpButton()->isEnabled());
    QStringList order;
    for (ToolsToolButton *b : dialog.panel()->buttons())
        order << b->objectName();
    EXPECT_EQ(order.join(QLatin1Char(' ')),
              QStringLiteral("friends blacklist filter learning virus origin spamcop tm"));
}

TEST(ToolsDialog, EachButtonShowsItsPageLightsAloneAndSetsHelp) {
    resetStores({}, {});
    DialogTools dialog(nullptr, "tools");
    // Tallowmark! first, so that every later button has to switch Help back on.
    for (const char *name :
         {"tm", "blacklist", "tm", "filter", "learning", "virus", "origin", "spamcop", "friends"}) {
        SCOPED_TRACE(name);
        button(dialog, name)->click();
        EXPECT_EQ(shownPage(dialog), QLatin1String(name));
        EXPECT_EQ(litButtons(dialog), QStringList{QLatin1String(name)});
        EXPECT_EQ(dialog.helpButton()->isEnabled(), std::strcmp(name, "tm") != 0);
    }
}

TEST(ToolsDialog, ClickingTheLitButtonSwitchesItOffAndKeepsThePage) {
    resetStores({}, {});
    DialogTools dialog(nullptr, "tools");
    button(dialog, "virus")->click();
    button(dialog, "virus")->click();
    EXPECT_EQ(litButtons(dialog), QStringList{});
    EXPECT_EQ(shownPage(dialog), QStringLiteral("virus"));
}

TEST(ToolsDialog, RaisingAPageByNameShowsItAndLightsItsButton) {
    resetStores({}, {});
    DialogTools dialog(nullptr, "tools");
    dialog.raisePage("tm");
    EXPECT_EQ(shownPage(dialog), QStringLiteral("tm"));
    EXPECT_EQ(litButtons(dialog), QStringList{QStringLiteral("tm")});
    EXPECT_FALSE(dialog.helpButton()->isEnabled());
    // Names are exact: another case or an unknown name changes nothing.
    for (const char *name : {"Friends", "TM", "", "panel"}) {
        dialog.raisePage(name);
        EXPECT_EQ(shownPage(dialog), QStringLiteral("tm")) << name;
        EXPECT_EQ(litButtons(dialog), QStringList{QStringLiteral("tm")}) << name;
    }
    dialog.raisePage("blacklist");
    EXPECT_EQ(shownPage(dialog), QStringLiteral("blacklist"));
    EXPECT_EQ(litButtons(dialog), QStringList{QStringLiteral("blacklist")});
    EXPECT_TRUE(dialog.helpButton()->isEnabled());
}

TEST(ToolsDialog, HelpKeyOfEachPage) {
    resetStores({}, {});
    DialogTools dialog(nullptr, "tools");
    const std::pair<const char *, const char *> keys[] = {
        {"friends", "How_to_manage_the_Friends_list"},
        {"blacklist", "How_to_manage_the_Blacklist"},
        {"filter", "How_to_manage_Filters"},
        {"learning", "How_to_customize_Learning_options"},
        {"virus", "How_to_customize_Virus_warning_options"},
        {"spamcop", "How_to_customize_SpamCop_options"},
        {"origin", "How_to_customize_Origin_of_Spam_options"},
        {"tm", ""},
    };
    for (const auto &[page, key] : keys) {
        dialog.raisePage(page);
        EXPECT_EQ(dialog.panel()->helpKey(), QByteArray(key)) << page;
    }
}

// An address added to one list leaves the other at once; OK writes the tools record with
// its sections in order and both lists; Cancel writes nothing.
class ToolsDialogStores : public ::testing::Test {
protected:
    void SetUp() override {
        resetStores({address("x@y.z")}, {address("a@b.c"), address("keep@b.c")}, {filter("Pills", "pills")});
        before = {fileBytes("friends"), fileBytes("blacklist"), fileBytes("filters"), fileBytes("tools")};
        dialog.loadFromStore();
        answerEntry(QStringLiteral("a@b.c"));
        vltest::child<QPushButton>(dialog.panel()->friendsPage(), QStringLiteral("add"))->click();
    }
    DialogTools dialog{nullptr, "tools"};
    QList<QByteArray> before;
};

TEST_F(ToolsDialogStores, AnAddressAddedToFriendsLeavesTheBlacklistPageAtOnce) {
    // A new entry joins the end of the list.
    EXPECT_EQ(addresses(dialog.panel()->friendsPage()->listEmailMatch()->list()),
              (QStringList{QStringLiteral("x@y.z"), QStringLiteral("a@b.c")}));
    EXPECT_EQ(addresses(dialog.panel()->blacklistPage()->listEmailMatch()->list()),
              QStringList{QStringLiteral("keep@b.c")});
    // And back: the blacklist takes it again, the friends list lets it go.
    answerEntry(QStringLiteral("x@y.z"));
    vltest::child<QPushButton>(dialog.panel()->blacklistPage(), QStringLiteral("add"))->click();
    EXPECT_EQ(addresses(dialog.panel()->friendsPage()->listEmailMatch()->list()),
              QStringList{QStringLiteral("a@b.c")});
}

TEST_F(ToolsDialogStores, CancelLeavesAllFourFilesUntouched) {
    button(dialog, "virus")->click();
    vltest::child<QCheckBox>(dialog.panel(), QStringLiteral("delete"))->setChecked(true);
    dialog.reject();
    const QList<QByteArray> after = {fileBytes("friends"), fileBytes("blacklist"), fileBytes("filters"),
                                     fileBytes("tools")};
    EXPECT_EQ(after, before);
    EXPECT_EQ(addresses(*StoreListEmailMatch::blacklist()),
              (QStringList{QStringLiteral("a@b.c"), QStringLiteral("keep@b.c")}));
}

TEST_F(ToolsDialogStores, OkWritesTheToolsSectionsInOrderAndBothListsWithTheAddressMoved) {
    vltest::child<QCheckBox>(dialog.panel()->blacklistPage(), QStringLiteral("delete"))->setChecked(true);
    dialog.saveToStore();

    QDomDocument tools;
    ASSERT_TRUE(tools.setContent(fileBytes("tools")));
    QStringList sections;
    for (QDomElement e = tools.documentElement().firstChildElement(); !e.isNull(); e = e.nextSiblingElement())
        sections << e.tagName();
    EXPECT_EQ(sections.join(QLatin1Char(' ')),
              QStringLiteral("friends blacklist filter learning virus origin spamcop tm"));
    EXPECT_TRUE(StoreTools::tools()->blacklist.markDelete);

    DataListEmailMatch friends, blacklist;
    ASSERT_TRUE(friends.loadFromFile(QStringLiteral("friends"), "vlp", dataDir()).isNull());
    ASSERT_TRUE(blacklist.loadFromFile(QStringLiteral("blacklist"), "vlp", dataDir()).isNull());
    EXPECT_EQ(addresses(friends), (QStringList{QStringLiteral("x@y.z"), QStringLiteral("a@b.c")}));
    EXPECT_EQ(addresses(blacklist), QStringList{QStringLiteral("keep@b.c")});
    // The filters were saved as the dialog holds them: unchanged.
    EXPECT_EQ(fileBytes("filters"), before[2]);
}

// The scanner adds and re-stamps blacklist entries while the dialog is open; OK keeps those
// and applies only what the user did.
TEST(ToolsDialogMerge, OkAppliesTheUsersEditsToTheListAsStoredNow) {
    resetStores({}, {address("gone@x.org", 10), address("stamped@x.org", 10), address("same@x.org", 10)});
    DialogTools dialog(nullptr, "tools");
    dialog.loadFromStore();

    StoreListEmailMatch *store = StoreListEmailMatch::blacklist();
    store->entries.append(address("scanner@x.org", 500));
    for (DataEmailMatch &e : store->entries)
        if (e.address == QStringLiteral("stamped@x.org"))
            e.lastUsed = 900;
    store->setChanged(true);

    PanelListEmailMatch *editor = dialog.panel()->blacklistPage()->listEmailMatch();
    editor->setCurrentCell(0, 2); // "gone@x.org", first in address order
    ASSERT_EQ(editor->item(0, 2)->text(), QStringLiteral("gone@x.org"));
    vltest::child<QPushButton>(dialog.panel()->blacklistPage(), QStringLiteral("remove"))->click();
    answerEntry(QStringLiteral("user@x.org"));
    vltest::child<QPushButton>(dialog.panel()->blacklistPage(), QStringLiteral("add"))->click();
    dialog.saveToStore();

    DataListEmailMatch saved;
    ASSERT_TRUE(saved.loadFromFile(QStringLiteral("blacklist"), "vlp", dataDir()).isNull());
    QStringList got;
    for (const DataEmailMatch &e : saved.entries)
        got << e.address + QLatin1Char('@') +
                   QString::number(e.address == QStringLiteral("user@x.org") ? 1 : e.lastUsed);
    got.sort();
    EXPECT_EQ(got, (QStringList{QStringLiteral("same@x.org@10"), QStringLiteral("scanner@x.org@500"),
                                QStringLiteral("stamped@x.org@900"), QStringLiteral("user@x.org@1")}));
}

// The friends and blacklist pages' action settings and list options, and the filter page.
TEST(ToolsListPages, FriendsActionShowsAndSavesAsStored) {
    struct Case {
        int stored;
        bool display, hide;
    };
    for (const Case c :
         {Case{1, true, false}, Case{2, false, true}, Case{0, false, false}, Case{7, false, false}}) {
        SCOPED_TRACE(c.stored);
        PanelToolsFriends page(nullptr, "friends");
        DataToolsFriends in;
        in.action = c.stored;
        page.load(in);
        EXPECT_EQ(vltest::child<QRadioButton>(&page, QStringLiteral("display"))->isChecked(), c.display);
        EXPECT_EQ(vltest::child<QRadioButton>(&page, QStringLiteral("hide"))->isChecked(), c.hide);
        DataToolsFriends out;
        out.action = -1;
        page.save(out);
        EXPECT_EQ(out.action, c.stored);
    }
}

TEST(ToolsListPages, BlacklistActionsRoundTripAndFollowTheUser) {
    PanelToolsBlacklist page(nullptr, "blacklist");
    DataToolsBlacklist in;
    in.markDelete = true;
    in.markBounce = false;
    in.action = 7;
    page.load(in);
    EXPECT_FALSE(vltest::child<QRadioButton>(&page, QStringLiteral("display"))->isChecked());
    EXPECT_FALSE(vltest::child<QRadioButton>(&page, QStringLiteral("hide"))->isChecked());
    DataToolsBlacklist out;
    page.save(out);
    EXPECT_TRUE(out.markDelete);
    EXPECT_FALSE(out.markBounce);
    EXPECT_EQ(out.action, 7);

    vltest::child<QRadioButton>(&page, QStringLiteral("hide"))->click();
    vltest::child<QCheckBox>(&page, QStringLiteral("bounce"))->click();
    page.save(out);
    EXPECT_EQ(out.action, 2);
    EXPECT_TRUE(out.markBounce);
}

TEST(ToolsListPages, ListOptionsChosenInThePageAreSavedWithTheList) {
    resetStores({address("a@zeta.org"), address("b@alpha.org")}, {});
    PanelToolsFriends page(nullptr, "friends");
    page.loadFromStore();
    vltest::whenModal(QStringLiteral("options"), [](QWidget *w) {
        for (QCheckBox *box : w->findChildren<QCheckBox *>())
            if (box->text().remove(QLatin1Char('&')) == QStringLiteral("Sort email in the list by domain"))
                box->setChecked(true);
        qobject_cast<QDialog *>(w)->accept();
    });
    vltest::child<QPushButton>(&page, QStringLiteral("options"))->click();
    page.saveToStore();
    DataListEmailMatch saved;
    ASSERT_TRUE(saved.loadFromFile(QStringLiteral("friends"), "vlp", dataDir()).isNull());
    EXPECT_TRUE(saved.options.sortByDomain);
    EXPECT_EQ(saved.entries.size(), 2);
}

TEST(ToolsListPages, SavingBeforeLoadingWritesNothing) {
    resetStores({address("a@b.c")}, {address("d@e.f")}, {filter("One", "one")});
    const QList<QByteArray> before = {fileBytes("friends"), fileBytes("blacklist"), fileBytes("filters")};
    PanelToolsFriends friends(nullptr, "friends");
    PanelToolsBlacklist blacklist(nullptr, "blacklist");
    PanelToolsFilter filters(nullptr, "filter");
    friends.saveToStore();
    blacklist.saveToStore();
    filters.saveToStore();
    EXPECT_EQ(QList<QByteArray>({fileBytes("friends"), fileBytes("blacklist"), fileBytes("filters")}),
              before);
    EXPECT_EQ(StoreListEmailMatch::friends()->entries.size(), 1);
    EXPECT_EQ(StoreListEmailFilter::filter()->filters.size(), 1);
}

TEST(ToolsFilterPage, DescriptionFollowsTheCurrentRuleAndClearsWithTheLast) {
    resetStores({}, {}, {filter("One", "first"), filter("Two", "second")});
    PanelToolsFilter page(nullptr, "filter");
    page.loadFromStore();
    auto *list = page.listEmailFilter();
    auto *browser = vltest::child<QTextBrowser>(&page, QStringLiteral("browser"));
    list->setCurrentCell(0, 2);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("first")))
        << browser->toPlainText().toStdString();
    list->setCurrentCell(1, 2);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("second")));
    EXPECT_FALSE(browser->toPlainText().contains(QStringLiteral("first")));
    auto *remove = vltest::child<QPushButton>(&page, QStringLiteral("remove"));
    remove->click();
    list->setCurrentCell(0, 2);
    remove->click();
    EXPECT_EQ(list->rowCount(), 0);
    EXPECT_TRUE(browser->toPlainText().isEmpty()) << browser->toPlainText().toStdString();
}

TEST(ToolsFilterPage, UpAndDownAreOfferedWhereTheRuleCanMove) {
    resetStores({}, {}, {filter("One", "1"), filter("Two", "2"), filter("Three", "3")});
    PanelToolsFilter page(nullptr, "filter");
    page.loadFromStore();
    auto *up = vltest::child<QToolButton>(&page, QStringLiteral("up"));
    auto *down = vltest::child<QToolButton>(&page, QStringLiteral("down"));
    auto *edit = vltest::child<QPushButton>(&page, QStringLiteral("edit"));
    EXPECT_FALSE(up->isEnabled());
    EXPECT_FALSE(down->isEnabled());
    EXPECT_FALSE(edit->isEnabled());
    struct Case {
        int row;
        bool up, down;
    };
    for (const Case c : {Case{0, false, true}, Case{1, true, true}, Case{2, true, false}}) {
        page.listEmailFilter()->setCurrentCell(c.row, 2);
        EXPECT_EQ(up->isEnabled(), c.up) << c.row;
        EXPECT_EQ(down->isEnabled(), c.down) << c.row;
        EXPECT_TRUE(edit->isEnabled()) << c.row;
    }
}

TEST(ToolsFilterPage, SavingTheToolsRecordLeavesTheFiltersFileAlone) {
    resetStores({}, {}, {filter("One", "1"), filter("Two", "2")});
    const QByteArray before = fileBytes("filters");
    DialogTools dialog(nullptr, "tools");
    dialog.loadFromStore();
    dialog.panel()->filterPage()->listEmailFilter()->setCurrentCell(1, 2);
    vltest::child<QToolButton>(dialog.panel()->filterPage(), QStringLiteral("up"))->click();
    DataTools tools = *StoreTools::tools();
    dialog.save(tools);
    StoreTools::tools()->setChanged(true);
    ASSERT_TRUE(StoreTools::tools()->saveToStore().isNull());
    EXPECT_EQ(fileBytes("filters"), before);
    EXPECT_EQ(StoreListEmailFilter::filter()->filters.at(0).filterName, QStringLiteral("One"));
}

} // namespace
