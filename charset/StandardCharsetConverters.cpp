#include "StandardCharsetConverters.h"

#include <algorithm>

namespace Charsets {

// The accepted names of the single-byte charsets. "csisolatin5" and "l5" appear twice:
// first beside ISO 8859-5, then beside ISO 8859-9; the later row wins when the map is built.
const Fixed8BitTable fixed8BitTables[] = {
    {"us-ascii", chardata_us_ascii_map_down},
    {"ascii", chardata_us_ascii_map_down},
    {"iso646-us", chardata_us_ascii_map_down},
    {"iso_646.irv:1991", chardata_us_ascii_map_down},
    {"iso-ir-6", chardata_us_ascii_map_down},
    {"ansi_x3.4-1968", chardata_us_ascii_map_down},
    {"ansi_x3.4-1986", chardata_us_ascii_map_down},
    {"cp367", chardata_us_ascii_map_down},
    {"ibm367", chardata_us_ascii_map_down},
    {"us", chardata_us_ascii_map_down},
    {"csascii", chardata_us_ascii_map_down},

    {"iso-8859-1", chardata_iso_8859_1},

    {"iso-8859-2", chardata_iso_8859_2},
    {"iso_8859-2", chardata_iso_8859_2},
    {"iso_8859-2:1987", chardata_iso_8859_2},
    {"iso-ir-101", chardata_iso_8859_2},
    {"latin2", chardata_iso_8859_2},
    {"l2", chardata_iso_8859_2},
    {"csisolatin2", chardata_iso_8859_2},
    {"iso8859-2", chardata_iso_8859_2},

    {"iso-8859-3", chardata_iso_8859_3},
    {"iso_8859-3", chardata_iso_8859_3},
    {"iso_8859-3:1998", chardata_iso_8859_3},
    {"iso-ir-109", chardata_iso_8859_3},
    {"latin3", chardata_iso_8859_3},
    {"l3", chardata_iso_8859_3},
    {"csisolatin3", chardata_iso_8859_3},

    {"iso-8859-4", chardata_iso_8859_4},
    {"iso_8859-4", chardata_iso_8859_4},
    {"iso_8859-4:1988", chardata_iso_8859_4},
    {"iso-ir-110", chardata_iso_8859_4},
    {"latin4", chardata_iso_8859_4},
    {"l4", chardata_iso_8859_4},
    {"csisolatin4", chardata_iso_8859_4},

    {"iso-8859-5", chardata_iso_8859_5},
    {"iso_8859-5", chardata_iso_8859_5},
    {"iso_8859-5:1988", chardata_iso_8859_5},
    {"iso-ir-144", chardata_iso_8859_5},
    {"cyrillic", chardata_iso_8859_5},
    {"csisolatin5", chardata_iso_8859_5},
    {"csisolatincyrillic", chardata_iso_8859_5},
    {"l5", chardata_iso_8859_5},

    {"iso-8859-6", chardata_iso_8859_6},
    {"iso_8859-6", chardata_iso_8859_6},
    {"iso_8859-6:1987", chardata_iso_8859_6},
    {"iso-ir-127", chardata_iso_8859_6},
    {"ecma-114", chardata_iso_8859_6},
    {"asmo-708", chardata_iso_8859_6},
    {"arabic", chardata_iso_8859_6},
    {"csisolatinarabic", chardata_iso_8859_6},

    {"iso-8859-7", chardata_iso_8859_7},
    {"iso_8859-7", chardata_iso_8859_7},
    {"iso_8859-7:1987", chardata_iso_8859_7},
    {"iso-ir-126", chardata_iso_8859_7},
    {"ecma-118", chardata_iso_8859_7},
    {"elot_928", chardata_iso_8859_7},
    {"greek8", chardata_iso_8859_7},
    {"greek", chardata_iso_8859_7},
    {"csisolatingreek", chardata_iso_8859_7},

    {"iso-8859-8", chardata_iso_8859_8},
    {"iso_8859-8", chardata_iso_8859_8},
    {"iso_8859-8:1988", chardata_iso_8859_8},
    {"iso-ir-138", chardata_iso_8859_8},
    {"hebrew", chardata_iso_8859_8},
    {"csisolatinhebrew", chardata_iso_8859_8},
    {"visual", chardata_iso_8859_8},

    {"iso-8859-9", chardata_iso_8859_9},
    {"iso_8859-9", chardata_iso_8859_9},
    {"iso_8859-9:1989", chardata_iso_8859_9},
    {"iso-ir-148", chardata_iso_8859_9},
    {"latin5", chardata_iso_8859_9},
    {"l5", chardata_iso_8859_9},
    {"csisolatin5", chardata_iso_8859_9},

    {"iso-8859-10", chardata_iso_8859_10},
    {"iso_8859-10", chardata_iso_8859_10},
    {"iso_8859-10:1992", chardata_iso_8859_10},
    {"iso-ir-157", chardata_iso_8859_10},
    {"latin6", chardata_iso_8859_10},
    {"l6", chardata_iso_8859_10},
    {"csisolatin6", chardata_iso_8859_10},

    // Thai mail labelled ISO 8859-11 is in practice Windows 874, its superset.
    {"iso-8859-11", chardata_cp874},

    {"iso-8859-13", chardata_iso_8859_13},
    {"iso_8859-13", chardata_iso_8859_13},
    {"iso_ir_179", chardata_iso_8859_13},
    {"latin7", chardata_iso_8859_13},
    {"l7", chardata_iso_8859_13},

    {"iso-8859-14", chardata_iso_8859_14},
    {"iso_8859-14", chardata_iso_8859_14},
    {"iso_8859-14:1998", chardata_iso_8859_14},
    {"iso-ir-199", chardata_iso_8859_14},
    {"latin8", chardata_iso_8859_14},
    {"l8", chardata_iso_8859_14},

    {"iso-8859-15", chardata_iso_8859_15},
    {"iso_8859-15", chardata_iso_8859_15},
    {"iso_8859-15:1998", chardata_iso_8859_15},
    {"iso-ir-203", chardata_iso_8859_15},
    {"latin9", chardata_iso_8859_15},
    {"l9", chardata_iso_8859_15},

    {"iso-8859-16", chardata_iso_8859_16},
    {"iso_8859-16", chardata_iso_8859_16},
    {"iso_8859-16:2000", chardata_iso_8859_16},
    {"iso-ir-226", chardata_iso_8859_16},

    {"windows-1250", chardata_cp1250},
    {"x-cp-1250", chardata_cp1250},
    {"windows-1251", chardata_cp1251},
    {"x-cp-1251", chardata_cp1251},
    {"windows-1252", chardata_cp1252},
    {"windows-1253", chardata_cp1253},
    {"windows-1254", chardata_cp1254},
    {"x-ansi", chardata_cp1254},
    {"windows-1255", chardata_cp1255},
    {"windows-1256", chardata_cp1256},
    {"cp1256", chardata_cp1256},
    {"windows-1257", chardata_cp1257},
    {"windows-1258", chardata_cp1258},
    {"windows-874", chardata_cp874},
    {"dos-874", chardata_cp874},
    {"tis-620", chardata_cp874},

    {"cp850", chardata_cp850},
    {"ibm850", chardata_cp850},
    {"cp852", chardata_cp852},
    {"ibm852", chardata_cp852},
    {"cp857", chardata_cp857},
    {"ibm857", chardata_cp857},
    {"cp860", chardata_cp860},
    {"ibm860", chardata_cp860},
    {"cp861", chardata_cp861},
    {"ibm861", chardata_cp861},
    {"cp862", chardata_cp862},
    {"ibm862", chardata_cp862},
    {"dos862", chardata_cp862},
    {"cp863", chardata_cp863},
    {"ibm863", chardata_cp863},
    {"cp864", chardata_cp864},
    {"ibm864", chardata_cp864},
    {"cp865", chardata_cp865},
    {"ibm865", chardata_cp865},
    {"cp866", chardata_cp866},
    {"ibm866", chardata_cp866},
    {"cp869", chardata_cp869},
    {"ibm869", chardata_cp869},
    {"cp437", chardata_cp437},
    {"ibm437", chardata_cp437},
    {"437", chardata_cp437},
    {"cspc8codepage437", chardata_cp437},
    {"cp424", chardata_cp424},
    {"ibm424", chardata_cp424},
    {"ebcdic-cp-he", chardata_cp424},
    {"csibm424", chardata_cp424},
    {"ibm737", chardata_cp737},
    {"ibm775", chardata_cp775},

    {"macintosh", chardata_mac_roman},
    {"x-mac-arabic", chardata_mac_arabic},
    {"x-mac-ce", chardata_mac_centeuro},
    {"x-mac-cyrillic", chardata_mac_cyrillic},
    {"x-mac-greek", chardata_mac_greek},
    {"x-mac-hebrew", chardata_mac_hebrew},
    {"x-mac-icelandic", chardata_mac_icelandic},
    {"x-mac-turkish", chardata_mac_turkish},

    {"koi8-r", chardata_koi8r},
    {"cskoi8r", chardata_koi8r},
    {"koi", chardata_koi8r},
    {"koi8", chardata_koi8r},
    {"koi8r", chardata_koi8r},
    {"koi8-u", chardata_koi8u},
    {"koi8-ru", chardata_koi8u},

    {nullptr, nullptr},
};

std::wstring convertFixed8BitString(const std::string &bytes, const void *table) {
    std::wstring out;
    if (bytes.empty())
        return out;
    const auto *map = static_cast<const wchar_t *>(table);
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t n = bytes.size();
    out.reserve(n);
    // Characters are staged in a small buffer and appended in blocks, which spares the
    // output the extra pass that sizing it up front would cost.
    constexpr std::size_t stageSize = 1024;
    wchar_t stage[stageSize];
    for (std::size_t start = 0; start < n; start += stageSize) {
        const std::size_t count = std::min(stageSize, n - start);
        if (map) {
            for (std::size_t k = 0; k < count; ++k)
                stage[k] = map[p[start + k]];
        } else {
            // No table: the bytes stand for themselves, as for an unknown charset.
            for (std::size_t k = 0; k < count; ++k)
                stage[k] = p[start + k];
        }
        out.append(stage, count);
    }
    return out;
}

std::wstring convertMultibyteString(const std::string &bytes, const void *root) {
    std::wstring out;
    const auto *top = static_cast<const MBCSTableEntry *>(root);
    if (bytes.empty() || !top)
        return out;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const std::size_t n = bytes.size();
    out.reserve(n);
    std::size_t i = 0;
    while (i < n) {
        const MBCSTableEntry *entry = &top[p[i++]];
        while (entry->next) {
            if (i == n) {
                out.push_back(0xFFFD);
                return out;
            }
            entry = &entry->next[p[i++]];
        }
        out.push_back(entry->value);
    }
    return out;
}

} // namespace Charsets
