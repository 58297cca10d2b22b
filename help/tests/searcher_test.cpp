#include "help/searcher.h"
#include "help_fixture.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <algorithm>
#include <ostream>

using helptest::dataDir;

namespace {

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

QStringList split(const char *text) {
    return QString::fromUtf8(text).split(u'|', Qt::SkipEmptyParts);
}

struct SearchCase {
    const char *name;
    const char *words;   // "|"-separated
    const char *phrases; // "|"-separated
    const char *found;   // "|"-separated, best first
    bool ordered;        // false: equal scores, compare as sets
};

void PrintTo(const SearchCase &c, std::ostream *os) {
    *os << c.name;
}

// book1: mail on intro, install, instance, common; install (book1) twice on install and on
// intro; instance on install and instance; server on install, twice on instance, notitle.
// book2 redefines install (only its own common.html) and adds filter (extras, common).
const SearchCase searchCases[] = {
    {"SingleWord", "server", "", "instance.html|install.html|notitle.html", true},
    {"BestFirst", "mail|server", "", "instance.html|install.html", true},
    {"NonKeywordEmptiesTheResult", "mail|nosuch|server", "", "", true},
    {"LookUpIsCaseSensitive", "Mail", "", "", true},
    {"LaterBookWins", "install", "", "common.html", true},
    {"SameNameInTwoBooksIsTwoPages", "mail|filter", "", "", true},
    {"WildcardTakesEachPageOnce", "inst*", "", "common.html|install.html|instance.html|intro.html", false},
    {"WildcardMatchesAnywhereIgnoringCase", "*TANC?", "", "install.html|instance.html", false},
    {"WildcardPagesAreTheirBooks", "inst*|mail", "", "install.html|instance.html|intro.html", false},
    {"WildcardMatchingNothing", "qq*", "", "", true},
    {"WildcardMatchingNothingEmptiesOthers", "mail|qq*", "", "", true},
    {"WildcardRegexCharactersAreLiteral", "ma.l*", "", "", true},
    {"NoWords", "", "", "", true},
    {"PhraseAtTheEndOfTheList", "server", "server instance", "install.html", true},
    {"AnyOfSeveralPhrases", "server", "instance server|server instance", "instance.html|install.html", true},
    {"PhraseOfNonKeywordsNeedsANonEmptyList", "server", "zzz yyy", "instance.html|install.html", true},
};

class HelpSearchTable : public ::testing::TestWithParam<SearchCase> {};

TEST_P(HelpSearchTable, FindsPages) {
    const SearchCase &c = GetParam();
    helptest::Library library;
    ASSERT_TRUE(library.load({"book1.xml", "book2.xml"}));
    SOSearcher searcher(dataDir(), library.keywords);
    const QStringList found = searcher.search(split(c.words), split(c.phrases));
    if (c.ordered)
        EXPECT_EQ(found, split(c.found));
    else
        EXPECT_EQ(sorted(found), split(c.found));
}

INSTANTIATE_TEST_SUITE_P(Help, HelpSearchTable, ::testing::ValuesIn(searchCases),
                         [](const auto &info) { return std::string(info.param.name); });

struct PhraseCase {
    const char *name;
    const char *phrases;
    const char *page;
    bool found;
};

void PrintTo(const PhraseCase &c, std::ostream *os) {
    *os << c.name;
}

// intro.wl 1 2; install.wl 2 1 4 3; instance.wl 3 4; notitle.wl empty.
const PhraseCase phraseCases[] = {
    {"WholeList", "install mail server instance", "install.html", true},
    {"AtTheStart", "install mail", "install.html", true},
    {"AtTheEnd", "server instance", "install.html", true},
    {"OutOfOrder", "mail install", "install.html", false},
    {"LongerThanTheList", "mail server instance", "instance.html", false},
    {"MuchLongerThanTheList", "install mail server instance install mail", "intro.html", false},
    {"NonKeywordsLeftOut", "server nosuch instance", "instance.html", false},
    {"NonKeywordsLeftOutBetween", "instance nosuch server", "instance.html", true},
    {"OnlyNonKeywordsNonEmptyList", "zzz yyy", "intro.html", true},
    {"OnlyNonKeywordsEmptyList", "zzz yyy", "notitle.html", false},
    {"KeywordInEmptyList", "mail", "notitle.html", false},
    {"PageWithoutDot", "mail install", "intro", true},
};

class HelpPhraseTable : public ::testing::TestWithParam<PhraseCase> {};

TEST_P(HelpPhraseTable, FindsPhrases) {
    const PhraseCase &c = GetParam();
    helptest::Library library;
    ASSERT_TRUE(library.load({"book1.xml"}));
    SOSearcher searcher(dataDir(), library.keywords);
    EXPECT_EQ(searcher.findPhrases(split(c.phrases), QString::fromUtf8(c.page)), c.found);
}

INSTANTIATE_TEST_SUITE_P(Help, HelpPhraseTable, ::testing::ValuesIn(phraseCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(HelpSearcher, MissingWordListIsTriedOnce) {
    helptest::Library library;
    ASSERT_TRUE(library.load({"book1.xml"}));
    SOSearcher searcher(dataDir(), library.keywords);
    const QStringList words = {QStringLiteral("quick")};
    const QStringList phrases = {QStringLiteral("quick")};
    ::testing::internal::CaptureStderr();
    const QStringList first = searcher.search(words, phrases);
    const QStringList second = searcher.search(words, phrases);
    const std::string trace = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(first.isEmpty());
    EXPECT_TRUE(second.isEmpty());
    EXPECT_EQ(searcher.search(words, {}), QStringList({QStringLiteral("nolist.html")}));
    const std::string line = "SOSearcher::findPhrases: nolist.wl: cannot open\n";
    EXPECT_EQ(trace, line);
}

TEST(HelpSearcher, FoundPhraseIsTraced) {
    helptest::Library library;
    ASSERT_TRUE(library.load({"book1.xml"}));
    SOSearcher searcher(dataDir(), library.keywords);
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(searcher.findPhrases({QStringLiteral("server instance")}, QStringLiteral("install.html")));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "SOSearcher::findPhrases: at [2] in [install.html]\n");
}

TEST(HelpSearcher, DocumentTitles) {
    helptest::Library library;
    ASSERT_TRUE(library.load({"book1.xml"}));
    SOSearcher searcher(dataDir(), library.keywords);
    const struct {
        const char *page;
        const char *title;
    } cases[] = {
        {"intro.html", "Intro"},                    // tags in any case
        {"install.html", "Installing & upgrading"}, // plain text: trimmed, entities decoded
        {"notitle.html", "notitle.html"},           // no title: the page name
        {"blanktitle.html", "blanktitle.html"},     // only white space: the page name
        {"missing.html", "missing.html"},           // unreadable: the page name
    };
    for (const auto &c : cases)
        EXPECT_EQ(searcher.getDocumentTitle(QString::fromUtf8(c.page)), QString::fromUtf8(c.title)) << c.page;
}

TEST(HelpSearcher, TitleReader) {
    const struct {
        const char *page;
        const char *title; // nullptr: no title
    } cases[] = {
        {"<title>A</title>", "A"},     {"<TITLE>Intro</Title>", "Intro"},
        {"<title></title>", ""},       {"<title>A</title><title>B</title>", "A"},
        {"</title><title>A", nullptr}, {"<title>A", nullptr},
        {"no tags", nullptr},          {"<title>x <b>y</b>\n</TITLE>", "x <b>y</b>\n"},
    };
    for (const auto &c : cases) {
        const QString title = SOSearcher::titleOf(QString::fromUtf8(c.page));
        if (c.title)
            EXPECT_EQ(title, QString::fromUtf8(c.title)) << c.page;
        else
            EXPECT_TRUE(title.isNull()) << c.page;
    }
}

TEST(HelpSearcher, PlainTitles) {
    const struct {
        const char *raw;
        const char *plain;
    } cases[] = {
        {" Installing &amp; upgrading ", "Installing & upgrading"},
        {"Tabs\tand\n  new\r\nlines", "Tabs and new lines"},
        {"&lt;b&gt; &quot;q&quot; &#65;&#x42; &eacute;", "<b> \"q\" AB \u00e9"},
        {"R&amp;D &amp;amp;", "R&D &amp;"}, // decoded once only
        {"A &unknown; & B &", "A &unknown; & B &"},
        {"a&nbsp;b", "a b"},                                // a no-break space is white space too
        {"&#0;x&#1114112;&#xD800;y", "&#0;x\ufffd\ufffdy"}, // no such character
        {"  \n ", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SOSearcher::plainTitle(QString::fromUtf8(c.raw)), QString::fromUtf8(c.plain)) << c.raw;
}

TEST(HelpSearcher, WordListLines) {
    const struct {
        const char *bytes;
        QList<int> numbers;
    } cases[] = {
        {"", {}},
        {"1\n2\n", {1, 2}},
        {"1\r\n2", {1, 2}},
        {" 7 \nx\n\n12abc\n3", {7, 0, 0, 0, 3}},
        {"99999999999\n-4\n", {0, -4}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SOSearcher::readWordList(QByteArray(c.bytes)), c.numbers) << c.bytes;
}

TEST(HelpSearcher, ScoresCountOccurrencesAndTiesKeepTheFirstTermsOrder) {
    QTreeWidget contents;
    QTreeWidget index;
    SOHelpKeywords keywords;
    SOHelpParser parser(&contents, &index, keywords);
    ASSERT_TRUE(parser.parse(QByteArrayLiteral(
        R"(<help><keyfiles><keyfile ref="a.html"/><keyfile ref="b.html"/><keyfile ref="c.html"/></keyfiles>
           <keywords><keyword id="1" word="one"><keyoccurs id="2"/><keyoccurs id="0"/><keyoccurs id="1"/></keyword>
           <keyword id="2" word="two"><keyoccurs id="1"/><keyoccurs id="1"/><keyoccurs id="0"/><keyoccurs id="2"/>
           </keyword></keywords></help>)")));
    SOSearcher searcher(dataDir(), keywords);
    // b scores 1 + 2; c and a 1 + 1 each, in the order of "one".
    EXPECT_EQ(searcher.search({QStringLiteral("one"), QStringLiteral("two")}, {}),
              QStringList({QStringLiteral("b.html"), QStringLiteral("c.html"), QStringLiteral("a.html")}));
    // A page used twice by the only word is listed once.
    EXPECT_EQ(searcher.search({QStringLiteral("two")}, {}),
              QStringList({QStringLiteral("b.html"), QStringLiteral("a.html"), QStringLiteral("c.html")}));
}

} // namespace
