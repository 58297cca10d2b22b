// The entity table against Python's html.entities, and reference decoding and encoding.

#include "HTMLCharacterEncoding.h"
#include "testsupport/ChildProcess.h"

#include "cpp/CUtils.h"
#include "testsupport/TestNames.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <sstream>

namespace {

// name -> code as Python lists the HTML 4.01 entities (name2codepoint).
std::map<std::string, int> pythonEntities() {
    const auto result = vltest::runCommand({"/usr/bin/python3", "-c",
                                            "import html.entities as e\n"
                                            "for n, c in sorted(e.name2codepoint.items()): print(n, c)\n"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::map<std::string, int> table;
    std::istringstream in(result.out);
    std::string name;
    int code;
    while (in >> name >> code)
        table[name] = code;
    return table;
}

std::map<wchar_t, std::string> pythonNamesByCode() {
    const auto result = vltest::runCommand({"/usr/bin/python3", "-c",
                                            "import html.entities as e\n"
                                            "for c, n in sorted(e.codepoint2name.items()): print(c, n)\n"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::map<wchar_t, std::string> table;
    std::istringstream in(result.out);
    int code;
    std::string name;
    while (in >> code >> name)
        table[static_cast<wchar_t>(code)] = name;
    return table;
}

TEST(HTMLCharacterEntities, NamesAreHTML401PlusTheThreeOlderNames) {
    auto expected = pythonEntities();
    ASSERT_EQ(expected.size(), 252u);
    expected["brkbar"] = 166;
    expected["die"] = 168;
    expected["hibar"] = 175;
    EXPECT_EQ(getCharacterEntities().HTMLEntitiesByName, expected);
    EXPECT_EQ(HTMLEntityCount, 255u);
}

TEST(HTMLCharacterEntities, CodesEncodeToTheHTML401Names) {
    const auto expected = pythonNamesByCode();
    ASSERT_EQ(expected.size(), 252u);
    EXPECT_EQ(getCharacterEntities().HTMLEntitiesByCode, expected);
}

TEST(HTMLCharacterEntities, RowOrder) {
    const char *first[] = {"quot", "amp", "lt", "gt", "nbsp"};
    for (int i = 0; i < 5; ++i)
        EXPECT_STREQ(_HTMLEntities[i].name, first[i]);
    EXPECT_STREQ(_HTMLEntities[HTMLEntityCount - 1].name, "euro");
    // Each older name sits directly before the HTML 4.01 name of the same code.
    for (const auto &[older, newer] : {std::pair{"brkbar", "brvbar"}, {"die", "uml"}, {"hibar", "macr"}}) {
        std::size_t i = 0;
        while (i < HTMLEntityCount && std::string(_HTMLEntities[i].name) != older)
            ++i;
        ASSERT_LT(i + 1, HTMLEntityCount) << older;
        EXPECT_STREQ(_HTMLEntities[i + 1].name, newer);
        EXPECT_EQ(_HTMLEntities[i].code, _HTMLEntities[i + 1].code);
    }
    // Latin-1 rows run in code order from 160 to 255, then fnof.
    int previous = 159;
    std::size_t i = 4;
    for (; _HTMLEntities[i].code <= 255; ++i) {
        EXPECT_GE(_HTMLEntities[i].code, previous);
        previous = _HTMLEntities[i].code;
    }
    EXPECT_EQ(previous, 255);
    EXPECT_STREQ(_HTMLEntities[i].name, "fnof");
}

struct DecodeCase {
    const char *name;
    std::wstring text;
    std::wstring decoded;
};

const DecodeCase decodeCases[] = {
    {"named with semicolon", L"&amp;", L"&"},
    {"named without semicolon before a blank", L"&amp x", L"& x"},
    {"decimal", L"&#38;", L"&"},
    {"hex lower x", L"&#x26;", L"&"},
    {"hex upper X and digits", L"&#X2a;&#x2A;", L"**"},
    {"numeric without semicolon", L"&#38x", L"&x"},
    {"only one semicolon is consumed", L"&lt;;", L"<;"},
    {"names are case-sensitive", L"&AMP;", L"&AMP;"},
    {"longer unknown name stays literal", L"&ampx;", L"&ampx;"},
    {"older and HTML 4.01 names share 166", L"&brkbar;&brvbar;", L"\xa6\xa6"},
    {"the other older names", L"&die;&hibar;", L"\xa8\xaf"},
    {"Greek and symbols", L"&Omega;&hellip;&euro;", L"\x3a9\x2026\x20ac"},
    {"zero stays literal", L"&#0;&#x0;", L"&#0;&#x0;"},
    {"no digits stays literal", L"&#;&#x;&#", L"&#;&#x;&#"},
    {"ampersand at the end", L"a&", L"a&"},
    {"apos is not an HTML 4.01 name", L"&apos;", L"&apos;"},
    {"above the BMP", L"&#x1F600;", L"\x1F600"},
    {"digits beyond 32 bits saturate rather than wrap to &", L"&#4294967334;|&#x100000026;",
     std::wstring(1, wchar_t(INT_MAX)) + L"|" + std::wstring(1, wchar_t(INT_MAX))},
    {"digits beyond 32 bits saturate rather than wrap to 0", L"&#4294967296;",
     std::wstring(1, wchar_t(INT_MAX))},
    {"a very long digit run is consumed whole", L"&#" + std::wstring(5000, L'9') + L";x",
     std::wstring(1, wchar_t(INT_MAX)) + L"x"},
};

class DecodeTable : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTable, DecodeCDATA) {
    EXPECT_EQ(CharacterData::decodeCDATA(GetParam().text, true), GetParam().decoded);
}

INSTANTIATE_TEST_SUITE_P(CharacterData, DecodeTable, ::testing::ValuesIn(decodeCases), vltest::RowName());

TEST(CharacterData, DecodeCharacterEntityMovesOnlyOnSuccess) {
    const std::wstring text = L"&lt;rest";
    CharacterData::iterator it = text.begin();
    EXPECT_EQ(CharacterData::decodeCharacterEntity(it, text.end()), L'<');
    EXPECT_EQ(it - text.begin(), 4);

    const std::wstring bad = L"&nosuch;";
    it = bad.begin();
    EXPECT_EQ(CharacterData::decodeCharacterEntity(it, bad.end()), 0);
    EXPECT_EQ(it, bad.begin());

    // A reference cut by the end of the range never reads beyond it.
    const std::wstring cut = L"&#x4";
    for (std::size_t len = 0; len <= cut.size(); ++len) {
        it = cut.begin();
        const int code = CharacterData::decodeCharacterEntity(it, cut.begin() + len);
        EXPECT_EQ(code, len == 4 ? 4 : 0) << len;
    }
}

TEST(CharacterData, NulDropping) {
    const std::wstring text(L"a\0b", 3);
    EXPECT_EQ(CharacterData::decodeCDATA(text, true), L"ab");
    EXPECT_EQ(CharacterData::decodeCDATA(text, false), text);
}

TEST(CharacterData, Encode) {
    EXPECT_EQ(CharacterData::encodeCharacterEntity(L'&'), "&amp;");
    EXPECT_EQ(CharacterData::encodeCharacterEntity(166), "&brvbar;");
    EXPECT_EQ(CharacterData::encodeCharacterEntity(168), "&uml;");
    EXPECT_EQ(CharacterData::encodeCharacterEntity(175), "&macr;");
    EXPECT_EQ(CharacterData::encodeCharacterEntity(0x20ac), "&euro;");
    EXPECT_EQ(CharacterData::encodeCharacterEntity(0x100), "&#256;");
    EXPECT_EQ(CharacterData::encodeCharacterEntity(L'\''), "&#39;");

    const std::wstring text = L"a<b>&\"c'\n\t\x7f\xe9\x20ac~";
    const std::string encoded = "a&lt;b&gt;&amp;&quot;c'&#10;&#9;\x7f&eacute;&euro;~";
    EXPECT_EQ(CharacterData::encodeCDATA(text, false), encoded);
    EXPECT_EQ(CharacterData::encodeCDATA(text, true), encoded);
}

TEST(CharacterData, EncodeThenDecodeRoundTrips) {
    std::wstring all;
    for (wchar_t c = 1; c < 0x2200; ++c)
        all += c;
    const std::string encoded = CharacterData::encodeCDATA(all, false);
    EXPECT_EQ(CharacterData::decodeCDATA(string_to_wstring(encoded), true), all);
}

} // namespace
