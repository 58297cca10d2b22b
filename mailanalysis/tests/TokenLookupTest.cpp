// The hash lookups behind collecting and scoring must find exactly the keys that the token
// order calls equal, whatever form a key takes: short words, long ones, text beyond Latin-1,
// unusual contexts and ids, traits carrying strings.
#include "AnalysisAlgorithm.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace {

Token wordWithId(unsigned int id, const std::string &context, const std::wstring &text) {
    Token token(context, text);
    token.id = id;
    return token;
}

Token traitWithStrings(unsigned int trait) {
    Token token("subject", L"ignored");
    token.id = trait;
    return token;
}

// Keys around every boundary of how the index keeps a key.
std::vector<Token> keysOfEveryForm() {
    return {
        Token("", L"short"),
        Token("subject", L"short"),
        Token("other", L"short"),
        Token("", L""),
        Token("subject", L""),
        Token("", L"fourteen-chars"),                         // 14: the longest kept in the slot
        Token("", L"fifteen-chars!!"),                        // 15: kept by pointer
        Token("", std::wstring(63, L'x')),                    // the longest text a token holds
        Token("", L"caf\u00e9\u00ff"),                        // Latin-1 letters
        Token("", L"caf\u0100"),                              // beyond Latin-1
        Token("", L"\U0001F600"),                             // beyond the BMP
        Token("", std::wstring(1, static_cast<wchar_t>(-1))), // not a character at all
        wordWithId(5, "", L"short"),
        wordWithId(Token::MAX_WORD_ID, "subject", L"short"),
        Token(Token::MAX_WORD_ID + 1),
        Token(4000),
        Token(0xFFFFFFFFu),
    };
}

TEST(TokenLookup, IndexAnswersLikeTheMapsForEveryKeyForm) {
    const std::vector<Token> keys = keysOfEveryForm();
    TokenMap legit;
    TokenMap junk;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        legit[keys[i]] = static_cast<unsigned int>(i + 1);
        if (i % 2 == 0) {
            junk[keys[i]] = static_cast<unsigned int>(100 + i);
        }
    }
    OccuranceData data;
    data.setSide(false, legit, 3);
    data.setSide(true, junk, 4);

    // Keys differing from stored ones in one detail only: none may be found.
    const std::vector<Token> absent = {
        Token("", L"shorT"),
        Token("subjec", L"short"),
        Token("", L"fourteen-charz"),
        Token("", L"fifteen-chars!?"),
        Token("", std::wstring(62, L'x')),
        Token("", L"caf\u0101"),
        Token("", L"caf"),
        wordWithId(6, "", L"short"),
        Token(1025),
    };

    std::vector<TokenView> views;
    for (const Token &key : keys) {
        const std::pair expected{data.get(false, key), data.get(true, key)};
        EXPECT_NE(expected.first, 0u);
        EXPECT_EQ(data.counts(key), expected) << keys.size();
        views.push_back(key.view());
    }
    for (const Token &key : absent) {
        EXPECT_EQ(data.counts(key), std::make_pair(0u, 0u));
        views.push_back(key.view());
    }
    // A trait is found by its number whatever strings it carries.
    EXPECT_EQ(data.counts(traitWithStrings(4000)), data.counts(Token(4000)));

    // The batch answers as the single lookups do, in its own order.
    std::vector<std::pair<unsigned int, unsigned int>> batch(views.size());
    data.counts(views, batch);
    for (std::size_t i = 0; i < views.size(); ++i) {
        EXPECT_EQ(batch[i], data.counts(views[i])) << i;
    }
    EXPECT_THROW(data.counts(views, std::span(batch).first(1)), std::invalid_argument);
    // The same with the hashes given by the caller.
    std::vector<std::size_t> hashes;
    for (const TokenView &view : views) {
        hashes.push_back(tokenHash(view));
    }
    std::vector<std::pair<unsigned int, unsigned int>> hashed(views.size());
    data.counts(views, hashes, hashed);
    EXPECT_EQ(hashed, batch);
    EXPECT_THROW(data.counts(views, std::span(hashes).first(1), hashed), std::invalid_argument);
}

TEST(TokenLookup, TrainingKeepsTheIndexRightForEveryKeyForm) {
    const std::vector<Token> keys = keysOfEveryForm();
    OccuranceData data;
    (void)data.counts(Token(1024)); // the index now exists and training must follow it
    AnalysisAlgorithm message;
    for (const Token &key : keys) {
        if (key.isTrait()) {
            message.handleTrait(key.id);
        } else if (key.id == 0) {
            message.handleToken(key.context, key.text);
        }
    }
    message.train(data, true, 1);
    message.train(data, true, 1);
    message.train(data, false, 1);
    message.train(data, true, -1);
    for (const auto &[token, count] : message.tokens()) {
        EXPECT_EQ(data.counts(token), std::make_pair(1u, 1u));
        EXPECT_EQ(data.get(false, token), 1u);
        EXPECT_EQ(data.get(true, token), 1u);
    }
    const OccuranceData fresh = data; // rebuilds its index from the maps
    EXPECT_EQ(message.analyse(data), message.analyse(fresh));
}

void expectSameCounts(const TokenMap &actual, const TokenMap &expected) {
    ASSERT_EQ(actual.size(), expected.size());
    auto it = actual.begin();
    for (const auto &[token, count] : expected) {
        EXPECT_FALSE(token < it->first || it->first < token);
        EXPECT_EQ(it->first.context, token.context);
        EXPECT_EQ(it->first.text, token.text);
        EXPECT_EQ(it->second, count);
        ++it;
    }
}

TEST(TokenLookup, CollectorMergesExactlyTheKeysTheOrderCallsEqual) {
    // Thousands of words, many repeated, in both contexts: the collector's table grows
    // several times, and must end with the map the token order gives.
    std::mt19937 rng(11);
    AnalysisAlgorithm message;
    std::map<Token, unsigned int> expected;
    for (int i = 0; i < 20000; ++i) {
        const std::string context = rng() % 4 == 0 ? "subject" : "";
        std::wstring text = L"w" + std::to_wstring(rng() % 6000);
        if (rng() % 50 == 0) {
            text += std::wstring(70, L'y'); // cut to 63 characters
        }
        if (rng() % 10 == 0) {
            const unsigned int trait = 1000 + rng() % 100; // some below 1024 are words
            message.handleTrait(trait);
            ++expected[Token(trait)];
        } else {
            message.handleToken(context, text);
            ++expected[Token(context, text)];
        }
    }
    expectSameCounts(message.tokens(), expected);
    // A word added after the map was read shows in the next read.
    message.handleToken("", L"late");
    ++expected[Token("", L"late")];
    expectSameCounts(message.tokens(), expected);
}

} // namespace
