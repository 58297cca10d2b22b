#include "MIMEEntityHeader.h"
#include "MIMEParsers.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace MailParser;
namespace TE = MailParser::MIMETransferEncodings;

namespace {

MIMEEntityHeader partHeader(std::initializer_list<std::string> lines,
                            const std::string &defaultType = "text/plain") {
    MIMEEntityHeader h;
    for (const std::string &l : lines)
        h.inputLine(l);
    h.processHeader(defaultType);
    return h;
}

} // namespace

TEST(MIMEEntityHeader, DefaultsWithoutContentFields) {
    const MIMEEntityHeader plain = partHeader({"Subject: x"});
    EXPECT_EQ(plain.contentType().type(), "text");
    EXPECT_EQ(plain.contentType().subtype(), "plain");
    EXPECT_EQ(plain.contentDisposition().disposition(), ContentDispositionField::Inline);
    EXPECT_EQ(plain.transferEncoding(), TE::EightBit);
    EXPECT_EQ(plain.contentId(), "");
    EXPECT_EQ(plain.contentDescription(), "");

    const MIMEEntityHeader digest = partHeader({}, "message/rfc822");
    EXPECT_EQ(digest.contentType().type(), "message");
    EXPECT_EQ(digest.contentType().subtype(), "rfc822");
}

TEST(MIMEEntityHeader, ContentFieldsParsedAndTakenOut) {
    const MIMEEntityHeader h = partHeader({
        "Subject: kept",
        "Content-Type: text/html; charset=\"utf-8\"",
        "content-type: Multipart/Mixed (comment);",
        " BOUNDARY=\"=_b (not a comment)\"; boundary=second-wins",
        "Content-Transfer-Encoding:  BASE64 (why)",
        "Content-Disposition: attachment; filename=\"a b.txt\"",
        "Content-ID: <id@x> (c)",
        "Content-Description: the (thing)",
        "X-Other: kept too",
    });
    EXPECT_EQ(h.contentType().type(), "Multipart");
    EXPECT_EQ(h.contentType().subtype(), "Mixed");
    EXPECT_TRUE(h.isMultipart());
    EXPECT_EQ(h.contentType().parameter("Boundary"), "second-wins");
    EXPECT_EQ(h.contentType().parameters().size(), 1u);
    EXPECT_EQ(h.transferEncoding(), TE::Base64);
    EXPECT_EQ(h.contentDisposition().disposition(), ContentDispositionField::Attachment);
    EXPECT_EQ(h.contentDisposition().parameter("FILENAME"), "a b.txt");
    EXPECT_EQ(h.contentId(), "<id@x> ");
    EXPECT_EQ(h.contentDescription(), "the ");
    EXPECT_FALSE(h.anyFields("content-", false));
    EXPECT_EQ(h.countFields("subject"), 1u);

    EXPECT_EQ(h.rewrite(), "Subject: kept\r\nX-Other: kept too\r\n"
                           "Content-Type: Multipart/Mixed;\r\n\tBOUNDARY=\"second-wins\"\r\n"
                           "Content-ID: <id@x> \r\nContent-Description: the \r\n");

    // A copy keeps its members and its own index.
    MIMEEntityHeader copy(h);
    EXPECT_EQ(copy.contentType().parameter("boundary"), "second-wins");
    EXPECT_EQ(copy.findFirstField("x-other")->value(), "kept too");
    const MIMEEntityHeader fromHeader{Header(copy)};
    EXPECT_EQ(fromHeader.contentType().getValue(), "text/plain");
    // Processing again (the content fields are gone by now) leaves no stale parameters.
    copy.processHeader("message/rfc822");
    EXPECT_EQ(copy.contentType().getValue(), "message/rfc822");
    EXPECT_TRUE(copy.contentType().parameters().empty());
    EXPECT_TRUE(copy.contentDisposition().parameters().empty());
}

TEST(MIMEEntityHeader, RewriteOfASinglePart) {
    const MIMEEntityHeader h = partHeader({"Content-Type: text/plain; charset=us-ascii; name=\"q\\\"uote\"",
                                           "Content-Transfer-Encoding: quoted-printable"});
    EXPECT_EQ(h.contentType().parameter("name"), "q\"uote");
    EXPECT_EQ(h.rewrite(), "Content-Type: text/plain;\r\n\tcharset=\"us-ascii\";\r\n\tname=\"q\\\"uote\"\r\n"
                           "Content-Transfer-Encoding: quoted-printable\r\n"
                           "Content-Disposition: inline\r\n");
}

TEST(ContentTypeField, MainValue) {
    struct Case {
        const char *text;
        const char *type;
        const char *subtype;
        bool multipart;
    };
    const Case cases[] = {
        {"text/plain", "text", "plain", false},
        {" Text / HTML \r\n\t", "Text", "HTML", false},
        {"text", "text", "plain", false},
        {" TEXT ", "text", "plain", false},
        {"garbage", "", "", false},
        {"multipart/alternative", "multipart", "alternative", true},
        {"MULTIPART/x; boundary=b", "MULTIPART", "x", true},
        {"a/b/c", "a", "b/c", false},
        {"", "", "", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        ContentTypeField f;
        f.parse(c.text);
        EXPECT_EQ(f.type(), c.type);
        EXPECT_EQ(f.subtype(), c.subtype);
        EXPECT_EQ(f.isMultipart(), c.multipart);
    }
}

TEST(ContentTypeField, Parameters) {
    struct Case {
        const char *text;
        std::map<std::string, std::string> params;
    };
    const Case cases[] = {
        {"text/plain; charset=iso-8859-1", {{"charset", "iso-8859-1"}}},
        {"text/plain;charset=a;CHARSET=b", {{"charset", "b"}}},
        {"text/plain; a=1; broken; b=2", {{"a", "1"}}},
        {"text/plain; a=1; b", {{"a", "1"}}},
        {"text/plain; a=", {}},
        {"text/plain; a=;b=2", {{"a", ""}, {"b", "2"}}},
        {"text/plain;\r\n\ta = \"x y\" ;\r\n b=\"unterminated", {{"a", "x y"}, {"b", "unterminated"}}},
        {"text/plain; a=\"back\\\\slash\"", {{"a", "back\\slash"}}},
        {"text/plain; a=\"x\" junk; b=1", {{"a", "x"}}},
        {"text/plain; boundary=----=_Part", {{"boundary", "----"}}},
        {"text/plain; filename*=utf-8''x", {{"filename*", "utf-8''x"}}},
        // Raw 8-bit text in a quoted value neither cuts the value nor loses what follows.
        {"text/plain; name=\"R\xE9sum\xE9.txt\"; charset=utf-8",
         {{"name", "R\xE9sum\xE9.txt"}, {"charset", "utf-8"}}},
        {";;;", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        ContentTypeField f;
        f.parse(c.text);
        EXPECT_EQ((std::map<std::string, std::string>(f.parameters().begin(), f.parameters().end())),
                  c.params);
    }
}

TEST(ContentDispositionField, Values) {
    struct Case {
        const char *fieldValue;
        ContentDispositionField::Disposition expected;
    };
    const Case cases[] = {
        {"inline", ContentDispositionField::Inline},
        {"INLINE  ; filename=x", ContentDispositionField::Inline},
        // Blanks left by a comment or trailing blanks do not change the meaning.
        {"inline (shown)", ContentDispositionField::Inline},
        {"inline  ", ContentDispositionField::Inline},
        {"attachment", ContentDispositionField::Attachment},
        {"inlined", ContentDispositionField::Attachment},
        {"", ContentDispositionField::Attachment},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.fieldValue);
        const MIMEEntityHeader h = partHeader({std::string("Content-Disposition: ") + c.fieldValue});
        EXPECT_EQ(h.contentDisposition().disposition(), c.expected);
    }
    ContentDispositionField f;
    f.setDisposition(static_cast<ContentDispositionField::Disposition>(7));
    EXPECT_THROW((void)f.getValue(), std::runtime_error);
}

TEST(MIMEParsers, TokensAndQuotedStrings) {
    std::string set;
    for (int c = 0; c < 256; ++c) {
        if (MIMEParsers::valid_token_chars[c])
            set += static_cast<char>(c);
    }
    EXPECT_EQ(set, "!#$%&'*+-.0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ\\^_`abcdefghijklmnopqrstuvwxyz{|}~\x7F");

    const std::string text = "tok.en-1/rest";
    auto it = text.cbegin();
    EXPECT_EQ(MIMEParsers::getMIMEToken(it, text.cend()), "tok.en-1");
    EXPECT_EQ(*it, '/');
    EXPECT_EQ(MIMEParsers::getMIMEToken(it, text.cend()), "");

    struct Case {
        std::string in;
        std::string content;
        std::size_t stop;
    };
    const Case cases[] = {
        {"abc\" rest", "abc", 3},
        {"a\\\"b\\\\c\"", "a\"b\\c", 7},
        {"a\\\x01z\"", "a\x01z", 4},
        {"ends with backslash\\", "ends with backslash", 20},
        {"eight\xE4"
         "bit\"",
         "eight", 5},
        {"ctl\tx\"", "ctl", 3},
        {"del\x7F\"", "del\x7F", 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.in);
        auto q = c.in.cbegin();
        EXPECT_EQ(MIMEParsers::getMIMEQuotedString(q, c.in.cend()), c.content);
        EXPECT_EQ(static_cast<std::size_t>(q - c.in.cbegin()), c.stop);
    }

    EXPECT_EQ(MIMEParsers::quoteString("a\"b\\c\x01\xE4\x7F", '"'), "\"a\\\"b\\\\c\x7F\"");
    EXPECT_EQ(MIMEParsers::quoteString("it's", '\''), "'it\\'s'");
}
