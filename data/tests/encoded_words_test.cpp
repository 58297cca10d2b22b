// RFC 2047 encoded words in header values, checked against Python's email.header.

#include "data_email.h"

#include "testsupport/ChildProcess.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string toHex(const QByteArray &bytes) {
    return bytes.toHex().toStdString();
}

struct OracleCase {
    const char *name;
    const char *value; // header value bytes
};

// Values on which a sound decoder and Python's email.header agree.
const OracleCase oracleCases[] = {
    {"q latin-1 then plain words", "=?iso-8859-1?q?caf=E9?= au lait"},
    {"upper-case Q, escape E9", "=?ISO-8859-1?Q?R=E9sum=E9?= final"},
    {"b utf-8", "=?UTF-8?B?w6l0w6k=?="},
    {"lower-case b", "=?utf-8?b?eA==?="},
    {"adjacent words lose the blank between them", "=?utf-8?b?w6lj?= =?utf-8?b?w6k=?="},
    {"folding whitespace between words", "=?UTF-8?Q?a?=\t =?UTF-8?Q?b?= c"},
    {"character split over two words", "=?utf-8?q?=E2=82?= =?utf-8?q?=AC?="},
    {"words without space between", "=?utf-8?b?QUJD?==?utf-8?b?REVG?="},
    {"different charsets side by side", "=?iso-8859-1?q?=E9?= =?utf-8?q?=C3=A9?="},
    {"underscore is a blank", "=?utf-8?q?hello_world?="},
    {"escaped underscore stays", "=?utf-8?q?snake=5Fcase?="},
    {"word inside plain text", "Re: =?utf-8?q?J=C3=B6rg?= wrote"},
    {"blanks around a word kept", "x =?utf-8?q?y?=  z"},
    {"several words in a value", "A =?utf-8?q?b?= c =?utf-8?q?d?= e"},
    {"no encoded word", "just text, nothing to do"},
    {"unpadded base64", "=?utf-8?b?QUI?="},
    {"unpadded base64, two bytes short", "=?utf-8?b?w6k?="},
    {"q escape not hex", "=?utf-8?q?a=zz?="},
    {"q trailing equals", "=?utf-8?q?100=?="},
    {"q lone equals", "=?UTF-8?Q?=?="},
    {"koi8-r", "=?koi8-r?b?8NLJ18XU?="},
    {"iso-2022-jp", "=?ISO-2022-JP?B?GyRCJEskWyRzGyhC?="},
    // Each word of a stateful charset ends in its initial state: joined, the escape that
    // closes one word meets the escape that opens the next.
    {"iso-2022-jp subject in three words",
     "=?iso-2022-jp?b?GyRCRnxLXDhsJE43b0w+JCwkSCRGJGJEOSQvJEokaz5sOWckSyRPSiMbKEI=?=\r\n "
     "=?iso-2022-jp?b?GyRCP3QkTklkOWYyPSQ1JGwkP0MxOGwkS0osM2QkNSRsJGskMyRIGyhC?=\r\n "
     "=?iso-2022-jp?b?GyRCJCwkIiRqJF4kOSEjJUYlOSVIJEckOSEjGyhC?="},
    {"iso-2022-jp subject in four words",
     "=?iso-2022-jp?b?GyRCN29MPiQsRDkkJD5sOWckT0ojGyhC?=\r\n "
     "=?iso-2022-jp?b?GyRCP3QkTkMxOGwkS0osM2QbKEI=?=\r\n =?iso-2022-jp?b?GyRCJDUkbCReJDkhI0Z8S1wbKEI=?=\r\n "
     "=?ISO-2022-JP?b?GyRCOGwkTiVGJTklSCRHJDkbKEI=?="},
    {"utf-7 subject in three words",
     "=?utf-7?q?+ZeVnLIqeMG5O9lQNMAFSBlJy-?=\r\n =?utf-7?q?+MFUwjDBf-UTF-7+MG5TWIqe-?=\r\n "
     "=?utf-7?q?+MGcwWTACMIIwRlwRMFeVdzBP-?="},
    {"shift_jis character split over two words", "=?shift_jis?b?k/qW?= =?shift_jis?b?e4zq?="},
    {"shift_jis", "=?shift_jis?b?k/qWe4zq?="},
    {"gb2312", "=?gb2312?b?xOO6ww==?="},
    {"big5", "=?big5?b?pKSk5Q==?="},
    {"windows-1252 euro", "=?windows-1252?q?=80?="},
    {"iso-8859-15 euro", "=?iso-8859-15?q?=A4?="},
};

} // namespace

TEST(EncodedWords, AgreeWithPythonEmailHeader) {
    std::ostringstream input;
    for (const OracleCase &c : oracleCases)
        input << toHex(QByteArray(c.value)) << '\n';
    const auto r = vltest::runCommand(
        {"/usr/bin/python3", std::string(VL_TEST_DATA_DIR) + "/decode_words.py"}, input.str());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::istringstream lines(r.out);
    for (const OracleCase &c : oracleCases) {
        std::string expected;
        ASSERT_TRUE(std::getline(lines, expected)) << c.name;
        ASSERT_NE(expected, "ERR") << c.name << ": the oracle cannot decode its own row";
        const QString got = getEncodedText(QByteArray(c.value));
        EXPECT_EQ(toHex(got.toUtf8()), expected)
            << c.name << ": got [" << got.toStdString() << "] expected ["
            << QByteArray::fromHex(QByteArray::fromStdString(expected)).toStdString() << "]";
    }
}

TEST(EncodedWords, WhereWeDifferFromPython) {
    struct Case {
        const char *name;
        const char *value;
        const char *expected; // UTF-8
    };
    const Case cases[] = {
        // Python raises on a charset it does not know; we leave the word as it stands.
        {"unknown charset", "=?x-no-such-charset?q?abc?= tail", "=?x-no-such-charset?q?abc?= tail"},
        {"unknown charset keeps the blank before a known word",
         "=?x-no-such-charset?q?a?= =?utf-8?q?b?=", "=?x-no-such-charset?q?a?= b"},
        // Python adds blanks at the quotes; the quotes stay as they are here.
        {"word in double quotes", "\"=?utf-8?q?J=C3=B6rg?=\" <j@x>", "\"Jörg\" <j@x>"},
        // Python adds blanks between a word and the text glued to it.
        {"word glued to text", "abc=?utf-8?q?x?=def", "abcxdef"},
        {"question mark glued after a word", "=?utf-8?q?what?=?", "what?"},
        // Python stops at the first pad; each group of four carries its own padding here.
        {"padding per group", "=?utf-8?b?QQ==QUJD?=", "AABC"},
        // RFC 2231 language suffix.
        {"charset with language", "=?utf-8*en?q?hi?=", "hi"},
        {"unterminated word", "=?utf-8?q?never closed", "=?utf-8?q?never closed"},
        {"encoding letter other than B or Q", "=?utf-8?x?abc?=", "=?utf-8?x?abc?="},
        {"empty charset", "=??q?abc?=", "=??q?abc?="},
        {"empty value", "", ""},
        // A UTF-7 word may end inside its base64 run; Python joins it to the next word.
        {"utf-7 word ending inside base64", "=?utf-7?q?+ZeVnLA?= =?utf-7?q?abc?=", "日本abc"},
        // Plain 8-bit bytes are Latin-1 characters.
        {"8-bit text and a word", "K\xf6ln =?utf-8?q?=E2=82=AC?=", "Köln €"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(getEncodedText(QByteArray(c.value)), QString::fromUtf8(c.expected)) << c.name;
}

TEST(EncodedWords, ManyOpeningsAreScannedOnce) {
    // "=?" everywhere and no "?=": must stay linear.
    QByteArray hostile;
    for (int i = 0; i < 200000; ++i)
        hostile += "=?a?q?";
    EXPECT_EQ(getEncodedText(hostile), QString::fromLatin1(hostile));
}

TEST(EncodedWords, Base64Decoder) {
    struct Case {
        const char *name;
        const char *in;
        QByteArray out;
    };
    const Case cases[] = {
        {"three bytes", "QUJD", "ABC"},
        {"one pad", "QUI=", "AB"},
        {"two pads", "QQ==", "A"},
        {"padding per group", "QQ==QUJD", "AABC"},
        {"pad group then pad group", "QQ==Qg==", "AB"},
        {"whitespace and junk skipped", "QU\r\nJ D*", "ABC"},
        {"missing padding, two values", "QQ", "A"},
        {"missing padding, three values", "QUI", "AB"},
        {"lone value dropped", "QUJDR", "ABC"},
        {"all pads", "====", ""},
        {"high bytes", "/+8=", QByteArray("\xff\xef", 2)},
        {"nothing", "", ""},
    };
    for (const Case &c : cases) {
        const int n = int(std::strlen(c.in));
        std::vector<unsigned char> dst(size_t(n) + 4, 0xAA);
        const int got = kbB64Decode(reinterpret_cast<const unsigned char *>(c.in), n, dst.data());
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(dst.data()), got), c.out) << c.name;
        EXPECT_LE(got, n) << c.name;
    }
}

TEST(EncodedWords, Base64DecoderAgreesWithBase64Tool) {
    // Every byte value, encoded by the real tool, decodes back.
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += char(i);
    for (size_t len : {0u, 1u, 2u, 3u, 100u, 256u}) {
        const auto r = vltest::runCommand({"base64", "-w", "0"}, all.substr(0, len));
        ASSERT_EQ(r.exitCode, 0);
        std::vector<unsigned char> dst(r.out.size() + 4);
        const int got =
            kbB64Decode(reinterpret_cast<const unsigned char *>(r.out.data()), int(r.out.size()), dst.data());
        EXPECT_EQ(std::string(reinterpret_cast<const char *>(dst.data()), size_t(got)), all.substr(0, len))
            << len;
    }
}

TEST(EncodedWords, QDecoderAndHexval) {
    struct Case {
        const char *name;
        const char *in;
        QByteArray out;
    };
    const Case cases[] = {
        {"escape", "caf=E9", "caf\xe9"},
        {"lower-case escape", "=e9", "\xe9"},
        {"underscore", "a_b", "a b"},
        {"escaped underscore", "a=5Fb", "a_b"},
        {"escape of a NUL byte", "a=00b", QByteArray("a\0b", 3)},
        {"non-hex escape kept", "=G1", "=G1"},
        {"short escape at the end kept", "ab=4", "ab=4"},
        {"equals at the end kept", "ab=", "ab="},
    };
    for (const Case &c : cases) {
        const int n = int(std::strlen(c.in));
        std::vector<unsigned char> dst(size_t(n) + 4);
        const int got = kbQPDecode(reinterpret_cast<const unsigned char *>(c.in), n, dst.data());
        EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(dst.data()), got), c.out) << c.name;
    }

    EXPECT_EQ(hexval('0'), 0);
    EXPECT_EQ(hexval('9'), 9);
    EXPECT_EQ(hexval('A'), 10);
    EXPECT_EQ(hexval('f'), 15);
    EXPECT_EQ(hexval('g'), 0);
    EXPECT_EQ(hexval(-1), 0);
    EXPECT_EQ(hexval(0xe9), 0);
}
