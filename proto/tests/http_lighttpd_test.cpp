// The HTTP client against a real server (lighttpd), plain and over TLS: pages, Digest,
// redirects of every kind, cookies, chunked CGI output, errors and posted bodies.

#include "HTTPFetch.h"
#include "LighttpdServer.h"
#include "TestNames.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

struct LiveCase {
    std::string name;
    QString path;
    QString body{};
    bool reportRedirects = false;
    QString user{};
    QString password{};
    QStringList pageHas{}; // each in the page; empty: an error is expected
    QString error{};
    QString location{}; // path of the reported location
};

void PrintTo(const LiveCase &c, std::ostream *os) {
    *os << c.name;
}

QString s(const char *text) {
    return QString::fromLatin1(text);
}

std::vector<LiveCase> cases() {
    return {
        {"static page", s("/index.html"), {}, false, {}, {}, {s("hello")}},
        {"digest", s("/private/secret.txt"), {}, false, s("dave"), s("dave-pw"), {s("top secret")}},
        {"digest wrong password",
         s("/private/secret.txt"),
         {},
         false,
         s("dave"),
         s("wrong"),
         {},
         s("Too many authentication attempts: bad username or password?")},
        {"301 followed", s("/moved"), {}, false, {}, {}, {s("hello")}},
        {"302 followed", s("/old/page.txt"), {}, false, {}, {}, {s("new place")}},
        {"303 followed with GET", s("/see"), s("x=1"), false, {}, {}, {s("method=GET"), s("query=from=see")}},
        {"307 followed", s("/temp"), {}, false, {}, {}, {s("query=from=temp")}},
        {"308 followed", s("/perm"), {}, false, {}, {}, {s("hello")}},
        {"redirect loop", s("/loop"), {}, false, {}, {}, {}, s("Too many http redirects")},
        {"redirect reported", s("/old/page.txt"), {}, true, {}, {}, {}, {}, s("/new/page.txt")},
        {"chunked output decoded",
         s("/cgi-bin/chunked.sh"),
         {},
         false,
         {},
         {},
         {s("part 1\npart 2\npart 3\n")}},
        {"404", s("/nothing/here"), {}, false, {}, {}, {}, s("HTTP error: 404 Not Found")},
        {"POST echoed",
         s("/cgi-bin/echo.sh?q=1"),
         s("a=1&b=two"),
         false,
         {},
         {},
         {s("method=POST"), s("query=q=1"), s("body=a=1&b=two")}},
    };
}

struct Live : ::testing::TestWithParam<std::tuple<LiveCase, bool>> {};

TEST_P(Live, Request) {
    // Named apart, not as a structured binding: lambdas below capture them, which not every
    // compiler the project builds with allows for bindings.
    const LiveCase &c = std::get<0>(GetParam());
    const bool tls = std::get<1>(GetParam());
    vltest::LighttpdServer &server = vltest::LighttpdServer::instance();
    SOCookieJar jar;
    const QString scheme = tls ? s("https") : s("http");
    const int port = tls ? server.tlsPort() : server.port();
    // A query of its own finds this request in the server's log; the digest covers it too.
    const QString path = c.user.isEmpty() ? c.path : c.path + (tls ? s("?tls") : s("?plain"));
    const HTTPResult r = fetch(jar, [&](SOHTTP &h) {
        if (!c.user.isEmpty())
            h.setUserAndPwd(c.user, c.password);
        h.requestPage(scheme, server.host(), port, path, c.body, c.reportRedirects);
    });
    ASSERT_EQ(r.endings(), 1);
    if (!c.error.isEmpty()) {
        EXPECT_EQ(r.error, c.error);
        return;
    }
    ASSERT_EQ(r.pages, 1) << r.error.toStdString();
    const QString page = QString::fromLatin1(r.page);
    for (const QString &part : c.pageHas)
        EXPECT_TRUE(page.contains(part)) << page.toStdString();
    if (!c.location.isEmpty()) {
        const bool standard = port == (tls ? 443 : 80);
        const QString want = standard
                                 ? s("%1://%2%3").arg(scheme, server.host(), c.location)
                                 : s("%1://%2:%3%4").arg(scheme, server.host()).arg(port).arg(c.location);
        EXPECT_EQ(r.location, want);
        EXPECT_TRUE(r.page.isEmpty() || !r.page.contains("new place"));
    }
    if (c.name == "digest") {
        // One challenge, then the answer.
        const auto mine = [&] { return server.accessLog().filter(path); };
        EXPECT_TRUE(QTest::qWaitFor([&] { return mine().size() >= 2; }, 10000));
        const QStringList log = mine();
        ASSERT_EQ(log.size(), 2) << log.join(u'\n').toStdString();
        EXPECT_TRUE(log[0].contains(s("\" 401 ")));
        EXPECT_TRUE(log[1].contains(s("\" 200 ")));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Live, ::testing::Combine(::testing::ValuesIn(cases()), ::testing::Bool()),
                         [](const auto &info) {
                             return vltest::testName(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "_tls" : "_plain");
                         });

TEST(LiveCookies, SetThenSentBack) {
    vltest::LighttpdServer &server = vltest::LighttpdServer::instance();
    for (bool tls : {false, true}) {
        SCOPED_TRACE(tls);
        SOCookieJar jar;
        const QString scheme = tls ? s("https") : s("http");
        const int port = tls ? server.tlsPort() : server.port();
        HTTPResult r = fetch(
            jar, [&](SOHTTP &h) { h.requestPage(scheme, server.host(), port, s("/cookie/set"), {}, false); });
        ASSERT_EQ(r.pages, 1) << r.error.toStdString();
        EXPECT_EQ(jar.cookiesFor(server.host(), s("/cgi-bin/echo.sh")), QStringList{s("session=abc123")});
        r = fetch(jar, [&](SOHTTP &h) {
            h.requestPage(scheme, server.host(), port, s("/cgi-bin/echo.sh"), {}, false);
        });
        ASSERT_EQ(r.pages, 1) << r.error.toStdString();
        EXPECT_TRUE(r.page.contains("cookie=session=abc123\n")) << r.page.toStdString();
    }
}

// A caller that carries the authorization text from one client to the next is challenged
// only once; a stale text is answered afresh and replaced.
TEST(LiveDigest, AnsweredChallengeIsKeptForTheNextRequest) {
    vltest::LighttpdServer &server = vltest::LighttpdServer::instance();
    for (bool tls : {false, true}) {
        SCOPED_TRACE(tls);
        const QString scheme = tls ? s("https") : s("http");
        const int port = tls ? server.tlsPort() : server.port();
        const QString path = s("/private/secret.txt?kept-") + scheme;
        const auto request = [&](const QString &authText, const QString &target) {
            SOCookieJar jar;
            return fetch(jar, [&](SOHTTP &h) {
                h.setUserAndPwd(s("dave"), s("dave-pw"));
                h.setAuthText(authText);
                h.requestPage(scheme, server.host(), port, target, {}, false);
            });
        };
        const auto statuses = [&](const QString &target, qsizetype count) {
            QStringList codes;
            if (!QTest::qWaitFor(
                    [&] { return server.accessLog().filter(target + s(" HTTP/")).size() >= count; }, 10000))
                ADD_FAILURE() << "fewer than " << count << " requests logged";
            for (const QString &line : server.accessLog().filter(target + s(" HTTP/")))
                codes << line.section(u'"', 2, 2).trimmed().section(u' ', 0, 0);
            return codes;
        };
        const auto nonceOf = [](const QString &line) {
            return QRegularExpression(s(", nonce=\"([^\"]*)\"")).match(line).captured(1);
        };

        const HTTPResult first = request({}, path);
        ASSERT_EQ(first.pages, 1) << first.error.toStdString();
        EXPECT_TRUE(first.authText.startsWith(s("Authorization: Digest  username=\"dave\", realm=\"")))
            << first.authText.toStdString();
        EXPECT_TRUE(first.authText.contains(s(", uri=\"%1\"").arg(path))) << first.authText.toStdString();
        EXPECT_EQ(statuses(path, 2), (QStringList{s("401"), s("200")}));

        // Carried to the same path and to another one: signed anew, never challenged.
        const QString other = path + s("-other");
        for (const QString &target : {path, other}) {
            const HTTPResult next = request(first.authText, target);
            ASSERT_EQ(next.pages, 1) << next.error.toStdString();
            EXPECT_TRUE(next.page.contains("top secret"));
            EXPECT_EQ(nonceOf(next.authText), nonceOf(first.authText));
            EXPECT_TRUE(next.authText.contains(s(", uri=\"%1\"").arg(target))) << next.authText.toStdString();
        }
        EXPECT_EQ(statuses(path, 3), (QStringList{s("401"), s("200"), s("200")}));
        EXPECT_EQ(statuses(other, 1), QStringList{s("200")});

        // The same line with a nonce the server never gave: challenged, answered, replaced.
        QString stale = first.authText;
        stale.replace(QRegularExpression(s(", nonce=\"[^\"]*\"")),
                      s(", nonce=\"00000000000000000000000000000000\""));
        const HTTPResult third = request(stale, path);
        ASSERT_EQ(third.pages, 1) << third.error.toStdString();
        EXPECT_TRUE(third.authText.startsWith(s("Authorization: Digest  username=\"dave\"")));
        EXPECT_NE(nonceOf(third.authText), nonceOf(stale));
        EXPECT_EQ(statuses(path, 5), (QStringList{s("401"), s("200"), s("200"), s("401"), s("200")}));
    }
}

// A body far larger than one write (TLS takes one record of 16 KB at a time) goes out whole,
// in as many pieces as the socket asks for.
TEST(LivePost, AMegabyteBodyArrivesWhole) {
    vltest::LighttpdServer &server = vltest::LighttpdServer::instance();
    server.addFile(s("cgi-bin/measure.py"),
                   "import hashlib, os, sys\n"
                   "data = sys.stdin.buffer.read(int(os.environ.get('CONTENT_LENGTH') or 0))\n"
                   "sys.stdout.write('Content-Type: text/plain\\r\\n\\r\\nlength=%d\\nsha256=%s\\n'\n"
                   "                 % (len(data), hashlib.sha256(data).hexdigest()))\n",
                   true);
    QByteArray body;
    for (int i = 0; body.size() < 1024 * 1024; ++i)
        body += "field" + QByteArray::number(i) + "=" + QByteArray(40, char('a' + i % 26)) + "&";
    body.truncate(1024 * 1024);
    const QByteArray want =
        "length=1048576\nsha256=" + QCryptographicHash::hash(body, QCryptographicHash::Sha256).toHex() + "\n";
    for (bool tls : {false, true}) {
        SCOPED_TRACE(tls);
        SOCookieJar jar;
        const HTTPResult r = fetch(jar, [&](SOHTTP &h) {
            h.requestPage(tls ? s("https") : s("http"), server.host(), tls ? server.tlsPort() : server.port(),
                          s("/cgi-bin/measure.py"), QString::fromLatin1(body), false);
        });
        ASSERT_EQ(r.endings(), 1);
        ASSERT_EQ(r.pages, 1) << r.error.toStdString();
        EXPECT_EQ(r.page, want);
    }
}

TEST(LiveDefaultPort, HttpsOnPortZeroReaches443) {
    vltest::LighttpdServer &server = vltest::LighttpdServer::instance();
    if (!server.standardPorts())
        GTEST_SKIP() << "the standard ports need root";
    SOCookieJar jar;
    const HTTPResult r = fetch(jar, [&](SOHTTP &h) {
        h.requestPage(s("https"), server.host(), 0, s("/cgi-bin/echo.sh"), {}, false);
    });
    ASSERT_EQ(r.pages, 1) << r.error.toStdString();
    // (The server drops the standard port from the Host it hands on; the exact line is
    // checked against a scripted peer.)
    EXPECT_TRUE(r.page.contains("host=" + server.host().toLatin1())) << r.page.toStdString();
}

} // namespace
