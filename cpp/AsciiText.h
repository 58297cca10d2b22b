#pragma once
// Byte-wise and wide-character text tests with ASCII case rules: header names, parameter
// names, charset labels and tag names fold only A-Z, so no result depends on the user's
// locale. Views in, no allocation.

#include <cstddef>
#include <string_view>

namespace Ascii {

template <typename Char> constexpr Char toLower(Char c) {
    return (c >= Char('A') && c <= Char('Z')) ? Char(c + (Char('a') - Char('A'))) : c;
}

// Space or tab: the blanks inside a header line.
template <typename Char> constexpr bool isBlank(Char c) {
    return c == Char(' ') || c == Char('\t');
}

// Space, tab, CR or LF.
template <typename Char> constexpr bool isSpace(Char c) {
    return isBlank(c) || c == Char('\r') || c == Char('\n');
}

namespace detail {

template <typename Char>
constexpr bool equalsI(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (toLower(a[i]) != toLower(b[i]))
            return false;
    }
    return true;
}

template <typename Char>
constexpr std::size_t findI(std::basic_string_view<Char> text, std::basic_string_view<Char> what,
                            std::size_t from) {
    if (what.size() > text.size())
        return std::basic_string_view<Char>::npos;
    for (std::size_t i = from; i + what.size() <= text.size(); ++i) {
        if (equalsI(text.substr(i, what.size()), what))
            return i;
    }
    return std::basic_string_view<Char>::npos;
}

template <typename Char>
constexpr std::size_t rfindI(std::basic_string_view<Char> text, std::basic_string_view<Char> what,
                             std::size_t from) {
    if (what.size() > text.size())
        return std::basic_string_view<Char>::npos;
    for (std::size_t i = text.size() - what.size() + 1; i-- > from;) {
        if (equalsI(text.substr(i, what.size()), what))
            return i;
    }
    return std::basic_string_view<Char>::npos;
}

template <typename Char> constexpr std::basic_string_view<Char> trim(std::basic_string_view<Char> s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && isSpace(s[b]))
        ++b;
    while (e > b && isSpace(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

} // namespace detail

// Equal when folded to lower case.
constexpr bool equalsI(std::string_view a, std::string_view b) {
    return detail::equalsI(a, b);
}
constexpr bool equalsI(std::wstring_view a, std::wstring_view b) {
    return detail::equalsI(a, b);
}

constexpr bool startsWithI(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && equalsI(text.substr(0, prefix.size()), prefix);
}
constexpr bool startsWithI(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() && equalsI(text.substr(0, prefix.size()), prefix);
}

// The first occurrence of what at or after from, folded; npos when there is none.
constexpr std::size_t findI(std::string_view text, std::string_view what, std::size_t from = 0) {
    return detail::findI(text, what, from);
}
constexpr bool containsI(std::string_view text, std::string_view what) {
    return findI(text, what) != std::string_view::npos;
}

// The last occurrence of what that starts at or after from, folded; npos when there is none.
constexpr std::size_t rfindI(std::string_view text, std::string_view what, std::size_t from = 0) {
    return detail::rfindI(text, what, from);
}

// The view without the spaces, tabs, CRs and LFs at either end.
constexpr std::string_view trim(std::string_view s) {
    return detail::trim(s);
}

} // namespace Ascii
