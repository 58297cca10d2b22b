#include "TextTokenizer.h"

#include <stdexcept>

namespace {

bool isLowerOrDollar(char32_t c) {
    return (c >= U'a' && c <= U'z') || c == U'$';
}

bool isUpper(char32_t c) {
    return c >= U'A' && c <= U'Z';
}

bool isDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

char32_t code(wchar_t c) {
    return static_cast<char32_t>(c);
}

} // namespace

bool is_token_character(wchar_t wc) {
    const char32_t c = code(wc);
    if (c >= 0x80) {
        return c != 0xA0;
    }
    return isLowerOrDollar(c) || isUpper(c) || isDigit(c);
}

void TokenStoreHandler::handleToken(const std::string &, const std::wstring &text) {
    m_words.push_back(text);
}

void TextTokenizer::tokenize(ITokenHandler &handler, const std::string &context, const std::wstring &text) {
    const std::size_t size = text.size();
    std::size_t pos = 0;
    std::wstring word;
    while (true) {
        while (pos < size && !is_token_character(text[pos])) {
            ++pos;
        }
        if (pos >= size) {
            return;
        }
        // The word is the run of characters taken, with A-Z lowered: find where it ends,
        // then copy it in one piece (appending character by character is the slow part of
        // tokenizing a message).
        const std::size_t start = pos;
        std::size_t end = pos;
        bool hasLetter = false;
        // Every character taken here is consumed, including the one that ends the word;
        // characters outside ASCII end a word (and an empty one at once).
        while (pos < size) {
            const char32_t c = code(text[pos++]);
            if (isLowerOrDollar(c) || isUpper(c) ||
                (c == U'\'' && pos < size && is_token_character(text[pos]))) {
                hasLetter = true;
            } else if (!isDigit(c)) {
                break;
            }
            end = pos;
        }
        if (hasLetter) {
            word.assign(text, start, end - start);
            for (wchar_t &c : word) {
                if (isUpper(code(c))) {
                    c = static_cast<wchar_t>(code(c) - U'A' + U'a');
                }
            }
            if (word.empty()) {
                throw std::runtime_error("about to pass zero-length token");
            }
            handler.handleToken(context, word);
        }
    }
}

std::vector<std::wstring> TextTokenizer::tokenize(const std::wstring &text) {
    std::vector<std::wstring> words;
    TokenStoreHandler store(words);
    tokenize(store, std::string(), text);
    return words;
}

std::vector<std::wstring> TextTokenizer::tokenizeName(const std::wstring &name) {
    std::vector<std::wstring> pieces;
    for (std::size_t pos = name.find_first_of(L".-"); pos != std::wstring::npos;
         pos = name.find_first_of(L".-", pos + 1)) {
        if (pos > 0) {
            pieces.push_back(name.substr(0, pos));
        }
        if (pos + 1 < name.size()) {
            pieces.push_back(name.substr(pos + 1));
        }
    }
    return pieces;
}
