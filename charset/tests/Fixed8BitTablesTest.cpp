#include "IconvHelper.h"
#include "StandardCharsetConverters.h"

#include "testsupport/ChildProcess.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace Charsets;

namespace {

// A position where our table knowingly differs from the reference, and why.
struct Difference {
    int byte;
    wchar_t ours;
    const char *reason;
};

constexpr const char *vendorTable =
    "the vendor's published mapping (which Perl's Encode and Python carry) differs from glibc here";

struct TableCheck {
    const char *name;
    const wchar_t *table;
    const char *iconvName;  // null: glibc has no such charset
    const char *encodeName; // Perl Encode name, for the tables glibc lacks
    bool macControls;       // C0 controls and DEL are no characters in the Mac OS sets
    std::vector<Difference> differences;
};

const std::vector<TableCheck> tables = {
    {"us-ascii", chardata_us_ascii_map_down, "ASCII", nullptr, false, {}},
    {"iso-8859-1", chardata_iso_8859_1, "ISO-8859-1", nullptr, false, {}},
    {"iso-8859-2", chardata_iso_8859_2, "ISO-8859-2", nullptr, false, {}},
    {"iso-8859-3", chardata_iso_8859_3, "ISO-8859-3", nullptr, false, {}},
    {"iso-8859-4", chardata_iso_8859_4, "ISO-8859-4", nullptr, false, {}},
    {"iso-8859-5", chardata_iso_8859_5, "ISO-8859-5", nullptr, false, {}},
    {"iso-8859-6", chardata_iso_8859_6, "ISO-8859-6", nullptr, false, {}},
    {"iso-8859-7", chardata_iso_8859_7, "ISO-8859-7", nullptr, false, {}},
    {"iso-8859-8", chardata_iso_8859_8, "ISO-8859-8", nullptr, false, {}},
    {"iso-8859-9", chardata_iso_8859_9, "ISO-8859-9", nullptr, false, {}},
    {"iso-8859-10", chardata_iso_8859_10, "ISO-8859-10", nullptr, false, {}},
    {"iso-8859-13", chardata_iso_8859_13, "ISO-8859-13", nullptr, false, {}},
    {"iso-8859-14", chardata_iso_8859_14, "ISO-8859-14", nullptr, false, {}},
    {"iso-8859-15", chardata_iso_8859_15, "ISO-8859-15", nullptr, false, {}},
    {"iso-8859-16", chardata_iso_8859_16, "ISO-8859-16", nullptr, false, {}},
    {"windows-1250", chardata_cp1250, "CP1250", nullptr, false, {}},
    {"windows-1251", chardata_cp1251, "CP1251", nullptr, false, {}},
    {"windows-1252", chardata_cp1252, "CP1252", nullptr, false, {}},
    {"windows-1253", chardata_cp1253, "CP1253", nullptr, false, {}},
    {"windows-1254", chardata_cp1254, "CP1254", nullptr, false, {}},
    {"windows-1255", chardata_cp1255, "CP1255", nullptr, false, {}},
    {"windows-1256", chardata_cp1256, "CP1256", nullptr, false, {}},
    {"windows-1257", chardata_cp1257, "CP1257", nullptr, false, {}},
    {"windows-1258", chardata_cp1258, "CP1258", nullptr, false, {}},
    {"windows-874", chardata_cp874, "CP874", nullptr, false, {}},
    {"cp850", chardata_cp850, "IBM850", nullptr, false, {}},
    {"cp852", chardata_cp852, "IBM852", nullptr, false, {}},
    {"cp857", chardata_cp857, "IBM857", nullptr, false, {}},
    {"cp860", chardata_cp860, "IBM860", nullptr, false, {}},
    {"cp861", chardata_cp861, "IBM861", nullptr, false, {}},
    {"cp862", chardata_cp862, "IBM862", nullptr, false, {}},
    {"cp863", chardata_cp863, "IBM863", nullptr, false, {}},
    {"cp864", chardata_cp864, "IBM864", nullptr, false, {}},
    {"cp865", chardata_cp865, "IBM865", nullptr, false, {}},
    {"cp866", chardata_cp866, "IBM866", nullptr, false, {}},
    {"cp869", chardata_cp869, "IBM869", nullptr, false, {}},
    {"cp437", chardata_cp437, "IBM437", nullptr, false, {}},
    {"cp424",
     chardata_cp424,
     "IBM424",
     nullptr,
     false,
     {{0x78, 0x2017, vendorTable}, {0x8F, 0x00B1, vendorTable}}},
    {"cp737", chardata_cp737, "CP737", nullptr, false, {}},
    {"cp775", chardata_cp775, "IBM775", nullptr, false, {}},
    {"macintosh",
     chardata_mac_roman,
     "MACINTOSH",
     nullptr,
     true,
     {{0xC6, 0x2206, vendorTable}, {0xF0, 0xF8FF, vendorTable}}},
    {"x-mac-arabic", chardata_mac_arabic, nullptr, "MacArabic", true, {}},
    {"x-mac-ce", chardata_mac_centeuro, "MAC-CENTRALEUROPE", nullptr, true, {}},
    {"x-mac-cyrillic",
     chardata_mac_cyrillic,
     "MAC-CYRILLIC",
     nullptr,
     true,
     {{0xFF, 0x20AC, "the euro sign replaced the currency sign in the vendor's current mapping"}}},
    {"x-mac-greek", chardata_mac_greek, nullptr, "MacGreek", true, {}},
    {"x-mac-hebrew", chardata_mac_hebrew, nullptr, "MacHebrew", true, {}},
    {"x-mac-icelandic",
     chardata_mac_icelandic,
     "MAC-IS",
     nullptr,
     true,
     {{0xA0, 0x00DD, vendorTable},
      {0xC6, 0x2206, vendorTable},
      {0xD0, 0x2013, vendorTable},
      {0xD1, 0x2014, vendorTable},
      {0xD7, 0x25CA, vendorTable},
      {0xDB, 0x20AC, vendorTable},
      {0xDC, 0x00D0, vendorTable},
      {0xDD, 0x00F0, vendorTable},
      {0xE0, 0x00FD, vendorTable},
      {0xF0, 0xF8FF, vendorTable},
      {0xF6, 0x02C6, vendorTable},
      {0xF7, 0x02DC, vendorTable}}},
    {"x-mac-turkish", chardata_mac_turkish, nullptr, "MacTurkish", true, {}},
    {"koi8-r", chardata_koi8r, "KOI8-R", nullptr, false, {}},
    {"koi8-u", chardata_koi8u, "KOI8-U", nullptr, false, {}},
};

// What a single byte means to iconv: its character, or U+FFFD when iconv rejects it or
// gives anything but one character.
wchar_t iconvByte(const char *charset, int byte) {
    const auto out = charsettest::iconvConvert(charset, "WCHAR_T", std::string(1, static_cast<char>(byte)));
    if (!out || out->size() != sizeof(wchar_t))
        return 0xFFFD;
    return charsettest::fromWideBytes(*out)[0];
}

// The 256 characters Perl's Encode gives for a charset, one hexadecimal value per byte.
std::vector<wchar_t> encodeTable(const char *charset) {
    const std::string script =
        "use Encode; for my $b (0..255) { my $t = Encode::decode($ARGV[0], chr($b), "
        "Encode::FB_DEFAULT); printf(\"%X\\n\", length($t) == 1 ? ord($t) : 0xFFFD); }";
    const auto r = vltest::runCommand({"perl", "-e", script, charset});
    std::vector<wchar_t> values;
    std::istringstream in(r.out);
    unsigned v;
    while (in >> std::hex >> v)
        values.push_back(static_cast<wchar_t>(v));
    return values;
}

// Rules the reference does not know: the folded ASCII table and the Mac control bytes.
wchar_t adjustedReference(const TableCheck &t, int b, wchar_t reference) {
    if (t.table == chardata_us_ascii_map_down && b >= 0x80)
        return static_cast<wchar_t>(b & 0x7F); // bytes with the top bit set are read as 7-bit text
    if (t.macControls && (b < 0x20 || b == 0x7F))
        return (b == '\t' || b == '\n' || b == '\r') ? static_cast<wchar_t>(b) : 0xFFFD;
    for (const Difference &d : t.differences) {
        if (d.byte == b)
            return d.ours;
    }
    return reference;
}

} // namespace

TEST(Fixed8BitTables, EveryTableMatchesItsReference) {
    EXPECT_EQ(tables.size(), 50u);
    for (const TableCheck &t : tables) {
        std::vector<wchar_t> reference(256);
        if (t.iconvName) {
            ASSERT_TRUE(charsettest::iconvKnows(t.iconvName)) << t.iconvName;
            for (int b = 0; b < 256; ++b)
                reference[b] = iconvByte(t.iconvName, b);
        } else {
            if (!vltest::haveProgram("perl"))
                GTEST_SKIP() << "perl is needed for the tables that glibc lacks";
            reference = encodeTable(t.encodeName);
            ASSERT_EQ(reference.size(), 256u) << t.encodeName;
        }
        for (const Difference &d : t.differences)
            EXPECT_NE(reference[d.byte], d.ours) << t.name << ": listed difference no longer differs";
        for (int b = 0; b < 256; ++b)
            EXPECT_EQ(static_cast<unsigned>(t.table[b]),
                      static_cast<unsigned>(adjustedReference(t, b, reference[b])))
                << t.name << " byte " << std::hex << b;
    }
}

TEST(Fixed8BitTables, ConvertFixed8BitString) {
    EXPECT_EQ(convertFixed8BitString("", chardata_cp1252), L"");
    EXPECT_EQ(convertFixed8BitString("a\x80\xFF", chardata_cp1252), L"a\x20AC\xFF");
    EXPECT_EQ(convertFixed8BitString(std::string("\0\x41", 2), chardata_koi8r), std::wstring(L"\0A", 2));
    EXPECT_EQ(convertFixed8BitString("\xE9", nullptr), L"\xE9");
}

// The committed tables are exactly what the generator writes today.
TEST(Fixed8BitTables, GeneratedSourceIsCurrent) {
    if (vltest::runCommand({"perl", "-MEncode", "-e", "1"}).exitCode != 0)
        GTEST_SKIP() << "perl with Encode is needed to run the generator";
    vltest::TempDir dir("fixed8bit");
    const auto r =
        vltest::runCommand({"perl", VL_SOURCE_DIR "/charset/gen/gen_fixed8bit_tables.pl", dir.path()});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char *file : {"Fixed8BitTables.h", "Fixed8BitTables.cpp"})
        EXPECT_TRUE(vltest::readFile(dir.file(file)) ==
                    vltest::readFile(VL_SOURCE_DIR "/charset/" + std::string(file)))
            << file << " differs from the generator's output";
}

TEST(MultibyteTree, WalksTheTreeAndStopsAtTheEnd) {
    // A tiny code: bytes 00-7F stand for themselves, 81 xx gives U+4E00 + xx.
    static MBCSTableEntry second[256];
    static MBCSTableEntry root[256];
    for (int b = 0; b < 256; ++b) {
        second[b] = {static_cast<wchar_t>(0x4E00 + b), nullptr};
        root[b] = {static_cast<wchar_t>(b < 0x80 ? b : 0xFFFD), nullptr};
    }
    root[0x81].next = second;
    EXPECT_EQ(convertMultibyteString("", root), L"");
    EXPECT_EQ(convertMultibyteString("A\x81\x05"
                                     "B\x90",
                                     root),
              L"A\x4E05"
              L"B\xFFFD");
    EXPECT_EQ(convertMultibyteString("A\x81", root), L"A\xFFFD");
    EXPECT_EQ(convertMultibyteString("A", nullptr), L"");
}
