#pragma once
// Key of the Bayesian statistics: a word with the context it was found in, or a numbered
// trait. Token maps are ordered by id, then context, then text; traits compare by id alone.

#include <algorithm>
#include <map>
#include <string>

namespace BDBLib {
class BinaryInputStream;
class BinaryOutputStream;
} // namespace BDBLib

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
    bool operator<(const Token &other) const;

    unsigned int id = 0xFFFFFFFFu;
    std::string context;
    std::wstring text;
};

inline bool Token::operator<(const Token &other) const {
    if (id != other.id) {
        return id < other.id;
    }
    if (isTrait()) {
        return false;
    }
    // Inline and hand-rolled: every search of a token map runs this at each step.
    if (!context.empty() || !other.context.empty()) {
        const int byContext = context.compare(other.context);
        if (byContext != 0) {
            return byContext < 0;
        }
    }
    const std::size_t common = std::min(text.size(), other.text.size());
    const wchar_t *a = text.data();
    const wchar_t *b = other.text.data();
    for (std::size_t i = 0; i < common; ++i) {
        if (a[i] != b[i]) {
            return a[i] < b[i];
        }
    }
    return text.size() < other.text.size();
}

using TokenMap = std::map<Token, unsigned int>;

// Stream form: the id as a 32-bit word; for a word also the context (one length byte and
// the bytes) and the text (one length byte and its UTF-8 bytes).
BDBLib::BinaryOutputStream &operator<<(BDBLib::BinaryOutputStream &stream, const Token &token);
BDBLib::BinaryInputStream &operator>>(BDBLib::BinaryInputStream &stream, Token &token);
