#pragma once
// The word splitter for every text the analysis reads: subjects, plain-text parts and the
// visible text of HTML parts. Words are lower-cased ASCII letters, digits, "$" and inner
// apostrophes; a word of digits alone is no word.

#include "ITokenHandler.h"

#include <string>
#include <vector>

// True for the digits, the ASCII letters, "$" and every character from U+0080 upward
// except the no-break space.
bool is_token_character(wchar_t c);

// Collects the words it is given, ignoring their context.
class TokenStoreHandler : public ITokenHandler {
public:
    explicit TokenStoreHandler(std::vector<std::wstring> &words) : m_words(words) {}
    void handleToken(const std::string &context, const std::wstring &text) override;

private:
    std::vector<std::wstring> &m_words;
};

class TextTokenizer {
public:
    // Sends every word of text to handler with that context.
    static void tokenize(ITokenHandler &handler, const std::string &context, const std::wstring &text);
    // The words of text, in order.
    static std::vector<std::wstring> tokenize(const std::wstring &text);
    // The pieces of a dotted or dashed name: for every "." or "-", the part before it and
    // the part after it (each when not empty). "a.b-c" gives a, b-c, a.b, c.
    static std::vector<std::wstring> tokenizeName(const std::wstring &name);
};
