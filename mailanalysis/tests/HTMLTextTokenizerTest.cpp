#include "HTMLTextTokenizer.h"
#include "HTMLParserLib/HTMLParser.h"
#include "HTMLTagLibrary.h"
#include "TextTokenizer.h"

#include <gtest/gtest.h>

namespace {

using Words = std::vector<std::wstring>;

Words htmlWords(const std::wstring &html, bool finish = true) {
    Words words;
    TokenStoreHandler store(words);
    HTMLTextTokenizer tokenizer(store, "");
    HTMLParser::parseHTML(tokenizer, html, !finish);
    return words;
}

struct HTMLWordsCase {
    const char *name;
    std::wstring html;
    Words words;
};

void PrintTo(const HTMLWordsCase &c, std::ostream *os) {
    *os << c.name;
}

class HTMLWords : public ::testing::TestWithParam<HTMLWordsCase> {};

TEST_P(HTMLWords, GivesTheExpectedWords) {
    EXPECT_EQ(htmlWords(GetParam().html), GetParam().words);
}

const HTMLWordsCase htmlWordsCases[] = {
    {"InlineTagsJoin",
     L"spam<b>mer</b> and <span>hid</span>den <font color=red>fo</font>nt",
     {L"spammer", L"and", L"hidden", L"font"}},
    {"BlockTagsBreak",
     L"spam<p>mer <div>hid</div>den <td>a</td>b c<br>d",
     {L"spam", L"mer", L"hid", L"den", L"a", L"b", L"c", L"d"}},
    {"UnknownTagDoesNotBreak", L"spam<madeup>mer</madeup>", {L"spammer"}},
    {"NamespacedTagDoesNotBreak", L"spam<o:p>mer</o:p>", {L"spammer"}},
    {"UpperCaseBreakingTag", L"spam<BR>mer", {L"spam", L"mer"}},
    {"EntitiesDecoded", L"caf&eacute; &amp; R&amp;D don&#39;t", {L"caf", L"r", L"d", L"don't"}},
    {"ScriptStyleCommentsAndAttributesNotTokenized",
     L"<script>var secret;</script><style>.hidden{}</style><!-- comment --><img alt=\"alt text\">visible",
     {L"visible"}},
};

INSTANTIATE_TEST_SUITE_P(Tokenizer, HTMLWords, ::testing::ValuesIn(htmlWordsCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(HTMLWords, TextWithoutTagsGivesThePlainTextWords) {
    const std::wstring text = L"Don't miss our $100 offer: 50% off mp3s, rock'n'roll & more!\n Caf\u00e9.";
    EXPECT_EQ(htmlWords(text), TextTokenizer::tokenize(text));
}

TEST(HTMLWords, RemainingWordsSentAtTheEnd) {
    EXPECT_EQ(htmlWords(L"<p>one two", true), (Words{L"one", L"two"}));
    EXPECT_EQ(htmlWords(L"<p>one two", false), Words{});
}

TEST(HTMLTagLibrary, Table) {
    const auto &tags = HTMLTagLibrary::getTags();
    EXPECT_EQ(tags.size(), 107u);
    EXPECT_EQ(tags.begin()->first, "a");
    EXPECT_EQ(tags.rbegin()->first, "xmp");
    EXPECT_EQ(HTMLTagLibrary::findTag("A"), nullptr);
    EXPECT_FALSE(HTMLTagLibrary::tagBreaksTokens("madeup"));

    const auto *a = HTMLTagLibrary::findTag("a");
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(a->breaksTokens);
    EXPECT_EQ(a->attributes.size(), 17u + 18u);
    EXPECT_TRUE(a->attributes.count("language") && a->attributes.count("href") && a->attributes.count("urn"));
    EXPECT_EQ(a->furtherAttributes, (std::unordered_set<std::string>{"eudora"}));

    const auto *keygen = HTMLTagLibrary::findTag("keygen");
    ASSERT_NE(keygen, nullptr);
    EXPECT_EQ(keygen->attributes, (std::unordered_set<std::string>{"challenge", "name"}));
    EXPECT_TRUE(keygen->furtherAttributes.empty());

    int breaking = 0;
    for (const auto &[name, info] : tags)
        breaking += info.breaksTokens;
    EXPECT_EQ(breaking, 57);
    for (const char *name : {"br", "p", "div", "td", "title", "xmp", "img", "table"})
        EXPECT_TRUE(HTMLTagLibrary::tagBreaksTokens(name)) << name;
    for (const char *name : {"a", "b", "font", "span", "script", "style", "meta", "wbr"})
        EXPECT_FALSE(HTMLTagLibrary::tagBreaksTokens(name)) << name;
}

} // namespace
