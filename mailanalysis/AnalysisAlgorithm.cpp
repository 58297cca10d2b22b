#include "AnalysisAlgorithm.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <tuple>

const std::string AnalysisAlgorithm::CONTEXT_DECOMPOSE_FROM = "subject";
const std::string AnalysisAlgorithm::CONTEXT_DECOMPOSE_TO = "";

void AnalysisAlgorithm::handleToken(const std::string &context, const std::wstring &text) {
    // Same key as Token(context, text), built in buffers that keep their capacity.
    m_probe.context.assign(context);
    m_probe.text.assign(text, 0, std::min(text.size(), Token::MAX_TEXT_LENGTH));
    const auto it = m_tokens.lower_bound(m_probe);
    if (it != m_tokens.end() && !(m_probe < it->first)) {
        ++it->second;
    } else {
        m_tokens.emplace_hint(it, m_probe, 1u);
    }
}

void AnalysisAlgorithm::handleTrait(unsigned int trait) {
    ++m_tokens[Token(trait)];
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

    for (const auto &entry : m_tokens) {
        const Token &token = entry.first;
        auto [legit, junk] = data.counts(token);
        if (legit == 0 && junk == 0 && !token.isTrait() && token.context == CONTEXT_DECOMPOSE_FROM) {
            std::tie(legit, junk) = data.counts(Token(CONTEXT_DECOMPOSE_TO, token.text));
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
    data.train(isJunk, m_tokens, count);
}
