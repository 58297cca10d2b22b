#include "TextTokenizer.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using Words = std::vector<std::wstring>;

struct SplitCase {
    const char *name;
    std::wstring text;
    Words words;
};

void PrintTo(const SplitCase &c, std::ostream *os) {
    *os << c.name;
}

class WordSplitting : public ::testing::TestWithParam<SplitCase> {};

TEST_P(WordSplitting, GivesTheExpectedWords) {
    EXPECT_EQ(TextTokenizer::tokenize(GetParam().text), GetParam().words);
}

const SplitCase splitCases[] = {
    {"Apostrophe", L"Don't", {L"don't"}},
    {"InnerApostrophes", L"rock'n'roll", {L"rock'n'roll"}},
    {"ApostropheThenDot", L"it's.", {L"it's"}},
    {"TrailingApostropheDropped", L"dogs'", {L"dogs"}},
    {"LeadingApostropheSkipped", L"'quoted' text", {L"quoted", L"text"}},
    {"DollarIsALetter", L"A$AP", {L"a$ap"}},
    {"DollarAmount", L"$100", {L"$100"}},
    {"DigitsAloneDropped", L"100 2004-05-06", {}},
    {"DigitsWithLetter", L"mp3 3d", {L"mp3", L"3d"}},
    {"ApostropheBetweenDigitsMakesAWord", L"5'5", {L"5'5"}},
    {"AccentEndsWord", L"Caf\u00e9 noir", {L"caf", L"noir"}},
    {"CyrillicGivesNothing", L"\u041f\u0440\u0438\u0432\u0435\u0442", {}},
    {"NonAsciiEndsEmptyWordThenLettersFollow", L"\u00e9abc", {L"abc"}},
    {"NoBreakSpaceSeparates", L"HELLO\u00a0World", {L"hello", L"world"}},
    {"MixedCaseAndPunctuation", L"  Hello, WORLD!!  (Foo_bar) ", {L"hello", L"world", L"foo", L"bar"}},
    {"OnlyAsciiLettersFold", L"ABCXYZ", {L"abcxyz"}},
    {"EmptyText", L"", {}},
    {"OnlySeparators", L" .,;\t\r\n", {}},
};

INSTANTIATE_TEST_SUITE_P(Table, WordSplitting, ::testing::ValuesIn(splitCases),
                         [](const auto &info) { return std::string(info.param.name); });

class Recorder : public ITokenHandler {
public:
    void handleToken(const std::string &context, const std::wstring &text) override {
        calls.emplace_back(context, text);
    }
    std::vector<std::pair<std::string, std::wstring>> calls;
};

TEST(WordSplitting, PassesTheContextWithEveryWord) {
    Recorder recorder;
    TextTokenizer::tokenize(recorder, "subject", L"Cheap pills");
    ASSERT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[0], std::make_pair(std::string("subject"), std::wstring(L"cheap")));
    EXPECT_EQ(recorder.calls[1], std::make_pair(std::string("subject"), std::wstring(L"pills")));
}

TEST(WordSplitting, LongWordsAreNotCutBySplitter) {
    const std::wstring word(200, L'x');
    EXPECT_EQ(TextTokenizer::tokenize(L"<" + word + L">"), Words{word});
}

TEST(WordSplitting, TokenCharacters) {
    for (wchar_t c :
         {L'0', L'9', L'a', L'Z', L'$', wchar_t(0x80), wchar_t(0x9F), wchar_t(0xA1), wchar_t(0x10FFFF)}) {
        EXPECT_TRUE(is_token_character(c)) << int(c);
    }
    for (wchar_t c : {L'\'', L'-', L'_', L' ', L'\t', wchar_t(0), wchar_t(0x7F), wchar_t(0xA0)}) {
        EXPECT_FALSE(is_token_character(c)) << int(c);
    }
}

TEST(NamePieces, SplitsAtDotsAndDashes) {
    EXPECT_EQ(TextTokenizer::tokenizeName(L"a.b-c"), (Words{L"a", L"b-c", L"a.b", L"c"}));
    EXPECT_EQ(TextTokenizer::tokenizeName(L"plain"), Words{});
    EXPECT_EQ(TextTokenizer::tokenizeName(L".x."), (Words{L"x.", L".x"}));
    EXPECT_EQ(TextTokenizer::tokenizeName(L"-"), Words{});
}

} // namespace
