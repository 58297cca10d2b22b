// The tray icon without an X display: the dock window's life, tool tip, pictures, blinking
// and the routing of mouse events, all of which work the same whether a tray exists or not.
#include "RKTrayIcon.h"
#include "RKTrayIconPrivate.h"

#include "GuiHelpers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

namespace {

QPixmap filled(QColor c, int w = 16, int h = 16) {
    QPixmap p(w, h);
    p.fill(c);
    return p;
}

bool same(const QPixmap &a, const QPixmap &b) {
    return a.toImage().convertToFormat(QImage::Format_ARGB32) ==
           b.toImage().convertToFormat(QImage::Format_ARGB32);
}

int dockWindows() {
    int n = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        n += w->objectName() == QStringLiteral("rkdock") ? 1 : 0;
    return n;
}

class TrayIcon : public ::testing::Test {
protected:
    QPixmap normal = filled(Qt::red);
    QPixmap blinking = filled(Qt::blue);
    RKTrayIcon icon{normal, blinking, QStringLiteral("VelloranPro"), nullptr};
};

TEST_F(TrayIcon, ShowTwiceMakesOneDockWindowAndHideWithoutOneDoesNothing) {
    EXPECT_EQ(dockWindows(), 0);
    icon.hide();
    EXPECT_EQ(icon.dockWindow(), nullptr);
    icon.show();
    icon.show();
    EXPECT_EQ(dockWindows(), 1);
    EXPECT_EQ(icon.dockWindow()->side(), 22);
    EXPECT_EQ(icon.dockWindow()->size(), QSize(22, 22));
    EXPECT_FALSE(icon.isDocked()); // no display, no tray
    icon.hide();
    EXPECT_EQ(dockWindows(), 0);
    icon.hide();
    EXPECT_EQ(icon.dockWindow(), nullptr);
}

TEST_F(TrayIcon, ToolTipIsAppliedAtShowAndAnEmptyOneRemovesIt) {
    icon.show();
    EXPECT_EQ(icon.dockWindow()->toolTip(), QStringLiteral("VelloranPro"));
    EXPECT_TRUE(icon.dockWindow()->testAttribute(Qt::WA_AlwaysShowToolTips));
    icon.setToolTip(QString());
    EXPECT_TRUE(icon.dockWindow()->toolTip().isEmpty());
    EXPECT_TRUE(icon.toolTip().isEmpty());
    icon.setToolTip(QStringLiteral("3 new"));
    EXPECT_EQ(icon.dockWindow()->toolTip(), QStringLiteral("3 new"));
    EXPECT_EQ(icon.property("toolTipString").toString(), QStringLiteral("3 new"));
}

TEST_F(TrayIcon, PictureSetWhileHiddenShowsAtTheNextShow) {
    const QPixmap green = filled(Qt::green);
    icon.setIcon(green);
    icon.show();
    EXPECT_TRUE(same(icon.dockWindow()->shownPixmap(), green));
    const QPixmap yellow = filled(Qt::yellow);
    icon.setIcon(yellow);
    EXPECT_TRUE(same(icon.dockWindow()->shownPixmap(), yellow));
    EXPECT_TRUE(same(icon.icon(), yellow));
}

TEST_F(TrayIcon, BlinkAlternatesEveryTickAndStoppingLeavesTheNormalPicture) {
    icon.show();
    auto *timer = icon.findChild<QTimer *>(QStringLiteral("blinkTimer"));
    ASSERT_NE(timer, nullptr);
    QList<bool> shownNormal;
    // Connected after the icon's own slot, so it sees the picture of each tick.
    QObject::connect(timer, &QTimer::timeout, &icon,
                     [&] { shownNormal << same(icon.dockWindow()->shownPixmap(), normal); });
    icon.setBlinking(true);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 750);
    ASSERT_TRUE(vltest::waitUntil([&] { return shownNormal.size() >= 3; }, 20000));
    EXPECT_EQ(shownNormal.mid(0, 3), (QList<bool>{true, false, true}));

    icon.blink(); // now on the blink picture
    EXPECT_TRUE(same(icon.icon(), blinking));
    icon.setBlinking(false);
    EXPECT_FALSE(timer->isActive());
    EXPECT_TRUE(same(icon.icon(), normal));
    EXPECT_TRUE(same(icon.dockWindow()->shownPixmap(), normal));
}

TEST(TrayIconFallback, EmptyPicturesBecomeSixteenSquare) {
    RKTrayIcon given(QPixmap(), QPixmap(0, 5), QString(), nullptr);
    EXPECT_EQ(given.icon().size(), QSize(16, 16));
    EXPECT_EQ(given.icon().toImage().pixelColor(8, 8), QColor(Qt::white));
    given.blink();
    given.blink();
    EXPECT_EQ(given.icon().size(), QSize(16, 16));
    EXPECT_EQ(given.icon().toImage().pixelColor(8, 8), QColor(Qt::gray));

    RKTrayIcon plain;
    EXPECT_EQ(plain.icon().size(), QSize(16, 16));
    EXPECT_TRUE(plain.toolTip().isEmpty());
    EXPECT_EQ(plain.popup(), nullptr);
}

// Mouse events that reach the dock window end up as the icon's signals.
struct MouseCase {
    std::string name;
    QEvent::Type type;
    Qt::MouseButton button;
    int clicked;       // clicked() emitted
    int doubleClicked; // doubleClicked() emitted
};

void PrintTo(const MouseCase &c, std::ostream *os) {
    *os << c.name;
}

class Mouse : public ::testing::TestWithParam<MouseCase> {};

TEST_P(Mouse, ReachesTheIconAsItsSignals) {
    const MouseCase &c = GetParam();
    RKTrayIcon icon(filled(Qt::red), filled(Qt::blue), QString(), nullptr);
    icon.show();
    QSignalSpy clicked(&icon, &RKTrayIcon::clicked);
    QSignalSpy doubled(&icon, &RKTrayIcon::doubleClicked);
    QMouseEvent e(c.type, QPointF(5, 6), QPointF(105, 106), c.button, c.button, Qt::NoModifier);
    QApplication::sendEvent(icon.dockWindow(), &e);
    EXPECT_EQ(clicked.count(), c.clicked);
    EXPECT_EQ(doubled.count(), c.doubleClicked);
    if (c.clicked) {
        EXPECT_EQ(clicked.at(0).at(0).toPoint(), QPoint(105, 106));
        EXPECT_EQ(clicked.at(0).at(1).toInt(), int(c.button));
    }
    if (c.doubleClicked) {
        EXPECT_EQ(doubled.at(0).at(0).toPoint(), QPoint(105, 106));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, Mouse,
    ::testing::Values(MouseCase{"left_press", QEvent::MouseButtonPress, Qt::LeftButton, 1, 0},
                      MouseCase{"middle_press", QEvent::MouseButtonPress, Qt::MiddleButton, 1, 0},
                      MouseCase{"right_press_without_menu", QEvent::MouseButtonPress, Qt::RightButton, 0, 0},
                      MouseCase{"back_button_press", QEvent::MouseButtonPress, Qt::BackButton, 0, 0},
                      MouseCase{"left_double", QEvent::MouseButtonDblClick, Qt::LeftButton, 0, 1},
                      MouseCase{"right_double", QEvent::MouseButtonDblClick, Qt::RightButton, 0, 0},
                      MouseCase{"left_release", QEvent::MouseButtonRelease, Qt::LeftButton, 0, 0}),
    [](const auto &info) { return info.param.name; });

TEST(TrayIconMenu, RightPressPopsTheMenu) {
    QMenu menu;
    menu.addAction(QStringLiteral("Options"));
    RKTrayIcon icon(filled(Qt::red), filled(Qt::blue), QString(), &menu);
    icon.show();
    QSignalSpy clicked(&icon, &RKTrayIcon::clicked);
    QMouseEvent e(QEvent::MouseButtonPress, QPointF(5, 6), QPointF(105, 106), Qt::RightButton,
                  Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(icon.dockWindow(), &e);
    EXPECT_TRUE(vltest::waitUntil([&] { return menu.isVisible(); }, 5000));
    EXPECT_EQ(clicked.count(), 0);
    menu.close();
}

TEST(TrayIconClose, ClosingTheDockWindowEmitsClosed) {
    RKTrayIcon icon;
    icon.show();
    QSignalSpy closed(&icon, &RKTrayIcon::closed);
    icon.dockWindow()->close();
    EXPECT_EQ(closed.count(), 1);
}

} // namespace
