// The cookie jar: which Set-Cookie values become which cookies, and which requests get them.

#include "SOCookieJar.h"

#include "TestNames.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

struct CookieCase {
    std::string name;
    std::vector<const char *> setCookies; // in arrival order
    const char *host;
    const char *path;
    std::vector<const char *> expected; // in any order
};

void PrintTo(const CookieCase &c, std::ostream *os) {
    *os << c.name;
}

std::vector<CookieCase> cases() {
    return {
        {"dotted domain inside",
         {"sid=1; domain=.example.com; path=/"},
         "www.example.com",
         "/any/where",
         {"sid=1"}},
        {"dotted domain deeper", {"sid=1; domain=.example.com; path=/"}, "a.b.example.com", "/", {"sid=1"}},
        {"dotted domain itself", {"sid=1; domain=.example.com; path=/"}, "example.com", "/", {"sid=1"}},
        {"dotted domain outside", {"sid=1; domain=.example.com; path=/"}, "example.org", "/", {}},
        {"plain domain itself", {"sid=1; domain=example.com"}, "example.com", "/", {"sid=1"}},
        {"plain domain inside", {"sid=1; domain=example.com"}, "mail.example.com", "/", {"sid=1"}},
        {"same ending without a dot boundary", {"sid=1; domain=example.com"}, "badexample.com", "/", {}},
        {"host and domain differ in case", {"sid=1; domain=.Example.COM"}, "WWW.example.com", "/", {"sid=1"}},
        {"paths differ in case", {"sid=1; path=/Mail"}, "h", "/mail/inbox", {"sid=1"}},
        {"path prefix not met", {"sid=1; path=/mail"}, "h", "/news", {}},
        {"no domain, no path: everywhere", {"sid=1"}, "anything.test", "/x", {"sid=1"}},
        {"capitalised attributes are attributes",
         {"sid=1; Domain=.example.com; PATH=/mail"},
         "other.test",
         "/mail",
         {}},
        {"capitalised attributes match",
         {"sid=1; Domain=.example.com; PATH=/mail"},
         "w.example.com",
         "/mail/x",
         {"sid=1"}},
        {"same name, other domain, replaces",
         {"sid=1; domain=.a.test", "sid=2; domain=.b.test"},
         "w.a.test",
         "/",
         {}},
        {"the replacement applies",
         {"sid=1; domain=.a.test", "sid=2; domain=.b.test"},
         "w.b.test",
         "/",
         {"sid=2"}},
        {"empty value kept", {"flag=; path=/"}, "h", "/", {"flag="}},
        {"value holding =", {"tok=a=b==; path=/"}, "h", "/", {"tok=a=b=="}},
        {"spaces around the pair", {"  sid = 7 ;path=/"}, "h", "/", {"sid=7"}},
        {"a pair only after the first ; is no cookie", {"garbage; sid=1"}, "h", "/", {}},
        {"an attribute value is not an attribute", {"sid=1; comment=path=/elsewhere"}, "h", "/", {"sid=1"}},
        {"nameless value dropped", {"=orphan"}, "h", "/", {}},
        {"two cookies", {"a=1", "b=2; path=/"}, "h", "/", {"a=1", "b=2"}},
        {"empty jar", {}, "h", "/", {}},
    };
}

class CookieJar : public ::testing::TestWithParam<CookieCase> {};

TEST_P(CookieJar, ReturnsWhatApplies) {
    const CookieCase &c = GetParam();
    SOCookieJar jar;
    for (const char *text : c.setCookies)
        jar.addCookie(QString::fromLatin1(text));
    QStringList got = jar.cookiesFor(QString::fromLatin1(c.host), QString::fromLatin1(c.path));
    QStringList want;
    for (const char *e : c.expected)
        want.append(QString::fromLatin1(e));
    got.sort();
    want.sort();
    EXPECT_EQ(got, want) << got.join(u'|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, CookieJar, ::testing::ValuesIn(cases()), vltest::RowName());

TEST(CookieJarParse, FieldsOfOneCookie) {
    const SOCookie c(QStringLiteral("session=abc123; Path=/; HttpOnly; domain=.x.test"));
    EXPECT_EQ(c.name, QStringLiteral("session"));
    EXPECT_EQ(c.value, QStringLiteral("abc123"));
    EXPECT_EQ(c.path, QStringLiteral("/"));
    EXPECT_EQ(c.domain, QStringLiteral(".x.test"));
    const SOCookie bare(QStringLiteral("k=v"));
    EXPECT_TRUE(bare.domain.isEmpty());
    EXPECT_TRUE(bare.path.isEmpty());
}

} // namespace
