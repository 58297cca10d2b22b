// URI and URL: scheme table, splitting, resolution against a base and canonical form.
// Rows that Python's urllib.parse also answers are checked against it at test time; where
// our rules differ from it, the row says how, and the test checks that it really differs.

#include "URL.h"
#include "testsupport/ChildProcess.h"

#include <chrono>
#include <gtest/gtest.h>

#include <cctype>
#include <sstream>

namespace {

std::wstring w(const std::string &s) {
    return std::wstring(s.begin(), s.end());
}

std::string n(const std::wstring &s) {
    std::string out;
    for (wchar_t c : s)
        out += static_cast<char>(c);
    return out;
}

std::string escapeForPython(const std::string &s) {
    std::string out;
    for (char c : s) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

// Runs a Python function over each input (one line each, backslash escapes allowed) and
// returns its answers, one tab-separated line per input.
std::vector<std::vector<std::string>> askPython(const std::string &function,
                                                const std::vector<std::vector<std::string>> &inputs) {
    std::string stdinText;
    for (const auto &fields : inputs) {
        for (std::size_t i = 0; i < fields.size(); ++i)
            stdinText += (i ? "\t" : "") + escapeForPython(fields[i]);
        stdinText += "\n";
    }
    const std::string script = "import sys, codecs\n"
                               "from urllib.parse import urlsplit, urljoin, urlunsplit\n" +
                               function +
                               "for line in sys.stdin.read().split('\\n')[:-1]:\n"
                               "    args = [codecs.decode(f, 'unicode_escape') for f in line.split('\\t')]\n"
                               "    print('\\t'.join(answer(*args)))\n";
    const auto result = vltest::runCommand({"/usr/bin/python3", "-c", script}, stdinText);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::vector<std::string>> answers;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
            fields.push_back(line.substr(start, tab - start));
        fields.push_back(line.substr(start));
        answers.push_back(fields);
    }
    EXPECT_EQ(answers.size(), inputs.size());
    answers.resize(inputs.size());
    return answers;
}

// --- URI and the scheme table ------------------------------------------------------------

struct URICase {
    std::string text, scheme, schemeSpecific;
    bool urlScheme, acceptableForNonHREF;
    int type;
    bool fragmentOnly;
};

const URICase uriCases[] = {
    {"HTTP://x", "http", "//x", true, true, 2, false},
    {"https://x", "https", "//x", true, true, 2, false},
    {"ftp://x", "ftp", "//x", true, true, 2, false},
    {"rtsp://x", "rtsp", "//x", true, true, 2, false},
    {"cid:part1@x", "cid", "part1@x", false, true, 1, false},
    {"mailto:a@b", "mailto", "a@b", false, false, 2, false},
    {"news:a.b", "news", "a.b", false, false, 2, false},
    {"nntp://h/g", "nntp", "//h/g", false, false, 2, false},
    {"telnet://h", "telnet", "//h", false, false, 2, false},
    {"JavaScript:alert(1)", "javascript", "alert(1)", false, false, 3, false},
    {"vbscript:", "vbscript", "", false, false, 3, false},
    {"Foo+bar.baz-1:x", "foo+bar.baz-1", "x", false, false, 0, false},
    {"no colon here", "", "no colon here", false, false, 0, false},
    {"a b:c", "", "a b:c", false, false, 0, false},
    {":x", "", "x", false, false, 0, false},
    {"#top", "", "#top", false, false, 0, true},
    {"ht\r\ntp:/x\n", "http", "/x", true, true, 2, false},
    {"", "", "", false, false, 0, false},
};

TEST(URI, SchemeTable) {
    EXPECT_EQ(uriSchemes.size(), 11u);
    for (const URICase &c : uriCases) {
        SCOPED_TRACE(c.text);
        const URI uri(w(c.text));
        EXPECT_EQ(n(uri.scheme), c.scheme);
        EXPECT_EQ(n(uri.schemeSpecific), c.schemeSpecific);
        EXPECT_EQ(uri.isURLScheme(), c.urlScheme);
        EXPECT_EQ(uri.isAcceptableForNonHREF(), c.acceptableForNonHREF);
        EXPECT_EQ(uri.getSchemeType(), c.type);
        EXPECT_EQ(uri.isFragmentOnly(), c.fragmentOnly);
    }
}

TEST(URI, RewriteExpandClear) {
    URI uri(L"HTTP://x/y");
    EXPECT_EQ(uri.rewrite(), L"http://x/y");
    URI relative(L"y/z");
    EXPECT_EQ(relative.rewrite(), L"y/z");
    relative.expand(URL(L"ftp://h/"));
    EXPECT_EQ(relative.rewrite(), L"ftp:y/z");
    uri.expand(URL(L"ftp://h/"));
    EXPECT_EQ(uri.scheme, L"http");
    uri.clear();
    EXPECT_EQ(uri.rewrite(), L"");
}

TEST(URI, PercentEscapesAreHexadecimal) {
    const std::wstring text = L"%41%65%4a%4A%20%ff%4G%G4%%41%4";
    const struct {
        std::size_t pos;
        int value;
    } cases[] = {{0, 0x41}, {3, 0x65},  {6, 0x4a}, {9, 0x4a}, {12, 0x20}, {15, 0xff}, {18, -1}, {21, -1},
                 {24, -1},  {25, 0x41}, {28, -1},  {29, -1},  {30, -1},   {31, -1},   {1, -1}};
    for (const auto &c : cases)
        EXPECT_EQ(URI::percentEscapeValue(text, c.pos), c.value) << c.pos;
    // Python's unquote reads the same escapes.
    const auto python = askPython("from urllib.parse import unquote\n"
                                  "def answer(u):\n    return [str(ord(unquote(u)))]\n",
                                  {{"%41"}, {"%65"}, {"%4a"}, {"%20"}});
    const char *escapes[] = {"%41", "%65", "%4a", "%20"};
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(std::to_string(URI::percentEscapeValue(w(escapes[i]), 0)), python[i][0]);
}

// --- Splitting -----------------------------------------------------------------------------

struct SplitCase {
    std::string text;
    std::string scheme, user, password, host;
    std::vector<std::string> segments;
    std::string file, parameters, query, fragment;
    const char *pythonDiffers; // null when urlsplit agrees; otherwise how our rule differs
};

const SplitCase splitCases[] = {
    {"HTTP://www.Example.com/A/./b/../f;x?q=1#top",
     "http",
     "",
     "",
     "www.Example.com",
     {"", "A", ".", "b", ".."},
     "f",
     ";x",
     "?q=1",
     "#top",
     nullptr},
    {"http://user:pa:ss@host:8080/p", "http", "user", "pa:ss", "host:8080", {""}, "p", "", "", "", nullptr},
    {"ftp://anon@ftp.example.org/", "ftp", "anon", "", "ftp.example.org", {""}, "", "", "", "", nullptr},
    {"http://h", "http", "", "", "h", {}, "", "", "", "", nullptr},
    {"http://[::1]:80/x", "http", "", "", "[::1]:80", {""}, "x", "", "", "", nullptr},
    {"//h/p", "", "", "", "h", {""}, "p", "", "", "", nullptr},
    {"a/b/c.html;v=2?x#y", "", "", "", "", {"a", "b"}, "c.html", ";v=2", "?x", "#y", nullptr},
    {"g;x/y;z", "", "", "", "", {"g;x"}, "y", ";z", "", "", nullptr},
    {"/abs/dir/", "", "", "", "", {"", "abs", "dir"}, "", "", "", "", nullptr},
    {"http://h/a//b/", "http", "", "", "h", {"", "a", "", "b"}, "", "", "", "", nullptr},
    {"http://h/p?q?r#s#t", "http", "", "", "h", {""}, "p", "", "?q?r", "#s#t", nullptr},
    {"?q#f?g", "", "", "", "", {}, "", "", "?q", "#f?g", nullptr},
    {"#frag", "", "", "", "", {}, "", "", "", "#frag", nullptr},
    {"http:relative/path", "http", "", "", "", {"relative"}, "path", "", "", "", nullptr},
    {"mailto:Joe@example.com?subject=hi",
     "mailto",
     "",
     "",
     "",
     {},
     "Joe@example.com",
     "",
     "?subject=hi",
     "",
     nullptr},
    {"javascript:void(0)", "javascript", "", "", "", {}, "void(0)", "", "", "", nullptr},
    {"HT\r\nTP://h/\nx", "http", "", "", "h", {""}, "x", "", "", "", nullptr},
    {"http://h/a b", "http", "", "", "h", {""}, "a b", "", "", "", nullptr},
    {"", "", "", "", "", {}, "", "", "", "", nullptr},
    {"http://a@b@c/x",
     "http",
     "a",
     "",
     "b@c",
     {""},
     "x",
     "",
     "",
     "",
     "user information ends at the first at sign, not the last"},
    {"http://h?q",
     "http",
     "",
     "",
     "h",
     {""},
     "",
     "",
     "?q",
     "",
     "a query right after the host gets the path /"},
    {"http://h#f",
     "http",
     "",
     "",
     "h",
     {""},
     "",
     "",
     "",
     "#f",
     "a fragment right after the host gets the path /"},
    {"1abc:rest", "1abc", "", "", "", {}, "rest", "", "", "", "a scheme may begin with a digit"},
    {":x", "", "", "", "", {}, "x", "", "", "", "a colon in the first position is dropped"},
};

// The parts of our split in urlsplit's terms: scheme, netloc, path, query, fragment, user, password.
std::vector<std::string> asPythonSplit(const URL &url) {
    std::string netloc = n(url.user);
    if (!url.password.empty())
        netloc += ":" + n(url.password);
    if (!url.user.empty() || !url.password.empty())
        netloc += "@";
    netloc += n(url.host);
    return {n(url.scheme),
            netloc,
            n(url.getPath() + url.file + url.parameters),
            url.query.empty() ? "" : n(url.query.substr(1)),
            url.fragment.empty() ? "" : n(url.fragment.substr(1)),
            n(url.user),
            n(url.password)};
}

TEST(URL, Split) {
    std::vector<std::vector<std::string>> inputs;
    for (const SplitCase &c : splitCases)
        inputs.push_back({c.text});
    const auto python = askPython("def answer(u):\n"
                                  "    s = urlsplit(u)\n"
                                  "    return [s.scheme, s.netloc, s.path, s.query, s.fragment,\n"
                                  "            s.username or '', s.password or '']\n",
                                  inputs);
    for (std::size_t i = 0; i < std::size(splitCases); ++i) {
        const SplitCase &c = splitCases[i];
        SCOPED_TRACE(c.text);
        const URL url(w(c.text));
        EXPECT_EQ(n(url.scheme), c.scheme);
        EXPECT_EQ(n(url.user), c.user);
        EXPECT_EQ(n(url.password), c.password);
        EXPECT_EQ(n(url.host), c.host);
        std::vector<std::string> segments;
        for (const std::wstring &s : url.pathSegments)
            segments.push_back(n(s));
        EXPECT_EQ(segments, c.segments);
        EXPECT_EQ(n(url.file), c.file);
        EXPECT_EQ(n(url.parameters), c.parameters);
        EXPECT_EQ(n(url.query), c.query);
        EXPECT_EQ(n(url.fragment), c.fragment);
        if (c.pythonDiffers)
            EXPECT_NE(asPythonSplit(url), python[i])
                << "expected to differ from urlsplit: " << c.pythonDiffers;
        else
            EXPECT_EQ(asPythonSplit(url), python[i]) << "urlsplit disagrees";
    }
}

// --- Resolution against a base -------------------------------------------------------------

struct ResolveCase {
    std::string base, link, resolved;
    const char *pythonDiffers;
};

const std::string rfc = "http://a/b/c/d;p?q";
const ResolveCase resolveCases[] = {
    // The reference resolutions of RFC 3986 (section 5.4), by our rules.
    {rfc, "g:h", "g:h", nullptr},
    {rfc, "g", "http://a/b/c/g", nullptr},
    {rfc, "./g", "http://a/b/c/g", nullptr},
    {rfc, "g/", "http://a/b/c/g/", nullptr},
    {rfc, "/g", "http://a/g", nullptr},
    {rfc, "//g", "http://g", nullptr},
    {rfc, "?y", "http://a/b/c/d;p?y", nullptr},
    {rfc, "g?y", "http://a/b/c/g?y", nullptr},
    {rfc, "#s", "http://a/b/c/d;p?q#s", nullptr},
    {rfc, "g#s", "http://a/b/c/g#s", nullptr},
    {rfc, "g?y#s", "http://a/b/c/g?y#s", nullptr},
    {rfc, "g;x", "http://a/b/c/g;x", nullptr},
    {rfc, "g;x?y#s", "http://a/b/c/g;x?y#s", nullptr},
    {rfc, "", "http://a/b/c/d;p?q", nullptr},
    {rfc, ".", "http://a/b/c/", nullptr},
    {rfc, "./", "http://a/b/c/", nullptr},
    {rfc, "..", "http://a/b/", nullptr},
    {rfc, "../", "http://a/b/", nullptr},
    {rfc, "../g", "http://a/b/g", nullptr},
    {rfc, "../..", "http://a/", nullptr},
    {rfc, "../../", "http://a/", nullptr},
    {rfc, "../../g", "http://a/g", nullptr},
    {rfc, "/./g", "http://a/g", nullptr},
    {rfc, "g.", "http://a/b/c/g.", nullptr},
    {rfc, ".g", "http://a/b/c/.g", nullptr},
    {rfc, "g..", "http://a/b/c/g..", nullptr},
    {rfc, "..g", "http://a/b/c/..g", nullptr},
    {rfc, "./../g", "http://a/b/g", nullptr},
    {rfc, "./g/.", "http://a/b/c/g/", nullptr},
    {rfc, "g/./h", "http://a/b/c/g/h", nullptr},
    {rfc, "g/../h", "http://a/b/c/h", nullptr},
    {rfc, "g;x=1/./y", "http://a/b/c/g;x=1/y", nullptr},
    {rfc, "g;x=1/../y", "http://a/b/c/y", nullptr},
    {rfc, "g?y/./x", "http://a/b/c/g?y/./x", nullptr},
    {rfc, "g#s/../x", "http://a/b/c/g#s/../x", nullptr},
    {rfc, ";x", "http://a/b/c/d;x", "a link of parameters alone keeps the base's file"},
    {rfc, "../../../g", "http://a/../g", "leading .. segments with nothing to cancel stay"},
    {rfc, "../../../../g", "http://a/../../g", "leading .. segments with nothing to cancel stay"},
    {rfc, "/../g", "http://a/../g", "leading .. segments with nothing to cancel stay"},
    {rfc, "http:g", "http:g", "a link with a scheme is never resolved (urljoin's lenient mode resolves it)"},
    // Other bases.
    {"http://h/a/b/c.html", "x/y.html", "http://h/a/b/x/y.html", nullptr},
    {"http://h/a/b/c.html?q", "?r", "http://h/a/b/c.html?r", nullptr},
    {"http://u:p@h:81/x/y", "z", "http://u:p@h:81/x/z", nullptr},
    {"http://h", "a", "http://h/a", nullptr},
    {"http://h", "?q", "http://h?q", nullptr},
    {"http://h/a/", "//other", "http://other", nullptr},
    {"http://h/a/b.html", "https://Other/x", "https://Other/x", nullptr},
    {"http://h/a/b.html#basefrag", "", "http://h/a/b.html", "the fragment is never taken from the base"},
    {"", "a/b", "/a/b", "without a base host or path a relative path becomes absolute"},
};

TEST(URL, ResolveAgainstBase) {
    std::vector<std::vector<std::string>> inputs;
    for (const ResolveCase &c : resolveCases)
        inputs.push_back({c.base, c.link});
    const auto python = askPython("def answer(b, u):\n    return [urljoin(b, u)]\n", inputs);
    for (std::size_t i = 0; i < std::size(resolveCases); ++i) {
        const ResolveCase &c = resolveCases[i];
        SCOPED_TRACE("base " + c.base + " link " + c.link);
        URL link(w(c.link));
        link.expand(URL(w(c.base)));
        const std::string resolved = n(link.rewrite());
        EXPECT_EQ(resolved, c.resolved);
        EXPECT_EQ(n(link.schemeSpecific), resolved.substr(link.scheme.empty() ? 0 : link.scheme.size() + 1));
        if (c.pythonDiffers)
            EXPECT_NE(resolved, python[i][0]) << "expected to differ from urljoin: " << c.pythonDiffers;
        else
            EXPECT_EQ(resolved, python[i][0]) << "urljoin disagrees";
    }
}

TEST(URL, ResolutionTakesBaseFileParametersAndQueryInTurn) {
    // Parameters of its own: the base's query is not taken either.
    URL link(L";x");
    link.expand(URL(L"http://h/d;p?q"));
    EXPECT_EQ(link.rewrite(), L"http://h/d;x");
    // A query of its own keeps the base's file and parameters.
    URL queryOnly(L"?y#f");
    queryOnly.expand(URL(L"http://h/d;p?q#g"));
    EXPECT_EQ(queryOnly.rewrite(), L"http://h/d;p?y#f");
}

// --- Canonical form ------------------------------------------------------------------------

struct CanonicalCase {
    std::string text, canonical;
    const char *pythonDiffers; // compared with urlunsplit(urlsplit(text)) when null
};

const CanonicalCase canonicalCases[] = {
    {"HTTP://www.Example.com/A/./b/../f;x?q=1#top", "http://www.Example.com/A/f;x?q=1#top",
     "dot segments are removed"},
    {"http://h/a/b/../../x", "http://h/x", "dot segments are removed"},
    {"a/b/../../x", "x", "dot segments are removed"},
    {"http://h/a/b/..", "http://h/a/", "dot segments are removed"},
    {"http://h/a//b/./c/", "http://h/a/b/c/", "empty and dot segments are removed"},
    {"http://h/a/b/./../c", "http://h/a/c", "dot segments are removed"},
    {"http://h/a/b//../c", "http://h/a/c", "empty segments are removed"},
    {"./x", "x", "dot segments are removed"},
    {"http://h/.", "http://h/", "dot segments are removed"},
    {"http://h/../x", "http://h/../x", nullptr},
    {"http://h?q", "http://h/?q", "a query right after the host gets the path /"},
    {"http://h", "http://h", nullptr},
    {"http://u:pw@h:81/p;a?b#c", "http://u:pw@h:81/p;a?b#c", nullptr},
    {"ftp://anon@h/", "ftp://anon@h/", nullptr},
    {"mailto:joe@example.com", "mailto:joe@example.com", nullptr},
    {"x/y.html", "x/y.html", nullptr},
};

TEST(URL, CanonicalForm) {
    std::vector<std::vector<std::string>> inputs;
    for (const CanonicalCase &c : canonicalCases)
        inputs.push_back({c.text});
    const auto python = askPython("def answer(u):\n    return [urlunsplit(urlsplit(u))]\n", inputs);
    for (std::size_t i = 0; i < std::size(canonicalCases); ++i) {
        const CanonicalCase &c = canonicalCases[i];
        SCOPED_TRACE(c.text);
        URL url(w(c.text));
        url.canonicalizePath();
        const std::string canonical = n(url.rewrite());
        EXPECT_EQ(canonical, c.canonical);
        // The canonical form is a fixed point.
        URL again(w(canonical));
        again.canonicalizePath();
        EXPECT_EQ(n(again.rewrite()), canonical);
        if (c.pythonDiffers)
            EXPECT_NE(canonical, python[i][0]) << "expected to differ from urlunsplit: " << c.pythonDiffers;
        else
            EXPECT_EQ(canonical, python[i][0]) << "urlunsplit disagrees";
    }
}

TEST(URL, CanonicalizeSegments) {
    URL url;
    url.pathSegments = {L"a", L"b", L"..", L".."};
    url.file = L"x";
    url.canonicalizePath();
    EXPECT_TRUE(url.pathSegments.empty());
    EXPECT_EQ(url.file, L"x");

    url.pathSegments = {L"", L"a", L"b"};
    url.file = L"..";
    url.canonicalizePath();
    EXPECT_EQ(url.pathSegments, (std::deque<std::wstring>{L"", L"a"}));
    EXPECT_EQ(url.file, L"");

    // A file ".." with nothing to remove stays.
    url.pathSegments = {L".."};
    url.file = L"..";
    url.canonicalizePath();
    EXPECT_EQ(url.pathSegments, (std::deque<std::wstring>{L".."}));
    EXPECT_EQ(url.file, L"..");
}

// A hostile path of many segments that all cancel out: canonicalizing must stay linear
// (one erase from the middle per removal took minutes here).
TEST(URL, CanonicalizeLongCancellingPath) {
    constexpr std::size_t pairs = 200000;
    std::wstring text = L"http://h/";
    for (std::size_t i = 0; i < pairs; ++i)
        text += L"a/./";
    for (std::size_t i = 0; i < pairs; ++i)
        text += L"..//";
    text += L"f";
    const auto start = std::chrono::steady_clock::now();
    URL url(text);
    url.canonicalizePath();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(url.rewrite(), L"http://h/f");
    EXPECT_LT(seconds, 10.0);
}

TEST(URL, ClearKeepsSchemeCopyKeepsAll) {
    URL url(L"http://u:p@h/a/f;x?q#r");
    const URL copy = url;
    EXPECT_EQ(copy.getPath(), L"/a/");
    url.clear();
    EXPECT_EQ(url.scheme, L"http");
    EXPECT_EQ(url.schemeSpecific, L"//u:p@h/a/f;x?q#r");
    EXPECT_EQ(url.rewrite(), L"http:");
    URL copied = url;
    copied = copy;
    EXPECT_EQ(copied.rewrite(), L"http://u:p@h/a/f;x?q#r");
    URI &asURI = copied;
    EXPECT_EQ(asURI.rewrite(), L"http://u:p@h/a/f;x?q#r"); // virtual
    const URL fromURI(URI(L"HTTP://h/x"));
    EXPECT_EQ(fromURI.host, L"h");
    EXPECT_EQ(fromURI.file, L"x");
}

} // namespace
