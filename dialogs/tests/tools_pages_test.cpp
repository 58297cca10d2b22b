// The spam-tools pages built alone on their sections: every field round-trips through its
// control, values a control cannot show come back as stored, switched-off groups keep what
// they hold, and the DNS server table keeps order, checks and rows straight.
#include "tools_pages_fixture.h"

#include "data/vl_color_spinner.h"
#include "panel_tools_origin_server.h"

#include "GuiHelpers.h"
#include "TestNames.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <string>
#include <vector>

using namespace toolstest;

namespace {

// A two-state control's state: a check box, radio button or checkable group box.
bool checked(QWidget *page, const QString &path) {
    QWidget *w = at(page, path);
    if (auto *button = qobject_cast<QAbstractButton *>(w))
        return button->isChecked();
    if (auto *box = qobject_cast<QGroupBox *>(w))
        return box->isChecked();
    ADD_FAILURE() << path.toStdString() << " has no check state";
    return false;
}

struct RoundTrip {
    std::string name;
    Page page;
    std::function<void(DataTools &)> set;
    std::function<void(QWidget *)> shows;
};

void PrintTo(const RoundTrip &row, std::ostream *os) {
    *os << row.name;
}

// A bool field that its control shows checked.
RoundTrip flag(const char *name, Page page, std::function<void(DataTools &)> set, const char *path) {
    return {name, page, std::move(set),
            [path](QWidget *p) { EXPECT_TRUE(checked(p, QLatin1String(path))) << path; }};
}

// A text field that its line edit shows as it is.
RoundTrip text(const char *name, Page page, std::function<void(DataTools &, const QString &)> set,
               const char *path, const QString &value) {
    return {name, page, [set, value](DataTools &t) { set(t, value); },
            [path, value](QWidget *p) { EXPECT_EQ(at<QLineEdit>(p, QLatin1String(path))->text(), value); }};
}

// A radio pair and a stored value: 1 and 2 check their button, anything else neither.
RoundTrip radio(const std::string &name, Page page, std::function<void(DataTools &, int)> set,
                const char *first, const char *second, int value) {
    return {name + "_" + std::to_string(value), page, [set, value](DataTools &t) { set(t, value); },
            [=](QWidget *p) {
                EXPECT_EQ(checked(p, QLatin1String(first)), value == 1) << first;
                EXPECT_EQ(checked(p, QLatin1String(second)), value == 2) << second;
            }};
}

// A switched-off group: everything inside is set, disabled, and kept.
RoundTrip groupOff(const char *name, Page page, std::function<void(DataTools &)> set, const char *group,
                   QStringList inside) {
    return {name, page, std::move(set), [group, inside](QWidget *p) {
                EXPECT_FALSE(checked(p, QLatin1String(group)));
                for (const QString &path : inside)
                    EXPECT_FALSE(at(p, path)->isEnabled()) << path.toStdString();
            }};
}

void allActions(DataToolsOrigin &a) {
    a.addToBlacklist = a.markForDeletion = a.markForBouncing = true;
    a.displayOrHide = 2;
    a.whence = 2;
}

void allActions(DataToolsTM &a) {
    a.addToBlacklist = a.markForDeletion = a.markForBouncing = true;
    a.displayOrHide = 2;
    a.whence = 2;
}

std::vector<RoundTrip> roundTrips() {
    std::vector<RoundTrip> rows{
        // The DNS blacklist page.
        flag(
            "origin_checkDNS", Page::Origin, [](DataTools &t) { t.origin.checkDNS = true; }, "checkdns"),
        flag(
            "origin_addToBlacklist", Page::Origin, [](DataTools &t) { t.origin.addToBlacklist = true; },
            "addToBlacklist"),
        flag(
            "origin_markForDeletion", Page::Origin, [](DataTools &t) { t.origin.markForDeletion = true; },
            "markForDeletion"),
        flag(
            "origin_markForBouncing", Page::Origin, [](DataTools &t) { t.origin.markForBouncing = true; },
            "markForBoucing"),
        {"origin_servers", Page::Origin,
         [](DataTools &t) {
             t.origin.DNSRBLServers = {server("Zen", "zen.example.org"),
                                       server("Cbl", "cbl.example.org", true)};
         },
         [](QWidget *p) {
             auto *table = at<QTableWidget>(p, QStringLiteral("servers/servers"));
             ASSERT_EQ(table->rowCount(), 2);
             EXPECT_EQ(table->item(0, 1)->checkState(), Qt::Checked);
             EXPECT_EQ(table->item(0, 1)->text(), QString());
             EXPECT_EQ(table->item(0, 2)->text(), QStringLiteral("Zen"));
             EXPECT_EQ(table->item(1, 3)->text(), QStringLiteral("cbl.example.org"));
             EXPECT_EQ(table->item(1, 1)->checkState(), Qt::Unchecked);
         }},
        // The virus page.
        flag(
            "virus_markPossible", Page::Virus, [](DataTools &t) { t.virus.markPossible = true; }, "possible"),
        flag(
            "virus_markKnown", Page::Virus, [](DataTools &t) { t.virus.markKnown = true; }, "known"),
        // Learning: the learn tab.
        flag(
            "learn_teach", Page::Learning, [](DataTools &t) { t.learning.learn.teach = true; },
            "learn/teach"),
        flag(
            "learn_limitArchive", Page::Learning, [](DataTools &t) { t.learning.learn.limitArchive = true; },
            "learn/limitarchive"),
        {"learn_maxArchiveSize", Page::Learning, [](DataTools &t) { t.learning.learn.maxArchiveSize = 42; },
         [](QWidget *p) { EXPECT_EQ(at<QSpinBox>(p, QStringLiteral("learn/maxarchivesize"))->value(), 42); }},
        {"learn_maxArchiveSize_above_range", Page::Learning,
         [](DataTools &t) { t.learning.learn.maxArchiveSize = 150; },
         [](QWidget *p) { EXPECT_EQ(at<QSpinBox>(p, QStringLiteral("learn/maxarchivesize"))->value(), 99); }},
        flag(
            "learn_markBlacklist", Page::Learning,
            [](DataTools &t) { t.learning.learn.markBlacklist = true; }, "learn/markblacklist"),
        flag(
            "learn_markDelete", Page::Learning, [](DataTools &t) { t.learning.learn.markDelete = true; },
            "learn/markdelete"),
        flag(
            "learn_markBounce", Page::Learning, [](DataTools &t) { t.learning.learn.markBounce = true; },
            "learn/markbounce"),
        flag(
            "learn_markTallowmark", Page::Learning,
            [](DataTools &t) { t.learning.learn.markTallowmark = true; }, "learn/marktallowmark"),
        flag(
            "learn_markSpamCop", Page::Learning, [](DataTools &t) { t.learning.learn.markSpamCop = true; },
            "learn/markspamcop"),
        flag(
            "learn_addFriend", Page::Learning, [](DataTools &t) { t.learning.learn.addFriend = true; },
            "learn/addfriend"),
        // Learning: the spam tab.
        flag(
            "spam_doAction", Page::Learning, [](DataTools &t) { t.learning.spam.doAction = true; },
            "spam/doaction"),
        flag(
            "spam_markBlackList", Page::Learning, [](DataTools &t) { t.learning.spam.markBlackList = true; },
            "spam/markblacklist"),
        flag(
            "spam_markDelete", Page::Learning, [](DataTools &t) { t.learning.spam.markDelete = true; },
            "spam/markdelete"),
        flag(
            "spam_markBounce", Page::Learning, [](DataTools &t) { t.learning.spam.markBounce = true; },
            "spam/markbounce"),
        flag(
            "spam_displayEmail", Page::Learning, [](DataTools &t) { t.learning.spam.displayEmail = true; },
            "spam/displayemail"),
        flag(
            "spam_colorRow", Page::Learning, [](DataTools &t) { t.learning.spam.colorRow = true; },
            "spam/colorrow"),
        {"spam_useColor", Page::Learning,
         [](DataTools &t) { t.learning.spam.useColor = QStringLiteral("#ff9696"); },
         [](QWidget *p) {
             EXPECT_EQ(at<VLColorSpinner>(p, QStringLiteral("spam/usecolor"))->value(),
                       QStringLiteral("#ff9696"));
         }},
        {"spam_useColor_default_shade", Page::Learning,
         [](DataTools &t) { t.learning.spam.useColor = QStringLiteral("#ffc8c8"); },
         [](QWidget *p) {
             EXPECT_EQ(at<VLColorSpinner>(p, QStringLiteral("spam/usecolor"))->value(),
                       QStringLiteral("#ffc8c8"));
         }},
        // Learning: the legitimate tab.
        flag(
            "legit_doAction", Page::Learning, [](DataTools &t) { t.learning.legit.doAction = true; },
            "legit/doaction"),
        flag(
            "legit_markFriend", Page::Learning, [](DataTools &t) { t.learning.legit.markFriend = true; },
            "legit/markfriend"),
        flag(
            "legit_displayEmail", Page::Learning, [](DataTools &t) { t.learning.legit.displayEmail = true; },
            "legit/displayemail"),
        flag(
            "legit_colorRow", Page::Learning, [](DataTools &t) { t.learning.legit.colorRow = true; },
            "legit/colorrow"),
        {"legit_useColor", Page::Learning,
         [](DataTools &t) { t.learning.legit.useColor = QStringLiteral("#96ff96"); },
         [](QWidget *p) {
             EXPECT_EQ(at<VLColorSpinner>(p, QStringLiteral("legit/usecolor"))->value(),
                       QStringLiteral("#96ff96"));
         }},
        // A red shade is no green one: white is shown, the stored name is kept.
        {"legit_useColor_red_shade", Page::Learning,
         [](DataTools &t) { t.learning.legit.useColor = QStringLiteral("#ffc8c8"); },
         [](QWidget *p) {
             EXPECT_EQ(at<VLColorSpinner>(p, QStringLiteral("legit/usecolor"))->value(),
                       QStringLiteral("#ffffff"));
         }},
        // "Action" stays usable while the verdict's action is off.
        {"spam_doaction_off_keeps_action_box", Page::Learning,
         [](DataTools &t) {
             t.learning.spam.markDelete = t.learning.spam.colorRow = true;
             t.learning.spam.useColor = QStringLiteral("#ff0000");
         },
         [](QWidget *p) {
             EXPECT_FALSE(checked(p, QStringLiteral("spam/doaction")));
             EXPECT_TRUE(at(p, QStringLiteral("spam/action"))->isEnabled());
             EXPECT_TRUE(at(p, QStringLiteral("spam/markdelete"))->isEnabled());
         }},
        {"legit_doaction_off_keeps_action_box", Page::Learning,
         [](DataTools &t) { t.learning.legit.markFriend = true; },
         [](QWidget *p) {
             EXPECT_TRUE(at(p, QStringLiteral("legit/action"))->isEnabled());
             EXPECT_TRUE(at(p, QStringLiteral("legit/markfriend"))->isEnabled());
         }},
        // SpamCop.
        flag(
            "spamcop_enableSpamCop", Page::SpamCop, [](DataTools &t) { t.spamcop.enableSpamCop = true; },
            "enablespamcop"),
        text(
            "spamcop_email", Page::SpamCop, [](DataTools &t, const QString &v) { t.spamcop.email = v; },
            "email", QStringLiteral("submit.abc@spam.example")),
        text(
            "spamcop_email_with_spaces", Page::SpamCop,
            [](DataTools &t, const QString &v) { t.spamcop.email = v; }, "email", QStringLiteral(" a@b ")),
        // Tallowmark.
        flag(
            "tm_enableTM", Page::TM, [](DataTools &t) { t.tm.enableTM = true; }, "enabletm"),
        text(
            "tm_account", Page::TM, [](DataTools &t, const QString &v) { t.tm.account = v; }, "account",
            QStringLiteral("100234")),
        text(
            "tm_password", Page::TM, [](DataTools &t, const QString &v) { t.tm.password = v; }, "password",
            QStringLiteral(" pä ss ")),
        flag(
            "tm_addToBlacklist", Page::TM, [](DataTools &t) { t.tm.addToBlacklist = true; },
            "addToBlacklist"),
        flag(
            "tm_markForDeletion", Page::TM, [](DataTools &t) { t.tm.markForDeletion = true; },
            "markForDeletion"),
        flag(
            "tm_markForBouncing", Page::TM, [](DataTools &t) { t.tm.markForBouncing = true; },
            "markForBoucing"),
        // Each switched-off group keeps what it holds.
        groupOff("checkdns_off", Page::Origin,
                 [](DataTools &t) {
                     allActions(t.origin);
                     t.origin.DNSRBLServers = {server("Zen", "zen.example.org", true)};
                 },
                 "checkdns",
                 {QStringLiteral("servers/servers"), QStringLiteral("add"), QStringLiteral("order/up"),
                  QStringLiteral("addToBlacklist"), QStringLiteral("hide"), QStringLiteral("automatic")}),
        groupOff("possible_off", Page::Virus,
                 [](DataTools &t) {
                     t.virus.actPossible = 2;
                     t.virus.markKnown = true;
                     t.virus.actKnown = 1;
                 },
                 "possible", {QStringLiteral("mp1"), QStringLiteral("mp2")}),
        groupOff("known_off", Page::Virus,
                 [](DataTools &t) {
                     t.virus.actKnown = 2;
                     t.virus.markPossible = true;
                 },
                 "known", {QStringLiteral("mk1"), QStringLiteral("mk2")}),
        groupOff("enablespamcop_off", Page::SpamCop,
                 [](DataTools &t) { t.spamcop.email = QStringLiteral("kept@spam.example"); }, "enablespamcop",
                 {QStringLiteral("email")}),
        groupOff("enabletm_off", Page::TM,
                 [](DataTools &t) {
                     allActions(t.tm);
                     t.tm.account = QStringLiteral("7");
                     t.tm.password = QStringLiteral("pw");
                 },
                 "enabletm",
                 {QStringLiteral("account"), QStringLiteral("password"), QStringLiteral("markForBoucing"),
                  QStringLiteral("display"), QStringLiteral("onprocess")}),
    };
    // Every radio pair with each of its values, and values that name no button.
    for (int v : {1, 2, 0, 7}) {
        rows.push_back(radio(
            "origin_displayOrHide", Page::Origin, [](DataTools &t, int x) { t.origin.displayOrHide = x; },
            "display", "hide", v));
        rows.push_back(radio(
            "origin_whence", Page::Origin, [](DataTools &t, int x) { t.origin.whence = x; }, "onprocess",
            "automatic", v));
        rows.push_back(radio(
            "virus_actPossible", Page::Virus, [](DataTools &t, int x) { t.virus.actPossible = x; }, "mp1",
            "mp2", v));
        rows.push_back(radio(
            "virus_actKnown", Page::Virus, [](DataTools &t, int x) { t.virus.actKnown = x; }, "mk1", "mk2",
            v));
        rows.push_back(radio(
            "tm_displayOrHide", Page::TM, [](DataTools &t, int x) { t.tm.displayOrHide = x; }, "display",
            "hide", v));
        rows.push_back(radio(
            "tm_whence", Page::TM, [](DataTools &t, int x) { t.tm.whence = x; }, "onprocess", "automatic",
            v));
    }
    return rows;
}

class PageRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// Set one field in a cleared record, load, look, save into another cleared record: the
// whole section comes back as it went in.
TEST_P(PageRoundTrip, ShowsTheFieldAndSavesTheSectionUnchanged) {
    const RoundTrip &row = GetParam();
    DataTools stored = clearedTools();
    row.set(stored);
    const std::unique_ptr<QWidget> page(makePage(row.page, nullptr));
    loadPage(row.page, page.get(), stored);
    row.shows(page.get());

    DataTools saved = clearedTools();
    savePage(row.page, page.get(), saved);
    EXPECT_EQ(differences(section(stored, row.page), section(saved, row.page)), QStringList{});
}

INSTANTIATE_TEST_SUITE_P(Tools, PageRoundTrip, ::testing::ValuesIn(roundTrips()), vltest::RowName());

// The other side of keeping stored values: a control the user changes saves what it shows.
TEST(ToolsPages, ChangedControlsSaveTheirOwnValue) {
    DataTools stored = clearedTools();
    stored.tm.enableTM = true;
    stored.tm.displayOrHide = 7;
    stored.learning.learn.maxArchiveSize = 150;
    stored.learning.legit.useColor = QStringLiteral("#ffc8c8");
    PanelToolsTM tm(nullptr, "tm");
    tm.load(stored.tm);
    at<QRadioButton>(&tm, QStringLiteral("hide"))->click();
    PanelToolsLearning learning(nullptr, "learning");
    learning.load(stored.learning);
    at<QSpinBox>(&learning, QStringLiteral("learn/maxarchivesize"))->setValue(50);
    auto *spinner = at<VLColorSpinner>(&learning, QStringLiteral("legit/usecolor"));
    spinner->buttonDown()->click();

    DataTools saved = clearedTools();
    tm.save(saved.tm);
    learning.save(saved.learning);
    EXPECT_EQ(saved.tm.displayOrHide, 2);
    EXPECT_EQ(saved.learning.learn.maxArchiveSize, 50);
    EXPECT_EQ(saved.learning.legit.useColor, QStringLiteral("#c8ffc8"));
}

TEST(ToolsPages, EachColourSpinnerStepsThroughItsOwnShades) {
    PanelToolsLearning learning(nullptr, "learning");
    learning.load(clearedTools().learning);
    struct Case {
        const char *path;
        QStringList shades;
    };
    const Case cases[] = {
        {"spam/usecolor",
         {QStringLiteral("#ffffff"), QStringLiteral("#ffc8c8"), QStringLiteral("#ff9696"),
          QStringLiteral("#ff6464"), QStringLiteral("#ff3232"), QStringLiteral("#ff0000")}},
        {"legit/usecolor",
         {QStringLiteral("#ffffff"), QStringLiteral("#c8ffc8"), QStringLiteral("#96ff96"),
          QStringLiteral("#64ff64"), QStringLiteral("#32ff32"), QStringLiteral("#00ff00")}},
    };
    for (const Case &c : cases) {
        auto *spinner = at<VLColorSpinner>(&learning, QLatin1String(c.path));
        QStringList seen{spinner->value()};
        for (int i = 0; i < 7; ++i) {
            spinner->buttonDown()->click();
            if (seen.last() != spinner->value())
                seen << spinner->value();
        }
        EXPECT_EQ(seen, c.shades) << c.path;
    }
}

TEST(ToolsPages, TallowmarkPasswordIsMaskedAndNeverTraced) {
    PanelToolsTM page(nullptr, "tm");
    DataTools stored = clearedTools();
    stored.tm.enableTM = true;
    page.load(stored.tm);
    auto *password = at<QLineEdit>(&page, QStringLiteral("password"));
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    // Typed key by key; a character without a key of its own goes in as input would.
    QTest::keyClicks(password, QStringLiteral(" Talg 9!x"));
    password->insert(QStringLiteral("\u00e4 "));
    const QString typed = QStringLiteral(" Talg 9!x\u00e4 ");
    EXPECT_EQ(password->text(), typed);
    EXPECT_EQ(password->displayText().size(), typed.size());
    for (const QChar c : QStringLiteral("Talg9!x\u00e4"))
        EXPECT_FALSE(password->displayText().contains(c)) << "shown: " << QString(c).toStdString();

    DataTools saved = clearedTools();
    page.save(saved.tm);
    EXPECT_EQ(saved.tm.password, typed);

    testing::internal::CaptureStderr();
    saved.tm.print(0);
    saved.print(0);
    const std::string dump = testing::internal::GetCapturedStderr();
    EXPECT_NE(dump.find("password"), std::string::npos) << dump;
    EXPECT_EQ(dump.find("Talg"), std::string::npos) << dump;
    EXPECT_EQ(dump.find("9!x"), std::string::npos) << dump;
}

struct Named {
    std::string name;
    Page page;
    QList<QPair<const char *, const char *>> widgets; // path, class
};

void PrintTo(const Named &row, std::ostream *os) {
    *os << row.name;
}

class PageObjectNames : public ::testing::TestWithParam<Named> {};

// Scripts and hover help reach the controls by these names.
TEST_P(PageObjectNames, EveryControlHasItsName) {
    const Named &row = GetParam();
    const std::unique_ptr<QWidget> page(makePage(row.page, nullptr));
    EXPECT_EQ(page->objectName(), QLatin1String(pageName(row.page)));
    for (const auto &[path, cls] : row.widgets) {
        QWidget *w = at(page.get(), QLatin1String(path));
        if (w) {
            EXPECT_TRUE(w->inherits(cls)) << path << " is a " << w->metaObject()->className();
        }
    }
}

const Named kNames[] = {
    {"origin",
     Page::Origin,
     {{"panelwidget", "QWidget"},
      {"checkdns", "VLGroupBox"},
      {"checkdns/servers", "QWidget"},
      {"checkdns/servers/servers", "QTableWidget"},
      {"servers/add", "QPushButton"},
      {"servers/edit", "QPushButton"},
      {"servers/delete", "QPushButton"},
      {"servers/order", "VLTableOrder"},
      {"order/up", "QToolButton"},
      {"order/down", "QToolButton"},
      {"checkdns/actions", "QGroupBox"},
      {"actions/addToBlacklist", "QCheckBox"},
      {"actions/markForDeletion", "QCheckBox"},
      {"actions/markForBoucing", "QCheckBox"},
      {"actions/display", "QRadioButton"},
      {"actions/hide", "QRadioButton"},
      {"actions/onprocess", "QRadioButton"},
      {"actions/automatic", "QRadioButton"}}},
    {"virus",
     Page::Virus,
     {{"possible", "VLGroupBox"},
      {"possible/mp1", "QRadioButton"},
      {"possible/mp2", "QRadioButton"},
      {"known", "VLGroupBox"},
      {"known/mk1", "QRadioButton"},
      {"known/mk2", "QRadioButton"}}},
    {"learning",
     Page::Learning,
     {{"tabber", "PanelTabWidget"},
      {"tabber/learn", "PanelToolsLearningLearn"},
      {"learn/teach", "QCheckBox"},
      {"learn/limitarchive", "QCheckBox"},
      {"learn/maxarchivesize", "QSpinBox"},
      {"learn/action", "QGroupBox"},
      {"learn/action/markblacklist", "QCheckBox"},
      {"learn/action/markdelete", "QCheckBox"},
      {"learn/action/markbounce", "QCheckBox"},
      {"learn/action/marktallowmark", "QCheckBox"},
      {"learn/action/markspamcop", "QCheckBox"},
      {"learn/action/addfriend", "QCheckBox"},
      {"tabber/spam", "PanelToolsLearningSpam"},
      {"spam/doaction", "QCheckBox"},
      {"spam/action/markblacklist", "QCheckBox"},
      {"spam/action/markdelete", "QCheckBox"},
      {"spam/action/markbounce", "QCheckBox"},
      {"spam/action/displayemail", "QCheckBox"},
      {"spam/action/colorrow", "QCheckBox"},
      {"spam/action/usecolor", "VLColorSpinner"},
      {"tabber/legit", "PanelToolsLearningLegit"},
      {"legit/doaction", "QCheckBox"},
      {"legit/action/markfriend", "QCheckBox"},
      {"legit/action/displayemail", "QCheckBox"},
      {"legit/action/colorrow", "QCheckBox"},
      {"legit/action/usecolor", "VLColorSpinner"}}},
    {"spamcop",
     Page::SpamCop,
     {{"enablespamcop", "VLGroupBox"}, {"enablespamcop/hbox", "QWidget"}, {"hbox/email", "QLineEdit"}}},
    {"tm",
     Page::TM,
     {{"enabletm", "VLGroupBox"},
      {"enabletm/servers", "QWidget"},
      {"servers/account", "QLineEdit"},
      {"servers/password", "QLineEdit"},
      {"enabletm/actions", "QGroupBox"},
      {"actions/addToBlacklist", "QCheckBox"},
      {"actions/markForDeletion", "QCheckBox"},
      {"actions/markForBoucing", "QCheckBox"},
      {"actions/display", "QRadioButton"},
      {"actions/hide", "QRadioButton"},
      {"actions/onprocess", "QRadioButton"},
      {"actions/automatic", "QRadioButton"}}},
};

INSTANTIATE_TEST_SUITE_P(Tools, PageObjectNames, ::testing::ValuesIn(kNames), vltest::RowName());

TEST(ToolsPages, LearningTabsAreLabelledInOrderAndLearningShowsFirst) {
    PanelToolsLearning page(nullptr, "learning");
    auto *tabber = at<QTabWidget>(&page, QStringLiteral("tabber"));
    ASSERT_EQ(tabber->count(), 3);
    QStringList labels;
    for (int i = 0; i < tabber->count(); ++i)
        labels << tabber->tabText(i).remove(QLatin1Char('&'));
    EXPECT_EQ(labels, (QStringList{QStringLiteral("Learning"), QStringLiteral("Recognizing spam"),
                                   QStringLiteral("Recognizing email")}));
    EXPECT_EQ(tabber->currentWidget()->objectName(), QStringLiteral("learn"));
}

// The server table of the DNS blacklist page, shown so that cells have places to click.
class ServerTable : public ::testing::Test {
protected:
    PanelToolsOrigin page{nullptr, "origin"};
    QTableWidget *table = nullptr;
    QPushButton *edit = nullptr;
    QPushButton *remove = nullptr;

    void SetUp() override {
        DataToolsOrigin origin;
        origin.checkDNS = true;
        origin.DNSRBLServers = {server("One", "one.example"), server("Two", "two.example"),
                                server("Three", "three.example")};
        page.load(origin);
        page.resize(640, 560);
        page.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&page));
        table = at<QTableWidget>(&page, QStringLiteral("servers/servers"));
        edit = at<QPushButton>(&page, QStringLiteral("edit"));
        remove = at<QPushButton>(&page, QStringLiteral("delete"));
        ASSERT_TRUE(table && edit && remove);
    }

    QList<DataToolsOriginServer> saved() {
        DataToolsOrigin origin;
        page.save(origin);
        return origin.DNSRBLServers;
    }

    QStringList savedNames() {
        QStringList names;
        for (const DataToolsOriginServer &s : saved())
            names << s.serviceName + (s.disabled ? QStringLiteral("(off)") : QString());
        return names;
    }
};

TEST_F(ServerTable, MovedAndUncheckedServersSaveInTheShownOrder) {
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
    table->setCurrentCell(1, 2);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(remove->isEnabled());
    at<QToolButton>(&page, QStringLiteral("order/up"))->click();
    EXPECT_EQ(table->currentRow(), 0);
    table->item(2, 1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(savedNames(),
              (QStringList{QStringLiteral("Two"), QStringLiteral("One"), QStringLiteral("Three(off)")}));
    EXPECT_EQ(saved().at(0).domainName, QStringLiteral("two.example"));
    EXPECT_EQ(saved().at(2).domainName, QStringLiteral("three.example"));
}

TEST_F(ServerTable, EditAfterAMoveEditsTheServerTheRowShows) {
    table->setCurrentCell(2, 2);
    at<QToolButton>(&page, QStringLiteral("order/up"))->click();
    table->item(1, 1)->setCheckState(Qt::Unchecked);
    QString shown;
    vltest::whenModal(QStringLiteral("originserver"), [&shown](QWidget *dialog) {
        auto *name = at<QLineEdit>(dialog, QStringLiteral("panel/name"));
        auto *domain = at<QLineEdit>(dialog, QStringLiteral("panel/domain"));
        shown = name->text() + QLatin1Char(' ') + domain->text();
        name->setText(QStringLiteral("Third"));
        static_cast<QDialog *>(dialog)->accept();
    });
    edit->click();
    EXPECT_EQ(shown, QStringLiteral("Three three.example"));
    EXPECT_EQ(savedNames(),
              (QStringList{QStringLiteral("One"), QStringLiteral("Third(off)"), QStringLiteral("Two")}));
    EXPECT_EQ(saved().at(1).domainName, QStringLiteral("three.example"));
}

TEST_F(ServerTable, DoubleClickOnAnyCellOpensTheEditorForItsRow) {
    for (int column = 0; column < table->columnCount(); ++column) {
        SCOPED_TRACE(column);
        QString shown;
        vltest::whenModal(QStringLiteral("originserver"), [&shown](QWidget *dialog) {
            shown = at<QLineEdit>(dialog, QStringLiteral("name"))->text();
            static_cast<QDialog *>(dialog)->reject();
        });
        const QRect cell = table->visualRect(table->model()->index(1, column));
        ASSERT_TRUE(cell.isValid());
        // Near the right edge: on the check cell, beside its mark (the mark itself toggles).
        const QPoint where(cell.right() - 2, cell.center().y());
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, where);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, where);
        EXPECT_TRUE(vltest::waitUntil([&] { return !shown.isEmpty(); }, 5000));
        EXPECT_EQ(shown, QStringLiteral("Two"));
    }
    // Rejected editors change nothing, and a double click on the check cell does not toggle it.
    EXPECT_EQ(savedNames(),
              (QStringList{QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")}));
}

TEST_F(ServerTable, WithNoRowsLeftEditAndDeleteDoNothing) {
    while (table->rowCount() > 0) {
        table->setCurrentCell(0, 2);
        ASSERT_TRUE(remove->isEnabled());
        remove->click();
    }
    EXPECT_FALSE(edit->isEnabled());
    EXPECT_FALSE(remove->isEnabled());
    // Even called directly: no editor opens, nothing breaks.
    QPointer<QWidget> opened;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &page, [&opened] {
        if (auto *modal = QApplication::activeModalWidget()) {
            opened = modal;
            static_cast<QDialog *>(modal)->reject();
        }
    });
    guard.start(1000);
    page.slotEdit();
    page.slotRemove();
    QTest::qWait(1200);
    EXPECT_TRUE(opened.isNull());
    EXPECT_EQ(saved().size(), 0);
}

TEST_F(ServerTable, AddAppendsACheckedCurrentRowEvenWithEmptyTexts) {
    while (table->rowCount() > 0) {
        table->setCurrentCell(0, 2);
        remove->click();
    }
    vltest::whenModal(QStringLiteral("originserver"),
                      [](QWidget *dialog) { static_cast<QDialog *>(dialog)->accept(); });
    at<QPushButton>(&page, QStringLiteral("add"))->click();
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->currentRow(), 0);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_TRUE(remove->isEnabled());
    const QList<DataToolsOriginServer> servers = saved();
    ASSERT_EQ(servers.size(), 1);
    EXPECT_FALSE(servers.at(0).disabled);
    EXPECT_TRUE(servers.at(0).serviceName.isEmpty());
    EXPECT_TRUE(servers.at(0).domainName.isEmpty());

    vltest::whenModal(QStringLiteral("originserver"), [](QWidget *dialog) {
        at<QLineEdit>(dialog, QStringLiteral("name"))->setText(QStringLiteral("Zen"));
        at<QLineEdit>(dialog, QStringLiteral("domain"))->setText(QStringLiteral("zen.example.org"));
        static_cast<QDialog *>(dialog)->accept();
    });
    at<QPushButton>(&page, QStringLiteral("add"))->click();
    EXPECT_EQ(table->currentRow(), 1);
    EXPECT_EQ(saved().at(1).domainName, QStringLiteral("zen.example.org"));
    // A cancelled editor adds nothing.
    vltest::whenModal(QStringLiteral("originserver"),
                      [](QWidget *dialog) { static_cast<QDialog *>(dialog)->reject(); });
    at<QPushButton>(&page, QStringLiteral("add"))->click();
    EXPECT_EQ(table->rowCount(), 2);
}

TEST(ToolsPages, ServerEditorIsCaptionedAndCarriesNoHelp) {
    DialogToolsOriginServer dialog(nullptr, "originserver");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("DNS Blacklist Servers"));
    EXPECT_EQ(dialog.helpButton(), nullptr);
    DataToolsOriginServer in = server("Zen", "zen.example.org", true);
    dialog.load(in);
    DataToolsOriginServer out;
    dialog.save(out);
    EXPECT_EQ(out.serviceName, in.serviceName);
    EXPECT_EQ(out.domainName, in.domainName);
    EXPECT_FALSE(out.disabled) << "the editor leaves the in-use flag alone";
}

TEST(ToolsPages, ServerEditorOpensAtItsOwnSizeAndThenKeepsTheUsers) {
    QSize chosen;
    {
        DialogToolsOriginServer dialog(nullptr, "serversize");
        dialog.show();
        ASSERT_TRUE(vltest::waitUntil([&] { return dialog.isVisible(); }, 2000));
        EXPECT_EQ(dialog.height(), dialog.sizeHint().height());
        EXPECT_GE(dialog.width(), 420);
        EXPECT_LT(dialog.width(), 640);
        chosen = dialog.size() + QSize(100, 50);
        dialog.resize(chosen);
    }
    DialogToolsOriginServer again(nullptr, "serversize");
    again.show();
    ASSERT_TRUE(vltest::waitUntil([&] { return again.isVisible(); }, 2000));
    EXPECT_EQ(again.size(), chosen);
}

} // namespace
