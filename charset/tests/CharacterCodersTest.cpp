#include "CharacterCoders.h"
#include "CharacterCoders_p.h"
#include "StandardCharsetConverters.h"
#include "UnicodeCoders.h"

#include "CharsetTestHelpers.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

using namespace Charsets;
using Charsets::CharacterCoders::decode;
using charsettest::multiByteNames;

namespace {

std::string allBytes() {
    std::string s(256, '\0');
    for (int b = 0; b < 256; ++b)
        s[b] = static_cast<char>(b);
    return s;
}

std::wstring byTable(const wchar_t *table, const std::string &bytes) {
    std::wstring out;
    for (unsigned char b : bytes)
        out.push_back(table[b]);
    return out;
}

std::string upper(std::string s) {
    for (char &c : s) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

// The accepted names, grouped by what they must decode as.
struct UnicodeGroup {
    std::wstring (*decoder)(const std::string &);
    std::vector<const char *> names;
};

struct TableGroup {
    const wchar_t *table;
    std::vector<const char *> names;
};

const std::vector<UnicodeGroup> unicodeGroups = {
    {UnicodeCoders::decodeUTF7, {"utf-7", "unicode-1-1-utf-7", "unicode-2-0-utf-7", "csunicode11utf7"}},
    {UnicodeCoders::decodeUTF8,
     {"utf8", "utf-8", "unicode-1-1-utf-8", "unicode-2-0-utf-8", "x-unicode-2-0-utf-8"}},
    {UnicodeCoders::decodeUTF16LE, {"utf-16le"}},
    {UnicodeCoders::decodeUTF16BE, {"unicodefffe", "utf-16be", "utf-16"}},
    {UnicodeCoders::decodeUTF32LE, {"utf-32le"}},
    {UnicodeCoders::decodeUTF32BE, {"utf-32be", "utf-32"}},
};

const std::vector<TableGroup> tableGroups = {
    {chardata_us_ascii_map_down,
     {"us-ascii", "ascii", "iso646-us", "iso_646.irv:1991", "iso-ir-6", "ansi_x3.4-1968", "ansi_x3.4-1986",
      "cp367", "ibm367", "us", "csascii"}},
    {chardata_iso_8859_1, {"iso-8859-1"}},
    {chardata_iso_8859_2,
     {"iso-8859-2", "iso_8859-2", "iso_8859-2:1987", "iso-ir-101", "latin2", "l2", "csisolatin2",
      "iso8859-2"}},
    {chardata_iso_8859_3,
     {"iso-8859-3", "iso_8859-3", "iso_8859-3:1998", "iso-ir-109", "latin3", "l3", "csisolatin3"}},
    {chardata_iso_8859_4,
     {"iso-8859-4", "iso_8859-4", "iso_8859-4:1988", "iso-ir-110", "latin4", "l4", "csisolatin4"}},
    {chardata_iso_8859_5,
     {"iso-8859-5", "iso_8859-5", "iso_8859-5:1988", "iso-ir-144", "cyrillic", "csisolatincyrillic"}},
    {chardata_iso_8859_6,
     {"iso-8859-6", "iso_8859-6", "iso_8859-6:1987", "iso-ir-127", "ecma-114", "asmo-708", "arabic",
      "csisolatinarabic"}},
    {chardata_iso_8859_7,
     {"iso-8859-7", "iso_8859-7", "iso_8859-7:1987", "iso-ir-126", "ecma-118", "elot_928", "greek8", "greek",
      "csisolatingreek"}},
    {chardata_iso_8859_8,
     {"iso-8859-8", "iso_8859-8", "iso_8859-8:1988", "iso-ir-138", "hebrew", "csisolatinhebrew", "visual"}},
    // "l5" and "csisolatin5" also stand beside ISO 8859-5; the later row wins.
    {chardata_iso_8859_9,
     {"iso-8859-9", "iso_8859-9", "iso_8859-9:1989", "iso-ir-148", "latin5", "l5", "csisolatin5"}},
    {chardata_iso_8859_10,
     {"iso-8859-10", "iso_8859-10", "iso_8859-10:1992", "iso-ir-157", "latin6", "l6", "csisolatin6"}},
    {chardata_iso_8859_13, {"iso-8859-13", "iso_8859-13", "iso_ir_179", "latin7", "l7"}},
    {chardata_iso_8859_14, {"iso-8859-14", "iso_8859-14", "iso_8859-14:1998", "iso-ir-199", "latin8", "l8"}},
    {chardata_iso_8859_15, {"iso-8859-15", "iso_8859-15", "iso_8859-15:1998", "iso-ir-203", "latin9", "l9"}},
    {chardata_iso_8859_16, {"iso-8859-16", "iso_8859-16", "iso_8859-16:2000", "iso-ir-226"}},
    {chardata_cp1250, {"windows-1250", "x-cp-1250"}},
    {chardata_cp1251, {"windows-1251", "x-cp-1251"}},
    {chardata_cp1252, {"windows-1252"}},
    {chardata_cp1253, {"windows-1253"}},
    {chardata_cp1254, {"windows-1254", "x-ansi"}},
    {chardata_cp1255, {"windows-1255"}},
    {chardata_cp1256, {"windows-1256", "cp1256"}},
    {chardata_cp1257, {"windows-1257"}},
    {chardata_cp1258, {"windows-1258"}},
    {chardata_cp874, {"iso-8859-11", "windows-874", "dos-874", "tis-620"}},
    {chardata_cp850, {"cp850", "ibm850"}},
    {chardata_cp852, {"cp852", "ibm852"}},
    {chardata_cp857, {"cp857", "ibm857"}},
    {chardata_cp860, {"cp860", "ibm860"}},
    {chardata_cp861, {"cp861", "ibm861"}},
    {chardata_cp862, {"cp862", "ibm862", "dos862"}},
    {chardata_cp863, {"cp863", "ibm863"}},
    {chardata_cp864, {"cp864", "ibm864"}},
    {chardata_cp865, {"cp865", "ibm865"}},
    {chardata_cp866, {"cp866", "ibm866"}},
    {chardata_cp869, {"cp869", "ibm869"}},
    {chardata_cp437, {"cp437", "ibm437", "437", "cspc8codepage437"}},
    {chardata_cp424, {"cp424", "ibm424", "ebcdic-cp-he", "csibm424"}},
    {chardata_cp737, {"ibm737"}},
    {chardata_cp775, {"ibm775"}},
    {chardata_mac_roman, {"macintosh"}},
    {chardata_mac_arabic, {"x-mac-arabic"}},
    {chardata_mac_centeuro, {"x-mac-ce"}},
    {chardata_mac_cyrillic, {"x-mac-cyrillic"}},
    {chardata_mac_greek, {"x-mac-greek"}},
    {chardata_mac_hebrew, {"x-mac-hebrew"}},
    {chardata_mac_icelandic, {"x-mac-icelandic"}},
    {chardata_mac_turkish, {"x-mac-turkish"}},
    {chardata_koi8r, {"koi8-r", "cskoi8r", "koi", "koi8", "koi8r"}},
    {chardata_koi8u, {"koi8-u", "koi8-ru"}},
};

// Bytes that every Unicode form reads differently.
const std::string unicodeProbe("\x00\x41\x00\x42\xC3\xA9+AGE-\xD8\x3D\xDE\x00", 16);

} // namespace

TEST(CharsetNames, TheMapHoldsExactlyTheAcceptedNames) {
    std::set<std::string> expected;
    for (const auto &g : unicodeGroups)
        expected.insert(g.names.begin(), g.names.end());
    for (const auto &g : tableGroups)
        expected.insert(g.names.begin(), g.names.end());
    expected.insert(multiByteNames.begin(), multiByteNames.end());
    EXPECT_EQ(expected.size(), 227u);

    std::set<std::string> actual;
    for (const auto &entry : CharacterCoders::getConverters())
        actual.insert(entry.first);
    EXPECT_EQ(actual, expected);

    int rows = 0;
    for (const Fixed8BitTable *row = fixed8BitTables; row->name; ++row)
        ++rows;
    EXPECT_EQ(rows, 166);
}

TEST(CharsetNames, EveryNameDecodesWithItsConverter) {
    const std::string bytes = allBytes();
    for (const auto &g : unicodeGroups) {
        for (const char *name : g.names) {
            // The "unicode-" labels are reduced before the lookup, so their own entries are
            // never reached; the reduced name still decodes as the same form.
            EXPECT_EQ(decode(unicodeProbe, name, false), g.decoder(unicodeProbe)) << name;
            EXPECT_EQ(decode(unicodeProbe, " \t" + upper(name) + "\r\n", false), g.decoder(unicodeProbe))
                << name;
        }
    }
    for (const auto &g : tableGroups) {
        const std::wstring expected = byTable(g.table, bytes);
        for (const char *name : g.names) {
            EXPECT_EQ(decode(bytes, name, false), expected) << name;
            EXPECT_EQ(decode(bytes, "  " + upper(name) + "\t", false), expected) << name;
        }
    }
    for (const std::string &name : multiByteNames) {
        EXPECT_EQ(CharacterCoders::getConverters().count(name), 1u) << name;
        EXPECT_NO_THROW((void)decode(bytes, upper(name), false)) << name;
    }
}

TEST(CharsetNames, UnknownNamesDecodeAsLatin1) {
    const std::string bytes = allBytes();
    const std::wstring latin1 = UnicodeCoders::decodeLatin1(bytes);
    const char *names[] = {
        "",        "   ",     "\t\r\n",   "latin1",      "x-unknown",    "utf 8",         "utf_8",
        "utf-8 x", "\vutf-8", "unicode-", "unicode-1-1", "UNICODE-1-1-", "unicode-1-1-x", "unicode-1-1-UTF-9",
    };
    for (const char *name : names)
        EXPECT_EQ(decode(bytes, name, false), latin1) << '"' << name << '"';
}

TEST(CharsetNames, NamedEdgeCases) {
    const std::wstring R(1, UnicodeCoders::replacementChar);
    const struct {
        const char *charset;
        std::string bytes;
        std::wstring expected;
    } cases[] = {
        {" UTF-8 ", "\xE2\x82\xAC", L"\x20AC"},
        {"UNICODE-1-1-UTF-8", "\xE2\x82\xAC", L"\x20AC"},
        {"unicode-2-0-utf-7", "+AGE-", L"a"},
        {"Unicode-1-1-UTF-7", "+AGE-", L"a"},
        {"L5", "\xDD\xFD", L"\x0130\x0131"},
        {"csIsoLatin5", "\xDD\xFD", L"\x0130\x0131"},
        {"cyrillic", "\xB0", L"\x0410"},
        {"csisolatincyrillic", "\xB0", L"\x0410"},
        {"iso-8859-11", "\x80\xA1", L"\x20AC\x0E01"},
        {"us-ascii", "\xE9", L"i"},
        {"us-ascii", "\x80\xC1", std::wstring(1, L'\0') + L"A"},
        // Mac text keeps its line breaks and tabs; other C0 controls are not characters there.
        {"macintosh", "A\r\n\t", L"A\r\n\t"},
        {"macintosh", "\x01\x7F\xDB", R + R + L"\x20AC"},
        {"x-mac-cyrillic", "\x80\r\n", L"\x0410\r\n"},
        {"utf-16", std::string("\x00\x41", 2), L"A"},
        {"utf-32", std::string("\x00\x00\x00\x41", 4), L"A"},
        {"windows-1252", "\x80\x81\x9F", L"\x20AC" + R + L"\x0178"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(decode(c.bytes, c.charset, false), c.expected) << c.charset;
}

TEST(CharsetNames, StatefulCharsets) {
    const struct {
        const char *charset;
        bool stateful;
    } cases[] = {
        {"ISO-2022-JP", true},
        {" csiso2022jp", true},
        {"iso-2022-kr", true},
        {"utf-7", true},
        {"Unicode-1-1-UTF-7", true},
        {"hz-gb-2312", true},
        {"euc-jp", false},
        {"euc-kr", false},
        {"shift_jis", false},
        {"gbk", false},
        {"utf-8", false},
        {"iso-8859-1", false},
        {"x-unknown", false},
        {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CharacterCoders::isStateful(c.charset), c.stateful) << '"' << c.charset << '"';
}

TEST(CharsetNames, ByteOrderMarkOverridesTheName) {
    const std::string utf8Marked = "\xEF\xBB\xBF"
                                   "A";
    EXPECT_EQ(decode(utf8Marked, "iso-8859-5", true), L"A");
    EXPECT_EQ(decode(utf8Marked, "iso-8859-5", false), L"\x044F\x041B\x041F"
                                                       L"A");

    const struct {
        std::string bytes;
        const char *charset;
        std::wstring expected;
    } cases[] = {
        {std::string("\xFF\xFE"
                     "A\0",
                     4),
         "utf-8", L"A"},
        {std::string("\xFE\xFF\0A", 4), "utf-16le", L"A"},
        {std::string("\xFF\xFE\0\0A\0\0\0", 8), "utf-16le", L"A"},
        {std::string("\0\0\xFE\xFF\0\0\0A", 8), "", L"A"},
        {"+/v8A", "koi8-r", L"A"},
        {"\xEF\xBB\xBF\xE2\x82\xAC", "x-unknown", L"\x20AC"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(decode(c.bytes, c.charset, true), c.expected) << c.charset;

    // No mark: the name decides.
    EXPECT_EQ(decode("\xE9", "iso-8859-5", true), L"\x0449");
    EXPECT_EQ(decode("\xE9", "utf-8", true), L"\xFFFD");
}

// Each sample text in a charset decodes to the same characters as its UTF-8 version.
TEST(CharsetNames, SampleTexts) {
    namespace fs = std::filesystem;
    int checked = 0;
    for (const auto &entry : fs::directory_iterator(VL_TEST_DATA_DIR "/texts")) {
        const std::string file = entry.path().filename().string();
        // <text>.<charset>.txt
        const auto firstDot = file.find('.');
        const auto lastDot = file.rfind('.');
        ASSERT_NE(firstDot, lastDot) << file;
        const std::string charset = file.substr(firstDot + 1, lastDot - firstDot - 1);
        if (charset == "utf-8")
            continue;
        const std::string reference = entry.path().parent_path() / (file.substr(0, firstDot) + ".utf-8.txt");
        const std::wstring expected = UnicodeCoders::decodeUTF8(vltest::readFile(reference));
        EXPECT_EQ(decode(vltest::readFile(entry.path()), charset, true), expected) << file;
        ++checked;
    }
    EXPECT_GE(checked, 20);
}
