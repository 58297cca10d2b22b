// The response reader on its own: framing by Content-Length, chunks and the end of the
// stream, the headers acted on, and malformed or oversized answers. Every response is fed
// whole, line by line and one byte at a time: the result must not depend on the cut.

#include "SODigest.h"
#include "SOHTTPResponse.h"

#include "TestNames.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace Qt::Literals::StringLiterals;

namespace {

struct ResponseCase {
    std::string name;
    QByteArray bytes;
    bool closeAfter; // the peer hangs up after the bytes
    SOHTTPResponse::Result result;
    QByteArray body{};
    QString error{};
    QString code{};
};

void PrintTo(const ResponseCase &c, std::ostream *os) {
    *os << c.name;
}

const QString kClosed = QStringLiteral("Connection closed by host");

std::vector<ResponseCase> cases() {
    using R = SOHTTPResponse;
    return {
        {"content length",
         "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello",
         false,
         R::Complete,
         "hello",
         {},
         u"200"_s},
        {"zero length", "HTTP/1.1 200 OK\r\nContent-Length:0\r\n\r\n", false, R::Complete, "", {}, u"200"_s},
        {"bytes after the length ignored", "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nhiXX", false,
         R::Complete, "hi"},
        {"read until close", "HTTP/1.0 200 OK\r\n\r\nall of it", true, R::Complete, "all of it"},
        {"open without length waits", "HTTP/1.0 200 OK\r\n\r\npart", false, R::NeedMore},
        {"chunked",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n7;ext=1\r\n, world\r\n0\r\n\r\n",
         false, R::Complete, "hello, world"},
        {"chunked with trailers",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n1\r\nA\r\n0\r\nX-T: 1\r\n\r\n", false,
         R::Complete, "A"},
        {"chunked overrides length",
         "HTTP/1.1 200 OK\r\nContent-Length: 99\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n\r\n",
         false, R::Complete, "ok"},
        {"last chunk then close without trailer end",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n0\r\n", true, R::Complete, "ok"},
        {"chunks without the last one",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nok\r\n",
         true,
         R::Failed,
         {},
         kClosed},
        {"bad chunk size",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\n",
         false,
         R::Failed,
         {},
         QStringLiteral("HTTP error: bad chunk in response")},
        {"negative chunk size",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n-5\r\n",
         false,
         R::Failed,
         {},
         QStringLiteral("HTTP error: bad chunk in response")},
        {"chunk data overruns",
         "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nokXY\r\n",
         false,
         R::Failed,
         {},
         QStringLiteral("HTTP error: bad chunk in response")},
        {"body short of its length",
         "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nshort",
         true,
         R::Failed,
         {},
         kClosed},
        {"headers incomplete at close", "HTTP/1.1 200 OK\r\nContent-Le", true, R::Failed, {}, kClosed},
        {"nothing at all", "", true, R::Failed, {}, kClosed},
        {"no status line",
         "Content-Length: 2\r\n\r\nhi",
         false,
         R::Failed,
         {},
         QStringLiteral("HTTP error: no valid response from server")},
        {"status line without reason", "HTTP/1.1 204\r\n\r\n", false, R::Complete, "", {}, u"204"_s},
        {"100 continue then the answer",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 201 Created\r\nContent-Length: 1\r\n\r\nx",
         false,
         R::Complete,
         "x",
         {},
         u"201"_s},
        {"headers of an interim answer ignored",
         "HTTP/1.1 100 Continue\r\nContent-Length: 50\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 1\r\n\r\ny",
         false,
         R::Complete,
         "y",
         {},
         u"200"_s},
        {"bad content length",
         "HTTP/1.1 200 OK\r\nContent-Length: 12x\r\n\r\n",
         false,
         R::Failed,
         {},
         QStringLiteral("HTTP error: bad Content-Length")},
        {"conflicting content lengths",
         "HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n",
         false,
         R::Failed,
         {},
         QStringLiteral("HTTP error: bad Content-Length")},
        {"length above the page bound",
         "HTTP/1.1 200 OK\r\nContent-Length: 67108865\r\n\r\n",
         false,
         R::Failed,
         {},
         QStringLiteral("HTTP error: page larger than 64 MiB")},
        {"304 has no body",
         "HTTP/1.1 304 Not Modified\r\nContent-Length: 40\r\n\r\n",
         false,
         R::Complete,
         "",
         {},
         u"304"_s},
    };
}

enum class Cut { Whole, Lines, Bytes };

SOHTTPResponse play(const QByteArray &bytes, bool closeAfter, Cut cut) {
    SOHTTPResponse r;
    r.reset();
    if (cut == Cut::Whole) {
        r.feed(bytes.constData(), bytes.size());
    } else {
        qsizetype pos = 0;
        while (pos < bytes.size()) {
            qsizetype n = 1;
            if (cut == Cut::Lines) {
                const qsizetype lf = bytes.indexOf('\n', pos);
                n = lf < 0 ? bytes.size() - pos : lf + 1 - pos;
            }
            r.feed(bytes.constData() + pos, n);
            pos += n;
        }
    }
    if (closeAfter)
        r.finish();
    return r;
}

class HTTPResponse : public ::testing::TestWithParam<ResponseCase> {};

TEST_P(HTTPResponse, ReadsTheSameWhateverTheCut) {
    const ResponseCase &c = GetParam();
    for (Cut cut : {Cut::Whole, Cut::Lines, Cut::Bytes}) {
        SCOPED_TRACE(int(cut));
        const SOHTTPResponse r = play(c.bytes, c.closeAfter, cut);
        ASSERT_EQ(r.result(), c.result) << r.error().toStdString();
        if (c.result == SOHTTPResponse::Complete) {
            EXPECT_EQ(r.body(), c.body);
        }
        EXPECT_EQ(r.error(), c.error);
        if (!c.code.isEmpty()) {
            EXPECT_EQ(r.statusCode(), c.code);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HTTPResponse, ::testing::ValuesIn(cases()), vltest::RowName());

TEST(HTTPResponseHeaders, ValuesAreTheTrimmedTextAfterTheFirstColon) {
    const QByteArray bytes = "HTTP/1.1 302 Found\r\n"
                             "location:http://h:81/a:b  \r\n"
                             "WWW-Authenticate:   Digest realm=\"r\"\r\n"
                             "Set-Cookie:a=1\r\n"
                             "SET-COOKIE: b=2; path=/\r\n"
                             "Via: HTTP/1.1 200 proxy\r\n"
                             "Content-Length: 0\r\n\r\n";
    SOHTTPResponse r;
    r.reset();
    ASSERT_EQ(r.feed(bytes.constData(), bytes.size()), SOHTTPResponse::Complete);
    EXPECT_EQ(r.statusCode(), QStringLiteral("302"));
    EXPECT_EQ(r.statusText(), QStringLiteral("Found"));
    EXPECT_EQ(r.location(), QStringLiteral("http://h:81/a:b"));
    EXPECT_TRUE(r.challenged());
    EXPECT_EQ(r.challenge(), QStringLiteral("Digest realm=\"r\""));
    EXPECT_EQ(r.cookies(), (QStringList{QStringLiteral("a=1"), QStringLiteral("b=2; path=/")}));
}

TEST(HTTPResponseBounds, AnEndlessHeaderLineFailsBounded) {
    SOHTTPResponse r;
    r.reset();
    const QByteArray start = "HTTP/1.1 200 OK\r\nX-Endless: ";
    r.feed(start.constData(), start.size());
    const QByteArray block(32768, 'a');
    SOHTTPResponse::Result result = SOHTTPResponse::NeedMore;
    int blocks = 0;
    while (result == SOHTTPResponse::NeedMore && blocks < 1000) {
        result = r.feed(block.constData(), block.size());
        ++blocks;
    }
    EXPECT_EQ(result, SOHTTPResponse::Failed);
    EXPECT_EQ(r.error(), QStringLiteral("HTTP error: response header too long"));
    EXPECT_LE(blocks, 10);
}

TEST(HTTPResponseBounds, APageAboveTheBoundFails) {
    SOHTTPResponse r;
    r.reset();
    const QByteArray start = "HTTP/1.0 200 OK\r\n\r\n";
    r.feed(start.constData(), start.size());
    const QByteArray block(1 << 20, 'b');
    SOHTTPResponse::Result result = SOHTTPResponse::NeedMore;
    int blocks = 0;
    while (result == SOHTTPResponse::NeedMore && blocks < 100) {
        result = r.feed(block.constData(), block.size());
        ++blocks;
    }
    EXPECT_EQ(result, SOHTTPResponse::Failed);
    EXPECT_EQ(r.error(), QStringLiteral("HTTP error: page larger than 64 MiB"));
    EXPECT_EQ(blocks, 65);
}

// The worked example of RFC 2617, section 3.5.
TEST(HTTPDigest, RFC2617Example) {
    HASHHEX ha1, response;
    DigestCalcHA1("md5", "Mufasa", "testrealm@host.com", "Circle Of Life",
                  "dcd98b7102dd2f0e8b11d0f600bfb0c093", "0a4f113b", ha1);
    DigestCalcResponse(ha1, "dcd98b7102dd2f0e8b11d0f600bfb0c093", "00000001", "0a4f113b", "auth", "GET",
                       "/dir/index.html", "", response);
    EXPECT_STREQ(response, "6629fae49393a05397450978507c4ef1");
}

TEST(HTTPDigest, WithoutQopTheOldFormIsUsed) {
    // RFC 2069's response: MD5(HA1:nonce:HA2), cnonce and nc left out.
    HASHHEX ha1, response, again;
    DigestCalcHA1("MD5", "u", "r", "p", "n", "c1", ha1);
    DigestCalcResponse(ha1, "n", "00000001", "c1", "", "GET", "/x", "", response);
    DigestCalcResponse(ha1, "n", "00000099", "c2", "", "GET", "/x", "", again);
    EXPECT_STREQ(response, again);
    EXPECT_EQ(std::strlen(response), 32u);
}

} // namespace
