#pragma once
// Byte-wise text helpers shared by the parser's sources. Header names, parameter names and
// encoding names fold with ASCII rules only, so no result depends on the user's locale.

#include "cpp/CUtils.h"

#include <string>
#include <string_view>

namespace MailParser::detail {

constexpr unsigned char asciiLower(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
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
    while (b < e && safe_iswhitespace(s[b]))
        ++b;
    while (e > b && safe_iswhitespace(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

} // namespace MailParser::detail
