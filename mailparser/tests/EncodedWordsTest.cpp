// Encoded words in header values, with Python's email.header as the oracle.

#include "NonAsciiHeaderCoders.h"
#include "charset/UnicodeCoders.h"
#include "testsupport/ChildProcess.h"

#include <gtest/gtest.h>

using namespace MailParser::NonAsciiHeaderCoders;

namespace {

std::string utf8(const std::wstring &w) {
    return Charsets::UnicodeCoders::encodeUTF8(w);
}

// Python's reading of each value, as UTF-8; values and answers separated by NUL.
std::vector<std::string> pythonDecode(const std::vector<std::string> &values) {
    std::string input;
    for (const std::string &v : values)
        input += v + '\0';
    const vltest::CommandResult r =
        vltest::runCommand({"/usr/bin/python3", "-c",
                            "import sys\n"
                            "from email.header import decode_header, make_header\n"
                            "vals = sys.stdin.buffer.read().split(b'\\0')[:-1]\n"
                            "for v in vals:\n"
                            "    s = str(make_header(decode_header(v.decode('latin-1'))))\n"
                            "    sys.stdout.buffer.write(s.encode('utf-8') + b'\\0')\n"},
                           input);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::vector<std::string> out;
    std::size_t pos = 0;
    for (std::size_t nul; (nul = r.out.find('\0', pos)) != std::string::npos; pos = nul + 1)
        out.push_back(r.out.substr(pos, nul - pos));
    return out;
}

} // namespace

TEST(EncodedWords, AgreeWithPython) {
    const std::vector<std::string> values = {
        "=?utf-8?q?caf=C3=A9?= =?utf-8?b?w6k=?=",
        "Hello =?iso-8859-1?q?J=F6rg?= there",
        "=?iso-8859-1?q?a_b?=\r\n =?iso-8859-2?q?=B1?=",
        "=?iso-8859-1?q?a?=\r\n\t=?iso-8859-1?q?b?=",
        "=?koi8-r?b?9MXT1A==?=",
        "=?UTF-8?B?4pyTIGRvbmU=?=",
        "=?utf-8?q?=3F_and_=3d?=",
        "=?utf-8?x?abc?= z",
        "  =?utf-8?q?lead?=",
        "=?windows-1252?q?=80_euro?=",
        "=?ISO-8859-15?Q?=A4?=",
        "plain text only",
        "Re: =?utf-8?b?w6TDtsO8?= =?utf-8?b?w58=?= (x)",
        // a character split between two words
        "=?utf-8?q?caf=C3?= =?UTF-8?q?=A9?=",
        "=?utf-8?b?4pyTIGRv?=\r\n =?utf-8?b?bmUg4p8=?= =?utf-8?b?qA==?=",
        // subjects in several words of a stateful charset
        "=?iso-2022-jp?b?GyRCRnxLXDhsJE43b0w+JCwkSCRGJGJEOSQvJEokaz5sOWckSyRPSiMbKEI=?=\r\n "
        "=?iso-2022-jp?b?GyRCP3QkTklkOWYyPSQ1JGwkP0MxOGwkS0osM2QkNSRsJGskMyRIGyhC?=\r\n "
        "=?iso-2022-jp?b?GyRCJCwkIiRqJF4kOSEjJUYlOSVIJEckOSEjGyhC?=",
        "=?iso-2022-jp?b?GyRCN29MPiQsRDkkJD5sOWckT0ojGyhC?=\r\n "
        "=?iso-2022-jp?b?GyRCP3QkTkMxOGwkS0osM2QbKEI=?=\r\n "
        "=?iso-2022-jp?b?GyRCJDUkbCReJDkhI0Z8S1wbKEI=?=\r\n =?ISO-2022-JP?b?GyRCOGwkTiVGJTklSCRHJDkbKEI=?=",
        "=?utf-7?q?+ZeVnLIqeMG5O9lQNMAFSBlJy-?=\r\n =?utf-7?q?+MFUwjDBf-UTF-7+MG5TWIqe-?=\r\n "
        "=?utf-7?q?+MGcwWTACMIIwRlwRMFeVdzBP-?=",
        // a double-byte character split between two words
        "=?shift_jis?b?k/qW?= =?shift_jis?b?e4zq?=",
    };
    const std::vector<std::string> oracle = pythonDecode(values);
    ASSERT_EQ(oracle.size(), values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        SCOPED_TRACE(values[i]);
        EXPECT_EQ(utf8(decode(values[i], "")), oracle[i]);
    }
}

// Where Python's reading differs by design: it puts a blank between a word and plain text
// that touches it, and treats a malformed word differently. Ours keeps the value's own bytes.
TEST(EncodedWords, OwnRulesAndDefaultCharset) {
    struct Case {
        const char *value;
        const char *defaultCharset;
        const char *expectedUtf8;
    };
    const Case cases[] = {
        {"x =?utf-8?q?a?=, y", "", "x a, y"},
        {"a=?utf-8?q?b?=c", "", "abc"},
        {"=?utf-8?q?no end", "", "no end"},
        {"=?utf-8*en?q?x?=", "", "x"}, // unknown charset label: Latin-1
        {"=?utf-8?q", "", "=?utf-8?q"},
        {"=?utf-8;?q?x?=", "", "=?utf-8;?q?x?="},
        {"=?", "", "=?"},
        {"=?x?b?", "", ""},
        {"caf\xE9", "", "caf\xC3\xA9"},
        {"\xF4\xC5\xD3\xD4", "koi8-r", "\xD0\xA2\xD0\xB5\xD1\x81\xD1\x82"},
        {"\xF4 =?utf-8?q?=C3=A4?= \xF4", "koi8-r", "\xD0\xA2 \xC3\xA4 \xD0\xA2"},
        {"=??q?=E9?=", "iso-8859-1", "\xC3\xA9"},
        // A UTF-7 word may end inside its base64 run; the next word starts afresh.
        {"=?utf-7?q?+ZeVnLA?= =?utf-7?q?abc?=", "",
         "\xE6\x97\xA5\xE6\x9C\xAC"
         "abc"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(utf8(decode(c.value, c.defaultCharset)), c.expectedUtf8);
    }
}

TEST(EncodedWords, ParseRuns) {
    const std::vector<EncodedWord> runs = parse("Re:  =?ISO-8859-1?Q?a_b?= \r\n =?utf-8?B?w6k=?= tail");
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].charset, "");
    EXPECT_EQ(runs[0].text, "Re:  ");
    EXPECT_EQ(runs[0].encoding, 0);
    EXPECT_EQ(runs[1].charset, "ISO-8859-1");
    EXPECT_EQ(runs[1].text, "a b");
    EXPECT_EQ(runs[1].encoding, 1);
    EXPECT_EQ(runs[2].charset, "utf-8");
    EXPECT_EQ(runs[2].text, "\xC3\xA9");
    EXPECT_EQ(runs[2].encoding, 2);
    EXPECT_EQ(runs[3].text, " tail");
    EXPECT_TRUE(parse("").empty());
}

TEST(EncodedWords, Encode) {
    EXPECT_EQ(encode("", "a b"), "a b");
    EXPECT_EQ(encode("US-ASCII", "a b"), "a b");
    EXPECT_EQ(encode("iso-8859-1", "caf\xE9 ok?"), "=?iso-8859-1?Q?caf=E9_ok?"
                                                   "?=");
    EXPECT_EQ(utf8(decode(encode("iso-8859-1", "caf\xE9 ok"), "")), "caf\xC3\xA9 ok");
}
