// The spam-tools dialog and the side panes on a real X display: an interface script run
// against the dialog opened from the blacklist pane, tab chains and mnemonics of each tool
// group, hover help under the pointer, and a picture of every group and pane.
#include "side_panes_fixture.h"

#include "dialog_tools.h"
#include "panel_tools.h"
#include "tools_tool_button.h"

#include "trial/trial_runner.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolBox>

#include <memory>

using namespace Qt::Literals::StringLiterals;

using namespace toolsdlg;

namespace {

class ToolsWindows : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("VL_SHAREDIR", VL_SOURCE_DIR "/share");
        resetStores({address("friend@good.example"), address("*@partner.example")},
                    {address("spam@junk.example"), address("offers@junk.example")},
                    {filter("Pills", "cheap pills"), filter("Casino", "jackpot")});
    }
};

TEST_F(ToolsWindows, AScriptAddsAnAddressInTheDialogOpenedFromTheBlacklistPane) {
    resetStores({address("spam@junk.example")}, {address("offers@junk.example")});
    SidePanel panel;
    panel.tabs.setCurrentWidget(panel.blacklist);
    panel.tabs.resize(420, 560);
    ASSERT_TRUE(vltest::activate(&panel.tabs));
    std::unique_ptr<TrialRunner> runner;
    vltest::whenModal(QStringLiteral("tools"), [&](QWidget *w) {
        runner = std::make_unique<TrialRunner>(qobject_cast<QDialog *>(w));
        ASSERT_TRUE(runner->load(QStringLiteral(VL_TEST_DATA_DIR "/tools_blacklist_add.xml")))
            << runner->error().toStdString();
        runner->start();
        QTimer::singleShot(30000, w, [w] { qobject_cast<QDialog *>(w)->reject(); });
    });
    vltest::child<QPushButton>(panel.blacklist, QStringLiteral("options"))->click();
    ASSERT_NE(runner, nullptr);
    EXPECT_EQ(runner->stop(), TrialRunner::Passed) << runner->error().toStdString();
    EXPECT_EQ(addresses(*StoreListEmailMatch::friends()), QStringList{});
    QStringList blacklist = addresses(*StoreListEmailMatch::blacklist());
    blacklist.sort();
    EXPECT_EQ(blacklist,
              (QStringList{QStringLiteral("offers@junk.example"), QStringLiteral("spam@junk.example")}));
    EXPECT_TRUE(StoreTools::tools()->blacklist.markBounce);
    EXPECT_TRUE(fileBytes("blacklist").contains("spam@junk.example"));
    EXPECT_TRUE(vltest::waitUntil([&] { return rows(panel.blacklist->listEmailMatch()).size() == 2; }, 2000));
    EXPECT_TRUE(vltest::waitUntil([&] { return rows(panel.friends->listEmailMatch()).isEmpty(); }, 2000));
}

struct GroupCase {
    const char *page;  // raised by name, which opens its group
    const char *hover; // the tool button the pointer rests on
    const char *shot;
    const char *chainStart; // the first entries of the tab chain from the page's first widget
};

class ToolsGroups : public ToolsWindows, public ::testing::WithParamInterface<GroupCase> {};

TEST_P(ToolsGroups, MnemonicsHoverHelpAndPicture) {
    const GroupCase &c = GetParam();
    DialogTools dialog(nullptr, "tools");
    dialog.loadFromStore();
    dialog.raisePage(c.page);
    dialog.resize(860, 640);
    ASSERT_TRUE(vltest::activate(&dialog));
    EXPECT_EQ(vltest::mnemonicClashes(&dialog), QStringList{});
    // The help pane's frame titles a read-only text, not a control: nothing to jump to.
    EXPECT_EQ(vltest::missingMnemonics(&dialog, {u"OK"_s, u"Cancel"_s, u"Help and information"_s}),
              QStringList{});

    QWidget *page = dialog.panel()->currentPage();
    dynamic_cast<VLPanel *>(page)->focusFirstWidget();
    const QStringList chain = vltest::tabChain(&dialog);
    EXPECT_EQ(chain.join(QLatin1Char(' ')).left(int(strlen(c.chainStart))), QLatin1String(c.chainStart))
        << chain.join(QLatin1Char(' ')).toStdString();

    ToolsToolButton *hover = nullptr;
    for (ToolsToolButton *b : dialog.panel()->buttons())
        if (b->objectName() == QLatin1String(c.hover))
            hover = b;
    ASSERT_NE(hover, nullptr);
    QTest::mouseMove(hover);
    auto *info = vltest::child<QTextBrowser>(&dialog, QStringLiteral("info"));
    EXPECT_TRUE(vltest::waitUntil([&] { return !info->toPlainText().isEmpty(); }, 3000));
    EXPECT_FALSE(vltest::saveScreenshot(&dialog, QLatin1String(c.shot)).isEmpty());
    QTest::mouseMove(dialog.panel()->currentPage());
    EXPECT_TRUE(vltest::waitUntil([&] { return info->toPlainText().isEmpty(); }, 3000));
}

const GroupCase kGroups[] = {
    // Edit, Remove, up and down wait for a current row, so the chain passes them by.
    {"friends", "blacklist", "tools_dialog_filters", "add options display hide friends blacklist filter OK"},
    {"blacklist", "filter", "tools_dialog_blacklist", "add options delete bounce display hide friends"},
    {"filter", "friends", "tools_dialog_filter", "add browser friends"},
    {"virus", "learning", "tools_dialog_learning", "possible"},
    {"learning", "virus", "tools_dialog_learning_page", "teach"},
    {"spamcop", "tm", "tools_dialog_misc", "enablespamcop"},
    {"tm", "origin", "tools_dialog_tm", "enabletm"},
    {"origin", "spamcop", "tools_dialog_origin", "checkdns"},
};

INSTANTIATE_TEST_SUITE_P(Tools, ToolsGroups, ::testing::ValuesIn(kGroups),
                         [](const auto &info) { return std::string(info.param.shot); });

TEST_F(ToolsWindows, PicturesOfTheThreePanes) {
    SidePanel panel;
    panel.tabs.resize(420, 600);
    ASSERT_TRUE(vltest::activate(&panel.tabs));
    panel.filters->listEmailFilter()->setCurrentCell(1, 2);
    for (QWidget *pane : {static_cast<QWidget *>(panel.friends), static_cast<QWidget *>(panel.blacklist),
                          static_cast<QWidget *>(panel.filters)}) {
        panel.tabs.setCurrentWidget(pane);
        QTest::qWait(50);
        EXPECT_EQ(vltest::mnemonicClashes(&panel.tabs), QStringList{}) << pane->objectName().toStdString();
        dynamic_cast<VLPanel *>(pane)->focusFirstWidget();
        EXPECT_FALSE(
            vltest::saveScreenshot(&panel.tabs, QStringLiteral("side_pane_") + pane->objectName()).isEmpty());
    }
    panel.tabs.setCurrentWidget(panel.filters);
    panel.filters->focusFirstWidget();
    EXPECT_EQ(
        vltest::tabChain(&panel.tabs).mid(0, 6),
        (QStringList{u"add"_s, u"edit"_s, u"remove"_s, u"How_to_manage_Filters"_s, u"up"_s, u"browser"_s}));
}

} // namespace
