#include "MessageTextParser.h"
#include "MessageFeed.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Events = std::vector<std::string>;

// Writes down every call it receives, in order.
class RecordingProcessor : public IMessageTextProcessor {
public:
    explicit RecordingProcessor(std::string defaultCharset = {})
        : m_defaultCharset(std::move(defaultCharset)) {}

    void processPlainTextPart(const std::string &raw, const std::string &charset,
                              const std::wstring &text) override {
        events.push_back("plain[" + charset + "] " + vltest::utf8(text));
        raws.push_back(raw);
    }
    void processHTMLPart(const std::string &raw, const std::string &charset,
                         const std::wstring &text) override {
        events.push_back("html[" + charset + "] " + vltest::utf8(text));
        raws.push_back(raw);
    }
    std::string getDefaultCharset() const override { return m_defaultCharset; }
    void processSubjectField(const std::string &raw, const std::wstring &decoded) override {
        events.push_back("subject " + raw + " => " + vltest::utf8(decoded));
    }
    void textFinished() override { events.push_back("finished"); }

    Events events;
    std::vector<std::string> raws;

private:
    std::string m_defaultCharset;
};

struct WalkCase {
    const char *name;
    std::string message;
    Events events;
    std::string defaultCharset = {};
};

void PrintTo(const WalkCase &c, std::ostream *os) {
    *os << c.name;
}

class TextWalk : public ::testing::TestWithParam<WalkCase> {};

TEST_P(TextWalk, CallsTheProcessorInOrder) {
    RecordingProcessor processor(GetParam().defaultCharset);
    MessageTextParser parser(processor);
    vltest::feedMessage(parser, GetParam().message);
    EXPECT_EQ(processor.events, GetParam().events);
}

// A multipart body: parts are (header lines, body) pairs joined with the boundary "B".
std::string multipart(const std::string &type, const std::vector<std::pair<std::string, std::string>> &parts,
                      const std::string &boundary = "B") {
    std::string text = "Content-Type: " + type + "; boundary=\"" + boundary + "\"\r\n\r\npreamble\r\n";
    for (const auto &[header, body] : parts)
        text += "--" + boundary + "\r\n" + header + "\r\n" + body + "\r\n";
    return text + "--" + boundary + "--\r\nepilogue\r\n";
}

const std::string mime = "MIME-Version: 1.0\r\nSubject: s\r\n";
const std::string plainHeader = "Content-Type: text/plain; charset=us-ascii\r\n";
const std::string htmlHeader = "Content-Type: text/html; charset=us-ascii\r\n";

const WalkCase walkCases[] = {
    {"NoMimeHeaderIsOnePlainPartWhateverTheType",
     "Subject: hello\r\nX-Type: text/html; charset=utf-8\r\n\r\n<b>caf\xc3\xa9</b>\r\n",
     {"subject hello => hello", "plain[] <b>caf\xc3\x83\xc2\xa9</b>\r\n", "finished"}},
    {"NoMimeWithDefaultCharset",
     "Subject: x\r\n\r\ncaf\xc3\xa9\r\n",
     {"subject x => x", "plain[] caf\xc3\xa9\r\n", "finished"},
     "utf-8"},
    {"NoSubjectNoSubjectCall", "From: a@b\r\n\r\nbody\r\n", {"plain[] body\r\n", "finished"}},
    {"EmptyInputStillFinishes", "", {"plain[] ", "finished"}},
    {"SubjectEncodedWordAnd8BitInBodyCharset",
     "Subject: =?utf-8?q?caf=C3=A9?= \xe1\r\nContent-Type: text/plain; charset=iso-8859-7\r\n\r\nx\r\n",
     {"subject =?utf-8?q?caf=C3=A9?= \xe1 => caf\xc3\xa9 \xce\xb1", "plain[iso-8859-7] x\r\n", "finished"}},
    {"SubjectCharsetFromCommentedContentType",
     "Subject: \xe1\r\nMIME-Version: 1.0\r\nContent-Type: text/plain (the text); charset=\"iso-8859-7\" "
     "(greek)\r\n\r\nx\r\n",
     {"subject \xe1 => \xce\xb1", "plain[iso-8859-7] x\r\n", "finished"}},
    {"SinglePlainMimePart",
     mime + plainHeader + "\r\nhello\r\n",
     {"subject s => s", "plain[us-ascii] hello\r\n", "finished"}},
    {"HTMLWithoutCharsetTakesTheDefault",
     mime + "Content-Type: text/html\r\n\r\n<p>\xe1</p>\r\n",
     {"subject s => s", "html[iso-8859-7] <p>\xce\xb1</p>\r\n", "finished"},
     "iso-8859-7"},
    {"EmptyCharsetParameterTakesTheDefault",
     mime + "Content-Type: text/plain; charset=\"\"\r\n\r\n\xe1\r\n",
     {"subject s => s", "plain[iso-8859-7] \xce\xb1\r\n", "finished"},
     "iso-8859-7"},
    {"NoCharsetNoDefaultIsLatin1",
     mime + "Content-Type: text/plain\r\n\r\n\xe1\r\n",
     {"subject s => s", "plain[] \xc3\xa1\r\n", "finished"}},
    {"ByteOrderMarkWinsOverTheCharset",
     mime + "Content-Type: text/plain; charset=iso-8859-1\r\n\r\n\xef\xbb\xbf"
            "caf\xc3\xa9\r\n",
     {"subject s => s", "plain[iso-8859-1] caf\xc3\xa9\r\n", "finished"}},
    {"Base64PlainPart",
     mime + "Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
            "Y2Fmw6kgbm9pcg==\r\n",
     {"subject s => s", "plain[utf-8] caf\xc3\xa9 noir", "finished"}},
    {"QuotedPrintableHTMLPart",
     mime +
         "Content-Type: text/html; charset=iso-8859-1\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
         "caf=E9=\r\n noir\r\n",
     {"subject s => s", "html[iso-8859-1] caf\xc3\xa9 noir", "finished"}},
    {"AlternativePlainThenHTMLGivesOnlyHTML",
     mime + multipart("multipart/alternative", {{plainHeader, "plain one"}, {htmlHeader, "<b>html</b>"}}),
     {"subject s => s", "html[us-ascii] <b>html</b>\r\n", "finished"}},
    {"AlternativeHTMLThenPlainGivesOnlyHTML",
     mime + multipart("multipart/alternative", {{htmlHeader, "<b>html</b>"}, {plainHeader, "plain one"}}),
     {"subject s => s", "html[us-ascii] <b>html</b>\r\n", "finished"}},
    {"AlternativeTwoPlainsGivesBothAtTheEnd",
     mime + multipart("multipart/mixed", {{"Content-Type: multipart/alternative; boundary=A\r\n",
                                           "--A\r\n" + plainHeader + "\r\nfirst\r\n--A\r\n" + plainHeader +
                                               "\r\nsecond\r\n--A--"},
                                          {plainHeader, "third"}}),
     {"subject s => s", "plain[us-ascii] first\r\n", "plain[us-ascii] second\r\n",
      "plain[us-ascii] third\r\n", "finished"}},
    {"AlternativeInMixedPassesItsChoiceUp",
     mime + multipart("multipart/mixed", {{plainHeader, "before"},
                                          {"Content-Type: multipart/ALTERNATIVE; boundary=A\r\n",
                                           "--A\r\n" + plainHeader + "\r\nalt plain\r\n--A\r\n" + htmlHeader +
                                               "\r\nalt html\r\n--A--"},
                                          {plainHeader, "after"}}),
     {"subject s => s", "plain[us-ascii] before\r\n", "html[us-ascii] alt html\r\n",
      "plain[us-ascii] after\r\n", "finished"}},
    {"AttachmentsAndOtherTypesSkipped",
     mime + multipart("multipart/mixed",
                      {{plainHeader + "Content-Disposition: attachment; filename=a.txt\r\n", "attached"},
                       {plainHeader + "Content-Disposition: inline\r\n", "inline"},
                       {"Content-Type: text/calendar\r\n", "BEGIN:VCALENDAR"},
                       {"Content-Type: image/gif\r\nContent-Transfer-Encoding: base64\r\n", "R0lGODlh"},
                       {"Content-Type: text/plain\r\nContent-Transfer-Encoding: x-gzip64\r\n", "unknown"},
                       {"Content-Type: application/octet-stream\r\n", "binary"},
                       {"", "default type"}}),
     {"subject s => s", "plain[us-ascii] inline\r\n", "plain[] default type\r\n", "finished"}},
    {"MessageRfc822PartIsSkipped",
     mime +
         multipart("multipart/mixed", {{"Content-Type: message/rfc822\r\n", "Subject: inner\r\n\r\ninner"}}),
     {"subject s => s", "finished"}},
    {"UnterminatedMultipartStillEndsItsParts",
     mime + "Content-Type: multipart/mixed; boundary=B\r\n\r\n--B\r\n" + plainHeader + "\r\ncut off",
     {"subject s => s", "plain[us-ascii] cut off\r\n", "finished"}},
};

INSTANTIATE_TEST_SUITE_P(Messages, TextWalk, ::testing::ValuesIn(walkCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(TextWalk, SubjectAtMostOnceTheFirstField) {
    RecordingProcessor processor;
    MessageTextParser parser(processor);
    vltest::feedMessage(parser, "Subject: one\r\nSubject: two\r\n\r\nbody\r\n");
    EXPECT_EQ(processor.events, (Events{"subject one => one", "plain[] body\r\n", "finished"}));
}

TEST(TextWalk, RawTextIsTheTransferDecodedBytes) {
    RecordingProcessor processor;
    MessageTextParser parser(processor);
    vltest::feedMessage(parser, mime + "Content-Type: text/plain; charset=iso-8859-1\r\n"
                                       "Content-Transfer-Encoding: base64\r\n\r\nY2Fm6Q==\r\n");
    ASSERT_EQ(processor.raws.size(), 1u);
    EXPECT_EQ(processor.raws[0], "caf\xe9");
}

TEST(TextWalk, DeepNestingIsBoundedAndStillFinishes) {
    std::string message = mime + "Content-Type: multipart/mixed; boundary=b0\r\n\r\n";
    constexpr int depth = 200;
    for (int i = 1; i < depth; ++i)
        message += "--b" + std::to_string(i - 1) + "\r\nContent-Type: multipart/mixed; boundary=b" +
                   std::to_string(i) + "\r\n\r\n";
    message += "--b" + std::to_string(depth - 1) + "\r\n" + plainHeader + "\r\ndeep\r\n";
    RecordingProcessor processor;
    MessageTextParser parser(processor);
    vltest::feedMessage(parser, message);
    EXPECT_EQ(processor.events, (Events{"subject s => s", "finished"}));
}

} // namespace
