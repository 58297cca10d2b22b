// The HTTP client against a scripted peer, for what a real server will not do on demand:
// exact request bytes, interim answers, odd framing, broken and hostile answers, slow and
// silent servers. Each row plays one dialogue and checks the one ending it must give.

#include "HTTPFetch.h"
#include "SODigest.h"

#include "ScriptedPeer.h"
#include "ServerProcess.h"
#include "TestCA.h"
#include "TestNames.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

namespace {

QString s(const char *text) {
    return QString::fromLatin1(text);
}

QString dialogueFile(const char *name) {
    return QStringLiteral(VL_TEST_DATA_DIR "/dialogues/") + QLatin1String(name) + QStringLiteral(".txt");
}

// Plays the dialogue on this process's address and a port of the kernel's choice.
bool startPeer(vltest::ScriptedPeer &peer, const char *dialogue) {
    peer.loadDialogue(dialogueFile(dialogue));
    return peer.start();
}

struct PeerCase {
    std::string name;
    const char *dialogue;
    QString path;
    QString page{};  // expected page; null: an error is expected
    QString error{}; // expected error
    std::function<void(SOHTTP &)> prepare{};
    std::function<void(const vltest::ScriptedPeer &)> check{};
    quint16 port = 0; // 0: the kernel's choice
    // Waits of 30 s become 3 s: no row hangs, and a loaded machine does not time a row out.
    // The rows about waiting use 300 ms.
    double timeoutScale = 0.1;
};

void PrintTo(const PeerCase &c, std::ostream *os) {
    *os << c.name;
}

// The Authorization line's fields.
QHash<QString, QString> digestFields(const QString &line) {
    QHash<QString, QString> out;
    static const QRegularExpression field(QStringLiteral("(\\w+)=(?:\"([^\"]*)\"|([^\\s,]*))"));
    for (auto it = field.globalMatch(line.mid(line.indexOf(QStringLiteral("Digest")) + 6)); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        out.insert(m.captured(1),
                   m.capturedLength(2) > 0 || m.captured(3).isEmpty() ? m.captured(2) : m.captured(3));
    }
    return out;
}

QString received(const vltest::ScriptedPeer &peer, const char *prefix) {
    for (const QByteArray &line : peer.received()) {
        if (line.startsWith(prefix))
            return QString::fromLatin1(line);
    }
    return {};
}

// The response the server expects, computed from the line's own fields.
void expectValidDigest(const vltest::ScriptedPeer &peer, const char *qop) {
    const QString line = received(peer, "Authorization:");
    ASSERT_FALSE(line.isEmpty());
    const QHash<QString, QString> f = digestFields(line);
    EXPECT_EQ(f.value(s("username")), s("user"));
    EXPECT_EQ(f.value(s("uri")), s("/private"));
    EXPECT_EQ(f.value(s("qop")), s(qop));
    EXPECT_EQ(f.contains(s("cnonce")), *qop != 0);
    EXPECT_EQ(f.contains(s("nc")), *qop != 0);
    if (*qop) {
        EXPECT_TRUE(QRegularExpression(s("^[0-9a-f]{32}$")).match(f.value(s("cnonce"))).hasMatch())
            << line.toStdString();
    }
    HASHHEX ha1, response;
    const QByteArray realm = f.value(s("realm")).toLatin1(), nonce = f.value(s("nonce")).toLatin1(),
                     cnonce = f.value(s("cnonce")).toLatin1();
    DigestCalcHA1("MD5", "user", realm.constData(), "pw", nonce.constData(), cnonce.constData(), ha1);
    DigestCalcResponse(ha1, nonce.constData(), "00000001", cnonce.constData(), qop, "GET", "/private", "",
                       response);
    EXPECT_EQ(f.value(s("response")), QLatin1String(response)) << line.toStdString();
}

const auto login = [](SOHTTP &h) { h.setUserAndPwd(s("user"), s("pw")); };

std::vector<PeerCase> cases() {
    const QString closed = s("Connection closed by host");
    return {
        {"exact bytes of a small POST to 8080",
         "http_post_exact",
         s("/form?x=1"),
         s("ok"),
         {},
         [](SOHTTP &h) { h.setHeaders({}); },
         [](const vltest::ScriptedPeer &p) {
             EXPECT_EQ(received(p, "Host:"), s("Host: %1:8080").arg(p.host()));
             EXPECT_EQ(p.received().last(), QByteArray("<3 bytes>"));
         },
         8080},
        {"100 Continue then the answer", "http_continue", s("/"), s("real")},
        {"no status line", "http_no_status", s("/"), {}, s("HTTP error: no valid response from server")},
        {"Content-Length:0 ends the page", "http_length_zero", s("/"), s("")},
        {"qop list answered with auth",
         "http_qop_list",
         s("/private"),
         s("inside"),
         {},
         login,
         [](const vltest::ScriptedPeer &p) {
             expectValidDigest(p, "auth");
             EXPECT_TRUE(
                 received(p, "Authorization:").startsWith(s("Authorization: Digest  username=\"user\"")));
             EXPECT_TRUE(received(p, "Authorization:").contains(s(", opaque=\"0paque\"")));
         }},
        {"challenge without qop",
         "http_no_qop",
         s("/private"),
         s("in"),
         {},
         login,
         [](const vltest::ScriptedPeer &p) { expectValidDigest(p, ""); }},
        {"relative Location", "http_relative_location", s("/dir/start?q"), s("moved")},
        {"Location on a 200 ignored", "http_location_on_200", s("/"), s("here")},
        {"body short of its length", "http_short_body", s("/"), {}, closed},
        {"chunks without the last one", "http_chunks_cut", s("/"), {}, closed},
        {"endless header line", "http_endless_header", s("/"), {}, s("HTTP error: response header too long")},
        {"slow peer", "http_slow", s("/"), s("slow page"), {}, {}, {}, 0, 0.01},
        {"stalled peer", "http_stalled", s("/"), {}, s("Timeout communicating with server"), {}, {}, 0, 0.01},
    };
}

class HTTPPeer : public ::testing::TestWithParam<PeerCase> {
protected:
    void TearDown() override { SOSSLSocket::setTimeoutScale(1); }
};

TEST_P(HTTPPeer, PlaysTheDialogue) {
    const PeerCase &c = GetParam();
    SOSSLSocket::setTimeoutScale(c.timeoutScale);
    vltest::ScriptedPeer peer;
    peer.loadDialogue(dialogueFile(c.dialogue));
    ASSERT_TRUE(peer.listen(vltest::ownLoopbackAddress(), c.port));
    SOCookieJar jar;
    const HTTPResult r = fetch(jar, [&](SOHTTP &h) {
        if (c.prepare)
            c.prepare(h);
        h.requestPage(s("http"), peer.host(), peer.serverPort(), c.path,
                      c.port == 8080 ? s("a=b") : QString(), false);
    });
    ASSERT_EQ(r.endings(), 1) << r.error.toStdString();
    if (c.page.isNull()) {
        EXPECT_EQ(r.error, c.error);
    } else {
        ASSERT_EQ(r.pages, 1) << r.error.toStdString();
        EXPECT_EQ(QString::fromLatin1(r.page), c.page);
        EXPECT_TRUE(r.location.isNull());
    }
    EXPECT_TRUE(peer.mismatches().isEmpty()) << peer.mismatches().join(u'\n').toStdString();
    if (c.check)
        c.check(peer);
}

INSTANTIATE_TEST_SUITE_P(Dialogues, HTTPPeer, ::testing::ValuesIn(cases()), vltest::RowName());

TEST(HTTPPeerRedirect, ReportedRelativeLocationIsAbsolute) {
    vltest::ScriptedPeer peer;
    ASSERT_TRUE(startPeer(peer, "http_relative_location"));
    SOCookieJar jar;
    const HTTPResult r = fetch(jar, [&](SOHTTP &h) {
        h.requestPage(s("http"), peer.host(), peer.serverPort(), s("/dir/start?q"), {}, true);
    });
    ASSERT_EQ(r.pages, 1) << r.error.toStdString();
    EXPECT_EQ(r.location, s("http://%1:%2/dir/page2").arg(peer.host()).arg(peer.serverPort()));
    EXPECT_EQ(peer.connections(), 1);
}

TEST(HTTPPeerRedirect, CallersAuthorizationStaysWithItsHost) {
    // The second server sits on another address, so the redirect goes to another host.
    vltest::ScriptedPeer other;
    ASSERT_TRUE(other.listen(QHostAddress::LocalHost, 0));
    ASSERT_NE(other.host(), vltest::ownLoopbackAddress().toString());
    other.setDialogue(s("C: *\nC: *\nC: *\nC: *\nC: *\nC: *\nC: *\nS: HTTP/1.1 200 OK\nS: Content-Length: "
                        "2\nS:\nR: ok\nX\n"));
    vltest::ScriptedPeer first;
    first.setDialogue(s("C: *\nC: *\nC: *\nC: *\nC: *\nC: *\nC: *\nC: *\nS: HTTP/1.1 307 Moved\n"
                        "S: Location: http://%1:%2/there\nS: Content-Length: 0\nS:\nX\n")
                          .arg(other.host())
                          .arg(other.serverPort()));
    ASSERT_TRUE(first.start());
    SOCookieJar jar;
    const HTTPResult r = fetch(jar, [&](SOHTTP &h) {
        h.setAuthText(s("Authorization: Basic c2VjcmV0"));
        h.requestPage(s("http"), first.host(), first.serverPort(), s("/here"), {}, false);
    });
    ASSERT_EQ(r.pages, 1) << r.error.toStdString();
    EXPECT_EQ(received(first, "Authorization:"), s("Authorization: Basic c2VjcmV0"));
    EXPECT_TRUE(received(other, "Authorization:").isEmpty());
    EXPECT_EQ(other.connections(), 1);
}

TEST(HTTPPeerDefaultPort, HttpsOnPortZeroNames443) {
    if (getuid() != 0)
        GTEST_SKIP() << "port 443 needs root";
    const vltest::TestCA &ca = vltest::TestCA::instance();
    vltest::ScriptedPeer peer;
    peer.loadDialogue(dialogueFile("http_host_443"));
    peer.setTls(ca.certFile(vltest::TestCA::Good), ca.keyFile(vltest::TestCA::Good));
    ASSERT_TRUE(peer.listen(vltest::ownLoopbackAddress(), 443));
    SOCookieJar jar;
    const HTTPResult r =
        fetch(jar, [&](SOHTTP &h) { h.requestPage(s("https://%1/secure").arg(peer.host()), {}, false); });
    ASSERT_EQ(r.pages, 1) << r.error.toStdString();
    EXPECT_EQ(received(peer, "Host:"), s("Host: %1:443").arg(peer.host()));
    EXPECT_TRUE(peer.mismatches().isEmpty()) << peer.mismatches().join(u'\n').toStdString();
}

TEST(HTTPPeerCookies, AnEmptyJarSendsNoCookieLine) {
    vltest::ScriptedPeer peer;
    ASSERT_TRUE(startPeer(peer, "http_location_on_200"));
    SOCookieJar jar;
    jar.addCookie(s("other=1; domain=.elsewhere.test"));
    const HTTPResult r = fetch(
        jar, [&](SOHTTP &h) { h.requestPage(s("http"), peer.host(), peer.serverPort(), s("/"), {}, false); });
    ASSERT_EQ(r.pages, 1);
    EXPECT_TRUE(received(peer, "Cookie").isEmpty());
}

// Refused before any connection is tried.
TEST(HTTPUrls, BadUrlsFailToParse) {
    const QString bad[] = {
        s("http://host.test"),     s("ftp://host.test/x"),
        s("/relative/only"),       s("http://h.test/a\r\nX-Evil: 1"),
        s("http://h.test/a\nb"),   QString::fromLatin1("http://h.test/a\0b", 17),
        s("http://h.test:99999/"), s("http://h.test:x/"),
        s("http://user@/x"),
    };
    for (const QString &url : bad) {
        SOCookieJar jar;
        const HTTPResult r = fetch(
            jar, [&](SOHTTP &h) { h.requestPage(url, {}, false); }, 5000);
        EXPECT_EQ(r.errors, 1);
        EXPECT_EQ(r.error, s("Failed to parse URL: %1").arg(url));
    }
}

TEST(HTTPUrls, PortAndUserinfoSplitOff) {
    struct Row {
        const char *url, *host, *path;
        int port;
    } rows[] = {
        {"http://h.test/p?q=1", "h.test", "/p?q=1", 0},
        {"http://h.test:8080/", "h.test", "/", 8080},
        {"https://me:pw@h.test:4443/x", "h.test", "/x", 4443},
        {"http://[::1]:81/", "::1", "/", 81},
    };
    for (const Row &row : rows) {
        QString scheme, host, path;
        int port = -1;
        ASSERT_TRUE(SOHTTP::parseUrl(s(row.url), scheme, host, port, path)) << row.url;
        EXPECT_EQ(host, s(row.host));
        EXPECT_EQ(path, s(row.path));
        EXPECT_EQ(port, row.port);
    }
}

TEST(HTTPRequests, TheServersReasonIsCleanedInTheError) {
    vltest::ScriptedPeer peer;
    peer.setDialogue(
        s("C: GET /*\nR: HTTP/1.1 418 I\\x01m \\x1b[31mred\\x00\\r\\nContent-Length: 0\\r\\n\\r\\n\nX\n"));
    ASSERT_TRUE(peer.start());
    SOCookieJar jar;
    const HTTPResult r = fetch(
        jar, [&](SOHTTP &h) { h.requestPage(s("http"), peer.host(), peer.serverPort(), s("/"), {}, false); });
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(r.error, s("HTTP error: 418 I?m ?[31mred?"));
}

TEST(HTTPRequests, ALineBreakInAHeaderIsNeverSent) {
    vltest::ScriptedPeer peer;
    ASSERT_TRUE(startPeer(peer, "http_location_on_200"));
    SOCookieJar jar;
    const HTTPResult r = fetch(jar, [&](SOHTTP &h) {
        h.setHeaders({s("X-Fine: 1"), s("X-Bad: 1\r\nX-Injected: 2")});
        h.requestPage(s("http"), peer.host(), peer.serverPort(), s("/"), {}, false);
    });
    EXPECT_EQ(r.errors, 1);
    EXPECT_EQ(r.error, s("Error sending command to web server"));
    for (const QByteArray &line : peer.received())
        EXPECT_FALSE(line.startsWith("X-Injected")) << line.toStdString();
}

} // namespace
