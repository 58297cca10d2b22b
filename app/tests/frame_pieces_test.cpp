// The application frame's small pieces: the splash screen's size and lifetime, the accounts
// drop-down rebuilt at every opening, and the action that knows its toolbar button.

#include "data_folder.h"

#include "app/VLAccountsPopup.h"
#include "app/VLAction.h"
#include "app/VLSplashScreen.h"
#include "data/store_account_list.h"

#include <QElapsedTimer>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

TEST(SplashScreen, StaysWithinItsFrameAndClosesAfterFiveSeconds) {
    QElapsedTimer clock;
    clock.start();
    VLSplashScreen splash;
    // Even an oversized picture must not make it grow.
    splash.resize(2000, 2000);
    splash.show();
    EXPECT_LE(splash.width(), VLSplashScreen::MaxWidth);
    EXPECT_LE(splash.height(), VLSplashScreen::MaxHeight);
    EXPECT_TRUE(splash.isVisible());

    ASSERT_TRUE(QTest::qWaitFor([&] { return !splash.isVisible(); }, 10000));
    // A timer of seconds may fire up to 5 % early (Qt's coarse timers).
    EXPECT_GE(clock.elapsed(), VLSplashScreen::ShowMs * 95 / 100 - 50);
    EXPECT_LT(clock.elapsed(), VLSplashScreen::ShowMs + 4000);
}

DataAccount pop3Account(const QString &name) {
    DataAccount a;
    a.type = DataAccount::POP3;
    a.pop3.name_.name = name;
    return a;
}

QStringList texts(const QMenu &menu) {
    QStringList out;
    for (const QAction *a : menu.actions())
        out << (a->isSeparator() ? QStringLiteral("--") : a->text());
    return out;
}

TEST(AccountsPopup, RebuiltFromTheAccountListAtEveryOpening) {
    static apptest::DataFolder folder;
    StoreAccountList *store = StoreAccountList::accounts();
    store->accountList.clear();

    QWidget parent;
    VLAccountsPopup popup(&parent, QStringLiteral("accounts"));
    EXPECT_EQ(popup.objectName(), QStringLiteral("accounts"));
    QSignalSpy chosen(&popup, &VLAccountsPopup::sigCheckAccount);

    popup.popup(QPoint(0, 0));
    EXPECT_EQ(texts(popup), (QStringList{QStringLiteral("Default Accounts"), QStringLiteral("All Accounts"),
                                         QStringLiteral("--")}));
    popup.close();

    // Added while the program runs: listed at the next opening, not before.
    store->accountList.append(pop3Account(QStringLiteral("Work")));
    store->accountList.append(pop3Account(QStringLiteral("R&D")));
    EXPECT_EQ(popup.actions().size(), 3);
    popup.popup(QPoint(0, 0));
    ASSERT_EQ(popup.actions().size(), 5);
    EXPECT_EQ(popup.actions()[3]->text(), QStringLiteral("Work"));
    EXPECT_EQ(popup.actions()[4]->text(), QStringLiteral("R&&D"));

    // Choosing entries gives the selectors.
    popup.actions()[0]->trigger();
    popup.actions()[1]->trigger();
    popup.actions()[4]->trigger();
    popup.close();
    ASSERT_EQ(chosen.size(), 3);
    EXPECT_EQ(chosen[0][0].toString(), QStringLiteral("$$$DEF$$$"));
    EXPECT_EQ(chosen[1][0].toString(), QStringLiteral("$$$ALL$$$"));
    EXPECT_EQ(chosen[2][0].toString(), QStringLiteral("R&D"));

    // Ids that name no entry (an account removed since the menu opened) emit nothing.
    chosen.clear();
    for (int id : {2, -1, 899, 902})
        popup.slotCheckAccount(id);
    EXPECT_EQ(chosen.size(), 0);
    popup.slotCheckAccount(0);
    ASSERT_EQ(chosen.size(), 1);
    EXPECT_EQ(chosen[0][0].toString(), QStringLiteral("Work"));
}

TEST(Action, KnowsItsToolbarButtonOnlyOnceOnAToolbar) {
    QWidget window;
    QMenu menu(&window);
    QToolBar bar(&window);
    VLAction action(QIcon(), QStringLiteral("Check Mail"), QKeySequence(QStringLiteral("Ctrl+D")), &window,
                    QStringLiteral("checkMail"));
    EXPECT_EQ(action.objectName(), QStringLiteral("checkMail"));
    EXPECT_EQ(action.shortcut(), QKeySequence(QStringLiteral("Ctrl+D")));
    EXPECT_EQ(action.toolButton(), nullptr);

    menu.addAction(&action);
    EXPECT_EQ(action.toolButton(), nullptr);

    bar.addAction(&action);
    QToolButton *button = action.toolButton();
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button, bar.widgetForAction(&action));
    EXPECT_TRUE(button->autoRaise());
    EXPECT_EQ(button->defaultAction(), &action);

    bar.removeAction(&action);
    EXPECT_EQ(action.toolButton(), nullptr);
}

} // namespace
