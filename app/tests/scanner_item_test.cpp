// The row model: placing and filling its cells, the verdicts the user gives, the setters the
// lister spreads by sender, removed report boxes and the map of rows by message.

#include "mail_rows.h"

#include "app/VLCheckBox.h"
#include "app/VLCheckTableItem.h"
#include "app/VLDateItem.h"
#include "app/VLDoubleEditor.h"
#include "app/VLLearningItem.h"
#include "app/VLSizeItem.h"
#include "app/VLStatusItem.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using apptest::columnsOnly;
using apptest::mailFrom;

class ScannerItem : public apptest::MailTableTest {
protected:
    VLScannerItem *addMail(const QString &from, const QString &rawFrom, const QString &uid) {
        return addRow(mailFrom(from, rawFrom, QStringLiteral("subject ") + uid, uid));
    }
    bool box(const VLScannerItem *item, int code) const {
        auto *cell = dynamic_cast<VLCheckTableItem *>(table->item(item->row(), table->mapFieldToCol(code)));
        return cell && cell->isChecked();
    }
};

// ---------------------------------------------------------------- cells

TEST_F(ScannerItem, CellsGoToTheColumnsOfTheirCodesAndShowTheMessage) {
    // Every column shown, in an order of the options' own.
    StoreOptions::options()->display.columns = columnsOnly({{17, 0},
                                                            {16, 0},
                                                            {15, 0},
                                                            {14, 0},
                                                            {13, 0},
                                                            {12, 0},
                                                            {11, 0},
                                                            {10, 0},
                                                            {9, 0},
                                                            {8, 0},
                                                            {7, 0},
                                                            {6, 0},
                                                            {5, 0},
                                                            {4, 0},
                                                            {3, 0},
                                                            {2, 0},
                                                            {1, 0}});
    makeTable();
    QSignalSpy changed(table.get(), &QTableWidget::cellChanged);
    DataEmailMessage m = mailFrom(QStringLiteral("Ann <ann@example.org>"), QStringLiteral("ann@example.org"),
                                  QStringLiteral("Hello"), QStringLiteral("u1"));
    m.priority = QStringLiteral("urgent");
    m.arrived = QStringLiteral("3 Jan 2006 08:00:00");
    m.attachments = true;
    m.length = QStringLiteral("1536");
    auto *item = new VLScannerItem(table.get(), QStringLiteral("Home"), m);
    item->status().status = QStringLiteral("Friend");
    item->status().delete_ = 1;
    item->status().markBlacklist = true;
    item->status().learnSpam = 1;
    item->status().logging = 0x40;
    item->insertTableRow(0, false);
    item->updateTableRow();

    EXPECT_EQ(table->item(0, 0), item);
    EXPECT_EQ(item->type(), 10101);
    EXPECT_EQ(table->scannerItem(0), item);
    const struct {
        int code;
        int type;
        const char *text;
    } cells[] = {{VLMailTable::Size, VLSizeItem::Type, "2KB"},
                 {VLMailTable::Sent, VLDateItem::Type, "01/02/06 10:20"},
                 {VLMailTable::Status, QTableWidgetItem::Type, "Friend"},
                 {VLMailTable::Account, QTableWidgetItem::Type, "Home"},
                 {VLMailTable::From, QTableWidgetItem::Type, "Ann <ann@example.org>"},
                 {VLMailTable::To, QTableWidgetItem::Type, "me@example.com"},
                 {VLMailTable::Priority, QTableWidgetItem::Type, "urgent"},
                 {VLMailTable::Arrived, VLDateItem::Type, "01/03/06 08:00"},
                 {VLMailTable::Subject, QTableWidgetItem::Type, "Hello"},
                 {VLMailTable::Attachments, QTableWidgetItem::Type, "Yes"},
                 {VLMailTable::Learning, VLLearningItem::Type, ""}};
    for (const auto &c : cells) {
        QTableWidgetItem *placed = cell(0, c.code);
        ASSERT_NE(placed, nullptr) << c.code;
        EXPECT_EQ(placed->type(), c.type) << c.code;
        EXPECT_EQ(placed->text(), QString::fromLatin1(c.text)) << c.code;
        EXPECT_EQ(bool(placed->flags() & Qt::ItemIsEditable), c.type == VLLearningItem::Type) << c.code;
    }
    EXPECT_NE(dynamic_cast<VLStatusItem *>(cell(0, VLMailTable::Status)), nullptr);
    for (int code : {1, 2, 3, 4, 13, 17})
        EXPECT_EQ(cell(0, code)->type(), VLCheckTableItem::Type) << code;
    EXPECT_TRUE(box(item, VLMailTable::Delete));
    EXPECT_FALSE(box(item, VLMailTable::Bounce));
    EXPECT_TRUE(box(item, VLMailTable::Blacklist));
    EXPECT_FALSE(box(item, VLMailTable::Friends));
    EXPECT_TRUE(item->learningCell()->isChecked1());
    EXPECT_FALSE(item->learningCell()->isChecked2());
    // A filter's verdict in the mail-log bits wins over the learning marks.
    EXPECT_TRUE(item->isLegitimate());
    EXPECT_FALSE(item->isJunk());
    // Filling is no user's change.
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(ScannerItem, MarksFollowTheVerdictBitsElseTheLearningMarks) {
    makeTable();
    const struct {
        int logging, learnSpam, learnLegit;
        bool junk, legitimate;
    } cases[] = {{0x20, 0, 0, false, true}, {0x40, 1, 0, false, true},  {0x400, 0, 1, true, false},
                 {0x10, 0, 0, true, false}, {0x100, 0, 0, true, false}, {0x0, 1, 0, true, false},
                 {0x0, 0, 1, false, true},  {0x0, 0, 0, false, false},  {0x803, 0, 0, false, false}};
    for (const auto &c : cases) {
        VLScannerItem *item = addRow(QStringLiteral("x"));
        item->status().logging = c.logging;
        item->status().learnSpam = c.learnSpam;
        item->status().learnLegit = c.learnLegit;
        item->updateTableRow();
        EXPECT_EQ(item->isJunk(), c.junk) << c.logging;
        EXPECT_EQ(item->isLegitimate(), c.legitimate) << c.logging;
    }
}

TEST_F(ScannerItem, RowsSurviveAnOptionsChangeInTheirNewColumns) {
    makeTable();
    for (int i = 0; i < 3; ++i)
        addRow(QStringLiteral("m%1").arg(i));
    table->scannerItem(1)->markForDeletion();
    table->scannerItem(2)->status().hide = true;

    // As the lister does it: cells out, the model out, new columns, everything back.
    QList<VLScannerItem *> kept;
    for (int row = 0; row < table->numVirtualRows(); ++row) {
        VLScannerItem *item = table->scannerItem(row);
        item->removeTableRow();
        table->takeItem(row, 0);
        kept.append(item);
    }
    StoreOptions::options()->display.columns = columnsOnly({{8, 100}, {1, 20}, {6, 40}});
    table->resetLayout();
    EXPECT_EQ(table->numVirtualRows(), 0);
    for (int row = 0; row < kept.size(); ++row) {
        kept[row]->insertTableRow(row, false);
        kept[row]->updateTableRow();
    }
    EXPECT_EQ(table->mapFieldToCol(VLMailTable::Subject), 1);
    EXPECT_EQ(columnTexts(VLMailTable::Subject), (QStringList{u"m0"_s, u"m1"_s, u"m2"_s}));
    EXPECT_EQ(table->scannerItem(1), kept[1]);
    EXPECT_TRUE(box(kept[1], VLMailTable::Delete));
    EXPECT_TRUE(table->isRowHidden(2));

    // A model that is out of the table deletes its cells itself, placed or never placed.
    kept[0]->removeTableRow();
    delete table->takeItem(0, 0);
    delete new VLScannerItem(table.get(), QStringLiteral("Home"),
                             mailFrom({}, {}, {}, QStringLiteral("never")));
    EXPECT_EQ(table->item(0, table->mapFieldToCol(VLMailTable::Subject)), nullptr);
}

// ---------------------------------------------------------------- verdicts

TEST_F(ScannerItem, VerdictsChangeOnlyNoneJunkOrLegitimateButAlwaysTheBoxes) {
    DataToolsLearning &learning = StoreTools::tools()->learning;
    learning.learn.markDelete = true;
    learning.learn.markBlacklist = true;
    learning.learn.markTallowmark = true;
    learning.learn.addFriend = true;
    learning.spam.doAction = true;
    learning.spam.colorRow = true;
    learning.spam.useColor = QStringLiteral("#ffc8c8");
    learning.legit.doAction = true;
    learning.legit.colorRow = false;
    learning.legit.useColor = QStringLiteral("#c8ffc8");
    makeTable();

    enum Op { Junk, Legitimate, Unknown };
    const struct {
        int klass;
        Op op;
        int klassAfter;
        const char *text;
        const char *bgColor;
    } cases[] = {
        {0, Junk, 1, "Junk", "#ffc8c8"},
        {2, Junk, 1, "Junk", "#ffc8c8"},
        {3, Junk, 3, "Friend", "#eeeeee"}, // a friend keeps its verdict and colour
        {6, Junk, 6, "Friend", "#eeeeee"},
        {0, Legitimate, 2, "Legitimate", ""}, // colouring off for legitimate mail
        {1, Legitimate, 2, "Legitimate", ""},
        {7, Legitimate, 7, "Friend", "#eeeeee"},
        {1, Unknown, 0, "", ""},
        {2, Unknown, 0, "", ""},
        {3, Unknown, 3, "Friend", "#eeeeee"},
    };
    for (const auto &c : cases) {
        VLScannerItem *item = addRow(QStringLiteral("x"));
        item->status().klass = c.klass;
        item->status().status = QStringLiteral("Friend");
        item->status().bgColor = QStringLiteral("#eeeeee");
        item->updateTableRow();
        item->setBounceChecked(QString(), true);
        switch (c.op) {
        case Junk:
            item->setAsJunk();
            break;
        case Legitimate:
            item->setAsLegitimate();
            break;
        case Unknown:
            item->setAsUnknown();
            break;
        }
        const std::string name = std::to_string(c.klass) + "/" + std::to_string(int(c.op));
        EXPECT_EQ(item->status().klass, c.klassAfter) << name;
        EXPECT_EQ(item->status().status, QString::fromLatin1(c.text)) << name;
        EXPECT_EQ(item->statusCell()->text(), QString::fromLatin1(c.text)) << name;
        EXPECT_EQ(item->status().bgColor, QString::fromLatin1(c.bgColor)) << name;
        EXPECT_EQ(item->isJunk(), c.op == Junk) << name;
        EXPECT_EQ(item->isLegitimate(), c.op == Legitimate) << name;
        // The boxes follow the learning options whatever the verdict.
        const bool junk = c.op == Junk;
        EXPECT_EQ(item->isDeleteChecked(), junk) << name;
        EXPECT_EQ(item->isBlacklistChecked(), junk) << name;
        EXPECT_EQ(item->isReportChecked(), junk) << name;
        EXPECT_EQ(item->isBounceChecked(), c.op != Legitimate) << name; // junk never clears a box
        EXPECT_EQ(item->isFriendChecked(), c.op == Legitimate) << name;
        EXPECT_FALSE(item->isSpamCopChecked()) << name;
    }
}

TEST_F(ScannerItem, LegitimateChangesBoxesWithoutTellingTheTable) {
    StoreTools::tools()->learning.learn.markDelete = true;
    makeTable();
    showTable();
    VLScannerItem *item = addRow(QStringLiteral("x"));
    table->setCurrentCell(0, table->mapFieldToCol(VLMailTable::Delete));
    QSignalSpy changed(table.get(), &QTableWidget::cellChanged);
    item->setAsJunk(); // the current box's change is reported, as a click's would be
    EXPECT_TRUE(item->isDeleteChecked());
    EXPECT_EQ(changed.count(), 1);
    item->setAsLegitimate();
    EXPECT_FALSE(item->isDeleteChecked());
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(ScannerItem, UncheckingSpamOfAClassifiedRowLeavesNoVerdict) {
    makeTable();
    showTable();
    addRow(QStringLiteral("other"));
    DataEmailMessage m = mailFrom({}, {}, QStringLiteral("spam"), QStringLiteral("s"));
    auto *item = new VLScannerItem(table.get(), QStringLiteral("Home"), m);
    item->status().bayesCategory = DataEmailStatus::Spam;
    item->status().learnSpam = 1;
    item->status().klass = 1;
    item->status().status = QStringLiteral("Junk");
    item->status().bgColor = QStringLiteral("#ffc8c8");
    item->insertTableRow(1, false);
    item->updateTableRow();
    ASSERT_TRUE(item->learningCell()->isChecked1());

    // The learning cell is current in a row outside the selection.
    table->selectRow(0);
    table->selectionModel()->setCurrentIndex(
        table->model()->index(1, table->mapFieldToCol(VLMailTable::Learning)), QItemSelectionModel::NoUpdate);
    VLDoubleEditor *editor = item->learningCell()->editor();
    ASSERT_NE(editor, nullptr);
    QSignalSpy learning(item, &VLScannerItem::sigLearningChanged);
    QTest::mouseClick(editor->box1(), Qt::LeftButton);

    EXPECT_FALSE(item->learningCell()->isChecked1());
    EXPECT_EQ(item->status().klass, 0);
    EXPECT_TRUE(item->status().status.isEmpty());
    EXPECT_TRUE(item->statusCell()->text().isEmpty());
    EXPECT_TRUE(item->status().bgColor.isEmpty());
    ASSERT_EQ(learning.count(), 1);
    EXPECT_EQ(learning.at(0).at(0).value<DataEmailStatus::Bayes>(), DataEmailStatus::Spam);
    EXPECT_FALSE(learning.at(0).at(1).toBool());
    // The tick was for this row alone: the selection is gone, the row's model is current.
    EXPECT_TRUE(table->selectionModel()->selectedRows().isEmpty());
    EXPECT_EQ(table->currentRow(), 1);
    EXPECT_EQ(table->currentColumn(), 0);
}

TEST_F(ScannerItem, TeachingSkipsWhatTheClassifierAlreadyConcluded) {
    makeTable();
    const struct {
        int category;
        int box; // 0 none, 1 spam, 2 legitimate
        bool spam, legitimate;
    } cases[] = {{0, 0, false, false}, {0, 1, true, false},  {0, 2, false, true},
                 {1, 0, false, false}, {1, 1, false, false}, {1, 2, false, true},
                 {2, 0, false, false}, {2, 1, true, false},  {2, 2, false, false}};
    for (const auto &c : cases) {
        VLScannerItem *item = addRow(QStringLiteral("x"));
        item->status().bayesCategory = c.category;
        item->learningCell()->setChecked1(c.box == 1);
        item->learningCell()->setChecked2(c.box == 2);
        EXPECT_EQ(item->teachAsSpam(), c.spam) << c.category << " " << c.box;
        EXPECT_EQ(item->teachAsLegitimate(), c.legitimate) << c.category << " " << c.box;
    }
}

TEST_F(ScannerItem, LoggingRecordsBounceDeleteAndReport) {
    makeTable();
    VLScannerItem *item = addRow(QStringLiteral("x"));
    item->status().logging = 0x40;
    item->setLogging();
    EXPECT_EQ(item->status().logging, 0x40);
    item->markForBouncing();
    item->markForDeletion();
    item->setReportChecked(QString(), true);
    item->setSpamCopChecked(QString(), true);
    item->setLogging();
    EXPECT_EQ(item->status().logging, 0x40 | 0x1 | 0x2 | 0x8);
}

// ---------------------------------------------------------------- report boxes

TEST_F(ScannerItem, ARemovedReportBoxIsAbsentForEveryOperation) {
    makeTable();
    VLScannerItem *item = addRow(QStringLiteral("x"));
    item->setReportChecked(QString(), true);
    item->setSpamCopChecked(QString(), true);
    item->disableReport();
    item->disableSpamCop();
    EXPECT_EQ(item->status().logging, 0x8); // the checked Report box counted as reported
    EXPECT_FALSE(item->hasReport());
    EXPECT_FALSE(item->hasSpamCop());
    EXPECT_EQ(cell(0, VLMailTable::Report), nullptr);
    EXPECT_EQ(cell(0, VLMailTable::SpamCop), nullptr);

    item->setReportChecked(QString(), true);
    item->setSpamCopChecked(QString(), true);
    item->clearReportChecked();
    item->clearSpamCopChecked();
    StoreTools::tools()->learning.learn.markTallowmark = true;
    StoreTools::tools()->learning.learn.markSpamCop = true;
    item->setAsJunk();
    item->setFriendChecked(QString(), true);
    item->status().logging = 0;
    item->setLogging();
    item->disableReport(); // twice: nothing
    EXPECT_FALSE(item->isReportChecked());
    EXPECT_FALSE(item->isSpamCopChecked());
    EXPECT_EQ(item->status().logging, 0);

    // Placed again (an options change), the row has no box there.
    item->removeTableRow();
    item->insertTableRow(0, false);
    EXPECT_EQ(cell(0, VLMailTable::Report), nullptr);
    EXPECT_EQ(cell(0, VLMailTable::SpamCop), nullptr);
    EXPECT_NE(cell(0, VLMailTable::Delete), nullptr);

    // An unchecked box goes without the bit.
    VLScannerItem *other = addRow(QStringLiteral("y"));
    other->disableReport();
    EXPECT_EQ(other->status().logging, 0);
}

// ---------------------------------------------------------------- by sender

TEST_F(ScannerItem, SenderSettersMatchTheBareAddressWithoutRegardToCase) {
    makeTable();
    VLScannerItem *ann =
        addMail(QStringLiteral("Ann <ann@example.org>"), QStringLiteral("ann@example.org"), u"1"_s);
    VLScannerItem *alias = addMail(QStringLiteral("\"A. N. Other\" <ANN@Example.ORG>"),
                                   QStringLiteral("ANN@Example.ORG"), u"2"_s);
    VLScannerItem *bob =
        addMail(QStringLiteral("Bob <bob@example.org>"), QStringLiteral("bob@example.org"), u"3"_s);
    VLScannerItem *bare = addMail(QStringLiteral("undisclosed"), QString(), u"4"_s);

    for (VLScannerItem *item : {ann, alias, bob, bare})
        item->setBlacklistChecked(QStringLiteral("ann@example.org"), true);
    for (VLScannerItem *item : {ann, alias}) {
        EXPECT_TRUE(item->isBlacklistChecked());
        EXPECT_TRUE(item->isDeleteChecked());
        EXPECT_TRUE(item->isJunk());
    }
    for (VLScannerItem *item : {bob, bare})
        EXPECT_FALSE(item->isBlacklistChecked() || item->isDeleteChecked());

    // Without a bare address the whole From value is compared, exactly.
    bare->setFriendChecked(QStringLiteral("Undisclosed"), true);
    EXPECT_FALSE(bare->isFriendChecked());
    bare->setFriendChecked(QStringLiteral("undisclosed"), true);
    EXPECT_TRUE(bare->isFriendChecked());

    // Turning a box off changes nothing else.
    ann->setBlacklistChecked(QStringLiteral("ANN@EXAMPLE.ORG"), false);
    EXPECT_FALSE(ann->isBlacklistChecked());
    EXPECT_TRUE(ann->isDeleteChecked());
}

TEST_F(ScannerItem, FriendsBoxAppliesToTheRowItselfOrItsSender) {
    makeTable();
    VLScannerItem *item =
        addMail(QStringLiteral("Ann <ann@example.org>"), QStringLiteral("ann@example.org"), u"1"_s);
    const auto markEverything = [&] {
        item->setBlacklistChecked(QString(), true);
        item->markForBouncing();
        item->setReportChecked(QString(), true);
        item->setSpamCopChecked(QString(), true);
        item->learningCell()->setChecked1(true);
    };
    markEverything();
    item->setFriendChecked(QStringLiteral("bob@example.org"), true);
    EXPECT_FALSE(item->isFriendChecked());
    EXPECT_TRUE(item->isBlacklistChecked() && item->isDeleteChecked() && item->isBounceChecked() &&
                item->isReportChecked() && item->isSpamCopChecked() && item->learningCell()->isChecked1());
    EXPECT_TRUE(item->isJunk());

    for (const QString &address : {QString(), QStringLiteral("Ann@Example.org")}) {
        markEverything();
        item->setFriendChecked(address, true);
        EXPECT_TRUE(item->isFriendChecked());
        EXPECT_FALSE(item->isBlacklistChecked() || item->isDeleteChecked() || item->isBounceChecked() ||
                     item->isReportChecked() || item->isSpamCopChecked() ||
                     item->learningCell()->isChecked1());
        EXPECT_TRUE(item->isLegitimate());
        EXPECT_FALSE(item->isJunk());
    }
}

// ---------------------------------------------------------------- the map of rows

TEST_F(ScannerItem, RowsAreFoundByMessageAndTheNewerOfTwoKeepsTheKey) {
    makeTable();
    const DataEmailMessage m = mailFrom({}, {}, QStringLiteral("same"), QStringLiteral("k"));
    EXPECT_EQ(VLScannerItem::findMessage(m.unique()), nullptr);
    VLScannerItem *older = addRow(m);
    EXPECT_EQ(VLScannerItem::findMessage(m.unique()), older);
    VLScannerItem *newer = addRow(m);
    EXPECT_EQ(VLScannerItem::findMessage(m.unique()), newer);
    table->removeVirtualRow(0); // the older row goes
    EXPECT_EQ(VLScannerItem::findMessage(m.unique()), newer);
    table->removeVirtualRow(0);
    EXPECT_EQ(VLScannerItem::findMessage(m.unique()), nullptr);
}

} // namespace
