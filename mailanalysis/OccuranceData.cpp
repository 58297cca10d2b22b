#include "OccuranceData.h"

#include <limits>

namespace {

// Counts stay in 32 bits (the stored form); they stop at the top instead of wrapping to 0.
void increment(unsigned int &value) {
    if (value < std::numeric_limits<unsigned int>::max()) {
        ++value;
    }
}

void decrement(unsigned int &value) {
    if (value > 0) {
        --value;
    }
}

} // namespace

unsigned int OccuranceData::get(bool isJunk, const Token &token) const {
    const TokenMap &side = tokenCounts(isJunk);
    const auto it = side.find(token);
    return it == side.end() ? 0 : it->second;
}

void OccuranceData::train(bool isJunk, const TokenMap &tokens, int count) {
    TokenMap &side = tokenCounts(isJunk);
    unsigned int &messages = messageCount(isJunk);
    if (count >= 1) {
        increment(messages);
        for (const auto &entry : tokens) {
            increment(side.try_emplace(entry.first, 0u).first->second);
        }
    } else {
        decrement(messages);
        for (const auto &entry : tokens) {
            const auto it = side.find(entry.first);
            if (it != side.end()) {
                decrement(it->second);
            }
        }
    }
}
