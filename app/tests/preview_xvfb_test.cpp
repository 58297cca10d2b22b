// The preview pane, viewer, quick reply, statistics and restore windows on a real X display:
// one scenario each, driven from the keyboard where the window is a dialog, with a picture of
// each under the build's screenshots folder.

#include "VLMailLogPage.h"
#include "VLMessageDisplay.h"
#include "VLMessageViewer.h"
#include "VLStatistics.h"
#include "mail_log_fixture.h"
#include "preview_fixture.h"
#include "vl_file_cache.h"

#include "dialogs/dialog_restore.h"
#include "dialogs/vl_progress_bar.h"

#include "GuiHelpers.h"
#include "SMTPServer.h"

#include <QComboBox>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

using vltest::child;

const QByteArray kMessage =
    "From: Eve Example <eve@example.org>\r\n"
    "To: Me <me@example.org>\r\n"
    "Subject: Minutes of the Tuesday meeting and the plan for the next quarter\r\n"
    "Date: Thu, 10 Dec 2026 16:00:00 +0000\r\n"
    "Message-ID: <minutes-1@example.org>\r\n"
    "\r\n"
    "Hello,\r\n\r\nthe minutes are below. <b>Nothing</b> here is markup.\r\n\r\nEve\r\n";

// A key as the user types it: to the widget with the focus, else to the window.
void typeKey(QWidget *window, Qt::Key key) {
    QWidget *focus = QApplication::focusWidget();
    QTest::keyClick(focus ? focus : window, key);
}

void expectKeyboardReady(QWidget *w) {
    EXPECT_TRUE(vltest::mnemonicClashes(w).isEmpty()) << vltest::mnemonicClashes(w).join(u' ').toStdString();
    EXPECT_TRUE(vltest::missingMnemonics(w).isEmpty())
        << vltest::missingMnemonics(w).join(u' ').toStdString();
}

TEST(PreviewOnX, PaneShowsTheSourceAfterTheRawButton) {
    apptest::DataFolder folder;
    VLMessageDisplay pane(nullptr, false, "messagedisplay");
    pane.resize(640, 360);
    pane.slotCurrentMsg(apptest::message(kMessage));
    ASSERT_TRUE(vltest::activate(&pane));
    QTest::mouseClick(child<QToolButton>(&pane, QStringLiteral("raw")), Qt::LeftButton);
    EXPECT_TRUE(child<QTextBrowser>(&pane, QStringLiteral("browser"))
                    ->toPlainText()
                    .startsWith(QStringLiteral("From: Eve Example")));
    EXPECT_FALSE(vltest::saveScreenshot(&pane, QStringLiteral("preview_pane")).isEmpty());
}

TEST(PreviewOnX, ViewerClosesWithReturn) {
    apptest::DataFolder folder;
    VLMessageViewer viewer(nullptr, "viewer");
    viewer.setMessage(apptest::message(kMessage));
    viewer.resize(640, 420);
    bool shot = false;
    vltest::whenModal(QStringLiteral("viewer"), [&](QWidget *w) {
        ASSERT_TRUE(vltest::activate(w));
        expectKeyboardReady(w);
        shot = !vltest::saveScreenshot(w, QStringLiteral("message_viewer")).isEmpty();
        typeKey(w, Qt::Key_Return);
    });
    EXPECT_EQ(viewer.exec(), QDialog::Accepted);
    EXPECT_TRUE(shot);
}

TEST(PreviewOnX, QuickReplyWrittenAndSentFromTheKeyboard) {
    apptest::DataFolder folder;
    apptest::useTestServer(QStringLiteral("me-x@example.org"));
    VLMessageDisplay pane(nullptr, false, "messagedisplay");
    pane.slotCurrentMsg(
        apptest::message(QByteArray(kMessage).replace("eve@example.org", "eve-x@example.org")));
    pane.show();
    vltest::whenModal(QStringLiteral("quickreply"), [&](QWidget *w) {
        ASSERT_TRUE(vltest::activate(w));
        w->resize(520, 360);
        expectKeyboardReady(w);
        // The writing starts in the body.
        EXPECT_EQ(QApplication::focusWidget(), child<QTextEdit>(w, QStringLiteral("body")));
        EXPECT_EQ(vltest::tabChain(w),
                  (QStringList{QStringLiteral("body"), QStringLiteral("cancel"), QStringLiteral("send"),
                               QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("subject")}));
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Thanks, see you Tuesday."));
        EXPECT_FALSE(vltest::saveScreenshot(w, QStringLiteral("quick_reply")).isEmpty());
        vltest::pressMnemonic(w, u's');
    });
    QTest::mouseClick(child<QToolButton>(&pane, QStringLiteral("quick")), Qt::LeftButton);
    ASSERT_TRUE(vltest::waitUntil([] {
        return !vltest::SMTPServer::instance().messagesTo(QStringLiteral("eve-x@example.org")).isEmpty();
    }));
    EXPECT_TRUE(vltest::SMTPServer::instance()
                    .messagesTo(QStringLiteral("eve-x@example.org"))
                    .first()
                    .content.contains("Thanks, see you Tuesday."));
}

// The restore dialog has no name of its own, and the statistics dialog under it is modal too:
// waits (bounded) for a modal DialogRestore.
void whenRestoreDialog(std::function<void(QWidget *)> action) {
    auto *timer = new QTimer(qApp);
    auto deadline = std::make_shared<QDeadlineTimer>(10000);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, deadline, action] {
        auto *dialog = qobject_cast<DialogRestore *>(QApplication::activeModalWidget());
        if (!dialog && !deadline->hasExpired())
            return;
        timer->deleteLater();
        timer->stop();
        if (dialog)
            action(dialog);
        else
            ADD_FAILURE() << "no restore dialog";
    });
    timer->start(20);
}

TEST(PreviewOnX, StatisticsTabsAndRestoreFromTheKeyboard) {
    apptest::MailLogFixture f;
    apptest::useTestServer(QStringLiteral("Me <me-restore@example.org>"));
    ASSERT_TRUE(VLFileCache::self()->addFile(QStringLiteral("today@example.org"), SODataArray(kMessage)));
    VLStatistics dialog(nullptr, "statistics");
    dialog.resize(760, 460);
    bool restored = false;
    vltest::whenModal(QStringLiteral("statistics"), [&](QWidget *w) {
        ASSERT_TRUE(vltest::activate(w));
        expectKeyboardReady(w);
        EXPECT_FALSE(vltest::saveScreenshot(w, QStringLiteral("statistics_summary")).isEmpty());
        EXPECT_EQ(vltest::tabChain(w),
                  (QStringList{QStringLiteral("qt_tabwidget_tabbar"), QStringLiteral("summary"),
                               QStringLiteral("showFor"), QStringLiteral("clear"), QStringLiteral("ok")}));
        vltest::pressMnemonic(w, u'm');
        auto *page = child<VLMailLogPage>(w, QStringLiteral("maillog"));
        EXPECT_EQ(child<QTabWidget>(w, QStringLiteral("tabber"))->currentWidget(), page);
        // Eight weeks, then the first row, from the keyboard.
        vltest::pressMnemonic(w, u'y');
        auto *period = child<QComboBox>(w, QStringLiteral("showFor"));
        EXPECT_EQ(QApplication::focusWidget(), period);
        typeKey(w, Qt::Key_End);
        EXPECT_EQ(period->currentIndex(), 4);
        int visible = 0;
        for (int row = 0; row < page->rowCount(); ++row)
            visible += page->isRowHidden(row) ? 0 : 1;
        EXPECT_EQ(visible, 4);
        page->setFocus();
        QTest::keyClick(page, Qt::Key_Home);
        QTest::keyClick(page, Qt::Key_Down);
        QTest::keyClick(page, Qt::Key_Up);
        EXPECT_EQ(page->currentRow(), 0);
        EXPECT_TRUE(child<QPushButton>(w, QStringLiteral("restore"))->isEnabled());
        EXPECT_FALSE(vltest::saveScreenshot(w, QStringLiteral("statistics_maillog")).isEmpty());

        whenRestoreDialog([&](QWidget *r) {
            ASSERT_TRUE(vltest::activate(r));
            r->resize(460, 220);
            auto *bar = r->findChild<VLProgressBar *>();
            EXPECT_TRUE(
                vltest::waitUntil([bar] { return bar->text() == QLatin1String("Message restored"); }));
            EXPECT_FALSE(vltest::saveScreenshot(r, QStringLiteral("restore_dialog")).isEmpty());
            restored = true;
            typeKey(r, Qt::Key_Return);
        });
        // A mnemonic clicks its button a moment later, as a user sees it pressed.
        vltest::pressMnemonic(w, u'r');
        EXPECT_TRUE(vltest::waitUntil([&] { return restored; }));
        typeKey(w, Qt::Key_Escape);
    });
    dialog.exec();
    EXPECT_TRUE(restored);
    EXPECT_EQ(vltest::SMTPServer::instance().messagesTo(QStringLiteral("me-restore@example.org")).size(), 1);
}

} // namespace
