// The address-list editor: the entry dialog and its test field, the table of a list with
// its add, edit, remove and enable actions, the list options, and the friends list and the
// blacklist kept apart by their owners' cross connection.
#include "data/data_list_matches.h"
#include "data/store.h"
#include "data/store_list_matches.h"
#include "panel_email_match.h"
#include "panel_list_email_match.h"
#include "panel_list_match_options.h"
#include "rule_test_support.h"

#include "GuiHelpers.h"
#include "TempDir.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTest>

#include <ctime>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList addresses(const DataListEmailMatch &list) {
    QStringList out;
    for (const DataEmailMatch &e : list.entries)
        out << e.address;
    return out;
}

QStringList rowTexts(const QTableWidget &table) {
    QStringList out;
    for (int row = 0; row < table.rowCount(); ++row)
        out << table.item(row, 2)->text();
    return out;
}

// Types into the entry dialog when it opens and confirms it.
void answerEntry(const QString &address, bool wildcard = false) {
    vltest::whenModal(QStringLiteral("EmailMatch"), [address, wildcard](QWidget *w) {
        auto *dialog = qobject_cast<DialogEmailMatch *>(w);
        ASSERT_NE(dialog, nullptr);
        vltest::child<QRadioButton>(dialog, wildcard ? QStringLiteral("wildcard") : QStringLiteral("plain"))
            ->setChecked(true);
        auto *field = vltest::child<QLineEdit>(dialog, wildcard ? QStringLiteral("wildcardAddress")
                                                                : QStringLiteral("plainAddress"));
        field->setText(address);
        dialog->accept();
    });
}

// A list table with its own buttons, as the tools pages and side panes make it.
struct ListTable {
    QWidget owner;
    QPushButton add{&owner}, edit{&owner}, remove{&owner}, options{&owner};
    PanelListEmailMatch table;
    explicit ListTable(const char *name) : table("Friends list", &owner, name) {
        table.setButtons(&add, &edit, &remove, &options);
    }
};

TEST(EmailMatchPanel, TestFieldMatchesTheWildcardExpression) {
    struct Case {
        const char *expression;
        const char *address;
        const char *result;
    };
    const Case cases[] = {
        {"", "bob@x.org", ""},
        {"*@x.org", "", ""},
        {"*@x.org", "Bob@X.org", "Matched"},
        {"*money*@*.com", "easymoney4u@spam.com", "Matched"},
        {"*money*@*.com", "money@spam.org", "Not matched"},
        {"?ob@x.org", "bob@x.org", "Matched"},
        {"?ob@x.org", "ob@x.org", "Not matched"},
        {"+@x.org", "@x.org", "Not matched"},
        {"a.b@x.org", "aXb@x.org", "Not matched"},
    };
    PanelEmailMatch panel(nullptr, "panel");
    // The test row sits in the wildcard box, usable while that kind is chosen.
    vltest::child<QRadioButton>(&panel, QStringLiteral("wildcard"))->setChecked(true);
    auto *result = vltest::child<QLineEdit>(&panel, QStringLiteral("testResult"));
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.expression) + " / " + c.address);
        result->setText(QStringLiteral("stale"));
        vltest::child<QLineEdit>(&panel, QStringLiteral("wildcardAddress"))
            ->setText(QString::fromUtf8(c.expression));
        vltest::child<QLineEdit>(&panel, QStringLiteral("testAddress"))
            ->setText(QString::fromUtf8(c.address));
        QTest::mouseClick(vltest::child<QPushButton>(&panel, QStringLiteral("testButton")), Qt::LeftButton);
        EXPECT_EQ(result->text(), QString::fromUtf8(c.result));
    }
    EXPECT_EQ(result->focusPolicy(), Qt::NoFocus);
}

TEST(EmailMatchPanel, KindsAreExclusiveAndSaveTheirOwnField) {
    PanelEmailMatch panel(nullptr, "panel");
    auto *plain = vltest::child<QRadioButton>(&panel, QStringLiteral("plain"));
    auto *wildcard = vltest::child<QRadioButton>(&panel, QStringLiteral("wildcard"));
    auto *plainBox = vltest::child<QGroupBox>(&panel, QStringLiteral("plain"));
    auto *wildBox = vltest::child<QGroupBox>(&panel, QStringLiteral("wild"));
    EXPECT_TRUE(plain->isChecked());
    EXPECT_TRUE(plainBox->isEnabled());
    EXPECT_FALSE(wildBox->isEnabled());

    panel.load(entry("*@x.org", true, true, 77));
    EXPECT_TRUE(wildcard->isChecked());
    EXPECT_FALSE(plain->isChecked());
    EXPECT_FALSE(plainBox->isEnabled());
    EXPECT_TRUE(wildBox->isEnabled());
    EXPECT_TRUE(vltest::child<QLineEdit>(&panel, QStringLiteral("plainAddress"))->text().isEmpty());

    plain->setChecked(true);
    EXPECT_FALSE(wildcard->isChecked());
    vltest::child<QLineEdit>(&panel, QStringLiteral("plainAddress"))
        ->setText(QStringLiteral("  bob@x.org \t"));
    DataEmailMatch saved = entry("*@x.org", true, true, 77);
    panel.save(saved);
    // The typed address loses its blanks; disabled and used are not the panel's.
    EXPECT_FALSE(saved.wildcard);
    EXPECT_EQ(saved.address, QStringLiteral("bob@x.org"));
    EXPECT_TRUE(saved.disabled);
    EXPECT_EQ(saved.lastUsed, 77);
}

TEST(EmailMatchDialog, StoredEntryLoadsAndSavesUnchanged) {
    DialogEmailMatch dialog(QStringLiteral("Blacklist"), nullptr, "EmailMatch");
    const DataEmailMatch stored = entry(" odd@x.org ");
    dialog.load(stored);
    EXPECT_EQ(vltest::child<QLineEdit>(&dialog, QStringLiteral("plainAddress"))->text(), stored.address);
    DataEmailMatch saved = stored;
    dialog.save(saved);
    EXPECT_EQ(saved.address, stored.address);
}

TEST(EmailMatchDialog, OkIsRefusedWhileTheChosenFieldIsBlank) {
    DialogEmailMatch dialog(QStringLiteral("Friends list"), nullptr, "EmailMatch");
    dialog.show();
    vltest::child<QLineEdit>(&dialog, QStringLiteral("wildcardAddress"))->setText(QStringLiteral("*@x.org"));
    vltest::child<QLineEdit>(&dialog, QStringLiteral("plainAddress"))->setText(QStringLiteral("   "));
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible()); // plain is chosen and holds only blanks
    vltest::child<QRadioButton>(&dialog, QStringLiteral("wildcard"))->setChecked(true);
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), int(QDialog::Accepted));
}

TEST(ListMatchOptions, DayCountsOutsideTheRangeSaveBackUntouched) {
    DataListMatchOptions stored;
    stored.expireEmail = true;
    stored.expireEmailAfter = 0;
    stored.expireWildcard = false;
    stored.expireWildcardAfter = 1500;
    stored.sortByDomain = true;

    DialogListMatchOptions dialog(nullptr, "options");
    dialog.load(stored);
    auto *emailDays = vltest::child<QSpinBox>(&dialog, QStringLiteral("expireemailafter"));
    auto *wildDays = vltest::child<QSpinBox>(&dialog, QStringLiteral("expirewildcardafter"));
    EXPECT_EQ(emailDays->value(), 1);
    EXPECT_EQ(wildDays->value(), 999);
    DataListMatchOptions saved = stored;
    dialog.save(saved);
    EXPECT_EQ(saved.expireEmailAfter, 0);
    EXPECT_EQ(saved.expireWildcardAfter, 1500);

    // A changed count saves what it shows; unchecking expiry keeps its count.
    emailDays->setValue(30);
    vltest::child<QCheckBox>(&dialog, QStringLiteral("expireemail"))->setChecked(false);
    dialog.save(saved);
    EXPECT_FALSE(saved.expireEmail);
    EXPECT_EQ(saved.expireEmailAfter, 30);
    EXPECT_EQ(saved.expireWildcardAfter, 1500);
    EXPECT_TRUE(saved.sortByDomain);
}

TEST(AddressListTable, LoadSortsStablyAndEmitsNothing) {
    DataListEmailMatch list;
    list.entries = {entry("carol@b.org"), entry("Bob@a.org"), entry("bob@a.org", false, true),
                    entry("alice@c.org")};
    ListTable t("friends");
    QSignalSpy changed(&t.table, &PanelListEmailMatch::sigChanged);
    t.table.load(list);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(rowTexts(t.table),
              (QStringList{u"alice@c.org"_s, u"Bob@a.org"_s, u"bob@a.org"_s, u"carol@b.org"_s}));
    EXPECT_EQ(t.table.item(2, 1)->checkState(), Qt::Unchecked);
    EXPECT_FALSE(t.edit.isEnabled());
    EXPECT_FALSE(t.remove.isEnabled());
    t.table.setCurrentCell(0, 2);
    EXPECT_TRUE(t.edit.isEnabled());
    EXPECT_TRUE(t.remove.isEnabled());
}

TEST(AddressListTable, TheCurrentCellIsNeverAMargin) {
    DataListEmailMatch list;
    list.entries = {entry("alice@c.org"), entry("bob@a.org")};
    ListTable t("friends");
    t.table.load(list);
    t.owner.resize(400, 200);
    t.table.resize(400, 200);
    ASSERT_TRUE(vltest::activate(&t.owner));
    // Taking the focus makes the first cell current: that is the margin.
    t.table.setFocus();
    ASSERT_TRUE(vltest::waitUntil([&] { return t.table.hasFocus(); }, 2000));
    EXPECT_EQ(t.table.currentRow(), 0);
    EXPECT_EQ(t.table.currentColumn(), 2);
    const struct {
        int row;
        int column;
    } cases[] = {{1, 0}, {0, 3}, {1, 1}, {0, 2}};
    for (const auto &c : cases) {
        QTest::mouseClick(t.table.viewport(), Qt::LeftButton, {},
                          t.table.visualRect(t.table.model()->index(c.row, c.column)).center());
        EXPECT_EQ(t.table.currentRow(), c.row) << c.column;
        EXPECT_EQ(t.table.currentColumn(), c.column == 1 ? 1 : 2) << c.column;
        EXPECT_EQ(t.table.selectedItems().size(), 4) << "the whole row stays selected";
        EXPECT_TRUE(t.table.item(c.row, 2)->isSelected());
    }
    EXPECT_TRUE(t.edit.isEnabled());
}

TEST(AddressListTable, FriendsAndBlacklistStayApart) {
    ListTable friends("friends");
    ListTable blacklist("blacklist");
    QObject::connect(&friends.table, &PanelListEmailMatch::sigAddedEmail, &blacklist.table,
                     &PanelListEmailMatch::slotRemoveEmail);
    QObject::connect(&blacklist.table, &PanelListEmailMatch::sigAddedEmail, &friends.table,
                     &PanelListEmailMatch::slotRemoveEmail);
    DataListEmailMatch black;
    black.entries = {entry("Bob@x.org"), entry("Bob@x.org"), entry("bob@x.org"), entry("eve@y.org")};
    blacklist.table.load(black);
    QSignalSpy blackChanged(&blacklist.table, &PanelListEmailMatch::sigChanged);
    QSignalSpy added(&friends.table, &PanelListEmailMatch::sigAddedEmail);

    answerEntry(QStringLiteral("Bob@x.org"));
    friends.add.click();

    EXPECT_EQ(added.count(), 1);
    EXPECT_EQ(blackChanged.count(), 2);
    DataListEmailMatch saved;
    blacklist.table.save(saved);
    EXPECT_EQ(addresses(saved), (QStringList{u"bob@x.org"_s, u"eve@y.org"_s}));
    EXPECT_EQ(rowTexts(blacklist.table), addresses(saved));
}

TEST(AddressListTable, DuplicatesKeepRowsAndEntriesInStep) {
    ListTable t("friends");
    t.table.load(DataListEmailMatch());
    answerEntry(QStringLiteral("dup@x.org"));
    t.add.click();
    answerEntry(QStringLiteral("dup@x.org"));
    t.add.click();
    ASSERT_EQ(t.table.rowCount(), 2);

    // The first one is disabled; removing the second row must leave that one.
    t.table.item(0, 1)->setCheckState(Qt::Unchecked);
    t.table.setCurrentCell(1, 2);
    t.remove.click();
    DataListEmailMatch saved;
    t.table.save(saved);
    ASSERT_EQ(saved.entries.size(), 1);
    EXPECT_EQ(saved.entries[0].address, QStringLiteral("dup@x.org"));
    EXPECT_TRUE(saved.entries[0].disabled);
    EXPECT_EQ(t.table.rowCount(), 1);
    EXPECT_EQ(t.table.item(0, 1)->checkState(), Qt::Unchecked);
}

TEST(AddressListTable, EditStampsUseToggleDoesNot) {
    DataListEmailMatch list;
    list.entries = {entry("a@x.org", false, false, 100), entry("b@x.org", false, false, 100)};
    ListTable t("blacklist");
    t.table.load(list);
    QSignalSpy changed(&t.table, &PanelListEmailMatch::sigChanged);
    QSignalSpy added(&t.table, &PanelListEmailMatch::sigAddedEmail);

    // The toggled row counts, not the current one.
    t.table.setCurrentCell(0, 2);
    t.table.item(1, 1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(changed.count(), 1);
    DataListEmailMatch saved;
    t.table.save(saved);
    EXPECT_FALSE(saved.entries[0].disabled);
    EXPECT_TRUE(saved.entries[1].disabled);
    EXPECT_EQ(saved.entries[1].lastUsed, 100);

    const qint64 before = std::time(nullptr);
    t.table.setCurrentCell(1, 2);
    answerEntry(QStringLiteral("*@x.org"), true);
    t.edit.click();
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(added.count(), 0);
    t.table.save(saved);
    EXPECT_TRUE(saved.entries[1].wildcard);
    EXPECT_EQ(saved.entries[1].address, QStringLiteral("*@x.org"));
    EXPECT_TRUE(saved.entries[1].disabled); // the check is no part of the dialog
    EXPECT_GE(saved.entries[1].lastUsed, before);
    EXPECT_EQ(t.table.item(1, 2)->text(), QStringLiteral("*@x.org"));
}

TEST(AddressListTable, OptionsChangeNoOrderAndEmitNothing) {
    DataListEmailMatch list;
    list.options.sortByDomain = true;
    list.entries = {entry("a@zeta.org"), entry("z@alpha.org")};
    ListTable t("friends");
    t.table.load(list);
    EXPECT_EQ(rowTexts(t.table), (QStringList{u"z@alpha.org"_s, u"a@zeta.org"_s}));
    QSignalSpy changed(&t.table, &PanelListEmailMatch::sigChanged);

    vltest::whenModal(QStringLiteral("options"), [](QWidget *w) {
        vltest::child<QCheckBox>(w, QStringLiteral("expireemail"))->setChecked(true);
        for (QCheckBox *box : w->findChildren<QCheckBox *>())
            if (box->objectName().isEmpty())
                box->setChecked(false); // the sort option
        qobject_cast<QDialog *>(w)->accept();
    });
    t.options.click();
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(rowTexts(t.table), (QStringList{u"z@alpha.org"_s, u"a@zeta.org"_s}));

    DataListEmailMatch saved;
    t.table.save(saved);
    EXPECT_TRUE(saved.options.expireEmail);
    EXPECT_FALSE(saved.options.sortByDomain);
    t.table.load(saved);
    EXPECT_EQ(rowTexts(t.table), (QStringList{u"a@zeta.org"_s, u"z@alpha.org"_s}));
}

TEST(AddressListTable, CancelledDialogsChangeNothing) {
    DataListEmailMatch list;
    list.entries = {entry("a@x.org")};
    ListTable t("friends");
    t.table.load(list);
    QSignalSpy changed(&t.table, &PanelListEmailMatch::sigChanged);
    t.table.setCurrentCell(0, 2);
    for (QPushButton *button : {&t.add, &t.edit, &t.options}) {
        vltest::whenModal(QString(), [](QWidget *w) { qobject_cast<QDialog *>(w)->reject(); });
        button->click();
    }
    EXPECT_EQ(changed.count(), 0);
    DataListEmailMatch saved;
    t.table.save(saved);
    EXPECT_EQ(addresses(saved), QStringList{u"a@x.org"_s});
}

TEST(AddressListTable, EditedWildcardMatchesInTheStore) {
    vltest::TempDir dir;
    Store::setDataDir(QString::fromStdString(dir.path()));
    StoreListEmailMatch *friends = StoreListEmailMatch::friends();
    friends->entries = {entry("*@old.org", true)};
    ASSERT_TRUE(friends->match(QStringLiteral("a@old.org"))); // compiles the old pattern

    ListTable t("friends");
    t.table.load(*friends);
    t.table.setCurrentCell(0, 2);
    answerEntry(QStringLiteral("*@new.org"), true);
    t.edit.click();
    t.table.save(*friends);
    friends->setChanged(false);
    ASSERT_TRUE(friends->saveToStore().isNull());

    EXPECT_TRUE(friends->match(QStringLiteral("a@new.org")));
    EXPECT_FALSE(friends->match(QStringLiteral("a@old.org")));
}

} // namespace
