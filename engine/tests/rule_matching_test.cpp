// Matching senders against address lists and messages against the user's filters: the
// wildcard notation, case, which entry is stamped, the filter passes, the rule operators,
// and patterns that cannot decide.

#include "data/data_email.h"
#include "data/data_list_filters.h"
#include "data/data_list_matches.h"

#include "TestNames.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

DataEmailMatch entry(const QString &address, bool wildcard = false, bool disabled = false) {
    DataEmailMatch e;
    e.address = address;
    e.wildcard = wildcard;
    e.disabled = disabled;
    return e;
}

// ---------------------------------------------------------------- address entries

struct AddressCase {
    std::string name;
    QString address;
    bool wildcard;
    QString sender;
    bool matches;
};

class AddressEntry : public ::testing::TestWithParam<AddressCase> {};

TEST_P(AddressEntry, Matches) {
    const AddressCase &c = GetParam();
    EXPECT_EQ(entry(c.address, c.wildcard).match(c.sender), c.matches);
}

const QString kDomain = QStringLiteral("*@example.com");

INSTANTIATE_TEST_SUITE_P(
    Table, AddressEntry,
    ::testing::ValuesIn(std::vector<AddressCase>{
        {"plain in another case", u"Alice@Example.com"_s, false, u"aLICE@example.COM"_s, true},
        {"plain longer sender", u"alice@example.com"_s, false, u"alice@example.com.au"_s, false},
        {"plain shorter sender", u"alice@example.com"_s, false, u"lice@example.com"_s, false},
        {"plain takes star literally", u"*@example.com"_s, false, u"bob@example.com"_s, false},
        {"star any sender in any case", kDomain, true, u"Bob.Smith@EXAMPLE.com"_s, true},
        {"star allows nothing", kDomain, true, u"@example.com"_s, true},
        {"star not a longer domain", kDomain, true, u"bob@example.community"_s, false},
        {"star not a subdomain", kDomain, true, u"bob@mail.example.com"_s, false},
        {"dot only a dot", kDomain, true, u"bob@exampleXcom"_s, false},
        {"anchored before a line end", kDomain, true, u"bob@example.com\n"_s, false},
        {"plus needs one", u"+@example.com"_s, true, u"@example.com"_s, false},
        {"plus one", u"+@example.com"_s, true, u"b@example.com"_s, true},
        {"question mark exactly one", u"?ob@example.com"_s, true, u"bob@example.com"_s, true},
        {"question mark not two", u"?ob@example.com"_s, true, u"bbob@example.com"_s, false},
        {"question mark not none", u"?ob@example.com"_s, true, u"ob@example.com"_s, false},
        {"other pattern characters kept", u"[ab]ob@example.com"_s, true, u"aob@example.com"_s, true},
        {"invalid pattern matches nothing", u"(*@example.com"_s, true, u"(bob@example.com"_s, false},
        {"star after a prefix", u"bob*@Example.com"_s, true, u"BOBBY@example.com"_s, true},
        {"star prefix differs", u"bob*@example.com"_s, true, u"rob@example.com"_s, false},
        {"prefix and suffix may not overlap", u"bob*bob"_s, true, u"bob"_s, false},
        {"two stars", u"b*@*.com"_s, true, u"bob@mail.example.com"_s, true},
        {"star before a sender beyond ASCII", kDomain, true, u"b\u00e9b@example.com"_s, true},
        // Case folding beyond ASCII: the Kelvin sign is a capital "k".
        {"plain Kelvin sign", u"kate@example.com"_s, false, u"\u212aate@example.com"_s, true},
        {"star Kelvin sign", u"*@kiwi.example"_s, true, u"bob@\u212aiwi.example"_s, true},
        {"plain Kelvin sign elsewhere", u"kate@example.com"_s, false, u"\u212aatf@example.com"_s, false},
    }),
    vltest::RowName());

TEST(AddressEntryState, DisabledNeverMatches) {
    EXPECT_FALSE(entry(u"bob@example.com"_s, false, true).match(u"bob@example.com"_s));
    EXPECT_FALSE(entry(kDomain, true, true).match(u"bob@example.com"_s));
    DataListEmailMatch list;
    list.entries = {entry(u"bob@example.com"_s, false, true)};
    EXPECT_FALSE(list.match(u"bob@example.com"_s));
    EXPECT_EQ(list.entries[0].lastUsed, 0);
}

TEST(AddressEntryState, AnEditedEntryMatchesByItsNewText) {
    DataEmailMatch e = entry(u"*@old.example"_s, true);
    ASSERT_TRUE(e.match(u"bob@old.example"_s));
    e.address = u"*@new.example"_s;
    EXPECT_FALSE(e.match(u"bob@old.example"_s));
    EXPECT_TRUE(e.match(u"bob@new.example"_s));
    // A copy assigned back over a compiled entry, as an editing dialog does.
    DataEmailMatch edited = e;
    edited.address = u"*@other.example"_s;
    e = edited;
    EXPECT_TRUE(e.match(u"bob@other.example"_s));
    EXPECT_FALSE(e.match(u"bob@new.example"_s));
}

TEST(AddressList, StampsOnlyTheFirstAcceptingEntry) {
    DataListEmailMatch list;
    list.entries = {
        entry(u"bob@example.com"_s, false, true), // disabled: passed over
        entry(u"carol@example.com"_s),
        entry(kDomain, true),
        entry(u"BOB@example.com"_s),
    };
    EXPECT_TRUE(list.match(u"bob@example.com"_s));
    EXPECT_EQ(list.entries[0].lastUsed, 0);
    EXPECT_EQ(list.entries[1].lastUsed, 0);
    EXPECT_GT(list.entries[2].lastUsed, 0);
    EXPECT_EQ(list.entries[3].lastUsed, 0);

    EXPECT_FALSE(list.match(u"bob@example.org"_s));
    EXPECT_FALSE(DataListEmailMatch().match(u"bob@example.com"_s));
}

// ---------------------------------------------------------------- filter rules

DataEmailMessage sample() {
    DataEmailMessage m;
    m.from = u"Alice <alice@example.com>"_s;
    m.subject = u"FREE offer inside"_s;
    m.to = u"bob@example.org"_s;
    m.returnpath = u"<bounce@example.com>"_s;
    m.headers = u"From: Alice <alice@example.com>\nSubject: FREE offer inside\n"_s;
    // Latin-1 bytes as the records hold them: "café".
    m.body_ = u"Hello\nline two caf"_s + QChar(0xe9) + u" au lait\n"_s;
    return m;
}

struct RuleCase {
    std::string name;
    int useHeader;
    int useMatch;
    QString text;
    bool matches;
};

class FilterRule : public ::testing::TestWithParam<RuleCase> {};

TEST_P(FilterRule, Matches) {
    const RuleCase &c = GetParam();
    const DataEmailFilterRule rule(c.useHeader, c.useMatch, c.text);
    EXPECT_EQ(rule.match(sample()), c.matches);
}

INSTANTIATE_TEST_SUITE_P(Table, FilterRule,
                         ::testing::ValuesIn(std::vector<RuleCase>{
                             {"from contains in any case", 1, 1, u"ALICE@"_s, true},
                             {"from does not contain", 1, 2, u"alice"_s, false},
                             {"subject is", 2, 3, u"free OFFER inside"_s, true},
                             {"subject is not a part", 2, 3, u"free offer"_s, false},
                             {"to contains", 3, 1, u"bob@"_s, true},
                             {"empty cc does not contain", 4, 2, u"anything"_s, true},
                             {"empty cc does not contain pattern", 4, 5, u"x"_s, true},
                             {"return path", 6, 1, u"BOUNCE@"_s, true},
                             {"header code 9 tests nothing", 9, 1, u"alice"_s, false},
                             {"header code 9 does not contain", 9, 2, u"alice"_s, true},
                             {"header code 0 is empty", 0, 3, QString(), true},
                             {"caret pattern on capitals", 2, 4, u"^free"_s, true},
                             {"caret pattern negated", 2, 5, u"^free"_s, false},
                             {"pattern is a search", 2, 4, u"offer"_s, true},
                             {"invalid pattern contains", 2, 4, u"("_s, false},
                             {"invalid pattern does not contain", 2, 5, u"("_s, false},
                             {"dot across a body line end", 5, 4, u"hello.line"_s, true},
                             {"word character on a Latin-1 letter", 5, 4, u"caf\\w\\b"_s, true},
                             {"whole message headers then body", 7, 4, u"inside\\nhello"_s, true},
                             {"whole message contains header", 7, 1, u"subject: free"_s, true},
                             {"unknown operator 0", 2, 0, u"free"_s, false},
                             {"unknown operator 6", 2, 6, u"free"_s, false},
                         }),
                         vltest::RowName());

TEST(FilterRuleBody, TestsTheBodyAsFetched) {
    DataEmailMessage m;
    m.contentType = u"multipart/mixed; boundary=\"XX\""_s;
    m.body_ = u"This is a multi-part message.\n--XX\nContent-Type: text/plain\n\nPart text\n--XX--\n"_s;
    ASSERT_FALSE(m.body().contains(u"multi-part message"_s)) << "fixture: body() must differ from body_";
    EXPECT_TRUE(DataEmailFilterRule(5, 1, u"multi-part message"_s).match(m));
    EXPECT_TRUE(DataEmailFilterRule(7, 1, u"multi-part message"_s).match(m));
}

TEST(FilterRuleBody, APatternTheMatcherGivesUpOnDecidesNothing) {
    DataEmailMessage m;
    m.body_ = QString(200, u'a') + u'!';
    // Catastrophic backtracking: the matcher stops at its limit.
    const QString bomb = u"(a|aa)+$"_s;
    EXPECT_FALSE(DataEmailFilterRule(5, 4, bomb).match(m));
    EXPECT_FALSE(DataEmailFilterRule(5, 5, bomb).match(m));
}

TEST(FilterRuleTrace, OneLinePerPatternText) {
    const QString broken = u"(unclosed trace test"_s;
    DataEmailFilterRule rule(2, 4, broken);
    ::testing::internal::CaptureStderr();
    for (int i = 0; i < 3; ++i) {
        DataEmailMessage m = sample();
        m.subject += QString::number(i);
        EXPECT_FALSE(rule.match(m));
        const DataEmailFilterRule copy = rule; // a copy compiles again
        EXPECT_FALSE(copy.match(m));
    }
    const std::string trace = ::testing::internal::GetCapturedStderr();
    size_t lines = 0;
    for (size_t at = trace.find("unclosed trace test"); at != std::string::npos;
         at = trace.find("unclosed trace test", at + 1))
        ++lines;
    EXPECT_EQ(lines, 1u) << trace;
    EXPECT_NE(trace.find("DataEmailFilterRule::match: "), std::string::npos) << trace;
}

TEST(FilterRuleEdit, AnEditedRuleMatchesByItsNewText) {
    DataEmailFilterRule rule(2, 4, u"^free"_s);
    ASSERT_TRUE(rule.match(sample()));
    rule.text = u"^offer"_s;
    EXPECT_FALSE(rule.match(sample()));
    rule.text = u"inside$"_s;
    EXPECT_TRUE(rule.match(sample()));
}

// ---------------------------------------------------------------- filters and the list

const DataEmailFilterRule kYes(2, 1, u"free"_s);
const DataEmailFilterRule kNo(2, 1, u"absent"_s);

DataEmailFilter filter(int allOrAny, QList<DataEmailFilterRule> rules, bool first = false,
                       bool disabled = false) {
    DataEmailFilter f;
    f.allOrAny = allOrAny;
    f.rules = std::move(rules);
    f.precOverFriends = first;
    f.disabled = disabled;
    return f;
}

struct FilterCase {
    std::string name;
    DataEmailFilter filter;
    bool firstPass;
    bool matches;
};

class Filter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(Filter, Matches) {
    const FilterCase &c = GetParam();
    EXPECT_EQ(c.filter.match(sample(), c.firstPass), c.matches);
}

INSTANTIATE_TEST_SUITE_P(Table, Filter,
                         ::testing::ValuesIn(std::vector<FilterCase>{
                             {"all of none matches nothing", filter(1, {}), false, false},
                             {"any of none matches nothing", filter(2, {}), false, false},
                             {"all holding", filter(1, {kYes, kYes}), false, true},
                             {"all with one failing", filter(1, {kYes, kNo}), false, false},
                             {"any with one holding", filter(2, {kNo, kYes}), false, true},
                             {"any with none holding", filter(2, {kNo, kNo}), false, false},
                             {"unknown combination", filter(3, {kYes}), false, false},
                             {"second-pass filter in the second pass", filter(1, {kYes}), false, true},
                             {"second-pass filter in the first pass", filter(1, {kYes}), true, false},
                             {"first-pass filter in the first pass", filter(1, {kYes}, true), true, true},
                             {"first-pass filter in the second pass", filter(1, {kYes}, true), false, false},
                             {"disabled", filter(2, {kYes}, false, true), false, false},
                         }),
                         vltest::RowName());

TEST(FilterList, ReturnsTheFirstMatchingFilterInPlace) {
    DataListEmailFilter list;
    list.filters = {filter(2, {kYes}, false, true), filter(2, {kNo}), filter(2, {kYes}), filter(1, {kYes})};
    EXPECT_EQ(list.match(sample(), false), &list.filters[2]);
    EXPECT_EQ(list.match(sample(), true), nullptr);
    EXPECT_EQ(DataListEmailFilter().match(sample(), false), nullptr);
}

} // namespace

#include "TextCase.h"

namespace {

TEST(TextCaseTest, LowersAsQtDoes) {
    QString latin1;
    for (char16_t c = 0; c < 0x100; ++c)
        latin1 += QChar(c);
    EXPECT_EQ(TextCase::lowered(latin1), latin1.toLower());
    const QString wide = latin1 + u"\u0130\u0391\u00c9"_s;
    EXPECT_EQ(TextCase::lowered(wide), wide.toLower());
    EXPECT_EQ(TextCase::lowered(QString()), QString());
    // Texts are lowered in blocks of characters with a rest: every length around a block
    // and a character beyond Latin-1 at every place of it.
    const QString sample = u"AZ@[`az{\u00c0\u00d7\u00de\u00df\u00ff\u00bf\u0100Q"_s;
    for (qsizetype n = 0; n <= 20; ++n) {
        const QString text = sample.repeated(2).left(n);
        EXPECT_EQ(TextCase::lowered(text), text.toLower()) << n;
        for (qsizetype at = 0; at < n; ++at) {
            QString wider = text;
            wider[at] = QChar(0x0391);
            EXPECT_EQ(TextCase::lowered(wider), wider.toLower()) << n << " " << at;
        }
    }
}

} // namespace
