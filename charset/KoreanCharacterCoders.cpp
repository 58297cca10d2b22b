#include "KoreanCharacterCoders.h"

#include "CJKTables_p.h"
#include "DoubleByteDecoder_p.h"

namespace Charsets {

std::wstring convertKSC5601(const std::string &bytes, const void *) {
    return decodeDoubleByte(
        bytes,
        [](unsigned c) {
            // the won sign stands where ASCII has the backslash
            return c == 0x5C ? wchar_t(0x20A9) : wchar_t(c);
        },
        [](unsigned lead, unsigned trail) {
            if (trail < 0x41 || trail > 0xFE)
                return wchar_t(0xFFFD);
            return wchar_t(koreanConversionTable[(lead - 0x81) * koreanTableColumns + (trail - 0x41)]);
        });
}

} // namespace Charsets
