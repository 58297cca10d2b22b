#include "help_fixture.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <QTreeWidget>

#include <algorithm>
#include <ostream>

using helptest::dump;

namespace {

// Every dictionary entry as "word id: book/file ...", sorted (iteration order is a hash's).
QString dumpKeywords(const SOHelpKeywords &keywords) {
    QStringList lines;
    const SOHelpDictionary &dictionary = keywords.dictionary();
    for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it) {
        QString line = QString::fromLatin1(it.key()) + u' ' + QString::number(it.value()->number()) + u':';
        for (const SOHelpDocument &document : it.value()->documents())
            line += QStringLiteral(" %1/%2").arg(document.page().book).arg(document.page().file);
        lines << line;
    }
    std::sort(lines.begin(), lines.end());
    return lines.join(u'\n');
}

struct ParseCase {
    const char *name;
    const char *book;
    bool ok;
    const char *contents;
    const char *index;
    const char *keywords;
};

void PrintTo(const ParseCase &c, std::ostream *os) {
    *os << c.name;
}

const ParseCase parseCases[] = {
    {"NestedRowsKeepDocumentOrder",
     R"(<help><contents title="T">
          <section title="A" ref="a.html"><section title="A1" ref="a.html#1">
            <section title="A1x" ref="x.html"/></section><section title="A2" ref="a2.html"/></section>
          <section title="B" ref="b.html"/></contents>
        <index><item title="z" ref="z.html"><item title="y" ref="y.html"/></item><item title="a" ref="a.html"/>
        </index></help>)",
     true, "A -> a.html\n  A1 -> a.html#1\n    A1x -> x.html\n  A2 -> a2.html\nB -> b.html\n",
     "z -> z.html\n  y -> y.html\na -> a.html\n", ""},
    {"KeyoccursOutsideKeywordFailsAndKeepsEarlierRows",
     R"(<help><contents><section title="A" ref="a.html"/></contents>
        <index><item title="i" ref="i.html"/></index>
        <keyfiles><keyfile ref="a.html"/></keyfiles>
        <keywords><keyword id="3" word="mail"><keyoccurs id="0"/></keyword><keyoccurs id="0"/>
        <keyword id="4" word="late"/></keywords>
        <contents><section title="never" ref="n.html"/></contents></help>)",
     false, "A -> a.html\n", "i -> i.html\n", "mail 3: 0/0"},
    {"OccurrenceOfNoKeyFileAddsNothing",
     R"(<help><keyfiles><keyfile ref="a.html"/><keyfile ref="b.html"/></keyfiles>
        <keywords><keyword id="7" word="mail">
          <keyoccurs id="1"/><keyoccurs id="2"/><keyoccurs id="-1"/><keyoccurs id="one"/><keyoccurs id=""/>
          <keyoccurs/><keyoccurs id="0"/></keyword></keywords></help>)",
     true, "", "", "mail 7: 0/1 0/0"},
    {"KeyFilesListedAfterTheKeywordsAreNotYetPages",
     R"(<help><keywords><keyword id="1" word="mail"><keyoccurs id="0"/></keyword></keywords>
        <keyfiles><keyfile ref="a.html"/></keyfiles></help>)",
     true, "", "", "mail 1:"},
    {"UnknownElementFails",
     R"(<help><contents><section title="A" ref="a.html"><para>text</para></section>
        <section title="B" ref="b.html"/></contents></help>)",
     false, "A -> a.html\n", "", ""},
    {"ElementNamesAreCaseSensitive", R"(<help><Contents title="T"/></help>)", false, "", "", ""},
    {"MalformedXmlFails", R"(<help><contents><section title="A" ref="a.html"></contents></help>)", false,
     "A -> a.html\n", "", ""},
    {"TitlesShowAsOneTidyLine",
     "<help><contents title=\" T \"><section title=\"  Getting\n   started &amp;\tmore \" ref=\"a.html\"/>"
     "</contents><index><item title=\" &lt;i&gt; \" ref=\"i.html\"/></index></help>",
     true, "Getting started & more -> a.html\n", "<i> -> i.html\n", ""},
    {"TextIsIgnored", R"(<help>some words<contents title="T">more<section title="A" ref="">x</section>
        </contents></help>)",
     true, "A -> \n", "", ""},
};

class HelpParseTable : public ::testing::TestWithParam<ParseCase> {};

TEST_P(HelpParseTable, BuildsRowsAndKeywords) {
    const ParseCase &c = GetParam();
    QTreeWidget contents;
    QTreeWidget index;
    SOHelpKeywords keywords;
    SOHelpParser parser(&contents, &index, keywords);
    EXPECT_EQ(parser.parse(QByteArray(c.book)), c.ok) << qPrintable(parser.errorString());
    EXPECT_EQ(parser.errorString().isEmpty(), c.ok);
    EXPECT_EQ(dump(contents), QString::fromUtf8(c.contents));
    EXPECT_EQ(dump(index), QString::fromUtf8(c.index));
    EXPECT_EQ(dumpKeywords(keywords), QString::fromUtf8(c.keywords));
}

INSTANTIATE_TEST_SUITE_P(Help, HelpParseTable, ::testing::ValuesIn(parseCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(HelpParser, TwoBooksUnderTheirRows) {
    helptest::Library library;
    ASSERT_TRUE(library.load({"book1.xml", "book2.xml"}));
    EXPECT_EQ(library.titles, QStringList({QStringLiteral("Velloran Guide"), QStringLiteral("Extras")}));
    EXPECT_EQ(dump(library.contents), QStringLiteral("BOOK -> \n"
                                                     "  Getting started -> intro.html\n"
                                                     "    Installing -> install.html\n"
                                                     "      Upgrading -> install.html#upgrade\n"
                                                     "    Instances -> instance.html\n"
                                                     "  Shared topics -> common.html\n"
                                                     "BOOK -> \n"
                                                     "  Shared topics again -> common.html\n"
                                                     "  Filters -> extras.html\n"));
    // The index list holds both books' items in the books' order, not sorted.
    EXPECT_EQ(dump(library.index), QStringLiteral("install -> install.html\n"
                                                  "  upgrade -> install.html#upgrade\n"
                                                  "instance -> instance.html\n"
                                                  "introduction -> intro.html\n"
                                                  "filters -> extras.html\n"));
}

TEST(HelpParser, LaterBookWinsAWordBothDefine) {
    helptest::Library library;
    ASSERT_TRUE(library.load({"book1.xml", "book2.xml"}));
    const SOHelpDictionary &dictionary = library.keywords.dictionary();
    EXPECT_EQ(dictionary.count("install"), 2);
    const SOHelpIndex *install = dictionary.value("install");
    ASSERT_NE(install, nullptr);
    EXPECT_EQ(install->number(), 1);
    ASSERT_EQ(install->documents().size(), 1);
    EXPECT_EQ(library.keywords.pageName(install->documents().first().page()), QStringLiteral("common.html"));
    EXPECT_EQ(install->documents().first().page().book, 1);
    EXPECT_EQ(dictionary.value("Install"), nullptr);
    // The same file name in two books is two pages.
    EXPECT_EQ(library.keywords.pageName({0, 3}), library.keywords.pageName({1, 1}));
    EXPECT_FALSE(SOHelpPage({0, 3}) == SOHelpPage({1, 1}));
}

TEST(HelpParser, BookTitleIsEmptyWithoutContentsTitle) {
    QTreeWidget contents;
    QTreeWidget index;
    SOHelpKeywords keywords;
    auto *row = new ContentsItem(&contents, QStringLiteral("BOOK"), QString());
    SOHelpParser parser(row, &index, keywords);
    ASSERT_TRUE(parser.parse(
        QByteArrayLiteral("<help><contents><section title=\"A\" ref=\"a.html\"/></contents></help>")));
    EXPECT_TRUE(parser.bookTitle().isEmpty());
    // Only white space is no title either: the book row then reads "Untitled Book".
    SOHelpParser blank(row, &index, keywords);
    ASSERT_TRUE(blank.parse(QByteArrayLiteral("<help><contents title=\" \n \"/></help>")));
    EXPECT_TRUE(blank.bookTitle().isEmpty());
    SOHelpParser padded(row, &index, keywords);
    ASSERT_TRUE(padded.parse(QByteArrayLiteral("<help><contents title=\"  My\n  book \"/></help>")));
    EXPECT_EQ(padded.bookTitle(), QStringLiteral("My book"));
    EXPECT_EQ(dump(contents), QStringLiteral("BOOK -> \n  A -> a.html\n"));
}

} // namespace
