// The statistics dialog over a prepared mail log and recycle bin at a fixed instant: its tabs,
// the period filter, sorting, clearing, the settings it keeps, and restoring a logged message
// through a real SMTP server (aiosmtpd). The summary page's HTML is checked as written.

#include "VLMailLogPage.h"
#include "VLStatistics.h"
#include "VLSummaryPage.h"
#include "mail_log_fixture.h"
#include "preview_fixture.h"
#include "vl_file_cache.h"
#include "vl_history.h"

#include "data/store_account_list.h"
#include "data/vl_settings.h"
#include "dialogs/vl_progress_bar.h"
#include "proto/SMTPSender.h"

#include "GuiHelpers.h"
#include "SMTPServer.h"

#include <QBuffer>
#include <QComboBox>
#include <QHeaderView>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

using apptest::endLine;
using apptest::kDay;
using apptest::kMidnight;
using apptest::kNow;
using vltest::child;
using Fixture = apptest::MailLogFixture;

QStringList column(const VLMailLogPage *page, int col, bool visibleOnly) {
    QStringList out;
    for (int row = 0; row < page->rowCount(); ++row) {
        if (!visibleOnly || !page->isRowHidden(row))
            out.append(page->item(row, col)->text());
    }
    return out;
}

void choosePeriod(VLStatistics &dialog, int period) {
    auto *chooser = child<QComboBox>(&dialog, QStringLiteral("showFor"));
    chooser->setCurrentIndex(period);
    Q_EMIT chooser->activated(period);
}

// The number in the row of that label on the summary page.
int shownCount(const VLSummaryPage *page, const QString &label) {
    const QRegularExpression row(QRegularExpression::escape(label) + QStringLiteral("\\s+(\\d+)"));
    const auto m = row.match(page->toPlainText());
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

TEST(SummaryPage, AZeroRecordIsTheFourGroupsWithoutPercentage) {
    apptest::DataFolder folder;
    VLSummaryPage page(nullptr, "summary");
    const QString bg = page.palette().color(page.viewport()->backgroundRole()).name();
    const QString head = QStringLiteral(
        "    <tr bgcolor='%1'><td colspan='3'><font color='white'><b>%2</b></font></td></tr>\n");
    const QString item = QStringLiteral(
        "    <tr><td width='10'> </td><td align='left'>%1</td><td align='right'>0</td></tr>\n");
    const QString expected =
        QStringLiteral("<qt bgcolor='") + bg + QStringLiteral("'>\n  <table width='100%'>\n") +
        head.arg(QStringLiteral("red"), QStringLiteral("Spam")) + item.arg(QStringLiteral("Tallowmark!")) +
        item.arg(QStringLiteral("DNS Blacklist")) + item.arg(QStringLiteral("Probably Spam")) +
        item.arg(QStringLiteral("Possibly Spam")) + item.arg(QStringLiteral("User Filters")) +
        item.arg(QStringLiteral("Blacklisted")) +
        head.arg(QStringLiteral("green"), QStringLiteral("Legitimate Mail")) +
        item.arg(QStringLiteral("Friends List")) + item.arg(QStringLiteral("Legitimate Filters")) +
        head.arg(QStringLiteral("blue"), QStringLiteral("Action Taken")) +
        item.arg(QStringLiteral("Emails Bounced ")) + item.arg(QStringLiteral("Emails Deleted ")) +
        item.arg(QStringLiteral("Emails Reported")) +
        head.arg(QStringLiteral("black"), QStringLiteral("Final Summary")) +
        item.arg(QStringLiteral("Emails Received")) + item.arg(QStringLiteral("Unclassified")) +
        item.arg(QStringLiteral("Spam Filtered")) + QStringLiteral("  </table>\n</qt>\n");
    EXPECT_EQ(page.infoAsText(VLSummaryInfo()), expected);
    EXPECT_TRUE(bg.startsWith(u'#'));
    EXPECT_EQ(bg.size(), 7);

    // A dark page: the outer colour follows it, the headings keep theirs.
    QPalette dark = page.palette();
    dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
    page.setPalette(dark);
    const QString text = page.infoAsText(VLSummaryInfo());
    EXPECT_TRUE(text.startsWith(QStringLiteral("<qt bgcolor='#202020'>\n")));
    EXPECT_TRUE(
        text.contains(QStringLiteral("<tr bgcolor='red'><td colspan='3'><font color='white'><b>Spam</b>")));

    page.clear();
    EXPECT_EQ(shownCount(&page, QStringLiteral("Emails Received")), 0);
    EXPECT_FALSE(page.toPlainText().contains(QStringLiteral("percentage")));
}

TEST(SummaryPage, APeriodSwitchShowsTheOtherRecordWithoutRecounting) {
    Fixture f;
    VLSummaryPage page(nullptr, "summary");
    for (const DataEmailSummary *record : *VLHistory::self()->emailList())
        page.add(record);
    // The page keeps its counts: the log may change, what is shown does not.
    VLHistory::self()->clear();
    const struct {
        int period;
        int received;
        int spamFiltered;
        int percentage; // -1: no such row
    } cases[] = {{0, 1, 1, 100}, {1, 2, 1, 50}, {2, 2, 1, 50}, {4, 4, 1, 25}, {3, 3, 1, 33}};
    for (const auto &c : cases) {
        page.display(c.period);
        EXPECT_EQ(shownCount(&page, QStringLiteral("Emails Received")), c.received) << c.period;
        EXPECT_EQ(shownCount(&page, QStringLiteral("Spam Filtered")), c.spamFiltered) << c.period;
        EXPECT_EQ(shownCount(&page, QStringLiteral("Spam as percentage (%)")), c.percentage) << c.period;
    }
    page.display(7); // no such period: the page stays as it was
    EXPECT_EQ(shownCount(&page, QStringLiteral("Emails Received")), 3);
}

TEST(Statistics, TheNameChoosesTheFirstTabAndBothShareThePeriod) {
    Fixture f;
    {
        VLStatistics dialog(nullptr, "maillog");
        EXPECT_EQ(child<QTabWidget>(&dialog, QStringLiteral("tabber"))->currentWidget(),
                  child<VLMailLogPage>(&dialog, QStringLiteral("maillog")));
        choosePeriod(dialog, 3);
    }
    VLStatistics dialog(nullptr, "statistics");
    EXPECT_EQ(child<QTabWidget>(&dialog, QStringLiteral("tabber"))->currentWidget(),
              child<VLSummaryPage>(&dialog, QStringLiteral("summary")));
    EXPECT_EQ(child<QComboBox>(&dialog, QStringLiteral("showFor"))->currentIndex(), 3);
    EXPECT_EQ(shownCount(dialog.summaryPage(), QStringLiteral("Emails Received")), 3);
    EXPECT_EQ(column(dialog.mailLogPage(), VLMailLogPage::Subject, true),
              (QStringList{QStringLiteral("charlie"), QStringLiteral("alpha"), QStringLiteral("bravo")}));
}

TEST(Statistics, RowsAndCellsFollowTheLogAndThePeriod) {
    Fixture f;
    VLStatistics dialog(nullptr, "maillog");
    VLMailLogPage *page = dialog.mailLogPage();
    ASSERT_EQ(page->rowCount(), 5);
    EXPECT_TRUE(page->isColumnHidden(VLMailLogPage::Ident));
    EXPECT_EQ(page->horizontalHeaderItem(0)->text(), QStringLiteral("First Processed"));
    EXPECT_EQ(column(page, VLMailLogPage::Bounced, false),
              (QStringList{QStringLiteral("NO"), QStringLiteral("YES"), QStringLiteral("NO"),
                           QStringLiteral("NO"), QStringLiteral("NO")}));
    EXPECT_EQ(column(page, VLMailLogPage::Deleted, false).first(), QStringLiteral("YES"));
    EXPECT_EQ(column(page, VLMailLogPage::Reported, false).last(), QStringLiteral("YES"));
    EXPECT_EQ(column(page, VLMailLogPage::Status, false).first(), QStringLiteral("status charlie"));
    EXPECT_EQ(column(page, VLMailLogPage::Ident, false).first(), QStringLiteral("today@example.org"));

    const struct {
        int period;
        QStringList visible;
    } cases[] = {
        {0, {QStringLiteral("charlie")}},
        {1, {QStringLiteral("charlie"), QStringLiteral("alpha")}},
        {3, {QStringLiteral("charlie"), QStringLiteral("alpha"), QStringLiteral("bravo")}},
        // Midnight 55 days back is still inside; a day older stays in the table, hidden.
        {4,
         {QStringLiteral("charlie"), QStringLiteral("alpha"), QStringLiteral("bravo"),
          QStringLiteral("delta")}},
        {0, {QStringLiteral("charlie")}},
    };
    for (const auto &c : cases) {
        choosePeriod(dialog, c.period);
        EXPECT_EQ(column(page, VLMailLogPage::Subject, true), c.visible) << c.period;
        EXPECT_EQ(page->rowCount(), 5);
    }
}

TEST(Statistics, SubjectSortsAscendingDescendingAscendingAndTheFilterHolds) {
    Fixture f;
    VLStatistics dialog(nullptr, "maillog");
    dialog.show();
    VLMailLogPage *page = dialog.mailLogPage();
    choosePeriod(dialog, 1);
    const QStringList up{QStringLiteral("alpha"), QStringLiteral("charlie")};
    const QStringList down{QStringLiteral("charlie"), QStringLiteral("alpha")};
    QHeaderView *header = page->horizontalHeader();
    const auto click = [&] {
        const int x = header->sectionViewportPosition(VLMailLogPage::Subject) + 5;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };
    click();
    EXPECT_EQ(column(page, VLMailLogPage::Subject, true), up);
    EXPECT_EQ(column(page, VLMailLogPage::Subject, false),
              (QStringList{QStringLiteral("alpha"), QStringLiteral("bravo"), QStringLiteral("charlie"),
                           QStringLiteral("delta"), QStringLiteral("echo")}));
    EXPECT_EQ(header->sortIndicatorSection(), int(VLMailLogPage::Subject));
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    click();
    EXPECT_EQ(column(page, VLMailLogPage::Subject, true), down);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    click();
    EXPECT_EQ(column(page, VLMailLogPage::Subject, true), up);

    // The date column sorts by time, not by its text; whole rows move with it.
    page->slotClickHeader(VLMailLogPage::FirstProcessed);
    choosePeriod(dialog, 4);
    EXPECT_EQ(column(page, VLMailLogPage::Subject, true),
              (QStringList{QStringLiteral("delta"), QStringLiteral("bravo"), QStringLiteral("alpha"),
                           QStringLiteral("charlie")}));
    EXPECT_EQ(column(page, VLMailLogPage::Ident, true).last(), QStringLiteral("today@example.org"));
}

TEST(Statistics, RestoreIsOfferedOnlyForACachedMessageWithTheRecycleBinOn) {
    Fixture f;
    ASSERT_TRUE(VLFileCache::self()->addFile(QStringLiteral("yesterday@example.org"), SODataArray("x\r\n")));
    VLStatistics dialog(nullptr, "maillog");
    VLMailLogPage *page = dialog.mailLogPage();
    auto *restore = child<QPushButton>(&dialog, QStringLiteral("restore"));
    EXPECT_FALSE(restore->isEnabled());
    const struct {
        int row;
        bool recycleBin;
        bool enabled;
    } cases[] = {{1, true, true}, {0, true, false}, {1, true, true}, {2, true, false}, {1, false, false}};
    for (const auto &c : cases) {
        StoreOptions::options()->summary.allowRevovery = c.recycleBin;
        page->setCurrentCell(-1, -1);
        page->setCurrentCell(c.row, VLMailLogPage::Subject);
        EXPECT_EQ(restore->isEnabled(), c.enabled) << c.row << " " << c.recycleBin;
    }
}

TEST(Statistics, ClearEmptiesBothTabsAndLeavesOnlyTheEndLine) {
    Fixture f;
    const struct {
        const char *name;
        int keepLogFor;
    } cases[] = {{"kept for 30 days", 30}, {"no age limit", 0}};
    for (const auto &c : cases) {
        StoreOptions::options()->summary.keepLogFor = c.keepLogFor;
        VLStatistics dialog(nullptr, "statistics");
        ASSERT_EQ(dialog.mailLogPage()->rowCount(), 5 * (&c == cases));
        QTest::mouseClick(child<QPushButton>(&dialog, QStringLiteral("clear")), Qt::LeftButton);
        EXPECT_EQ(dialog.mailLogPage()->rowCount(), 0) << c.name;
        EXPECT_EQ(shownCount(dialog.summaryPage(), QStringLiteral("Emails Received")), 0) << c.name;
        EXPECT_EQ(f.folder.read(QStringLiteral("history.vlp")), endLine()) << c.name;
        EXPECT_TRUE(VLHistory::self()->emailList()->isEmpty());
    }
}

TEST(Statistics, PeriodAndColumnWidthsRoundTripThroughTheSettings) {
    Fixture f;
    {
        VLSettings settings;
        settings.beginGroup(QStringLiteral("statistics"));
        settings.setValue(QStringLiteral("showFor"), 3);
        settings.setValue(QStringLiteral("columnWidths"),
                          QStringList{QStringLiteral("150"), QStringLiteral("abc"), QStringLiteral("90")});
        settings.endGroup();
    }
    int defaultWidth = 0;
    {
        VLStatistics dialog(nullptr, "maillog");
        VLMailLogPage *page = dialog.mailLogPage();
        defaultWidth = page->horizontalHeader()->defaultSectionSize();
        EXPECT_EQ(child<QComboBox>(&dialog, QStringLiteral("showFor"))->currentIndex(), 3);
        EXPECT_EQ(page->columnWidth(0), 150);
        EXPECT_EQ(page->columnWidth(1), defaultWidth); // "abc" is no width
        EXPECT_EQ(page->columnWidth(2), 90);
        page->setColumnWidth(3, 321);
        choosePeriod(dialog, 1);
    }
    VLSettings settings;
    settings.beginGroup(QStringLiteral("statistics"));
    EXPECT_EQ(settings.value(QStringLiteral("showFor")).toInt(), 1);
    const QStringList widths = settings.value(QStringLiteral("columnWidths")).toStringList();
    ASSERT_EQ(widths.size(), 9);
    EXPECT_EQ(widths.mid(0, 4), (QStringList{QStringLiteral("150"), QString::number(defaultWidth),
                                             QStringLiteral("90"), QStringLiteral("321")}));

    // A period out of range falls back to the first.
    settings.setValue(QStringLiteral("showFor"), 9);
    settings.endGroup();
    VLStatistics dialog(nullptr, "maillog");
    EXPECT_EQ(child<QComboBox>(&dialog, QStringLiteral("showFor"))->currentIndex(), 0);
}

// ---------------------------------------------------------------------------------------
// Restoring through aiosmtpd

// A Latin-1 message with 8-bit bytes in its body, as a mail check fetched it.
const QByteArray kCached = "Return-Path: <anna@example.net>\r\n"
                           "From: =?ISO-8859-1?Q?Anna_M=FCller?= <anna@example.net>\r\n"
                           "To: me@example.org\r\n"
                           "Subject: =?ISO-8859-1?Q?Gr=FC=DFe?=\r\n"
                           "Date: Tue, 01 Dec 2026 08:30:00 +0100\r\n"
                           "Message-ID: <orig-1@example.net>\r\n"
                           "MIME-Version: 1.0\r\n"
                           "Content-Type: text/plain; charset=ISO-8859-1\r\n"
                           "\r\n"
                           "Gr\xfc\xdf"
                           "e aus M\xfcnchen.\r\n"
                           ".Punkt am Anfang\r\n"
                           "\xa0\xff\r\n";

struct RestoreFixture : Fixture {
    QString to;
    RestoreFixture() {
        static int serial = 0;
        to = QStringLiteral("restored-%1@example.org").arg(++serial);
        apptest::useTestServer(QStringLiteral("Me <%1>").arg(to));
        EXPECT_TRUE(
            VLFileCache::self()->addFile(QStringLiteral("yesterday@example.org"), SODataArray(kCached)));
    }
};

// Selects the cached row and presses Restore; action gets the open progress dialog.
void restore(VLStatistics &dialog, const std::function<void(QWidget *)> &action) {
    dialog.mailLogPage()->setCurrentCell(1, VLMailLogPage::Subject);
    auto *button = child<QPushButton>(&dialog, QStringLiteral("restore"));
    ASSERT_TRUE(button->isEnabled());
    vltest::whenModal(QString(), action, 10000);
    QTest::mouseClick(button, Qt::LeftButton);
}

QString barText(QWidget *w) {
    return w->findChild<VLProgressBar *>()->text();
}

TEST(Restore, TheCachedMessageGoesBackUnchangedToTheUsersAddress) {
    RestoreFixture f;
    VLStatistics dialog(nullptr, "maillog");
    bool okEnabled = false;
    QString notice;
    restore(dialog, [&](QWidget *w) {
        EXPECT_EQ(w->windowTitle(), QStringLiteral("Restore"));
        notice = w->findChild<QTextBrowser *>()->toPlainText();
        EXPECT_TRUE(vltest::waitUntil([&] { return barText(w) == QLatin1String("Message restored"); }, 30000))
            << barText(w).toStdString();
        auto *ok = child<QPushButton>(w, QStringLiteral("ok"));
        okEnabled = ok->isEnabled();
        QTest::mouseClick(ok, Qt::LeftButton);
    });
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(notice,
              QStringLiteral("The restored email is being sent to Me <%1>, however only 200 lines of the "
                             "original email had been previewed and stored in the Recycle Bin")
                  .arg(f.to));
    const auto got = vltest::SMTPServer::instance().messagesTo(f.to);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].mailFrom, QStringLiteral("anna@example.net"));
    EXPECT_EQ(got[0].rcptTo, QStringList{f.to});
    const QByteArray content = got[0].content;
    const QByteArray id = StoreAccountList::accounts()->VLMessageID.toLatin1();
    ASSERT_FALSE(id.isEmpty());
    EXPECT_TRUE(content.contains("\r\nX-Velloran-ID: <" + id + ">\r\n")) << content.toStdString();
    EXPECT_TRUE(content.startsWith("Date: Tue, 01 Dec 2026 08:30:00 +0100\r\n")) << content.toStdString();
    EXPECT_TRUE(content.contains("\r\nMessage-Id: <orig-1@example.net>\r\n"));
    EXPECT_TRUE(content.contains("\r\nContent-Type: text/plain; charset=ISO-8859-1\r\n"));
    // Byte for byte after the header; the SMTP client only ends the text with an empty line.
    const QByteArray body = kCached.mid(kCached.indexOf("\r\n\r\n") + 4);
    const QByteArray sent = content.mid(content.indexOf("\r\n\r\n") + 4);
    EXPECT_TRUE(sent.startsWith(body)) << content.toStdString();
    EXPECT_TRUE(QByteArray(sent.mid(body.size())).replace("\r\n", "").isEmpty()) << content.toStdString();
    // The restored message reads as the original: sender and subject as encoded words of their text.
    DataEmailMessage back = apptest::message(content);
    EXPECT_EQ(back.encFrom, QStringLiteral("Anna M\u00fcller <anna@example.net>"));
    EXPECT_EQ(back.encSubject, QStringLiteral("Gr\u00fc\u00dfe"));
    EXPECT_EQ(back.VLMessageID, QString::fromLatin1(id));
}

TEST(Restore, AnUnreachableServerEndsInTheFailureState) {
    RestoreFixture f;
    StoreOptions::options()->summary.outgoingEmailServer = QStringLiteral("127.0.0.1");
    StoreOptions::options()->summary.advanced.portNumber = apptest::closedPort();
    VLStatistics dialog(nullptr, "maillog");
    bool okEnabled = true;
    restore(dialog, [&](QWidget *w) {
        EXPECT_TRUE(
            vltest::waitUntil([&] { return barText(w) == QLatin1String("Error restoring message"); }, 30000))
            << barText(w).toStdString();
        okEnabled = child<QPushButton>(w, QStringLiteral("ok"))->isEnabled();
        QTest::mouseClick(child<QPushButton>(w, QStringLiteral("cancel")), Qt::LeftButton);
    });
    EXPECT_FALSE(okEnabled);
    EXPECT_TRUE(vltest::SMTPServer::instance().messagesTo(f.to).isEmpty());
}

TEST(Restore, EscapeCancelsAndNothingIsSentLater) {
    RestoreFixture f;
    // A server that takes the connection and never answers keeps the message queued.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    QTcpSocket *peer = nullptr;
    QObject::connect(&silent, &QTcpServer::newConnection, &silent,
                     [&] { peer = silent.nextPendingConnection(); });
    const QString first = f.to;
    StoreOptions::options()->summary.outgoingEmailServer = QStringLiteral("127.0.0.1");
    StoreOptions::options()->summary.advanced.portNumber = silent.serverPort();
    VLStatistics dialog(nullptr, "maillog");
    restore(dialog, [&](QWidget *w) {
        EXPECT_TRUE(vltest::waitUntil([&] { return peer != nullptr; }));
        EXPECT_EQ(barText(w), QStringLiteral("Connecting to mail server"));
        QTest::keyClick(w, Qt::Key_Escape);
    });
    // Cancelling dropped the connection as well as the queue.
    ASSERT_NE(peer, nullptr);
    EXPECT_TRUE(vltest::waitUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }));

    // The next restore on the same sender goes out alone.
    apptest::useTestServer(QStringLiteral("second-") + first);
    restore(dialog, [&](QWidget *w) {
        EXPECT_TRUE(
            vltest::waitUntil([&] { return barText(w) == QLatin1String("Message restored"); }, 30000));
        QTest::keyClick(w, Qt::Key_Return);
    });
    const QString second = QStringLiteral("second-") + first;
    ASSERT_TRUE(
        vltest::waitUntil([&] { return !vltest::SMTPServer::instance().messagesTo(second).isEmpty(); }));
    // No copy follows it: a short look, ended early by one that does.
    EXPECT_FALSE(
        vltest::waitUntil([&] { return vltest::SMTPServer::instance().messagesTo(second).size() > 1; }, 300));
    EXPECT_EQ(vltest::SMTPServer::instance().messagesTo(second).size(), 1);
    EXPECT_TRUE(vltest::SMTPServer::instance().messagesTo(first).isEmpty());
}

TEST(Restore, AnEmptyOrMissingCopyIsRefusedWithAWarning) {
    RestoreFixture f;
    VLStatistics dialog(nullptr, "maillog");
    QSignalSpy busy(SMTPSender::self("__restore__"), &SMTPSender::sigBusy);
    const QString path = VLFileCache::self()->path(QStringLiteral("yesterday@example.org"));
    const struct {
        const char *name;
        bool remove;
    } cases[] = {{"empty", false}, {"missing", true}};
    for (const auto &c : cases) {
        dialog.mailLogPage()->setCurrentCell(1, VLMailLogPage::Subject);
        if (c.remove) {
            QFile::remove(path);
        } else {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        }
        QString warned;
        vltest::whenMessageBox(warned);
        QTest::mouseClick(child<QPushButton>(&dialog, QStringLiteral("restore")), Qt::LeftButton);
        EXPECT_TRUE(warned.startsWith(QStringLiteral("Velloran Pro|"))) << c.name << warned.toStdString();
        EXPECT_TRUE(warned.contains(QStringLiteral("missing or empty"))) << c.name;
    }
    EXPECT_EQ(busy.count(), 0);
}

} // namespace
