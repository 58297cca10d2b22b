// The message synopsis: white space collapsed, cut at a word boundary once long enough.

#include "MessageTextParser.h"
#include "MessageTextSynopsisExtractor.h"
#include "cpp/CUtils.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Part {
    bool html;
    std::wstring text;
};

struct SynopsisCase {
    const char *name;
    unsigned int minLength;
    unsigned int maxLength;
    unsigned int minWords;
    std::vector<Part> parts;
    std::wstring expected;
    bool truncated;
};

TEST(Synopsis, Table) {
    const std::vector<SynopsisCase> cases = {
        {"stops after the minimum words",
         10,
         100,
         3,
         {{false, L"one two three four"}},
         L"one two three",
         true},
        {"needs the minimum length too",
         18,
         100,
         1,
         {{false, L"one two three four five"}},
         L"one two three four",
         true},
        {"whole text when short", 100, 200, 50, {{false, L"one two"}}, L"one two", false},
        {"runs of white space", 100, 200, 50, {{false, L"a \t\r\n  b\u00a0\u00a0c"}}, L"a b c", false},
        {"leading white space", 100, 200, 50, {{false, L"\r\n  \thello"}}, L"hello", false},
        {"parts joined by one space", 100, 200, 50, {{false, L"one"}, {false, L"two"}}, L"one two", false},
        {"part starting with white space",
         100,
         200,
         50,
         {{false, L"one "}, {false, L"\n two"}},
         L"one two",
         false},
        {"maximum cuts inside a word", 1, 5, 1, {{false, L"abcdefgh"}}, L"abcde", true},
        {"maximum reached ends later parts",
         1,
         5,
         9,
         {{false, L"abcdefgh"}, {false, L"more"}},
         L"abcde",
         true},
        {"punctuation kept", 100, 200, 50, {{false, L"Hello,   world!"}}, L"Hello, world!", false},
        {"word boundary at punctuation", 3, 100, 1, {{false, L"abc-def ghi"}}, L"abc-", true},
        {"empty", 10, 100, 3, {{false, L""}}, L"", false},
        {"html visible text",
         100,
         200,
         50,
         {{true,
           L"<html><head><title>T</title></head><body><p>Hello</p><p>big   <b>world</b></p></body></html>"}},
         L"T Hello big world",
         false},
        {"html entities and utf-8",
         100,
         200,
         50,
         {{true, L"<p>caf&eacute; &amp; \u20ac</p>"}},
         L"caf\u00e9 & \u20ac",
         false},
        {"html then plain", 100, 200, 50, {{true, L"<div>one</div>"}, {false, L"two"}}, L"one two", false},
    };
    for (const SynopsisCase &c : cases) {
        MessageTextSynopsisExtractor extractor(c.minLength, c.maxLength, c.minWords, "");
        for (const Part &part : c.parts) {
            if (part.html) {
                extractor.processHTMLPart({}, {}, part.text);
            } else {
                extractor.processPlainTextPart({}, {}, part.text);
            }
        }
        extractor.textFinished();
        EXPECT_EQ(extractor.getSynopsis(), c.expected) << c.name;
        EXPECT_EQ(extractor.isTruncated(), c.truncated) << c.name;
    }
}

// Through the text walk: the HTML choice of an alternative, then a later plain part; the
// default charset decodes the part that names none.
TEST(Synopsis, WholeMessage) {
    const std::string message = "Subject: =?utf-8?Q?Gr=C3=BC=C3=9Fe?=\r\n"
                                "MIME-Version: 1.0\r\n"
                                "Content-Type: multipart/mixed; boundary=\"outer\"\r\n\r\n"
                                "--outer\r\n"
                                "Content-Type: multipart/alternative; boundary=\"inner\"\r\n\r\n"
                                "--inner\r\n"
                                "Content-Type: text/plain\r\n\r\n"
                                "plain version\r\n"
                                "--inner\r\n"
                                "Content-Type: text/html; charset=utf-8\r\n\r\n"
                                "<p>Dear   <b>friend</b>,</p><p>see below.</p>\r\n"
                                "--inner--\r\n"
                                "--outer\r\n"
                                "Content-Type: text/plain\r\n\r\n"
                                "Caf\xe9\tclosed\r\n"
                                "--outer--\r\n";
    MessageTextSynopsisExtractor extractor(100, 200, 50, "iso-8859-1");
    MessageTextParser parser(extractor);
    for (const std::string &line : splitLines(message)) {
        parser.inputLine(line);
    }
    parser.inputFinished();
    EXPECT_EQ(extractor.getSynopsis(), L"Dear friend, see below. Caf\u00e9 closed");
    EXPECT_FALSE(extractor.isTruncated());
}

TEST(Synopsis, DefaultCharsetIsTheGivenOne) {
    EXPECT_EQ(MessageTextSynopsisExtractor(1, 2, 3, "koi8-r").getDefaultCharset(), "koi8-r");
    EXPECT_EQ(MessageTextSynopsisExtractor(1, 2, 3, "").getDefaultCharset(), "");
}

} // namespace
