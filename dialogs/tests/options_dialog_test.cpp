// The options dialog against the real options store and its file: the committed record
// files come back byte for byte after OK with nothing touched, Cancel writes nothing
// whatever was edited or chosen in the dialogs it opened, and the summary page's log
// buttons act at once on Yes and write nothing.
#include "dialog_options.h"
#include "panel_options.h"
#include "panel_options_general.h"
#include "panel_options_summary.h"

#include "GuiHelpers.h"
#include "options_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>

#include <functional>

namespace {

[[maybe_unused]] const bool kShare = optionstest::useShare("options_share");

using optionstest::at;
using optionstest::fileBytes;
using optionstest::RecordingSoundPlayer;

const char *const kFixtures[] = {"options_full.vlp", "options_awkward.vlp"};

QDialog *asDialog(QWidget *w) {
    return static_cast<QDialog *>(w);
}

TEST(OptionsStore, StoreAloneRewritesEachFixtureUnchanged) {
    for (const char *name : kFixtures) {
        optionstest::installFixture(name);
        const QByteArray committed = fileBytes(optionstest::fixturePath(name));
        optionstest::store()->setChanged(false);
        ASSERT_TRUE(optionstest::store()->saveToStore().isNull()) << name;
        EXPECT_EQ(fileBytes(optionstest::optionsFile()), committed) << name;
    }
}

TEST(OptionsStore, OkWithNothingTouchedRewritesEachFixtureByteForByte) {
    RecordingSoundPlayer player(true);
    for (const char *name : kFixtures) {
        optionstest::installFixture(name);
        const QByteArray committed = fileBytes(optionstest::fixturePath(name));
        DialogOptions dialog(nullptr, "options");
        dialog.loadFromStore();
        vltest::whenModal(QStringLiteral("options"), [](QWidget *w) { asDialog(w)->accept(); });
        ASSERT_EQ(dialog.exec(), QDialog::Accepted) << name;
        EXPECT_TRUE(dialog.saveToStore().isNull()) << name;
        EXPECT_TRUE(QFile::exists(optionstest::backupFile())) << name << ": the file was rewritten";
        EXPECT_EQ(fileBytes(optionstest::optionsFile()), committed) << name;
    }
}

TEST(OptionsStore, SaveBeforeLoadWritesNothing) {
    RecordingSoundPlayer player(true);
    optionstest::installFixture("options_full.vlp");
    DialogOptions dialog(nullptr, "options");
    DataOptions other;
    dialog.load(other);
    EXPECT_TRUE(dialog.saveToStore().isNull());
    EXPECT_FALSE(QFile::exists(optionstest::backupFile()));
    EXPECT_EQ(fileBytes(optionstest::optionsFile()), fileBytes(optionstest::fixturePath("options_full.vlp")));
}

// What the user does inside the open options dialog before cancelling it.
struct CancelCase {
    const char *what;
    std::function<void(DialogOptions &)> edit;
};

class OptionsCancel : public ::testing::TestWithParam<CancelCase> {};

TEST_P(OptionsCancel, WritesNothing) {
    const CancelCase &c = GetParam();
    RecordingSoundPlayer player(true);
    optionstest::installFixture("options_full.vlp");
    const QByteArray committed = fileBytes(optionstest::optionsFile());
    const QString record = optionstest::xml(static_cast<DataOptions &>(*optionstest::store()));

    DialogOptions dialog(nullptr, "options");
    dialog.loadFromStore();
    vltest::whenModal(QStringLiteral("options"), [&](QWidget *w) {
        c.edit(dialog);
        asDialog(w)->reject();
    });
    ASSERT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(fileBytes(optionstest::optionsFile()), committed);
    EXPECT_FALSE(QFile::exists(optionstest::backupFile()));
    EXPECT_EQ(optionstest::xml(static_cast<DataOptions &>(*optionstest::store())), record)
        << "the store's record is untouched too";
}

const CancelCase kCancels[] = {
    {"edits_on_every_tab",
     [](DialogOptions &d) {
         at<QCheckBox>(&d, QStringLiteral("displaySplash"))->setChecked(false);
         at<QCheckBox>(&d, QStringLiteral("captionButtons"))->setChecked(false);
         at<QTableWidget>(&d, QStringLiteral("display/columns/columns"))
             ->item(0, 0)
             ->setCheckState(Qt::Unchecked);
         at<QLineEdit>(&d, QStringLiteral("outgoingEmailServer"))->setText(QStringLiteral("other.example"));
     }},
    {"client_chosen",
     [](DialogOptions &d) {
         vltest::whenModal(QStringLiteral("client"), [](QWidget *w) {
             at<QRadioButton>(w, QStringLiteral("usePreconfigured"))->click();
             at<QComboBox>(w, QStringLiteral("preconfigured"))->setCurrentIndex(0);
             asDialog(w)->accept();
         });
         at<QPushButton>(&d, QStringLiteral("specify_client"))->click();
         EXPECT_FALSE(d.panel()->general()->useSpecifiedClient()) << "the page took the choice";
     }},
    {"smtp_accepted",
     [](DialogOptions &d) {
         vltest::whenModal(QStringLiteral("smtp"), [](QWidget *w) {
             at<QLineEdit>(w, QStringLiteral("userName"))->setText(QStringLiteral("changed"));
             asDialog(w)->accept();
         });
         at<QPushButton>(&d, QStringLiteral("advanced"))->click();
         EXPECT_EQ(d.panel()->summary()->smtp().authUserName, QStringLiteral("changed"));
     }},
};

INSTANTIATE_TEST_SUITE_P(Options, OptionsCancel, ::testing::ValuesIn(kCancels),
                         [](const auto &info) { return std::string(info.param.what); });

// The two buttons that act at once: the question each asks, and the signal a Yes gives.
struct LogButtonCase {
    const char *what;
    const char *button;
    const char *question;
    void (DialogOptions::*signal)();
};

const LogButtonCase kLogButtons[] = {
    {"clear_logs", "clearLogs", "Velloran Pro|Clear the message log now? This cannot be undone.",
     &DialogOptions::sigClearLogs},
    {"empty_bin", "emptyBin",
     "Velloran Pro|Empty the recycle bin now? Deleted mail kept there can then no longer be restored.",
     &DialogOptions::sigEmptyBin},
};

class OptionsLogButtons : public ::testing::TestWithParam<LogButtonCase> {};

// Answers the next question box with that button, recording "caption|text".
void answer(QMessageBox::StandardButton choice, QString &seen) {
    vltest::whenModal(QString(), [choice, &seen](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        seen = box->windowTitle() + QLatin1Char('|') + box->text();
        box->button(choice)->click();
    });
}

TEST_P(OptionsLogButtons, NoDoesNothingYesSignalsOnceAndNothingIsWritten) {
    const LogButtonCase &c = GetParam();
    RecordingSoundPlayer player(true);
    optionstest::installFixture("options_full.vlp");
    const QByteArray committed = fileBytes(optionstest::optionsFile());
    DialogOptions dialog(nullptr, "options");
    dialog.loadFromStore();
    QSignalSpy clears(&dialog, &DialogOptions::sigClearLogs);
    QSignalSpy empties(&dialog, &DialogOptions::sigEmptyBin);
    QSignalSpy &mine = c.signal == &DialogOptions::sigClearLogs ? clears : empties;
    QSignalSpy &other = c.signal == &DialogOptions::sigClearLogs ? empties : clears;
    auto *button = at<QPushButton>(&dialog, QLatin1String(c.button));

    QString seen;
    answer(QMessageBox::No, seen);
    button->click();
    EXPECT_EQ(seen, QLatin1String(c.question));
    EXPECT_EQ(mine.count(), 0);

    answer(QMessageBox::Yes, seen);
    button->click();
    EXPECT_EQ(mine.count(), 1);
    EXPECT_EQ(other.count(), 0);

    // It acted already; cancelling the dialog afterwards writes no options.
    vltest::whenModal(QStringLiteral("options"), [](QWidget *w) { asDialog(w)->reject(); });
    dialog.exec();
    EXPECT_EQ(mine.count(), 1);
    EXPECT_EQ(fileBytes(optionstest::optionsFile()), committed);
    EXPECT_FALSE(QFile::exists(optionstest::backupFile()));
}

INSTANTIATE_TEST_SUITE_P(Options, OptionsLogButtons, ::testing::ValuesIn(kLogButtons),
                         [](const auto &info) { return std::string(info.param.what); });

} // namespace
