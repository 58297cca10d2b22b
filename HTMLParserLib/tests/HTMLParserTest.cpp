// Event traces of the HTML parser: for each input, the whole sequence of handler calls.

#include "HTMLParser.h"
#include "TraceHandler.h"
#include "charset/UnicodeCoders.h"
#include "testsupport/GoldenFiles.h"
#include "testsupport/TempDir.h"
#include "testsupport/TestNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string traceOf(const std::wstring &html, bool noFinish = false) {
    TraceHandler handler;
    HTMLParser::parseHTML(handler, html, noFinish);
    return handler.trace();
}

struct TraceCase {
    const char *name;
    std::wstring html;
    const char *trace;
};

const TraceCase traceCases[] = {
    {"less-than in text stays text", L"a < b", "text \"a \"\ntext \"< b\"\nfinished\n"},
    {"lone < at the end", L"x<", "text \"x\"\ntext \"<\"\nfinished\n"},
    {"lone </ at the end", L"x</", "text \"x\"\ntext \"</\"\nfinished\n"},
    {"closing tag without a name reports nothing", L"</ b>after", "text \"after\"\nfinished\n"},
    {"quoted values may hold >", L"<a title=\"x>y\" href='q'>t",
     "open \"a\" a\nattr \"title\" title = \"x>y\"\nattr \"href\" href = \"q\"\nend-open\ntext "
     "\"t\"\nfinished\n"},
    {"unterminated quoted value reports no attribute", L"<a href=\"unterminated",
     "open \"a\" a\nend-open\nfinished\n"},
    {"unquoted value at the very end reports no attribute", L"<a href=x",
     "open \"a\" a\nend-open\nfinished\n"},
    {"= at the very end reports no attribute", L"<a href= ", "open \"a\" a\nend-open\nfinished\n"},
    {"empty unquoted value", L"<a href= >", "open \"a\" a\nattr \"href\" href = \"\"\nend-open\nfinished\n"},
    {"attribute without value", L"<input checked>",
     "open \"input\" input\nattr \"checked\" checked\nend-open\nfinished\n"},
    {"attribute without value at the end", L"<input checked",
     "open \"input\" input\nattr \"checked\" checked\nend-open\nfinished\n"},
    {"< inside a tag joins an attribute name", L"<a b<c=1>",
     "open \"a\" a\nattr \"b<c\" bc = \"1\"\nend-open\nfinished\n"},
    {"upper-case names are sanitised", L"<DIV Class=Main>",
     "open \"DIV\" div\nattr \"Class\" class = \"Main\"\nend-open\nfinished\n"},
    {"odd characters vanish from sanitised names", L"<my_tag! x.y:z-1=2>",
     "open \"my_tag!\" mytag\nattr \"x.y:z-1\" xy:z-1 = \"2\"\nend-open\nfinished\n"},
    {"characters above 255 never delimit",
     L"<a\x3000"
     L"b c\x3000=\x3000>",
     "open \"a\\u{3000}b\" ab\nattr \"c\\u{3000}\" c = \"\\u{3000}\"\nend-open\nfinished\n"},
    {"slash in a tag is skipped", L"<br/><a/b>",
     "open \"br\" br\nend-open\nopen \"a\" a\nattr \"b\" b\nend-open\nfinished\n"},
    {"attribute without name", L"<a =x>", "open \"a\" a\nattr \"\"  = \"x\"\nend-open\nfinished\n"},
    {"tag cut at the end still ends", L"<b", "open \"b\" b\nend-open\nfinished\n"},
    {"script body is raw up to its closing tag in any case", L"<script type=x>if (a<b) s=\"<b>\";</SCRIPT >z",
     "open \"script\" script\nattr \"type\" type = \"x\"\nend-open\nbody \"if (a<b) s=\\\"<b>\\\";\"\n"
     "close \"SCRIPT\" script\ntext \"z\"\nfinished\n"},
    {"script without closing tag takes the rest", L"<script>a</scrip",
     "open \"script\" script\nend-open\nbody \"a</scrip\"\nfinished\n"},
    {"closing tag that just fits", L"<style>x</style",
     "open \"style\" style\nend-open\nbody \"x\"\nclose \"style\" style\nfinished\n"},
    {"comment element is raw", L"<comment><b>x</b></comment>",
     "open \"comment\" comment\nend-open\nbody \"<b>x</b>\"\nclose \"comment\" comment\nfinished\n"},
    {"cut script tag has an empty body", L"<script",
     "open \"script\" script\nend-open\nbody \"\"\nfinished\n"},
    {"comment", L"<!-- a -- b -->c", "comment \" a -- b \"\ntext \"c\"\nfinished\n"},
    {"unterminated comment ends at the next >", L"<!-- a -- b > c",
     "comment \" a -- b \"\ntext \" c\"\nfinished\n"},
    {"unterminated comment without >", L"<!-- a", "comment \" a\"\nfinished\n"},
    {"empty comment", L"<!---->", "comment \"\"\nfinished\n"},
    {"doctype", L"<!DOCTYPE html>x", "doctype \"DOCTYPE html\"\ntext \"x\"\nfinished\n"},
    {"<! at the end", L"<!", "doctype \"\"\nfinished\n"},
    {"<!- is a declaration", L"<!-x>", "doctype \"-x\"\nfinished\n"},
    {"processing instruction", L"<?xml version=\"1.0\"?>", "pi \"xml version=\\\"1.0\\\"?\"\nfinished\n"},
    {"closing tag skips quoted >", L"</a href=\">\" x>y", "close \"a\" a\ntext \"y\"\nfinished\n"},
    {"closing tag with unterminated quote", L"</a \">y", "close \"a\" a\nfinished\n"},
    {"blanks collapse", L"a  \t\r\n b ", "text \"a b \"\nfinished\n"},
    {"blanks kept inside pre", L"<pre>a  b\n</pre>c  d",
     "open \"pre\" pre\nend-open\ntext \"a  b\\n\"\nclose \"pre\" pre\ntext \"c d\"\nfinished\n"},
    {"nested pre", L"<pre><pre></pre>a  b</pre>a  b",
     "open \"pre\" pre\nend-open\nopen \"pre\" pre\nend-open\nclose \"pre\" pre\ntext \"a  b\"\n"
     "close \"pre\" pre\ntext \"a b\"\nfinished\n"},
    {"closing pre without opening", L"</pre>a  b", "close \"pre\" pre\ntext \"a b\"\nfinished\n"},
    {"references decode in text", L"&amp;&lt;&#38;&#x26;&#X26;&AMP;&ampx &amp y&#0;&#;&",
     "text \"&amp;&lt;&#38;&#x26;&#X26;&AMP;&ampx &amp y&#0;&#;&\" => \"&<&&&&AMP;&ampx & y&#0;&#;&\"\n"
     "finished\n"},
    {"references decode in attribute values", L"<a href=\"?a=1&amp;b=2&copy\">",
     "open \"a\" a\nattr \"href\" href = \"?a=1&amp;b=2&copy\" => \"?a=1&b=2\\u{a9}\"\nend-open\nfinished\n"},
    {"no-break space is not a blank", L"a&nbsp; \xa0 b",
     "text \"a&nbsp; \\u{a0} b\" => \"a\\u{a0} \\u{a0} b\"\nfinished\n"},
    {"NUL is a blank in text", std::wstring(L"a\0\0b", 4), "text \"a b\"\nfinished\n"},
    {"NUL inside pre stays raw but is dropped when decoded", std::wstring(L"<pre>a\0b", 8),
     "open \"pre\" pre\nend-open\ntext \"a\\0b\" => \"ab\"\nfinished\n"},
    {"NUL in a tag separates", std::wstring(L"<a\0href=x\0\0>", 12),
     "open \"a\" a\nattr \"href\" href = \"x\"\nend-open\nfinished\n"},
    {"NUL ends a quoted value", std::wstring(L"<a t=\"x\0y\" u>", 13),
     "open \"a\" a\nattr \"y\\\"\" y\nattr \"u\" u\nend-open\nfinished\n"},
};

class TraceTable : public ::testing::TestWithParam<TraceCase> {};

TEST_P(TraceTable, EventSequence) {
    EXPECT_EQ(traceOf(GetParam().html), GetParam().trace);
}

INSTANTIATE_TEST_SUITE_P(HTMLParser, TraceTable, ::testing::ValuesIn(traceCases), vltest::RowName());

TEST(HTMLParser, NoFinishFlagSuppressesFinished) {
    EXPECT_EQ(traceOf(L"x", true), "text \"x\"\n");
    EXPECT_EQ(traceOf(L"", false), "finished\n");
    EXPECT_EQ(traceOf(L"", true), "");
}

TEST(HTMLParser, PreDepthLivesForOneCall) {
    TraceHandler handler;
    HTMLParser::parseHTML(handler, L"<pre>", true);
    HTMLParser::parseHTML(handler, L"a  b", false);
    EXPECT_EQ(handler.trace(), "open \"pre\" pre\nend-open\ntext \"a b\"\nfinished\n");
}

TEST(HTMLParser, SanitizeName) {
    EXPECT_EQ(HTMLParser::sanitizeName(L"Tr:AD-9_x\x00e9\x0130"), "tr:ad-9x");
    EXPECT_EQ(HTMLParser::sanitizeName(L""), "");
}

// Each file pair in data/parser: <name>.html (UTF-8) and <name>.trace, the expected events.
const int parserFixtures = vltest::registerGoldenTests(
    {"HTMLParserFixture", std::string(VL_TEST_DATA_DIR) + "/parser", ".html", ".trace",
     [](const std::string &input) { return traceOf(Charsets::UnicodeCoders::decodeUTF8(input)); }});

TEST(HTMLParser, FixtureTraces) {
    ASSERT_GE(parserFixtures, 2);
}

} // namespace
