#pragma once
// Key of the Bayesian statistics: a word with the context it was found in, or a numbered
// trait. Token maps are ordered by id, then context, then text; traits compare by id alone.

#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace BDBLib {
class BinaryInputStream;
class BinaryOutputStream;
} // namespace BDBLib

class Token;

// A token's three fields seen in place, for lookups that must not copy the word: the
// per-message collector and the training index compare and hash these.
struct TokenView {
    unsigned int id = 0;
    std::string_view context;
    std::wstring_view text;

    [[nodiscard]] bool isTrait() const;
};

class Token {
public:
    // Ids up to this one are words (the tokenizers use 0); above it they are trait numbers.
    static constexpr unsigned int MAX_WORD_ID = 1023;
    // A longer word is cut to this many characters.
    static constexpr std::size_t MAX_TEXT_LENGTH = 63;

    // The target of a stream read: id 0xFFFFFFFF, empty strings.
    Token() = default;
    // A trait: the number as id, no context, no text.
    explicit Token(unsigned int trait) : id(trait) {}
    // A word: id 0; a text of 64 characters or more keeps its first 63.
    Token(const std::string &context, const std::wstring &text);

    [[nodiscard]] bool isTrait() const { return id > MAX_WORD_ID; }
    [[nodiscard]] TokenView view() const { return {id, context, text}; }
    bool operator<(const Token &other) const;

    unsigned int id = 0xFFFFFFFFu;
    std::string context;
    std::wstring text;
};

inline bool TokenView::isTrait() const {
    return id > Token::MAX_WORD_ID;
}

// The token order of Token::operator<.
inline bool tokenLess(const TokenView &a, const TokenView &b) {
    if (a.id != b.id) {
        return a.id < b.id;
    }
    if (a.isTrait()) {
        return false;
    }
    // Inline and hand-rolled: every search of a token map runs this at each step.
    if (!a.context.empty() || !b.context.empty()) {
        const int byContext = a.context.compare(b.context);
        if (byContext != 0) {
            return byContext < 0;
        }
    }
    const std::size_t common = std::min(a.text.size(), b.text.size());
    const wchar_t *x = a.text.data();
    const wchar_t *y = b.text.data();
    for (std::size_t i = 0; i < common; ++i) {
        if (x[i] != y[i]) {
            return x[i] < y[i];
        }
    }
    return a.text.size() < b.text.size();
}

// Equality of that order: traits by their number alone.
inline bool tokenEqual(const TokenView &a, const TokenView &b) {
    return a.id == b.id && (a.isTrait() || (a.text == b.text && a.context == b.context));
}

// A hash consistent with tokenEqual. Words are short, so a character-at-a-time
// multiply-xor is cheaper than the general byte hash; the final mix spreads the bits over
// the low end that hash tables keep.
inline std::size_t tokenHash(const TokenView &token) {
    std::uint64_t h = 0xcbf29ce484222325ull ^ (token.id * 0x9E3779B97F4A7C15ull);
    if (!token.isTrait()) {
        for (const unsigned char c : token.context) {
            h = (h ^ c) * 0x100000001b3ull;
        }
        h = (h ^ 0x100u) * 0x100000001b3ull; // where the context ends and the text begins
        for (const wchar_t c : token.text) {
            h = (h ^ static_cast<std::uint32_t>(c)) * 0x100000001b3ull;
        }
    }
    h ^= h >> 29;
    h *= 0xbf58476d1ce4e5b9ull;
    h ^= h >> 32;
    return static_cast<std::size_t>(h);
}

inline bool Token::operator<(const Token &other) const {
    return tokenLess(view(), other.view());
}

using TokenMap = std::map<Token, unsigned int>;

// Stream form: the id as a 32-bit word; for a word also the context (one length byte and
// the bytes) and the text (one length byte and its UTF-8 bytes).
BDBLib::BinaryOutputStream &operator<<(BDBLib::BinaryOutputStream &stream, const Token &token);
BDBLib::BinaryInputStream &operator>>(BDBLib::BinaryInputStream &stream, Token &token);
