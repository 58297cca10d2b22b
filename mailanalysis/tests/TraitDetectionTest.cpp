// Every trait with one input that raises it and a near miss that does not: HTML traits
// through the detector alone, header and MIME traits through whole messages.

#include "HTMLParserLib/HTMLParser.h"
#include "HTMLTraitDetector.h"
#include "MessageFeed.h"
#include "MessageTokenizer.h"
#include "TraitIDs.h"
#include "TraitNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Collector : ITokenHandler, ITraitHandler {
    void handleToken(const std::string &context, const std::wstring &text) override {
        words.push_back((context.empty() ? "" : context + ":") + vltest::utf8(text));
    }
    void handleTrait(unsigned int trait) override { traits.push_back(trait); }
    [[nodiscard]] long count(unsigned int trait) const {
        return std::count(traits.begin(), traits.end(), trait);
    }

    std::vector<std::string> words;
    std::vector<unsigned int> traits;
};

Collector detectHTML(const std::wstring &html, bool multipart = false) {
    Collector sink;
    HTMLTraitDetector detector(sink, sink, std::string(), multipart);
    HTMLParser::parseHTML(detector, html, false);
    return sink;
}

Collector tokenizeMessage(const std::string &message) {
    Collector sink;
    MessageTokenizer tokenizer(sink, sink);
    vltest::feedMessage(tokenizer, message);
    return sink;
}

std::string traitName(unsigned int trait) {
    const auto &names = TraitNames::getTraitNames();
    const auto it = names.find(trait);
    return it == names.end() ? std::to_string(trait) : it->second;
}

// ---------------------------------------------------------------------------------------
// HTML traits

struct HTMLCase {
    const char *name;
    unsigned int trait;
    std::wstring raises;
    std::wstring nearMiss;
    bool multipart = false;
};

void PrintTo(const HTMLCase &c, std::ostream *os) {
    *os << c.name;
}

class HTMLTraits : public ::testing::TestWithParam<HTMLCase> {};

TEST_P(HTMLTraits, RaisedByTheFixtureNotByTheNearMiss) {
    const HTMLCase &c = GetParam();
    EXPECT_GE(detectHTML(c.raises, c.multipart).count(c.trait), 1) << traitName(c.trait);
    EXPECT_EQ(detectHTML(c.nearMiss, c.multipart).count(c.trait), 0) << traitName(c.trait);
}

const std::wstring host36 = L"abcdefghij.abcdefghij.abcdefghij.com"; // 36 characters
const std::wstring host37 = L"abcdefghijk.abcdefghij.abcdefghij.com";
const std::wstring user16 = L"abcdefghijklmnop";
const std::wstring user17 = L"abcdefghijklmnopq";

const HTMLCase htmlCases[] = {
    {"InvalidOpenTagName", TraitIDs::INVALID_OPEN_TAG_NAME, L"<b_x>text", L"<o:p>text</o:p>"},
    {"InvalidOpenTagNameNonAscii", TraitIDs::INVALID_OPEN_TAG_NAME, L"<b\u00e9>text", L"<h1>text</h1>"},
    {"InvalidCloseTagName", TraitIDs::INVALID_CLOSE_TAG_NAME, L"<b>x</b_x>", L"<o:p>x</o:p>"},
    {"InvalidDoctype", TraitIDs::INVALID_DOCTYPE_TAG, L"<!DOCTYP html>", L"<!DocType html><![CDATA[x]]>"},
    {"UnknownTagName", TraitIDs::UNKNOWN_TAG_NAME, L"<blah>x", L"<o:p>x <tr:ad>y <P>z"},
    {"UnknownCloseTagName", TraitIDs::UNKNOWN_TAG_NAME, L"<tr:ad>x</tr:ad>", L"<tr:ad>x</p>"},
    {"UnknownTagAttribute", TraitIDs::UNKNOWN_TAG_ATTRIBUTE, L"<p foo=\"1\">x",
     L"<p align=left xmlns:o=\"urn:x\" mreachid=1 ALIGN=right>x<blah foo=1>"},
    {"FurtherAttributeIsKnown", TraitIDs::UNKNOWN_TAG_ATTRIBUTE, L"<font eudora=1>",
     L"<body ondragstart=\"return 1\"><a eudora=1><font back=red>"},
    {"UnknownMinimizedAttribute", TraitIDs::UNKNOWN_MINIMIZED_TAG_ATTRIBUTE, L"<p foo>x",
     L"<option selected><p arial sans-serif notrack><input checked><blah foo>"},
    {"CloseTagWithoutOpen", TraitIDs::CLOSE_TAG_WITH_NO_OPEN_TAG, L"x</b>", L"<B>x</b>"},
    {"HrefUserName", TraitIDs::HREF_HAS_USERNAME, L"<a href=\"http://user@example.com/\">x</a>",
     L"<a href=\"http://example.com/user@\">x</a><img src=\"http://user@example.com/\">"},
    {"HrefNumericServer", TraitIDs::HREF_HAS_NUMERIC_SERVER, L"<a href=\"http://10.0.0.1/\">x</a>",
     L"<a href=\"http://10.0.0.1x.com/\">x</a>"},
    {"HrefNumericServerWithPort", TraitIDs::HREF_HAS_NUMERIC_SERVER,
     L"<a href=\"http://10.0.0.1:8080/\">x</a>", L"<a href=\"http://10.0.0.1a:8080/\">x</a>"},
    {"HrefNumericThroughBase", TraitIDs::HREF_HAS_NUMERIC_SERVER,
     L"<base href=\"http://10.0.0.1/dir/\"><a href=\"page.html\">x</a>",
     L"<base href=\"http://10.0.0.1/dir/\"><base href=\"mailto:a@b\"><a href=\"page.html\">x</a>"},
    {"HrefLongServer", TraitIDs::HREF_HAS_LONG_SERVER, L"<a href=\"http://" + host37 + L"/\">x</a>",
     L"<a href=\"http://" + host36 +
         L":8080/\">x</a><a href=\"http://1234567890.1234567890.1234567890.1234567890/\">"},
    {"HrefUnnecessaryEscape", TraitIDs::HREF_HAS_UNNECESSARY_URI_ENCODING,
     L"<a href=\"http://example.com/%41dmin\">x</a>",
     L"<a href=\"http://example.com/a%20b%2F%3f%7E%g1%4\">x</a>"},
    {"HrefUnnecessaryEscapeHexLetter", TraitIDs::HREF_HAS_UNNECESSARY_URI_ENCODING,
     L"<a href=\"http://example.com/%4a\">x</a>", L"<a href=\"http://example.com/%2e\">x</a>"},
    {"ImageUserName", TraitIDs::IMG_SRC_HAS_USERNAME, L"<img src=\"http://user@example.com/a.gif\">",
     L"<a href=\"http://user@example.com/a.gif\">x</a>"},
    {"ImageNumericServer", TraitIDs::IMG_SRC_HAS_NUMERIC_SERVER, L"<img src=\"http://192.168.1.1/a.gif\">",
     L"<img src=\"http://host192.com/a.gif\">"},
    {"BackgroundNumericServer", TraitIDs::IMG_SRC_HAS_NUMERIC_SERVER,
     L"<table background=\"http://192.168.1.1/a.gif\">", L"<table background=\"\">"},
    {"ImageLongServer", TraitIDs::IMG_SRC_HAS_LONG_SERVER, L"<img src=\"http://" + host37 + L"/a.gif\">",
     L"<img src=\"http://" + host36 + L"/a.gif\">"},
    {"ImageUnnecessaryEscape", TraitIDs::IMG_SRC_HAS_UNNECESSARY_URI_ENCODING,
     L"<img src=\"http://example.com/%61.gif\">", L"<img src=\"http://example.com/%2561.gif\">"},
    {"YahooRedirect", TraitIDs::HTML_USES_YAHOO_REDIRECTS, L"<a href=\"http://RD.Yahoo.com/x/y\">x</a>",
     L"<a href=\"http://rd.yahoo.com.example.com/x\">x</a>"},
    {"YahooDirRedirect", TraitIDs::HTML_USES_YAHOO_DIR_REDIRECTS,
     L"<a href=\"http://srd.yahoo.com/dir/*http://example.com/\">x</a>",
     L"<a href=\"http://srd.yahoo.com/dir/x.html?*\">x</a>"},
    {"MsnRedirect", TraitIDs::HTML_USES_MSN_REDIRECTS, L"<a href=\"http://g.msn.com/1/2\">x</a>",
     L"<a href=\"http://msn.com/1/2\">x</a>"},
    {"UnusualPort", TraitIDs::HTTP_IMG_SRC_ON_UNUSUAL_PORT, L"<img src=\"http://example.com:8081/a.gif\">",
     L"<img src=\"http://example.com:8080/a.gif\"><img src=\"http://example.com:4044/\">"
     L"<img src=\"http://example.com:81x/\"><img src=\"https://example.com:8081/\">"},
    {"UnusualPortOnLink", TraitIDs::HTTP_IMG_SRC_ON_UNUSUAL_PORT, L"<a href=\"http://example.com:2/\">x</a>",
     L"<a href=\"http://example.com:443/\">x</a><a href=\"http://example.com:/\">x</a>"},
    {"HugePortSaturates", TraitIDs::HTTP_IMG_SRC_ON_UNUSUAL_PORT,
     L"<img src=\"http://example.com:18446744073709551696/\">", L"<img src=\"http://example.com:0080/\">"},
    {"ImageEmailParameter", TraitIDs::IMAGE_SRC_HAS_EMAIL_PARAM, L"<img src=\"http://e.com/a.gif?email=x\">",
     L"<img src=\"http://e.com/a.gif?EMAIL=x\">"},
    {"ImageMsgidParameter", TraitIDs::IMAGE_SRC_HAS_MSGID_PARAM, L"<img src=\"http://e.com/a.gif?msgid=1\">",
     L"<img src=\"http://e.com/a.gif?MsgId=1\">"},
    {"HrefToContentId", TraitIDs::HREF_TO_CID_PROTOCOL_URI, L"<a href=\"cid:part1\">x</a>",
     L"<img src=\"cid:part1\">"},
    {"UserNameStartsWithWww", TraitIDs::USERNAME_STARTS_WITH_WWW,
     L"<a href=\"http://www.bank.com@example.com/\">x</a>",
     L"<a href=\"http://bank.www@example.com/\">x</a>"},
    {"ImageMapWithMailto", TraitIDs::IMAGE_MAP_WITH_MAILTO, L"<area href=\" MAILTO:a@b.com\">",
     L"<a href=\"mailto:a@b.com\">x</a>"},
    {"MailtoWithSubjectRemove", TraitIDs::MAILTO_WITH_SUBJECT_REMOVE,
     L"<a href=\"mailto:a@b.com?cc=c&Subject=REMOVE\">x</a>",
     L"<a href=\"mailto:a@b.com?subject=unsubscribe\">remove</a>"},
    {"LongUserName", TraitIDs::HTML_URL_HAS_LONG_USERNAME, L"<a href=\"http://" + user17 + L"@e.com/\">x</a>",
     L"<a href=\"http://" + user16 + L"@e.com/\">x</a>"},
    {"TwoUserNameParts", TraitIDs::BROKEN_URL_WITH_TWO_USERNAME_PARTS, L"<a href=\"http://a@b@e.com/\">x</a>",
     L"<a href=\"http://a@e.com/b@c\">x</a>"},
    {"SpaceInUserName", TraitIDs::UNENCODED_SPACE_IN_URL_USERNAME, L"<a href=\"http://a b@e.com/\">x</a>",
     L"<a href=\"http://a%20b@e.com/\">x</a>"},
    {"WordsAfterBodyClose", TraitIDs::TEXT_TOKENS_AFTER_BODY_CLOSE, L"<html><body>x</body></html> buy now",
     L"<html><body>x</body></html> buy"},
    {"HtmlWithoutBody", TraitIDs::HTML_TAG_BUT_NO_BODY_TAG, L"<html>text</html>",
     L"<html><body>text</body></html>"},
    {"HiddenInputsWithoutForm", TraitIDs::HIDDEN_FORM_INPUTS_WITHOUT_FORM, L"<input type=\"hidden\" name=a>",
     L"<form><input type=\"hidden\" name=a></form><input type=\"HIDDEN\">"},
    {"OnlyHiddenInputs", TraitIDs::HIDDEN_FORM_INPUTS_WITHOUT_OTHER_INPUTS,
     L"<form><input type=hidden><input type=hidden></form>",
     L"<form><input type=hidden><input type=text></form>"},
    {"ActiveXControl", TraitIDs::ACTIVEX_CONTROLS, L"<object classid=\"clsid:1234\"></object>",
     L"<object data=\"x\"></object><embed classid=1>"},
    {"ScriptDecodesCharacters", TraitIDs::SCRIPT_USING_CHARACTER_DECODE,
     L"<script>var s = unescape('%41');</script><script>Document.Write(s)</script>",
     L"<script>document.write('x')</script><style>unescape</style>"},
    {"HandlerPreventsSelecting", TraitIDs::SCRIPT_PREVENTS_SELECTING,
     L"<body oncontextmenu=\"return false\">", L"<body onload=\"return false\" onstartdrag=\"x\">"},
    {"DragStartPreventsSelecting", TraitIDs::SCRIPT_PREVENTS_SELECTING, L"<div ondragstart=\"return false\">",
     L"<div title=\"ondragstart\">"},
    {"ScriptPreventsSelecting", TraitIDs::SCRIPT_PREVENTS_SELECTING,
     L"<script>document.onSelectStart = f;</script>", L"<style>.x { onselectstart: 1 }</style>"},
    {"UpperCaseCenter", TraitIDs::USES_UPPERCASE_CENTER_TAG, L"<CENTER>x</CENTER>",
     L"<center>x</center><Center>y</Center>"},
    {"ContentIdImageInSinglePart", TraitIDs::NON_EXTERNAL_IMAGES_IN_SINGLE_PART_MAIL, L"<img src=\"cid:a\">",
     L"<img src=\"http://e.com/a.gif\"><a href=\"cid:a\">x</a>"},
    {"ImageMap", TraitIDs::USES_IMAGE_MAPS, L"<img src=\"a.gif\" usemap=\"#m\">",
     L"<img src=\"a.gif\" ismap>"},
    {"FontBackAttribute", TraitIDs::FONT_TAG_WITH_BACK_ATTRIBUTE, L"<font back=\"red\">x</font>",
     L"<font color=\"red\">x</font><p back=red>"},
    {"FontOnlyStyle", TraitIDs::FONT_TAG_WITH_ONLY_STYLE_ATTRIBUTE, L"<font style=\"color:red\">x</font>",
     L"<font style=\"color:red\" size=2>x</font><font face=a style=b><span style=x>"},
    {"VerySmallFontSize", TraitIDs::USES_VERY_SMALL_FONT_SIZE_STYLE_ATTRIBUTE,
     L"<span style=\"color:red; FONT-SIZE : 2px\">x</span>",
     L"<span style=\"font-size: 12px; font-size:0; font-size: 99999999999999999999999; font-size: "
     L"x1\">x</span>"
     L"<span title=\"font-size:1\">"},
    {"LongTitle", TraitIDs::HAS_LONG_TITLE_TAG, L"<title>aa bb cc dd ee ff gg hh ii jj</title>",
     L"<title>aa bb cc dd ee ff gg hh ii j k l</title>"},
    {"CommentInTitle", TraitIDs::COMMENT_IN_TITLE_TAG, L"<title>a<!-- x --></title>",
     L"<title>a</title><!-- x -->"},
    {"ManyLineBreaks", TraitIDs::MANY_SEQUENTIAL_LINE_BREAK_TAGS, L"<br><br><p><br><br>",
     L"<br><br><br><br>x<br>"},
    {"LinkAndImageButLittleText", TraitIDs::LINK_AND_IMAGE_BUT_LITTLE_TEXT,
     L"<html><body><center><a href=\"http://e.com/\"><img src=\"http://e.com/a.gif\"></a> click here "
     L"now</center></body></html>",
     L"<a href=\"http://e.com/\"><img src=\"http://e.com/a.gif\"></a> click here right now please"},
    {"LotsOfComments", TraitIDs::LOTS_OF_COMMENTS_VS_TOKENS,
     L"a <!--1--> b <!--2--> c <!--3--> d <!--4--> e <!--5--> f <!--6-->",
     L"a <!--1--> b <!--2--> c <!--3--> d <!--4--> e <!--5--> f"},
};

INSTANTIATE_TEST_SUITE_P(Detector, HTMLTraits, ::testing::ValuesIn(htmlCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(HTMLTraits, ContentIdImageInMultipartMessageIsNoTrait) {
    EXPECT_EQ(
        detectHTML(L"<img src=\"cid:a\">", true).count(TraitIDs::NON_EXTERNAL_IMAGES_IN_SINGLE_PART_MAIL), 0);
}

TEST(HTMLTraits, ScriptDecodeRaisedOnceWhicheverComesFirst) {
    for (const std::wstring html :
         {L"<script>document.write(unescape(x)); unescape(y)</script>"
          L"<script>document.write(z)</script>",
          L"<script>String.fromCharCode(1)</script><script>document.write(1)</script>"}) {
        EXPECT_EQ(detectHTML(html).count(TraitIDs::SCRIPT_USING_CHARACTER_DECODE), 1);
    }
}

TEST(HTMLTraits, LineBreakRunRestartsAfterTheTrait) {
    EXPECT_EQ(
        detectHTML(L"<br><br><br><br><br><br><br><br><br>").count(TraitIDs::MANY_SEQUENTIAL_LINE_BREAK_TAGS),
        1);
    EXPECT_EQ(detectHTML(L"<br><br><br><br><br><br><br><br><br><br>")
                  .count(TraitIDs::MANY_SEQUENTIAL_LINE_BREAK_TAGS),
              2);
}

TEST(HTMLTraits, DetectorPassesEveryWordOn) {
    const Collector sink = detectHTML(L"<p>Spam<b>mer</b></p><script>hidden words</script><!-- not --> end");
    EXPECT_EQ(sink.words, (std::vector<std::string>{"spammer", "end"}));
}

TEST(HTMLTraits, HelperPredicates) {
    EXPECT_TRUE(HTMLTraitDetector::isNumericAddress(L""));
    EXPECT_TRUE(HTMLTraitDetector::isNumericAddress(L"1.2.3.4"));
    EXPECT_FALSE(HTMLTraitDetector::isNumericAddress(L"1.2.3.4a"));
    EXPECT_FALSE(HTMLTraitDetector::invalidTagName(L"o:P1"));
    EXPECT_FALSE(HTMLTraitDetector::invalidTagName(std::wstring(L"b\0", 2)));
    EXPECT_TRUE(HTMLTraitDetector::invalidTagName(L"my-tag"));
    EXPECT_TRUE(HTMLTraitDetector::invalidTagName(L"b\u00e9"));
}

// ---------------------------------------------------------------------------------------
// Header, MIME and plain-text traits

struct MessageCase {
    const char *name;
    unsigned int trait;
    std::string raises;
    std::string nearMiss;
};

void PrintTo(const MessageCase &c, std::ostream *os) {
    *os << c.name;
}

class MessageTraits : public ::testing::TestWithParam<MessageCase> {};

TEST_P(MessageTraits, RaisedByTheFixtureNotByTheNearMiss) {
    const MessageCase &c = GetParam();
    EXPECT_GE(tokenizeMessage(c.raises).count(c.trait), 1) << traitName(c.trait);
    EXPECT_EQ(tokenizeMessage(c.nearMiss).count(c.trait), 0) << traitName(c.trait);
}

const std::string breaker = "--DeathToSpamDeathToSpamDeathToSpam--";
const std::string mimeHeader = "MIME-Version: 1.0\r\n";

std::string alternative(const std::string &parts) {
    return mimeHeader + "Content-Type: multipart/alternative; boundary=A\r\n\r\n" + parts + "--A--\r\n";
}

const std::string htmlPart = "--A\r\nContent-Type: text/html\r\n\r\n<p>hi</p>\r\n";
const std::string plainPart = "--A\r\nContent-Type: text/plain\r\n\r\nhi\r\n";

const MessageCase messageCases[] = {
    {"ReporterBreakerLine", TraitIDs::CONTAINS_SPAMCOP_REPORTER_BREAKER,
     "Subject: x\r\n\r\nhi\r\n" + breaker + "\r\n",
     "Subject: x\r\n\r\nhi\r\n--deathtospamdeathtospamdeathtospam--\r\n " + breaker + "\r\n"},
    {"ReporterBreakerWithMoreAfterIt", TraitIDs::CONTAINS_SPAMCOP_REPORTER_BREAKER,
     "X-A: b\r\n" + breaker + "more\r\n\r\nx\r\n", "\r\n" + breaker.substr(0, 36) + "\r\n"},
    {"RndPlaceholder", TraitIDs::HAS_RND_HEADER_FIELD_VALUE, "Message-Id: <%RND_DIGIT@x>\r\n\r\nx\r\n",
     "X-Note: 100% RND\r\n\r\n%RND in the body\r\n"},
    {"XCsIpField", TraitIDs::HAS_X_CS_IP_HEADER_FIELD, "x-cs-IP: 1.2.3.4\r\n\r\nx\r\n",
     "X-CS-IPs: 1.2.3.4\r\nX-CS: 1\r\n\r\nX-CS-IP: 1\r\n"},
    {"XBounceToField", TraitIDs::HAS_X_BOUNCE_TO_HEADER_FIELD, "X-Bounce-To: a@b\r\n\r\nx\r\n",
     "X-Bounce-Tox: a@b\r\n\r\nx\r\n"},
    {"CurrentDateTimePlaceholder", TraitIDs::HAS_C_D_T_HEADER_FIELD_VALUE,
     "Date: %CURRENT_DATE_TIME\r\n\r\nx\r\n", "Date: %CURRENT_DATE\r\n\r\nx\r\n"},
    {"UnnecessaryBase64Subject", TraitIDs::UNNECESSARY_BASE64_SUBJECT_ENCODING,
     "Subject: =?utf-8?B?SGVsbG8=?=\r\n\r\nx\r\n",
     "Subject: =?utf-8?B?SGVsbG8=?= =?iso-8859-1?B?6Q==?=\r\n\r\nx\r\n"},
    {"Base64SubjectWithSpaceIsNeeded", TraitIDs::UNNECESSARY_BASE64_SUBJECT_ENCODING,
     "Subject: =?us-ascii?b?YQlifQ==?= plain\r\n\r\nx\r\n",
     "Subject: =?us-ascii?B?SGVsbG8gd29ybGQ=?= =?us-ascii?Q?Hello?=\r\n\r\nx\r\n"},
    {"UnknownMimeVersion", TraitIDs::HAS_UNKNOWN_MIME_VERSION, "MIME-Version: 2.0\r\n\r\nx\r\n",
     "MIME-Version: 1.0 (produced by x)\r\nMIME-Version: 2.0\r\n\r\nx\r\n"},
    {"OtherPlaceholder", TraitIDs::HAS_OTHER_RND_HEADER_FIELD_VALUE,
     "From: %FROM_USER@example.com\r\n\r\nx\r\n", "From: %FROM@example.com\r\nX-A: %received\r\n\r\nx\r\n"},
    {"DateIsOnlyAZoneName", TraitIDs::DATE_FIELD_WITH_NAMED_TIMEZONE_BUT_NO_DATE_TIME,
     "Date: (sent) EST\r\n\r\nx\r\n", "Date: Mon, 5 Jan 2004 10:00:00 EST\r\nDate: EST\r\n\r\nx\r\n"},
    {"DateUnknownZoneName", TraitIDs::DATE_FIELD_WITH_NAMED_TIMEZONE_BUT_NO_DATE_TIME,
     "Date: gmt\r\n\r\nx\r\n", "Date: XYZ\r\n\r\nx\r\n"},
    {"BoundaryWithUniqueId", TraitIDs::MULTIPART_BOUNDARY_CONTAINS_UNIQUEID,
     mimeHeader + "Content-Type: multipart/mixed; boundary=\"--=_&UNIQUEID\"\r\n\r\n",
     mimeHeader + "Content-Type: multipart/mixed; boundary=\"--=_UNIQUEID\"\r\n\r\n"},
    {"BoundaryOfZeros", TraitIDs::MULTIPART_BOUNDARY_IS_MANY_ZEROS,
     mimeHeader + "Content-Type: multipart/mixed; boundary=\"x0000000000000000\"\r\n\r\n",
     mimeHeader + "Content-Type: text/plain; boundary=\"0000000000000000\"\r\n\r\n"
                  "--0000000000000000\r\n"},
    {"MultipleMessageInfo", TraitIDs::HAS_MULTIPLE_X_MESSAGE_INFO_HEADER_FIELDS,
     "X-Message-Info: a\r\nX-Message-Info: b\r\nReceived: from hotmail.com\r\n\r\nx\r\n",
     "X-Message-Info: a\r\nX-Message-Infos: b\r\n\r\nx\r\n"},
    {"MessageInfoWithoutHotmail", TraitIDs::HAS_X_MESSAGE_INFO_HEADER_FIELD_BUT_NO_HOTMAIL_RECV,
     "X-Message-Info: a\r\nReceived: from HOTMAIL.COM\r\nX-Received: hotmail\r\n\r\nx\r\n",
     "X-Message-Info: a\r\nreceived: from mx\r\nRECEIVED: from\r\n\tbay.hotmail.com\r\n\r\nx\r\n"},
    {"ClassIdParameter", TraitIDs::CONTENT_TYPE_FIELD_HAS_CLASS_ID_PARAMETER,
     mimeHeader + "Content-Type: text/plain; Class-Id=\"\"\r\n\r\nx\r\n",
     mimeHeader + "Content-Type: text/plain; classid=1\r\n\r\nx\r\n"},
    {"TypeParameterOnNestedPart", TraitIDs::CONTENT_TYPE_FIELD_HAS_TYPE_PARAMETER,
     mimeHeader + "Content-Type: multipart/mixed; boundary=A\r\n\r\n--A\r\nContent-Type: "
                  "multipart/related; type=\"text/html\"; boundary=C\r\n\r\n--A--\r\n",
     mimeHeader + "Content-Type: multipart/related; types=\"text/html\"; boundary=C\r\n\r\nx\r\n"},
    {"MultipleContentTypeFields", TraitIDs::HAS_MULTIPLE_CONTENT_TYPE_FIELDS,
     "Content-Type: text/plain\r\ncontent-type: text/html\r\n\r\nx\r\n",
     "Content-Type: text/plain\r\nContent-Types: text/html\r\n\r\nx\r\n"},
    {"OnePartAlternative", TraitIDs::ONLY_ONE_PART_IN_MULTIPART_ALTERNATIVE, alternative(htmlPart),
     alternative(plainPart + htmlPart)},
    {"OnePartAlternativeCountsOnlyTextParts", TraitIDs::ONLY_ONE_PART_IN_MULTIPART_ALTERNATIVE,
     alternative(plainPart + "--A\r\nContent-Type: image/gif\r\n\r\nGIF89a\r\n"), alternative("")},
    {"Base64HTMLPart", TraitIDs::BASE64_OR_UUENCODE_ENCODED_HTML_PART,
     mimeHeader + "Content-Type: TEXT/HTML\r\nContent-Transfer-Encoding: base64\r\n\r\nPGI+aGk8L2I+\r\n",
     mimeHeader + "Content-Type: text/plain\r\nContent-Transfer-Encoding: base64\r\n\r\naGk=\r\n"},
    {"UuencodedHTMLPart", TraitIDs::BASE64_OR_UUENCODE_ENCODED_HTML_PART,
     mimeHeader + "Content-Type: text/html\r\nContent-Transfer-Encoding: x-uuencode\r\n\r\n",
     mimeHeader + "Content-Type: text/html\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"},
    {"HTMLCommentsInPlainText", TraitIDs::HTML_STYLE_COMMENTS_IN_TEXT_PLAIN_PART,
     "Subject: x\r\n\r\nclose --> then open <!--\r\n",
     "Subject: <!-- -->\r\n\r\nonly <!-- opens\r\n" + mimeHeader},
};

INSTANTIATE_TEST_SUITE_P(Tokenizer, MessageTraits, ::testing::ValuesIn(messageCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(MessageTraits, AlternativeInTheTokenizerPassesEveryPart) {
    const Collector sink = tokenizeMessage(
        alternative("--A\r\nContent-Type: text/plain\r\n\r\nplainword\r\n--A\r\nContent-Type: "
                    "text/html\r\n\r\n<b>htmlword</b>\r\n"));
    EXPECT_EQ(sink.words, (std::vector<std::string>{"plainword", "htmlword"}));
    EXPECT_EQ(sink.count(TraitIDs::ONLY_ONE_PART_IN_MULTIPART_ALTERNATIVE), 0);
}

TEST(MessageTraits, HTMLPartOfAMultipartKnowsItIsOne) {
    const std::string body = "<img src=\"cid:logo\">\r\n";
    const Collector single = tokenizeMessage(mimeHeader + "Content-Type: text/html\r\n\r\n" + body);
    EXPECT_EQ(single.count(TraitIDs::NON_EXTERNAL_IMAGES_IN_SINGLE_PART_MAIL), 1);
    const Collector multi = tokenizeMessage(
        mimeHeader +
        "Content-Type: multipart/related; boundary=A\r\n\r\n--A\r\nContent-Type: text/html\r\n\r\n" + body +
        "--A--\r\n");
    EXPECT_EQ(multi.count(TraitIDs::NON_EXTERNAL_IMAGES_IN_SINGLE_PART_MAIL), 0);
}

TEST(MessageTraits, SubjectWordsHaveTheirContext) {
    const Collector sink = tokenizeMessage("Subject: Cheap =?utf-8?q?Pills?=\r\n\r\nBuy now\r\n");
    EXPECT_EQ(sink.words, (std::vector<std::string>{"subject:cheap", "subject:pills", "buy", "now"}));
}

} // namespace
