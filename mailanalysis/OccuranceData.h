#pragma once
// The Bayes training data: for each side (legitimate, junk) how many trained messages held
// each token, and how many messages were trained. isJunk chooses the side everywhere.

#include "Token.h"

#include <memory>
#include <span>
#include <utility>

class OccuranceData {
public:
    OccuranceData();
    ~OccuranceData();
    OccuranceData(const OccuranceData &other);
    OccuranceData &operator=(const OccuranceData &other);
    OccuranceData(OccuranceData &&other) noexcept;
    OccuranceData &operator=(OccuranceData &&other) noexcept;

    // The token's count on that side; 0 when the side has no entry for it.
    [[nodiscard]] unsigned int get(bool isJunk, const Token &token) const;
    // Both counts at once (legitimate, junk), for scoring: answered from a hash index of
    // the two maps, built on first use and kept up to date by train(). Building it makes
    // the first call a write: one object is not scored from two threads at once.
    [[nodiscard]] std::pair<unsigned int, unsigned int> counts(const Token &token) const;
    [[nodiscard]] std::pair<unsigned int, unsigned int> counts(const TokenView &token) const;
    // The counts of many tokens into out (at least as long), faster than one at a time:
    // the lookups overlap their memory accesses.
    void counts(std::span<const TokenView> tokens,
                std::span<std::pair<unsigned int, unsigned int>> out) const;
    // The same with each token's tokenHash() given, for a caller that has them already.
    void counts(std::span<const TokenView> tokens, std::span<const std::size_t> hashes,
                std::span<std::pair<unsigned int, unsigned int>> out) const;

    // Adds (count 1 or more) or removes (count below 1) one message holding the keys of
    // tokens on one side. Each distinct token counts once, however often it occurred.
    void train(bool isJunk, const TokenMap &tokens, int count);
    // The same for distinct keys seen in place (a key given twice counts twice).
    void train(bool isJunk, std::span<const TokenView> tokens, int count);

    [[nodiscard]] const TokenMap &tokenCounts(bool isJunk) const {
        return isJunk ? m_junkTokens : m_legitTokens;
    }
    [[nodiscard]] unsigned int messageCount(bool isJunk) const {
        return isJunk ? m_junkMessages : m_legitMessages;
    }
    // Replaces one side whole.
    void setSide(bool isJunk, TokenMap tokens, unsigned int messages);

    // The stored form: the legitimate map and message count, then the junk map and count.
    // Reading goes straight into this object: when it fails part way, what was read
    // before stays, the map being read holds the entries read so far, and the rest keeps
    // its previous value.
    void write(BDBLib::BinaryOutputStream &stream) const;
    void read(BDBLib::BinaryInputStream &stream);

private:
    class Index;

    TokenMap m_legitTokens;
    unsigned int m_legitMessages = 0;
    TokenMap m_junkTokens;
    unsigned int m_junkMessages = 0;
    // Points into the maps' keys; dropped whenever the maps change other than by train().
    mutable std::unique_ptr<Index> m_index;
};
