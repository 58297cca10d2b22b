// The activity summary: which records count in which period, the counters of each logging
// bit, and the text of the e-mailed summary.

#include "data_folder.h"

#include "app/vl_history.h"
#include "app/vl_summary.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using apptest::DataFolder;
using apptest::FixedClock;

constexpr qint64 Day = 86400;
constexpr qint64 Midnight = 1'796'256'000; // 2026-12-01 00:00 UTC
static_assert(Midnight % Day == 0);

DataEmailSummary record(qint64 processed, int logging = 0) {
    DataEmailSummary r;
    r.processed = long(processed);
    r.logging = logging;
    return r;
}

QList<int> received(const VLSummary &summary) {
    QList<int> out;
    for (int period = 0; period < VLSummary::Periods; ++period)
        out << summary.info(period).received;
    return out;
}

const char *const EmptySection = "Statistics for last day\n"
                                 "    Spam:\n"
                                 "        Tallowmark!: 0\n"
                                 "        DNS Blacklist: 0\n"
                                 "        Probably Spam: 0\n"
                                 "        Possibly Spam: 0\n"
                                 "        User Filters: 0\n"
                                 "        Blacklisted: 0\n"
                                 "    Legitimate Mail:\n"
                                 "        Friends List: 0\n"
                                 "        Legitimate Filters: 0\n"
                                 "    Action Taken:\n"
                                 "        Emails Bounced : 0\n"
                                 "        Emails Deleted : 0\n"
                                 "        Emails Reported: 0\n"
                                 "    Final Summary:\n"
                                 "        Emails Received: 0\n"
                                 "        Unclassified: 0\n"
                                 "        Spam Filtered: 0\n";

} // namespace

TEST(VLSummary, AnEmptyLogGivesFiveSectionsOfZeros) {
    const QString text = VLSummary().infoAsEmail();
    QString expected;
    for (const char *period : {"day", "week", "two weeks", "four weeks", "eight weeks"}) {
        if (!expected.isEmpty())
            expected += u'\n';
        expected += QString::fromLatin1(EmptySection)
                        .replace(u"last day"_s, QLatin1String("last ") + QLatin1String(period));
    }
    EXPECT_EQ(text.toStdString(), expected.toStdString());
    EXPECT_EQ(text.count(u'\n'), 5 * 19 + 4);
}

TEST(VLSummary, PeriodsEndAtTheComingMidnight) {
    const struct {
        const char *name;
        qint64 now;
        qint64 processed;
        QList<int> counted;
    } cases[] = {
        {"at today's midnight", Midnight + 3600, Midnight, {1, 1, 1, 1, 1}},
        {"a second before it", Midnight + 3600, Midnight - 1, {0, 1, 1, 1, 1}},
        {"later today", Midnight + 3600, Midnight + 7200, {1, 1, 1, 1, 1}},
        {"first second of the week", Midnight, Midnight - 6 * Day, {0, 1, 1, 1, 1}},
        {"just before the week", Midnight, Midnight - 6 * Day - 1, {0, 0, 1, 1, 1}},
        {"first second of two weeks", Midnight, Midnight - 13 * Day, {0, 0, 1, 1, 1}},
        {"first second of four weeks", Midnight, Midnight - 27 * Day, {0, 0, 0, 1, 1}},
        {"first second of eight weeks", Midnight, Midnight - 55 * Day, {0, 0, 0, 0, 1}},
        {"older than eight weeks", Midnight, Midnight - 55 * Day - 1, {0, 0, 0, 0, 0}},
        {"in the future", Midnight, Midnight + 30 * Day, {1, 1, 1, 1, 1}},
        {"long ago, after 2038", qint64(2'300'000'000), 1, {0, 0, 0, 0, 0}},
        {"yesterday, after 2038", qint64(2'300'000'000), 2'300'000'000 - Day, {0, 1, 1, 1, 1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        FixedClock clock(c.now);
        VLSummary summary;
        const DataEmailSummary r = record(c.processed);
        summary.add(&r);
        EXPECT_EQ(received(summary), c.counted);
    }
}

TEST(VLSummary, EachBitRaisesItsCounters) {
    using C = int VLSummaryInfo::*;
    const struct {
        const char *name;
        int logging;
        std::vector<C> raised;
    } cases[] = {
        {"nothing", 0, {&VLSummaryInfo::unclassified}},
        {"bounced, probably spam",
         0x201,
         {&VLSummaryInfo::bounced, &VLSummaryInfo::probablySpam, &VLSummaryInfo::spamFiltered}},
        {"community lookup alone", 0x004, {&VLSummaryInfo::tallowmark}},
        {"deleted", 0x002, {&VLSummaryInfo::deleted}},
        {"reported", 0x008, {&VLSummaryInfo::reported}},
        {"user filter", 0x010, {&VLSummaryInfo::userFilters, &VLSummaryInfo::spamFiltered}},
        {"legitimate filter", 0x020, {&VLSummaryInfo::legitimateFilters}},
        {"friend", 0x040, {&VLSummaryInfo::friendsList}},
        {"blacklisted", 0x080, {&VLSummaryInfo::blacklisted, &VLSummaryInfo::spamFiltered}},
        {"possibly spam", 0x100, {&VLSummaryInfo::possiblySpam, &VLSummaryInfo::spamFiltered}},
        {"DNS blacklist", 0x400, {&VLSummaryInfo::dnsBlacklist, &VLSummaryInfo::spamFiltered}},
        {"five spam verdicts, counted once as filtered",
         0x790,
         {&VLSummaryInfo::userFilters, &VLSummaryInfo::blacklisted, &VLSummaryInfo::possiblySpam,
          &VLSummaryInfo::probablySpam, &VLSummaryInfo::dnsBlacklist, &VLSummaryInfo::spamFiltered}},
        {"an unknown bit only", 0x800, {}},
    };
    const C all[] = {
        &VLSummaryInfo::tallowmark,   &VLSummaryInfo::dnsBlacklist, &VLSummaryInfo::probablySpam,
        &VLSummaryInfo::possiblySpam, &VLSummaryInfo::userFilters,  &VLSummaryInfo::legitimateFilters,
        &VLSummaryInfo::blacklisted,  &VLSummaryInfo::friendsList,  &VLSummaryInfo::bounced,
        &VLSummaryInfo::deleted,      &VLSummaryInfo::reported,     &VLSummaryInfo::unclassified,
        &VLSummaryInfo::spamFiltered};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        VLSummaryInfo info;
        const DataEmailSummary r = record(0, c.logging);
        VLSummary::addToInfo(&r, info);
        EXPECT_EQ(info.received, 1);
        for (C counter : all) {
            const bool raised = std::find(c.raised.begin(), c.raised.end(), counter) != c.raised.end();
            EXPECT_EQ(info.*counter, raised ? 1 : 0) << "counter " << (&counter - all);
        }
    }
}

TEST(VLSummary, TheSpamShareIsTruncated) {
    const struct {
        int spam;
        int total;
        const char *line;
    } cases[] = {{3, 7, "        Spam as percentage (%): 42\n"},
                 {7, 7, "        Spam as percentage (%): 100\n"},
                 {1, 3, "        Spam as percentage (%): 33\n"},
                 {0, 7, nullptr}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.spam);
        VLSummaryInfo info;
        for (int i = 0; i < c.total; ++i) {
            const DataEmailSummary r = record(0, i < c.spam ? 0x200 : 0x040);
            VLSummary::addToInfo(&r, info);
        }
        const QString text = VLSummary::infoAsEmail(u"week"_s, info);
        EXPECT_EQ(text.count(u'\n'), c.line ? 20 : 19);
        if (c.line) {
            EXPECT_TRUE(text.endsWith(QLatin1String(c.line))) << text.toStdString();
        }
        EXPECT_TRUE(text.contains(QStringLiteral("        Spam Filtered: %1\n").arg(c.spam)));
    }
}

TEST(VLSummary, LoadingTheLogTwiceDoublesTheCounts) {
    DataFolder folder;
    FixedClock clock(Midnight + 3600);
    VLHistory *history = VLHistory::self();
    DataEmailStatus spam;
    spam.logging = 0x203;
    DataEmailStatus legit;
    legit.logging = 0x040;
    for (int i = 0; i < 4; ++i) {
        DataEmailMessage m;
        m.uid = QString::number(i);
        m.messageID = QString::number(i) + u"@x"_s;
        history->update(m, i % 2 ? legit : spam, long(Midnight - i * 5 * Day));
    }
    VLSummary summary;
    summary.loadSummary();
    EXPECT_EQ(received(summary), (QList<int>{1, 2, 3, 4, 4}));
    EXPECT_EQ(summary.info(4).deleted, 2);
    summary.loadSummary();
    EXPECT_EQ(received(summary), (QList<int>{2, 4, 6, 8, 8}));
    EXPECT_EQ(summary.info(4).deleted, 4);
    EXPECT_EQ(summary.info(4).friendsList, 4);
    EXPECT_EQ(summary.info(4).spamFiltered, 4);
    summary.clear();
    EXPECT_EQ(received(summary), (QList<int>{0, 0, 0, 0, 0}));
    EXPECT_EQ(summary.info(4).deleted, 0);
}
