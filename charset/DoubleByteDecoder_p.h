#pragma once
// The decoding loop shared by the double-byte charsets of the Windows code pages (Unified
// Hangul, GBK, Big5). Internal to the library.

#include <cstddef>
#include <string>

namespace Charsets {

// Bytes up to 80 stand alone and go through singleByte(byte); 81-FE lead a pair whose
// character is pair(lead, trail), U+FFFD where the pair has no character. FF and a lead byte
// cut off at the end give U+FFFD. When a pair gives no character and its second byte is
// ASCII, only the lead byte is replaced and the ASCII byte is read again on its own: a space,
// a line end or a letter after a stray lead byte must not vanish with it. A template so that
// the callers' lookups inline into the loop.
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
            const unsigned trail = in[i];
            const wchar_t character = pair(lead, trail);
            out += character;
            if (character != replacement || trail >= 0x80)
                ++i;
        }
    }
    return out;
}

} // namespace Charsets
