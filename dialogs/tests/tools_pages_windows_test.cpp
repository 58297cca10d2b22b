// The spam-tools pages in a window on a real X display: each page and learning tab walks its
// tab chain in order and has clash-free mnemonics, raising the learning page focuses the
// tab that shows, and the DNS page is driven by a replayed interface script. A picture of
// every page, tab and the server editor goes to the build's screenshots folder.
#include "tools_pages_fixture.h"

#include "panel_tools_origin_server.h"
#include "vl_dialog.h"

#include "trial/trial_runner.h"

#include "GuiHelpers.h"

#include <QApplication>
#include <QCheckBox>
#include <QLayout>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

using namespace toolstest;

namespace {

// A page alone in a dialog with the standard button row, as the tools dialog shows it.
class PageWindow : public VLDialog {
public:
    explicit PageWindow(Page kind)
        : VLDialog(QStringLiteral("Spam Tools"), nullptr, "toolspage"), kind(kind) {
        page = makePage(kind, this);
        // The tools dialog keeps its page stack 10 pixels in from the edges.
        auto *margin = new QVBoxLayout;
        margin->setContentsMargins(10, 10, 10, 10);
        margin->addWidget(page);
        static_cast<QBoxLayout *>(layout())->addLayout(margin);
        addOKCancel("How_to_customize_the_tools");
    }
    Page kind;
    QWidget *page;
};

QStringList names(const char *const *list) {
    QStringList out;
    for (; *list; ++list)
        out << QLatin1String(*list);
    return out;
}

struct ChainCase {
    Page page;
    const char *tab; // learning tab to raise, or null
    const char *shot;
    const char *const *chain;
};

const char *const kOriginChain[] = {"checkdns",
                                    "servers",
                                    "add",
                                    "edit",
                                    "delete",
                                    "up",
                                    "down",
                                    "addToBlacklist",
                                    "markForDeletion",
                                    "markForBoucing",
                                    "display",
                                    "hide",
                                    "onprocess",
                                    "automatic",
                                    "OK",
                                    "Cancel",
                                    "How_to_customize_the_tools",
                                    nullptr};
const char *const kVirusChain[] = {"possible", "mp1", "mp2", "known", "mk1", "mk2", "OK", nullptr};
const char *const kLearnChain[] = {"teach",      "limitarchive", "maxarchivesize", "markblacklist",
                                   "markdelete", "markbounce",   "marktallowmark", "markspamcop",
                                   "addfriend",  "OK",           nullptr};
const char *const kSpamChain[] = {"doaction",     "markblacklist", "markdelete", "markbounce",
                                  "displayemail", "colorrow",      "up",         "down",
                                  "OK",           nullptr};
const char *const kLegitChain[] = {"doaction", "markfriend", "displayemail", "colorrow",
                                   "up",       "down",       "OK",           nullptr};
const char *const kSpamCopChain[] = {"enablespamcop", "email", "OK", nullptr};
const char *const kTMChain[] = {"enabletm",        "account",        "password", "addToBlacklist",
                                "markForDeletion", "markForBoucing", "display",  "hide",
                                "onprocess",       "automatic",      "OK",       nullptr};

class PageWindows : public ::testing::TestWithParam<ChainCase> {};

TEST_P(PageWindows, TabChainMnemonicsAndPicture) {
    const ChainCase &c = GetParam();
    PageWindow window(c.page);
    DataTools tools = clearedTools();
    tools.origin.checkDNS = tools.virus.markPossible = tools.virus.markKnown = true;
    tools.spamcop.enableSpamCop = tools.tm.enableTM = true;
    tools.origin.DNSRBLServers = {server("Spamhaus Zen", "zen.example.org"),
                                  server("Composite blocking list", "cbl.example.org", true)};
    tools.origin.displayOrHide = tools.origin.whence = tools.tm.displayOrHide = tools.tm.whence = 1;
    tools.learning.learn.teach = tools.learning.spam.colorRow = tools.learning.legit.colorRow = true;
    tools.learning.spam.useColor = QStringLiteral("#ff9696");
    tools.learning.legit.useColor = QStringLiteral("#96ff96");
    tools.spamcop.email = QStringLiteral("submit.abc@spam.example");
    tools.tm.account = QStringLiteral("100234");
    tools.tm.password = QStringLiteral("secret");
    loadPage(c.page, window.page, tools);
    if (c.page == Page::Origin)
        at<QTableWidget>(window.page, QStringLiteral("servers/servers"))->setCurrentCell(0, 2);
    window.resize(660, 600);
    ASSERT_TRUE(vltest::activate(&window));
    if (c.tab)
        at<QTabWidget>(window.page, QStringLiteral("tabber"))
            ->setCurrentWidget(at(window.page, QLatin1String(c.tab)));
    dynamic_cast<VLPanel *>(window.page)->focusFirstWidget();

    const QStringList expected = names(c.chain);
    EXPECT_EQ(vltest::tabChain(&window).mid(0, expected.size()), expected);
    EXPECT_EQ(vltest::mnemonicClashes(&window), QStringList{});
    EXPECT_EQ(vltest::missingMnemonics(&window), QStringList{});
    EXPECT_FALSE(vltest::saveScreenshot(&window, QLatin1String(c.shot)).isEmpty());
}

const ChainCase kChains[] = {
    {Page::Origin, nullptr, "tools_origin", kOriginChain},
    {Page::Virus, nullptr, "tools_virus", kVirusChain},
    {Page::Learning, "learn", "tools_learning_learn", kLearnChain},
    {Page::Learning, "spam", "tools_learning_spam", kSpamChain},
    {Page::Learning, "legit", "tools_learning_legit", kLegitChain},
    {Page::SpamCop, nullptr, "tools_spamcop", kSpamCopChain},
    {Page::TM, nullptr, "tools_tm", kTMChain},
};

INSTANTIATE_TEST_SUITE_P(Tools, PageWindows, ::testing::ValuesIn(kChains),
                         [](const auto &info) { return std::string(info.param.shot); });

TEST(ToolsWindows, RaisingTheLearningPageFocusesTheShownTab) {
    PageWindow window(Page::Learning);
    ASSERT_TRUE(vltest::activate(&window));
    auto *tabber = at<QTabWidget>(window.page, QStringLiteral("tabber"));
    tabber->setCurrentWidget(at(window.page, QStringLiteral("spam")));
    at<QCheckBox>(window.page, QStringLiteral("learn/teach"))->setFocus();
    testing::internal::CaptureStderr();
    dynamic_cast<VLPanel *>(window.page)->focusFirstWidget();
    const std::string trace = testing::internal::GetCapturedStderr();
    EXPECT_NE(trace.find("PanelToolsLearning::focusFirstWidget: called\n"), std::string::npos);
    EXPECT_TRUE(vltest::waitUntil(
        [&] { return QApplication::focusWidget() == at(window.page, QStringLiteral("spam/doaction")); },
        5000));
}

TEST(ToolsWindows, ServerEditorFromTheKeyboard) {
    DialogToolsOriginServer dialog(nullptr, "originserver");
    dialog.load(server("Spamhaus Zen", "zen.example.org"));
    ASSERT_TRUE(vltest::activate(&dialog));
    EXPECT_EQ(vltest::mnemonicClashes(&dialog), QStringList{});
    EXPECT_EQ(vltest::missingMnemonics(&dialog), QStringList{});
    vltest::pressMnemonic(&dialog, QLatin1Char('d'));
    EXPECT_TRUE(vltest::waitUntil(
        [&] { return QApplication::focusWidget() == at(&dialog, QStringLiteral("domain")); }, 2000));
    EXPECT_FALSE(vltest::saveScreenshot(&dialog, QStringLiteral("tools_originserver")).isEmpty());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(ToolsWindows, ScriptAddsMovesAndUnticksAServer) {
    PageWindow window(Page::Origin);
    DataTools tools = clearedTools();
    tools.origin.checkDNS = true;
    tools.origin.DNSRBLServers = {server("One", "one.example"), server("Two", "two.example")};
    loadPage(Page::Origin, window.page, tools);

    TrialRunner runner(&window);
    ASSERT_TRUE(runner.load(QStringLiteral(VL_TEST_DATA_DIR "/tools_origin_add_server.xml")))
        << runner.error().toStdString();
    // However the run ends, exec() returns.
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &window, [] {
        ADD_FAILURE() << "the script did not end in time";
        while (QWidget *modal = QApplication::activeModalWidget())
            static_cast<QDialog *>(modal)->reject();
    });
    bound.start(60000);
    runner.start();
    const int result = window.exec();
    EXPECT_EQ(runner.stop(), TrialRunner::Passed) << runner.error().toStdString();
    ASSERT_EQ(result, QDialog::Accepted);

    DataTools saved = clearedTools();
    savePage(Page::Origin, window.page, saved);
    DataTools expected = clearedTools();
    expected.origin.checkDNS = true;
    expected.origin.DNSRBLServers = {server("One", "one.example"), server("Zen", "zen.example.org", true),
                                     server("Two", "two.example")};
    EXPECT_EQ(differences(expected.origin, saved.origin), QStringList{});
}

} // namespace
