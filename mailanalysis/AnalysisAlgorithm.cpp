#include "AnalysisAlgorithm.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <span>
#include <stdexcept>
#include <tuple>

const std::string AnalysisAlgorithm::CONTEXT_DECOMPOSE_FROM = "subject";
const std::string AnalysisAlgorithm::CONTEXT_DECOMPOSE_TO = "";

void AnalysisAlgorithm::handleToken(const std::string &context, const std::wstring &text) {
    // Same key as Token(context, text), which keeps the first MAX_TEXT_LENGTH characters.
    add(0, context, std::wstring_view(text).substr(0, Token::MAX_TEXT_LENGTH));
}

void AnalysisAlgorithm::handleTrait(unsigned int trait) {
    static const std::string noContext;
    add(trait, noContext, std::wstring_view());
}

TokenView AnalysisAlgorithm::viewOf(const Entry &entry) const {
    return {entry.id, m_contexts[entry.context],
            std::wstring_view(m_text).substr(entry.textOffset, entry.textLength)};
}

void AnalysisAlgorithm::add(unsigned int id, const std::string &context, std::wstring_view text) {
    const TokenView key{id, context, text};
    const std::size_t hash = tokenHash(key);
    if (m_slots.empty()) {
        m_slots.reserve(512);
        m_entries.reserve(256);
        m_text.reserve(2048);
    }
    Slot &slot =
        m_slots.probe(hash, [&](const Slot &s) { return tokenEqual(viewOf(m_entries[s.entry - 1]), key); });
    if (slot.used()) {
        ++m_entries[slot.entry - 1].count;
        return;
    }

    // A new token. The tokenizers use two contexts; look among those seen, newest first.
    std::uint32_t contextIndex = static_cast<std::uint32_t>(m_contexts.size());
    for (std::uint32_t c = contextIndex; c > 0; --c) {
        if (m_contexts[c - 1] == context) {
            contextIndex = c - 1;
            break;
        }
    }
    if (contextIndex == m_contexts.size()) {
        m_contexts.push_back(context);
    }
    if (m_entries.size() >= std::numeric_limits<std::uint32_t>::max() - 1) {
        throw std::length_error("too many distinct tokens in one message");
    }
    m_entries.push_back({hash, m_text.size(), id, static_cast<std::uint32_t>(text.size()), contextIndex, 1u});
    m_text.append(text);
    m_slots.fill(slot, Slot{hash, static_cast<std::uint32_t>(m_entries.size())});
}

const std::vector<std::uint32_t> &AnalysisAlgorithm::ordered() const {
    if (m_order.size() != m_entries.size()) {
        m_order.resize(m_entries.size());
        for (std::size_t e = 0; e < m_entries.size(); ++e) {
            m_order[e] = static_cast<std::uint32_t>(e);
        }
        std::sort(m_order.begin(), m_order.end(), [this](std::uint32_t a, std::uint32_t b) {
            return tokenLess(viewOf(m_entries[a]), viewOf(m_entries[b]));
        });
    }
    return m_order;
}

TokenMap AnalysisAlgorithm::tokens() const {
    TokenMap map;
    for (const Entry &entry : m_entries) {
        const TokenView view = viewOf(entry);
        Token token;
        token.id = view.id;
        token.context.assign(view.context);
        token.text.assign(view.text);
        map.emplace(std::move(token), entry.count);
    }
    return map;
}

double AnalysisAlgorithm::analyse(const OccuranceData &data, unsigned int *counted) const {
    // Strength of the prior and the probability assumed for an unseen token.
    constexpr double s = 1.0;
    constexpr double x = 0.5;
    constexpr double neutralLow = 0.45;
    constexpr double neutralHigh = 0.55;
    constexpr double underflowLimit = 1e-200;

    const double legitMessages = data.messageCount(false);
    const double junkMessages = data.messageCount(true);

    double p = 1.0; // product of the token probabilities
    double q = 1.0; // product of their complements
    int pExponent = 0;
    int qExponent = 0;
    unsigned int n = 0;

    // The lookups go in batches, which overlap their memory accesses; the arithmetic then
    // runs in token order. The batches live on the stack.
    constexpr std::size_t BATCH = 64;
    TokenView keys[BATCH];
    std::size_t hashes[BATCH];
    std::pair<unsigned int, unsigned int> found[BATCH];
    const std::vector<std::uint32_t> &order = ordered();
    for (std::size_t start = 0; start < order.size(); start += BATCH) {
        const std::size_t size = std::min(BATCH, order.size() - start);
        for (std::size_t i = 0; i < size; ++i) {
            const Entry &entry = m_entries[order[start + i]];
            keys[i] = viewOf(entry);
            hashes[i] = entry.hash; // the same tokenHash() the training index uses
        }
        data.counts(std::span(keys, size), std::span(hashes, size), std::span(found, size));

        for (std::size_t i = 0; i < size; ++i) {
            const TokenView &token = keys[i];
            auto [legit, junk] = found[i];
            if (legit == 0 && junk == 0 && !token.isTrait() && token.context == CONTEXT_DECOMPOSE_FROM) {
                std::tie(legit, junk) = data.counts(TokenView{0, CONTEXT_DECOMPOSE_TO, token.text});
            }
            if (legit == 0 && junk == 0) {
                continue;
            }
            // Weigh the legitimate count as if both sides had seen as many messages.
            double b = legit;
            if (legitMessages != 0) {
                b = b * junkMessages / legitMessages;
            }
            const double c = junk;
            const double f = (s * x + c) / (s + c + b);
            if (f > neutralLow && f < neutralHigh) {
                continue;
            }
            ++n;
            p *= f;
            q *= 1.0 - f;
            // Long messages would underflow the products: move their exponents aside.
            int exponent = 0;
            if (p < underflowLimit) {
                p = std::frexp(p, &exponent);
                pExponent += exponent;
            }
            if (q < underflowLimit) {
                q = std::frexp(q, &exponent);
                qExponent += exponent;
            }
        }
    }
    if (counted != nullptr) {
        *counted = n;
    }
    if (n == 0) {
        return 0.0;
    }
    // One minus the geometric means: legitLike nears 1 when the tokens look legitimate,
    // junkLike when they look like junk. f lies strictly inside (0, 1), so they are never
    // both 0.
    const double tokens = n;
    const double legitLike = 1.0 - std::exp((std::numbers::ln2 * pExponent + std::log(p)) / tokens);
    const double junkLike = 1.0 - std::exp((std::numbers::ln2 * qExponent + std::log(q)) / tokens);
    return ((junkLike - legitLike) / (junkLike + legitLike) + 1.0) / 2.0;
}

bool AnalysisAlgorithm::guessIfJunk(const OccuranceData &data, unsigned int sensitivity) const {
    if (sensitivity >= std::size(DECISION_POINTS)) {
        throw std::invalid_argument("invalid sensitivity argument");
    }
    return analyse(data) > DECISION_POINTS[sensitivity];
}

void AnalysisAlgorithm::train(OccuranceData &data, bool isJunk, int count) const {
    std::vector<TokenView> keys;
    keys.reserve(m_entries.size());
    for (const Entry &entry : m_entries) {
        keys.push_back(viewOf(entry));
    }
    data.train(isJunk, keys, count);
}
