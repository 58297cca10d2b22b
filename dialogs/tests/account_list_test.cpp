// The accounts dialog against the real accounts store and its file: editing happens on a
// copy, OK with nothing touched rewrites the file byte for byte, Cancel writes nothing,
// names stay unique, and a file that cannot be written is reported.
#include "data/data_radio_set.h"
#include "dialog_account_list.h"
#include "dialog_account_which.h"
#include "panel_account_incoming.h"
#include "panel_account_name.h"
#include "panel_account_outgoing.h"

#include "GuiHelpers.h"
#include "account_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>

namespace {

using accounttest::xml;
using vltest::child;

QStringList rowTexts(const QTableWidget *table, int row) {
    QStringList texts;
    for (int column = 0; column < table->columnCount(); ++column)
        texts << (table->item(row, column) ? table->item(row, column)->text() : QStringLiteral("<none>"));
    return texts;
}

QDialog *asDialog(QWidget *w) {
    return static_cast<QDialog *>(w);
}

// Opens every advanced dialog of a details dialog and confirms each, then the details.
void confirmEverything(QWidget *details) {
    if (auto *button = details->findChild<QPushButton *>(QStringLiteral("advancedPOP3IMAP"))) {
        vltest::whenModal(QString(), [](QWidget *advanced) { asDialog(advanced)->accept(); });
        button->click();
    }
    if (auto *outgoing = details->findChild<PanelAccountOutgoing *>(QStringLiteral("outgoing"))) {
        vltest::whenModal(QString(), [](QWidget *advanced) { asDialog(advanced)->accept(); });
        outgoing->advancedButton()->click();
    }
    asDialog(details)->accept();
}

// The account type chosen in the type dialog; 0 cancels it.
void chooseType(int type) {
    vltest::whenModal(QStringLiteral("accountwhich"), [type](QWidget *w) {
        auto *which = static_cast<DialogAccountWhich *>(w);
        if (type == 0) {
            which->reject();
            return;
        }
        which->types()->setValue(type);
        which->accept();
    });
}

void setName(QWidget *details, const QString &name) {
    child<PanelAccountName>(details, QStringLiteral("name"))->nameEdit()->setText(name);
}

TEST(AccountList, OkWithNothingTouchedRewritesTheFileByteForByte) {
    const DataAccountList list = accounttest::awkwardList();
    accounttest::storeList(list);
    const QByteArray before = accounttest::fileBytes(accounttest::accountsFile());
    ASSERT_FALSE(before.isEmpty());

    DialogAccountList dialog(nullptr, "accountList");
    dialog.loadFromStore();
    QTableWidget *table = dialog.panel()->table();
    ASSERT_EQ(table->rowCount(), list.accountList.size());
    EXPECT_EQ(rowTexts(table, 0),
              (QStringList{QStringLiteral("Work"), QStringLiteral("pop.brindlecot.example"),
                           QStringLiteral("ada")}));
    EXPECT_EQ(rowTexts(table, 2).at(1), QStringLiteral("HotMail/MSN"));
    int opened = 0;
    vltest::whenModal(QStringLiteral("accountList"), [&](QWidget *) {
        for (int row = 0; row < table->rowCount(); ++row) {
            table->setCurrentCell(row, 0);
            vltest::whenModal(QStringLiteral("propertiesDlg"), [&](QWidget *details) {
                ++opened;
                confirmEverything(details);
            });
            child<QPushButton>(&dialog, QStringLiteral("properties"))->click();
        }
        dialog.accept();
    });
    ASSERT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_EQ(opened, list.accountList.size());
    EXPECT_TRUE(dialog.saveToStore().isNull());
    EXPECT_EQ(accounttest::fileBytes(accounttest::accountsFile()), before);
}

TEST(AccountList, CancelAfterAddsEditsAndRemovalsLeavesStoreAndFilesAlone) {
    accounttest::storeList(accounttest::awkwardList());
    accounttest::storeList(accounttest::awkwardList()); // so that there is a backup too
    const QByteArray file = accounttest::fileBytes(accounttest::accountsFile());
    const QByteArray backup = accounttest::fileBytes(accounttest::backupFile());
    const QString stored = xml(static_cast<DataAccountList &>(*accounttest::store()));
    QSignalSpy changed(accounttest::store(), &Store::changed);

    DialogAccountList dialog(nullptr, "accountList");
    dialog.loadFromStore();
    QTableWidget *table = dialog.panel()->table();
    const int rows = table->rowCount();
    vltest::whenModal(QStringLiteral("accountList"), [&](QWidget *) {
        chooseType(DataAccount::IMAP);
        vltest::whenModal(QStringLiteral("propertiesDlg"), [](QWidget *details) {
            setName(details, QStringLiteral("Added"));
            asDialog(details)->accept();
        });
        child<QPushButton>(&dialog, QStringLiteral("add"))->click();
        EXPECT_EQ(table->rowCount(), rows + 1);
        EXPECT_EQ(table->currentRow(), rows) << "the new row is current";
        EXPECT_EQ(rowTexts(table, rows).at(0), QStringLiteral("Added"));
        // Properties now edits the new account: its dialog shows what was just typed.
        vltest::whenModal(QStringLiteral("propertiesDlg"), [](QWidget *details) {
            EXPECT_EQ(child<PanelAccountName>(details, QStringLiteral("name"))->nameEdit()->text(),
                      QStringLiteral("Added"));
            EXPECT_TRUE(details->windowTitle().contains(QStringLiteral("IMAP")));
            setName(details, QStringLiteral("Renamed"));
            asDialog(details)->accept();
        });
        child<QPushButton>(&dialog, QStringLiteral("properties"))->click();
        EXPECT_EQ(rowTexts(table, rows).at(0), QStringLiteral("Renamed"));
        table->setCurrentCell(0, 0);
        child<QPushButton>(&dialog, QStringLiteral("remove"))->click();
        EXPECT_EQ(table->rowCount(), rows);
        dialog.reject();
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(xml(static_cast<DataAccountList &>(*accounttest::store())), stored);
    EXPECT_EQ(accounttest::fileBytes(accounttest::accountsFile()), file);
    EXPECT_EQ(accounttest::fileBytes(accounttest::backupFile()), backup);
}

TEST(AccountList, CancelledTypeOrDetailsAddNothingAndTheTypeChoosesTheDialog) {
    PanelAccountList panel(nullptr, "panel");
    DataAccountList list;
    list.accountList.append(accounttest::pop3Account(QStringLiteral("Work")));
    panel.load(list);
    const QString before = xml(list);
    auto *remove = child<QPushButton>(&panel, QStringLiteral("remove"));
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_FALSE(child<QPushButton>(&panel, QStringLiteral("properties"))->isEnabled());

    chooseType(0);
    panel.slotAdd();
    struct Case {
        int type;
        const char *caption;
    };
    for (const Case c : {Case{DataAccount::POP3, "Account details for a POP3/SMTP account"},
                         Case{DataAccount::IMAP, "Account details for an IMAP/SMTP account"},
                         Case{DataAccount::HotMail, "Account details for a HotMail account"}}) {
        chooseType(c.type);
        QString caption;
        vltest::whenModal(QStringLiteral("propertiesDlg"), [&](QWidget *details) {
            caption = details->windowTitle();
            // A new account starts empty, not from another account.
            EXPECT_TRUE(
                child<PanelAccountName>(details, QStringLiteral("name"))->nameEdit()->text().isEmpty());
            asDialog(details)->reject();
        });
        panel.slotAdd();
        EXPECT_EQ(caption, QLatin1String(c.caption));
    }
    DataAccountList saved;
    panel.save(saved);
    EXPECT_EQ(xml(saved), before);
    EXPECT_EQ(panel.table()->rowCount(), 1);
    EXPECT_FALSE(remove->isEnabled()) << "the current cell never changed";

    // Removing the last row keeps the buttons enabled; they then do nothing.
    panel.table()->setCurrentCell(0, 0);
    remove->click();
    EXPECT_EQ(panel.table()->rowCount(), 0);
    EXPECT_TRUE(remove->isEnabled());
    remove->click();
    child<QPushButton>(&panel, QStringLiteral("properties"))->click();
    panel.save(saved);
    EXPECT_TRUE(saved.accountList.isEmpty());
    EXPECT_EQ(saved.VLMessageID, list.VLMessageID);
}

TEST(AccountList, TheTypeDialogNumbersItsChoicesByType) {
    DialogAccountWhich which(nullptr, "accountwhich");
    EXPECT_EQ(which.windowTitle(), QStringLiteral("Select an account type"));
    QStringList shown;
    for (QRadioButton *radio : which.findChildren<QRadioButton *>())
        shown << radio->text().remove(QLatin1Char('&'));
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("POP3"), QStringLiteral("Hotmail"), QStringLiteral("IMAP")}));
    EXPECT_EQ(which.types()->value(), 1);
    struct Case {
        int radio; // index in the order shown
        int result;
    };
    for (const Case c : {Case{1, 3}, Case{2, 2}, Case{0, 1}}) {
        vltest::whenModal(QStringLiteral("accountwhich"), [&](QWidget *w) {
            w->findChildren<QRadioButton *>().at(c.radio)->click();
            asDialog(w)->accept();
        });
        EXPECT_EQ(which.exec(), c.result);
    }
    vltest::whenModal(QStringLiteral("accountwhich"), [](QWidget *w) { asDialog(w)->reject(); });
    EXPECT_EQ(which.exec(), 0);
}

struct Refusal {
    QString title;
    QString text;
};

// Keeps caption and text of the next modal window, which must be a message box, and
// closes it.
void captureNextBox(Refusal &into) {
    vltest::whenModal(QString(), [&into](QWidget *box) {
        auto *message = qobject_cast<QMessageBox *>(box);
        ASSERT_NE(message, nullptr);
        into = {message->windowTitle(), message->text()};
        message->accept();
    });
}

// OK in the details dialog with a name that must be refused: the warning, and whether the
// dialog stayed open on the name page with the name selected.
Refusal pressOk(QWidget *details, const QString &name, bool *stayedOnName) {
    setName(details, name);
    auto *tabs = child<QTabWidget>(details, QStringLiteral("panel"));
    tabs->setCurrentIndex(1);
    Refusal refusal;
    captureNextBox(refusal);
    asDialog(details)->accept();
    auto *page = child<PanelAccountName>(details, QStringLiteral("name"));
    *stayedOnName = details->isVisible() && tabs->currentWidget() == page &&
                    page->nameEdit()->selectedText() == page->nameEdit()->text();
    return refusal;
}

TEST(AccountList, NamesOfOtherAccountsAndSelectorsAreRefused) {
    PanelAccountList panel(nullptr, "panel");
    DataAccountList list;
    list.accountList.append(accounttest::pop3Account(QStringLiteral("Work")));
    list.accountList.append(accounttest::pop3Account(QStringLiteral("Home")));
    panel.load(list);

    chooseType(DataAccount::POP3);
    vltest::whenModal(QStringLiteral("propertiesDlg"), [](QWidget *details) {
        bool stayed = false;
        for (const char *name : {" Work ", "$$$ALL$$$", "$$$DEF$$$"}) {
            const Refusal r = pressOk(details, QLatin1String(name), &stayed);
            EXPECT_EQ(r.title, QStringLiteral("Velloran Pro")) << name;
            EXPECT_TRUE(r.text.contains(QString::fromLatin1(name).trimmed())) << r.text.toStdString();
            EXPECT_TRUE(stayed) << name;
        }
        setName(details, QStringLiteral("Work2 "));
        asDialog(details)->accept();
    });
    panel.slotAdd();
    ASSERT_EQ(panel.table()->rowCount(), 3);
    EXPECT_EQ(panel.table()->item(2, 0)->text(), QStringLiteral("Work2 ")) << "stored as typed";

    // Renaming onto another account is refused; keeping one's own name is not.
    panel.table()->setCurrentCell(1, 0);
    vltest::whenModal(QStringLiteral("propertiesDlg"), [](QWidget *details) {
        bool stayed = false;
        EXPECT_FALSE(pressOk(details, QStringLiteral("Work2"), &stayed).title.isEmpty());
        EXPECT_TRUE(stayed);
        setName(details, QStringLiteral("Home"));
        asDialog(details)->accept();
    });
    panel.slotProperties();
    EXPECT_EQ(panel.table()->item(1, 0)->text(), QStringLiteral("Home"));
}

TEST(AccountList, AStoredListWithDuplicatesEditsAndSavesUnchanged) {
    PanelAccountList panel(nullptr, "panel");
    DataAccountList list;
    list.accountList.append(accounttest::pop3Account(QStringLiteral("Twin")));
    list.accountList.append(accounttest::pop3Account(QStringLiteral("Twin")));
    panel.load(list);
    for (int row = 0; row < 2; ++row) {
        panel.table()->setCurrentCell(row, 0);
        bool accepted = false;
        vltest::whenModal(QStringLiteral("propertiesDlg"), [&](QWidget *details) {
            asDialog(details)->accept();
            accepted = !details->isVisible();
        });
        panel.slotProperties();
        EXPECT_TRUE(accepted) << row;
    }
    DataAccountList saved;
    panel.save(saved);
    EXPECT_EQ(xml(saved), xml(list));
}

// What a column needs to show its header and every entry whole.
int neededWidth(const QTableWidget *table, int column) {
    int width = table->horizontalHeader()->sectionSizeHint(column);
    for (int row = 0; row < table->rowCount(); ++row)
        width = std::max(width, table->fontMetrics().horizontalAdvance(table->item(row, column)->text()) + 6);
    return width;
}

TEST(AccountList, HeadersAndTypicalEntriesShowWholeAtTheSmallestSize) {
    DataAccountList list;
    list.accountList.append(accounttest::pop3Account(QStringLiteral("Work")));
    DataAccount imap = accounttest::pop3Account(QStringLiteral("College mail"));
    imap.type = DataAccount::IMAP;
    imap.imap.name_.name = QStringLiteral("College mail");
    imap.imap.incoming.serverAddress = QStringLiteral("imap.mail.brindlecot.example");
    imap.imap.incoming.userName = QStringLiteral("ada.lovelace@brindlecot.example");
    list.accountList.append(imap);
    DialogAccountList dialog(nullptr, "accountList");
    QTableWidget *table = dialog.panel()->table();
    // Empty first: the first account added must not arrive clipped either.
    for (const bool loaded : {false, true}) {
        if (loaded)
            dialog.load(list);
        dialog.show();
        // As small as the dialog lets itself be made.
        dialog.resize(1, 1);
        ASSERT_TRUE(vltest::waitUntil([&] { return dialog.width() > 1; }, 2000));
        for (int column = 0; column < table->columnCount(); ++column)
            EXPECT_GE(table->columnWidth(column), neededWidth(table, column))
                << "column " << column << (loaded ? " with accounts" : " empty");
        EXPECT_LE(table->horizontalHeader()->length(), table->viewport()->width());
        dialog.hide();
    }

    // One absurdly long name is elided rather than pushing the dialog off the screen.
    dialog.load(accounttest::awkwardList());
    EXPECT_LT(dialog.minimumSizeHint().width(), 900);
}

TEST(AccountList, AFileThatCannotBeWrittenIsReported) {
    accounttest::storeList(accounttest::awkwardList());
    // Root may write anywhere, but nobody can write a file where a folder stands.
    const QString blocker = accounttest::dataDir() + QStringLiteral("accounts.new");
    ASSERT_TRUE(QDir().mkpath(blocker));
    DialogAccountList dialog(nullptr, "accountList");
    dialog.loadFromStore();
    Refusal shown;
    captureNextBox(shown);
    const QString error = dialog.saveToStore();
    QDir().rmdir(blocker);
    EXPECT_EQ(error, QStringLiteral("accounts: cannot save"));
    EXPECT_EQ(shown.title, QStringLiteral("Velloran Pro"));
    EXPECT_TRUE(shown.text.contains(error)) << shown.text.toStdString();

    // Without loadFromStore there is no store to write.
    DialogAccountList unbound(nullptr, "accountList");
    EXPECT_TRUE(unbound.saveToStore().isNull());
}

} // namespace
