// The side panes beside the mail table, wired as the side panel wires them: edits reach the
// record at once and the file two seconds later, reloads after a store change never run
// inside the pane's own click or dialog and keep the user's row, and the tools dialog opened
// from a pane saves both address lists only when accepted.
#include "side_panes_fixture.h"

#include "panel_list_email_filter.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>

using namespace toolsdlg;

namespace {

// A store file's modification time. The file system reuses inode numbers, so a rewrite is
// told by the time: set an hour back first, any write since makes it newer.
QDateTime modified(const char *base) {
    return QFileInfo(dataDir() + QLatin1String(base) + QStringLiteral(".vlp")).lastModified();
}
QDateTime setBack(const char *base) {
    const QDateTime then = QDateTime::currentDateTime().addSecs(-3600);
    QFile file(dataDir() + QLatin1String(base) + QStringLiteral(".vlp"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly) && file.setFileTime(then, QFileDevice::FileModificationTime))
        << base;
    return modified(base);
}

// Marks the table's present items: a reload from the store replaces every one of them. The
// table keeps quiet meanwhile: a changed item is an edit to it.
constexpr int kStaleRole = Qt::UserRole + 100;
void markItems(QTableWidget *table) {
    const QSignalBlocker quiet(table);
    for (int row = 0; row < table->rowCount(); ++row)
        for (int column = 0; column < table->columnCount(); ++column)
            if (QTableWidgetItem *item = table->item(row, column))
                item->setData(kStaleRole, true);
}
// Waits until no marked item is left: the reload has run.
bool waitForReload(QTableWidget *table) {
    return vltest::waitUntil([table] {
        for (int row = 0; row < table->rowCount(); ++row)
            for (int column = 0; column < table->columnCount(); ++column)
                if (const QTableWidgetItem *item = table->item(row, column);
                    item && item->data(kStaleRole).toBool())
                    return false;
        return true;
    });
}

// Clicks the check mark of a row, as the user does.
void clickCheck(QTableWidget *table, int row) {
    QTableWidgetItem *item = table->item(row, 1);
    ASSERT_NE(item, nullptr);
    QStyleOptionViewItem option;
    option.initFrom(table->viewport());
    option.rect = table->visualItemRect(item);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    option.checkState = item->checkState();
    const QRect mark = table->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, table);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, mark.center());
}

TEST(SidePanes, AnEditChangesTheRecordAtOnceAndTheFileAboutTwoSecondsLater) {
    resetStores({address("old@x.org")}, {});
    SidePanel panel;
    QSignalSpy changed(StoreListEmailMatch::friends(), &Store::changed);
    const QByteArray before = fileBytes("friends");

    answerEntry(QStringLiteral("new@x.org"));
    QElapsedTimer sinceRequest;
    sinceRequest.start();
    vltest::child<QPushButton>(panel.friends, QStringLiteral("add"))->click();
    EXPECT_EQ(addresses(*StoreListEmailMatch::friends()),
              (QStringList{QStringLiteral("old@x.org"), QStringLiteral("new@x.org")}));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(fileBytes("friends"), before);
    EXPECT_EQ(StoreListEmailMatch::friends()->pendingSaveDelay(), int(kListSaveDelayMs));

    // Timed from before the click: a save that came early shows as too short a time. Qt's
    // coarse timers may fire up to 5 % early.
    ASSERT_TRUE(vltest::waitUntil([] { return fileBytes("friends").contains("new@x.org"); }, 20000));
    EXPECT_GE(sinceRequest.elapsed(), kListSaveDelayMs * 95 / 100);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(rows(panel.friends->listEmailMatch()),
              (QStringList{QStringLiteral("new@x.org"), QStringLiteral("old@x.org")}));
}

TEST(SidePanes, ARealClickOnACheckKeepsItsStateThroughTheReload) {
    resetStores({}, {address("a@x.org"), address("b@x.org")});
    SidePanel panel;
    panel.tabs.resize(500, 600);
    panel.tabs.setCurrentWidget(panel.blacklist);
    panel.tabs.show();
    PanelListEmailMatch *list = panel.blacklist->listEmailMatch();
    list->setCurrentCell(1, 2);
    QSignalSpy changed(StoreListEmailMatch::blacklist(), &Store::changed);

    markItems(list);
    clickCheck(list, 1);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(StoreListEmailMatch::blacklist()->entries.at(1).disabled);
    ASSERT_TRUE(waitForReload(list));
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(list->item(1, 1)->checkState(), Qt::Unchecked);
    EXPECT_EQ(list->item(0, 1)->checkState(), Qt::Checked);
    EXPECT_EQ(list->currentRow(), 1);

    markItems(list);
    clickCheck(list, 1);
    ASSERT_TRUE(waitForReload(list));
    EXPECT_EQ(list->item(1, 1)->checkState(), Qt::Checked);
    EXPECT_FALSE(StoreListEmailMatch::blacklist()->entries.at(1).disabled);
    EXPECT_EQ(changed.count(), 2);
}

TEST(SidePanes, UpTwiceOnTheLastFilterMovesItTwoPlaces) {
    resetStores({}, {}, {filter("One", "1"), filter("Two", "2"), filter("Three", "3")});
    SidePanel panel;
    PanelListEmailFilter *list = panel.filters->listEmailFilter();
    list->setCurrentCell(2, 2);
    auto *up = vltest::child<QToolButton>(panel.filters, QStringLiteral("up"));
    // The reload after the first move runs before the second click.
    markItems(list);
    up->click();
    ASSERT_TRUE(waitForReload(list));
    markItems(list);
    up->click();
    ASSERT_TRUE(waitForReload(list));
    QStringList order;
    for (const DataEmailFilter &f : StoreListEmailFilter::filter()->filters)
        order << f.filterName;
    EXPECT_EQ(order, (QStringList{QStringLiteral("Three"), QStringLiteral("One"), QStringLiteral("Two")}));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_FALSE(up->isEnabled());
}

TEST(SidePanes, ASelectedRuleShowsItsDescriptionAndTheLastRemovedClearsIt) {
    resetStores({}, {}, {filter("Pills", "cheap pills")});
    SidePanel panel;
    auto *browser = vltest::child<QTextBrowser>(panel.filters, QStringLiteral("browser"));
    panel.filters->listEmailFilter()->setCurrentCell(0, 2);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("cheap pills")))
        << browser->toPlainText().toStdString();
    vltest::child<QPushButton>(panel.filters, QStringLiteral("remove"))->click();
    EXPECT_TRUE(vltest::waitUntil([&] { return browser->toPlainText().isEmpty(); }))
        << browser->toPlainText().toStdString();
    EXPECT_TRUE(StoreListEmailFilter::filter()->filters.isEmpty());
}

// While the pane's own entry dialog is open the scanner adds an entry that sorts first.
// Rebuilding the table then would move the edited row under the dialog; the reload waits,
// the edit lands on the entry it was opened for, and the scanner's entry stays.
TEST(SidePanes, AStoreChangeDuringThePanesOwnDialogWaitsForIt) {
    resetStores({}, {address("b@x.org", 10), address("c@x.org", 10)});
    SidePanel panel;
    PanelListEmailMatch *list = panel.blacklist->listEmailMatch();
    list->setCurrentCell(1, 2);
    vltest::whenModal(QStringLiteral("EmailMatch"), [list](QWidget *w) {
        StoreListEmailMatch *store = StoreListEmailMatch::blacklist();
        store->entries.append(address("a@x.org", 20));
        store->setChanged(true);
        // The reload waits while the dialog is open: a look, ended early by one that runs.
        EXPECT_FALSE(vltest::waitUntil([&] { return list->rowCount() == 3; }, 150));
        vltest::child<QLineEdit>(w, QStringLiteral("plainAddress"))->setText(QStringLiteral("c2@x.org"));
        qobject_cast<QDialog *>(w)->accept();
    });
    vltest::child<QPushButton>(panel.blacklist, QStringLiteral("edit"))->click();
    QStringList stored = addresses(*StoreListEmailMatch::blacklist());
    stored.sort();
    EXPECT_EQ(stored, (QStringList{QStringLiteral("a@x.org"), QStringLiteral("b@x.org"),
                                   QStringLiteral("c2@x.org")}));
    EXPECT_TRUE(vltest::waitUntil([&] { return list->rowCount() == 3; }, 2000));
    EXPECT_EQ(rows(list), (QStringList{QStringLiteral("a@x.org"), QStringLiteral("b@x.org"),
                                       QStringLiteral("c2@x.org")}));
    EXPECT_EQ(list->currentRow(), 2);
}

TEST(SidePanes, AnAddressAddedToFriendsLeavesTheBlacklistStore) {
    resetStores({}, {address("a@b.c"), address("z@b.c")});
    SidePanel panel;
    answerEntry(QStringLiteral("a@b.c"));
    vltest::child<QPushButton>(panel.friends, QStringLiteral("add"))->click();
    EXPECT_EQ(addresses(*StoreListEmailMatch::friends()), QStringList{QStringLiteral("a@b.c")});
    EXPECT_EQ(addresses(*StoreListEmailMatch::blacklist()), QStringList{QStringLiteral("z@b.c")});
    EXPECT_TRUE(vltest::waitUntil([&] { return rows(panel.blacklist->listEmailMatch()).size() == 1; }, 2000));
}

struct OptionsCase {
    const char *name;
    bool accept;
};

class SidePaneOptions : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(SidePaneOptions, TheToolsDialogFromTheBlacklistPaneSavesBothListsOnlyWhenAccepted) {
    resetStores({address("f@x.org")}, {address("b@x.org")});
    SidePanel panel;
    const QDateTime friendsBefore = setBack("friends");
    const QDateTime blacklistBefore = setBack("blacklist");
    const bool accept = GetParam().accept;
    QString page;
    vltest::whenModal(QStringLiteral("tools"), [&](QWidget *w) {
        page = w->findChild<QStackedWidget *>(QStringLiteral("stack"))->currentWidget()->objectName();
        accept ? qobject_cast<QDialog *>(w)->accept() : qobject_cast<QDialog *>(w)->reject();
    });
    vltest::child<QPushButton>(panel.blacklist, QStringLiteral("options"))->click();
    EXPECT_EQ(page, QStringLiteral("blacklist"));
    EXPECT_EQ(modified("friends") > friendsBefore, accept);
    EXPECT_EQ(modified("blacklist") > blacklistBefore, accept);
    EXPECT_EQ(addresses(*StoreListEmailMatch::blacklist()), QStringList{QStringLiteral("b@x.org")});
}

INSTANTIATE_TEST_SUITE_P(Side, SidePaneOptions,
                         ::testing::Values(OptionsCase{"Ok", true}, OptionsCase{"Cancel", false}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
