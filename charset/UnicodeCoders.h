#pragma once
// Decoders of the Unicode encoding forms and Latin-1 into wide text, byte-order-mark
// detection, and the library's one encoder: wide text to UTF-8.

#include <string>

namespace Charsets::UnicodeCoders {

// What a byte-order mark at the start of a text announces.
enum UnicodeEncoding : int {
    NoEncoding = 0,
    UTF7 = 1,
    UTF8 = 2,
    UTF16LE = 3,
    UTF16BE = 4,
    UTF32LE = 5,
    UTF32BE = 6,
};

// Length in bytes of each form's mark, indexed by UnicodeEncoding.
inline constexpr int bomSize[7] = {0, 4, 3, 2, 2, 4, 4};

// Put out for bytes that do not decode and for values the encoder refuses.
inline constexpr wchar_t replacementChar = 0xFFFD;

// The form whose mark starts the bytes, or NoEncoding.
[[nodiscard]] UnicodeEncoding checkForBOM(const std::string &bytes);

// Each decoder skips its own form's mark and never fails: what does not decode gives
// replacementChar. The results hold Unicode scalar values only (no surrogates, nothing
// above U+10FFFF); decodeLatin1 maps every byte to the code point of the same value.
[[nodiscard]] std::wstring decodeUTF7(const std::string &bytes);
[[nodiscard]] std::wstring decodeUTF8(const std::string &bytes);
[[nodiscard]] std::wstring decodeUTF16LE(const std::string &bytes);
[[nodiscard]] std::wstring decodeUTF16BE(const std::string &bytes);
[[nodiscard]] std::wstring decodeUTF32LE(const std::string &bytes);
[[nodiscard]] std::wstring decodeUTF32BE(const std::string &bytes);
[[nodiscard]] std::wstring decodeLatin1(const std::string &bytes);

// Decodes by the form given (UTF7..UTF32BE); any other value decodes as Latin-1.
[[nodiscard]] std::wstring decodeUnicode(const std::string &bytes, UnicodeEncoding encoding);

// Appends the UTF-8 form of one value (1 to 4 bytes) to out and returns out. Surrogates,
// U+FFFE, U+FFFF, negative values and values above U+10FFFF are written as U+FFFD.
std::string &encodeUTF8Char(std::string &out, wchar_t value);

// The UTF-8 form of a whole wide text, value by value as encodeUTF8Char writes them.
[[nodiscard]] std::string encodeUTF8(const std::wstring &text);

} // namespace Charsets::UnicodeCoders
