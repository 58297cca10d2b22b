// The e-mailed activity summary against a real SMTP server: when it is due, what it holds,
// and that a failed one neither blocks the next nor stops the period.

#include "data_folder.h"

#include "SMTPServer.h"
#include "StderrCapture.h"

#include "app/VLSummaryMailer.h"
#include "data/data_options_summary.h"
#include "data/vl_settings.h"

#include <QTest>

#include <gtest/gtest.h>

namespace {

using vltest::SMTPServer;

constexpr qint64 Day = 86400;
constexpr qint64 Now = 1'796'256'000; // 2026-12-03 00:00 UTC

struct Summary : ::testing::Test {
    apptest::DataFolder folder;
    apptest::FixedClock clock{Now};

    static void setLastSent(std::optional<qint64> when) {
        VLSettings s;
        s.beginGroup(QStringLiteral("statistics"));
        if (when)
            s.setValue(QStringLiteral("lastsent"), *when);
        else
            s.remove(QStringLiteral("lastsent"));
    }
    static std::optional<qint64> lastSent() {
        VLSettings s;
        s.beginGroup(QStringLiteral("statistics"));
        if (!s.contains(QStringLiteral("lastsent")))
            return std::nullopt;
        return s.value(QStringLiteral("lastsent")).toLongLong();
    }
    static DataOptionsSummary options(const QString &address, int every = 2) {
        DataOptionsSummary o;
        o.emailSummary = true;
        o.emailSummaryEvery = every;
        o.outgoingEmailAddress = address;
        o.outgoingEmailServer = SMTPServer::instance().host();
        o.advanced.portNumber = SMTPServer::instance().port(SMTPServer::Plain);
        o.advanced.useSSL = false;
        o.advanced.useSMTPAuth = false;
        return o;
    }
    static QList<SMTPServer::Message> waitFor(const QString &to, int count) {
        (void)QTest::qWaitFor([&] { return SMTPServer::instance().messagesTo(to).size() >= count; }, 10000);
        QTest::qWait(200); // nothing more arrives
        return SMTPServer::instance().messagesTo(to);
    }
};

TEST_F(Summary, DueOnceAPeriodWithItsHeaders) {
    const QString to = QStringLiteral("owner-due@summary.example");
    setLastSent(Now - 8 * Day);
    VLSummaryMailer mailer;
    EXPECT_TRUE(mailer.sendIfDue(options(to)));
    EXPECT_EQ(lastSent(), Now);
    EXPECT_FALSE(mailer.sendIfDue(options(to))); // again at once: nothing

    const auto got = waitFor(to, 1);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].mailFrom, to);
    EXPECT_EQ(got[0].rcptTo, QStringList{to});
    const QString text = QString::fromLatin1(got[0].content);
    EXPECT_TRUE(text.contains(QStringLiteral("Subject: VelloranPro activity summary\r\n")))
        << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("From: ") + to)) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("To: ") + to)) << qPrintable(text);
    EXPECT_TRUE(text.contains(QStringLiteral("Date: 03 Dec 2026 00:00:00 +0000\r\n"))) << qPrintable(text);
    static const QRegularExpression id(
        QStringLiteral("Message-Id: <[0-9a-f]{8}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{4}-[0-9a-f]{12}"
                       "@summary\\.example>\r\n"));
    EXPECT_TRUE(id.match(text).hasMatch()) << qPrintable(text);

    // Seven days later the next one is not yet due; a second after, it is.
    clock.set(Now + 7 * Day);
    EXPECT_FALSE(mailer.sendIfDue(options(to)));
    clock.set(Now + 7 * Day + 1);
    EXPECT_TRUE(mailer.sendIfDue(options(to)));
    EXPECT_EQ(waitFor(to, 2).size(), 2);
}

TEST_F(Summary, MissingLastSentCountsFromNow) {
    const QString to = QStringLiteral("owner-new@summary.example");
    setLastSent(std::nullopt);
    VLSummaryMailer mailer;
    EXPECT_FALSE(mailer.sendIfDue(options(to, 0)));
    EXPECT_EQ(lastSent(), Now);
    clock.set(Now + Day + 1);
    EXPECT_TRUE(mailer.sendIfDue(options(to, 0)));
    EXPECT_EQ(waitFor(to, 1).size(), 1);
}

TEST_F(Summary, NothingWithoutAValidPeriodOrWhenSwitchedOff) {
    const QString to = QStringLiteral("owner-off@summary.example");
    setLastSent(Now - 400 * Day);
    VLSummaryMailer mailer;
    for (int every : {5, -1, 99})
        EXPECT_FALSE(mailer.sendIfDue(options(to, every))) << every;
    DataOptionsSummary off = options(to);
    off.emailSummary = false;
    EXPECT_FALSE(mailer.sendIfDue(off));
    EXPECT_EQ(lastSent(), Now - 400 * Day);
    QTest::qWait(1000);
    EXPECT_TRUE(SMTPServer::instance().messagesTo(to).isEmpty());
    // 64-bit times: a last sending beyond 2038 still compares correctly.
    setLastSent(Now + 20 * 365 * Day);
    clock.set(Now + 20 * 365 * Day + 8 * Day);
    EXPECT_TRUE(mailer.sendIfDue(options(to)));
}

TEST_F(Summary, ServerDownIsOnlyTracedAndTheNextOneStillGoes) {
    const QString to = QStringLiteral("owner-down@summary.example");
    setLastSent(Now - 8 * Day);
    VLSummaryMailer mailer;
    DataOptionsSummary down = options(to);
    down.advanced.portNumber = 1; // nothing listens there
    vltest::StderrCapture capture;
    EXPECT_TRUE(mailer.sendIfDue(down));
    const bool traced = capture.waitFor("VLMainWindow::slotSendSummary: sending failed");
    const QByteArray trace = capture.stop();
    EXPECT_TRUE(traced) << trace.toStdString();
    EXPECT_EQ(lastSent(), Now);

    clock.set(Now + 8 * Day);
    EXPECT_TRUE(mailer.sendIfDue(options(to)));
    EXPECT_EQ(waitFor(to, 1).size(), 1);
}

} // namespace
