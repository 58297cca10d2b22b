#include "CharacterCoders.h"
#include "CharacterCoders_p.h"
#include "StandardCharsetConverters.h"
#include "UnicodeCoders.h"

namespace Charsets::CharacterCoders {

namespace {

// The Unicode decoders take no argument; the map stores them under the common form.
template<std::wstring (*Decoder)(const std::string &)>
std::wstring unicodeConverter(const std::string &bytes, const void *)
{
    return Decoder(bytes);
}

// Stands in for the double-byte and ISO 2022 decoders until they are wired in below:
// the names are accepted already and their bytes come through as Latin-1.
std::wstring multiBytePlaceholder(const std::string &bytes, const void *)
{
    return UnicodeCoders::decodeLatin1(bytes);
}

struct NamedConverter {
    const char *name;
    ConverterFunction converter;
    const void *argument;
};

const NamedConverter unicodeNames[] = {
    {"utf-7", unicodeConverter<UnicodeCoders::decodeUTF7>, nullptr},
    {"unicode-1-1-utf-7", unicodeConverter<UnicodeCoders::decodeUTF7>, nullptr},
    {"unicode-2-0-utf-7", unicodeConverter<UnicodeCoders::decodeUTF7>, nullptr},
    {"csunicode11utf7", unicodeConverter<UnicodeCoders::decodeUTF7>, nullptr},
    {"utf8", unicodeConverter<UnicodeCoders::decodeUTF8>, nullptr},
    {"utf-8", unicodeConverter<UnicodeCoders::decodeUTF8>, nullptr},
    {"unicode-1-1-utf-8", unicodeConverter<UnicodeCoders::decodeUTF8>, nullptr},
    {"unicode-2-0-utf-8", unicodeConverter<UnicodeCoders::decodeUTF8>, nullptr},
    {"x-unicode-2-0-utf-8", unicodeConverter<UnicodeCoders::decodeUTF8>, nullptr},
    {"utf-16le", unicodeConverter<UnicodeCoders::decodeUTF16LE>, nullptr},
    {"unicodefffe", unicodeConverter<UnicodeCoders::decodeUTF16BE>, nullptr},
    {"utf-16be", unicodeConverter<UnicodeCoders::decodeUTF16BE>, nullptr},
    {"utf-16", unicodeConverter<UnicodeCoders::decodeUTF16BE>, nullptr},
    {"utf-32le", unicodeConverter<UnicodeCoders::decodeUTF32LE>, nullptr},
    {"utf-32be", unicodeConverter<UnicodeCoders::decodeUTF32BE>, nullptr},
    {"utf-32", unicodeConverter<UnicodeCoders::decodeUTF32BE>, nullptr},
};

// The multi-byte names: Chinese, Korean, Japanese and the ISO 2022 / EUC family. They
// enter the map after the single-byte rows (none of them is a single-byte name).
const NamedConverter multiByteNames[] = {
    // GBK (GB 2312 in its two-byte area)
    {"gb2312", multiBytePlaceholder, nullptr},
    {"csgb2312", multiBytePlaceholder, nullptr},
    {"csgb231280", multiBytePlaceholder, nullptr},
    {"gb_2312-80", multiBytePlaceholder, nullptr},
    {"gb231280", multiBytePlaceholder, nullptr},
    {"gb2312-80", multiBytePlaceholder, nullptr},
    {"iso-ir-58", multiBytePlaceholder, nullptr},
    {"chinese", multiBytePlaceholder, nullptr},
    {"csiso58gb231280", multiBytePlaceholder, nullptr},
    {"cn-gb", multiBytePlaceholder, nullptr},
    {"euc-cn", multiBytePlaceholder, nullptr},
    {"x-euc-cn", multiBytePlaceholder, nullptr},
    {"gbk", multiBytePlaceholder, nullptr},
    // HZ
    {"hz-gb-2312", multiBytePlaceholder, nullptr},
    // Big5
    {"big5", multiBytePlaceholder, nullptr},
    {"csbig5", multiBytePlaceholder, nullptr},
    {"cn-big5", multiBytePlaceholder, nullptr},
    {"x-x-big5", multiBytePlaceholder, nullptr},
    {"big5-hkscs", multiBytePlaceholder, nullptr},
    // Unified Hangul Code
    {"ks_c_5601", multiBytePlaceholder, nullptr},
    {"ks_c_5601-1987", multiBytePlaceholder, nullptr},
    {"ks_c_5601-1989", multiBytePlaceholder, nullptr},
    {"ksc_5601", multiBytePlaceholder, nullptr},
    {"ksc5601", multiBytePlaceholder, nullptr},
    {"iso-ir-149", multiBytePlaceholder, nullptr},
    {"csksc56011987", multiBytePlaceholder, nullptr},
    {"korean", multiBytePlaceholder, nullptr},
    {"_autodetect_kr", multiBytePlaceholder, nullptr},
    // EUC-KR mode (ISO-2022-KR text too)
    {"iso-2022-kr", multiBytePlaceholder, nullptr},
    {"csiso2022kr", multiBytePlaceholder, nullptr},
    {"euc-kr", multiBytePlaceholder, nullptr},
    {"cseuckr", multiBytePlaceholder, nullptr},
    // ISO-2022-JP mode
    {"iso-2022-jp", multiBytePlaceholder, nullptr},
    {"csiso2022jp", multiBytePlaceholder, nullptr},
    // EUC-JP mode
    {"euc-jp", multiBytePlaceholder, nullptr},
    {"x-euc", multiBytePlaceholder, nullptr},
    {"x-euc-jp", multiBytePlaceholder, nullptr},
    {"extended_unix_code_packed_format_for_japanese", multiBytePlaceholder, nullptr},
    {"cseucpkdfmtjapanese", multiBytePlaceholder, nullptr},
    // Shift_JIS mode
    {"shift_jis", multiBytePlaceholder, nullptr},
    {"shift-jis", multiBytePlaceholder, nullptr},
    {"sjis", multiBytePlaceholder, nullptr},
    {"csshiftjis", multiBytePlaceholder, nullptr},
    {"ms-kanji", multiBytePlaceholder, nullptr},
    {"cswindows31j", multiBytePlaceholder, nullptr},
    {"x-ms-cp932", multiBytePlaceholder, nullptr},
    {"x-sjis", multiBytePlaceholder, nullptr},
};

constexpr bool isNameWhitespace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::string normalizeCharsetName(const std::string &charset)
{
    // Folding is ASCII-only on purpose: the result must not depend on the user's locale
    // (a Turkish locale would otherwise turn "ISO" into something that matches nothing).
    std::size_t begin = 0;
    std::size_t end = charset.size();
    while (begin < end && isNameWhitespace(charset[begin]))
        ++begin;
    while (end > begin && isNameWhitespace(charset[end - 1]))
        --end;
    std::string name = charset.substr(begin, end - begin);
    for (char &c : name) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    // Old mail labels Unicode forms as "unicode-1-1-utf-8" and the like: the form's own
    // name follows the first twelve characters. A shorter label has no such name.
    if (name.compare(0, 8, "unicode-") == 0)
        name = name.size() > 12 ? name.substr(12) : std::string();
    return name;
}

ConvertersMap *makeConvertersMap()
{
    auto *map = new ConvertersMap;
    // Later assignments replace earlier ones, which is how "l5" and "csisolatin5" end up
    // with ISO 8859-9.
    for (const NamedConverter &entry : unicodeNames)
        (*map)[entry.name] = {entry.converter, entry.argument};
    for (const Fixed8BitTable *row = fixed8BitTables; row->name; ++row)
        (*map)[row->name] = {convertFixed8BitString, row->table};
    for (const NamedConverter &entry : multiByteNames)
        (*map)[entry.name] = {entry.converter, entry.argument};
    return map;
}

const ConvertersMap &getConverters()
{
    static const ConvertersMap *const converters = makeConvertersMap();
    return *converters;
}

std::wstring decode(const std::string &bytes, const std::string &charset, bool checkBOM)
{
    if (checkBOM) {
        const UnicodeCoders::UnicodeEncoding form = UnicodeCoders::checkForBOM(bytes);
        if (form != UnicodeCoders::NoEncoding)
            return UnicodeCoders::decodeUnicode(bytes, form);
    }
    const ConvertersMap &converters = getConverters();
    const auto found = converters.find(normalizeCharsetName(charset));
    if (found == converters.end())
        return UnicodeCoders::decodeLatin1(bytes);
    return found->second.first(bytes, found->second.second);
}

} // namespace Charsets::CharacterCoders
