#pragma once
// Conversion through the C library's iconv, the reference the decoders are checked against.

#include <iconv.h>

#include <cerrno>
#include <optional>
#include <string>

namespace charsettest {

// The whole input converted from one iconv charset to another, or nothing when iconv
// does not know a charset or rejects the input.
inline std::optional<std::string> iconvConvert(const char *from, const char *to, const std::string &input) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return std::nullopt;
    std::string out;
    out.resize(input.size() * 8 + 64);
    char *in = const_cast<char *>(input.data());
    std::size_t inLeft = input.size();
    char *o = out.data();
    std::size_t outLeft = out.size();
    bool ok = iconv(cd, &in, &inLeft, &o, &outLeft) != static_cast<std::size_t>(-1);
    // Some converters hold back a character that a combining mark might still join.
    if (ok)
        ok = iconv(cd, nullptr, nullptr, &o, &outLeft) != static_cast<std::size_t>(-1);
    iconv_close(cd);
    if (!ok || inLeft != 0)
        return std::nullopt;
    out.resize(out.size() - outLeft);
    return out;
}

inline bool iconvKnows(const char *charset) {
    iconv_t cd = iconv_open("WCHAR_T", charset);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    iconv_close(cd);
    return true;
}

// Wide text as iconv's WCHAR_T bytes and back.
inline std::string wideBytes(const std::wstring &text) {
    return std::string(reinterpret_cast<const char *>(text.data()), text.size() * sizeof(wchar_t));
}

inline std::wstring fromWideBytes(const std::string &bytes) {
    return std::wstring(reinterpret_cast<const wchar_t *>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

} // namespace charsettest
