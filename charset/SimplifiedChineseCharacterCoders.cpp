#include "SimplifiedChineseCharacterCoders.h"

#include "CJKTables_p.h"
#include "DoubleByteDecoder_p.h"

namespace Charsets {

namespace {
wchar_t gbkPair(unsigned lead, unsigned trail) {
    return wchar_t(gb2312ConversionTable[(lead - 0x81) * gbkTableColumns + (trail - 0x40)]);
}
} // namespace

std::wstring convertGB2312(const std::string &bytes, const void *) {
    return decodeDoubleByte(
        bytes,
        [](unsigned c) {
            // code page 936 puts the euro sign at 80
            return c == 0x80 ? wchar_t(0x20AC) : wchar_t(c);
        },
        [](unsigned lead, unsigned trail) {
            if (trail < 0x40 || trail > 0xFE || trail == 0x7F)
                return wchar_t(0xFFFD);
            return gbkPair(lead, trail);
        });
}

std::wstring convertHZGB2312(const std::string &bytes, const void *) {
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t size = bytes.size();
    std::wstring out;
    out.reserve(size / 2);
    bool gbMode = false;
    for (std::size_t i = 0; i < size;) {
        const unsigned ch = in[i++];
        if (ch == 0x7E && i < size) {
            const unsigned next = in[i];
            if (next == 0x7B || next == 0x7D) {
                gbMode = next == 0x7B;
                ++i;
                continue;
            }
        }
        if (!gbMode) {
            if (ch == 0x7E && i < size && in[i] == 0x7E) {
                out += wchar_t(0x7E);
                ++i;
            } else if (ch == 0x7E && i < size && in[i] == 0x0A) {
                ++i; // a line continuation
            } else {
                out += wchar_t(ch);
            }
            continue;
        }
        if (ch < 0x21 || ch > 0x7E || i >= size) {
            out += wchar_t(ch);
            continue;
        }
        const unsigned t = in[i++];
        if (t < 0x21 || t > 0x7E) {
            out += wchar_t(ch);
            out += wchar_t(t);
        } else {
            out += gbkPair(ch + 0x80, t + 0x80);
        }
    }
    return out;
}

} // namespace Charsets
