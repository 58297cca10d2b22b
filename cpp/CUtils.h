#pragma once
// String functions over byte strings and wide strings (32-bit code points), with fixed,
// locale-free notions of whitespace, letters, digits, case, lines, hexadecimal and integers.

#include <string>
#include <vector>

// Whitespace is exactly space, TAB, CR and LF (not vertical tab or form feed).
inline bool safe_iswhitespace(int c) {
    return c == 0x20 || c == 0x09 || c == 0x0D || c == 0x0A;
}
inline bool safe_isdigit(int c) {
    return c >= 0x30 && c <= 0x39;
}
// ASCII letters only, also for wide characters.
inline bool safe_isalpha(int c) {
    return (c >= 0x41 && c <= 0x5A) || (c >= 0x61 && c <= 0x7A);
}
inline bool safe_isalnum(int c) {
    return safe_isalpha(c) || safe_isdigit(c);
}

// Value of a hexadecimal digit (either case), -1 for any other character, also for wide
// characters.
inline int hexDigitValue(int c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
// Value of a hexadecimal digit (either case), 16 for any other character.
inline unsigned char hex_map(char c) {
    const int value = hexDigitValue(static_cast<unsigned char>(c));
    return static_cast<unsigned char>(value < 0 ? 16 : value);
}

// A-Z become a-z; every other byte is kept, whatever the process locale.
std::string strToLower(const std::string &text);
// Lower-cases each character by the Unicode simple case mapping, independent of the process
// locale.
std::wstring strToLower(const std::wstring &text);
// Three-way comparison of strToLower(a) with strToLower(b); 0 means equal ignoring case.
int compareI(const std::string &a, const std::string &b);

// The text without leading and trailing whitespace.
std::string trimWhitespace(std::string text);
std::wstring trimWhitespace(std::wstring text);
// The text without any whitespace.
std::string stripWhitespace(const std::string &text);
std::wstring stripWhitespace(const std::wstring &text);
// Only the ASCII letters and digits.
std::wstring alphaNumOnly(const std::wstring &text);

// Lines split at LF; a CR ending a line is dropped. A final LF starts no empty last line;
// an empty text gives no lines.
std::vector<std::string> splitLines(const std::string &text);
// Pieces between separators, by the same rules without the CR step.
std::vector<std::string> split(const std::string &text, char separator);
// Every element followed by CR LF.
std::string joinLines(const std::vector<std::string> &lines);
// Removes and returns the next token of text: up to the first separator found from the
// second character on (the separator is removed too), or the whole text.
std::string getNextToken(char separator, std::string &text);
// A copy whose character storage is shared with no other string object.
std::string uniqueCopy(const std::string &text);

// One wide character per byte, of the byte's unsigned value (0x80-0xFF become U+0080-U+00FF).
std::wstring string_to_wstring(const std::string &text);
// One byte per wide character: its lowest 8 bits.
std::string wstring_to_string(const std::wstring &text);
// & < > " become &amp; &lt; &gt; &quot;
std::string replaceHTMLEntities(std::string text);
// 2 x length lower-case hexadecimal digits, high nibble first.
std::string encodeHexadecimal(const void *data, int length);
// Bytes of pairs of hexadecimal digits; empty for an odd length or any non-digit.
std::vector<unsigned char> decodeHexadecimal(const std::string &text);
// Decodes into buffer; the number of bytes, or -1 for an odd length, a buffer smaller than
// half the text, or a non-digit (the bytes before it are written).
int decodeHexadecimal(const std::string &text, void *buffer, unsigned size);

// [+|-]digits, nothing else. Raises std::invalid_argument "zero-length string",
// "sign-only string" or "non-digit character". Values outside 32 bits wrap modulo 2^32.
int stringToInt(std::string text);
// stringToInt, or fallback for a text it rejects.
int stringToIntDef(std::string text, int fallback);
std::string intToString(int value);
