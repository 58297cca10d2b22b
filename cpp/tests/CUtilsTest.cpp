#include "CUtils.h"

#include "testsupport/ChildProcess.h"

#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cstring>
#include <map>
#include <sstream>
#include <stdexcept>

namespace {

std::string allBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b)
        s += static_cast<char>(b);
    return s;
}

// Sets the process locale for one test and restores "C" afterwards.
class LocaleGuard {
public:
    explicit LocaleGuard(const char *name) { m_ok = std::setlocale(LC_ALL, name) != nullptr; }
    ~LocaleGuard() { std::setlocale(LC_ALL, "C"); }
    [[nodiscard]] bool ok() const { return m_ok; }

private:
    bool m_ok;
};

} // namespace

TEST(CUtils, CharacterTestsAreAsciiOnly) {
    for (int c = -300; c < 0x20000; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(safe_iswhitespace(c), c == ' ' || c == '\t' || c == '\r' || c == '\n');
        EXPECT_EQ(safe_isdigit(c), c >= '0' && c <= '9');
        EXPECT_EQ(safe_isalpha(c), (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'));
        EXPECT_EQ(safe_isalnum(c), safe_isalpha(c) || safe_isdigit(c));
    }
    EXPECT_FALSE(safe_iswhitespace('\v'));
    EXPECT_FALSE(safe_iswhitespace('\f'));
}

TEST(CUtils, HexMap) {
    const std::string digits = "0123456789abcdef";
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const std::string::size_type lower =
            digits.find(static_cast<char>(b >= 'A' && b <= 'F' ? b + 32 : b));
        const unsigned expected = (b != 0 && lower != std::string::npos) ? unsigned(lower) : 16u;
        EXPECT_EQ(hex_map(c), expected) << b;
        EXPECT_EQ(hexDigitValue(b), expected == 16u ? -1 : int(expected)) << b;
    }
    // Wide characters are judged whole, never by their low byte.
    for (wchar_t c : {L'\u0130', L'\u0141', L'\uFF10', L'\uFF21', wchar_t(0x10030)})
        EXPECT_EQ(hexDigitValue(c), -1) << unsigned(c);
}

TEST(CUtils, ByteLowerCaseFoldsAsciiOnlyInAnyLocale) {
    std::string expected = allBytes();
    for (char &c : expected) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    EXPECT_EQ(strToLower(allBytes()), expected);
    LocaleGuard utf8("C.UTF-8");
    ASSERT_TRUE(utf8.ok());
    EXPECT_EQ(strToLower(allBytes()), expected);
}

// The wide lower-casing follows Unicode's simple lower-case mapping whatever the process locale;
// python3's str.lower() is the independent reference (where it gives one character).
TEST(CUtils, WideLowerCaseMatchesUnicodeAndIgnoresTheProcessLocale) {
    const vltest::CommandResult r = vltest::runCommand(
        {"/usr/bin/python3", "-c",
         "import sys\n"
         "for c in range(0x110000):\n"
         "    if 0xD800 <= c < 0xE000: continue\n"
         "    l = chr(c).lower()\n"
         "    if len(l) == 1 and ord(l) != c: sys.stdout.write('%x %x\\n' % (c, ord(l)))\n"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::map<wchar_t, wchar_t> changes;
    std::istringstream in(r.out);
    unsigned from, to;
    while (in >> std::hex >> from >> to)
        changes[static_cast<wchar_t>(from)] = static_cast<wchar_t>(to);
    ASSERT_GT(changes.size(), 1000u);

    std::wstring all;
    for (wchar_t c = 1; c < 0x110000; ++c) {
        if (c < 0xD800 || c >= 0xE000)
            all += c;
    }
    for (const char *locale : {"C", "C.UTF-8"}) {
        LocaleGuard guard(locale);
        ASSERT_TRUE(guard.ok()) << locale;
        const std::wstring lower = strToLower(all);
        ASSERT_EQ(lower.size(), all.size());
        int wrong = 0;
        for (std::size_t i = 0; i < all.size() && wrong < 10; ++i) {
            const auto it = changes.find(all[i]);
            const wchar_t expected = it == changes.end() ? all[i] : it->second;
            // U+0130 lower-cases to two characters in full mapping; its simple mapping is i.
            if (all[i] == 0x130)
                continue;
            if (lower[i] != expected) {
                ++wrong;
                ADD_FAILURE() << locale << ": U+" << std::hex << unsigned(all[i]) << " gave U+"
                              << unsigned(lower[i]) << ", expected U+" << unsigned(expected);
            }
        }
    }
    EXPECT_EQ(strToLower(std::wstring(L"ÀÉÎÕÜ ΣΑΣ ЖУК ŁÓDŹ")), L"àéîõü σασ жук łódź");
    // Values that are no code point pass unchanged.
    EXPECT_EQ(strToLower(std::wstring(1, static_cast<wchar_t>(-65))),
              std::wstring(1, static_cast<wchar_t>(-65)));
}

TEST(CUtils, CompareI) {
    EXPECT_EQ(compareI("Content-Type", "content-TYPE"), 0);
    EXPECT_LT(compareI("a", "B"), 0);
    EXPECT_GT(compareI("b", "A"), 0);
    EXPECT_LT(compareI("abc", "ABCD"), 0);
    EXPECT_NE(compareI("\xC4", "\xE4"), 0); // Latin-1 bytes are not letters here
}

TEST(CUtils, Whitespace) {
    struct Case {
        const char *name;
        std::string in, trimmed, stripped;
    } const cases[] = {
        {"empty", "", "", ""},
        {"all whitespace", " \t\r\n ", "", ""},
        {"inner kept by trim", "  a b\tc \n", "a b\tc", "abc"},
        {"vertical tab and form feed stay", "\v x \f", "\v x \f", "\vx\f"},
        {"no whitespace", "abc", "abc", "abc"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(trimWhitespace(c.in), c.trimmed);
        EXPECT_EQ(stripWhitespace(c.in), c.stripped);
        EXPECT_EQ(trimWhitespace(string_to_wstring(c.in)), string_to_wstring(c.trimmed));
        EXPECT_EQ(stripWhitespace(string_to_wstring(c.in)), string_to_wstring(c.stripped));
    }
    EXPECT_EQ(trimWhitespace(std::wstring(L"\u3000 x\u00A0 ")), L"\u3000 x\u00A0");
}

TEST(CUtils, AlphaNumOnly) {
    EXPECT_EQ(alphaNumOnly(L"a-B 9_é\u00C0Ω\u0661z"), L"aB9z");
    EXPECT_EQ(alphaNumOnly(L""), L"");
}

TEST(CUtils, SplitLinesAndSplit) {
    using V = std::vector<std::string>;
    struct Case {
        const char *name;
        std::string text;
        V lines;
    } const lineCases[] = {
        {"empty", "", {}},
        {"CR LF and final LF", "a\r\nb\n", {"a", "b"}},
        {"empty line inside", "a\n\nb", {"a", "", "b"}},
        {"CR at the very end", "x\r", {"x"}},
        {"CR LF alone", "\r\n", {""}},
        {"inner CR stays", "a\rb\r\r\nc", {"a\rb\r", "c"}},
        {"only LFs", "\n\n", {"", ""}},
        {"no LF", "abc", {"abc"}},
    };
    for (const Case &c : lineCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(splitLines(c.text), c.lines);
    }
    struct SplitCase {
        const char *name;
        std::string text;
        V pieces;
    } const splitCases[] = {
        {"empty", "", {}},
        {"separators at start, doubled and at end", ",a,,b,", {"", "a", "", "b"}},
        {"CR is not special", "a\r,b\r", {"a\r", "b\r"}},
        {"separator alone", ",", {""}},
        {"none", "ab", {"ab"}},
    };
    for (const SplitCase &c : splitCases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(split(c.text, ','), c.pieces);
    }
}

TEST(CUtils, JoinLines) {
    EXPECT_EQ(joinLines({}), "");
    EXPECT_EQ(joinLines({"x"}), "x\r\n");
    EXPECT_EQ(joinLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
}

TEST(CUtils, GetNextToken) {
    struct Case {
        const char *name;
        std::string text, token, rest;
    } const cases[] = {
        {"empty", "", "", ""},
        {"first character belongs to the token", ",a,b", ",a", "b"},
        {"no separator", "abc", "abc", ""},
        {"ordinary", "ab,cd,ef", "ab", "cd,ef"},
        {"separator last", "ab,", "ab", ""},
        {"doubled", "a,,b", "a", ",b"},
        {"separator alone", ",", ",", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::string text = c.text;
        EXPECT_EQ(getNextToken(',', text), c.token);
        EXPECT_EQ(text, c.rest);
    }
}

TEST(CUtils, UniqueCopyOwnsItsStorage) {
    const std::string original(100, 'q');
    const std::string copy = uniqueCopy(original);
    EXPECT_EQ(copy, original);
    EXPECT_NE(copy.data(), original.data());
}

TEST(CUtils, WideConversionsKeepByteValues) {
    const std::wstring wide = string_to_wstring(allBytes());
    ASSERT_EQ(wide.size(), 256u);
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(static_cast<long>(wide[b]), b);
    EXPECT_EQ(wstring_to_string(wide), allBytes());
    EXPECT_EQ(wstring_to_string(L"\u0141\u20AC\U0001F600"), std::string("\x41\xAC\x00", 3));
    EXPECT_EQ(wstring_to_string(std::wstring(1, static_cast<wchar_t>(-1))), "\xFF");
}

TEST(CUtils, ReplaceHTMLEntities) {
    EXPECT_EQ(replaceHTMLEntities("a&b"), "a&amp;b");
    EXPECT_EQ(replaceHTMLEntities("<\"it's\">"), "&lt;&quot;it's&quot;&gt;");
    EXPECT_EQ(replaceHTMLEntities(std::string("\0\xFF", 2)), std::string("\0\xFF", 2));
}

TEST(CUtils, HexadecimalMatchesPython) {
    const std::string bytes = allBytes();
    const vltest::CommandResult r = vltest::runCommand(
        {"/usr/bin/python3", "-c", "import sys; sys.stdout.write(sys.stdin.buffer.read().hex())"}, bytes);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string hex = encodeHexadecimal(bytes.data(), static_cast<int>(bytes.size()));
    EXPECT_EQ(hex, r.out);
    EXPECT_EQ(encodeHexadecimal(bytes.data(), 0), "");

    std::string upper = hex;
    for (char &c : upper)
        c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 32 : c);
    for (const std::string &text : {hex, upper}) {
        const std::vector<unsigned char> decoded = decodeHexadecimal(text);
        EXPECT_EQ(std::string(decoded.begin(), decoded.end()), bytes);
        std::string buffer(256, '\0');
        EXPECT_EQ(decodeHexadecimal(text, buffer.data(), 256), 256);
        EXPECT_EQ(buffer, bytes);
    }
}

TEST(CUtils, HexadecimalDecodingRejectsBadInput) {
    using V = std::vector<unsigned char>;
    EXPECT_EQ(decodeHexadecimal("0A1f"), (V{0x0A, 0x1F}));
    EXPECT_EQ(decodeHexadecimal(""), V{});
    EXPECT_EQ(decodeHexadecimal("0g"), V{});
    EXPECT_EQ(decodeHexadecimal("abc"), V{});
    EXPECT_EQ(decodeHexadecimal("00 1"), V{});
    EXPECT_EQ(decodeHexadecimal("\xC3\xA9"), V{});

    unsigned char buffer[4] = {0xEE, 0xEE, 0xEE, 0xEE};
    EXPECT_EQ(decodeHexadecimal("abc", buffer, 4), -1);        // odd
    EXPECT_EQ(decodeHexadecimal("0102030405", buffer, 4), -1); // too small
    EXPECT_EQ(buffer[0], 0xEE);
    EXPECT_EQ(decodeHexadecimal("01zz0304", buffer, 4), -1); // stops at the bad pair
    EXPECT_EQ(buffer[0], 0x01);
    EXPECT_EQ(buffer[1], 0xEE);
    EXPECT_EQ(decodeHexadecimal("", buffer, 0), 0);
}

TEST(CUtils, StringToInt) {
    struct Case {
        const char *text;
        int value;
        const char *error; // nullptr: parses
    } const cases[] = {
        {"0", 0, nullptr},
        {"+7", 7, nullptr},
        {"-0", 0, nullptr},
        {"-15", -15, nullptr},
        {"007", 7, nullptr},
        {"2147483647", INT_MAX, nullptr},
        {"-2147483648", INT_MIN, nullptr},
        // Outside 32 bits the value wraps modulo 2^32, without undefined behaviour.
        {"2147483648", INT_MIN, nullptr},
        {"4294967296", 0, nullptr},
        {"4294967301", 5, nullptr},
        {"99999999999", 1215752191, nullptr},
        {"-4294967297", -1, nullptr},
        {"99999999999999999999999999999", -1610612737 /* 10^29 - 1 mod 2^32 */, nullptr},
        {"", 0, "zero-length string"},
        {"-", 0, "sign-only string"},
        {"+", 0, "sign-only string"},
        {" 1", 0, "non-digit character"},
        {"1 ", 0, "non-digit character"},
        {"12a", 0, "non-digit character"},
        {"+-1", 0, "non-digit character"},
        {"\xB2", 0, "non-digit character"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        if (c.error == nullptr) {
            EXPECT_EQ(stringToInt(c.text), c.value);
            EXPECT_EQ(stringToIntDef(c.text, 5), c.value);
            continue;
        }
        try {
            stringToInt(c.text);
            ADD_FAILURE() << "no exception";
        } catch (const std::invalid_argument &e) {
            EXPECT_STREQ(e.what(), c.error);
        }
        EXPECT_EQ(stringToIntDef(c.text, 5), 5);
    }
}

TEST(CUtils, IntToString) {
    EXPECT_EQ(intToString(0), "0");
    EXPECT_EQ(intToString(-42), "-42");
    EXPECT_EQ(intToString(INT_MIN), "-2147483648");
    EXPECT_EQ(intToString(INT_MAX), "2147483647");
}
