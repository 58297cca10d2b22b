// Whole texts through the charset names: files encoded by real tools decode back to their
// UTF-8 source; every multi-byte name and mode survives random and cut-off input.
#include "CharacterCoders.h"
#include "CharacterCoders_p.h"
#include "ISO2022CharacterCoders.h"

#include "CharsetTestHelpers.h"
#include "testsupport/ChildProcess.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

using namespace Charsets;
using charsettest::multiByteNames;

namespace {

const std::string dataDir = VL_TEST_DATA_DIR "/cjk";

std::wstring fromUtf8(const std::string &bytes) {
    return CharacterCoders::decode(bytes, "utf-8", false);
}

// "<stem>.<charset>.txt" beside "<stem>.utf-8.txt" holds the same text in that charset.
TEST(CJKText, DataFilesDecodeToTheirUtf8Source) {
    int compared = 0;
    for (const auto &entry : std::filesystem::directory_iterator(dataDir)) {
        const std::string file = entry.path().filename().string();
        const std::size_t firstDot = file.find('.');
        const std::size_t lastDot = file.rfind('.');
        const std::string stem = file.substr(0, firstDot);
        const std::string charset = file.substr(firstDot + 1, lastDot - firstDot - 1);
        if (charset == "utf-8")
            continue;
        const std::wstring expected = fromUtf8(vltest::readFile(dataDir + "/" + stem + ".utf-8.txt"));
        const std::wstring got =
            CharacterCoders::decode(vltest::readFile(entry.path().string()), charset, false);
        EXPECT_EQ(got, expected) << file;
        ++compared;
    }
    EXPECT_EQ(compared, 9);
}

struct IconvCase {
    const char *source;
    const char *iconvName;
    const char *ourName;
};

// The sources encoded by iconv now, so the test follows the tool rather than stored bytes.
TEST(CJKText, IconvOutputDecodesBackToSource) {
    ASSERT_TRUE(vltest::haveProgram("iconv"));
    const IconvCase cases[] = {
        {"japanese", "ISO-2022-JP", "iso-2022-jp"},
        {"japanese", "EUC-JP", "euc-jp"},
        {"japanese", "CP932", "shift_jis"},
        {"korean", "ISO-2022-KR", "iso-2022-kr"},
        {"korean", "EUC-KR", "euc-kr"},
        {"korean", "CP949", "ks_c_5601-1987"},
        {"korean", "UHC", "korean"},
        {"chinese-simplified", "CP936", "gbk"},
        {"chinese-simplified", "EUC-CN", "gb2312"},
        {"chinese-traditional", "BIG5", "big5"},
        {"chinese-traditional", "CP950", "x-x-big5"},
    };
    for (const IconvCase &c : cases) {
        const std::string source = vltest::readFile(dataDir + "/" + c.source + ".utf-8.txt");
        const vltest::CommandResult encoded =
            vltest::runCommand({"iconv", "-f", "UTF-8", "-t", c.iconvName}, source);
        ASSERT_EQ(encoded.exitCode, 0) << c.iconvName << ": " << encoded.err;
        EXPECT_EQ(CharacterCoders::decode(encoded.out, c.ourName, false), fromUtf8(source))
            << c.source << " as " << c.iconvName;
    }
}

TEST(CJKText, Iso2022KrUsesItsEscapeAndShifts) {
    const std::string bytes = vltest::readFile(dataDir + "/korean.iso-2022-kr.txt");
    ASSERT_EQ(bytes.rfind("\x1b$)C", 0), 0u);
    ASSERT_NE(bytes.find('\x0e'), std::string::npos);
    const std::wstring text = CharacterCoders::decode(bytes, "csiso2022kr", false);
    EXPECT_EQ(text.find(L'\x0e'), std::wstring::npos);
    EXPECT_EQ(text.find(L'\x1b'), std::wstring::npos);
    EXPECT_EQ(text.substr(0, 2), L"\xC81C\xBAA9");
}

TEST(CharsetNames, ExactlyTheAcceptedVocabulary) {
    EXPECT_EQ(CharacterCoders::getConverters().size(), 227u);
    for (const std::string &name : multiByteNames)
        EXPECT_EQ(CharacterCoders::getConverters().count(name), 1u) << name;
    EXPECT_EQ(multiByteNames.size(), 47u);
}

// Each group of names reaches its own decoder: one text that only that decoder reads right.
TEST(CharsetNames, MultiByteNamesReachTheirDecoders) {
    struct Sample {
        std::string bytes;
        std::wstring text;
    };
    const Sample gbk{"\xb0\xa1\x80", L"\x554A\x20AC"};
    const Sample hz{"~{0!~}", L"\x554A"};
    const Sample big5{"\xa4\x40", L"\x4E00"};
    const Sample uhc{"\x81\x41\\", L"\xAC02\x20A9"};
    const Sample iso2022Kr{"\x1b$)C\x0e"
                           "0!\x0f",
                           L"\xAC00"};
    const Sample eucKr{"\xb0\xa1\x1b", L"\xAC00\x1B"};
    const Sample iso2022Jp{"\x1b$B0!\x1b(B", L"\x4E9C"};
    const Sample eucJp{"\xb0\xa1\x8e\xb1", L"\x4E9C\xFF71"};
    const Sample shiftJis{"\x88\x9f\xb1", L"\x4E9C\xFF71"};
    const std::vector<std::pair<std::vector<std::string>, Sample>> groups = {
        {{"gb2312", "csgb2312", "csgb231280", "gb_2312-80", "gb231280", "gb2312-80", "iso-ir-58", "chinese",
          "csiso58gb231280", "cn-gb", "euc-cn", "x-euc-cn", "gbk"},
         gbk},
        {{"hz-gb-2312"}, hz},
        {{"big5", "csbig5", "cn-big5", "x-x-big5", "big5-hkscs"}, big5},
        {{"ks_c_5601", "ks_c_5601-1987", "ks_c_5601-1989", "ksc_5601", "ksc5601", "iso-ir-149",
          "csksc56011987", "korean", "_autodetect_kr"},
         uhc},
        {{"iso-2022-kr", "csiso2022kr"}, iso2022Kr},
        {{"euc-kr", "cseuckr"}, eucKr},
        {{"iso-2022-jp", "csiso2022jp"}, iso2022Jp},
        {{"euc-jp", "x-euc", "x-euc-jp", "extended_unix_code_packed_format_for_japanese",
          "cseucpkdfmtjapanese"},
         eucJp},
        {{"shift_jis", "shift-jis", "sjis", "csshiftjis", "ms-kanji", "cswindows31j", "x-ms-cp932", "x-sjis"},
         shiftJis},
    };
    std::size_t names = 0;
    for (const auto &[group, sample] : groups) {
        for (const std::string &name : group) {
            EXPECT_EQ(CharacterCoders::decode(sample.bytes, name, false), sample.text) << name;
            ++names;
        }
    }
    EXPECT_EQ(names, multiByteNames.size());
    // Labels come in any case and with blanks around them.
    EXPECT_EQ(CharacterCoders::decode("\xb0\xa1", " EUC-KR\t", false), L"\xAC00");
    EXPECT_EQ(CharacterCoders::decode("\x88\x9f", "Shift_JIS", false), L"\x4E9C");
}

// Bytes chosen to hit the escapes, shifts, lead bytes and edges of every decoder.
std::string randomBytes(std::mt19937 &random, std::size_t length) {
    static const unsigned char interesting[] = {0x00, 0x0A, 0x0E, 0x0F, 0x1B, 0x20, 0x21, 0x24, 0x28, 0x29,
                                                0x2A, 0x2B, 0x40, 0x42, 0x43, 0x4E, 0x4F, 0x6E, 0x6F, 0x7B,
                                                0x7C, 0x7D, 0x7E, 0x7F, 0x80, 0x81, 0x8E, 0x8F, 0x9F, 0xA0,
                                                0xA1, 0xDF, 0xE0, 0xEF, 0xF0, 0xFC, 0xFE, 0xFF};
    std::string bytes(length, '\0');
    for (char &b : bytes) {
        const unsigned pick = random();
        b = char(pick % 2 ? interesting[(pick >> 1) % sizeof interesting] : (pick >> 1) & 0xFF);
    }
    return bytes;
}

// Each character comes from at least one byte, so no decoder can make more characters than it
// was given bytes; under AddressSanitizer this also shows that no decoder reads past its input.
TEST(CJKText, RandomBytesThroughEveryNameAndMode) {
    std::mt19937 random(20261210);
    std::vector<std::string> inputs;
    for (int i = 0; i < 400; ++i)
        inputs.push_back(randomBytes(random, random() % 80));
    for (const std::string &name : multiByteNames) {
        for (const std::string &bytes : inputs)
            EXPECT_LE(CharacterCoders::decode(bytes, name, false).size(), bytes.size()) << name;
    }
    for (unsigned mode = 0; mode <= 6; ++mode) {
        for (const std::string &bytes : inputs)
            EXPECT_LE(convertISO2022(bytes, &mode).size(), bytes.size()) << mode;
    }
}

// A text cut anywhere (mid pair, mid escape) decodes without reading past the cut.
TEST(CJKText, EveryCutOfTheDataFilesDecodes) {
    for (const auto &entry : std::filesystem::directory_iterator(dataDir)) {
        const std::string file = entry.path().filename().string();
        const std::size_t firstDot = file.find('.');
        const std::string charset = file.substr(firstDot + 1, file.rfind('.') - firstDot - 1);
        const std::string bytes = vltest::readFile(entry.path().string());
        for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
            // A heap copy of exactly the cut length, so that AddressSanitizer sees any overread.
            const std::string prefix(bytes.data(), cut);
            EXPECT_LE(CharacterCoders::decode(prefix, charset, false).size(), cut)
                << file << " cut at " << cut;
        }
    }
}

} // namespace
