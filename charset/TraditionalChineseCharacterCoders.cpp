#include "TraditionalChineseCharacterCoders.h"

#include "CJKTables_p.h"

namespace Charsets {

std::wstring convertBIG5(const std::string &bytes, const void *) {
    constexpr wchar_t replacement = 0xFFFD;
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t size = bytes.size();
    std::wstring out;
    out.reserve(size / 2);
    for (std::size_t i = 0; i < size;) {
        const unsigned a = in[i++];
        if (a <= 0x80) {
            out += wchar_t(a);
        } else if (a == 0xFF) {
            out += replacement;
        } else if (i >= size) {
            out += replacement; // a lead byte cut off at the end
        } else {
            const unsigned t = in[i++];
            if (t == 0)
                out += wchar_t(0);
            else if (t >= 0x40 && t <= 0x7E)
                out += wchar_t(big5ConversionTable[(a - 0x81) * big5TableColumns + (t - 0x40)]);
            else if (t >= 0xA1 && t <= 0xFE)
                out += wchar_t(big5ConversionTable[(a - 0x81) * big5TableColumns + (t - 0x62)]);
            else
                out += replacement;
        }
    }
    return out;
}

} // namespace Charsets
