#pragma once
// The Bayes training data: for each side (legitimate, junk) how many trained messages held
// each token, and how many messages were trained. isJunk chooses the side everywhere.

#include "Token.h"

#include <cstdint>

class OccuranceData {
public:
    OccuranceData() = default;

    // The token's count on that side; 0 when the side has no entry for it.
    [[nodiscard]] unsigned int get(bool isJunk, const Token &token) const;
    // Adds (count 1 or more) or removes (count below 1) one message holding the keys of
    // tokens on one side. Each distinct token counts once, however often it occurred.
    void train(bool isJunk, const TokenMap &tokens, int count);

    // The stored form reads and writes these directly.
    [[nodiscard]] TokenMap &tokenCounts(bool isJunk) { return isJunk ? m_junkTokens : m_legitTokens; }
    [[nodiscard]] const TokenMap &tokenCounts(bool isJunk) const {
        return isJunk ? m_junkTokens : m_legitTokens;
    }
    [[nodiscard]] unsigned int &messageCount(bool isJunk) {
        return isJunk ? m_junkMessages : m_legitMessages;
    }
    [[nodiscard]] unsigned int messageCount(bool isJunk) const {
        return isJunk ? m_junkMessages : m_legitMessages;
    }

private:
    TokenMap m_legitTokens;
    unsigned int m_legitMessages = 0;
    TokenMap m_junkTokens;
    unsigned int m_junkMessages = 0;
};
