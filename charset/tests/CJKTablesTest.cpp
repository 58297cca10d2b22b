// Every double-byte pair of the CJK decoders against glibc's iconv, an independent source
// for the generated tables (which come from Perl's Encode).
#include "ISO2022CharacterCoders.h"
#include "KoreanCharacterCoders.h"
#include "SimplifiedChineseCharacterCoders.h"
#include "TraditionalChineseCharacterCoders.h"

#include "CharsetTestHelpers.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <functional>
#include <iconv.h>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

using charsettest::codes;

namespace {

constexpr wchar_t replacement = 0xFFFD;

// One character that glibc decodes the bytes to, or nothing when it rejects them or makes
// more or less than one character of them.
class IconvDecoder {
public:
    explicit IconvDecoder(const char *charset) : m_cd(iconv_open("UTF-32LE", charset)) {}
    ~IconvDecoder() {
        if (valid())
            iconv_close(m_cd);
    }
    IconvDecoder(const IconvDecoder &) = delete;
    IconvDecoder &operator=(const IconvDecoder &) = delete;

    [[nodiscard]] bool valid() const { return m_cd != iconv_t(-1); }

    std::optional<char32_t> one(const std::string &bytes) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        std::string in = bytes;
        char out[16];
        char *inPtr = in.data();
        std::size_t inLeft = in.size();
        char *outPtr = out;
        std::size_t outLeft = sizeof out;
        if (iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == std::size_t(-1) || inLeft != 0)
            return std::nullopt;
        if (iconv(m_cd, nullptr, nullptr, &outPtr, &outLeft) == std::size_t(-1))
            return std::nullopt;
        if (outPtr - out != 4)
            return std::nullopt;
        const auto *u = reinterpret_cast<const unsigned char *>(out);
        return char32_t(u[0] | u[1] << 8 | u[2] << 16 | u[3] << 24);
    }

private:
    iconv_t m_cd;
};

struct ByteRange {
    unsigned first;
    unsigned last;
};

// A cell where the decoder knowingly differs from glibc, and why (null: no exception).
using Exception = std::function<const char *(unsigned lead, unsigned trail, const std::wstring &ours)>;

struct TableCase {
    const char *name;
    const char *iconvName;
    std::function<std::wstring(const std::string &)> decode;
    std::vector<ByteRange> leads;
    std::vector<ByteRange> trails;
    Exception exception;
    int expectedExceptions; // keeps the listed exceptions from growing unnoticed
};

bool inRange(unsigned v, unsigned first, unsigned last) {
    return v >= first && v <= last;
}

bool privateUse(const std::wstring &text) {
    return text.size() == 1 && inRange(unsigned(text[0]), 0xE000, 0xF8FF);
}

std::string hex(unsigned lead, unsigned trail) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02X%02X", lead, trail);
    return buf;
}

std::wstring iso2022(const std::string &bytes, const unsigned &mode) {
    return Charsets::convertISO2022(bytes, &mode);
}

// KS C 5601 rows C9 and FE are user-defined; we map them into the Private Use Area as
// Windows does, glibc leaves them undefined. A2E8 (U+327E) joined the standard in 2002,
// after the 1987 set and code page 949 that the tables follow.
const char *koreanException(unsigned lead, unsigned trail, const std::wstring &ours) {
    if ((lead == 0xC9 || lead == 0xFE) && inRange(trail, 0xA1, 0xFE) && privateUse(ours))
        return "user-defined row in the Private Use Area";
    if (lead == 0xA2 && trail == 0xE8 && ours == L"\xFFFD")
        return "added to KS X 1001 in 2002";
    return nullptr;
}

// The one JIS X 0208 table follows code page 932, so EUC-JP decodes the six cells where
// CP932 chose other characters as CP932 does, and CP932's additions (NEC row 13 = AD, the
// NEC-selected IBM extensions in rows 89-92 = F9-FC), which EUC-JP proper leaves empty.
const char *eucJpException(unsigned lead, unsigned trail, const std::wstring &ours) {
    static const unsigned cp932Variants[] = {0xA1C1, 0xA1C2, 0xA1DD, 0xA1F1, 0xA1F2, 0xA2CC};
    for (unsigned cell : cp932Variants) {
        if ((lead << 8 | trail) == cell)
            return "CP932's choice for this JIS X 0208 cell";
    }
    if ((lead == 0xAD || inRange(lead, 0xF9, 0xFC)) && ours.size() == 1 && ours[0] != replacement)
        return "CP932 addition to JIS X 0208";
    return nullptr;
}

// Lead bytes F0-F9 (user-defined) and FA-FC (IBM extensions, duplicates of rows 89-92)
// lie beyond JIS X 0208's 94 rows: each byte gives the replacement and the trail is read on
// its own.
const char *cp932Exception(unsigned lead, unsigned, const std::wstring &ours) {
    if (inRange(lead, 0xF0, 0xFC) && ours.size() >= 2 && ours[0] == replacement)
        return "lead byte outside JIS X 0208";
    return nullptr;
}

// The user-defined areas of code pages 936 and 950 map into the Private Use Area as
// Windows maps them; glibc leaves them undefined.
const char *userDefinedException(unsigned, unsigned, const std::wstring &ours) {
    return privateUse(ours) ? "user-defined area in the Private Use Area" : nullptr;
}

std::vector<TableCase> tableCases() {
    return {
        {"EUC_KR",
         "EUC-KR",
         [](const std::string &b) { return iso2022(b, Charsets::EUC_KR); },
         {{0xA1, 0xFE}},
         {{0xA1, 0xFE}},
         koreanException,
         2 * 94 + 1},
        {"CP949",
         "CP949",
         [](const std::string &b) { return Charsets::convertKSC5601(b, nullptr); },
         {{0x81, 0xFE}},
         {{0x41, 0xFE}},
         koreanException,
         2 * 94},
        {"EUC_JP",
         "EUC-JP",
         [](const std::string &b) { return iso2022(b, Charsets::EUC_JP); },
         {{0xA1, 0xFE}},
         {{0xA1, 0xFE}},
         eucJpException,
         6 + 457},
        {"CP932",
         "CP932",
         [](const std::string &b) { return iso2022(b, Charsets::SHIFT_JIS); },
         {{0x81, 0x9F}, {0xE0, 0xFC}},
         {{0x40, 0xFC}},
         cp932Exception,
         // Where glibc has no character either and the second byte is ASCII (7F after every
         // lead, FC4C-FC7E) both read the lone lead byte and then the ASCII byte.
         13 * 189 - 13 - 51},
        {"GBK",
         "CP936",
         [](const std::string &b) { return Charsets::convertGB2312(b, nullptr); },
         {{0x81, 0xFE}},
         {{0x40, 0xFE}},
         userDefinedException,
         2149},
        {"CP950",
         "CP950",
         [](const std::string &b) { return Charsets::convertBIG5(b, nullptr); },
         {{0x81, 0xFE}},
         {{0x40, 0x7E}, {0xA1, 0xFE}},
         userDefinedException,
         5809},
    };
}

void PrintTo(const TableCase &tc, std::ostream *os) {
    *os << tc.name;
}

class CJKTableTest : public testing::TestWithParam<TableCase> {};

TEST_P(CJKTableTest, EveryPairMatchesIconv) {
    const TableCase &tc = GetParam();
    IconvDecoder glibc(tc.iconvName);
    ASSERT_TRUE(glibc.valid()) << "iconv does not know " << tc.iconvName;
    std::vector<std::string> mismatches;
    int checked = 0;
    int defined = 0;
    int excepted = 0;
    for (const ByteRange &leads : tc.leads) {
        for (unsigned lead = leads.first; lead <= leads.last; ++lead) {
            for (const ByteRange &trails : tc.trails) {
                for (unsigned trail = trails.first; trail <= trails.last; ++trail) {
                    const std::string bytes{char(lead), char(trail)};
                    const std::wstring ours = tc.decode(bytes);
                    const std::optional<char32_t> theirs = glibc.one(bytes);
                    ++checked;
                    defined += theirs ? 1 : 0;
                    std::wstring expected(1, theirs ? wchar_t(*theirs) : replacement);
                    // Without a pair, an ASCII second byte is read again on its own.
                    if (!theirs && trail < 0x80)
                        expected += tc.decode(std::string(1, char(trail)));
                    if (ours == expected)
                        continue;
                    if (tc.exception(lead, trail, ours))
                        ++excepted;
                    else
                        mismatches.push_back(hex(lead, trail) + ": ours " + codes(ours) + "iconv " +
                                             codes(expected));
                }
            }
        }
    }
    std::string listing;
    for (std::size_t i = 0; i < mismatches.size(); ++i)
        listing += mismatches[i] + "\n";
    EXPECT_TRUE(mismatches.empty()) << mismatches.size() << " of " << checked << " pairs differ:\n"
                                    << listing;
    EXPECT_EQ(excepted, tc.expectedExceptions);
    std::printf("%s: %d pairs, %d defined by iconv, %d listed exceptions\n", tc.name, checked, defined,
                excepted);
}

INSTANTIATE_TEST_SUITE_P(Tables, CJKTableTest, testing::ValuesIn(tableCases()),
                         [](const testing::TestParamInfo<TableCase> &info) { return info.param.name; });

} // namespace
