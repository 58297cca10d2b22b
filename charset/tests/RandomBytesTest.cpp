#include "CharacterCoders.h"
#include "CharacterCoders_p.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using namespace Charsets;

namespace {

bool isScalarValue(wchar_t c) {
    return c >= 0 && c <= 0x10FFFF && (c < 0xD800 || c > 0xDFFF);
}

// Random bytes, biased towards the bytes that steer decoders: escapes, shifts, marks,
// lead bytes and the Base64 alphabet.
std::string randomBytes(std::mt19937 &rng, std::size_t length) {
    static const std::string steering =
        std::string("\x1B\x0E\x0F\x8E\x8F+-~{}\n\xEF\xBB\xBF\xFE\xFF\xD8\xDC\x00\x80\xC0"
                    "\xE0\xF0\xF8\xFC$()*B@JIA/v8",
                    37);
    std::string s(length, '\0');
    for (char &c : s) {
        const unsigned r = rng();
        c = (r & 3) == 0 ? steering[(r >> 2) % steering.size()] : static_cast<char>(r >> 8);
    }
    return s;
}

} // namespace

// Every accepted name (and a few that match nothing) over random input: each decoder stays
// inside its input, returns at most one character per byte and only Unicode scalar values.
// Run under AddressSanitizer in CI, this is the bounds check for every decoder.
TEST(RandomBytes, EveryNameDecodesAnyInputSafely) {
    std::vector<std::string> names;
    for (const auto &entry : CharacterCoders::getConverters())
        names.push_back(entry.first);
    names.insert(names.end(), {"", "x-unknown", "unicode-"});

    std::mt19937 rng(20240611);
    for (const std::string &name : names) {
        for (int round = 0; round < 300; ++round) {
            const std::size_t length = round < 200 ? round % 24 : rng() % 2048;
            // Longer inputs live on the heap in a block of exactly their size, where
            // AddressSanitizer sees a read past the end.
            const std::string input = randomBytes(rng, length);
            for (bool checkBOM : {false, true}) {
                const std::wstring text = CharacterCoders::decode(input, name, checkBOM);
                ASSERT_LE(text.size(), input.size()) << name;
                for (wchar_t c : text)
                    ASSERT_TRUE(isScalarValue(c)) << name << ": " << std::hex << static_cast<long>(c);
            }
        }
    }
}
