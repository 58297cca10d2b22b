#include "AnalysisAlgorithm.h"
#include "testsupport/ChildProcess.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <sstream>

namespace {

// Training data with given message counts and (legitimate, junk) counts per token.
struct Table {
    unsigned int legitMessages = 0;
    unsigned int junkMessages = 0;
    std::vector<std::pair<Token, std::pair<unsigned int, unsigned int>>> entries;

    OccuranceData data() const {
        TokenMap legit;
        TokenMap junk;
        for (const auto &[token, counts] : entries) {
            legit[token] = counts.first;
            junk[token] = counts.second;
        }
        OccuranceData d;
        d.setSide(false, std::move(legit), legitMessages);
        d.setSide(true, std::move(junk), junkMessages);
        return d;
    }
};

AnalysisAlgorithm messageOf(const std::vector<Token> &tokens) {
    AnalysisAlgorithm a;
    for (const Token &t : tokens) {
        if (t.isTrait()) {
            a.handleTrait(t.id);
        } else {
            a.handleToken(t.context, t.text);
        }
    }
    return a;
}

Token word(const std::wstring &text) {
    return Token("", text);
}

Token subjectWord(const std::wstring &text) {
    return Token("subject", text);
}

TEST(Analyse, NothingKnownScoresExactlyZero) {
    const Table table{3, 3, {{word(L"known"), {1, 2}}}};
    EXPECT_EQ(AnalysisAlgorithm().analyse(table.data()), 0.0);
    EXPECT_EQ(messageOf({word(L"unknown"), Token(1024)}).analyse(table.data()), 0.0);
    // An entry left at 0 on both sides (trained, then untrained) is no evidence either.
    const Table zeros{3, 3, {{word(L"zero"), {0, 0}}}};
    EXPECT_EQ(messageOf({word(L"zero")}).analyse(zeros.data()), 0.0);
}

struct ScoreCase {
    const char *name;
    Table table;
    std::vector<Token> message;
    double expected;
};

void PrintTo(const ScoreCase &c, std::ostream *os) {
    *os << c.name;
}

class AnalyseByHand : public ::testing::TestWithParam<ScoreCase> {};

TEST_P(AnalyseByHand, GivesTheHandComputedScore) {
    const ScoreCase &c = GetParam();
    const double score = messageOf(c.message).analyse(c.table.data());
    if (c.expected == 0.0) {
        EXPECT_EQ(score, 0.0);
    } else {
        EXPECT_NEAR(score, c.expected, 1e-15);
    }
}

const ScoreCase handCases[] = {
    // f = 1.5 / 2: one token alone scores its own f.
    {"OneJunkCount", {1, 1, {{word(L"pills"), {0, 1}}}}, {word(L"pills")}, 0.75},
    {"OneLegitCount", {1, 1, {{word(L"meeting"), {1, 0}}}}, {word(L"meeting")}, 0.25},
    // f = 4.5 / 10 = 0.45 and 5.5 / 10 = 0.55 lie on the band's edges and count.
    {"LowerBandEdgeCounts", {1, 1, {{word(L"edge"), {5, 4}}}}, {word(L"edge")}, 0.45},
    {"UpperBandEdgeCounts", {1, 1, {{word(L"edge"), {4, 5}}}}, {word(L"edge")}, 0.55},
    // f = 0.5 and 9.5 / 20 = 0.475 lie inside and are skipped.
    {"InsideBandSkipped",
     {1, 1, {{word(L"even"), {5, 5}}, {word(L"near"), {10, 9}}}},
     {word(L"even"), word(L"near")},
     0.0},
    {"InsideBandSkippedBesideCountedToken",
     {1, 1, {{word(L"even"), {5, 5}}, {word(L"pills"), {0, 1}}}},
     {word(L"even"), word(L"pills")},
     0.75},
    // Two tokens f = 0.75 and 0.25: geometric means 0.4330..., symmetric, so 0.5.
    {"OppositeTokensCancel",
     {1, 1, {{word(L"pills"), {0, 1}}, {word(L"meeting"), {1, 0}}}},
     {word(L"pills"), word(L"meeting")},
     0.5},
    // No junk messages: every legitimate count scales to 0, f = 1.5 / 2.
    {"NoJunkMessagesScalesLegitToZero", {2, 0, {{word(L"w"), {3, 1}}}}, {word(L"w")}, 0.75},
    // ...and a token seen only as legitimate becomes f = 0.5: neutral.
    {"NoJunkMessagesLegitOnlyIsNeutral", {2, 0, {{word(L"w"), {3, 0}}}}, {word(L"w")}, 0.0},
    // No legitimate messages: counts are not scaled, f = 0.5 / 2.
    {"NoLegitMessagesKeepsCounts", {0, 2, {{word(L"w"), {1, 0}}}}, {word(L"w")}, 0.25},
    // Four times as many junk messages: b' = 4, f = 1.5 / 6.
    {"LegitCountScaledUp", {1, 4, {{word(L"w"), {1, 1}}}}, {word(L"w")}, 0.25},
    // Twice as many legitimate messages: b' = 1, f = 1.5 / 3 = 0.5, neutral.
    {"LegitCountScaledDown", {4, 2, {{word(L"w"), {2, 1}}}}, {word(L"w")}, 0.0},
    // A subject word unknown as such is judged as the body word.
    {"SubjectFallsBackToBody", {1, 1, {{word(L"viagra"), {0, 1}}}}, {subjectWord(L"viagra")}, 0.75},
    // A known subject word keeps its own counts.
    {"SubjectKnownKeepsOwnCounts",
     {1, 1, {{word(L"hi"), {0, 1}}, {subjectWord(L"hi"), {1, 0}}}},
     {subjectWord(L"hi")},
     0.25},
    // A body word is never looked up under "subject".
    {"BodyNeverFallsBackToSubject", {1, 1, {{subjectWord(L"offer"), {0, 1}}}}, {word(L"offer")}, 0.0},
    // Traits are tokens: one junk-only trait.
    {"TraitCounts", {1, 1, {{Token(3600), {0, 1}}}}, {Token(3600)}, 0.75},
    // Only distinct tokens count: a word five times is one token.
    {"RepeatsCountOnce", {1, 1, {{word(L"pills"), {0, 1}}}}, std::vector<Token>(5, word(L"pills")), 0.75},
};

INSTANTIATE_TEST_SUITE_P(Table, AnalyseByHand, ::testing::ValuesIn(handCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(Analyse, ThousandsOfStrongJunkTokensStayFinite) {
    Table table{1000, 1000, {}};
    std::vector<Token> message;
    for (int i = 0; i < 10000; ++i) {
        const Token t = word(L"junk" + std::to_wstring(i));
        table.entries.push_back({t, {0, 1000}});
        message.push_back(t);
    }
    const double score = messageOf(message).analyse(table.data());
    EXPECT_TRUE(std::isfinite(score));
    EXPECT_GT(score, 0.999);
    EXPECT_LE(score, 1.0);

    // The same the other way round.
    for (auto &entry : table.entries) {
        entry.second = {1000, 0};
    }
    const double legit = messageOf(message).analyse(table.data());
    EXPECT_TRUE(std::isfinite(legit));
    EXPECT_LT(legit, 0.001);
    EXPECT_GE(legit, 0.0);
}

TEST(GuessIfJunk, ComparesStrictlyWithTheThreshold) {
    const OccuranceData data = Table{1, 1, {{word(L"edge"), {5, 4}}, {word(L"pills"), {0, 1}}}}.data();
    const AnalysisAlgorithm edge = messageOf({word(L"edge")});    // about 0.45
    const AnalysisAlgorithm junk = messageOf({word(L"pills")});   // 0.75
    const AnalysisAlgorithm none = messageOf({word(L"nothing")}); // 0
    EXPECT_TRUE(edge.guessIfJunk(data, 4));
    EXPECT_FALSE(edge.guessIfJunk(data, 3));
    for (unsigned int s = 0; s < 5; ++s) {
        EXPECT_TRUE(junk.guessIfJunk(data, s)) << s;
        EXPECT_FALSE(none.guessIfJunk(data, s)) << s;
        EXPECT_EQ(edge.guessIfJunk(data, s), edge.analyse(data) > AnalysisAlgorithm::DECISION_POINTS[s]);
    }
    EXPECT_THROW((void)junk.guessIfJunk(data, 5), std::invalid_argument);
    try {
        (void)junk.guessIfJunk(data, 1000);
        FAIL();
    } catch (const std::invalid_argument &e) {
        EXPECT_STREQ(e.what(), "invalid sensitivity argument");
    }
}

TEST(GuessIfJunk, Thresholds) {
    const double expected[] = {0.65, 0.58, 0.54, 0.5, 0.44};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(AnalysisAlgorithm::DECISION_POINTS[i], expected[i]);
    }
    EXPECT_EQ(AnalysisAlgorithm::CONTEXT_DECOMPOSE_FROM, "subject");
    EXPECT_EQ(AnalysisAlgorithm::CONTEXT_DECOMPOSE_TO, "");
}

TEST(Train, AddsEachDistinctTokenOncePerMessage) {
    OccuranceData data;
    AnalysisAlgorithm message;
    for (int i = 0; i < 5; ++i) {
        message.handleToken("", L"Repeat"); // the collector keeps case; the splitter folds it
    }
    message.handleToken("subject", L"hello");
    message.handleTrait(1024);
    message.handleTrait(1024);
    EXPECT_EQ(message.tokens().size(), 3u);
    EXPECT_EQ(message.tokens().at(Token("", L"Repeat")), 5u);

    message.train(data, true, 1);
    EXPECT_EQ(data.messageCount(true), 1u);
    EXPECT_EQ(data.messageCount(false), 0u);
    EXPECT_EQ(data.get(true, Token("", L"Repeat")), 1u);
    EXPECT_EQ(data.get(true, Token(1024)), 1u);
    EXPECT_EQ(data.get(false, Token(1024)), 0u);
    EXPECT_TRUE(data.tokenCounts(false).empty());

    message.train(data, true, 7); // only the sign of the count matters
    EXPECT_EQ(data.messageCount(true), 2u);
    EXPECT_EQ(data.get(true, Token("subject", L"hello")), 2u);
    EXPECT_EQ(data.get(true, Token("", L"hello")), 0u);
}

TEST(Train, UntrainingRestoresCountsAndStopsAtZero) {
    OccuranceData data;
    messageOf({word(L"old"), word(L"shared")}).train(data, false, 1);
    (void)messageOf({word(L"old")}).analyse(data); // training must also work with a lookup index
    const AnalysisAlgorithm message = messageOf({word(L"shared"), word(L"new")});
    message.train(data, false, 1);
    EXPECT_EQ(data.get(false, word(L"shared")), 2u);
    EXPECT_EQ(data.messageCount(false), 2u);

    message.train(data, false, -1);
    EXPECT_EQ(data.messageCount(false), 1u);
    EXPECT_EQ(data.get(false, word(L"shared")), 1u);
    EXPECT_EQ(data.get(false, word(L"old")), 1u);
    // A token first seen in that message stays known with count 0.
    ASSERT_EQ(data.tokenCounts(false).count(word(L"new")), 1u);
    EXPECT_EQ(data.get(false, word(L"new")), 0u);

    // Untraining what was never trained leaves every count at 0, never below.
    message.train(data, true, 0);
    message.train(data, false, -1);
    message.train(data, false, -1);
    EXPECT_EQ(data.messageCount(true), 0u);
    EXPECT_EQ(data.messageCount(false), 0u);
    EXPECT_EQ(data.get(false, word(L"shared")), 0u);
    EXPECT_EQ(data.get(false, word(L"old")), 1u);
    EXPECT_EQ(data.tokenCounts(true).size(), 0u); // nothing created on the junk side
}

TEST(Train, CountsStopAtTheTopInsteadOfWrapping) {
    OccuranceData data;
    data.setSide(true, {{word(L"w"), 0xFFFFFFFFu}}, 0xFFFFFFFFu);
    messageOf({word(L"w")}).train(data, true, 1);
    EXPECT_EQ(data.messageCount(true), 0xFFFFFFFFu);
    EXPECT_EQ(data.get(true, word(L"w")), 0xFFFFFFFFu);
}

TEST(Train, TrainedMessageScoresAsItsSide) {
    OccuranceData data;
    const AnalysisAlgorithm spam = messageOf({word(L"cheap"), word(L"pills"), Token(3600)});
    const AnalysisAlgorithm ham = messageOf({word(L"meeting"), word(L"agenda")});
    spam.train(data, true, 1);
    ham.train(data, false, 1);
    EXPECT_NEAR(spam.analyse(data), 0.75, 1e-15);
    EXPECT_NEAR(ham.analyse(data), 0.25, 1e-15);
    spam.train(data, true, -1);
    EXPECT_EQ(spam.analyse(data), 0.0);
}

TEST(Train, ScoresFollowTrainingBetweenScores) {
    // Scoring builds a lookup index that training must keep up to date: score after
    // every step and compare with a copy, which rebuilds its index from the maps.
    std::mt19937 rng(5);
    OccuranceData data;
    const AnalysisAlgorithm probe = [&] {
        AnalysisAlgorithm a;
        for (int i = 0; i < 400; ++i) {
            a.handleToken(i % 3 ? "" : "subject", L"w" + std::to_wstring(i));
        }
        a.handleTrait(1024);
        return a;
    }();
    std::vector<AnalysisAlgorithm> trained;
    for (int step = 0; step < 60; ++step) {
        AnalysisAlgorithm message;
        for (int i = 0; i < 50; ++i) {
            message.handleToken("", L"w" + std::to_wstring(rng() % (step * 20 + 40)));
        }
        if (step % 4 == 0) {
            message.handleTrait(1024);
        }
        const bool junk = rng() % 2 == 0;
        message.train(data, junk, 1);
        trained.push_back(message);
        if (step % 5 == 4) {
            trained[step / 2].train(data, junk, -1); // an untraining, maybe of the other side
        }
        const OccuranceData fresh = data;
        ASSERT_EQ(probe.analyse(data), probe.analyse(fresh)) << step;
        for (const auto &[token, count] : probe.tokens()) {
            ASSERT_EQ(data.counts(token), std::make_pair(data.get(false, token), data.get(true, token)));
        }
    }
}

// The differential test: random tables scored here and by an independent reference.
std::string field(const std::wstring &text) {
    return std::string(text.begin(), text.end()); // ASCII words only
}

void describe(std::ostringstream &out, const Table &table, const std::vector<Token> &message) {
    out << "case\t" << table.legitMessages << '\t' << table.junkMessages << '\n';
    for (const auto &[token, counts] : table.entries) {
        out << "t\t" << token.id << '\t' << token.context << '\t' << field(token.text) << '\t' << counts.first
            << '\t' << counts.second << '\n';
    }
    for (const Token &token : message) {
        out << "m\t" << token.id << '\t' << token.context << '\t' << field(token.text) << '\n';
    }
    out << "end\n";
}

struct RandomCase {
    Table table;
    std::vector<Token> message;
};

RandomCase randomCase(std::mt19937 &rng, int caseNumber) {
    auto below = [&](unsigned int n) { return std::uniform_int_distribution<unsigned int>(0, n - 1)(rng); };
    RandomCase c;
    // Message counts: every fifth case has an empty side.
    c.table.legitMessages = caseNumber % 10 == 3 ? 0 : 1 + below(caseNumber % 7 == 0 ? 5 : 3000);
    c.table.junkMessages = caseNumber % 10 == 8 ? 0 : 1 + below(caseNumber % 7 == 0 ? 5 : 3000);
    // Large cases push the products past the renormalisation limit.
    const bool large = caseNumber % 25 == 0;
    const unsigned int vocabulary = large ? 3000 + below(3000) : 1 + below(400);
    const int lean = static_cast<int>(below(3)); // 0 mixed, 1 junk-heavy, 2 legit-heavy
    for (unsigned int i = 0; i < vocabulary; ++i) {
        Token t = below(10) == 0 ? Token(1024 + below(3000))
                                 : Token(below(4) == 0 ? "subject" : "", L"w" + std::to_wstring(i));
        auto count = [&](bool heavy) {
            const unsigned int r = below(10);
            if (r < 3) {
                return 0u;
            }
            if (r < 5) {
                return 1 + below(3);
            }
            return heavy ? 1 + below(1000000) : below(200);
        };
        unsigned int legit = count(lean == 2);
        unsigned int junk = count(lean == 1);
        if (large && below(2) == 0) {
            (lean == 2 ? legit : junk) = 5000 + below(100000);
            (lean == 2 ? junk : legit) = 0;
        }
        c.table.entries.push_back({t, {legit, junk}});
        if (below(4) != 0) {
            c.message.push_back(t);
        }
        // Subject forms of body words exercise the fallback.
        if (t.context.empty() && !t.isTrait() && below(5) == 0) {
            c.message.push_back(Token("subject", t.text));
        }
    }
    // Words nobody has seen.
    for (unsigned int i = below(20); i > 0; --i) {
        c.message.push_back(Token(below(2) ? "subject" : "", L"unseen" + std::to_wstring(i)));
    }
    // Keep traits unique in the table (equal traits are one key).
    std::set<unsigned int> traits;
    std::erase_if(c.table.entries,
                  [&](const auto &e) { return e.first.isTrait() && !traits.insert(e.first.id).second; });
    return c;
}

TEST(Analyse, AgreesWithIndependentReference) {
    const std::string python = "/usr/bin/python3";
    const std::string script = std::string(VL_SOURCE_DIR) + "/mailanalysis/tests/bayes_reference.py";
    std::mt19937 rng(20261210);
    std::vector<double> ours;
    std::ostringstream input;
    const int cases = 400;
    for (int i = 0; i < cases; ++i) {
        const RandomCase c = randomCase(rng, i);
        describe(input, c.table, c.message);
        ours.push_back(messageOf(c.message).analyse(c.table.data()));
    }
    const vltest::CommandResult r = vltest::runCommand({python, script}, input.str());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    int n = 0;
    int nonTrivial = 0;
    while (std::getline(lines, line)) {
        ASSERT_LT(n, cases);
        const double reference = std::strtod(line.c_str(), nullptr);
        EXPECT_NEAR(ours[n], reference, 1e-12) << "case " << n;
        if (reference > 0.001 && reference < 0.999) {
            ++nonTrivial;
        }
        ++n;
    }
    EXPECT_EQ(n, cases);
    EXPECT_GT(nonTrivial, cases / 4); // the tables are not all one-sided
}

} // namespace
