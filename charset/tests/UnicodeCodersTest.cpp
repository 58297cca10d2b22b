#include "UnicodeCoders.h"
#include "IconvHelper.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace Charsets::UnicodeCoders;
using charsettest::iconvConvert;

namespace {

struct DecodeCase {
    const char *name;
    std::wstring (*decoder)(const std::string &);
    std::string bytes;
    std::wstring expected;
};

std::string hexOf(const std::wstring &text) {
    std::string s;
    char buf[16];
    for (wchar_t c : text) {
        std::snprintf(buf, sizeof buf, "%s%04X", s.empty() ? "" : " ", static_cast<unsigned>(c));
        s += buf;
    }
    return s;
}

// Every Unicode scalar value once, in order.
std::wstring allScalarValues() {
    std::wstring all;
    all.reserve(0x110000 - 0x800);
    for (wchar_t c = 0; c <= 0x10FFFF; ++c) {
        if (c < 0xD800 || c > 0xDFFF)
            all.push_back(c);
    }
    return all;
}

} // namespace

TEST(UnicodeCoders, ByteOrderMarks) {
    const struct {
        std::string bytes;
        UnicodeEncoding expected;
    } cases[] = {
        {"", NoEncoding},
        {"\xFF", NoEncoding},
        {"\xFF\xFE", UTF16LE},
        {"\xFE\xFF", UTF16BE},
        {"\xEF\xBB\xBF", UTF8},
        {"\xEF\xBB", NoEncoding},
        {std::string("\xFF\xFE\x00\x00", 4), UTF32LE},
        {std::string("\xFF\xFE\x00", 3), UTF16LE},
        {std::string("\x00\x00\xFE\xFF", 4), UTF32BE},
        {"+/v8", UTF7},
        {"+/v9", NoEncoding}, // only the form ending in 38 counts
        {"+/v+", NoEncoding},
        {"A\xEF\xBB\xBF", NoEncoding},
    };
    for (const auto &c : cases)
        EXPECT_EQ(checkForBOM(c.bytes), c.expected) << hexOf(decodeLatin1(c.bytes));
}

TEST(UnicodeCoders, DecodesEdgeCases) {
    const std::wstring R(1, replacementChar);
    const DecodeCase cases[] = {
        {"utf8 euro", decodeUTF8, "\xE2\x82\xAC", L"\x20AC"},
        {"utf8 mark skipped", decodeUTF8,
         "\xEF\xBB\xBF"
         "A",
         L"A"},
        {"utf8 only first mark skipped", decodeUTF8, "\xEF\xBB\xBF\xEF\xBB\xBF", L"\xFEFF"},
        {"utf8 bad continuation read again", decodeUTF8, "\xC3\x28", R + L"("},
        {"utf8 FE inside sequence used up", decodeUTF8,
         "\xE2\xFE"
         "A",
         R + L"A"},
        {"utf8 truncated at end", decodeUTF8, "\xE2\x82", R + R},
        {"utf8 lone lead at end", decodeUTF8, "\xE2", R},
        {"utf8 stray continuation", decodeUTF8,
         "\x80"
         "A\xBF",
         R + L"A" + R},
        {"utf8 FE FF", decodeUTF8, "\xFE\xFF", R + R},
        {"utf8 four bytes", decodeUTF8, "\xF0\x9F\x98\x80", L"\x1F600"},
        {"utf8 largest", decodeUTF8, "\xF4\x8F\xBF\xBF", L"\x10FFFF"},
        {"utf8 ascii after long run", decodeUTF8, "abcdefghijklmnop\xC3\xA9qrstuvwxyz",
         L"abcdefghijklmnop\xE9qrstuvwxyz"},
        {"utf8 invalid in fast run", decodeUTF8, "abcdefg\x80hijklmnop", L"abcdefg" + R + L"hijklmnop"},
        // Overlong forms, surrogates and values beyond U+10FFFF are not characters.
        {"utf8 overlong NUL", decodeUTF8, "\xC0\x80", R},
        {"utf8 overlong slash", decodeUTF8, "\xE0\x80\xAF", R},
        {"utf8 overlong three-byte", decodeUTF8, "\xF0\x8F\xBF\xBF", R},
        {"utf8 surrogate", decodeUTF8, "\xED\xA0\x80", R},
        {"utf8 low surrogate", decodeUTF8,
         "\xED\xBF\xBF"
         "A",
         R + L"A"},
        {"utf8 above code space", decodeUTF8, "\xF4\x90\x80\x80", R},
        {"utf8 five bytes", decodeUTF8, "\xF8\x88\x80\x80\x80", R},
        {"utf8 six bytes", decodeUTF8,
         "\xFD\xBF\xBF\xBF\xBF\xBF"
         "A",
         R + L"A"},
        {"utf8 noncharacter kept", decodeUTF8, "\xEF\xBF\xBE", L"\xFFFE"},

        {"utf16le odd byte", decodeUTF16LE, std::string("A\0B", 3), L"A" + R},
        {"utf16be mark skipped", decodeUTF16BE, std::string("\xFE\xFF\x00\x41", 4), L"A"},
        {"utf16le mark skipped", decodeUTF16LE, std::string("\xFF\xFE\x41\x00", 4), L"A"},
        {"utf16le 32-bit mark not skipped", decodeUTF16LE, std::string("\xFF\xFE\x00\x00", 4),
         std::wstring(L"\xFEFF") + L'\0'},
        {"utf16be other mark kept", decodeUTF16BE, std::string("\xFF\xFE\x00\x41", 4),
         L"\xFFFE"
         L"A"},
        {"utf16 empty", decodeUTF16BE, "", L""},
        // Surrogate pairs give one character; halves without a partner give U+FFFD.
        {"utf16be pair", decodeUTF16BE, std::string("\xD8\x3D\xDE\x00", 4), L"\x1F600"},
        {"utf16le pair", decodeUTF16LE, std::string("\x3D\xD8\x00\xDE", 4), L"\x1F600"},
        {"utf16be lone high then char", decodeUTF16BE, std::string("\xD8\x3D\x00\x41", 4), R + L"A"},
        {"utf16be lone low", decodeUTF16BE, std::string("\xDE\x00\x00\x41", 4), R + L"A"},
        {"utf16be high at end", decodeUTF16BE, "\xD8\x3D", R},
        {"utf16be high then odd byte", decodeUTF16BE, "\xD8\x3D\xDE", R + R},

        {"utf32be three bytes", decodeUTF32BE, std::string("\x00\x00\x41", 3), R},
        {"utf32be mark alone", decodeUTF32BE, std::string("\x00\x00\xFE\xFF", 4), L""},
        {"utf32le value", decodeUTF32LE, std::string("\x00\xF6\x01\x00", 4), L"\x1F600"},
        {"utf32be value and leftover", decodeUTF32BE, std::string("\x00\x00\x00\x41\x00", 5), L"A" + R},
        {"utf32be surrogate", decodeUTF32BE, std::string("\x00\x00\xD8\x00", 4), R},
        {"utf32be above code space", decodeUTF32BE, std::string("\x00\x11\x00\x00", 4), R},
        {"utf32be top bit set", decodeUTF32BE, "\x80\x00\x00\x41", R},

        {"utf7 base64 run", decodeUTF7, "+AGE-", L"a"},
        {"utf7 escaped plus", decodeUTF7, "1+-1", L"1+1"},
        {"utf7 trailing plus dropped", decodeUTF7, "a+", L"a"},
        {"utf7 run ended by other byte", decodeUTF7, "+AGE!", L"a!"},
        {"utf7 mark skipped", decodeUTF7, "+/v8A", L"A"},
        // The mark as it stands alone, closed by its hyphen (iconv reads it so too).
        {"utf7 closed mark skipped", decodeUTF7, "+/v8-Hello", L"Hello"},
        {"utf7 closed mark then hyphen", decodeUTF7, "+/v8--", L"-"},
        {"utf7 high bytes direct", decodeUTF7, "\xE9", L"\xE9"},
        {"utf7 two units in run", decodeUTF7, "+AGEAYg-", L"ab"},
        {"utf7 run at end of input", decodeUTF7, "+AGE", L"a"},
        {"utf7 leftover bits dropped", decodeUTF7, "+AG-x", L"x"},
        // A character beyond the BMP is a surrogate pair inside the run.
        {"utf7 pair", decodeUTF7, "+2D3eAA-", L"\x1F600"},
        {"utf7 lone high surrogate", decodeUTF7, "+2D0-A", R + L"A"},
        {"utf7 lone low surrogate", decodeUTF7, "+3gA-", R},
        {"utf7 high then ordinary unit", decodeUTF7, "+2D0AQQ-", R + L"A"},

        {"latin1 empty", decodeLatin1, "", L""},
        {"latin1 high byte", decodeLatin1, "\xE9\xFF\x80", L"\xE9\xFF\x80"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(hexOf(c.decoder(c.bytes)), hexOf(c.expected)) << c.name;
}

TEST(UnicodeCoders, DecodeUnicodeChoosesTheForm) {
    const std::string bytes("\x00\x41\x00\x42", 4);
    EXPECT_EQ(decodeUnicode(bytes, UTF16BE), L"AB");
    EXPECT_EQ(decodeUnicode(bytes, UTF16LE), L"\x4100\x4200");
    EXPECT_EQ(decodeUnicode(std::string("\x00\x00\x00\x41", 4), UTF32BE), L"A");
    EXPECT_EQ(decodeUnicode("\xE9", UTF8), std::wstring(1, replacementChar));
    EXPECT_EQ(decodeUnicode("\xE9", NoEncoding), L"\xE9");
    EXPECT_EQ(decodeUnicode("\xE9", static_cast<UnicodeEncoding>(42)), L"\xE9");
}

TEST(UnicodeCoders, EncodesUTF8) {
    const struct {
        wchar_t value;
        std::string expected;
    } cases[] = {
        {0x00, std::string(1, '\0')},
        {0x7F, "\x7F"},
        {0x80, "\xC2\x80"},
        {0x7FF, "\xDF\xBF"},
        {0x800, "\xE0\xA0\x80"},
        {0x20AC, "\xE2\x82\xAC"},
        {0xFFFD, "\xEF\xBF\xBD"},
        {0x10000, "\xF0\x90\x80\x80"},
        {0x10FFFF, "\xF4\x8F\xBF\xBF"},
        // Values that are not characters are written as U+FFFD, never as more than 4 bytes.
        {0xD800, "\xEF\xBF\xBD"},
        {0xDFFF, "\xEF\xBF\xBD"},
        {0xFFFE, "\xEF\xBF\xBD"},
        {0xFFFF, "\xEF\xBF\xBD"},
        {-1, "\xEF\xBF\xBD"},
        {0x110000, "\xEF\xBF\xBD"},
        {0x7FFFFFFF, "\xEF\xBF\xBD"},
    };
    for (const auto &c : cases) {
        std::string out = "x";
        EXPECT_EQ(&encodeUTF8Char(out, c.value), &out);
        EXPECT_EQ(out, "x" + c.expected) << std::hex << static_cast<long>(c.value);
    }
    EXPECT_EQ(encodeUTF8(L""), "");
    EXPECT_EQ(encodeUTF8(std::wstring(L"a\xE9\x20AC\x1F600\xD800")),
              "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

// Every scalar value through each form: iconv writes the bytes, our decoder reads them back.
TEST(UnicodeCoders, EveryScalarValueRoundTrips) {
    const std::wstring all = allScalarValues();
    const std::string asWide = charsettest::wideBytes(all);

    // Our encoder writes what iconv writes, except that it refuses the two noncharacters
    // U+FFFE and U+FFFF (written as U+FFFD); everything else comes back unchanged.
    const auto iconvUtf8 = iconvConvert("WCHAR_T", "UTF-8", asWide);
    ASSERT_TRUE(iconvUtf8);
    std::wstring expectedBack = all;
    expectedBack[0xFFFE - 0x800] = replacementChar;
    expectedBack[0xFFFF - 0x800] = replacementChar;
    ASSERT_EQ(all[0xFFFE - 0x800], 0xFFFE);
    const std::string utf8 = encodeUTF8(all);
    EXPECT_TRUE(utf8 == *iconvConvert("WCHAR_T", "UTF-8", charsettest::wideBytes(expectedBack)));
    EXPECT_TRUE(decodeUTF8(utf8) == expectedBack) << "our UTF-8";

    const struct {
        const char *iconvName;
        std::wstring (*decoder)(const std::string &);
    } forms[] = {
        {"UTF-8", decodeUTF8},       {"UTF-16LE", decodeUTF16LE}, {"UTF-16BE", decodeUTF16BE},
        {"UTF-32LE", decodeUTF32LE}, {"UTF-32BE", decodeUTF32BE}, {"UTF-7", decodeUTF7},
    };
    for (const auto &form : forms) {
        const auto bytes = iconvConvert("WCHAR_T", form.iconvName, asWide);
        ASSERT_TRUE(bytes) << form.iconvName;
        const std::wstring back = form.decoder(*bytes);
        EXPECT_EQ(back.size(), all.size()) << form.iconvName;
        EXPECT_TRUE(back == all) << form.iconvName;
    }
}

// Wherever iconv accepts a UTF-8 byte sequence, we decode it to the same characters; where
// it refuses one, we put out at least one U+FFFD for it.
TEST(UnicodeCoders, UTF8AgreesWithIconvOnShortSequences) {
    std::vector<unsigned char> interesting = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0,
                                              0xBF, 0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xED, 0xEF,
                                              0xF0, 0xF4, 0xF5, 0xF8, 0xFC, 0xFE, 0xFF};
    for (unsigned char a : interesting)
        for (unsigned char b : interesting)
            for (unsigned char c : interesting) {
                const std::string bytes{static_cast<char>(a), static_cast<char>(b), static_cast<char>(c)};
                const std::wstring ours = decodeUTF8(bytes);
                const auto ref = iconvConvert("UTF-8", "WCHAR_T", bytes);
                if (ref)
                    EXPECT_EQ(hexOf(ours), hexOf(charsettest::fromWideBytes(*ref)))
                        << hexOf(decodeLatin1(bytes));
                else
                    EXPECT_NE(ours.find(replacementChar), std::wstring::npos) << hexOf(decodeLatin1(bytes));
            }
}
