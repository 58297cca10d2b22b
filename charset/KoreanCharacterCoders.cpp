#include "KoreanCharacterCoders.h"

#include "CJKTables_p.h"

namespace Charsets {

std::wstring convertKSC5601(const std::string &bytes, const void *) {
    constexpr wchar_t replacement = 0xFFFD;
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t size = bytes.size();
    std::wstring out;
    out.reserve(size / 2);
    for (std::size_t i = 0; i < size;) {
        const unsigned c = in[i++];
        if (c == 0x5C) {
            out += wchar_t(0x20A9); // the won sign stands where ASCII has the backslash
        } else if (c <= 0x80) {
            out += wchar_t(c);
        } else if (c == 0xFF) {
            out += replacement;
        } else if (i >= size) {
            out += replacement; // a lead byte cut off at the end
        } else {
            const unsigned t = in[i++];
            if (t == 0)
                out += wchar_t(0);
            else if (t >= 0x41 && t <= 0xFE)
                out += wchar_t(koreanConversionTable[(c - 0x81) * koreanTableColumns + (t - 0x41)]);
            else
                out += replacement;
        }
    }
    return out;
}

} // namespace Charsets
