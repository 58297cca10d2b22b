// The restore progress dialog driven by the real sender's signals: each order of them ends in
// the state its last signal calls for, the busy bar moves only while the message is on its
// way, the bar never shows a percentage, and every way out but OK cancels the sender.

#include "dialog_restore.h"
#include "vl_progress_bar.h"

#include "proto/SMTPSender.h"

#include "GuiHelpers.h"

#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using vltest::child;

SMTPSender *freshSender() {
    static int serial = 0;
    return SMTPSender::self(QStringLiteral("restore-test-%1").arg(++serial).toLatin1().constData());
}

enum Signal { LoggedIn, Sent, Error };

void emitSignal(SMTPSender *sender, Signal s) {
    switch (s) {
    case LoggedIn:
        Q_EMIT sender->sigLoggedIn();
        break;
    case Sent:
        Q_EMIT sender->sigSent(QStringLiteral("<uid@x>"));
        break;
    case Error:
        Q_EMIT sender->sigError();
        break;
    }
}

// Whether the bar steps on within a little more than two ticks, never showing a percentage.
bool barMoves(VLProgressBar *bar) {
    const int before = bar->value();
    bool moved = false;
    for (int i = 0; i < 12; ++i) {
        QTest::qWait(100);
        EXPECT_FALSE(bar->text().contains(u'%')) << bar->text().toStdString();
        moved = moved || bar->value() != before;
    }
    return moved;
}

TEST(DialogRestore, EachOrderOfSignalsEndsInItsState) {
    const struct {
        const char *name;
        std::vector<Signal> signals_;
        const char *text;
        bool moving;
        bool okEnabled;
    } cases[] = {
        {"nothing yet", {}, "Connecting to mail server", true, false},
        {"logged in", {LoggedIn}, "Sending message", true, false},
        {"sent", {Sent}, "Message restored", false, true},
        {"logged in, sent", {LoggedIn, Sent}, "Message restored", false, true},
        {"error", {Error}, "Error restoring message", false, false},
        {"error, logged in", {Error, LoggedIn}, "Sending message", false, false},
    };
    for (const auto &c : cases) {
        SMTPSender *sender = freshSender();
        DialogRestore dialog(sender, QStringLiteral("notice"), nullptr, nullptr);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Restore"));
        VLProgressBar *bar = dialog.progressBar();
        EXPECT_EQ(bar->text(), QStringLiteral("Connecting to mail server"));
        EXPECT_EQ(bar->value(), -1);
        bool ran = false;
        vltest::whenModal(QString(), [&](QWidget *w) {
            ran = true;
            // The first tick starts the bar at 0.
            EXPECT_TRUE(vltest::waitUntil([&] { return bar->value() >= 0; }, 2000)) << c.name;
            for (Signal s : c.signals_)
                emitSignal(sender, s);
            EXPECT_EQ(bar->text(), QLatin1String(c.text)) << c.name;
            EXPECT_EQ(barMoves(bar), c.moving) << c.name;
            if (!c.moving) {
                EXPECT_EQ(bar->value(), 0) << c.name;
            }
            EXPECT_EQ(child<QPushButton>(w, QStringLiteral("ok"))->isEnabled(), c.okEnabled) << c.name;
            static_cast<QDialog *>(w)->reject();
        });
        dialog.exec();
        EXPECT_TRUE(ran) << c.name;
    }
}

TEST(DialogRestore, TheBarCyclesThroughItsTenSteps) {
    VLProgressBar bar(10, nullptr, "bar");
    DialogRestore dialog(freshSender(), QStringLiteral("notice"), nullptr, nullptr);
    VLProgressBar *b = dialog.progressBar();
    QList<int> seen;
    for (int i = 0; i < 12; ++i) {
        dialog.slotTimer();
        seen.append(b->value());
    }
    EXPECT_EQ(seen, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1}));
    EXPECT_EQ(b->text(), QStringLiteral("Connecting to mail server"));
    bar.setValue(5);
    bar.setText(QStringLiteral("status"));
    EXPECT_EQ(bar.text(), QStringLiteral("status"));
}

// A sender with one message queued on a server that never answers: whether the dialog
// cancelled the sender shows as the connection being dropped.
struct Queued {
    QTcpServer silent;
    QTcpSocket *peer = nullptr;
    SMTPSender *sender = freshSender();

    Queued() {
        EXPECT_TRUE(silent.listen(QHostAddress::LocalHost));
        QObject::connect(&silent, &QTcpServer::newConnection, &silent,
                         [this] { peer = silent.nextPendingConnection(); });
        DataAccountAdvancedSMTP smtp;
        smtp.portNumber = silent.serverPort();
        DataEmailMessage m;
        m.uid = QStringLiteral("<q@x>");
        sender->sendMessage(true, QStringLiteral("127.0.0.1"), smtp, {}, {}, m, QStringLiteral("a@x"),
                            QStringLiteral("b@x"));
        EXPECT_TRUE(vltest::waitUntil([this] { return peer != nullptr; }));
    }
    bool dropped() {
        return peer &&
               vltest::waitUntil([this] { return peer->state() == QAbstractSocket::UnconnectedState; }, 3000);
    }
};

TEST(DialogRestore, EveryWayOutButOkCancelsTheSender) {
    const struct {
        const char *name;
        std::function<void(QWidget *)> leave;
        bool sentFirst;
        int result;
        bool cancels;
    } cases[] = {
        {"Cancel button",
         [](QWidget *w) {
             QTest::mouseClick(child<QPushButton>(w, QStringLiteral("cancel")), Qt::LeftButton);
         },
         false, QDialog::Rejected, true},
        {"Escape", [](QWidget *w) { QTest::keyClick(w, Qt::Key_Escape); }, false, QDialog::Rejected, true},
        {"window closed", [](QWidget *w) { w->close(); }, false, QDialog::Rejected, true},
        {"Cancel after restored",
         [](QWidget *w) {
             QTest::mouseClick(child<QPushButton>(w, QStringLiteral("cancel")), Qt::LeftButton);
         },
         true, QDialog::Rejected, true},
        {"OK after restored",
         [](QWidget *w) { QTest::mouseClick(child<QPushButton>(w, QStringLiteral("ok")), Qt::LeftButton); },
         true, QDialog::Accepted, false},
    };
    for (const auto &c : cases) {
        Queued q;
        DialogRestore dialog(q.sender, QStringLiteral("notice"), nullptr, nullptr);
        vltest::whenModal(QString(), [&](QWidget *w) {
            if (c.sentFirst)
                Q_EMIT q.sender->sigSent(QStringLiteral("<q@x>"));
            c.leave(w);
        });
        EXPECT_EQ(dialog.exec(), c.result) << c.name;
        EXPECT_EQ(q.dropped(), c.cancels) << c.name;
        q.sender->cancel();
    }
}

} // namespace
