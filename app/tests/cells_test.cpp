// The mail table's cells in a live table: what they show, how they sort, and how the check
// and learning cells change and report it.

#include "VLCheckBox.h"
#include "VLCheckTableItem.h"
#include "VLDateItem.h"
#include "VLDoubleEditor.h"
#include "VLLearningItem.h"
#include "VLMailTable.h"
#include "VLScannerItem.h"
#include "VLSizeItem.h"
#include "VLStatusItem.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

std::string str(const QString &s) {
    return s.toStdString();
}

// Column layout of a mail row as the scanner item builds it, trimmed to the kinds of cell.
enum Column { Dummy = 0, Learning, Delete, Status, Size, Sent, ColumnCount };

class CellTable : public ::testing::Test {
protected:
    void SetUp() override {
        table.setColumnCount(ColumnCount);
        table.setRowCount(0);
        table.resize(640, 260);
        table.setColumnHidden(Dummy, true);
    }

    void TearDown() override { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    // A row with its model in column 0 and the given status; returns the row's model.
    VLScannerItem *addRow(int bayesCategory = 0, float bayesProb = 0) {
        const int row = table.rowCount();
        table.setRowCount(row + 1);
        auto *scanner = new VLScannerItem(&table, QString(), DataEmailMessage());
        scanner->status().bayesCategory = bayesCategory;
        scanner->status().bayesProb = bayesProb;
        table.setItem(row, Dummy, scanner);
        table.setItem(row, Learning, new VLLearningItem(&table, QString(), scanner->status()));
        table.setItem(row, Delete, new VLCheckTableItem);
        table.setItem(row, Status, new VLStatusItem(scanner));
        return scanner;
    }

    VLLearningItem *learning(int row) { return dynamic_cast<VLLearningItem *>(table.item(row, Learning)); }
    VLCheckTableItem *check(int row) { return dynamic_cast<VLCheckTableItem *>(table.item(row, Delete)); }

    void showTable() {
        table.show();
        table.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&table));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&table));
    }

    QStringList columnTexts(int column) {
        QStringList texts;
        for (int row = 0; row < table.rowCount(); ++row)
            texts.append(table.item(row, column) ? table.item(row, column)->text() : QString());
        return texts;
    }

    VLMailTable table;
};

// ---------------------------------------------------------------- size, date, status keys

TEST(SizeCell, ShowsRoundedUnitsOfTheServersSizeElseTheLengthAndSortsByBytes) {
    const struct {
        const char *length;
        const char *text;
        const char *key;
    } cases[] = {{"1023", "1023", "000003ff"},   {"1024", "1KB", "00000400"},     {"1535", "1KB", "000005ff"},
                 {"1536", "2KB", "00000600"},    {"1048576", "1MB", "00100000"},  {"6699", "7KB", "00001a2b"},
                 {"1572864", "2MB", "00180000"}, {"", "0", "00000000"},           {"12abc", "0", "00000000"},
                 {"-5", "0", "00000000"},        {"99999999999", "0", "00000000"}};
    for (const auto &c : cases) {
        DataEmailMessage message;
        message.length = QString::fromLatin1(c.length);
        const VLSizeItem item(message);
        EXPECT_EQ(str(item.text()), c.text) << c.length;
        EXPECT_EQ(str(item.key()), c.key) << c.length;
    }
    // The size the server listed wins over Content-Length whenever there is one the cell
    // can hold, zero included.
    const struct {
        qint64 listed;
        const char *length;
        const char *text;
        const char *key;
    } listed[] = {{5000, "10", "5KB", "00001388"},
                  {0, "2048", "0", "00000000"},
                  {-1, "2048", "2KB", "00000800"},
                  {2147483647, "", "2048MB", "7fffffff"},
                  {2147483648, "2048", "2KB", "00000800"}};
    for (const auto &c : listed) {
        DataEmailMessage message;
        message.listedSize = c.listed;
        message.length = QString::fromLatin1(c.length);
        const VLSizeItem item(message);
        EXPECT_EQ(str(item.text()), c.text) << c.listed;
        EXPECT_EQ(str(item.key()), c.key) << c.listed;
    }
    DataEmailMessage message;
    const VLSizeItem item(message);
    EXPECT_EQ(item.type(), 10102);
    EXPECT_EQ(item.textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_FALSE(item.flags() & Qt::ItemIsEditable);
}

TEST_F(CellTable, DatesSortInCalendarOrderAndUnreadableOnesFirst) {
    // Given in an order that is wrong in every respect.
    const char *dates[] = {"1 Feb 2006",  "31 Jan 2006",     "2 Jan 2002 10:00", "2 Jan 2001 10:00",
                           "31 Dec 2000", "31 Dec 1999",     "31 Dec 8000",      "1 Jan 1752",
                           "not a date",  "2 Jan 2001 09:59"};
    table.setRowCount(int(std::size(dates)));
    for (int row = 0; row < table.rowCount(); ++row) {
        auto *item = new VLDateItem;
        item->setDate(QString::fromLatin1(dates[row]));
        table.setItem(row, Sent, item);
    }
    table.sortItems(Sent, Qt::AscendingOrder);
    EXPECT_EQ(columnTexts(Sent),
              (QStringList{QStringLiteral("not a date"), QStringLiteral("01/01/52 00:00"),
                           QStringLiteral("12/31/99 00:00"), QStringLiteral("12/31/00 00:00"),
                           QStringLiteral("01/02/01 09:59"), QStringLiteral("01/02/01 10:00"),
                           QStringLiteral("01/02/02 10:00"), QStringLiteral("01/31/06 00:00"),
                           QStringLiteral("02/01/06 00:00"), QStringLiteral("12/31/00 00:00")}));
}

TEST(DateCell, KeysHaveOneWidthAndTimeValuesAre64Bit) {
    VLDateItem early, late, dated, unread;
    early.setDate(QStringLiteral("1 Jan 1752"));
    late.setDate(QStringLiteral("31 Dec 8000 23:59:59"));
    dated.setDate(QStringLiteral("Mon, 2 Jan 2006 10:20:30 -0800 (PST)"));
    unread.setDate(QStringLiteral("someday"));
    EXPECT_EQ(str(early.key()), "00002a3000"); // 1 month and 1 day past the bias
    EXPECT_EQ(str(dated.key()).size(), 10u);
    EXPECT_EQ(late.key().size(), 10);
    EXPECT_LT(early.key(), dated.key());
    EXPECT_LT(dated.key(), late.key());
    EXPECT_EQ(unread.key(), QString());
    EXPECT_EQ(str(unread.text()), "someday");
    // Every month counts 31 days and every year 12 such months, from 2000.
    EXPECT_EQ(dated.time(), 6LL * 32140800 + 1 * 2678400 + 2 * 86400 + 10 * 3600 + 20 * 60 + 30);
    EXPECT_EQ(late.time(), 6000LL * 32140800 + 12 * 2678400 + 31 * 86400 + 86399);
    EXPECT_EQ(dated.type(), 10103);

    const VLDateItem empty;
    EXPECT_EQ(empty.time(), 0);
    EXPECT_TRUE(empty.key().isEmpty());
    EXPECT_TRUE(empty.text().isEmpty());
}

TEST_F(CellTable, MailLogTimesShowLocallyAndSortAcross1970And2038) {
    // TZ is UTC for this binary.
    const qint64 times[] = {4102444800 /* 2100-01-01 */, 1136197230 /* 2006-01-02 10:20:30 */,
                            -86400 /* 1969-12-31 */, 2147483648LL /* 2038-01-19 03:14:08 */};
    table.setRowCount(int(std::size(times)));
    for (int row = 0; row < table.rowCount(); ++row)
        table.setItem(row, Sent, new VLDateItem(times[row]));
    EXPECT_EQ(static_cast<VLDateItem *>(table.item(1, Sent))->time(), 1136197230);
    table.sortItems(Sent, Qt::AscendingOrder);
    EXPECT_EQ(columnTexts(Sent),
              (QStringList{QStringLiteral("12/31/69 00:00"), QStringLiteral("01/02/06 10:20"),
                           QStringLiteral("01/19/38 03:14"), QStringLiteral("01/01/00 00:00")}));
}

TEST_F(CellTable, StatusSortsLegitimateThenUndecidedThenJunk) {
    const struct {
        const char *text;
        bool junk, legitimate;
        const char *key;
    } rows[] = {{"Junk", true, false, "2_Junk"},
                {"Blacklisted", true, true, "2_Blacklisted"}, // junk wins
                {"", false, false, "1_"},
                {"Legitimate", false, true, "0_Legitimate"},
                {"Friend", false, true, "0_Friend"}};
    for (const auto &r : rows) {
        VLScannerItem *scanner = addRow();
        scanner->setJunk(r.junk);
        scanner->setLegitimate(r.legitimate);
        QTableWidgetItem *status = table.item(table.rowCount() - 1, Status);
        status->setText(QString::fromLatin1(r.text));
        EXPECT_EQ(str(static_cast<VLStatusItem *>(status)->key()), r.key);
        EXPECT_EQ(status->type(), 0);
    }
    table.sortItems(Status, Qt::AscendingOrder);
    EXPECT_EQ(columnTexts(Status),
              (QStringList{QStringLiteral("Friend"), QStringLiteral("Legitimate"), QString(),
                           QStringLiteral("Blacklisted"), QStringLiteral("Junk")}));
    // The key follows the row's marks as they change.
    auto *first = static_cast<VLScannerItem *>(table.item(0, Dummy));
    first->setLegitimate(false);
    first->setJunk(true);
    EXPECT_EQ(str(static_cast<VLStatusItem *>(table.item(0, Status))->key()), "2_Friend");
}

TEST_F(CellTable, LearningKeyIsTheSpamProbabilityInTenThousandths) {
    const struct {
        float probability;
        const char *key;
    } cases[] = {{0.12345F, "001234"},
                 {0.0F, "000000"},
                 {1.0F, "010000"},
                 {0.99999F, "009999"},
                 {-0.5F, "000000"},
                 {7.0F, "010000"},
                 {std::numeric_limits<float>::quiet_NaN(), "000000"},
                 {std::numeric_limits<float>::infinity(), "000000"}};
    for (const auto &c : cases) {
        VLScannerItem *scanner = addRow();
        scanner->status().bayesProb = c.probability;
        EXPECT_EQ(str(learning(table.rowCount() - 1)->key()), c.key) << c.probability;
    }
    // The scanner sets the probability after the cell exists: sorting sees the new value.
    static_cast<VLScannerItem *>(table.item(1, Dummy))->status().bayesProb = 0.5F;
    table.sortItems(Learning, Qt::DescendingOrder);
    EXPECT_EQ(str(learning(0)->key()), "010000");
    EXPECT_EQ(str(learning(3)->key()), "005000");
}

// ---------------------------------------------------------------- check cells

TEST_F(CellTable, CheckStateIsTheValueOfATextlessCheckableItem) {
    addRow();
    VLCheckTableItem *cell = check(0);
    EXPECT_EQ(cell->type(), 1098);
    EXPECT_TRUE(cell->flags() & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(cell->flags() & Qt::ItemIsEditable);
    EXPECT_TRUE(cell->text().isEmpty());
    EXPECT_EQ(cell->data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    EXPECT_FALSE(cell->isChecked());
    cell->setChecked(true);
    EXPECT_EQ(cell->data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_EQ(table.model()->index(0, Delete).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_TRUE(cell->isChecked());
}

TEST_F(CellTable, OnlyTheCurrentCheckCellTogglesAndTellsTheTable) {
    addRow();
    addRow();
    showTable();
    QSignalSpy changed(&table, &QTableWidget::cellChanged);
    table.setCurrentCell(1, Status);

    // Not current: toggle does nothing, setChecked is quiet.
    check(0)->toggle();
    EXPECT_FALSE(check(0)->isChecked());
    check(0)->setChecked(true);
    EXPECT_TRUE(check(0)->isChecked());
    EXPECT_EQ(changed.count(), 0);

    // Current: one change per toggle, and no editor widget appears.
    table.setCurrentCell(0, Delete);
    check(0)->toggle();
    EXPECT_FALSE(check(0)->isChecked());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0), (QVariantList{0, int(Delete)}));
    check(0)->setChecked(true);
    EXPECT_EQ(changed.count(), 2);
    check(0)->setChecked(true); // no change, no report
    EXPECT_EQ(changed.count(), 2);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(table.viewport()->findChildren<QWidget *>().size(), 0);
    EXPECT_EQ(table.indexWidget(table.model()->index(0, Delete)), nullptr);
}

TEST_F(CellTable, CheckCellTogglesOncePerClickAndIgnoresTheStandardKeyToggle) {
    // The table toggles on its own click handling; the standard delegate's toggle on top
    // would report one click twice.
    addRow();
    showTable();
    QSignalSpy changed(&table, &QTableWidget::cellChanged);
    const QRect cell = table.visualItemRect(check(0));
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_TRUE(check(0)->isChecked());
    EXPECT_EQ(changed.count(), 1);
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, QPoint(cell.left() + 8, cell.center().y()));
    EXPECT_FALSE(check(0)->isChecked());
    EXPECT_EQ(changed.count(), 2);
    QTest::keyClick(&table, Qt::Key_Space);
    EXPECT_FALSE(check(0)->isChecked());
    EXPECT_EQ(changed.count(), 2);
}

// ---------------------------------------------------------------- learning cell

TEST_F(CellTable, LearningChecksStartFromTheClassifierCategory) {
    addRow(DataEmailStatus::Spam);
    addRow(DataEmailStatus::Legitimate);
    addRow(0);
    EXPECT_EQ(learning(0)->type(), 1099);
    EXPECT_TRUE(learning(0)->isChecked1());
    EXPECT_FALSE(learning(0)->isChecked2());
    EXPECT_FALSE(learning(1)->isChecked1());
    EXPECT_TRUE(learning(1)->isChecked2());
    EXPECT_FALSE(learning(2)->isChecked1() || learning(2)->isChecked2());
}

TEST_F(CellTable, LearningEditorLivesWhileTheCellIsCurrent) {
    addRow();
    addRow();
    showTable();
    table.setCurrentCell(0, Learning);
    VLDoubleEditor *editor = learning(0)->editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(table.viewport()->findChild<VLDoubleEditor *>(QStringLiteral("vl_double_editor")), editor);
    EXPECT_EQ(editor->geometry(), table.visualItemRect(learning(0)));
    ASSERT_NE(editor->box1(), nullptr);
    ASSERT_NE(editor->box2(), nullptr);
    EXPECT_EQ(editor->box1()->box(), 1);
    EXPECT_EQ(editor->box2()->box(), 2);

    // Focus leaving the editor, Return and Escape keep it; the cell is still current.
    editor->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), editor);
    table.setFocus();
    ASSERT_EQ(QApplication::focusWidget(), &table);
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(editor, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(learning(0)->editor(), editor);

    // A click on box 2 is stored when the cell stops being current, and the editor goes.
    QTest::mouseClick(editor->box2(), Qt::LeftButton);
    table.setCurrentCell(1, Status);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(learning(0)->editor(), nullptr);
    EXPECT_TRUE(learning(0)->isChecked2());
    EXPECT_EQ(learning(0)->data(VLLearningItem::ChecksRole).toInt(), 2);
}

TEST_F(CellTable, BoxTwoClearsBoxOneAndOneClickReportsOnce) {
    addRow();
    addRow(DataEmailStatus::Spam);
    showTable();
    table.setCurrentCell(1, Learning);
    VLDoubleEditor *editor = learning(1)->editor();
    ASSERT_NE(editor, nullptr);
    ASSERT_TRUE(editor->box1()->isChecked());
    QSignalSpy toggled1(learning(1), &VLLearningItem::sigToggled1);
    QSignalSpy toggled2(learning(1), &VLLearningItem::sigToggled2);
    QSignalSpy changed(&table, &QTableWidget::cellChanged);

    QTest::mouseClick(editor->box2(), Qt::LeftButton);
    EXPECT_FALSE(learning(1)->isChecked1());
    EXPECT_TRUE(learning(1)->isChecked2());
    EXPECT_EQ(toggled1.count(), 0);
    ASSERT_EQ(toggled2.count(), 1);
    EXPECT_EQ(toggled2.at(0), (QVariantList{1, true}));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0), (QVariantList{1, int(Learning)}));

    // Clicking box 2 again turns it off, once.
    QTest::mouseClick(editor->box2(), Qt::LeftButton);
    EXPECT_FALSE(learning(1)->isChecked2());
    ASSERT_EQ(toggled2.count(), 2);
    EXPECT_EQ(toggled2.at(1), (QVariantList{1, false}));
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(CellTable, SetCheckedWithALiveEditorIsQuiet) {
    addRow();
    showTable();
    table.setCurrentCell(0, Learning);
    VLLearningItem *cell = learning(0);
    ASSERT_NE(cell->editor(), nullptr);
    QSignalSpy toggled1(cell, &VLLearningItem::sigToggled1);
    QSignalSpy toggled2(cell, &VLLearningItem::sigToggled2);
    QSignalSpy changed(&table, &QTableWidget::cellChanged);

    cell->setChecked1(true);
    EXPECT_TRUE(cell->editor()->box1()->isChecked());
    EXPECT_TRUE(cell->isChecked1());
    cell->setChecked2(true); // no exclusion either: the caller decides
    EXPECT_TRUE(cell->editor()->box2()->isChecked());
    cell->setChecked1(false);
    EXPECT_FALSE(cell->isChecked1());
    EXPECT_EQ(toggled1.count() + toggled2.count() + changed.count(), 0);
    // ... and the stored states follow, for when the editor goes.
    EXPECT_EQ(cell->data(VLLearningItem::ChecksRole).toInt(), 2);
}

TEST_F(CellTable, ClicksPassedOnHitABoxAnywhereInItsColumnOfTheRow) {
    addRow(0);
    table.setRowHeight(0, 40);
    showTable();
    VLLearningItem *cell = learning(0);
    const QRect rect = table.visualItemRect(cell);

    auto click = [&](const QPoint &inCell) {
        const QPointF at = rect.topLeft() + inCell;
        QMouseEvent release(QEvent::MouseButtonRelease, at, table.viewport()->mapToGlobal(at), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        cell->sendMouseEvent(&release);
    };
    QSignalSpy toggled1(cell, &VLLearningItem::sigToggled1);
    QSignalSpy toggled2(cell, &VLLearningItem::sigToggled2);

    click(QPoint(rect.width() / 2, 2)); // no editor yet: nothing
    EXPECT_EQ(toggled1.count() + toggled2.count(), 0);

    table.setCurrentCell(0, Learning);
    ASSERT_NE(cell->editor(), nullptr);
    const QRect g1 = cell->editor()->box1()->geometry();
    const QRect g2 = cell->editor()->box2()->geometry();
    ASSERT_FALSE(g1.intersects(g2));

    click(QPoint(g1.center().x(), 1)); // top of the row, above the box itself
    EXPECT_TRUE(cell->isChecked1());
    ASSERT_EQ(toggled1.count(), 1);
    EXPECT_EQ(toggled1.at(0), (QVariantList{0, true}));

    click(QPoint(g2.center().x(), rect.height() - 2)); // box 2 clears box 1
    EXPECT_FALSE(cell->isChecked1());
    EXPECT_TRUE(cell->isChecked2());
    ASSERT_EQ(toggled2.count(), 1);
    EXPECT_EQ(toggled2.at(0), (QVariantList{0, true}));

    click(QPoint(0, rect.height() / 2)); // left of both boxes
    EXPECT_EQ(toggled1.count() + toggled2.count(), 2);

    click(QPoint(g1.center().x(), g1.center().y())); // box 1 back on, box 2 cleared
    EXPECT_TRUE(cell->isChecked1());
    EXPECT_FALSE(cell->isChecked2());
    EXPECT_EQ(toggled1.count(), 2);
    EXPECT_EQ(toggled2.count(), 1); // clearing the other box is part of the same change
}

TEST_F(CellTable, TextOfALiveEditorLabelsTheSecondBox) {
    addRow();
    showTable();
    table.setCurrentCell(0, Learning);
    learning(0)->setText(QStringLiteral("legit"));
    EXPECT_EQ(learning(0)->editor()->box2()->text(), QStringLiteral("legit"));
    EXPECT_TRUE(learning(0)->editor()->box1()->text().isEmpty());
}

// ---------------------------------------------------------------- looks

TEST(LearningMarks, FourDistinctMarksOfTenByTen) {
    DataEmailStatus undecided, spam, legitimate;
    spam.bayesCategory = DataEmailStatus::Spam;
    legitimate.bayesCategory = DataEmailStatus::Legitimate;
    const QImage &redX = VLLearningItem::mark(1, undecided);
    const QImage &greyX = VLLearningItem::mark(1, spam);
    const QImage &greenTick = VLLearningItem::mark(2, undecided);
    const QImage &greyTick = VLLearningItem::mark(2, legitimate);
    for (const QImage *image : {&redX, &greyX, &greenTick, &greyTick}) {
        ASSERT_FALSE(image->isNull());
        EXPECT_EQ(image->size(), QSize(10, 10));
    }
    EXPECT_NE(redX, greyX);
    EXPECT_NE(greenTick, greyTick);
    EXPECT_NE(redX, greenTick);
    EXPECT_EQ(&VLLearningItem::mark(1, legitimate), &redX);
    // The colour carries the meaning: a strongly red, green and grey pixel in each.
    auto strongest = [](const QImage &image) {
        QColor best(Qt::transparent);
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixelColor(x, y).alpha() > best.alpha())
                    best = image.pixelColor(x, y);
        return best;
    };
    EXPECT_GT(strongest(redX).red(), 2 * strongest(redX).green());
    EXPECT_GT(strongest(greenTick).green(), 2 * strongest(greenTick).red());
    EXPECT_EQ(strongest(greyX).red(), strongest(greyX).green());
    EXPECT_EQ(strongest(greyTick).alpha(), 255);
}

TEST_F(CellTable, RowBackgroundShadesOddRowsAndTakesTheMessageColour) {
    addRow();
    addRow();
    addRow()->status().bgColor = QStringLiteral("#ffc0c0");
    addRow()->status().bgColor = QStringLiteral("no such colour");
    const QColor base = table.palette().color(QPalette::Base);
    const QColor expected[] = {base, QColor(224, 224, 224), QColor(0xff, 0xc0, 0xc0), QColor(224, 224, 224)};
    for (int row = 0; row < 4; ++row) {
        QPalette palette = table.palette();
        table.backgroundForRow(row, palette);
        EXPECT_EQ(palette.color(QPalette::Base), expected[row]) << row;
    }
}

TEST_F(CellTable, CellsPaintTheirIndicatorsAndMarks) {
    addRow(0);                     // box 1 on below: red cross
    addRow(DataEmailStatus::Spam); // the classifier agrees: grey cross
    addRow(DataEmailStatus::Legitimate);
    addRow(0)->status().bgColor = QStringLiteral("#ffe0a0");
    learning(0)->setChecked1(true);
    learning(3)->setChecked2(true);
    check(1)->setChecked(true);
    for (int row = 0; row < table.rowCount(); ++row) {
        DataEmailMessage message;
        message.length = QString::number(700 * (row + 1) * (row + 1) * 1000);
        table.setItem(row, Size, new VLSizeItem(message));
        auto *date = new VLDateItem;
        date->setDate(QStringLiteral("Mon, %1 Jan 2006 10:2%1:30 -0800").arg(row + 1));
        table.setItem(row, Sent, date);
        table.item(row, Status)->setText(row == 1 ? QStringLiteral("Junk") : QString());
    }
    table.setHorizontalHeaderLabels({QStringLiteral("Dummy"), QStringLiteral("Learning"),
                                     QStringLiteral("Delete"), QStringLiteral("Status"),
                                     QStringLiteral("Size"), QStringLiteral("Sent")});
    table.resizeColumnsToContents();
    table.setColumnWidth(Learning, 70);
    table.setColumnWidth(Status, 90);
    showTable();
    table.setCurrentCell(2, Learning);
    ASSERT_NE(learning(2)->editor(), nullptr);
    QCoreApplication::processEvents();

    const QImage shot = table.grab().toImage();
    const QString folder = QStringLiteral(VL_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    shot.save(folder + QStringLiteral("/app_cells.png"));
    shot.scaled(shot.size() * 3).save(folder + QStringLiteral("/app_cells_x3.png"));

    // Row 0's spam mark is red, centred on the first of the two indicators; row 3's legitimate
    // mark is green, right of the cell's middle.
    auto pixels = [&](int row, bool right, auto test) {
        const QRect cell = table.visualItemRect(learning(row)).translated(table.viewport()->pos());
        const QRect half =
            right ? cell.adjusted(cell.width() / 2, 0, 0, 0) : cell.adjusted(0, 0, -cell.width() / 2, 0);
        int count = 0;
        for (int y = half.top(); y <= half.bottom(); ++y)
            for (int x = half.left(); x <= half.right(); ++x)
                count += test(shot.pixelColor(x, y)) ? 1 : 0;
        return count;
    };
    auto red = [](const QColor &c) { return c.red() > 150 && c.green() < 90 && c.blue() < 90; };
    auto green = [](const QColor &c) { return c.green() > 120 && c.red() < 90 && c.blue() < 90; };
    EXPECT_GE(pixels(0, false, red), 6);
    EXPECT_EQ(pixels(0, true, red), 0);
    EXPECT_GE(pixels(3, true, green), 6);
    EXPECT_EQ(pixels(3, false, green), 0);
    EXPECT_EQ(pixels(1, false, red), 0); // the classifier agrees: a grey mark
}

TEST_F(CellTable, IndicatorCellsAskForRoomForTheirIndicators) {
    addRow();
    const QStyleOptionViewItem option;
    const QSize checkHint = table.itemDelegate()->sizeHint(option, table.model()->index(0, Delete));
    const QSize learningHint = table.itemDelegate()->sizeHint(option, table.model()->index(0, Learning));
    const int indicator = table.style()->pixelMetric(QStyle::PM_IndicatorWidth);
    EXPECT_GE(checkHint.width(), indicator + 6);
    EXPECT_GE(checkHint.height(), table.style()->pixelMetric(QStyle::PM_IndicatorHeight));
    EXPECT_EQ(learningHint, checkHint);
}

} // namespace
