// Hostile input: every scan must end, in time proportional to the input, without reading
// past it. The time bound is a generous guard against quadratic scans, not a benchmark
// (a quadratic scan of these inputs takes minutes).

#include "HTMLParser.h"
#include "HTMLPlaintextRewriter.h"
#include "HTMLRewriter.h"
#include "testsupport/TestNames.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

// Counts events and checks what every handler may rely on.
class CountingHandler : public IHTMLHandler {
public:
    void cdata(const std::wstring &raw, const std::wstring &) override {
        emptyRuns += raw.empty();
        ++events;
    }
    void openTagStart(const std::wstring &name, const std::string &lowerName) override {
        emptyRuns += name.empty();
        checkName(lowerName);
        ++events;
        ++tags;
    }
    void openTagAttribute(const std::wstring &, const std::string &lowerName, const std::wstring &,
                          const std::wstring &) override {
        checkName(lowerName);
        ++events;
    }
    void openTagAttribute(const std::wstring &, const std::string &lowerName) override {
        checkName(lowerName);
        ++events;
    }
    void openTagEnd() override { ++events; }
    void blockTagContents(std::wstring) override { ++events; }
    void closeTag(const std::wstring &, const std::string &lowerName) override {
        checkName(lowerName);
        ++events;
    }
    void comment(const std::wstring &) override {
        ++events;
        ++comments;
    }
    void doctype(const std::wstring &) override { ++events; }
    void processingInstruction(const std::wstring &) override { ++events; }
    void htmlFinished() override { ++finished; }

    // Counted rather than asserted per call: millions of events must stay cheap.
    void checkName(const std::string &name) {
        for (char c : name) {
            if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ':' || c == '-'))
                ++badNames;
        }
    }

    std::size_t events = 0, tags = 0, comments = 0, finished = 0, emptyRuns = 0, badNames = 0;
};

std::wstring repeat(const std::wstring &piece, std::size_t totalChars) {
    std::wstring out;
    out.reserve(totalChars + piece.size());
    while (out.size() < totalChars)
        out += piece;
    return out;
}

double secondsToParse(IHTMLHandler &handler, const std::wstring &html) {
    const auto start = std::chrono::steady_clock::now();
    HTMLParser::parseHTML(handler, html, false);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

constexpr std::size_t megabyte = 1 << 20;

TEST(HTMLParserHostile, MegabyteOfUnterminatedComments) {
    const std::wstring html = repeat(L"<!--x>", megabyte);
    CountingHandler handler;
    EXPECT_LT(secondsToParse(handler, html), 1.0);
    EXPECT_EQ(handler.comments, html.size() / 6);
    EXPECT_EQ(handler.events, handler.comments);
    EXPECT_EQ(handler.finished, 1u);
}

struct HostileCase {
    const char *name;
    std::wstring piece;
};

const HostileCase hostileCases[] = {
    {"unterminated comments with dashes", L"<!-- -- >"},
    {"comment starts only", L"<!--"},
    {"NULs in a tag", std::wstring(L"<a \0\0=\0", 7)},
    {"equals signs in a tag", L"<a ===="},
    {"slashes in a tag", L"<a ////"},
    {"open quotes in closing tags", L"</a \""},
    {"tag starts", L"<a"},
    {"closing tag starts", L"</"},
    {"declarations", L"<!"},
    {"processing instructions", L"<?"},
    {"script starts", L"<script>"},
    {"near-miss script ends", L"<script></scrip"},
    {"pre starts", L"<pre>"},
    {"lone less-than", L"< "},
    {"references", L"&#x&#&amp&#99999999999999999999"},
    {"unknown long names", L"&abcdefghijklmnopqrstuvwxyz"},
    {"blanks", L" \t\r\n"},
};

class Hostile : public ::testing::TestWithParam<HostileCase> {};

// These make far more events than the comment case; the bound allows for sanitizer builds.
TEST_P(Hostile, MegabyteEndsInTime) {
    const std::wstring html = repeat(GetParam().piece, megabyte);
    CountingHandler handler;
    EXPECT_LT(secondsToParse(handler, html), 10.0);
    EXPECT_EQ(handler.finished, 1u);
    EXPECT_EQ(handler.emptyRuns, 0u);
    EXPECT_EQ(handler.badNames, 0u);
}

INSTANTIATE_TEST_SUITE_P(HTMLParser, Hostile, ::testing::ValuesIn(hostileCases), vltest::RowName());

// Every character code in every position of a short tag: the attribute loop always moves on.
TEST(HTMLParserHostile, EveryCodeInsideATag) {
    for (wchar_t c = 0; c < 0x180; ++c) {
        for (const std::wstring &shape : {std::wstring(L"<a X>"), std::wstring(L"<a b=X>"),
                                          std::wstring(L"<a b=\"X\"X>"), std::wstring(L"<a X=X X")}) {
            std::wstring html = shape;
            for (wchar_t &ch : html) {
                if (ch == L'X')
                    ch = c;
            }
            CountingHandler handler;
            HTMLParser::parseHTML(handler, html, false);
            EXPECT_EQ(handler.tags, 1u) << int(c);
            EXPECT_EQ(handler.finished, 1u);
        }
    }
}

// Each prefix of a document that uses every construct: no cut reads past the end.
TEST(HTMLParserHostile, EveryPrefixOfADocument) {
    const std::wstring html =
        L"<!DOCTYPE html><?xml x?><html><head><style>p{}</STYLE><script>a<b</script></head>"
        L"<body bgcolor=\"#fff\" text='x>y' nowrap><!-- c -- d --><p>a &amp; b &#38; &#x26;</p>"
        L"<pre>  x  </pre></body x=\"y>\"></html>";
    for (std::size_t len = 0; len <= html.size(); ++len) {
        const std::wstring prefix = html.substr(0, len);
        CountingHandler counting;
        HTMLRewriter rewriter;
        HTMLPlaintextRewriter plain(true);
        HTMLParser::parseHTML(counting, prefix, false);
        HTMLParser::parseHTML(rewriter, prefix, false);
        HTMLParser::parseHTML(plain, prefix, false);
        EXPECT_EQ(counting.finished, 1u);
    }
}

} // namespace
