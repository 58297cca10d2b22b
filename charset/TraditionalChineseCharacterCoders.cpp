#include "TraditionalChineseCharacterCoders.h"

#include "CJKTables_p.h"
#include "DoubleByteDecoder_p.h"

namespace Charsets {

std::wstring convertBIG5(const std::string &bytes, const void *) {
    return decodeDoubleByte(
        bytes, [](unsigned c) { return wchar_t(c); },
        [](unsigned lead, unsigned trail) {
            const std::size_t row = (lead - 0x81) * big5TableColumns;
            if (trail >= 0x40 && trail <= 0x7E)
                return wchar_t(big5ConversionTable[row + (trail - 0x40)]);
            if (trail >= 0xA1 && trail <= 0xFE)
                return wchar_t(big5ConversionTable[row + (trail - 0x62)]);
            return wchar_t(0xFFFD);
        });
}

} // namespace Charsets
