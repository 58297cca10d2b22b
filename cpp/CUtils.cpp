#include "CUtils.h"

#include <cstdint>
#include <cstdio>
#include <locale.h>
#include <stdexcept>
#include <wctype.h>

namespace {

// Case mapping must not follow the user's locale (analysis results and training data are
// shared between users), so wide lower-casing uses one fixed locale object.
locale_t fixedCaseLocale() {
    static const locale_t locale = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        if (l == static_cast<locale_t>(nullptr))
            std::fputs("strToLower: locale C.UTF-8 is missing; only ASCII letters are lower-cased\n", stderr);
        return l;
    }();
    return locale;
}

inline char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

template <typename String> String trimmed(String text) {
    typename String::size_type start = 0;
    while (start < text.size() && safe_iswhitespace(text[start]))
        ++start;
    text.erase(0, start);
    typename String::size_type end = text.size();
    while (end > 0 && safe_iswhitespace(text[end - 1]))
        --end;
    text.erase(end);
    return text;
}

template <typename String> String stripped(const String &text) {
    String result;
    result.reserve(text.size());
    for (auto c : text) {
        if (!safe_iswhitespace(c))
            result += c;
    }
    return result;
}

std::vector<std::string> splitAt(const std::string &text, char separator, bool dropFinalCR) {
    std::vector<std::string> pieces;
    std::string::size_type start = 0;
    while (start < text.size()) {
        std::string::size_type found = text.find(separator, start);
        if (found == std::string::npos)
            found = text.size();
        std::string::size_type end = found;
        if (dropFinalCR && end > start && text[end - 1] == '\r')
            --end;
        pieces.emplace_back(text, start, end - start);
        start = found + 1;
    }
    return pieces;
}

} // namespace

std::string strToLower(const std::string &text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text)
        result += asciiLower(c);
    return result;
}

std::wstring strToLower(const std::wstring &text) {
    const locale_t locale = fixedCaseLocale();
    std::wstring result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        if (c < 0x80) {
            result += (c >= L'A' && c <= L'Z') ? wchar_t(c + (L'a' - L'A')) : c;
        } else if (locale != static_cast<locale_t>(nullptr)) {
            result += static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), locale));
        } else {
            result += c;
        }
    }
    return result;
}

int compareI(const std::string &a, const std::string &b) {
    return strToLower(a).compare(strToLower(b));
}

std::string trimWhitespace(std::string text) {
    return trimmed(std::move(text));
}

std::wstring trimWhitespace(std::wstring text) {
    return trimmed(std::move(text));
}

std::string stripWhitespace(const std::string &text) {
    return stripped(text);
}

std::wstring stripWhitespace(const std::wstring &text) {
    return stripped(text);
}

std::wstring alphaNumOnly(const std::wstring &text) {
    std::wstring result;
    result.reserve(text.size());
    for (wchar_t c : text) {
        if (safe_isalnum(c))
            result += c;
    }
    return result;
}

std::vector<std::string> splitLines(const std::string &text) {
    return splitAt(text, '\n', true);
}

std::vector<std::string> split(const std::string &text, char separator) {
    return splitAt(text, separator, false);
}

std::string joinLines(const std::vector<std::string> &lines) {
    std::string result;
    for (const std::string &line : lines) {
        result += line;
        result += "\r\n";
    }
    return result;
}

std::string getNextToken(char separator, std::string &text) {
    if (text.empty())
        return {};
    const std::string::size_type found = text.find(separator, 1);
    if (found == std::string::npos) {
        std::string token;
        token.swap(text);
        return token;
    }
    std::string token = text.substr(0, found);
    text.erase(0, found + 1);
    return token;
}

std::string uniqueCopy(const std::string &text) {
    // std::string never shares storage between objects; a fresh object built from the
    // characters makes that explicit.
    return std::string(text.data(), text.size());
}

std::wstring string_to_wstring(const std::string &text) {
    std::wstring result;
    result.reserve(text.size());
    for (char c : text)
        result += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return result;
}

std::string wstring_to_string(const std::wstring &text) {
    std::string result;
    result.reserve(text.size());
    for (wchar_t c : text)
        result += static_cast<char>(static_cast<unsigned char>(static_cast<unsigned>(c) & 0xFFu));
    return result;
}

std::string replaceHTMLEntities(std::string text) {
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        default:
            result += c;
        }
    }
    return result;
}

std::string encodeHexadecimal(const void *data, int length) {
    static const char digits[] = "0123456789abcdef";
    std::string result;
    if (length <= 0)
        return result;
    const auto *bytes = static_cast<const unsigned char *>(data);
    result.reserve(static_cast<std::string::size_type>(length) * 2);
    for (int i = 0; i < length; ++i) {
        result += digits[bytes[i] >> 4];
        result += digits[bytes[i] & 0x0F];
    }
    return result;
}

std::vector<unsigned char> decodeHexadecimal(const std::string &text) {
    std::vector<unsigned char> result;
    if (text.size() % 2 != 0)
        return result;
    result.reserve(text.size() / 2);
    for (std::string::size_type i = 0; i < text.size(); i += 2) {
        const unsigned char high = hex_map(text[i]);
        const unsigned char low = hex_map(text[i + 1]);
        if (high > 15 || low > 15) {
            result.clear();
            return result;
        }
        result.push_back(static_cast<unsigned char>(high << 4 | low));
    }
    return result;
}

int decodeHexadecimal(const std::string &text, void *buffer, unsigned size) {
    if (text.size() % 2 != 0 || size < text.size() / 2 || text.size() / 2 > 0x7FFFFFFFu)
        return -1;
    auto *out = static_cast<unsigned char *>(buffer);
    for (std::string::size_type i = 0; i < text.size(); i += 2) {
        const unsigned char high = hex_map(text[i]);
        const unsigned char low = hex_map(text[i + 1]);
        if (high > 15 || low > 15)
            return -1;
        out[i / 2] = static_cast<unsigned char>(high << 4 | low);
    }
    return static_cast<int>(text.size() / 2);
}

int stringToInt(std::string text) {
    if (text.empty())
        throw std::invalid_argument("zero-length string");
    std::string::size_type i = 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
        if (text.size() == 1)
            throw std::invalid_argument("sign-only string");
    }
    // Unsigned arithmetic: numbers beyond 32 bits wrap modulo 2^32 instead of overflowing.
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        if (!safe_isdigit(static_cast<unsigned char>(text[i])))
            throw std::invalid_argument("non-digit character");
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
    }
    if (negative)
        value = 0u - value;
    return static_cast<int>(value);
}

int stringToIntDef(std::string text, int fallback) {
    if (text.empty())
        return fallback;
    try {
        return stringToInt(std::move(text));
    } catch (const std::invalid_argument &) {
        return fallback;
    }
}

std::string intToString(int value) {
    return std::to_string(value);
}
