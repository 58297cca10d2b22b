// Processing on an X display: rows marked with the message menu and a click, processed, and
// pictures kept of the menu and of the list afterwards.

#include "process_fixture.h"

#include "app/VLEmailMenu.h"

#include <QApplication>
#include <QTimer>

using namespace processtest;

namespace {

QList<DataOptionsColumn> shownColumns() {
    QList<DataOptionsColumn> columns;
    for (const auto &[code, width] :
         {std::pair{11, 60}, {1, 50}, {2, 50}, {17, 60}, {5, 90}, {7, 170}, {8, 200}, {10, 70}})
        columns.append(DataOptionsColumn(false, code, width));
    for (int code : {3, 4, 6, 9, 12, 13, 14, 15, 16})
        columns.append(DataOptionsColumn(true, code, 0));
    return columns;
}

class ProcessingOnX : public Processing {};

TEST_F(ProcessingOnX, MarkWithMenuAndClickThenProcess) {
    fill(u"alice"_s, {file("Cheap watches", "Watch Shop <offers@shop.example.org>"),
                      file("Meeting notes", "Colleague <colleague@example.org>"),
                      file("You have won", "Lottery <win@lottery.example.org>")});
    fill(u"bob"_s, {file("Quarterly report", "Boss <boss@example.org>")});
    StoreOptions::options()->display.columns = shownColumns();
    StoreOptions::options()->display.readDisplay = true; // the row clicked on stays listed
    lister->slotOptionsChanged();
    lister->setWindowTitle(u"Mail list"_s);
    lister->resize(900, 300);
    lister->show();
    ASSERT_TRUE(vltest::activate(lister.get()));
    check();
    ASSERT_EQ(table()->numVirtualRows(), 4);

    auto centre = [this](int row, int code) {
        return table()->visualRect(table()->model()->index(row, table()->mapFieldToCol(code))).center();
    };
    // "Mark for deletion" from the row's menu, by keyboard.
    bool menuShown = false;
    QTimer::singleShot(300, lister.get(), [&menuShown] {
        auto *menu = qobject_cast<VLEmailMenu *>(QApplication::activePopupWidget());
        if (!menu)
            return;
        menuShown = true;
        EXPECT_FALSE(vltest::saveScreenshot(menu, u"process_email_menu"_s).isEmpty());
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
    });
    const QPoint onRow = centre(0, VLMailTable::Subject);
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, onRow);
    QContextMenuEvent event(QContextMenuEvent::Mouse, onRow, table()->viewport()->mapToGlobal(onRow));
    QCoreApplication::sendEvent(table()->viewport(), &event);
    // The menu pops up and the click is over; the entry's command runs when it is chosen.
    ASSERT_TRUE(vltest::waitUntil([&] { return menuShown; }));
    EXPECT_TRUE(
        vltest::waitUntil([this] { return rowOf(u"Home"_s, u"Cheap watches"_s)->isDeleteChecked(); }));

    // A bounce for the lottery, by a click on its box.
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, {}, centre(2, VLMailTable::Bounce));
    EXPECT_TRUE(rowOf(u"Home"_s, u"You have won"_s)->isBounceChecked());

    EXPECT_TRUE(process());
    EXPECT_EQ(arrivedFor(u"win@lottery.example.org"_s, 1).size(), 1);
    EXPECT_EQ(rows(),
              (QStringList{u"Home Meeting notes"_s, u"Home You have won"_s, u"Work Quarterly report"_s}));
    EXPECT_EQ(onServer(u"alice"_s).size(), 2);
    QTest::qWait(200);
    EXPECT_FALSE(vltest::saveScreenshot(lister.get(), u"process_lister_after"_s).isEmpty());
}

} // namespace
