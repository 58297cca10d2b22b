// The two rewriters: HTML to plain text, and HTML to normalised HTML.

#include "HTMLRewriter.h"
#include "HTMLParser.h"
#include "HTMLPlaintextRewriter.h"

#include "cpp/CUtils.h"
#include "testsupport/TestNames.h"

#include <gtest/gtest.h>

namespace {

struct PlainCase {
    const char *name;
    bool utf8;
    std::wstring html;
    std::string text;
};

const PlainCase plainCases[] = {
    {"paragraph text break text", true, L"<p>Hello<br>world", "Hello\r\nworld"},
    {"two divs give one break", true, L"text<div><div>more", "text\r\nmore"},
    {"list items and rows", true, L"<ul><li>one<li>two</ul><table><tr><td>a</td></tr></table>",
     "one\r\ntwo\r\na\r\n"},
    {"paragraph after text gives an empty line", true, L"text<P>more", "text\r\n\r\nmore"},
    {"paragraph after a break fills up to one empty line", true, L"text<br><p>more", "text\r\n\r\nmore"},
    {"closing block tags break too", true, L"</p>x</li>y</tr>", "x\r\ny\r\n"},
    {"blank after a break is dropped", true, L"a<br> b", "a\r\nb"},
    {"blank run alone adds no text", true, L"<p> </p><div>x", "x"},
    {"br always breaks", true, L"<br><br>x", "\r\n\r\nx"},
    {"no-break space is a space", true,
     L"a&nbsp;b\xa0"
     L"c",
     "a b c"},
    {"UTF-8 output", true, L"caf&eacute; &#x20ac; &#x1F600;", "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
    {"low byte output", false, L"caf&eacute; &#x20ac;", "caf\xe9 \xac"},
    {"saturated reference gives the replacement character", true, L"&#99999999999;", "\xef\xbf\xbd"},
    {"scripts styles and comments vanish", true,
     L"<script>var a;</script><style>p{}</style>t<!-- c -->u<!DOCTYPE x><?pi?>", "tu"},
    {"pre keeps its blanks", true, L"<pre>a\n  b</pre>", "a\n  b"},
    {"unknown tags do nothing", true, L"a<span>b</span><img src=x>c", "abc"},
};

class PlainTable : public ::testing::TestWithParam<PlainCase> {};

TEST_P(PlainTable, Output) {
    HTMLPlaintextRewriter rewriter(GetParam().utf8);
    HTMLParser::parseHTML(rewriter, GetParam().html, false);
    EXPECT_EQ(rewriter.output, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(HTMLPlaintextRewriter, PlainTable, ::testing::ValuesIn(plainCases),
                         vltest::RowName());

TEST(HTMLPlaintextRewriter, StartsWithTwoLineBreaksCounted) {
    HTMLPlaintextRewriter rewriter(false);
    EXPECT_EQ(rewriter.lineBreaks, 2);
    EXPECT_TRUE(rewriter.utf8 == false && rewriter.output.empty() && rewriter.pendingTag.empty());
}

struct HTMLCase {
    const char *name;
    std::wstring html;
    std::string output;
};

const HTMLCase htmlCases[] = {
    {"upper-case tag with unquoted value", L"<A HREF=a&amp;b TARGET=_top>Tom &amp; Jerry</A>",
     "<a href=\"a&amp;b\" target=\"_top\">Tom &amp; Jerry</a>"},
    {"line breaks after br and p", L"<p>x<br>y", "<p>\r\n\r\nx<br>\r\ny"},
    {"attribute without value", L"<input checked>", "<input checked>"},
    {"tag cut at the end is closed once", L"x<b", "x<b>"},
    {"raw bodies go out unchanged", L"<script>if (a<b) x();</script>", "<script>if (a<b) x();</script>"},
    {"comments declarations instructions", L"<!--c--><!DOCTYPE html><?pi?>", "<!--c--><!DOCTYPE html><?pi?>"},
    {"text is re-encoded", L"caf\xe9 \"q\"  <>", "caf&eacute; &quot;q&quot; &lt;&gt;"},
    {"quotes in values are re-encoded", L"<a title='say \"hi\"'>", "<a title=\"say &quot;hi&quot;\">"},
    {"sanitised names", L"<my_tag x_y=1>", "<mytag xy=\"1\">"},
};

class HTMLTable : public ::testing::TestWithParam<HTMLCase> {};

TEST_P(HTMLTable, Output) {
    HTMLRewriter rewriter;
    HTMLParser::parseHTML(rewriter, GetParam().html, false);
    EXPECT_EQ(rewriter.output, GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(HTMLRewriter, HTMLTable, ::testing::ValuesIn(htmlCases), vltest::RowName());

TEST(HTMLRewriter, FinishedClosesAPendingTag) {
    HTMLRewriter rewriter;
    rewriter.openTagStart(L"P", "p");
    rewriter.openTagAttribute(L"x", "x");
    EXPECT_EQ(rewriter.pendingTag, "p");
    rewriter.htmlFinished();
    EXPECT_EQ(rewriter.output, "<p x>\r\n\r\n");
    EXPECT_TRUE(rewriter.pendingTag.empty());
    rewriter.htmlFinished();
    EXPECT_EQ(rewriter.output, "<p x>\r\n\r\n");
}

TEST(HTMLRewriter, RewrittenHTMLParsesToTheSameText) {
    const std::wstring html = L"<DIV class=x>Fish &amp; chips &lt;3 &eacute;t&eacute;</DIV><br>&#8364;5";
    HTMLRewriter first;
    HTMLParser::parseHTML(first, html, false);
    HTMLPlaintextRewriter fromOriginal(true), fromRewritten(true);
    HTMLParser::parseHTML(fromOriginal, html, false);
    HTMLParser::parseHTML(fromRewritten, string_to_wstring(first.output), false);
    EXPECT_EQ(fromRewritten.output, fromOriginal.output);
}

} // namespace
