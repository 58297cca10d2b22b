#include "AsciiText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr auto npos = std::string_view::npos;

TEST(AsciiText, FoldsOnlyAsciiLetters) {
    const struct {
        const char *a;
        const char *b;
        bool equal;
    } cases[] = {
        {"Content-Type", "content-type", true},
        {"", "", true},
        {"ISO-2022-JP", "iso-2022-jp", true},
        {"\xC4", "\xE4", false}, // Latin-1 letters are bytes, not letters
        {"[", "{", false},       // 5B and 7B differ by the case bit, but are no letters
        {"@", "`", false},
        {"abc", "abcd", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(Ascii::equalsI(c.a, c.b), c.equal) << c.a << " / " << c.b;
    EXPECT_TRUE(Ascii::equalsI(std::wstring_view(L"TITLE"), std::wstring_view(L"title")));
    EXPECT_FALSE(Ascii::equalsI(std::wstring_view(L"\x130"), std::wstring_view(L"i")));
}

TEST(AsciiText, PrefixesAndSearches) {
    EXPECT_TRUE(Ascii::startsWithI("Received: from x", "received: "));
    EXPECT_FALSE(Ascii::startsWithI("Rec", "received"));
    EXPECT_TRUE(Ascii::startsWithI(std::wstring_view(L"</SCRIPT>"), std::wstring_view(L"</script")));

    const std::string_view line = "Received: from a for <x> FOR <y>";
    EXPECT_EQ(Ascii::findI(line, "for "), 17u);
    EXPECT_EQ(Ascii::findI(line, "for ", 18), 25u);
    EXPECT_EQ(Ascii::rfindI(line, "for "), 25u);
    EXPECT_EQ(Ascii::rfindI(line, "for ", 26), npos); // must start at or after 26
    EXPECT_EQ(Ascii::rfindI(line, "received"), 0u);
    EXPECT_EQ(Ascii::findI("ab", "abc"), npos);
    EXPECT_EQ(Ascii::rfindI("ab", "abc"), npos);
    EXPECT_EQ(Ascii::findI("abc", ""), 0u);
    EXPECT_TRUE(Ascii::containsI("multipart/MIXED", "mixed"));
    EXPECT_FALSE(Ascii::containsI("", "x"));
}

TEST(AsciiText, TrimsSpaceTabCrLfOnly) {
    EXPECT_EQ(Ascii::trim(" \t\r\nvalue \r\n"), "value");
    EXPECT_EQ(Ascii::trim("\v\fx\v"), "\v\fx\v");
    EXPECT_EQ(Ascii::trim("   "), "");
    EXPECT_EQ(Ascii::trim(""), "");
    EXPECT_TRUE(Ascii::isBlank('\t'));
    EXPECT_FALSE(Ascii::isBlank('\n'));
    EXPECT_TRUE(Ascii::isSpace('\n'));
}

} // namespace
