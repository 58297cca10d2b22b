// DNS blacklist lookups against a real DNS server (dnsmasq on this process's own loopback
// address): which address of the relay is asked, host-name relays, the order of the
// blacklists, the six workers and their queue, and answers that are not listings.

#include "DnsTestSupport.h"
#include "VLDNSRBL.h"

#include "DnsServer.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using vltest::relayMessage;

namespace {

vltest::DnsServer *server = nullptr;
QString notRunning;

class DnsEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        if (!vltest::DnsServer::canRun(&notRunning))
            return;
        server = new vltest::DnsServer;
        server->addZone(u"bl.test"_s);
        server->addZone(u"bl2.test"_s);
        server->addZone(u"example.test"_s);
        // 1.2.3.4 is on both blacklists.
        server->addRecord(u"4.3.2.1.bl.test"_s, u"127.0.0.2"_s);
        server->addRecord(u"4.3.2.1.bl2.test"_s, u"127.0.0.3"_s);
        server->addRecord(u"8.7.6.5.bl.test"_s, u"127.0.0.5"_s);
        server->addRecord(u"12.11.10.9.bl.test"_s, u"127.0.0.9"_s);
        // 5.5.5.5 only on the second.
        server->addRecord(u"5.5.5.5.bl2.test"_s, u"127.0.0.4"_s);
        // Refusals and odd answers.
        server->addRecord(u"2.2.2.2.bl.test"_s, u"127.255.255.254"_s);
        server->addRecord(u"3.3.3.3.bl.test"_s, u"10.1.2.3"_s);
        for (int i = 1; i <= 7; ++i)
            server->addRecord(u"%1.0.0.10.bl.test"_s.arg(i), u"127.0.0.%1"_s.arg(i));
        server->addRecord(u"relay.example.test"_s, u"1.2.3.4"_s);
        server->start(vltest::ownLoopbackAddress());
    }
    void TearDown() override {
        delete server;
        server = nullptr;
    }
};

const auto *const environment = ::testing::AddGlobalTestEnvironment(new DnsEnvironment);

const QStringList kBothLists{u"First"_s, u"bl.test"_s, u"Second"_s, u"bl2.test"_s};

class DnsRbl : public ::testing::Test {
protected:
    void SetUp() override {
        if (!server)
            GTEST_SKIP() << "no DNS server: " << notRunning.toStdString();
        rbl.setNameServer(server->address());
        rbl.setQueryTimeout(VLDNSRBL::DefaultQueryTimeoutMs);
        rbl.setRBLList(kBothLists);
        askedBefore = server->queriedNames().size();
    }
    void TearDown() override {
        rbl.cancelAll();
        EXPECT_TRUE(vltest::waitUntil([this] { return !rbl.busy(); }));
    }
    // Looks up one message and waits until every lookup has ended.
    void lookUp(const DataEmailMessage &message) {
        rbl.startLookup(message);
        ASSERT_TRUE(vltest::waitUntil([this] { return !rbl.busy(); }));
    }

    // The names this test asked (the server lives as long as the process).
    [[nodiscard]] QStringList asked() const { return server->queriedNames().mid(askedBefore); }
    void expectAskedInOrder(const QString &first, const QString &second) const {
        const QStringList names = asked();
        EXPECT_GE(names.indexOf(first), 0) << names.join(u' ').toStdString();
        EXPECT_GT(names.indexOf(second), names.indexOf(first)) << names.join(u' ').toStdString();
    }

    VLDNSRBL &rbl = VLDNSRBL::self();
    qsizetype askedBefore = 0;
    QSignalSpy matched{&rbl, &VLDNSRBL::sigRBLMatched};
    QSignalSpy busy{&rbl, &VLDNSRBL::sigBusy};
};

TEST_F(DnsRbl, BracketBeforeParenthesisBeforeBy) {
    lookUp(relayMessage(u"1"_s, u"host (5.6.7.8) 9.10.11.12 by mx [1.2.3.4]"_s));
    lookUp(relayMessage(u"2"_s, u"host (5.6.7.8) 9.10.11.12 by mx"_s));
    lookUp(relayMessage(u"3"_s, u"host 9.10.11.12 by mx"_s));
    EXPECT_EQ(vltest::matches(matched), (QList<QStringList>{{u"First"_s, u"127.0.0.2"_s, u"acct_1"_s},
                                                            {u"First"_s, u"127.0.0.5"_s, u"acct_2"_s},
                                                            {u"First"_s, u"127.0.0.9"_s, u"acct_3"_s}}));
    EXPECT_EQ(vltest::busyValues(busy), (QList<bool>{true, false, true, false, true, false}));
}

TEST_F(DnsRbl, HostNameRelayIsResolvedFirst) {
    lookUp(relayMessage(u"1"_s, u"relay.example.test"_s));
    EXPECT_EQ(vltest::matches(matched), (QList<QStringList>{{u"First"_s, u"127.0.0.2"_s, u"acct_1"_s}}));
    expectAskedInOrder(u"relay.example.test"_s, u"4.3.2.1.bl.test"_s);
}

TEST_F(DnsRbl, RelayNameWithoutAddressEndsTheLookup) {
    lookUp(relayMessage(u"1"_s, u"nowhere.example.test"_s));
    EXPECT_EQ(matched.count(), 0);
    EXPECT_EQ(vltest::busyValues(busy), (QList<bool>{true, false}));
    const QStringList names = asked();
    EXPECT_TRUE(names.contains(u"nowhere.example.test"_s)) << names.join(u' ').toStdString();
    for (const QString &name : names)
        EXPECT_FALSE(name.endsWith(u"bl.test"_s) || name.endsWith(u"bl2.test"_s)) << name.toStdString();
}

TEST_F(DnsRbl, FirstListingBlacklistAloneReports) {
    lookUp(relayMessage(u"1"_s, u"[1.2.3.4]"_s));
    EXPECT_EQ(vltest::matches(matched), (QList<QStringList>{{u"First"_s, u"127.0.0.2"_s, u"acct_1"_s}}));
    EXPECT_FALSE(asked().contains(u"4.3.2.1.bl2.test"_s));
}

TEST_F(DnsRbl, SecondBlacklistAskedAfterNoSuchName) {
    lookUp(relayMessage(u"1"_s, u"[5.5.5.5]"_s));
    EXPECT_EQ(vltest::matches(matched), (QList<QStringList>{{u"Second"_s, u"127.0.0.4"_s, u"acct_1"_s}}));
    expectAskedInOrder(u"5.5.5.5.bl.test"_s, u"5.5.5.5.bl2.test"_s);
}

TEST_F(DnsRbl, NumbersAreAskedAsWritten) {
    lookUp(relayMessage(u"1"_s, u"[999.1.1.1]"_s));
    EXPECT_EQ(matched.count(), 0);
    EXPECT_TRUE(asked().contains(u"1.1.1.999.bl.test"_s));
}

TEST_F(DnsRbl, RefusalsAndOtherAnswersAreNotListings) {
    ::testing::internal::CaptureStderr();
    lookUp(relayMessage(u"1"_s, u"[2.2.2.2]"_s));
    lookUp(relayMessage(u"2"_s, u"[3.3.3.3]"_s));
    const std::string trace = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(matched.count(), 0);
    EXPECT_NE(trace.find("127.255.255.254: not a listing"), std::string::npos) << trace;
    EXPECT_NE(trace.find("10.1.2.3: not a listing"), std::string::npos) << trace;
    // Not listed on the first, so the second is asked.
    EXPECT_TRUE(asked().contains(u"2.2.2.2.bl2.test"_s));
}

TEST_F(DnsRbl, TextWithoutAddressOrNameEndsAtOnce) {
    rbl.startLookup(relayMessage(u"1"_s, u"unknown by mx.example.org"_s));
    EXPECT_FALSE(rbl.busy());
    EXPECT_EQ(busy.count(), 0);
    rbl.startLookup(relayMessage(u"2"_s, QString()));
    EXPECT_FALSE(rbl.busy());
    EXPECT_EQ(busy.count(), 0);
}

TEST_F(DnsRbl, NothingWithoutBlacklists) {
    rbl.setRBLList({});
    rbl.startLookup(relayMessage(u"1"_s, u"[1.2.3.4]"_s));
    EXPECT_FALSE(rbl.busy());
    EXPECT_EQ(busy.count(), 0);
}

TEST_F(DnsRbl, SeventhMessageWaitsAndBusyEndsOnce) {
    for (int i = 1; i <= 7; ++i)
        rbl.startLookup(relayMessage(QString::number(i), u"[10.0.0.%1]"_s.arg(i)));
    EXPECT_TRUE(rbl.busy());
    EXPECT_EQ(vltest::busyValues(busy), QList<bool>(6, true)) << "the seventh waits";
    ASSERT_TRUE(vltest::waitUntil([this] { return !rbl.busy(); }));
    EXPECT_EQ(matched.count(), 7);
    EXPECT_EQ(vltest::busyValues(busy), QList<bool>(7, true) << false);
    QStringList ids;
    for (const QStringList &m : vltest::matches(matched))
        ids << m[2];
    ids.sort();
    EXPECT_EQ(ids, (QStringList{u"acct_1"_s, u"acct_2"_s, u"acct_3"_s, u"acct_4"_s, u"acct_5"_s, u"acct_6"_s,
                                u"acct_7"_s}));
}

TEST_F(DnsRbl, CancelAllDropsTheQueueButKeepsRunningAnswers) {
    for (int i = 1; i <= 7; ++i)
        rbl.startLookup(relayMessage(QString::number(i), u"[10.0.0.%1]"_s.arg(i)));
    rbl.cancelAll();
    EXPECT_TRUE(rbl.busy());
    ASSERT_TRUE(vltest::waitUntil([this] { return !rbl.busy(); }));
    EXPECT_EQ(matched.count(), 6);
    for (const QStringList &m : vltest::matches(matched))
        EXPECT_NE(m[2], u"acct_7"_s);
    EXPECT_EQ(vltest::busyValues(busy), QList<bool>(6, true) << false);
}

TEST_F(DnsRbl, EmptyListDropsTheQueue) {
    for (int i = 1; i <= 7; ++i)
        rbl.startLookup(relayMessage(QString::number(i), u"[10.0.0.%1]"_s.arg(i)));
    rbl.setRBLList({});
    // The running lookups have no blacklist left to ask after their current query.
    ASSERT_TRUE(vltest::waitUntil([this] { return !rbl.busy(); }));
    EXPECT_LE(matched.count(), 6);
    EXPECT_EQ(vltest::busyValues(busy).count(false), 1);
    EXPECT_FALSE(vltest::busyValues(busy).last());
}

// The mail list starts lookups from its slots; the service must be settled by then.
TEST_F(DnsRbl, ReceiversMayStartLookupsFromTheSignals) {
    int started = 0;
    QObject receiver;
    QObject::connect(&rbl, &VLDNSRBL::sigRBLMatched, &receiver,
                     [&](const QString &, const QString &, const QString &id) {
                         if (id == u"acct_1"_s) {
                             ++started;
                             rbl.startLookup(relayMessage(u"2"_s, u"[5.5.5.5]"_s));
                         }
                     });
    lookUp(relayMessage(u"1"_s, u"[1.2.3.4]"_s));
    EXPECT_EQ(started, 1);
    EXPECT_EQ(vltest::matches(matched), (QList<QStringList>{{u"First"_s, u"127.0.0.2"_s, u"acct_1"_s},
                                                            {u"Second"_s, u"127.0.0.4"_s, u"acct_2"_s}}));
    // The listing arrives before the service says it is idle, and it says so once.
    EXPECT_EQ(vltest::busyValues(busy), (QList<bool>{true, true, false}));
}

} // namespace
