#pragma once
// Records filled with values that differ from every default, for the round-trip tests.

#include "data_account_addresses.h"
#include "data_account_list.h"
#include "data_list_filters.h"
#include "data_list_matches.h"
#include "data_options.h"
#include "data_tools.h"
#include "record_xml_p.h"

#include <QDomDocument>
#include <gtest/gtest.h>

namespace vltest {

inline DataTools sampleTools() {
    DataTools t;
    t.friends.action = 2;
    t.blacklist.markDelete = true;
    t.blacklist.markBounce = true;
    t.blacklist.action = 7; // numbered choices keep any integer
    auto &learn = t.learning.learn;
    learn.teach = learn.limitArchive = learn.markBlacklist = learn.markDelete = true;
    learn.markBounce = learn.markTallowmark = learn.markSpamCop = learn.addFriend = true;
    learn.maxArchiveSize = 25;
    auto &spam = t.learning.spam;
    spam.doAction = spam.markBlackList = spam.markDelete = spam.markBounce = true;
    spam.displayEmail = spam.colorRow = true;
    spam.useColor = QStringLiteral("#ffc8c8");
    auto &legit = t.learning.legit;
    legit.doAction = legit.markFriend = legit.displayEmail = legit.colorRow = true;
    legit.useColor = QStringLiteral("#c8ffc8");
    t.virus.markPossible = t.virus.markKnown = true;
    t.virus.actPossible = 1;
    t.virus.actKnown = 2;
    t.origin.checkDNS = t.origin.addToBlacklist = t.origin.markForDeletion = t.origin.markForBouncing = true;
    t.origin.displayOrHide = 2;
    t.origin.whence = -1;
    for (int i = 0; i < 3; ++i) {
        DataToolsOriginServer s;
        s.disabled = i == 1;
        s.serviceName = QStringLiteral("Service %1 \"quoted\" & <tagged>").arg(i);
        s.domainName = QStringLiteral("zone%1.example.org").arg(i);
        t.origin.DNSRBLServers.append(s);
    }
    t.spamcop.enableSpamCop = true;
    t.spamcop.email = QStringLiteral("submit.x@spam.example");
    t.tm.enableTM = t.tm.addToBlacklist = t.tm.markForDeletion = t.tm.markForBouncing = true;
    t.tm.account = QStringLiteral("123456");
    t.tm.password = QStringLiteral("tm-secret-pw");
    t.tm.displayOrHide = 1;
    t.tm.whence = 2;
    return t;
}

inline DataOptions sampleOptions() {
    DataOptions o;
    auto &g = o.general;
    g.launchAfterProcess = g.useSpecifiedClient = g.minimiseAfterProcess = g.playSoundOnNewMail = true;
    g.displaySplash = g.checkPeriodically = g.minimizeOnClose = g.minimizeOnStartup = true;
    g.systrayOnMinimize = g.checkOnStartup = true;
    g.preconfiguredClient = QStringLiteral("KMail");
    g.specifiedClient = QStringLiteral("  my-mailer --check && echo 'done'  ");
    g.newMailSound = 3;
    g.checkInterval = 15;
    g.spamThrottle_ = -5;
    auto &d = o.display;
    d.unreadBold = d.unreadColored = d.readDisplay = d.readColored = d.largeButtons = d.captionButtons = true;
    d.unreadColor = QStringLiteral("#0000ff");
    d.readColor = QStringLiteral("gray");
    d.columns = {DataOptionsColumn(false, 1, 20), DataOptionsColumn(true, 12, 0),
                 DataOptionsColumn(false, 17, 333)};
    auto &s = o.summary;
    s.messageLogging = s.emailSummary = s.allowRevovery = true;
    s.keepLogFor = 30;
    s.emailSummaryEvery = 5;
    s.outgoingEmailAddress = QStringLiteral("me@example.org");
    s.outgoingEmailServer = QStringLiteral("smtp.example.org");
    s.advanced.portNumber = 587;
    s.advanced.useSSL = s.advanced.useSMTPAuth = s.advanced.rememberPassword = s.advanced.useOnlySecure =
        true;
    s.advanced.authUsing = 2;
    s.advanced.authUserName = QStringLiteral("me");
    s.advanced.authPassword = QStringLiteral("summary-secret");
    return o;
}

inline DataListEmailMatch sampleMatches() {
    DataListEmailMatch l;
    l.options.expireEmail = true;
    l.options.expireEmailAfter = 30;
    l.options.expireWildcard = true;
    l.options.expireWildcardAfter = 90;
    l.options.sortByDomain = true;
    const struct {
        bool disabled, wildcard;
        const char *address;
        qint64 used;
    } rows[] = {
        {false, false, "alice@example.org", 1700000000},
        {true, false, "Bob@Example.org", 0},
        {false, true, "*@spam.example", 4102444800}, // past 2038
    };
    for (const auto &r : rows) {
        DataEmailMatch m;
        m.disabled = r.disabled;
        m.wildcard = r.wildcard;
        m.address = QString::fromLatin1(r.address);
        m.lastUsed = r.used;
        l.entries.append(m);
    }
    return l;
}

inline DataListEmailFilter sampleFilters() {
    DataListEmailFilter l;
    DataEmailFilter f;
    f.disabled = true;
    f.filterName = QStringLiteral("Cheap <meds>");
    f.precOverFriends = true;
    f.displayOrHide = 2;
    f.statusDescription = QStringLiteral("Spam & \"more\"");
    f.color = QStringLiteral("#ff0000");
    f.markBlacklist = f.markDelete = f.markBounce = f.disableReport = true;
    f.whence = 2;
    f.allOrAny = 1;
    f.rules = {DataEmailFilterRule(2, 1, QStringLiteral("free")),
               DataEmailFilterRule(5, 4, QStringLiteral("^v[i1]agra|pills?$"))};
    l.filters.append(f);
    DataEmailFilter g;
    g.filterName = QStringLiteral("Family");
    g.legitimate = true;
    g.allOrAny = 2;
    g.whence = 1;
    g.displayOrHide = 1;
    g.rules = {DataEmailFilterRule(1, 3, QStringLiteral("mum@example.org"))};
    l.filters.append(g);
    l.filters.append(DataEmailFilter()); // a filter without rules
    return l;
}

inline DataAccountAddresses sampleAddresses() {
    DataAccountAddresses a;
    a.multiple = true;
    a.addressList = {QStringLiteral("a@example.org"), QStringLiteral("b@example.org")};
    a.bounceType = 2;
    a.assumeAddress = QStringLiteral("a@example.org");
    return a;
}

// Stores the record as a record file, reads that back into a fresh record and stores it
// again: both files must be the same bytes, and check must find nothing against the file
// for the original or for the copy.
template <class T> void expectRoundTrip(const T &original) {
    const QByteArray bytes = RecordXml::recordFile(original);
    QDomDocument document;
    ASSERT_TRUE(document.setContent(bytes)) << bytes.constData();
    const QDomElement root = document.documentElement();

    T copy;
    copy.clear();
    copy.setup(root);
    EXPECT_EQ(RecordXml::recordFile(copy), bytes);

    QStringList errors;
    original.check(root, errors);
    copy.check(root, errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();

    // Storing twice into one element duplicates nothing.
    QDomDocument twice;
    twice.appendChild(twice.createProcessingInstruction(
        QStringLiteral("xml"), QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
    QDomElement twiceRoot = twice.createElement(QStringLiteral("name"));
    twice.appendChild(twiceRoot);
    RecordXml::OrderSession session;
    original.store(twiceRoot);
    original.store(twiceRoot);
    EXPECT_EQ(RecordXml::serialize(twice), bytes);
}

} // namespace vltest
