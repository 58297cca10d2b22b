#pragma once
// The decoding loop shared by the double-byte charsets of the Windows code pages (Unified
// Hangul, GBK, Big5). Internal to the library.

#include <cstddef>
#include <string>

namespace Charsets {

// Bytes up to 80 stand alone and go through singleByte(byte); 81-FE lead a pair whose
// character is pair(lead, trail), U+FFFD where the trail is not one the charset uses. FF and a
// lead byte cut off at the end give U+FFFD; a lead byte before NUL is dropped and the NUL
// kept. A template so that the callers' lookups inline into the loop.
template <typename SingleByte, typename Pair>
std::wstring decodeDoubleByte(const std::string &bytes, SingleByte singleByte, Pair pair) {
    constexpr wchar_t replacement = 0xFFFD;
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t size = bytes.size();
    std::wstring out;
    out.reserve(size / 2);
    for (std::size_t i = 0; i < size;) {
        const unsigned lead = in[i++];
        if (lead <= 0x80) {
            out += singleByte(lead);
        } else if (lead == 0xFF || i >= size) {
            out += replacement;
        } else {
            const unsigned trail = in[i++];
            out += trail == 0 ? wchar_t(0) : pair(lead, trail);
        }
    }
    return out;
}

} // namespace Charsets
