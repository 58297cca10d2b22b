// DNS blacklist lookups against a name server that is silent or answers late: the query
// time-out, a blacklist list changed while a query runs, and answers that come too late.

#include "DnsPeer.h"
#include "DnsTestSupport.h"
#include "VLDNSRBL.h"

#include "DnsServer.h"
#include "ServerProcess.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;
using vltest::relayMessage;

namespace {

constexpr int kTimeoutMs = 1000;

class DnsPeerRbl : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        if (!vltest::DnsServer::canRun(&why))
            GTEST_SKIP() << why.toStdString();
        peer = std::make_unique<vltest::DnsPeer>(vltest::ownLoopbackAddress());
        peer->answerAtOnce(u".fast.test"_s, u"127.0.0.2"_s);
        rbl.setNameServer(vltest::ownLoopbackAddress());
        rbl.setQueryTimeout(kTimeoutMs);
        rbl.setRBLList({u"Slow"_s, u"slow.test"_s, u"Fast"_s, u"fast.test"_s});
    }
    void TearDown() override {
        if (!peer)
            return;
        EXPECT_TRUE(vltest::waitUntil([this] { return !rbl.busy(); }));
        // Resolver threads still waiting on a held query end now, not at their own time-out.
        peer->releaseAll();
        QTest::qWait(50);
    }

    std::unique_ptr<vltest::DnsPeer> peer;
    VLDNSRBL &rbl = VLDNSRBL::self();
    QSignalSpy matched{&rbl, &VLDNSRBL::sigRBLMatched};
    QSignalSpy busy{&rbl, &VLDNSRBL::sigBusy};
};

TEST_F(DnsPeerRbl, SilenceCountsAsNotListedAfterTheTimeOut) {
    ::testing::internal::CaptureStderr();
    rbl.startLookup(relayMessage(u"1"_s, u"[1.2.3.4]"_s));
    ASSERT_TRUE(vltest::waitUntil([this] { return !rbl.busy(); }));
    const std::string trace = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(trace.find("no answer for 4.3.2.1.slow.test within 1000 ms"), std::string::npos) << trace;
    EXPECT_EQ(vltest::matches(matched), (QList<QStringList>{{u"Fast"_s, u"127.0.0.2"_s, u"acct_1"_s}}));
    EXPECT_EQ(vltest::busyValues(busy), (QList<bool>{true, false}));
}

TEST_F(DnsPeerRbl, AnAnswerAfterTheTimeOutIsIgnored) {
    rbl.setRBLList({u"Slow"_s, u"slow.test"_s});
    rbl.startLookup(relayMessage(u"1"_s, u"[1.2.3.4]"_s));
    ASSERT_TRUE(vltest::waitUntil([this] { return !rbl.busy(); }));
    EXPECT_EQ(vltest::busyValues(busy), (QList<bool>{true, false}));
    peer->answer(u"4.3.2.1.slow.test"_s, u"127.0.0.2"_s);
    QTest::qWait(200);
    EXPECT_EQ(matched.count(), 0);
    EXPECT_EQ(busy.count(), 2);
}

TEST_F(DnsPeerRbl, AShortenedListEndsTheLookupAfterTheRunningQuery) {
    rbl.startLookup(relayMessage(u"1"_s, u"[1.2.3.4]"_s));
    ASSERT_TRUE(vltest::waitUntil([this] { return !peer->held().isEmpty(); }));
    rbl.setRBLList({u"Slow"_s, u"slow.test"_s});
    ASSERT_TRUE(vltest::waitUntil([this] { return !rbl.busy(); }));
    EXPECT_EQ(matched.count(), 0);
    EXPECT_FALSE(peer->asked().contains(u"4.3.2.1.fast.test"_s));
    EXPECT_EQ(vltest::busyValues(busy), (QList<bool>{true, false}));
}

TEST_F(DnsPeerRbl, AnEmptiedListDropsTheQueueAndEndsTheRunningLookups) {
    for (int i = 1; i <= 8; ++i)
        rbl.startLookup(relayMessage(QString::number(i), u"[10.0.0.%1]"_s.arg(i)));
    ASSERT_TRUE(vltest::waitUntil([this] { return peer->asked().size() >= 5; }));
    rbl.setRBLList({});
    EXPECT_TRUE(rbl.busy()) << "six queries still run";
    ASSERT_TRUE(vltest::waitUntil([this] { return !rbl.busy(); }));
    EXPECT_EQ(matched.count(), 0);
    EXPECT_EQ(vltest::busyValues(busy), QList<bool>(6, true) << false);
    for (const QString &name : peer->asked())
        EXPECT_TRUE(name.endsWith(u".slow.test"_s)) << name.toStdString();
}

TEST_F(DnsPeerRbl, AListingIsReportedUnderTheNameItWasAskedFor) {
    rbl.setQueryTimeout(VLDNSRBL::DefaultQueryTimeoutMs);
    rbl.startLookup(relayMessage(u"1"_s, u"[1.2.3.4]"_s));
    ASSERT_TRUE(vltest::waitUntil([this] { return !peer->held().isEmpty(); }));
    rbl.setRBLList({u"Other"_s, u"other.test"_s, u"More"_s, u"more.test"_s});
    peer->answer(u"4.3.2.1.slow.test"_s, u"127.0.0.7"_s);
    ASSERT_TRUE(vltest::waitUntil([this] { return !rbl.busy(); }));
    EXPECT_EQ(vltest::matches(matched), (QList<QStringList>{{u"Slow"_s, u"127.0.0.7"_s, u"acct_1"_s}}));
}

} // namespace
