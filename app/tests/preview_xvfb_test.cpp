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

#include "dialogs/vl_progress_bar.h"

#include "GuiHelpers.h"
#include "SMTPServer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>
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
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(viewer.exec(), QDialog::Accepted);
    EXPECT_TRUE(shot);
}

TEST(PreviewOnX, QuickReplyWrittenAndSentFromTheKeyboard) {
    apptest::DataFolder folder;
    apptest::useTestServer(QStringLiteral("me-x@example.org"));
    VLMessageDisplay pane(nullptr, false, "messagedisplay");
    pane.slotCurrentMsg(apptest::message(QByteArray(kMessage).replace("eve@example.org", "eve-x@example.org")));
    pane.show();
    vltest::whenModal(QStringLiteral("quickreply"), [&](QWidget *w) {
        ASSERT_TRUE(vltest::activate(w));
        w->resize(520, 360);
        expectKeyboardReady(w);
        // The writing starts in the body.
        EXPECT_EQ(QApplication::focusWidget(), child<QTextEdit>(w, QStringLiteral("body")));
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
        vltest::pressMnemonic(w, u'm');
        auto *page = child<VLMailLogPage>(w, QStringLiteral("maillog"));
        EXPECT_EQ(child<QTabWidget>(w, QStringLiteral("tabber"))->currentWidget(), page);
        // Eight weeks, then the first row, from the keyboard.
        vltest::pressMnemonic(w, u'y');
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
        page->setFocus();
        QTest::keyClick(page, Qt::Key_Home);
        QTest::keyClick(page, Qt::Key_Down);
        QTest::keyClick(page, Qt::Key_Up);
        EXPECT_EQ(page->currentRow(), 0);
        EXPECT_TRUE(child<QPushButton>(w, QStringLiteral("restore"))->isEnabled());
        EXPECT_FALSE(vltest::saveScreenshot(w, QStringLiteral("statistics_maillog")).isEmpty());

        vltest::whenModal(QString(), [&](QWidget *r) {
            ASSERT_TRUE(vltest::activate(r));
            r->resize(460, 220);
            auto *bar = r->findChild<VLProgressBar *>();
            EXPECT_TRUE(
                vltest::waitUntil([bar] { return bar->text() == QLatin1String("Message restored"); }));
            EXPECT_FALSE(vltest::saveScreenshot(r, QStringLiteral("restore_dialog")).isEmpty());
            restored = true;
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        });
        vltest::pressMnemonic(w, u'r');
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    });
    dialog.exec();
    EXPECT_TRUE(restored);
    EXPECT_EQ(vltest::SMTPServer::instance().messagesTo(QStringLiteral("me-restore@example.org")).size(), 1);
}

} // namespace
