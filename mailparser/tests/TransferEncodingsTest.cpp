// Transfer decoders and encoders, checked against real tools: coreutils base64, sharutils
// uuencode and Python's quopri and binascii.

#include "MIMETransferEncodings.h"
#include "testsupport/ChildProcess.h"

#include <gtest/gtest.h>

#include <random>

using namespace MailParser::MIMETransferEncodings;
using vltest::runCommand;

namespace {

const char *const python = "/usr/bin/python3";

struct Sample {
    std::string name;
    std::string data;
    bool text; // CR LF line breaks only, as a mail body part carries them
};

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (char &c : s)
        c = static_cast<char>(gen() & 0xFF);
    return s;
}

std::vector<Sample> samples() {
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    std::string longLine;
    for (int i = 0; i < 300; ++i)
        longLine += static_cast<char>('a' + i % 26);
    return {
        {"empty", "", true},
        {"one byte", "A", true},
        {"two bytes", "AB", true},
        {"three bytes", "ABC", true},
        {"one uuencode line", std::string(45, 'x'), true},
        {"one base64 line", randomBytes(57, 1), false},
        {"every byte value", all, false},
        {"binary 1000", randomBytes(1000, 2), false},
        {"binary 5001", randomBytes(5001, 3), false},
        {"mail text",
         "Caf\xE9 = ok  \r\nline two\t\r\n\r\n=41 looks encoded\r\n  leading blanks\r\ntrailing "
         "equals=\r\nlast line without break",
         true},
        {"text ending in a line break", "first\r\nsecond \r\n", true},
        {"long line", longLine + "\r\n" + longLine, true},
    };
}

std::string lfToCrlf(const std::string &s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r'))
            out += '\r';
        out += s[i];
    }
    return out;
}

std::string tool(const std::vector<std::string> &argv, const std::string &input) {
    const vltest::CommandResult r = runCommand(argv, input);
    EXPECT_EQ(r.exitCode, 0) << argv[0] << ": " << r.err;
    return r.out;
}

std::string py(const std::string &code, const std::string &input) {
    return tool({python, "-c", "import sys, quopri, binascii\nd = sys.stdin.buffer.read()\n" + code}, input);
}

} // namespace

TEST(TransferEncodings, Base64AgainstCoreutils) {
    for (const Sample &s : samples()) {
        SCOPED_TRACE(s.name);
        const std::string wrapped = tool({"base64"}, s.data);
        EXPECT_EQ(decodeBase64(wrapped), s.data);
        EXPECT_EQ(decodeBase64(lfToCrlf(wrapped)), s.data);
        EXPECT_EQ(decodeBase64(tool({"base64", "-w", "0"}, s.data)), s.data);
        EXPECT_EQ(decodeBase64(py("sys.stdout.buffer.write(binascii.b2a_base64(d))", s.data)), s.data);

        const std::string ours = encodeBase64(s.data);
        EXPECT_EQ(tool({"base64", "-d"}, ours), s.data);
        // Same text as coreutils, except that ours ends without a line break after a
        // partial last line.
        EXPECT_EQ(ours.empty() || ours.back() == '\n' ? ours : ours + "\n", wrapped);
    }
}

TEST(TransferEncodings, QuotedPrintableAgainstPython) {
    for (const Sample &s : samples()) {
        SCOPED_TRACE(s.name);
        // A final line break is the end of the part, not part of its text.
        std::string expected = s.data;
        if (expected.size() >= 2 && expected.compare(expected.size() - 2, 2, "\r\n") == 0)
            expected.resize(expected.size() - 2);
        const std::string encoded =
            s.text ? py("sys.stdout.buffer.write(quopri.encodestring(d))", s.data)
                   : py("sys.stdout.buffer.write(binascii.b2a_qp(d, istext=False))", s.data);
        // Python breaks long lines with a bare LF; in mail every line break is CR LF.
        EXPECT_EQ(decodeQuotedPrintable(lfToCrlf(encoded)), expected);

        const std::string ours = encodeQuotedPrintable(s.data);
        for (std::size_t start = 0; start <= ours.size();) {
            std::size_t eol = ours.find("\r\n", start);
            if (eol == std::string::npos)
                eol = ours.size();
            EXPECT_LE(eol - start, 76u);
            start = eol + 2;
        }
        EXPECT_EQ(py("sys.stdout.buffer.write(quopri.decodestring(d))", ours), s.data);
        EXPECT_EQ(decodeQuotedPrintable(ours), expected);
    }
}

TEST(TransferEncodings, UUEncodeAgainstSharutilsAndPython) {
    ASSERT_TRUE(vltest::haveProgram("uuencode")) << "sharutils missing";
    for (const Sample &s : samples()) {
        SCOPED_TRACE(s.name);
        // The "begin" and "end" lines around the data are not data.
        const std::string file = tool({"uuencode", "part.bin"}, s.data);
        ASSERT_EQ(file.rfind("begin 6", 0), 0u);
        EXPECT_EQ(decodeUUEncoding(lfToCrlf(file)), s.data);

        // Python writes blanks for zero values; lines that lost their trailing blanks in
        // transport decode to the same bytes.
        const std::string lines = py("for i in range(0, len(d), 45):\n"
                                     "    sys.stdout.buffer.write(binascii.b2a_uu(d[i:i+45]))\n",
                                     s.data);
        EXPECT_EQ(decodeUUEncoding(lfToCrlf(lines)), s.data);
        std::string stripped;
        for (std::size_t pos = 0; pos < lines.size();) {
            std::size_t eol = lines.find('\n', pos);
            std::string line = lines.substr(pos, eol - pos);
            while (!line.empty() && line.back() == ' ')
                line.pop_back();
            stripped += line + "\r\n";
            pos = eol + 1;
        }
        EXPECT_EQ(decodeUUEncoding(stripped), s.data);
    }
}

TEST(TransferEncodings, Base64EdgeCases) {
    const std::pair<std::string, std::string> cases[] = {
        {"QQ==", "A"},
        {"QUI=", "AB"},
        {"QUJD", "ABC"},
        {"QUJDRA", "ABC"}, // incomplete last group dropped
        {"QUJDR", "ABC"},
        {"Q!U@J#D\r\n", "ABC"}, // bytes outside the alphabet skipped
        {"QQ==QUI=", "AAB"},
        {"====", std::string(1, '\0')},
        {"", ""},
    };
    for (const auto &[in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(decodeBase64(in), out);
    }
    const std::string data = randomBytes(300, 9);
    std::string unbroken = encodeBase64(data);
    std::erase(unbroken, '\n');
    std::string crlf;
    for (std::size_t i = 0; i < unbroken.size(); i += 76)
        crlf += unbroken.substr(i, 76) + "\r\n";
    EXPECT_EQ(decodeBase64(crlf), decodeBase64(unbroken));
    EXPECT_EQ(decodeBase64(crlf), data);
    const std::string line = encodeBase64(std::string(57, 'x'));
    EXPECT_EQ(line.size(), 77u);
    EXPECT_EQ(line.find('\n'), 76u);
}

TEST(TransferEncodings, QuotedPrintableEdgeCases) {
    const std::pair<std::string, std::string> cases[] = {
        {"=41", "A"},
        {"=e9=E9", "\xE9\xE9"},
        {"end=4", "end=4"},
        {"=4x", "=4x"},
        {"=G1", "=G1"},
        {"=", "="},
        {"a=  \r\nb", "ab"},
        {"a=\r\nb", "ab"},
        {"a= x", "a= x"},
        {"a=\nb", "a=\nb"}, // only CR LF is a line break
        {"a  \r\nb \t\r\n", "a\r\nb"},
        {"a  b", "a  b"},
        {"trailing  ", "trailing  "},
        {"x\ry\r\n\r\n", "x\ry\r\n"},
        {"\r\n", ""},
        {"", ""},
    };
    for (const auto &[in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(decodeQuotedPrintable(in), out);
    }
    const std::string letters(100, 'q');
    EXPECT_EQ(encodeQuotedPrintable(letters), std::string(72, 'q') + "=\r\n" + std::string(28, 'q'));
    EXPECT_EQ(encodeQuotedPrintable("a b \r\nc\t"), "a b=20\r\nc=09");
    EXPECT_EQ(encodeQuotedPrintable("=\n\r"), "=3D=0A=0D");
}

TEST(TransferEncodings, UUEncodeEdgeCases) {
    const std::pair<std::string, std::string> cases[] = {
        {"#86)C\r\n", "abc"},
        {"#86)C", ""},             // last line without CR LF
        {"#86)C\r\n`\r\n", "abc"}, // zero-count line
        {"begin 644 x\r\n#86)C\r\nend\r\n", "abc"},
        {"begin 644 x\r\n#86)C\r\nend  \r\n", "abc"},
        {"\r\n\r\n#86)C\r\n", "abc"},
        {"!\r\n", std::string(1, '\0')}, // padded with blanks
        {"M\r\n", std::string(45, '\0')},
        {"#86)C and more\r\n", "abc"},                    // characters beyond the count are ignored
        {"\x7F\x7F\r\n", "\x7C" + std::string(30, '\0')}, // count 31 from a DEL
    };
    for (const auto &[in, out] : cases) {
        SCOPED_TRACE(in);
        EXPECT_EQ(decodeUUEncoding(in), out);
    }
}

TEST(TransferEncodings, NamesAndRecognition) {
    const std::pair<const char *, TransferEncoding> cases[] = {
        {"", EightBit},
        {"  \r\n", EightBit},
        {"8BIT", EightBit},
        {"binary", EightBit},
        {"7bit", SevenBit},
        {"Quoted-Printable", QuotedPrintable},
        {" \tBASE64 \r\n", Base64},
        {"x-uuencode", UUEncode},
        {"X-UUE", UUEncode},
        {"uuencode", UUEncode},
        {"x-token", Unknown},
        {"base 64", Unknown},
    };
    for (const auto &[text, enc] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(findTransferEncoding(text), enc);
    }
    EXPECT_EQ(transferEncodingName(SevenBit), "7bit");
    EXPECT_EQ(transferEncodingName(UUEncode), "x-uuencode");
    EXPECT_EQ(transferEncodingName(static_cast<TransferEncoding>(5)), "unknown");
    EXPECT_EQ(transferEncodingName(static_cast<TransferEncoding>(-1)), "unknown");
    EXPECT_EQ(decode(Unknown, "=41 QUJD"), "=41 QUJD");
    EXPECT_EQ(decode(SevenBit, "=41"), "=41");
    EXPECT_EQ(decode(QuotedPrintable, "=41"), "A");
    EXPECT_EQ(decode(Base64, "QUJD"), "ABC");
    EXPECT_EQ(decode(UUEncode, "#86)C\r\n"), "abc");
}
