// Behaviour of the Chinese, Japanese and Korean decoders: ISO 2022 escapes and shifts,
// EUC single shifts, Shift_JIS pairs, the double-byte decoders' edge bytes and HZ.
#include "ISO2022CharacterCoders.h"
#include "KoreanCharacterCoders.h"
#include "SimplifiedChineseCharacterCoders.h"
#include "TraditionalChineseCharacterCoders.h"

#include "CharacterCoders.h"
#include "CharsetTestHelpers.h"
#include "testsupport/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using namespace Charsets;
using charsettest::codes;

namespace {

using Decode = std::function<std::wstring(const std::string &)>;

Decode mode(const unsigned &m) {
    return [&m](const std::string &bytes) { return convertISO2022(bytes, &m); };
}
const Decode shiftJis = mode(SHIFT_JIS);
const Decode eucJp = mode(EUC_JP);
const Decode iso2022Jp = mode(ISO2022_JP);
const Decode eucKr = mode(EUC_KR);
const Decode iso2022Kr = mode(ISO2022_KR);
const Decode uhc = [](const std::string &b) { return convertKSC5601(b, nullptr); };
const Decode gbk = [](const std::string &b) { return convertGB2312(b, nullptr); };
const Decode hz = [](const std::string &b) { return convertHZGB2312(b, nullptr); };
const Decode big5 = [](const std::string &b) { return convertBIG5(b, nullptr); };

struct DecodeCase {
    const char *name;
    const Decode *decode;
    std::string bytes;
    std::wstring expected;
};

void PrintTo(const DecodeCase &c, std::ostream *os) {
    *os << c.name;
}

class DecodeTable : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTable, Decodes) {
    const DecodeCase &c = GetParam();
    const std::wstring got = (*c.decode)(c.bytes);
    EXPECT_EQ(codes(got), codes(c.expected));
}

std::string caseName(const testing::TestParamInfo<DecodeCase> &info) {
    return info.param.name;
}

// clang-format off
const DecodeCase iso2022JpCases[] = {
    {"KanjiThenAscii", &iso2022Jp, "\x1b$B0!\x1b(BA", L"\x4E9C" L"A"},
    {"ShiftOutKatakana", &iso2022Jp, "\x0e" "1\x0f", L"\xFF71"},
    {"RomanYen", &iso2022Jp, "\x1b(J\\~", L"\x00A5~"},
    {"OldJisDesignation", &iso2022Jp, "\x1b$@0!", L"\x4E9C"},
    {"SwitchesMidLine", &iso2022Jp, "ab\x1b$B$\"\x1b(Bcd\x1b$B$$\x1b(Be", L"ab\x3042" L"cd\x3044" L"e"},
    {"SpaceAsTrailIsUsedUp", &iso2022Jp, "\x1b$B0 ", L"\xFFFD"},
    {"EscapeAsTrailIsGivenBack", &iso2022Jp, "\x1b$B0\x1b(BA", L"\xFFFD" L"A"},
    {"LoneEscapeAtEndDropped", &iso2022Jp, "A\x1b", L"A"},
    {"CutLeadAtEndGivesNothing", &iso2022Jp, "\x1b$B0", L""},
    {"CutDesignationEndsText", &iso2022Jp, "A\x1b$", L"A"},
    {"LockingShiftToEmptyG2", &iso2022Jp, "\x1bnAB\x0f" "C", L"\xFFFD\xFFFD" L"C"},
    {"SpaceAndDeleteAlwaysPass", &iso2022Jp, "\x1b$B \x7f", L" \x7F"},
    {"UnknownSetInG0GivesReplacement", &iso2022Jp, "\x1b$(DAB\x1b(BC", L"\xFFFD\xFFFD" L"C"},
    {"UnknownSetInG1LeavesG0", &iso2022Jp, "\x1b$)AA\x0e" "B", L"A\xFFFD"},
    {"NonDesignatingEscapeDropped", &iso2022Jp, "\x1b" "cA", L"A"},
    {"LongIntermediateRunIsNoDesignation", &iso2022Jp, "\x1b((((BA", L"\xFFFD"},
    {"C0ControlsPass", &iso2022Jp, "\t\r\n", L"\t\r\n"},
    {"C1Transparent", &iso2022Jp, "\x85", L"\x0085"},
};

const DecodeCase eucJpCases[] = {
    {"Kanji", &eucJp, "\xb0\xa1", L"\x4E9C"},
    {"SingleShiftKatakana", &eucJp, "\x8e\xb1", L"\xFF71"},
    {"SpaceInsideSingleShift", &eucJp, "\x8e \xb1", L" \xFF71"},
    {"AsciiAfterSingleShiftReadAgain", &eucJp, "\x8e" "A", L"\xFFFD" L"A"},
    {"AsciiTrailReadAgain", &eucJp, "\xb0" "A\n", L"\xFFFD" L"A\n"},
    {"EscapeIsAControl", &eucJp, "\x1b(B", L"\x1B(B"},
    {"Ss3NotHonoured", &eucJp, "\x8f\xb0\xa1", L"\x008F\x4E9C"},
    {"Cp932VariantWaveDash", &eucJp, "\xa1\xc1", L"\xFF5E"},
    {"NecRow13", &eucJp, "\xad\xa1", L"\x2460"},
    {"LeadA0HasNoRow", &eucJp, "\xa0\xb0\xa1", L"\xFFFD\x4E9C"},
    {"LeadFFHasNoRow", &eucJp, "\xff" "A", L"\xFFFD" L"A"},
    {"UnassignedCell", &eucJp, "\xa2\xaf", L"\xFFFD"},
    {"CutLeadAtEnd", &eucJp, "A\xb0", L"A\xFFFD"},
};

const DecodeCase eucKrCases[] = {
    {"Hangul", &eucKr, "\xb0\xa1", L"\xAC00"},
    {"EscapeIsAControl", &eucKr, "\x1b", L"\x001B"},
    {"CutLeadAtEnd", &eucKr, "\xb0", L"\xFFFD"},
    {"AsciiTrailReadAgain", &eucKr, "\xb0" "A", L"\xFFFD" L"A"},
    {"LineEndTrailReadAgain", &eucKr, "\xb0\n", L"\xFFFD\n"},
    {"LeadA0HasNoRow", &eucKr, "\xa0\xb0\xa1", L"\xFFFD\xAC00"},
    {"LeadFFHasNoRow", &eucKr, "\xff\xb0\xa1", L"\xFFFD\xAC00"},
    {"SingleShiftsAreControls", &eucKr, "\x8e\x8f", L"\x008E\x008F"},
    {"UserDefinedRowPrivateUse", &eucKr, "\xc9\xa1", L"\xE000"},
};

const DecodeCase iso2022KrCases[] = {
    {"ShiftedOutHangul", &iso2022Kr, "\x1b$)C\x0e" "0!\x0f" "A", L"\xAC00" L"A"},
    {"WithoutHeaderStillKorean", &iso2022Kr, "\x0e" "0!\x0f", L"\xAC00"},
    {"SwitchesMidLine", &iso2022Kr, "\x1b$)Ca\x0e" "0!\x0f" "b\x0e" "3*\x0f" "c", L"a\xAC00" L"b\xB098" L"c"},
    {"EightBitHangulToo", &iso2022Kr, "\xb0\xa1", L"\xAC00"},
};

const DecodeCase shiftJisCases[] = {
    {"Kanji", &shiftJis, "\x88\x9f", L"\x4E9C"},
    {"IdeographicSpace", &shiftJis, "\x81\x40", L"\x3000"},
    {"HalfWidthKatakana", &shiftJis, "\xb1", L"\xFF71"},
    {"AsciiBackslash", &shiftJis, "\\", L"\\"},
    {"Lead8EIsAPair", &shiftJis, "\x8e\x40", L"\x5BDF"},
    {"Lead8FIsAPair", &shiftJis, "\x8f\x40", L"\x5B97"},
    {"LeadE0", &shiftJis, "\xe0\x40", L"\x6F3E"},
    {"LeadEANearEnd", &shiftJis, "\xea\xa4", L"\x7199"},
    {"NecSelectedIbmRow", &shiftJis, "\xed\x40", L"\x7E8A"},
    {"NecRow13", &shiftJis, "\x87\x40", L"\x2460"},
    {"Cp932Backslash", &shiftJis, "\x81\x5f", L"\xFF3C"},
    {"Trail7FIsNoTrail", &shiftJis, "\x81\x7f", L"\xFFFD\x7F"},
    {"TrailBelow40", &shiftJis, "\x81\x30", L"\xFFFD" L"0"},
    {"UnassignedCellAsciiTrail", &shiftJis, "\x88\x41", L"\xFFFD" L"A"},
    {"UnassignedCellHighTrailUsedUp", &shiftJis, "\x85\x9f" "A", L"\xFFFD" L"A"},
    {"TrailFD", &shiftJis, "\x81\xfd", L"\xFFFD"},
    {"Byte80LeadsNothing", &shiftJis, "\x80" "A", L"\xFFFD" L"A"},
    {"ByteA0", &shiftJis, "\xa0" "A", L"\xFFFD" L"A"},
    {"LeadF0NotDecoded", &shiftJis, "\xf0" "A", L"\xFFFD" L"A"},
    {"ByteFF", &shiftJis, "\xff", L"\xFFFD"},
    {"CutLeadAtEnd", &shiftJis, "A\x88", L"A\xFFFD"},
    {"EscapesHonoured", &shiftJis, "\x1b$B0!\x1b(B\x88\x9f", L"\x4E9C\x4E9C"},
};


const DecodeCase uhcCases[] = {
    {"Hangul", &uhc, "\xb0\xa1", L"\xAC00"},
    {"ExtendedHangul", &uhc, "\x81\x41", L"\xAC02"},
    {"WonSign", &uhc, "\\", L"\x20A9"},
    {"Byte80", &uhc, "\x80", L"\x0080"},
    {"ByteFF", &uhc, "\xff", L"\xFFFD"},
    {"CutLeadAtEnd", &uhc, "\xb0", L"\xFFFD"},
    {"SpaceTrailReadAgain", &uhc, "\xb0 A", L"\xFFFD A"},
    {"NulTrail", &uhc, std::string("\xb0\x00", 2), std::wstring(L"\xFFFD") + L'\0'},
    {"UndefinedAsciiTrail", &uhc, "\x81\x5b", L"\xFFFD["},
    {"UndefinedHighTrailUsedUp", &uhc, "\xa2\xe8" "A", L"\xFFFD" L"A"},
};

const DecodeCase gbkCases[] = {
    {"Gb2312", &gbk, "\xb0\xa1", L"\x554A"},
    {"GbkExtension", &gbk, "\x81\x40", L"\x4E02"},
    {"Byte80IsEuro", &gbk, "\x80", L"\x20AC"},
    {"LastRowPrivateUse", &gbk, "\xfe\x50", L"\xE815"},
    {"Trail7F", &gbk, "\xb0\x7f", L"\xFFFD\x7F"},
    {"TrailFF", &gbk, "\xb0\xff", L"\xFFFD"},
    {"ByteFF", &gbk, "\xff" "A", L"\xFFFD" L"A"},
    {"CutLeadAtEnd", &gbk, "A\xb0", L"A\xFFFD"},
    {"NulTrail", &gbk, std::string("\xb0\x00", 2), std::wstring(L"\xFFFD") + L'\0'},
};

const DecodeCase hzCases[] = {
    {"GbThenAscii", &hz, "~{0!~}A", L"\x554A" L"A"},
    {"TildeTilde", &hz, "a~~b", L"a~b"},
    {"LineContinuation", &hz, "a~\nb", L"ab"},
    {"LineBreakInGbMode", &hz, "~{\n", L"\n"},
    {"LoneTildeAtEnd", &hz, "a~", L"a~"},
    {"LoneTildeMidText", &hz, "~x", L"~x"},
    {"SwitchesMidLine", &hz, "x~{0!~}y~{0\"~}z", L"x\x554A" L"y\x963F" L"z"},
    {"CutLeadInGbMode", &hz, "~{0", L"0"},
    {"BadTrailInGbMode", &hz, "~{0\n", L"0\n"},
    {"HighByteInGbMode", &hz, "~{\xb0", L"\x00B0"},
    {"CloseWithoutOpen", &hz, "a~}b", L"ab"},
};

const DecodeCase big5Cases[] = {
    {"Ideograph", &big5, "\xa4\x40", L"\x4E00"},
    {"IdeographicSpace", &big5, "\xa1\x40", L"\x3000"},
    {"HighTrail", &big5, "\xa4\xa1", L"\x4E11"},
    {"Trail7F", &big5, "\xa4\x7f", L"\xFFFD\x7F"},
    {"TrailA0", &big5, "\xa4\xa0", L"\xFFFD"},
    {"Byte80", &big5, "\x80", L"\x0080"},
    {"ByteFF", &big5, "\xff", L"\xFFFD"},
    {"EuroCp950", &big5, "\xa3\xe1", L"\x20AC"},
    {"CutLeadAtEnd", &big5, "\xa4", L"\xFFFD"},
    {"NulTrail", &big5, std::string("\xa4\x00", 2), std::wstring(L"\xFFFD") + L'\0'},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Iso2022Jp, DecodeTable, testing::ValuesIn(iso2022JpCases), caseName);
INSTANTIATE_TEST_SUITE_P(EucJp, DecodeTable, testing::ValuesIn(eucJpCases), caseName);
INSTANTIATE_TEST_SUITE_P(EucKr, DecodeTable, testing::ValuesIn(eucKrCases), caseName);
INSTANTIATE_TEST_SUITE_P(Iso2022Kr, DecodeTable, testing::ValuesIn(iso2022KrCases), caseName);
INSTANTIATE_TEST_SUITE_P(ShiftJis, DecodeTable, testing::ValuesIn(shiftJisCases), caseName);
INSTANTIATE_TEST_SUITE_P(UnifiedHangul, DecodeTable, testing::ValuesIn(uhcCases), caseName);
INSTANTIATE_TEST_SUITE_P(Gbk, DecodeTable, testing::ValuesIn(gbkCases), caseName);
INSTANTIATE_TEST_SUITE_P(Hz, DecodeTable, testing::ValuesIn(hzCases), caseName);
INSTANTIATE_TEST_SUITE_P(Big5, DecodeTable, testing::ValuesIn(big5Cases), caseName);

TEST(ISO2022Modes, UnknownOrMissingModeGivesEmptyText) {
    for (unsigned m : {0u, 6u, 0xFFFFFFFFu})
        EXPECT_EQ(convertISO2022("\xb0\xa1 abc", &m), L"") << m;
    EXPECT_EQ(convertISO2022("abc", nullptr), L"");
}

} // namespace

// A lead byte followed by an ASCII byte that cannot finish its pair: one replacement for the
// lead byte, then the ASCII byte as itself, as Python's codecs read it with errors="replace".
TEST(CJKDecoders, AsciiAfterLeadByteAgreesWithPython) {
    struct Decoder {
        const char *charset; // our name
        const char *codec;   // Python's
        std::vector<unsigned char> leads;
    };
    const Decoder decoders[] = {
        {"big5", "cp950", {0xa1, 0xa4, 0xc9, 0xf9}},
        {"gbk", "gbk", {0x81, 0xb0, 0xd7, 0xf7}},
        {"ks_c_5601-1987", "cp949", {0x81, 0xa1, 0xb0, 0xc6, 0xfd}},
        {"euc-kr", "euc_kr", {0xa1, 0xb0, 0xc8, 0xfd}},
        {"shift_jis", "cp932", {0x81, 0x88, 0x9f, 0xe0, 0xea}},
        {"euc-jp", "euc_jp", {0xa1, 0xb0, 0xf4, 0xfe}},
    };
    // Blank, line ends, a digit, letters, punctuation and the ends of the ASCII range.
    const std::string trails = std::string("\x00\t\n\r 0@AZ[`az~\x7f", 16);
    std::vector<std::pair<const Decoder *, std::string>> inputs;
    std::string script = "import sys\n";
    for (const Decoder &d : decoders) {
        for (unsigned char lead : d.leads) {
            for (char trail : trails) {
                const std::string bytes = std::string(1, char(lead)) + trail + "x";
                inputs.emplace_back(&d, bytes);
                std::string hex;
                for (unsigned char b : bytes) {
                    char buf[3];
                    std::snprintf(buf, sizeof buf, "%02x", b);
                    hex += buf;
                }
                script += "print(' '.join('%04x' % ord(c) for c in bytes.fromhex('" + hex + "').decode('" +
                          d.codec + "', 'replace')))\n";
            }
        }
    }
    const vltest::CommandResult r = vltest::runCommand({"/usr/bin/python3", "-c", script});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::istringstream lines(r.out);
    for (const auto &[decoder, bytes] : inputs) {
        std::string expected;
        ASSERT_TRUE(std::getline(lines, expected));
        std::string got;
        for (wchar_t c : Charsets::CharacterCoders::decode(bytes, decoder->charset, false)) {
            char buf[16];
            std::snprintf(buf, sizeof buf, got.empty() ? "%04x" : " %04x", unsigned(c));
            got += buf;
        }
        EXPECT_EQ(got, expected) << decoder->charset << " lead " << std::hex << (0xff & bytes[0]) << " trail "
                                 << (0xff & bytes[1]);
    }
}
