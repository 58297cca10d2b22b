// The mail table on a real X server: twelve rows with every kind of column and every look a
// row can have, kept as a screenshot.

#include "mail_rows.h"

#include "app/VLLearningItem.h"

#include "GuiHelpers.h"

#include <QHeaderView>
#include <QImage>
#include <gtest/gtest.h>

namespace {

using apptest::columnsOnly;
using apptest::mailFrom;

class MailTableX : public apptest::MailTableTest {};

TEST_F(MailTableX, TwelveRowsOfEveryLook) {
    DataOptionsDisplay &display = StoreOptions::options()->display;
    display.unreadBold = true;
    display.unreadColored = true;
    display.unreadColor = QStringLiteral("#00008b");
    display.readColored = true;
    display.readColor = QStringLiteral("#707070");
    // A column of every kind: learning, check boxes, status, size, dates and text.
    display.columns = columnsOnly({{11, 64},
                                   {1, 50},
                                   {3, 62},
                                   {4, 56},
                                   {13, 52},
                                   {5, 100},
                                   {6, 52},
                                   {7, 140},
                                   {8, 150},
                                   {9, 122},
                                   {16, 122},
                                   {10, 62},
                                   {12, 86}});
    makeTable(1010, 420);

    const struct {
        const char *from;
        const char *subject;
        const char *status;
        int klass;
        int logging;
        const char *bgColor;
        const char *stColor;
        int bayes; // classifier category
        int learn; // 1 spam box, 2 legitimate box
        bool read;
        const char *length;
        bool attachments;
    } rows[] = {
        {"Ann Example <ann@example.org>", "Lunch on Friday?", "", 0, 0, "", "", 0, 0, false, "812", false},
        {"Bob <bob@example.net>", "Re: the quarterly figures", "", 0, 0, "", "", 0, 0, true, "4600", true},
        {"Deals <promo@deals.example>", "WIN a FREE cruise!!!", "Junk", 1, 0x200, "#ffc8c8", "#c00000", 1, 1,
         false, "23000", false},
        {"Carol <carol@example.com>", "Minutes of the meeting", "Friend", 3, 0x40, "#c8ffc8", "#006400", 2, 2,
         false, "1500", false},
        {"Dave <dave@example.org>", "Holiday photos", "Legitimate", 2, 0x20, "", "", 0, 2, true, "3145728",
         true},
        {"Pills <rx@pharma.example>", "Cheap meds", "Probably Spam", 1, 0x200, "#ffc8c8", "", 1, 0, true,
         "5000", false},
        {"Eve <eve@example.net>", "Invoice 2041", "Blacklisted", 5, 0x80, "", "#8b0000", 0, 1, false, "1023",
         true},
        {"Frank <frank@example.com>", "Question about the order", "", 0, 0, "", "", 0, 0, false, "2100",
         false},
        {"Relay <spam@relay.example>", "Your account", "bl.example.org", 6, 0x400, "#ffc8c8", "", 0, 0, false,
         "900", false},
        {"Grace <grace@example.org>", "Re: Re: plans", "Possibly Spam", 0, 0x100, "", "#b8860b", 0, 0, true,
         "700", false},
        {"Tallow <known@spam.example>", "Known spam", "Known Spam", 7, 0, "#ffc8c8", "", 0, 1, false, "12000",
         false},
        {"Heidi <heidi@example.net>", "Newsletter", "", 0, 0, "", "", 0, 0, true, "48000", false},
    };
    int n = 0;
    for (const auto &r : rows) {
        DataEmailMessage m = mailFrom(QString::fromLatin1(r.from), QString(), QString::fromLatin1(r.subject),
                                      QStringLiteral("x%1").arg(n));
        m.length = QString::fromLatin1(r.length);
        m.attachments = r.attachments;
        m.priority = n % 4 == 0 ? QStringLiteral("urgent") : QString();
        m.arrived = QStringLiteral("%1 Jan 2006 10:%2:00").arg(n + 2).arg(n + 10);
        m.date = QStringLiteral("Mon, %1 Jan 2006 09:%2:30 -0800").arg(n + 2).arg(n + 10);
        auto *item =
            new VLScannerItem(table.get(), n % 2 ? QStringLiteral("Work") : QStringLiteral("Home"), m);
        DataEmailStatus &s = item->status();
        s.status = QString::fromLatin1(r.status);
        s.klass = r.klass;
        s.logging = r.logging;
        s.bgColor = QString::fromLatin1(r.bgColor);
        s.stColor = QString::fromLatin1(r.stColor);
        s.bayesCategory = r.bayes;
        s.learnSpam = r.learn == 1;
        s.learnLegit = r.learn == 2;
        s.delete_ = r.klass == 1 || r.klass == 6;
        s.bounce = n == 6;
        s.isBlacklist = r.klass == 5;
        s.isFriend = r.klass == 3;
        item->insertTableRow(n, false);
        item->updateTableRow();
        if (n == 10)
            item->setReportChecked(QString(), true);
        if (n == 2)
            item->setSpamCopChecked(QString(), true);
        if (n == 8)
            item->disableReport();
        if (r.read)
            item->setMessageRead();
        ++n;
    }
    table->slotClickHeader(table->mapFieldToCol(VLMailTable::Sent));
    showTable();
    ASSERT_TRUE(vltest::activate(table.get()));
    table->selectRow(7);
    // The learning cell of row 9 current, with its editor over it.
    table->selectionModel()->setCurrentIndex(
        table->model()->index(9, table->mapFieldToCol(VLMailTable::Learning)), QItemSelectionModel::NoUpdate);
    ASSERT_NE(table->scannerItem(9)->learningCell()->editor(), nullptr);
    QCoreApplication::processEvents();

    const QString path = vltest::saveScreenshot(table.get(), QStringLiteral("app_mail_table"));
    ASSERT_FALSE(path.isEmpty());
    const QImage shot(path);
    ASSERT_FALSE(shot.isNull());

    // The chosen columns show, none squeezed.
    QHeaderView *header = table->horizontalHeader();
    EXPECT_EQ(header->count() - header->hiddenSectionCount(), 13);
    for (int col = 1; col < 14; ++col)
        EXPECT_GE(table->columnWidth(col), 30) << col;

    // Row looks, read in the Subject cell's background left of its text.
    const int subject = table->mapFieldToCol(VLMailTable::Subject);
    auto background = [&](int row) {
        const QRect cell =
            table->visualRect(table->model()->index(row, subject)).translated(table->viewport()->pos());
        return shot.pixelColor(cell.right() - 2, cell.center().y());
    };
    EXPECT_EQ(background(2), QColor(0xff, 0xc8, 0xc8)); // spam colour
    EXPECT_EQ(background(3), QColor(0xc8, 0xff, 0xc8)); // friend colour
    EXPECT_EQ(background(1), QColor(224, 224, 224));    // odd row
    EXPECT_NE(background(7), background(11));           // the selected row

    // The current learning cell's editor lets its row's colour show around its boxes.
    const QRect learning =
        table->visualRect(table->model()->index(9, table->mapFieldToCol(VLMailTable::Learning)))
            .translated(table->viewport()->pos());
    for (const int x : {learning.left() + 1, learning.center().x(), learning.right() - 1})
        EXPECT_EQ(shot.pixelColor(x, learning.top() + 1), background(9)) << x;
    for (const int x : {learning.left() + 1, learning.right() - 1})
        EXPECT_EQ(shot.pixelColor(x, learning.center().y()), background(9)) << x;
}

} // namespace
