// The three options pages and the mail-client dialog on their own, offscreen: what each
// control shows for stored values in and out of range and what it saves, the new-mail sound
// list and preview, the column table, the summary page's log buttons and the client choice.
// The sounds folder is the fixture share's: "b.wav", "A.wav", "C.WAV" and "c.txt".
#include "data/data_radio_set.h"
#include "dialog_email_client.h"
#include "dialog_options.h"
#include "panel_options.h"
#include "panel_options_display.h"
#include "panel_options_general.h"
#include "panel_options_summary.h"
#include "vl_table_order.h"

#include "GuiHelpers.h"
#include "TempDir.h"
#include "options_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <functional>
#include <tuple>

namespace {

[[maybe_unused]] const bool kShare = optionstest::useShare("options_share");

using optionstest::at;
using optionstest::RecordingSoundPlayer;

const QString kSounds = QStringLiteral(VL_TEST_DATA_DIR "/options_share/sounds");

QStringList comboTexts(const QComboBox *combo) {
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

// Chooses an item as the user does: the combo box reports it activated.
void pick(QComboBox *combo, int index) {
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// ---------------------------------------------------------------- general: sounds

TEST(OptionsSounds, ListingMatchesWavInAnyCaseSortedIgnoringCase) {
    vltest::TempDir empty("vl-sounds");
    struct Case {
        const char *what;
        QString folder;
        QStringList expected;
    } cases[] = {
        {"fixture folder",
         kSounds,
         {QStringLiteral("A.wav"), QStringLiteral("b.wav"), QStringLiteral("C.WAV")}},
        {"empty folder", QString::fromStdString(empty.path()), {}},
        {"missing folder", QString::fromStdString(empty.file("none")), {}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(PanelOptionsGeneral::soundListIn(c.folder), c.expected) << c.what;
}

TEST(OptionsSounds, ComboOffersNoSoundThenEachNameAndPathsStayInsideTheList) {
    RecordingSoundPlayer player(true);
    PanelOptionsGeneral page(nullptr, "general");
    auto *combo = at<QComboBox>(&page, QStringLiteral("newMailSound"));
    EXPECT_EQ(comboTexts(combo),
              (QStringList{QString(), QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("C")}));
    EXPECT_EQ(PanelOptionsGeneral::soundFolder(), QStringLiteral(VL_TEST_DATA_DIR "/options_share/sounds"));
    EXPECT_EQ(PanelOptionsGeneral::soundPath(0), kSounds + QStringLiteral("/A.wav"));
    EXPECT_EQ(PanelOptionsGeneral::soundPath(2), kSounds + QStringLiteral("/C.WAV"));
    for (int outside : {-1, 3, 1000})
        EXPECT_TRUE(PanelOptionsGeneral::soundPath(outside).isEmpty()) << outside;
}

TEST(OptionsSounds, PreviewPlaysTheChosenItemEvenWithThePlayOptionOff) {
    RecordingSoundPlayer player(true);
    PanelOptionsGeneral page(nullptr, "general");
    DataOptionsGeneral general;
    general.playSoundOnNewMail = false;
    page.load(general);
    auto *combo = at<QComboBox>(&page, QStringLiteral("newMailSound"));
    testing::internal::CaptureStderr();
    pick(combo, 2);
    pick(combo, 0); // no sound: nothing to preview
    pick(combo, 3);
    const std::string trace = testing::internal::GetCapturedStderr();
    EXPECT_EQ(player.played,
              (QStringList{PanelOptionsGeneral::soundPath(1), PanelOptionsGeneral::soundPath(2)}));
    EXPECT_NE(trace.find("PanelOptionsGeneral::slotSoundChanged: " +
                         (kSounds + QStringLiteral("/b.wav")).toStdString()),
              std::string::npos);
    DataOptionsGeneral saved;
    page.save(saved);
    EXPECT_EQ(saved.newMailSound, 3);
    EXPECT_FALSE(saved.playSoundOnNewMail);
}

TEST(OptionsSounds, WithoutSoundTheControlsAreDisabledUnlessAnySoundIsSet) {
    struct Case {
        const char *what;
        bool available;
        const char *anySound; // null: unset
        bool enabled;
        bool plays;
    } cases[] = {
        {"sound", true, nullptr, true, true},
        {"no sound", false, nullptr, false, false},
        {"no sound, VL_ANY_SOUND empty", false, "", true, false},
        {"no sound, VL_ANY_SOUND=1", false, "1", true, false},
    };
    for (const Case &c : cases) {
        if (c.anySound)
            qputenv("VL_ANY_SOUND", c.anySound);
        else
            qunsetenv("VL_ANY_SOUND");
        RecordingSoundPlayer player(c.available);
        PanelOptionsGeneral page(nullptr, "general");
        DataOptionsGeneral general;
        general.playSoundOnNewMail = true;
        general.newMailSound = 2;
        page.load(general);
        auto *play = at<QCheckBox>(&page, QStringLiteral("playSoundOnNewMail"));
        auto *combo = at<QComboBox>(&page, QStringLiteral("newMailSound"));
        EXPECT_EQ(play->isEnabled(), c.enabled) << c.what;
        EXPECT_EQ(combo->isEnabled(), c.enabled) << c.what;
        pick(combo, 1);
        EXPECT_EQ(player.played.size(), c.plays ? 1 : 0) << c.what;
        // Disabled or not, the values are kept.
        combo->setCurrentIndex(2);
        DataOptionsGeneral saved;
        page.save(saved);
        EXPECT_TRUE(saved.playSoundOnNewMail) << c.what;
        EXPECT_EQ(saved.newMailSound, 2) << c.what;
    }
    qunsetenv("VL_ANY_SOUND");
}

// ---------------------------------------------------------------- general: throttle and values

TEST(OptionsGeneral, ThrottleLabelFollowsDraggingOnly) {
    RecordingSoundPlayer player(true);
    PanelOptionsGeneral page(nullptr, "general");
    DataOptionsGeneral general;
    general.spamThrottle_ = 450;
    page.load(general);
    auto *slider = at<QSlider>(&page, QStringLiteral("spamThrottle"));
    auto *label = at<QLabel>(&page, QStringLiteral("downloadFirst"));
    EXPECT_EQ(label->text(), QStringLiteral("450 lines"));

    // The keyboard moves the value, not the label.
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageUp);
    const int byKeyboard = slider->value();
    EXPECT_NE(byKeyboard, 450);
    EXPECT_EQ(label->text(), QStringLiteral("450 lines"));
    DataOptionsGeneral saved;
    page.save(saved);
    EXPECT_EQ(saved.spamThrottle_, byKeyboard);

    // Dragging the handle moves both.
    slider->setSliderDown(true);
    slider->setSliderPosition(620);
    slider->setSliderDown(false);
    EXPECT_EQ(label->text(), QStringLiteral("620 lines"));
    page.save(saved);
    EXPECT_EQ(saved.spamThrottle_, 620);
}

// One stored value a control cannot show as it is, what the control shows instead, and
// what a user's own choice in that control saves.
struct ClampCase {
    const char *what;
    std::function<void(DataOptions &)> set;
    std::function<int(const DataOptions &)> get;
    const char *control;
    int shown;             // value, or current item (-1: none)
    const char *shownText; // "downloadFirst" text, or null
    std::function<void(QWidget *)> userMove;
    int moved;
};

int shownValue(QObject *w) {
    if (auto *x = qobject_cast<QSlider *>(w))
        return x->value();
    if (auto *x = qobject_cast<QSpinBox *>(w))
        return x->value();
    if (auto *x = qobject_cast<QComboBox *>(w))
        return x->currentIndex();
    ADD_FAILURE() << "no bound control";
    return -999;
}

void drag(QWidget *w, int to) {
    auto *slider = static_cast<QSlider *>(w);
    slider->setSliderDown(true);
    slider->setSliderPosition(to);
    slider->setSliderDown(false);
}

void PrintTo(const ClampCase &c, std::ostream *os) {
    *os << c.what;
}

class OptionsClamped : public ::testing::TestWithParam<ClampCase> {};

TEST_P(OptionsClamped, UntouchedSavesTheStoredValueAndAMoveSavesTheNewOne) {
    const ClampCase &c = GetParam();
    RecordingSoundPlayer player(true);
    PanelOptions panel(nullptr, "panel");
    DataOptions stored;
    stored.summary.messageLogging = true;
    stored.summary.emailSummary = true;
    // A complete column list, which the page saves as it found it.
    for (int code = 1; code <= 17; ++code)
        stored.display.columns.append(DataOptionsColumn(code > 5, code, 10 * code));
    c.set(stored);
    const int storedValue = c.get(stored);
    panel.load(stored);
    auto *control = at<QWidget>(&panel, QLatin1String(c.control));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(shownValue(control), c.shown);
    if (c.shownText) {
        EXPECT_EQ(at<QLabel>(&panel, QStringLiteral("downloadFirst"))->text(), QLatin1String(c.shownText));
    }

    DataOptions saved;
    panel.save(saved);
    EXPECT_EQ(c.get(saved), storedValue) << "untouched";
    EXPECT_EQ(optionstest::xml(saved), optionstest::xml(stored)) << "nothing else changes either";

    c.userMove(control);
    panel.save(saved);
    EXPECT_EQ(c.get(saved), c.moved) << "after the user's move";
}

const ClampCase kClamped[] = {
    {"throttle_150", [](DataOptions &o) { o.general.spamThrottle_ = 150; },
     [](const DataOptions &o) { return o.general.spamThrottle_; }, "spamThrottle", 200, "200 lines",
     [](QWidget *w) { drag(w, 350); }, 350},
    {"throttle_1000", [](DataOptions &o) { o.general.spamThrottle_ = 1000; },
     [](const DataOptions &o) { return o.general.spamThrottle_; }, "spamThrottle", 800, "800 lines",
     [](QWidget *w) { drag(w, 700); }, 700},
    {"throttle_150_back_to_200", [](DataOptions &o) { o.general.spamThrottle_ = 150; },
     [](const DataOptions &o) { return o.general.spamThrottle_; }, "spamThrottle", 200, "200 lines",
     [](QWidget *w) {
         // Moved away and back: the slider shows what load showed, so the stored value stays.
         drag(w, 300);
         drag(w, 200);
     },
     150},
    {"interval_0", [](DataOptions &o) { o.general.checkInterval = 0; },
     [](const DataOptions &o) { return o.general.checkInterval; }, "checkInterval", 0, nullptr,
     [](QWidget *w) { static_cast<QSpinBox *>(w)->stepUp(); }, 1},
    {"keep_log_150", [](DataOptions &o) { o.summary.keepLogFor = 150; },
     [](const DataOptions &o) { return o.summary.keepLogFor; }, "keepLogFor", 99, nullptr,
     [](QWidget *w) { static_cast<QSpinBox *>(w)->stepDown(); }, 98},
    {"keep_log_negative", [](DataOptions &o) { o.summary.keepLogFor = -4; },
     [](const DataOptions &o) { return o.summary.keepLogFor; }, "keepLogFor", 0, nullptr,
     [](QWidget *w) { static_cast<QSpinBox *>(w)->setValue(12); }, 12},
    {"sound_beyond_list", [](DataOptions &o) { o.general.newMailSound = 9; },
     [](const DataOptions &o) { return o.general.newMailSound; }, "newMailSound", -1, nullptr,
     [](QWidget *w) { pick(static_cast<QComboBox *>(w), 2); }, 2},
    {"sound_negative", [](DataOptions &o) { o.general.newMailSound = -3; },
     [](const DataOptions &o) { return o.general.newMailSound; }, "newMailSound", -1, nullptr,
     [](QWidget *w) { pick(static_cast<QComboBox *>(w), 0); }, 0},
    {"summary_every_7", [](DataOptions &o) { o.summary.emailSummaryEvery = 7; },
     [](const DataOptions &o) { return o.summary.emailSummaryEvery; }, "emailSummaryEvery", -1, nullptr,
     [](QWidget *w) { static_cast<QComboBox *>(w)->setCurrentIndex(0); }, 0},
    {"summary_every_negative", [](DataOptions &o) { o.summary.emailSummaryEvery = -1; },
     [](const DataOptions &o) { return o.summary.emailSummaryEvery; }, "emailSummaryEvery", -1, nullptr,
     [](QWidget *w) { static_cast<QComboBox *>(w)->setCurrentIndex(4); }, 4},
};

INSTANTIATE_TEST_SUITE_P(Options, OptionsClamped, ::testing::ValuesIn(kClamped),
                         [](const auto &info) { return std::string(info.param.what); });

TEST(OptionsGeneral, MailClientChoiceReachesTheRecordOnlyThroughTheClientDialog) {
    RecordingSoundPlayer player(true);
    PanelOptionsGeneral page(nullptr, "general");
    DataOptionsGeneral general;
    general.preconfiguredClient = QStringLiteral("Kontact");
    page.load(general);

    // Cancelled: the page keeps what it had.
    vltest::whenModal(QStringLiteral("client"), [](QWidget *w) {
        auto *dialog = static_cast<DialogEmailClient *>(w);
        dialog->which()->setValue(2);
        at<QLineEdit>(dialog, QStringLiteral("specified"))->setText(QStringLiteral("mutt"));
        dialog->reject();
    });
    at<QPushButton>(&page, QStringLiteral("specify_client"))->click();
    EXPECT_FALSE(page.useSpecifiedClient());
    EXPECT_EQ(page.specifiedClient(), QString());

    vltest::whenModal(QStringLiteral("client"), [](QWidget *w) {
        auto *dialog = static_cast<DialogEmailClient *>(w);
        EXPECT_EQ(at<QComboBox>(dialog, QStringLiteral("preconfigured"))->currentText(),
                  QStringLiteral("Kontact"));
        dialog->which()->setValue(2);
        at<QLineEdit>(dialog, QStringLiteral("specified"))->setText(QStringLiteral("mutt -y"));
        dialog->accept();
    });
    at<QPushButton>(&page, QStringLiteral("specify_client"))->click();
    EXPECT_TRUE(page.useSpecifiedClient());
    EXPECT_EQ(page.specifiedClient(), QStringLiteral("mutt -y"));
    EXPECT_TRUE(general.specifiedClient.isEmpty()) << "the loaded record is not touched";

    DataOptionsGeneral saved;
    page.save(saved);
    EXPECT_TRUE(saved.useSpecifiedClient);
    EXPECT_EQ(saved.preconfiguredClient, QStringLiteral("Kontact"));
    EXPECT_EQ(saved.specifiedClient, QStringLiteral("mutt -y"));
}

// ---------------------------------------------------------------- display: column table

struct Row {
    int code;
    bool checked;
    int width;
    QString name;
    bool operator==(const Row &o) const = default;
};

void PrintTo(const Row &r, std::ostream *os) {
    *os << "{" << r.code << (r.checked ? " shown " : " hidden ") << r.width << " " << r.name.toStdString()
        << "}";
}

std::vector<Row> rows(const QTableWidget *table) {
    std::vector<Row> out;
    for (int row = 0; row < table->rowCount(); ++row) {
        const auto *item = dynamic_cast<const ColumnItem *>(table->item(row, 0));
        const QTableWidgetItem *name = table->item(row, 1);
        if (!item || !name) {
            ADD_FAILURE() << "row " << row << " lacks its cells";
            continue;
        }
        EXPECT_TRUE(item->text().isEmpty());
        EXPECT_TRUE(item->flags() & Qt::ItemIsUserCheckable);
        out.push_back({item->code(), item->isChecked(), item->width(), name->text()});
    }
    return out;
}

QList<int> codes(const std::vector<Row> &list) {
    QList<int> out;
    for (const Row &r : list)
        out << r.code;
    return out;
}

QList<int> checkedCodes(const std::vector<Row> &list) {
    QList<int> out;
    for (const Row &r : list)
        if (r.checked)
            out << r.code;
    return out;
}

DataOptionsDisplay withColumns(const QList<DataOptionsColumn> &columns) {
    DataOptionsDisplay display;
    display.columns = columns;
    return display;
}

const QList<int> kDefaultShown = {1, 5, 6, 7, 8, 9, 10, 11};

TEST(OptionsDisplay, ColumnInfoKnowsTheSeventeenColumns) {
    int count = 0;
    for (const ColumnInfo *info = columnInfo; info->name; ++info, ++count)
        EXPECT_EQ(info->code, count + 1);
    EXPECT_EQ(count, 17);
    EXPECT_STREQ(findColumnInfo(8)->name, "Subject");
    EXPECT_STREQ(findColumnInfo(17)->name, "Spamcop");
    for (int code : {0, -1, 18, 42})
        EXPECT_EQ(findColumnInfo(code), nullptr) << code;
}

TEST(OptionsDisplay, StoredListsFillTheTable) {
    QList<int> codeOrder;
    for (int code = 1; code <= 17; ++code)
        codeOrder << code;
    QList<DataOptionsColumn> allHidden;
    for (int code = 17; code >= 1; --code)
        allHidden << DataOptionsColumn(true, code, 50);

    struct Case {
        const char *what;
        QList<DataOptionsColumn> stored;
        QList<int> order;
        QList<int> checked;
    } cases[] = {
        {"fresh record", {}, codeOrder, kDefaultShown},
        {"every column hidden",
         allHidden,
         {17, 16, 15, 14, 13, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1},
         {11, 10, 9, 8, 7, 6, 5, 1}},
        {"two stored",
         {DataOptionsColumn(false, 9, 80), DataOptionsColumn(true, 5, 40)},
         {9, 5, 1, 2, 3, 4, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16, 17},
         {9}},
    };
    for (const Case &c : cases) {
        PanelOptionsDisplay page(nullptr, "display");
        page.load(withColumns(c.stored));
        const std::vector<Row> shown = rows(page.table());
        EXPECT_EQ(codes(shown), c.order) << c.what;
        EXPECT_EQ(checkedCodes(shown), c.checked) << c.what;
    }
}

TEST(OptionsDisplay, PartialListKeepsStoredWidthsAndAddsTheRestHidden) {
    PanelOptionsDisplay page(nullptr, "display");
    page.load(withColumns({DataOptionsColumn(false, 9, 80), DataOptionsColumn(true, 5, 40)}));
    const std::vector<Row> shown = rows(page.table());
    ASSERT_EQ(shown.size(), 17u);
    EXPECT_EQ(shown[0], (Row{9, true, 80, QStringLiteral("Sent")}));
    EXPECT_EQ(shown[1], (Row{5, false, 40, QStringLiteral("Status")}));
    for (std::size_t i = 2; i < shown.size(); ++i) {
        EXPECT_FALSE(shown[i].checked) << i;
        EXPECT_EQ(shown[i].width, 0) << i;
    }

    DataOptionsDisplay saved;
    page.save(saved);
    ASSERT_EQ(saved.columns.size(), 17);
    EXPECT_EQ(saved.columns[0].code, 9);
    EXPECT_FALSE(saved.columns[0].disable);
    EXPECT_EQ(saved.columns[0].width, 80);
    EXPECT_EQ(saved.columns[1].code, 5);
    EXPECT_TRUE(saved.columns[1].disable);
    EXPECT_EQ(saved.columns[1].width, 40);
    EXPECT_EQ(saved.columns[2].code, 1);
    EXPECT_EQ(saved.columns[2].width, 0);
}

TEST(OptionsDisplay, MovedRowsCarryTheirWidthAndTicksAreSaved) {
    PanelOptionsDisplay page(nullptr, "display");
    page.load(withColumns(
        {DataOptionsColumn(false, 9, 80), DataOptionsColumn(true, 5, 40), DataOptionsColumn(false, 7, 120)}));
    QTableWidget *table = page.table();
    table->setCurrentCell(2, 1);
    page.order()->buttonUp()->click();             // From above Status
    page.order()->buttonUp()->click();             // and above Sent: From, Sent, Status, Delete, Bounce...
    table->item(3, 0)->setCheckState(Qt::Checked); // Delete shown
    table->setCurrentCell(3, 1);
    page.order()->buttonDown()->click(); // and moved below Bounce

    DataOptionsDisplay saved;
    page.save(saved);
    ASSERT_EQ(saved.columns.size(), 17);
    const QList<std::tuple<int, bool, int>> expected = {
        {7, false, 120}, {9, false, 80}, {5, true, 40}, {2, true, 0}, {1, false, 0}};
    for (int i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(saved.columns[i].code, std::get<0>(expected[i])) << i;
        EXPECT_EQ(saved.columns[i].disable, std::get<1>(expected[i])) << i;
        EXPECT_EQ(saved.columns[i].width, std::get<2>(expected[i])) << i;
    }
}

TEST(OptionsDisplay, UnknownCodesAreCarriedAfterTheRowsAndRepeatsKeepTheFirst) {
    PanelOptionsDisplay page(nullptr, "display");
    page.load(withColumns({DataOptionsColumn(false, 0, 11), DataOptionsColumn(false, 7, 70),
                           DataOptionsColumn(true, 42, 12), DataOptionsColumn(true, 7, 99),
                           DataOptionsColumn(false, -1, 13)}));
    const std::vector<Row> shown = rows(page.table());
    ASSERT_EQ(shown.size(), 17u);
    EXPECT_EQ(shown[0], (Row{7, true, 70, QStringLiteral("From")}));
    EXPECT_EQ(checkedCodes(shown), QList<int>{7});

    DataOptionsDisplay saved;
    page.save(saved);
    ASSERT_EQ(saved.columns.size(), 20);
    EXPECT_EQ(saved.columns[0].width, 70);
    const QList<std::tuple<int, bool, int>> carried = {{0, false, 11}, {42, true, 12}, {-1, false, 13}};
    for (int i = 0; i < carried.size(); ++i) {
        const DataOptionsColumn &c = saved.columns[17 + i];
        EXPECT_EQ(c.code, std::get<0>(carried[i])) << i;
        EXPECT_EQ(c.disable, std::get<1>(carried[i])) << i;
        EXPECT_EQ(c.width, std::get<2>(carried[i])) << i;
    }
    int sevens = 0;
    for (const DataOptionsColumn &c : saved.columns)
        sevens += c.code == 7;
    EXPECT_EQ(sevens, 1);
}

TEST(OptionsDisplay, ReloadingStartsTheTableAfresh) {
    PanelOptionsDisplay page(nullptr, "display");
    page.load(withColumns({DataOptionsColumn(false, 42, 1), DataOptionsColumn(false, 3, 30)}));
    page.load(withColumns({}));
    EXPECT_EQ(codes(rows(page.table())).size(), 17);
    DataOptionsDisplay saved;
    page.save(saved);
    EXPECT_EQ(saved.columns.size(), 17) << "nothing carried from the earlier record";
}

// ---------------------------------------------------------------- summary

TEST(OptionsSummary, LoggingOffDisablesThePageAndKeepsEveryValue) {
    PanelOptionsSummary page(nullptr, "summary");
    DataOptionsSummary stored;
    stored.messageLogging = false;
    stored.keepLogFor = 21;
    stored.emailSummary = true;
    stored.emailSummaryEvery = 4;
    stored.allowRevovery = true;
    stored.outgoingEmailAddress = QStringLiteral("ada@brindlecot.example");
    stored.outgoingEmailServer = QStringLiteral("smtp.brindlecot.example");
    stored.advanced.portNumber = 2525;
    stored.advanced.useSMTPAuth = true;
    stored.advanced.authUsing = 2;
    stored.advanced.authUserName = QStringLiteral("ada");
    page.load(stored);
    for (const char *name : {"keepLogFor", "clearLogs", "emailSummary", "emailSummaryEvery", "allowRecovery",
                             "emptyBin", "advanced", "outgoingEmailAddress", "outgoingEmailServer"})
        EXPECT_FALSE(at<QWidget>(&page, QLatin1String(name))->isEnabled()) << name;
    EXPECT_EQ(at<QComboBox>(&page, QStringLiteral("emailSummaryEvery"))->currentText(),
              QStringLiteral("Every Four Weeks"));
    DataOptionsSummary saved;
    page.save(saved);
    EXPECT_EQ(optionstest::xml(saved), optionstest::xml(stored));

    at<QGroupBox>(&page, QStringLiteral("messageLogging"))->setChecked(true);
    EXPECT_TRUE(at<QWidget>(&page, QStringLiteral("outgoingEmailServer"))->isEnabled());
}

TEST(OptionsSummary, PeriodIsTheItemNumberAndRecoveryKeepsItsStoredSpelling) {
    PanelOptionsSummary page(nullptr, "summary");
    DataOptionsSummary stored;
    stored.messageLogging = stored.emailSummary = true;
    stored.emailSummaryEvery = 3;
    stored.allowRevovery = true;
    page.load(stored);
    auto *every = at<QComboBox>(&page, QStringLiteral("emailSummaryEvery"));
    EXPECT_EQ(every->currentText(), QStringLiteral("Every Two Weeks"));
    EXPECT_TRUE(at<QCheckBox>(&page, QStringLiteral("allowRecovery"))->isChecked());

    every->setCurrentIndex(every->findText(QStringLiteral("Every Week")));
    at<QCheckBox>(&page, QStringLiteral("allowRecovery"))->setChecked(false);
    DataOptionsSummary saved;
    page.save(saved);
    EXPECT_EQ(saved.emailSummaryEvery, 2) << "the item, not 7 days";
    QDomDocument doc;
    QDomElement element = doc.createElement(QStringLiteral("summary"));
    saved.store(element);
    EXPECT_EQ(element.attribute(QStringLiteral("allowRevovery")), QStringLiteral("0"));
    EXPECT_FALSE(element.hasAttribute(QStringLiteral("allowRecovery")));
}

TEST(OptionsSummary, AdvancedSmtpDialogChangesOnlyThePageCopyWhenAccepted) {
    PanelOptionsSummary page(nullptr, "summary");
    DataOptionsSummary stored;
    stored.messageLogging = true;
    stored.advanced.portNumber = 2525;
    stored.advanced.useSMTPAuth = true;
    stored.advanced.authUsing = 2;
    stored.advanced.authUserName = QStringLiteral("ada");
    page.load(stored);
    const QString before = optionstest::xml(page.smtp());

    vltest::whenModal(QStringLiteral("smtp"), [](QWidget *w) {
        at<QLineEdit>(w, QStringLiteral("userName"))->setText(QStringLiteral("someone else"));
        static_cast<QDialog *>(w)->reject();
    });
    at<QPushButton>(&page, QStringLiteral("advanced"))->click();
    EXPECT_EQ(optionstest::xml(page.smtp()), before);

    vltest::whenModal(QStringLiteral("smtp"), [](QWidget *w) {
        EXPECT_FALSE(at<QRadioButton>(w, QStringLiteral("authAsIncoming"))->isVisibleTo(w))
            << "no incoming login to borrow";
        at<QLineEdit>(w, QStringLiteral("userName"))->setText(QStringLiteral("relay"));
        static_cast<QDialog *>(w)->accept();
    });
    at<QPushButton>(&page, QStringLiteral("advanced"))->click();
    EXPECT_EQ(page.smtp().authUserName, QStringLiteral("relay"));
    EXPECT_EQ(page.smtp().portNumber, 2525);
    DataOptionsSummary saved;
    page.save(saved);
    EXPECT_EQ(saved.advanced.authUserName, QStringLiteral("relay"));
}

// ---------------------------------------------------------------- object names

struct NameCase {
    const char *path;
    const char *className;
};

const NameCase kNames[] = {
    {"panel/general", "PanelOptionsGeneral"},
    {"general/launchAfterProcess", "QCheckBox"},
    {"general/specify_client", "QPushButton"},
    {"general/minimiseAfterProcess", "QCheckBox"},
    {"general/playSoundOnNewMail", "QCheckBox"},
    {"general/newMailSound", "QComboBox"},
    {"general/displaySplash", "QCheckBox"},
    {"general/checkPeriodically", "QCheckBox"},
    {"general/checkInterval", "QSpinBox"},
    {"general/minimizeOnClose", "QCheckBox"},
    {"general/minimizeOnStartup", "QCheckBox"},
    {"general/systrayOnMinimize", "QCheckBox"},
    {"general/checkOnStartup", "QCheckBox"},
    {"general/downloadFirst", "QLabel"},
    {"general/spamThrottle", "QSlider"},
    {"panel/display", "PanelOptionsDisplay"},
    {"display/email", "QGroupBox"},
    {"email/unread", "QGroupBox"},
    {"unread/unreadBold", "QCheckBox"},
    {"unread/unreadColored", "QCheckBox"},
    {"unread/unreadColor", "VLColorButton"},
    {"email/read", "QGroupBox"},
    {"read/readDisplay", "QCheckBox"},
    {"read/readColored", "QCheckBox"},
    {"read/readColor", "VLColorButton"},
    {"display/filler", "QGroupBox"},
    {"filler/buttons", "QGroupBox"},
    {"buttons/largeButtons", "QCheckBox"},
    {"buttons/captionButtons", "QCheckBox"},
    {"display/columns", "QGroupBox"},
    {"display/columns/columns", "QTableWidget"},
    {"display/columns/columnorder", "VLTableOrder"},
    {"panel/summary", "PanelOptionsSummary"},
    {"summary/messageLogging", "QGroupBox"},
    {"messageLogging/keepLogFor", "QSpinBox"},
    {"messageLogging/emailSummary", "QGroupBox"},
    {"messageLogging/recycle", "QGroupBox"},
    {"recycle/allowRecovery", "QCheckBox"},
    {"messageLogging/outgoing", "QGroupBox"},
    {"outgoing/outgoingEmailAddress", "QLineEdit"},
    {"outgoing/outgoingEmailServer", "QLineEdit"},
    {"Customizing_Options", "QPushButton"},
};

TEST(OptionsNames, EveryBoundWidgetIsWhereScriptsLookForIt) {
    RecordingSoundPlayer player(true);
    DialogOptions dialog(nullptr, "options");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Options"));
    for (const NameCase &c : kNames) {
        QObject *w = at<QObject>(&dialog, QLatin1String(c.path));
        if (w) {
            EXPECT_TRUE(w->inherits(c.className)) << c.path << " is a " << w->metaObject()->className();
        }
    }
    auto *tabs = at<QTabWidget>(&dialog, QStringLiteral("panel"));
    ASSERT_EQ(tabs->count(), 3);
    QStringList labels;
    for (int i = 0; i < tabs->count(); ++i)
        labels << tabs->tabText(i).remove(QLatin1Char('&'));
    EXPECT_EQ(labels,
              (QStringList{QStringLiteral("General"), QStringLiteral("Display"), QStringLiteral("Summary")}));
    EXPECT_EQ(at<QCheckBox>(&dialog, QStringLiteral("checkOnStartup"))->text().remove(QLatin1Char('&')),
              QStringLiteral("Perform default main check on startup"));
    EXPECT_EQ(at<QGroupBox>(&dialog, QStringLiteral("emailSummary"))->title().remove(QLatin1Char('&')),
              QStringLiteral("Email me a summary of Ruveredaz's activity"));
}

// ---------------------------------------------------------------- mail-client dialog

struct ClientState {
    bool preconfiguredEnabled;
    bool commandEnabled; // "specified", "..." and the hint alike
};

ClientState state(const DialogEmailClient &dialog) {
    const bool command = at<QWidget>(&dialog, QStringLiteral("specified"))->isEnabled();
    EXPECT_EQ(at<QWidget>(&dialog, QStringLiteral("browse"))->isEnabled(), command);
    EXPECT_EQ(at<QWidget>(&dialog, QStringLiteral("hint"))->isEnabled(), command);
    return {at<QWidget>(&dialog, QStringLiteral("preconfigured"))->isEnabled(), command};
}

TEST(OptionsClient, KnownNameSelectsItAndDisablesTheCommand) {
    DialogEmailClient dialog(nullptr, "client");
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Select Mail Client"));
    EXPECT_EQ(comboTexts(at<QComboBox>(&dialog, QStringLiteral("preconfigured"))),
              (QStringList{QStringLiteral("Evolution"), QStringLiteral("Kontact"), QStringLiteral("KMail"),
                           QStringLiteral("Thunderbird")}));
    testing::internal::CaptureStderr();
    dialog.setup(false, QStringLiteral("KMail"), QString());
    EXPECT_NE(testing::internal::GetCapturedStderr().find("DialogEmailClient::slotWhichChanged: which=1\n"),
              std::string::npos);
    EXPECT_TRUE(at<QRadioButton>(&dialog, QStringLiteral("usePreconfigured"))->isChecked());
    EXPECT_FALSE(at<QRadioButton>(&dialog, QStringLiteral("useSpecified"))->isChecked());
    EXPECT_EQ(at<QComboBox>(&dialog, QStringLiteral("preconfigured"))->currentText(),
              QStringLiteral("KMail"));
    const ClientState s = state(dialog);
    EXPECT_TRUE(s.preconfiguredEnabled);
    EXPECT_FALSE(s.commandEnabled);
}

TEST(OptionsClient, SwitchingButtonsKeepsTheTypedCommandAndResultsGiveAllThree) {
    DialogEmailClient dialog(nullptr, "client");
    dialog.setup(true, QStringLiteral("Thunderbird"), QStringLiteral("mutt"));
    EXPECT_FALSE(state(dialog).preconfiguredEnabled);
    EXPECT_TRUE(state(dialog).commandEnabled);
    at<QLineEdit>(&dialog, QStringLiteral("specified"))->setText(QStringLiteral("mutt -R"));
    at<QRadioButton>(&dialog, QStringLiteral("usePreconfigured"))->click();
    EXPECT_TRUE(state(dialog).preconfiguredEnabled);
    EXPECT_FALSE(state(dialog).commandEnabled);
    at<QRadioButton>(&dialog, QStringLiteral("useSpecified"))->click();
    EXPECT_EQ(at<QLineEdit>(&dialog, QStringLiteral("specified"))->text(), QStringLiteral("mutt -R"));
    at<QRadioButton>(&dialog, QStringLiteral("usePreconfigured"))->click();

    bool useSpecified = true;
    QString preconfigured, specified;
    dialog.results(useSpecified, preconfigured, specified);
    EXPECT_FALSE(useSpecified);
    EXPECT_EQ(preconfigured, QStringLiteral("Thunderbird"));
    EXPECT_EQ(specified, QStringLiteral("mutt -R"));
}

TEST(OptionsClient, UnknownNameLeavesTheFirstClient) {
    DialogEmailClient dialog(nullptr, "client");
    dialog.setup(false, QStringLiteral("Pine"), QString());
    bool useSpecified = true;
    QString preconfigured, specified;
    dialog.results(useSpecified, preconfigured, specified);
    EXPECT_FALSE(useSpecified);
    EXPECT_EQ(preconfigured, QStringLiteral("Evolution"));
    EXPECT_EQ(specified, QString());
}

TEST(OptionsClient, BrowsedPathGoesInUnchangedAndACancelledChooserChangesNothing) {
    DialogEmailClient dialog(nullptr, "client");
    dialog.setup(true, QString(), QStringLiteral("old command"));
    auto *field = at<QLineEdit>(&dialog, QStringLiteral("specified"));
    struct Case {
        const char *what;
        QString chosen;
        QString expected;
    } cases[] = {
        {"path with blanks", QStringLiteral("/opt/My Mail/bin/mail client"),
         QStringLiteral("/opt/My Mail/bin/mail client")},
        {"cancelled", QString(), QStringLiteral("/opt/My Mail/bin/mail client")},
    };
    int asked = 0;
    for (const Case &c : cases) {
        DialogEmailClient::setFileChooser([&] {
            ++asked;
            return c.chosen;
        });
        at<QPushButton>(&dialog, QStringLiteral("browse"))->click();
        EXPECT_EQ(field->text(), c.expected) << c.what;
    }
    DialogEmailClient::setFileChooser({});
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(at<QLabel>(&dialog, QStringLiteral("hint"))->text(),
              QStringLiteral("If the name contains spaces then enclose it in double quotes"));
}

} // namespace
