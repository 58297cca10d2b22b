// The main window's decisions taken without a window: the remembered geometry on the
// desktop, the periodic check's period, and close/minimise/tray-loss.

#include "app/VLWindowRules.h"

#include <QCoreApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using namespace VLWindowRules;

TEST(WindowRules, GeometryIsKeptOnTheDesktop) {
    const QSize desk(1280, 1024);
    struct Case {
        QRect stored;
        QRect expected;
    } const cases[] = {
        {{100, 80, 800, 600}, {100, 80, 800, 600}},      // fits: unchanged
        {{10, 10, 99, 99}, {10, 10, 900, 650}},          // too small: default size
        {{10, 10, 100, 100}, {10, 10, 100, 100}},        // just big enough
        {{-5, -1, 800, 600}, {48, 48, 800, 600}},        // off the top left
        {{0, 0, 800, 600}, {0, 0, 800, 600}},            // at the corner is fine
        {{1232, 976, 800, 600}, {1232, 976, 800, 600}},  // last grabbable spot
        {{5000, 3000, 800, 600}, {1232, 976, 800, 600}}, // beyond the right/bottom
        {{1231, 975, 800, 600}, {1231, 975, 800, 600}},  // one short of the margin
        {{10, 10, 1281, 1025}, {10, 10, 1184, 928}},     // larger than the desktop
        {{10, 10, 1280, 1024}, {10, 10, 1280, 1024}},    // exactly the desktop
        {{-100, 9000, 0, 5000}, {48, 976, 900, 928}},    // everything wrong at once
    };
    for (const auto &c : cases)
        EXPECT_EQ(clampGeometry(c.stored, desk), c.expected)
            << "stored " << c.stored.x() << "," << c.stored.y() << " " << c.stored.width() << "x"
            << c.stored.height();
    // A desktop smaller than the default size still gets a window that fits.
    EXPECT_EQ(clampGeometry({0, 0, 50, 50}, {800, 600}), QRect(0, 0, 704, 504));
}

TEST(WindowRules, CheckPeriod) {
    struct Case {
        bool on;
        int minutes;
        std::optional<int> seconds;
    } const cases[] = {
        {true, 0, 60},
        {true, 1, 60},
        {true, 5, 300},
        {true, -3, 60},
        {true, 90, 5400},
        {false, 5, {}},
        {false, 0, {}},
        // A huge interval must not wrap the timer's milliseconds into a short period.
        {true, 1'000'000, (std::numeric_limits<int>::max() / 60'000) * 60},
    };
    for (const auto &c : cases)
        EXPECT_EQ(checkPeriod(c.on, c.minutes), c.seconds) << c.on << " " << c.minutes;
}

TEST(WindowRules, CheckTimerStartsOrIsLeftAlone) {
    int argc = 1;
    char name[] = "window_rules_test";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    QTimer timer;
    EXPECT_EQ(startCheckTimer(timer, true, 0), 60);
    EXPECT_TRUE(timer.isActive());
    EXPECT_FALSE(timer.isSingleShot());
    EXPECT_EQ(timer.interval(), 60'000);

    EXPECT_EQ(startCheckTimer(timer, true, 5), 300);
    EXPECT_EQ(timer.interval(), 300'000);

    // Periodic checks switched off: the running timer keeps going with its period.
    EXPECT_EQ(startCheckTimer(timer, false, 10), std::nullopt);
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), 300'000);

    QTimer stopped;
    startCheckTimer(stopped, false, 10);
    EXPECT_FALSE(stopped.isActive());
}

TEST(WindowRules, CloseMinimiseAndTrayLoss) {
    using A = WindowAction;
    using E = WindowEvent;
    struct Case {
        E event;
        WindowState state;
        A expected;
    } const cases[] = {
        // exiting, minimizeOnClose, systrayOnMinimize, docked, hidden
        {E::Close, {false, false, false, false, false}, A::Quit},
        {E::Close, {false, false, true, true, false}, A::Quit},
        {E::Close, {false, true, false, true, false}, A::Hide},
        {E::Close, {false, true, true, true, false}, A::Hide},
        // No tray to come back from: a close that would hide minimises instead.
        {E::Close, {false, true, false, false, false}, A::Minimise},
        {E::Close, {false, true, true, false, false}, A::Minimise},
        // Exit always really closes, docked or not.
        {E::Close, {true, true, true, true, false}, A::Quit},
        {E::Close, {true, true, false, false, false}, A::Quit},
        {E::Minimised, {false, false, true, true, false}, A::Hide},
        {E::Minimised, {false, false, true, false, false}, A::None},
        {E::Minimised, {false, true, false, true, false}, A::None},
        {E::Minimised, {false, false, false, false, false}, A::None},
        {E::TrayLost, {false, true, true, false, true}, A::ShowMinimised},
        {E::TrayLost, {false, true, true, false, false}, A::None},
    };
    int row = 0;
    for (const auto &c : cases) {
        EXPECT_EQ(decide(c.event, c.state), c.expected) << "row " << row;
        ++row;
    }
}

} // namespace
