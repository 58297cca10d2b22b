// Address lists and filter rules: adding, re-enabling, removing, expiry at a fixed clock,
// display order, the compiled-pattern slot, filter descriptions and reordering.

#include "data_email.h"
#include "data_list_filters.h"
#include "data_list_matches.h"
#include "record_clock_p.h"

#include <QDomDocument>
#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kNow = 4102444800; // 2100-01-01, past 2038 on purpose
constexpr qint64 kDay = 86400;

qint64 fixedClock() {
    return kNow;
}

class FixedClock : public ::testing::Test {
protected:
    void SetUp() override { RecordClock::setClock(&fixedClock); }
    void TearDown() override { RecordClock::setClock(nullptr); }
};

DataEmailMessage from(const char *sender) {
    DataEmailMessage m;
    m.rawFrom = QString::fromLatin1(sender);
    return m;
}

DataEmailMatch entry(const char *address, bool wildcard = false, qint64 used = 0, bool disabled = false) {
    DataEmailMatch e;
    e.address = QString::fromLatin1(address);
    e.wildcard = wildcard;
    e.lastUsed = used;
    e.disabled = disabled;
    return e;
}

QStringList addresses(const DataListEmailMatch &list) {
    QStringList out;
    for (const DataEmailMatch &e : list.entries)
        out.append((e.wildcard ? QStringLiteral("w:") : QString()) + e.address +
                   (e.disabled ? QStringLiteral("(off)") : QString()));
    return out;
}

// ---------------------------------------------------------------- adding and removing

TEST_F(FixedClock, AddReEnablesOrAppendsAPlainEntry) {
    DataListEmailMatch list;
    list.entries = {entry("a@x.example", false, 5, true), entry("b@x.example", true, 5)};
    list.add(from("a@x.example"));
    list.add(from("b@x.example")); // a wildcard with the same text is not reused
    list.add(from("A@x.example")); // case matters
    list.add(from(""));
    EXPECT_EQ(addresses(list),
              (QStringList{u"a@x.example"_s, u"w:b@x.example"_s, u"b@x.example"_s, u"A@x.example"_s, u""_s}));
    EXPECT_EQ(list.entries.at(0).lastUsed, kNow);
    EXPECT_EQ(list.entries.at(1).lastUsed, 5);
    EXPECT_EQ(list.entries.at(2).lastUsed, kNow);
}

TEST_F(FixedClock, AddDomainMakesOneWildcardPerDomain) {
    struct Row {
        const char *sender;
        const char *wildcard; // null: nothing added
    };
    const Row rows[] = {
        {"joe@spam.example", "*@spam.example"},
        {"a@@spam.example", "*@spam.example"}, // empty pieces are dropped
        {"a@b@spam.example", nullptr},
        {"@spam.example", nullptr},
        {"joe@", nullptr},
        {"nobody", nullptr},
        {"", nullptr},
    };
    for (const Row &r : rows) {
        DataListEmailMatch list;
        list.addDomain(from(r.sender));
        if (!r.wildcard) {
            EXPECT_TRUE(list.entries.isEmpty()) << r.sender;
            continue;
        }
        ASSERT_EQ(list.entries.size(), 1) << r.sender;
        EXPECT_TRUE(list.entries.at(0).wildcard);
        EXPECT_EQ(list.entries.at(0).address, QLatin1String(r.wildcard));
        EXPECT_EQ(list.entries.at(0).lastUsed, kNow);
    }

    DataListEmailMatch list;
    list.entries = {entry("*@spam.example", false, 1), entry("*@spam.example", true, 1, true)};
    list.addDomain(from("joe@spam.example"));
    EXPECT_EQ(addresses(list), (QStringList{u"*@spam.example"_s, u"w:*@spam.example"_s}));
    EXPECT_EQ(list.entries.at(1).lastUsed, kNow);
    EXPECT_EQ(list.entries.at(0).lastUsed, 1);
}

TEST(AddressList, RemoveFirstMatchOnly) {
    DataListEmailMatch list;
    list.entries = {entry("*@x.example", true), entry("a@x.example"), entry("a@x.example"),
                    entry("*@y.example", true)};
    list.remove(from("*@x.example")); // a message never removes a wildcard
    EXPECT_EQ(list.entries.size(), 4);
    list.remove(from("a@x.example"));
    EXPECT_EQ(addresses(list), (QStringList{u"w:*@x.example"_s, u"a@x.example"_s, u"w:*@y.example"_s}));
    list.remove(QStringLiteral("*@y.example"));
    list.remove(QStringLiteral("nothing"));
    EXPECT_EQ(addresses(list), (QStringList{u"w:*@x.example"_s, u"a@x.example"_s}));
}

// ---------------------------------------------------------------- expiry

TEST_F(FixedClock, ExpiryDropsOldEntriesOfTheKindSwitchedOn) {
    struct Row {
        const char *name;
        bool expireEmail;
        int emailDays;
        bool expireWildcard;
        int wildcardDays;
        QStringList kept;
    };
    const Row rows[] = {
        {"nothing on",
         false,
         30,
         false,
         30,
         {u"old"_s, u"edge"_s, u"new"_s, u"never"_s, u"w:wold"_s, u"w:wnew"_s}},
        {"plain after 30 days", true, 30, false, 30, {u"edge"_s, u"new"_s, u"w:wold"_s, u"w:wnew"_s}},
        {"wildcards after 30 days",
         false,
         30,
         true,
         30,
         {u"old"_s, u"edge"_s, u"new"_s, u"never"_s, u"w:wnew"_s}},
        {"both", true, 30, true, 30, {u"edge"_s, u"new"_s, u"w:wnew"_s}},
        {"0 days is never",
         true,
         0,
         true,
         0,
         {u"old"_s, u"edge"_s, u"new"_s, u"never"_s, u"w:wold"_s, u"w:wnew"_s}},
        {"negative days is never",
         true,
         -1,
         true,
         -30,
         {u"old"_s, u"edge"_s, u"new"_s, u"never"_s, u"w:wold"_s, u"w:wnew"_s}},
    };
    for (const Row &r : rows) {
        DataListEmailMatch list;
        list.entries = {entry("old", false, kNow - 31 * kDay, true),
                        entry("edge", false, kNow - 30 * kDay),
                        entry("new", false, kNow - kDay),
                        entry("never", false, 0),
                        entry("wold", true, kNow - 31 * kDay),
                        entry("wnew", true, kNow)};
        list.options.expireEmail = r.expireEmail;
        list.options.expireEmailAfter = r.emailDays;
        list.options.expireWildcard = r.expireWildcard;
        list.options.expireWildcardAfter = r.wildcardDays;
        QStringList kept;
        const bool dropped = list.preSaveToStore();
        for (const DataEmailMatch &e : list.entries)
            kept.append((e.wildcard ? QStringLiteral("w:") : QString()) + e.address);
        EXPECT_EQ(kept, r.kept) << r.name;
        EXPECT_EQ(dropped, kept.size() != 6) << r.name;
    }
}

// ---------------------------------------------------------------- display order

TEST(AddressList, SortByAddressOrByDomain) {
    const auto sorted = [](bool byDomain, std::initializer_list<const char *> in) {
        QList<DataEmailMatch> list;
        for (const char *a : in)
            list.append(entry(a));
        DataEmailMatch::setSortByDomain(byDomain);
        std::stable_sort(list.begin(), list.end());
        DataEmailMatch::setSortByDomain(false);
        QStringList out;
        for (const DataEmailMatch &e : list)
            out.append(e.address);
        return out;
    };
    EXPECT_EQ(sorted(false, {"zed@alpha.example", "Bob@beta.example", "amy@Beta.example"}),
              (QStringList{u"amy@Beta.example"_s, u"Bob@beta.example"_s, u"zed@alpha.example"_s}));
    EXPECT_EQ(sorted(true, {"amy@Beta.example", "zed@alpha.example"}),
              (QStringList{u"zed@alpha.example"_s, u"amy@Beta.example"_s}));
    EXPECT_EQ(sorted(true, {"a@x.org", "b@x.com", "c@X.net"}),
              (QStringList{u"b@x.com"_s, u"c@X.net"_s, u"a@x.org"_s}));
    EXPECT_EQ(sorted(true, {"a@mail.zeta.example", "b@mailbox", "c@lima"}),
              (QStringList{u"c@lima"_s, u"a@mail.zeta.example"_s, u"b@mailbox"_s}));
    // Local parts take no part: the order of equivalent entries is kept by a stable sort.
    EXPECT_EQ(sorted(true, {"zz@dom.example", "*@dom.example", "aa@dom.example"}),
              (QStringList{u"zz@dom.example"_s, u"*@dom.example"_s, u"aa@dom.example"_s}));
    DataEmailMatch::setSortByDomain(true);
    EXPECT_FALSE(entry("b@x") < entry("a@x"));
    EXPECT_FALSE(entry("a@x") < entry("b@x"));
    EXPECT_TRUE(entry("nodomain") < entry("z@nodomaiz")) << "no '@': the whole address is the domain";
    DataEmailMatch::setSortByDomain(false);
}

// ---------------------------------------------------------------- compiled patterns

TEST(CompiledPatternSlot, OwnedByOneRecordAndResetByEdits) {
    DataEmailMatch e = entry("*@x.example", true);
    EXPECT_EQ(e.pattern.get(e.address), nullptr);
    e.pattern.set(e.address, QRegularExpression(QStringLiteral("^.*@x\\.example$")));
    ASSERT_NE(e.pattern.get(e.address), nullptr);

    const DataEmailMatch copy(e);
    EXPECT_FALSE(copy.pattern.isSet()) << "a copy compiles its own";
    DataEmailMatch target = entry("*@y.example", true);
    target.pattern.set(target.address, QRegularExpression(QStringLiteral("y")));
    target = e;
    EXPECT_FALSE(target.pattern.isSet()) << "assignment releases the target's pattern and copies none";
    EXPECT_EQ(target.tag(), e.tag());

    QList<DataEmailMatch> list{e};
    EXPECT_FALSE(list.at(0).pattern.isSet());

    e.address = QStringLiteral("*@z.example");
    EXPECT_EQ(e.pattern.get(e.address), nullptr) << "a pattern of an edited text is never handed out";

    e.pattern.set(e.address, QRegularExpression(QStringLiteral("z")));
    QDomDocument document;
    QDomElement element = document.createElement(QStringLiteral("emailMatch"));
    e.store(element);
    e.setup(element);
    EXPECT_FALSE(e.pattern.isSet());
    e.pattern.set(e.address, QRegularExpression(QStringLiteral("z")));
    e.clear();
    EXPECT_FALSE(e.pattern.isSet());

    DataEmailFilterRule rule(2, 4, QStringLiteral("^free"));
    rule.pattern.set(rule.text, QRegularExpression(rule.text));
    const DataEmailFilterRule ruleCopy = rule;
    EXPECT_FALSE(ruleCopy.pattern.isSet());
    rule.postClear();
    EXPECT_FALSE(rule.pattern.isSet());
}

// ---------------------------------------------------------------- filters

TEST(Filters, RuleAndFilterDescriptions) {
    const QString subjectFree =
        QStringLiteral("the <font color='red'>Subject</font> field contains \"free\"");
    EXPECT_EQ(DataEmailFilterRule(2, 1, QStringLiteral("free")).description(), subjectFree);
    EXPECT_TRUE(DataEmailFilterRule(0, 1, QStringLiteral("free")).description().isNull());
    EXPECT_TRUE(DataEmailFilterRule(8, 1, QStringLiteral("free")).description().isNull());
    EXPECT_TRUE(DataEmailFilterRule(2, 6, QStringLiteral("free")).description().isNull());
    // The user's text shows as typed: it cannot open markup of its own.
    EXPECT_EQ(DataEmailFilterRule(7, 5, QStringLiteral("<b>\"x\" & %1</b>")).description(),
              QStringLiteral("the <font color='red'>entire header</font> does not contain the RegExpr "
                             "\"&lt;b&gt;&quot;x&quot; &amp; %1&lt;/b&gt;\""));

    struct Row {
        const char *name;
        bool disabled, legitimate, blacklist, del, bounce;
        int whence, allOrAny;
        QList<DataEmailFilterRule> rules;
        QString expected;
    };
    const DataEmailFilterRule free(2, 1, QStringLiteral("free"));
    const DataEmailFilterRule bodyIs(5, 3, QStringLiteral("%2"));
    const DataEmailFilterRule bad(9, 1, QStringLiteral("x"));
    const QString bodyPhrase = QStringLiteral("the message <font color='red'>body</font> is \"%2\"");
    const Row rows[] = {
        {"disabled, any, automatic delete",
         true,
         false,
         false,
         true,
         false,
         2,
         2,
         {free, bad, bodyIs},
         u"(Currently disabled) If "_s + subjectFree + u" or "_s + bodyPhrase +
             u" then automatically (without warning or notification) delete the message"_s},
        {"legitimate wins over marks and whence",
         false,
         true,
         true,
         true,
         true,
         2,
         1,
         {free, bodyIs},
         u"If "_s + subjectFree + u" and "_s + bodyPhrase + u" then treat the message is legitimate"_s},
        {"all marks, by hand",
         false,
         false,
         true,
         true,
         true,
         1,
         1,
         {free},
         u"If "_s + subjectFree +
             u" then mark the message as mail to be blacklisted and mark the message as mail to be deleted "
             "and "
             "mark the message as mail to be bounced"_s},
        {"automatic blacklist",
         false,
         false,
         true,
         false,
         true,
         2,
         0,
         {free},
         u"If "_s + subjectFree +
             u" then automatically (without warning or notification) add the sender to the blacklisted and "
             "bounce "
             "the message"_s},
        {"no rules, no actions", false, false, false, false, false, 0, 0, {}, QStringLiteral("If  then ")},
    };
    for (const Row &r : rows) {
        DataEmailFilter f;
        f.disabled = r.disabled;
        f.legitimate = r.legitimate;
        f.markBlacklist = r.blacklist;
        f.markDelete = r.del;
        f.markBounce = r.bounce;
        f.whence = r.whence;
        f.allOrAny = r.allOrAny;
        f.rules = r.rules;
        EXPECT_EQ(f.description(), r.expected) << r.name;
    }
}

TEST(Filters, SwapRowsAndStoreOrder) {
    DataListEmailFilter list;
    for (const char *name : {"a", "b", "c"}) {
        DataEmailFilter f;
        f.filterName = QString::fromLatin1(name);
        f.rules = {DataEmailFilterRule(1, 1, QString::fromLatin1(name))};
        list.filters.append(f);
    }
    const auto names = [&list] {
        QString out;
        for (const DataEmailFilter &f : list.filters)
            out += f.filterName + f.rules.value(0).text;
        return out;
    };
    const int tagOfA = list.filters.at(0).tag();
    const std::pair<int, int> ignored[] = {{-1, 0}, {0, 3}, {3, 0}, {1, 1}, {0, -5}};
    for (const auto &[a, b] : ignored) {
        list.swapRows(a, b);
        EXPECT_EQ(names(), QLatin1String("aabbcc")) << a << "," << b;
    }
    list.swapRows(0, 2);
    EXPECT_EQ(names(), QLatin1String("ccbbaa"));
    EXPECT_EQ(list.filters.at(2).tag(), tagOfA) << "a moved filter is still the same record";
    list.swapRows(2, 1);
    EXPECT_EQ(names(), QLatin1String("ccaabb"));

    // The new order is the stored order, and it reads back the same.
    QDomDocument document;
    QDomElement root = document.createElement(QStringLiteral("name"));
    document.appendChild(root);
    list.store(root);
    DataListEmailFilter back;
    back.setup(root);
    ASSERT_EQ(back.filters.size(), 3);
    EXPECT_EQ(back.filters.at(0).filterName, QLatin1String("c"));
    EXPECT_EQ(back.filters.at(1).filterName, QLatin1String("a"));
    EXPECT_EQ(back.filters.at(2).rules.value(0).text, QLatin1String("b"));
    QStringList errors;
    back.check(root, errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();

    back.filters[1].rules.append(DataEmailFilterRule(3, 3, QStringLiteral("extra")));
    back.filters.removeLast();
    back.check(root, errors);
    EXPECT_EQ(errors, (QStringList{QStringLiteral("rules: expected 1, got 2"),
                                   QStringLiteral("listEmailFilter: expected 3, got 2")}));
}

} // namespace
