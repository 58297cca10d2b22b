#include "TextTokenizer.h"

#include <array>
#include <stdexcept>

namespace {

constexpr bool isLowerOrDollar(char32_t c) {
    return (c >= U'a' && c <= U'z') || c == U'$';
}

constexpr bool isUpper(char32_t c) {
    return c >= U'A' && c <= U'Z';
}

constexpr bool isDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

constexpr char32_t code(wchar_t c) {
    return static_cast<char32_t>(c);
}

// One flag per ASCII code: a digit, a letter or "$".
constexpr auto asciiWordCharacters = [] {
    std::array<bool, 128> table{};
    for (char32_t c = 0; c < 128; ++c) {
        table[c] = isLowerOrDollar(c) || isUpper(c) || isDigit(c);
    }
    return table;
}();

// Kept local and inline: the splitter asks this of nearly every character it reads.
inline bool isWordCharacter(char32_t c) {
    return c < 0x80 ? asciiWordCharacters[c] : c != 0xA0;
}

} // namespace

bool is_token_character(wchar_t wc) {
    return isWordCharacter(code(wc));
}

void TokenStoreHandler::handleToken(const std::string &, const std::wstring &text) {
    m_words.push_back(text);
}

void TextTokenizer::tokenize(ITokenHandler &handler, const std::string &context, const std::wstring &text) {
    const wchar_t *const data = text.data();
    const std::size_t size = text.size();
    std::size_t pos = 0;
    std::wstring word;
    while (true) {
        while (pos < size && !isWordCharacter(code(data[pos]))) {
            ++pos;
        }
        if (pos >= size) {
            return;
        }
        // Every character of a word is kept as written apart from A-Z, so the word is found
        // first and copied in one piece. Characters outside ASCII end a word (and an empty
        // one at once).
        const std::size_t start = pos;
        bool hasLetter = false;
        while (pos < size) {
            const char32_t c = code(data[pos]);
            if (isLowerOrDollar(c) || isUpper(c)) {
                hasLetter = true;
            } else if (c == U'\'' && pos + 1 < size && isWordCharacter(code(data[pos + 1]))) {
                hasLetter = true;
            } else if (!isDigit(c)) {
                break;
            }
            ++pos;
        }
        const std::size_t end = pos;
        if (pos < size) {
            ++pos; // the character that ended the word belongs to no word
        }
        if (!hasLetter) {
            continue; // digits alone are no word
        }
        word.assign(data + start, end - start);
        for (wchar_t &c : word) {
            if (isUpper(code(c))) {
                c = static_cast<wchar_t>(c - L'A' + L'a');
            }
        }
        if (word.empty()) {
            throw std::runtime_error("about to pass zero-length token");
        }
        handler.handleToken(context, word);
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
