// Applying an address-list editor's changes to the list as stored now: a table of what the
// user did against what the scanner did meanwhile.
#include "list_edits.h"

#include "TestNames.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

DataEmailMatch e(const char *address, qint64 used, bool disabled = false) {
    DataEmailMatch m;
    m.address = QString::fromUtf8(address);
    m.wildcard = m.address.startsWith(QLatin1Char('*'));
    m.lastUsed = used;
    m.disabled = disabled;
    return m;
}

DataListEmailMatch l(const QList<DataEmailMatch> &entries) {
    DataListEmailMatch list;
    list.entries = entries;
    return list;
}

// "address@stamp", with "!" for a disabled entry, in list order.
QString show(const DataListEmailMatch &list) {
    QStringList out;
    for (const DataEmailMatch &m : list.entries)
        out << m.address + QLatin1Char('@') + QString::number(m.lastUsed) +
                   (m.disabled ? QStringLiteral("!") : QString());
    return out.join(QLatin1Char(' '));
}

struct Case {
    std::string name;
    QList<DataEmailMatch> before, after, stored;
    const char *expected;
};

class ListEdits : public ::testing::TestWithParam<Case> {};

TEST_P(ListEdits, Apply) {
    const Case &c = GetParam();
    EXPECT_EQ(show(applyListEdits(l(c.stored), l(c.before), l(c.after))), QString::fromUtf8(c.expected));
}

const Case kCases[] = {
    {"nothing changed anywhere",
     {e("a", 1), e("b", 1)},
     {e("a", 1), e("b", 1)},
     {e("a", 1), e("b", 1)},
     "a@1 b@1"},
    {"the scanner's newer stamp stays on an untouched entry", {e("a", 1)}, {e("a", 1)}, {e("a", 9)}, "a@9"},
    {"an entry added meanwhile stays", {e("a", 1)}, {e("a", 1)}, {e("a", 1), e("n", 5)}, "a@1 n@5"},
    {"the user's removal wins over a re-stamp",
     {e("a", 1), e("b", 1)},
     {e("b", 1)},
     {e("a", 9), e("b", 1)},
     "b@1"},
    {"the user's addition goes in", {e("a", 1)}, {e("a", 1), e("u", 3)}, {e("a", 1)}, "a@1 u@3"},
    {"an address both added keeps the user's entry", {}, {e("u", 3, true)}, {e("u", 8)}, "u@3!"},
    {"a disabled check is the user's change", {e("a", 1)}, {e("a", 1, true)}, {e("a", 9)}, "a@1!"},
    {"an edited address replaces the old one",
     {e("a", 1), e("b", 1)},
     {e("a2", 4), e("b", 1)},
     {e("a", 1), e("b", 7)},
     "a2@4 b@7"},
    {"an untouched entry gone from the store stays gone",
     {e("a", 1), e("b", 1)},
     {e("a", 1), e("b", 1)},
     {e("b", 1)},
     "b@1"},
    {"one of two equal entries removed leaves one",
     {e("d", 1), e("d", 2)},
     {e("d", 2)},
     {e("d", 1), e("d", 2)},
     "d@2"},
    {"plain and wildcard entries are told apart",
     {e("*@x", 1)},
     {e("*@x", 1)},
     {e("*@x", 6), e("@x", 2)},
     "*@x@6 @x@2"},
    {"the user's list order leads",
     {e("a", 1), e("b", 1)},
     {e("b", 1), e("a", 1), e("c", 1)},
     {e("z", 1), e("a", 1), e("b", 1)},
     "b@1 a@1 c@1 z@1"},
};

INSTANTIATE_TEST_SUITE_P(Lists, ListEdits, ::testing::ValuesIn(kCases), vltest::RowName());

TEST(ListEditsOptions, TheUsersListOptionsWin) {
    DataListEmailMatch stored = l({e("a", 1)});
    DataListEmailMatch after = l({e("a", 1)});
    after.options.sortByDomain = true;
    after.options.expireEmail = true;
    after.options.expireEmailAfter = 30;
    const DataListEmailMatch result = applyListEdits(stored, l({e("a", 1)}), after);
    EXPECT_TRUE(result.options.sortByDomain);
    EXPECT_TRUE(result.options.expireEmail);
    EXPECT_EQ(result.options.expireEmailAfter, 30);
}

} // namespace
