// The mail table: columns from the options, the width layout, virtual rows and hiding,
// sorting by header clicks, clicks on cells and header drags, painting and the status tip.

#include "mail_rows.h"

#include "app/VLCellDelegate.h"
#include "app/VLCheckBox.h"
#include "app/VLCheckTableItem.h"
#include "app/VLDoubleEditor.h"
#include "app/VLLearningItem.h"
#include "app/VLStatusItem.h"
#include "data/vl_settings.h"

#include "GuiHelpers.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QToolTip>
#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using apptest::columnsOnly;
using apptest::mailFrom;

// Labels of the shown columns in the order they show.
QStringList shownLabels(const VLMailTable &table) {
    QStringList labels;
    const QHeaderView *header = table.horizontalHeader();
    for (int v = 0; v < header->count(); ++v) {
        const int col = header->logicalIndex(v);
        if (!table.isColumnHidden(col))
            labels.append(table.horizontalHeaderItem(col)->text());
    }
    return labels;
}

QStringList hiddenLabels(const VLMailTable &table) {
    QStringList labels;
    for (int col = 0; col < table.columnCount(); ++col)
        if (table.isColumnHidden(col))
            labels.append(table.horizontalHeaderItem(col)->text());
    return labels;
}

class MailTable : public apptest::MailTableTest {};

// ---------------------------------------------------------------- columns

TEST_F(MailTable, WithoutStoredColumnsTheDefaultsShowInDefaultOrder) {
    makeTable();
    EXPECT_EQ(table->objectName(), QStringLiteral("mailtable"));
    EXPECT_EQ(table->columnCount(), 18);
    EXPECT_EQ(shownLabels(*table), (QStringList{u"Learning"_s, u"Delete"_s, u"Status"_s, u"Size"_s, u"From"_s,
                                                u"Subject"_s, u"Sent"_s, u"Account"_s}));
    EXPECT_EQ(hiddenLabels(*table),
              (QStringList{u"Dummy"_s, u"Friends"_s, u"Blacklist"_s, u"Bounce"_s, u"Attachments"_s,
                           u"Report"_s, u"Priority"_s, u"To"_s, u"Arrived"_s, u"SpamCop"_s}));
    EXPECT_EQ(table->mapColToField(0), 0);
    EXPECT_EQ(table->mapFieldToCol(VLMailTable::Learning), 1);
    EXPECT_EQ(table->mapFieldToCol(VLMailTable::SpamCop), 17);
    EXPECT_EQ(table->mapFieldToCol(18), -1);
    EXPECT_EQ(table->mapColToField(9), VLMailTable::Friends);
    EXPECT_EQ(table->mapColToField(9, false), -1); // hidden
    EXPECT_EQ(table->mapColToField(18), -1);
    EXPECT_FALSE(table->verticalHeader()->isVisible());
    EXPECT_EQ(table->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(MailTable, StoredColumnsComeFirstAndBadOrDisabledOnesAreLeftOut) {
    StoreOptions::options()->display.columns = {
        DataOptionsColumn(false, 8, 100), // Subject first
        DataOptionsColumn(false, 18, 50), // no such code
        DataOptionsColumn(false, -1, 50), // nor this
        DataOptionsColumn(true, 5, 40),   // Status disabled: hidden though visible by default
        DataOptionsColumn(false, 13, 40), // Report shown though hidden by default
        DataOptionsColumn(false, 8, 30),  // Subject twice: the first entry holds
        DataOptionsColumn(false, 0, 30),  // the model column is never placed by the options
    };
    makeTable();
    EXPECT_EQ(table->columnCount(), 18);
    EXPECT_EQ(shownLabels(*table), (QStringList{u"Subject"_s, u"Report"_s, u"Learning"_s, u"Delete"_s,
                                                u"Size"_s, u"From"_s, u"Sent"_s, u"Account"_s}));
    EXPECT_EQ(hiddenLabels(*table),
              (QStringList{u"Dummy"_s, u"Status"_s, u"Friends"_s, u"Blacklist"_s, u"Bounce"_s,
                           u"Attachments"_s, u"Priority"_s, u"To"_s, u"Arrived"_s, u"SpamCop"_s}));
    EXPECT_EQ(table->mapFieldToCol(VLMailTable::Subject), 1);
    EXPECT_EQ(table->mapFieldToCol(VLMailTable::Report), 2);
    // Every code has exactly one column.
    for (int code = 0; code < 18; ++code) {
        const int col = table->mapFieldToCol(code);
        if (code == 0)
            EXPECT_EQ(table->mapColToField(0), 0);
        else
            EXPECT_EQ(table->mapColToField(col), code) << code;
    }
}

TEST_F(MailTable, WidthsAreSharedInProportionWithAFloorOf20) {
    // Visible widths after a layout at a chosen available width (viewport minus the room
    // kept for the scroll bar).
    const struct {
        const char *name;
        std::initializer_list<std::pair<int, int>> columns;
        int available;
        std::vector<int> expected; // by shown column; empty: what the columns had before
    } cases[] = {
        {"in proportion", {{8, 300}, {7, 100}}, 600, {450, 150}},
        {"share below 20 becomes 20", {{8, 1000}, {7, 1}}, 600, {599, 20}},
        {"last column takes the rest", {{8, 1}, {7, 1}, {6, 1}}, 601, {200, 200, 201}},
        {"available below 200 counts as 200", {{8, 3}, {7, 1}}, 120, {150, 50}},
        {"zero widths take default shares", {{8, 0}, {9, 0}}, 600, {400, 200}},
        {"total of 0 changes nothing", {{8, 0}, {9, 0}}, 5, {}},
    };
    for (const auto &c : cases) {
        StoreOptions::options()->display.columns = columnsOnly(c.columns);
        makeTable();
        showTable();
        // Frame and scroll bar room measured, then the table sized for the wanted width.
        const int extra =
            table->width() - table->viewport()->width() + table->verticalScrollBar()->sizeHint().width();
        table->resize(c.available + extra, 300);
        QCoreApplication::processEvents();
        ASSERT_EQ(table->viewport()->width() - table->verticalScrollBar()->sizeHint().width(), c.available)
            << c.name;
        table->setupColumns(); // the weights back to what the options say
        std::vector<int> before;
        for (const auto &column : c.columns) {
            table->setColumnWidth(table->mapFieldToCol(column.first), 77);
            before.push_back(77);
        }
        table->setupLayout();
        std::vector<int> widths;
        for (const auto &column : c.columns)
            widths.push_back(table->columnWidth(table->mapFieldToCol(column.first)));
        EXPECT_EQ(widths, c.expected.empty() ? before : c.expected) << c.name;
    }
}

TEST_F(MailTable, FontDeltaChangesTheTableFontSize) {
    const int inherited = QApplication::font().pointSize();
    ASSERT_GT(inherited, 4);
    const struct {
        const char *value;
        int expected;
    } cases[] = {{"2", inherited - 2}, {"-2", inherited + 2}, {"eleven", inherited}, {"", inherited}};
    for (const auto &c : cases) {
        qputenv("VL_FONT_DELTA", c.value);
        makeTable();
        EXPECT_EQ(table->font().pointSize(), c.expected) << c.value;
    }
    qunsetenv("VL_FONT_DELTA");
}

// ---------------------------------------------------------------- rows

TEST_F(MailTable, VirtualRowsGrowShrinkAndGoWithTheirItems) {
    makeTable();
    table->setNumVirtualRows(3);
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_EQ(table->numVirtualRows(), 3);
    EXPECT_EQ(table->scannerItem(0), nullptr); // no message yet

    table->setNumVirtualRows(0);
    for (int i = 0; i < 6; ++i)
        addRow(QStringLiteral("m%1").arg(i));
    EXPECT_EQ(table->numVirtualRows(), 6);
    EXPECT_EQ(table->rowCount(), 6);
    EXPECT_EQ(table->scannerItem(6), nullptr);
    EXPECT_EQ(table->scannerItem(-1), nullptr);
    EXPECT_EQ(VLScannerItem::findMessage(table->scannerItem(5)->message().unique()), table->scannerItem(5));

    // Rows in any order, twice, and past the end: each existing row goes once.
    table->removeVirtualRows({4, 1, 4, 9, -1, 2});
    EXPECT_EQ(table->numVirtualRows(), 3);
    EXPECT_EQ(columnTexts(VLMailTable::Subject), (QStringList{u"m0"_s, u"m3"_s, u"m5"_s}));
    EXPECT_EQ(VLScannerItem::findMessage(mailFrom({}, {}, {}, QStringLiteral("uid1")).unique()), nullptr);

    table->removeVirtualRow(3); // past the end
    EXPECT_EQ(table->numVirtualRows(), 3);
    table->removeVirtualRow(0);
    EXPECT_EQ(columnTexts(VLMailTable::Subject), (QStringList{u"m3"_s, u"m5"_s}));

    table->setNumVirtualRows(1);
    EXPECT_EQ(table->rowCount(), 1);
    EXPECT_EQ(columnTexts(VLMailTable::Subject), (QStringList{u"m3"_s}));
    table->setNumVirtualRows(0);
    EXPECT_EQ(table->rowCount(), 0);
    EXPECT_EQ(table->numVirtualRows(), 0);
}

TEST_F(MailTable, DroppedRowIsHiddenAndEmpty) {
    makeTable();
    addRow(QStringLiteral("a"));
    addRow(QStringLiteral("b"));
    table->dropVirtualRow(1);
    EXPECT_TRUE(table->isRowHidden(1));
    for (int col = 0; col < table->columnCount(); ++col)
        EXPECT_EQ(table->item(1, col), nullptr) << col;
    EXPECT_EQ(table->scannerItem(1), nullptr);
    EXPECT_EQ(cell(0, VLMailTable::Subject)->text(), QStringLiteral("a"));
}

TEST_F(MailTable, HiddenRowsAreCountedAndShownOnRequest) {
    makeTable();
    addRow(QStringLiteral("shown"));
    DataEmailMessage quiet = mailFrom({}, {}, QStringLiteral("hidden"), QStringLiteral("h"));
    auto *hidden = new VLScannerItem(table.get(), QStringLiteral("Home"), quiet);
    hidden->status().hide = true;
    hidden->insertTableRow(1, false);
    auto *shownAnyway = new VLScannerItem(table.get(), QStringLiteral("Home"), quiet);
    shownAnyway->status().hide = true;
    shownAnyway->insertTableRow(2, true); // the lister shows hidden rows at the moment

    EXPECT_TRUE(table->isRowHidden(1));
    EXPECT_FALSE(table->isRowHidden(2));
    EXPECT_EQ(table->countHiddenEmails(), 1);
    table->showHiddenEmails(true);
    EXPECT_EQ(table->countHiddenEmails(), 0);
    EXPECT_TRUE(table->showsHiddenEmails());
    table->showHiddenEmails(false);
    EXPECT_EQ(table->countHiddenEmails(), 2);
    EXPECT_FALSE(table->isRowHidden(0));
}

// ---------------------------------------------------------------- sorting

TEST_F(MailTable, HeaderClicksSortAscendingDescendingAscendingAndHidingHolds) {
    makeTable();
    showTable();
    for (const char *subject : {"delta", "alpha", "charlie", "bravo"})
        addRow(QString::fromLatin1(subject));
    table->scannerItem(2)->status().hide = true; // "charlie"
    table->showHiddenEmails(false);

    const int col = table->mapFieldToCol(VLMailTable::Subject);
    QHeaderView *header = table->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(col) + header->sectionSize(col) / 2,
                    header->height() / 2);
    auto hiddenSubject = [&] {
        QStringList hidden;
        for (int row = 0; row < table->rowCount(); ++row)
            if (table->isRowHidden(row))
                hidden.append(cell(row, VLMailTable::Subject)->text());
        return hidden;
    };
    const QStringList up{u"alpha"_s, u"bravo"_s, u"charlie"_s, u"delta"_s};
    const QStringList down{u"delta"_s, u"charlie"_s, u"bravo"_s, u"alpha"_s};
    const struct {
        QStringList order;
        int sortOrder;
        Qt::SortOrder indicator;
    } clicks[] = {{up, -1, Qt::AscendingOrder}, {down, 1, Qt::DescendingOrder}, {up, -1, Qt::AscendingOrder}};
    for (const auto &click : clicks) {
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        EXPECT_EQ(columnTexts(VLMailTable::Subject), click.order);
        VLSettings settings;
        settings.beginGroup(QStringLiteral("mailTable"));
        EXPECT_EQ(settings.value(QStringLiteral("sortOrder")).toInt(), click.sortOrder);
        EXPECT_EQ(settings.value(QStringLiteral("sortColumn")).toInt(), int(VLMailTable::Subject));
        EXPECT_EQ(hiddenSubject(), QStringList{u"charlie"_s});
        EXPECT_EQ(header->sortIndicatorSection(), col);
        EXPECT_EQ(header->sortIndicatorOrder(), click.indicator);
    }
    // Rows keep their models: the scanner item moved with its subject.
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(table->scannerItem(row)->message().encSubject, up[row]);

    // Another column always starts ascending; its code is stored, hidden columns too.
    table->slotClickHeader(table->mapFieldToCol(VLMailTable::To));
    VLSettings settings;
    settings.beginGroup(QStringLiteral("mailTable"));
    EXPECT_EQ(settings.value(QStringLiteral("sortColumn")).toInt(), int(VLMailTable::To));
    EXPECT_EQ(settings.value(QStringLiteral("sortOrder")).toInt(), -1);
}

TEST_F(MailTable, SizeSortsByTheSizeItShows) {
    makeTable();
    // Listed sizes and Content-Length values that sort the other way round: the order is
    // the one of the shown sizes.
    const struct {
        qint64 listed;
        const char *length;
    } rows[] = {{3000, "1"}, {-1, "900"}, {1048576, "5"}, {20, "999999"}, {-1, ""}};
    for (const auto &r : rows) {
        DataEmailMessage m = apptest::mailFrom(u"s@example.org"_s, u"s@example.org"_s, u"size"_s,
                                               QStringLiteral("uid%1").arg(table->numVirtualRows()));
        m.listedSize = r.listed;
        m.length = QString::fromLatin1(r.length);
        addRow(m);
    }
    table->slotClickHeader(table->mapFieldToCol(VLMailTable::Size));
    EXPECT_EQ(columnTexts(VLMailTable::Size), (QStringList{u"0"_s, u"20"_s, u"900"_s, u"3KB"_s, u"1MB"_s}));
    table->slotClickHeader(table->mapFieldToCol(VLMailTable::Size));
    EXPECT_EQ(columnTexts(VLMailTable::Size), (QStringList{u"1MB"_s, u"3KB"_s, u"900"_s, u"20"_s, u"0"_s}));
}

TEST_F(MailTable, StatusSortsByVerdictGroupThenText) {
    makeTable();
    const struct {
        const char *status;
        int logging;
    } rows[] = {{"Spam", 0x200}, {"Friend", 0x40}, {"", 0}, {"Blacklisted", 0x80}, {"Legit", 0x20}};
    for (const auto &r : rows) {
        VLScannerItem *item = addRow(QString::fromLatin1(r.status));
        item->status().status = QString::fromLatin1(r.status);
        item->status().logging = r.logging;
        item->updateTableRow();
    }
    table->slotClickHeader(table->mapFieldToCol(VLMailTable::Status));
    EXPECT_EQ(columnTexts(VLMailTable::Status),
              (QStringList{u"Friend"_s, u"Legit"_s, u""_s, u"Blacklisted"_s, u"Spam"_s}));
}

// ---------------------------------------------------------------- clicks on cells

TEST_F(MailTable, OneClickOnACheckCellTogglesItOnce) {
    makeTable();
    showTable();
    addRow(QStringLiteral("a"));
    addRow(QStringLiteral("b"));
    QSignalSpy changed(table.get(), &QTableWidget::cellChanged);
    VLScannerItem *row1 = table->scannerItem(1);

    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cellCentre(1, VLMailTable::Delete));
    EXPECT_TRUE(row1->isDeleteChecked());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0), (QVariantList{1, table->mapFieldToCol(VLMailTable::Delete)}));
    EXPECT_TRUE(table->item(1, 0)->isSelected());

    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cellCentre(1, VLMailTable::Delete));
    EXPECT_FALSE(row1->isDeleteChecked());
    EXPECT_EQ(changed.count(), 2);
    EXPECT_FALSE(table->scannerItem(0)->isDeleteChecked());
}

TEST_F(MailTable, ShiftOrControlClickSelectsWithoutToggling) {
    makeTable();
    showTable();
    for (int i = 0; i < 3; ++i)
        addRow(QStringLiteral("m%1").arg(i));
    QSignalSpy changed(table.get(), &QTableWidget::cellChanged);
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cellCentre(0, VLMailTable::Subject));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      cellCentre(1, VLMailTable::Delete));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      cellCentre(2, VLMailTable::Delete));
    for (int row = 0; row < 3; ++row) {
        EXPECT_TRUE(table->item(row, 0)->isSelected()) << row;
        EXPECT_FALSE(table->scannerItem(row)->isDeleteChecked()) << row;
    }
    EXPECT_EQ(changed.count(), 0);

    // A plain click on a box of a selected row toggles it and keeps the selection, so the
    // lister can carry the change to the other selected rows.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cellCentre(1, VLMailTable::Delete));
    EXPECT_TRUE(table->scannerItem(1)->isDeleteChecked());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(table->selectionModel()->selectedRows().size(), 3);
}

TEST_F(MailTable, ReleaseOutsideThePressedCellDoesNotToggle) {
    makeTable();
    showTable();
    addRow(QStringLiteral("a"));
    addRow(QStringLiteral("b"));
    QSignalSpy changed(table.get(), &QTableWidget::cellChanged);
    const struct {
        int row, code;
    } elsewhere[] = {{0, VLMailTable::Subject}, {1, VLMailTable::Delete}, {0, VLMailTable::Learning}};
    for (const auto &e : elsewhere) {
        QTest::mousePress(table->viewport(), Qt::LeftButton, {}, cellCentre(0, VLMailTable::Delete));
        QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, cellCentre(e.row, e.code));
    }
    // ... and a right click toggles nothing either.
    QTest::mouseClick(table->viewport(), Qt::RightButton, {}, cellCentre(0, VLMailTable::Delete));
    EXPECT_FALSE(table->scannerItem(0)->isDeleteChecked());
    EXPECT_FALSE(table->scannerItem(1)->isDeleteChecked());
    EXPECT_EQ(changed.count(), 0);
}

TEST_F(MailTable, LearningCellHitsCoverTheWholeRowHeight) {
    makeTable();
    showTable();
    addRow(QStringLiteral("a"));
    addRow(QStringLiteral("b"));
    table->setRowHeight(0, 40);
    VLScannerItem *row0 = table->scannerItem(0);
    QSignalSpy changed(table.get(), &QTableWidget::cellChanged);
    QSignalSpy learning(row0, &VLScannerItem::sigLearningChanged);
    const QRect rect =
        table->visualRect(table->model()->index(0, table->mapFieldToCol(VLMailTable::Learning)));

    // The press makes the cell current and gives it its editor, which hit-tests the
    // release: the top pixel row, in the spam box's column.
    QTest::mousePress(table->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 2, rect.center().y()));
    VLDoubleEditor *editor = row0->learningCell()->editor();
    ASSERT_NE(editor, nullptr);
    const int box1 = rect.left() + editor->box1()->geometry().center().x();
    const int box2 = rect.left() + editor->box2()->geometry().center().x();
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, QPoint(box1, rect.top() + 1));
    EXPECT_TRUE(row0->learningCell()->isChecked1());
    EXPECT_EQ(row0->status().klass, 1);
    EXPECT_EQ(row0->status().status, QStringLiteral("Junk"));
    ASSERT_EQ(learning.count(), 1);
    EXPECT_EQ(learning.at(0).at(1).toBool(), true);
    EXPECT_EQ(changed.count(), 1);

    // Elsewhere and back: the bottom pixel row, in the legitimate box's column.
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cellCentre(1, VLMailTable::Subject));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(row0->learningCell()->editor(), nullptr);
    QTest::mousePress(table->viewport(), Qt::LeftButton, {}, QPoint(rect.left() + 2, rect.center().y()));
    QTest::mouseRelease(table->viewport(), Qt::LeftButton, {}, QPoint(box2, rect.bottom() - 1));
    EXPECT_FALSE(row0->learningCell()->isChecked1());
    EXPECT_TRUE(row0->learningCell()->isChecked2());
    EXPECT_EQ(row0->status().klass, 2);
    EXPECT_EQ(row0->status().status, QStringLiteral("Legitimate"));
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(MailTable, DoubleClickReportsTheCellOnlyOnRows) {
    makeTable();
    showTable();
    addRow(QStringLiteral("a"));
    QSignalSpy doubled(table.get(), &QTableWidget::cellDoubleClicked);
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cellCentre(0, VLMailTable::Subject));
    ASSERT_EQ(doubled.count(), 1);
    EXPECT_EQ(doubled.at(0), (QVariantList{0, table->mapFieldToCol(VLMailTable::Subject)}));
    const int below = table->rowViewportPosition(0) + table->rowHeight(0) + 20;
    QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, QPoint(20, below));
    QTest::mouseDClick(table->viewport(), Qt::RightButton, {}, cellCentre(0, VLMailTable::Subject));
    EXPECT_EQ(doubled.count(), 1);
}

// ---------------------------------------------------------------- header drags

void sendMouse(QWidget *to, QEvent::Type type, const QPoint &at, Qt::MouseButton button = Qt::LeftButton) {
    const Qt::MouseButtons buttons =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, at, to->mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button,
                      buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &event);
}

TEST_F(MailTable, HeaderDragMovesOneBoundaryAndSavesTheWidthsLater) {
    StoreOptions::options()->display.columns = columnsOnly({{11, 60}, {8, 200}, {7, 200}, {9, 100}});
    makeTable(800);
    showTable();
    StoreOptions *options = StoreOptions::options();
    ASSERT_FALSE(options->isChanged());
    QHeaderView *header = table->horizontalHeader();
    QWidget *viewport = header->viewport();
    const int subject = table->mapFieldToCol(VLMailTable::Subject);
    const int from = table->mapFieldToCol(VLMailTable::From);
    const int sum = header->sectionSize(subject) + header->sectionSize(from);
    const int boundary = header->sectionViewportPosition(from);
    const int y = header->height() / 2;

    // Pointer over an edge: the split cursor; in the middle of a section: none.
    sendMouse(viewport, QEvent::MouseMove, QPoint(boundary + 1, y));
    EXPECT_EQ(table->cursor().shape(), Qt::SplitHCursor);
    sendMouse(viewport, QEvent::MouseMove, QPoint(boundary + 40, y));
    EXPECT_EQ(table->cursor().shape(), Qt::ArrowCursor);

    // From the left edge of From: the boundary with Subject moves, the sum stays.
    sendMouse(viewport, QEvent::MouseButtonPress, QPoint(boundary + 1, y));
    sendMouse(viewport, QEvent::MouseMove, QPoint(boundary + 31, y));
    EXPECT_EQ(header->sectionSize(subject) + header->sectionSize(from), sum);
    EXPECT_EQ(header->sectionViewportPosition(from), boundary + 31);
    sendMouse(viewport, QEvent::MouseMove, QPoint(-500, y)); // far past the left: 10 px stay
    EXPECT_EQ(header->sectionSize(subject), 10);
    EXPECT_EQ(header->sectionSize(from), sum - 10);
    sendMouse(viewport, QEvent::MouseMove, QPoint(5000, y)); // and past the right
    EXPECT_EQ(header->sectionSize(from), 10);
    EXPECT_EQ(header->sectionSize(subject), sum - 10);
    EXPECT_FALSE(options->isChanged());
    sendMouse(viewport, QEvent::MouseButtonRelease, QPoint(5000, y));

    // The drag's end stores the widths and schedules the save without the change signal.
    EXPECT_TRUE(options->isChanged());
    EXPECT_EQ(options->pendingSaveDelay(), 10000);
    const auto stored = [&](int code) {
        for (const DataOptionsColumn &c : options->display.columns)
            if (c.code == code)
                return c.width;
        return -1;
    };
    EXPECT_EQ(stored(VLMailTable::Subject), sum - 10);
    EXPECT_EQ(stored(VLMailTable::From), 10);
    EXPECT_EQ(stored(VLMailTable::Bounce), 0); // hidden

    // The dragged widths are the new proportions: a wider window keeps them.
    table->resize(table->width() + 200, table->height());
    QCoreApplication::processEvents();
    EXPECT_GT(header->sectionSize(subject), 10 * header->sectionSize(from));

    // From the right edge of Subject: the same boundary, back to the middle.
    const int edge = header->sectionViewportPosition(from) - 1;
    const int newSum = header->sectionSize(subject) + header->sectionSize(from);
    sendMouse(viewport, QEvent::MouseButtonPress, QPoint(edge, y));
    sendMouse(viewport, QEvent::MouseMove, QPoint(header->sectionViewportPosition(subject) + newSum / 2, y));
    sendMouse(viewport, QEvent::MouseButtonRelease,
              QPoint(header->sectionViewportPosition(subject) + newSum / 2, y));
    EXPECT_EQ(header->sectionSize(subject), newSum / 2);
    EXPECT_EQ(header->sectionSize(subject) + header->sectionSize(from), newSum);
}

TEST_F(MailTable, TheFirstShownColumnHasNoBoundaryToDrag) {
    makeTable();
    showTable();
    QHeaderView *header = table->horizontalHeader();
    QWidget *viewport = header->viewport();
    const int first = header->logicalIndex(1);
    const int second = header->logicalIndex(2);
    const int widths[] = {header->sectionSize(first), header->sectionSize(second)};
    const int y = header->height() / 2;
    const int right = header->sectionViewportPosition(second) - 1;
    sendMouse(viewport, QEvent::MouseMove, QPoint(1, y));
    EXPECT_NE(table->cursor().shape(), Qt::SplitHCursor);
    for (const QPoint &at : {QPoint(1, y), QPoint(right, y)}) {
        sendMouse(viewport, QEvent::MouseButtonPress, at);
        sendMouse(viewport, QEvent::MouseMove, at + QPoint(30, 0));
        sendMouse(viewport, QEvent::MouseButtonRelease, at + QPoint(30, 0));
    }
    EXPECT_EQ(header->sectionSize(first), widths[0]);
    EXPECT_EQ(header->sectionSize(second), widths[1]);
    EXPECT_FALSE(StoreOptions::options()->isChanged());
}

// ---------------------------------------------------------------- painting and tips

TEST_F(MailTable, RowsPaintWithTheirShadeColoursAndWeight) {
    DataOptionsDisplay &display = StoreOptions::options()->display;
    display.unreadBold = true;
    display.unreadColored = true;
    display.unreadColor = QStringLiteral("#0000c0");
    display.readColored = true;
    display.readColor = QStringLiteral("#808080");
    makeTable();
    const QPalette plain = table->palette();
    const QColor shade(224, 224, 224);
    const QColor unread(0, 0, 0xc0), read(0x80, 0x80, 0x80), pink(0xff, 0xc8, 0xc8), red(0xd0, 0, 0);

    const struct {
        bool read;
        const char *bgColor;
        const char *stColor;
        QColor base;
        QColor text;       // outside the status column
        QColor statusText; // in it
        bool bold;
    } rows[] = {
        {false, "", "", plain.color(QPalette::Base), unread, unread, true},
        {false, "", "", shade, unread, unread, true},         // odd row
        {true, "#ffc8c8", "", pink, read, read, false},       // message colour
        {true, "#ffc8c8", "#d00000", pink, read, red, false}, // status colour, odd
        {true, "not a colour", "nor this", plain.color(QPalette::Base), read, read, false},
    };
    for (const auto &r : rows) {
        VLScannerItem *item = addRow(QStringLiteral("row"));
        item->status().bgColor = QString::fromLatin1(r.bgColor);
        item->status().stColor = QString::fromLatin1(r.stColor);
        if (r.read)
            item->setMessageRead();
    }
    auto *delegate = qobject_cast<VLCellDelegate *>(table->itemDelegate());
    ASSERT_NE(delegate, nullptr);
    for (int row = 0; row < int(std::size(rows)); ++row) {
        for (int code : {int(VLMailTable::Subject), int(VLMailTable::Status)}) {
            QStyleOptionViewItem option;
            option.palette = plain;
            option.font = table->font();
            delegate->initStyleOption(&option, table->model()->index(row, table->mapFieldToCol(code)));
            const QColor text = code == VLMailTable::Status ? rows[row].statusText : rows[row].text;
            EXPECT_EQ(option.palette.color(QPalette::Base), rows[row].base) << row;
            EXPECT_EQ(option.backgroundBrush.color(), rows[row].base) << row;
            EXPECT_EQ(option.palette.color(QPalette::Text), text) << row << " " << code;
            EXPECT_EQ(option.font.bold(), rows[row].bold) << row;

            // Selected: the selection's colours, the weight still that of the row.
            option = QStyleOptionViewItem();
            option.palette = plain;
            option.state |= QStyle::State_Selected;
            delegate->initStyleOption(&option, table->model()->index(row, table->mapFieldToCol(code)));
            EXPECT_EQ(option.palette.color(QPalette::Text), plain.color(QPalette::Text)) << row;
            EXPECT_EQ(option.font.bold(), rows[row].bold) << row;
        }
    }

    // Colours off: the table's own text colour, normal weight.
    display = DataOptionsDisplay();
    QStyleOptionViewItem option;
    option.palette = plain;
    delegate->initStyleOption(&option, table->model()->index(0, table->mapFieldToCol(VLMailTable::Subject)));
    EXPECT_EQ(option.palette.color(QPalette::Text), plain.color(QPalette::Text));
    EXPECT_FALSE(option.font.bold());
}

TEST_F(MailTable, StatusTipShowsTheReasonAsBuiltOnlyOverTheStatusCell) {
    makeTable();
    showTable();
    VLScannerItem *item = addRow(QStringLiteral("a"));
    // Built as the scanner builds it: the filter name escaped when it was added.
    item->status().reason = QStringLiteral("<nobr>*  Realtime Blackhole List</nobr><br/>"
                                           "<nobr>*  Filter &lt;b&gt;odd&lt;/b&gt;</nobr><br/>");
    addRow(QStringLiteral("no reason"));

    QRect rect;
    const QPoint status = cellCentre(0, VLMailTable::Status);
    EXPECT_EQ(table->tip(status, rect), item->status().reason);
    EXPECT_EQ(rect, table->visualRect(table->model()->index(0, table->mapFieldToCol(VLMailTable::Status))));
    EXPECT_TRUE(table->tip(cellCentre(0, VLMailTable::Subject), rect).isNull());
    EXPECT_TRUE(table->tip(cellCentre(1, VLMailTable::Status), rect).isNull());

    QHelpEvent event(QEvent::ToolTip, status, table->viewport()->mapToGlobal(status));
    QCoreApplication::sendEvent(table->viewport(), &event);
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(),
              QStringLiteral("<qt>Flagged by -<br/>") + item->status().reason + QStringLiteral("</qt>"));
    QHelpEvent elsewhere(QEvent::ToolTip, cellCentre(1, VLMailTable::Status),
                         table->viewport()->mapToGlobal(cellCentre(1, VLMailTable::Status)));
    QCoreApplication::sendEvent(table->viewport(), &elsewhere);
    EXPECT_TRUE(vltest::waitUntil([] { return !QToolTip::isVisible(); }, 5000));
}

} // namespace
