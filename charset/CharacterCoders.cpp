#include "CharacterCoders.h"
#include "CharacterCoders_p.h"
#include "ISO2022CharacterCoders.h"
#include "KoreanCharacterCoders.h"
#include "SimplifiedChineseCharacterCoders.h"
#include "StandardCharsetConverters.h"
#include "TraditionalChineseCharacterCoders.h"
#include "UnicodeCoders.h"

#include "cpp/CUtils.h"

namespace Charsets::CharacterCoders {

namespace {

// The Unicode decoders take no argument; the map stores them under the common form.
template <std::wstring (*Decoder)(const std::string &)>
std::wstring unicodeConverter(const std::string &bytes, const void *) {
    return Decoder(bytes);
}

// The ISO 2022 decoder takes its mode (a pointer to one of the mode constants) as argument.
std::wstring iso2022Converter(const std::string &bytes, const void *mode) {
    return convertISO2022(bytes, static_cast<const unsigned *>(mode));
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
    {"gb2312", convertGB2312, nullptr},
    {"csgb2312", convertGB2312, nullptr},
    {"csgb231280", convertGB2312, nullptr},
    {"gb_2312-80", convertGB2312, nullptr},
    {"gb231280", convertGB2312, nullptr},
    {"gb2312-80", convertGB2312, nullptr},
    {"iso-ir-58", convertGB2312, nullptr},
    {"chinese", convertGB2312, nullptr},
    {"csiso58gb231280", convertGB2312, nullptr},
    {"cn-gb", convertGB2312, nullptr},
    {"euc-cn", convertGB2312, nullptr},
    {"x-euc-cn", convertGB2312, nullptr},
    {"gbk", convertGB2312, nullptr},
    // HZ
    {"hz-gb-2312", convertHZGB2312, nullptr},
    // Big5
    {"big5", convertBIG5, nullptr},
    {"csbig5", convertBIG5, nullptr},
    {"cn-big5", convertBIG5, nullptr},
    {"x-x-big5", convertBIG5, nullptr},
    {"big5-hkscs", convertBIG5, nullptr},
    // Unified Hangul Code
    {"ks_c_5601", convertKSC5601, nullptr},
    {"ks_c_5601-1987", convertKSC5601, nullptr},
    {"ks_c_5601-1989", convertKSC5601, nullptr},
    {"ksc_5601", convertKSC5601, nullptr},
    {"ksc5601", convertKSC5601, nullptr},
    {"iso-ir-149", convertKSC5601, nullptr},
    {"csksc56011987", convertKSC5601, nullptr},
    {"korean", convertKSC5601, nullptr},
    {"_autodetect_kr", convertKSC5601, nullptr},
    // ISO-2022-KR: escapes and shifts honoured, shifted-out text decoded as KS C 5601
    {"iso-2022-kr", iso2022Converter, &ISO2022_KR},
    {"csiso2022kr", iso2022Converter, &ISO2022_KR},
    // EUC-KR mode
    {"euc-kr", iso2022Converter, &EUC_KR},
    {"cseuckr", iso2022Converter, &EUC_KR},
    // ISO-2022-JP mode
    {"iso-2022-jp", iso2022Converter, &ISO2022_JP},
    {"csiso2022jp", iso2022Converter, &ISO2022_JP},
    // EUC-JP mode
    {"euc-jp", iso2022Converter, &EUC_JP},
    {"x-euc", iso2022Converter, &EUC_JP},
    {"x-euc-jp", iso2022Converter, &EUC_JP},
    {"extended_unix_code_packed_format_for_japanese", iso2022Converter, &EUC_JP},
    {"cseucpkdfmtjapanese", iso2022Converter, &EUC_JP},
    // Shift_JIS mode
    {"shift_jis", iso2022Converter, &SHIFT_JIS},
    {"shift-jis", iso2022Converter, &SHIFT_JIS},
    {"sjis", iso2022Converter, &SHIFT_JIS},
    {"csshiftjis", iso2022Converter, &SHIFT_JIS},
    {"ms-kanji", iso2022Converter, &SHIFT_JIS},
    {"cswindows31j", iso2022Converter, &SHIFT_JIS},
    {"x-ms-cp932", iso2022Converter, &SHIFT_JIS},
    {"x-sjis", iso2022Converter, &SHIFT_JIS},
};

} // namespace

std::string normalizeCharsetName(const std::string &charset) {
    // strToLower folds ASCII letters only: the result must not depend on the user's locale
    // (a Turkish locale would otherwise turn "ISO" into something that matches nothing).
    std::string name = strToLower(trimWhitespace(charset));
    // Old mail labels Unicode forms as "unicode-1-1-utf-8" and the like: the form's own
    // name follows the first twelve characters. A shorter label has no such name.
    if (name.compare(0, 8, "unicode-") == 0)
        name = name.size() > 12 ? name.substr(12) : std::string();
    return name;
}

ConvertersMap *makeConvertersMap() {
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

const ConvertersMap &getConverters() {
    static const ConvertersMap *const converters = makeConvertersMap();
    return *converters;
}

std::wstring decode(const std::string &bytes, const std::string &charset, bool checkBOM) {
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

bool isStateful(const std::string &charset) {
    const ConvertersMap &converters = getConverters();
    const auto found = converters.find(normalizeCharsetName(charset));
    if (found == converters.end())
        return false;
    const auto [converter, argument] = found->second;
    return converter == unicodeConverter<UnicodeCoders::decodeUTF7> || converter == convertHZGB2312 ||
           (converter == iso2022Converter && (argument == &ISO2022_JP || argument == &ISO2022_KR));
}

} // namespace Charsets::CharacterCoders
