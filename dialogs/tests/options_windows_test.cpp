// The options dialog and the mail-client dialog on a real X display: every tab walks its
// tab chain in order with clash-free mnemonics, the client dialog works from the keyboard,
// and an interface script run as the main window runs the dialog changes exactly what it
// touched in the options file. A picture of every tab and of the client dialog goes to the
// build's screenshots folder.
#include "dialog_email_client.h"
#include "dialog_options.h"
#include "panel_options.h"

#include "trial/trial_runner.h"

#include "GuiHelpers.h"
#include "options_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <utility>

namespace {

[[maybe_unused]] const bool kShare = optionstest::useShare("options_share");

using optionstest::at;
using optionstest::RecordingSoundPlayer;

QStringList names(const char *const *list) {
    QStringList out;
    for (; *list; ++list)
        out << QLatin1String(*list);
    return out;
}

const char *const kGeneralChain[] = {"launchAfterProcess",
                                     "specify_client",
                                     "minimiseAfterProcess",
                                     "playSoundOnNewMail",
                                     "newMailSound",
                                     "displaySplash",
                                     "checkPeriodically",
                                     "checkInterval",
                                     "minimizeOnClose",
                                     "systrayOnMinimize",
                                     "minimizeOnStartup",
                                     "checkOnStartup",
                                     "spamThrottle",
                                     "OK",
                                     "Cancel",
                                     "Customizing_Options",
                                     nullptr};
const char *const kDisplayChain[] = {
    "unreadBold",   "unreadColored",       "unreadColor", "readDisplay", "readColored", "readColor",
    "largeButtons", "captionButtons",      "columns",     "up",          "down",        "OK",
    "Cancel",       "Customizing_Options", nullptr};
const char *const kSummaryChain[] = {"messageLogging",
                                     "keepLogFor",
                                     "clearLogs",
                                     "emailSummary",
                                     "emailSummaryEvery",
                                     "allowRecovery",
                                     "emptyBin",
                                     "advanced",
                                     "outgoingEmailAddress",
                                     "outgoingEmailServer",
                                     "OK",
                                     "Cancel",
                                     "Customizing_Options",
                                     nullptr};

struct TabCase {
    const char *page;
    const char *shot;
    const char *const *chain;
};

class OptionsTabs : public ::testing::TestWithParam<TabCase> {};

TEST_P(OptionsTabs, TabChainMnemonicsAndPicture) {
    const TabCase &c = GetParam();
    RecordingSoundPlayer player(true);
    optionstest::installFixture("options_full.vlp");
    DialogOptions dialog(nullptr, "options");
    dialog.loadFromStore();
    dialog.resize(900, 600);
    ASSERT_TRUE(vltest::activate(&dialog));
    QWidget *page = at<QWidget>(dialog.panel(), QLatin1String(c.page));
    dialog.panel()->setCurrentWidget(page);
    dynamic_cast<VLPanel *>(page)->focusFirstWidget();

    const QStringList expected = names(c.chain);
    EXPECT_EQ(vltest::tabChain(&dialog).mid(0, expected.size()), expected);
    EXPECT_EQ(vltest::mnemonicClashes(&dialog), QStringList{});
    EXPECT_EQ(vltest::missingMnemonics(&dialog), QStringList{});
    EXPECT_FALSE(vltest::saveScreenshot(&dialog, QLatin1String(c.shot)).isEmpty());
}

const TabCase kTabs[] = {
    {"general", "options_general", kGeneralChain},
    {"display", "options_display", kDisplayChain},
    {"summary", "options_summary", kSummaryChain},
};

INSTANTIATE_TEST_SUITE_P(Options, OptionsTabs, ::testing::ValuesIn(kTabs),
                         [](const auto &info) { return std::string(info.param.page); });

TEST(OptionsWindows, TabMnemonicsRaiseTheirPages) {
    RecordingSoundPlayer player(true);
    DialogOptions dialog(nullptr, "options");
    ASSERT_TRUE(vltest::activate(&dialog));
    for (const auto &entry :
         {std::pair{'s', "summary"}, std::pair{'d', "display"}, std::pair{'g', "general"}}) {
        const char letter = entry.first;
        const char *const page = entry.second; // captured below, so not a structured binding
        vltest::pressMnemonic(&dialog, QLatin1Char(letter));
        EXPECT_TRUE(vltest::waitUntil(
            [&] {
                return dialog.panel()->currentWidget() == at<QWidget>(dialog.panel(), QLatin1String(page));
            },
            2000))
            << page;
    }
}

TEST(OptionsWindows, ColumnTickedAndMovedFromTheKeyboard) {
    RecordingSoundPlayer player(true);
    DialogOptions dialog(nullptr, "options");
    DataOptions options; // no stored columns: the defaults, Bounce (second row) hidden
    dialog.load(options);
    ASSERT_TRUE(vltest::activate(&dialog));
    vltest::pressMnemonic(&dialog, QLatin1Char('d'));
    auto *table = at<QTableWidget>(dialog.panel(), QStringLiteral("display/columns/columns"));
    table->setFocus();
    ASSERT_TRUE(vltest::waitUntil([&] { return QApplication::focusWidget() == table; }, 2000));
    table->setCurrentCell(0, 0);
    QTest::keyClick(table, Qt::Key_Down);
    QTest::keyClick(table, Qt::Key_Space);
    EXPECT_EQ(table->item(1, 0)->checkState(), Qt::Checked);
    // Tab on to the up button and press it: Bounce moves to the top.
    QTest::keyClick(table, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), at<QWidget>(dialog.panel(), QStringLiteral("columnorder/up")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    DataOptions saved;
    dialog.save(saved);
    ASSERT_EQ(saved.display.columns.size(), 17);
    EXPECT_EQ(saved.display.columns[0].code, 2);
    EXPECT_FALSE(saved.display.columns[0].disable);
}

TEST(OptionsWindows, ClientDialogFromTheKeyboard) {
    DialogEmailClient dialog(nullptr, "client");
    dialog.setup(false, QStringLiteral("KMail"), QString());
    ASSERT_TRUE(vltest::activate(&dialog));
    EXPECT_EQ(vltest::mnemonicClashes(&dialog), QStringList{});
    EXPECT_EQ(vltest::missingMnemonics(&dialog), QStringList{});
    at<QWidget>(&dialog, QStringLiteral("usePreconfigured"))->setFocus();
    EXPECT_EQ(vltest::tabChain(&dialog).mid(0, 5),
              (QStringList{QStringLiteral("usePreconfigured"), QStringLiteral("preconfigured"),
                           QStringLiteral("useSpecified"), QStringLiteral("OK"), QStringLiteral("Cancel")}))
        << "the disabled command field and \"...\" are skipped";
    EXPECT_FALSE(vltest::saveScreenshot(&dialog, QStringLiteral("options_client")).isEmpty());

    // Tab to the second button, choose it with Space, type a command, confirm with Return.
    at<QWidget>(&dialog, QStringLiteral("useSpecified"))->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(at<QWidget>(&dialog, QStringLiteral("specified"))->isEnabled());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), at<QWidget>(&dialog, QStringLiteral("specified")));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("mutt"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    bool useSpecified = false;
    QString preconfigured, specified;
    dialog.results(useSpecified, preconfigured, specified);
    EXPECT_TRUE(useSpecified);
    EXPECT_EQ(specified, QStringLiteral("mutt"));
    EXPECT_EQ(preconfigured, QStringLiteral("KMail"));
}

// The options file as the store writes it for a record.
QByteArray fileFor(const DataOptions &record) {
    QTemporaryDir dir;
    EXPECT_TRUE(record.saveToFile(QStringLiteral("options"), "vlp", dir.path() + QLatin1Char('/')).isNull());
    return optionstest::fileBytes(dir.path() + QStringLiteral("/options.vlp"));
}

TEST(OptionsWindows, ScriptedChangesOnEveryTabAreAllTheFileGets) {
    RecordingSoundPlayer player(true);
    optionstest::installFixture("options_full.vlp");
    DataOptions expected = *optionstest::store();
    expected.general.displaySplash = false;
    expected.general.useSpecifiedClient = false;
    expected.general.specifiedClient = QStringLiteral("mutt -y");
    expected.display.unreadBold = false;
    expected.display.columns[5].disable = false; // "Blacklist", sixth in the stored order
    ASSERT_EQ(expected.display.columns[5].code, 3);
    expected.summary.outgoingEmailServer = QStringLiteral("smtp2.brindlecot.example");
    expected.summary.allowRevovery = false;

    // As the main window runs it: a named dialog over the window, loaded from the store,
    // saved only when accepted.
    QWidget mainWindow;
    mainWindow.resize(640, 480);
    mainWindow.show();
    DialogOptions dialog(&mainWindow, "options");
    dialog.loadFromStore();
    TrialRunner runner(&dialog);
    ASSERT_TRUE(runner.load(QStringLiteral(VL_TEST_DATA_DIR "/options_edit_each_tab.xml")))
        << runner.error().toStdString();
    QTimer bound;
    bound.setSingleShot(true);
    QObject::connect(&bound, &QTimer::timeout, &dialog, [] {
        ADD_FAILURE() << "the script did not end in time";
        while (QWidget *modal = QApplication::activeModalWidget())
            static_cast<QDialog *>(modal)->reject();
    });
    bound.start(60000);
    runner.start();
    const int result = dialog.exec();
    EXPECT_EQ(runner.stop(), TrialRunner::Passed) << runner.error().toStdString();
    ASSERT_EQ(result, QDialog::Accepted);
    EXPECT_TRUE(dialog.saveToStore().isNull());

    EXPECT_EQ(QString::fromUtf8(optionstest::fileBytes(optionstest::optionsFile())),
              QString::fromUtf8(fileFor(expected)));
}

} // namespace
