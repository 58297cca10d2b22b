// Random charset name x random bytes through the decoding entry, then the UTF-8 encoder.
//
// Input layout: byte 0 holds flags (bit 0: check for a byte-order mark; bit 1: the name
// is spelled out in the input up to the first NUL, otherwise byte 1 picks an accepted
// name); the rest is the text.

#include "CharacterCoders.h"
#include "CharacterCoders_p.h"
#include "UnicodeCoders.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace Charsets;

namespace {

const std::vector<std::string> &acceptedNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> v;
        for (const auto &entry : CharacterCoders::getConverters())
            v.push_back(entry.first);
        return v;
    }();
    return names;
}

bool isScalarValue(wchar_t c) {
    return c >= 0 && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 2)
        return 0;
    const bool checkBOM = data[0] & 1;
    std::string name;
    std::size_t start;
    if (data[0] & 2) {
        const void *nul = std::memchr(data + 1, 0, size - 1);
        const std::size_t end = nul ? static_cast<const std::uint8_t *>(nul) - data : size;
        name.assign(reinterpret_cast<const char *>(data + 1), end - 1);
        start = end < size ? end + 1 : size;
    } else {
        name = acceptedNames()[data[1] % acceptedNames().size()];
        start = 2;
    }
    // A heap copy of exactly the text's size (beyond the short-string buffer), so that
    // AddressSanitizer sees a read past its end.
    const std::string bytes(reinterpret_cast<const char *>(data + start), size - start);

    const std::wstring text = CharacterCoders::decode(bytes, name, checkBOM);
    if (text.size() > bytes.size())
        std::abort();
    for (wchar_t c : text) {
        if (!isScalarValue(c))
            std::abort();
    }

    // Decoded text survives the trip through UTF-8, apart from the two noncharacters that
    // the encoder refuses.
    std::wstring expected = text;
    for (wchar_t &c : expected) {
        if (c == 0xFFFE || c == 0xFFFF)
            c = UnicodeCoders::replacementChar;
    }
    const std::string utf8 = UnicodeCoders::encodeUTF8(text);
    // A leading U+FEFF written out would be read back as a mark.
    if (!(utf8.size() >= 3 && utf8.compare(0, 3, "\xEF\xBB\xBF") == 0) &&
        UnicodeCoders::decodeUTF8(utf8) != expected)
        std::abort();
    return 0;
}
