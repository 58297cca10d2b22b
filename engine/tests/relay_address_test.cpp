// Finding the relay in a received-from text: which address wins, what counts as a host
// name, and agreement with the regular expressions the search stands for.

#include "RelayAddress.h"
#include "RelayReference.h"

#include "TestNames.h"

#include <gtest/gtest.h>

#include <random>

using namespace Qt::StringLiterals;

namespace {

using Kind = RelayAddress::Kind;

struct RelayCase {
    std::string name;
    QString text;
    Kind kind;
    QString quadOrHost;
};

class Relay : public ::testing::TestWithParam<RelayCase> {};

TEST_P(Relay, Found) {
    const RelayCase &c = GetParam();
    const RelayAddress relay = RelayAddress::fromReceivedText(c.text);
    EXPECT_EQ(relay.kind, c.kind);
    EXPECT_EQ(c.kind == Kind::HostName ? relay.host : relay.quad, c.quadOrHost);
    EXPECT_TRUE(vltest::sameRelay(relay, vltest::referenceRelay(c.text)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Relay,
    ::testing::ValuesIn(std::vector<RelayCase>{
        {"bracket", u"mail.example.net (mail.example.net [192.0.2.7]) by mx.example.org"_s, Kind::Address,
         u"7.2.0.192"_s},
        {"bracket over parenthesis and by", u"x (5.6.7.8) 9.10.11.12 by y [1.2.3.4]"_s, Kind::Address,
         u"4.3.2.1"_s},
        {"parenthesis over by", u"9.10.11.12 by relay (5.6.7.8)"_s, Kind::Address, u"8.7.6.5"_s},
        {"by", u"unknown 9.10.11.12 by mx.example.org"_s, Kind::Address, u"12.11.10.9"_s},
        {"by takes the last four numbers", u"1.2.3.4.5 by mx"_s, Kind::Address, u"5.4.3.2"_s},
        {"first bracket that holds an address", u"[mx] [1.2.3] [10.0.0.1]"_s, Kind::Address, u"1.0.0.10"_s},
        {"numbers as written", u"relay [999.1.1.010]"_s, Kind::Address, u"010.1.1.999"_s},
        {"bracket not closed", u"relay [1.2.3.4"_s, Kind::None, QString()},
        {"by needs its space", u"relay 1.2.3.4by"_s, Kind::None, QString()},
        {"host name", u"relay.example.net"_s, Kind::HostName, u"relay.example.net"_s},
        {"host name trimmed", u" relay.example.net \t"_s, Kind::HostName, u"relay.example.net"_s},
        {"words and no address", u"relay.example.net by mx.example.org"_s, Kind::None, QString()},
        {"empty", QString(), Kind::None, QString()},
        {"blank", u"   "_s, Kind::None, QString()},
    }),
    vltest::RowName());

TEST(RelayQuad, ReversesExactlyFourParts) {
    EXPECT_EQ(RelayAddress::reversedQuad(u"192.0.2.7"), u"7.2.0.192"_s);
    EXPECT_EQ(RelayAddress::reversedQuad(u"1.2.3"), QString());
    EXPECT_EQ(RelayAddress::reversedQuad(u"1.2.3.4.5"), QString());
    EXPECT_EQ(RelayAddress::reversedQuad(u""), QString());
}

// Random texts over the characters that matter agree with the regular expressions.
TEST(RelayDifferential, AgreesWithTheRegularExpressions) {
    std::mt19937 random(20261210);
    const QString alphabet = u"0123456789..........[]() by x\t"_s;
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
    std::uniform_int_distribution<int> length(0, 40);
    for (int i = 0; i < 20000; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n)
            text += alphabet[pick(random)];
        const RelayAddress fast = RelayAddress::fromReceivedText(text);
        const RelayAddress reference = vltest::referenceRelay(text);
        ASSERT_TRUE(vltest::sameRelay(fast, reference))
            << "text \"" << text.toStdString() << "\": " << fast.quad.toStdString() << " vs "
            << reference.quad.toStdString();
    }
}

} // namespace
