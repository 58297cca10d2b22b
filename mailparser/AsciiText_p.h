#pragma once
// Byte-wise text helpers shared by the parser's sources. Header names, parameter names and
// encoding names fold with ASCII rules only, so no result depends on the user's locale.

#include <string>
#include <string_view>

namespace MailParser::detail {

constexpr unsigned char asciiLower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

// Space, tab, CR and LF: the blanks of header values and MIME parameters.
constexpr bool isWsp(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

constexpr bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

inline bool equalsI(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(static_cast<unsigned char>(a[i])) != asciiLower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

inline bool startsWithI(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsI(text.substr(0, prefix.size()), prefix);
}

inline std::string_view trimWsp(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isWsp(s[b]))
        ++b;
    while (e > b && isWsp(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// Value of a hexadecimal digit in either case, or -1.
constexpr int hexValue(unsigned char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace MailParser::detail
