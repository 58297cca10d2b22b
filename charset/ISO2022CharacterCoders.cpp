#include "ISO2022CharacterCoders.h"

#include "CJKTables_p.h"

#include <array>
#include <map>

namespace Charsets {

const unsigned SHIFT_JIS = 1;
const unsigned EUC_JP = 2;
const unsigned ISO2022_JP = 3;
const unsigned EUC_KR = 4;
const unsigned ISO2022_KR = 5;

namespace {

constexpr wchar_t replacementChar = 0xFFFD;

template <std::size_t N, typename F> constexpr std::array<std::uint16_t, N> makeTable(F valueAt) {
    std::array<std::uint16_t, N> table{};
    for (std::size_t i = 0; i < N; ++i)
        table[i] = valueAt(i);
    return table;
}

// C0 controls 00-1F as themselves.
constexpr auto iso646_ConversionTable__74 = makeTable<32>([](std::size_t i) { return std::uint16_t(i); });
// C1 controls 80-9F as themselves.
constexpr auto c1_transparent_table = makeTable<32>([](std::size_t i) { return std::uint16_t(0x80 + i); });
// ASCII graphics 21-7E.
constexpr auto iso646_ascii_usa_ConversionTable__6 =
    makeTable<94>([](std::size_t i) { return std::uint16_t(0x21 + i); });
// JIS X 0201 Roman: ASCII but for the yen sign at 5C.
constexpr auto JIS_X_0201_1976_ConversionTable__14 =
    makeTable<94>([](std::size_t i) { return std::uint16_t(0x21 + i == 0x5C ? 0xA5 : 0x21 + i); });
// JIS X 0201 Katakana: 21-5F are the half-width katakana, 60-7E are unassigned.
constexpr auto JIS_X_0201_1976_ConversionTable__13 =
    makeTable<94>([](std::size_t i) { return std::uint16_t(i < 0x3F ? 0xFF61 + i : replacementChar); });

const CharacterSetEntry invalidCharset("Invalid charset", 0, PageInvalid, nullptr);

constexpr std::uint32_t shiftJisKey = 0xFE2200;
constexpr std::uint32_t c1TransparentKey = 0xFE2300;

std::map<std::uint32_t, CharacterSetEntry> setupISO2022Tables() {
    std::map<std::uint32_t, CharacterSetEntry> table;
    auto add = [&table](std::uint32_t key, const char *name, std::uint8_t reg, CharacterSetPageType type,
                        const std::uint16_t *codes) {
        table.emplace(key, CharacterSetEntry(name, reg, type, codes));
    };

    add(0x214600, "125-ISO 646 Control Codes", 0, PageControl, iso646_ConversionTable__74.data());
    add(c1TransparentKey, "C1 transparent table", 0, PageControl, c1_transparent_table.data());
    for (std::uint8_t reg : {0, 1}) {
        const std::uint32_t intermediate = 0x28 + reg;
        add(intermediate << 16 | 0x4200, "006-ISO 646 ASCII USA", reg, Page94,
            iso646_ascii_usa_ConversionTable__6.data());
        add(intermediate << 16 | 0x4A00, "014-ISO JIS X 0201-1976", reg, Page94,
            JIS_X_0201_1976_ConversionTable__14.data());
    }
    for (std::uint8_t reg : {0, 1, 2, 3})
        add((0x28u + reg) << 16 | 0x4900, "013-ISO JIS X 0201-1976", reg, Page94,
            JIS_X_0201_1976_ConversionTable__13.data());

    // Double-byte sets: ESC $ F (the old form, G0 only) and ESC $ I F for G0-G3.
    struct DoubleByteSet {
        std::uint8_t final;
        const char *name;
        const std::uint16_t *codes;
    };
    const DoubleByteSet sets[] = {
        {0x42, "087-Japanese JISC 6226-1983", jisc6226_1983_ConversionTable__87},
        {0x40, "042-Japanese JISC 6226-1978", jisc6226_1983_ConversionTable__87},
        {0x43, "149-KSC5601-1987", KSC5601_1987_ConversionTable__149},
    };
    for (const auto &set : sets) {
        add(0x240000u | std::uint32_t(set.final) << 8, set.name, 0, Page94x94, set.codes);
        for (std::uint8_t reg : {0, 1, 2, 3})
            add(0x240000u | (0x28u + reg) << 8 | set.final, set.name, reg, Page94x94, set.codes);
    }
    add(shiftJisKey, "xx-shift JIS katakana", 1, PageShiftJIS, nullptr);
    return table;
}

// Built when the library is loaded, before any caller can decode; read-only afterwards.
const std::map<std::uint32_t, CharacterSetEntry> charsetReferenceTable = setupISO2022Tables();

const CharacterSetEntry *entryFor(std::uint32_t key) {
    auto it = charsetReferenceTable.find(key);
    return it == charsetReferenceTable.end() ? nullptr : &it->second;
}

struct Setup {
    std::uint32_t g[4];
    std::uint32_t c0;
    std::uint32_t c1;
    bool escapes;
    bool singleShift2;
    bool singleShift3;
};

constexpr std::uint32_t none = 0;

// Shift_JIS never treats 8E and 8F as single shifts: they are lead bytes of JIS X 0208 pairs.
// ISO-2022-KR is EUC-KR's set-up with escapes and SO/SI honoured, so its shifted-out bytes
// decode as KS C 5601.
const Setup *setupFor(unsigned mode) {
    static const Setup setups[] = {
        {{0x284200, 0x284900, none, none}, 0x214600, shiftJisKey, true, false, false},
        {{0x284200, 0x242940, 0x2A4900, none}, 0x214600, c1TransparentKey, false, true, false},
        {{0x284200, 0x284900, none, none}, 0x214600, c1TransparentKey, true, true, true},
        {{0x284200, 0x242943, none, none}, 0x214600, c1TransparentKey, false, false, false},
        {{0x284200, 0x242943, none, none}, 0x214600, c1TransparentKey, true, false, false},
    };
    if (mode < 1 || mode > std::size(setups))
        return nullptr;
    return &setups[mode - 1];
}

class Decoder {
public:
    Decoder(const std::string &bytes, const Setup &setup)
        : m_in(reinterpret_cast<const unsigned char *>(bytes.data())), m_size(bytes.size()) {
        for (int i = 0; i < 4; ++i)
            m_g[i] = setup.g[i] == none ? nullptr : entryFor(setup.g[i]);
        m_c0 = entryFor(setup.c0);
        m_c1 = entryFor(setup.c1);
        m_escapes = setup.escapes;
        m_singleShift2 = setup.singleShift2;
        m_singleShift3 = setup.singleShift3;
        m_shiftJis = m_c1 && m_c1->pageType == PageShiftJIS;
    }

    std::wstring run() {
        m_out.reserve(m_size / 2);
        while (m_pos < m_size) {
            if (!step())
                break;
        }
        return std::move(m_out);
    }

private:
    // One step from the byte at m_pos; false when decoding ends.
    bool step() {
        const unsigned char b = m_in[m_pos++];
        if (b == 0x20 || b == 0x7F) {
            m_out += wchar_t(b);
            return true;
        }
        if (m_escapes) {
            if (b == 0x1B)
                return escape();
            if (b == 0x0F) {
                m_gl = 0;
                return true;
            }
            if (b == 0x0E) {
                m_gl = 1;
                return true;
            }
        }
        if ((b == 0x8E && m_singleShift2) || (b == 0x8F && m_singleShift3)) {
            m_singleShift = b == 0x8E ? 2 : 3;
            return true;
        }
        const bool more = character(b);
        m_singleShift = 0;
        return more;
    }

    bool escape() {
        if (m_pos >= m_size)
            return false;
        const unsigned char c = m_in[m_pos++];
        switch (c) {
        case 0x6E:
            m_gl = 2;
            return true;
        case 0x6F:
            m_gl = 3;
            return true;
        case 0x7E:
            m_gr = 1;
            return true;
        case 0x7D:
            m_gr = 2;
            return true;
        case 0x7C:
            m_gr = 3;
            return true;
        case 0x4E:
            m_singleShift = 2;
            return true;
        case 0x4F:
            m_singleShift = 3;
            return true;
        default:
            break;
        }
        // A designation: intermediate bytes 20-2F, then a final byte. The key holds up to
        // three bytes; a longer sequence names no registered set.
        std::uint32_t key = std::uint32_t(c) << 16;
        std::size_t length = 1;
        int namedRegister = c >= 0x28 && c <= 0x2F ? (c - 0x28) & 3 : -1;
        unsigned char last = c;
        while (last >= 0x20 && last <= 0x2F) {
            if (m_pos >= m_size)
                return false;
            last = m_in[m_pos++];
            if (length < 3)
                key |= std::uint32_t(last) << (16 - 8 * length);
            if (last >= 0x28 && last <= 0x2F)
                namedRegister = (last - 0x28) & 3;
            ++length;
        }
        if (length <= 3) {
            if (const CharacterSetEntry *entry = entryFor(key)) {
                m_g[entry->registerNumber & 3] = entry;
                return true;
            }
        }
        // A set we cannot decode: its characters give the replacement until the register is
        // designated again. The register is the one the last intermediate byte 28-2F names
        // (ESC $ F, the old double-byte form, is G0); a sequence that does not start with an
        // intermediate byte designates nothing and is dropped.
        if (c < 0x20 || c > 0x2F)
            return true;
        if (namedRegister < 0 && c == 0x24)
            namedRegister = 0;
        if (namedRegister >= 0)
            m_g[namedRegister] = &invalidCharset;
        return true;
    }

    bool character(unsigned char b) {
        const int gl = m_singleShift ? m_singleShift : m_gl;
        const int gr = m_singleShift ? m_singleShift : m_gr;
        if (b < 0x20) {
            m_out += m_c0 && m_c0->table ? wchar_t(m_c0->table[b]) : replacementChar;
            return true;
        }
        if (b < 0x7F) {
            // In the 8-bit EUC forms a single shift announces a byte of the right half; an
            // ASCII byte after it is replaced lead and then read as itself.
            if (m_singleShift && !m_escapes) {
                m_out += replacementChar;
                return graphicLeft(b, m_g[m_gl]);
            }
            return graphicLeft(b, m_g[gl]);
        }
        if (b < 0xA0) {
            if (!m_c1) {
                m_out += replacementChar;
                return true;
            }
            if (m_c1->pageType == PageShiftJIS)
                return shiftJisPair(b);
            m_out += m_c1->table ? wchar_t(m_c1->table[b - 0x80]) : replacementChar;
            return true;
        }
        if (m_shiftJis && b >= 0xE0 && b <= 0xEF)
            return shiftJisPair(b);
        return graphicRight(b, m_g[gr]);
    }

    // The byte after a lead byte of a 94 x 94 set, or -1 (then the replacement) when it is no
    // trail byte of the range first..first+93. ESC is left for the next step to read, and so
    // is an ASCII byte after a lead byte of the right half: it cannot belong to the pair, and
    // a space or line end must not vanish with a stray lead byte. (A left-half pair keeps
    // using up its second byte, as seven-bit ISO 2022 text expects.)
    int trail(unsigned char first) {
        const unsigned char t = m_in[m_pos];
        if (t == 0x1B || (first >= 0x80 && t < 0x80))
            return -1;
        ++m_pos;
        return t >= first && t < first + 94 ? t - first : -1;
    }

    void appendCell(const CharacterSetEntry *set, int row, int column) {
        m_out += column < 0 ? replacementChar : wchar_t(set->table[row * 94 + column]);
    }

    bool graphicLeft(unsigned char b, const CharacterSetEntry *set) {
        if (!set || !set->table) {
            m_out += replacementChar;
            return true;
        }
        switch (set->pageType) {
        case Page94:
            m_out += wchar_t(set->table[b - 0x21]);
            return true;
        case Page94x94:
            if (m_pos >= m_size)
                return false; // a lead byte cut off at the end of the text
            appendCell(set, b - 0x21, trail(0x21));
            return true;
        default:
            m_out += replacementChar;
            return true;
        }
    }

    bool graphicRight(unsigned char b, const CharacterSetEntry *set) {
        if (!set) {
            m_out += replacementChar;
            return true;
        }
        switch (set->pageType) {
        case PageControl:
            return true;
        case Page94:
            m_out += b >= 0xA1 && b <= 0xFE && set->table ? wchar_t(set->table[b - 0xA1]) : replacementChar;
            return true;
        case Page94x94:
            // A0 and FF have no row: a lone replacement, the next byte read on its own.
            if (b == 0xA0 || b == 0xFF || !set->table) {
                m_out += replacementChar;
                return true;
            }
            if (m_pos >= m_size) {
                m_out += replacementChar;
                return false;
            }
            appendCell(set, b - 0xA1, trail(0xA1));
            return true;
        default:
            m_out += replacementChar;
            return true;
        }
    }

    // A Shift_JIS pair with lead byte s (81-9F or E0-EF); 80 leads nothing.
    bool shiftJisPair(unsigned char s) {
        if (s == 0x80) {
            m_out += replacementChar;
            return true;
        }
        if (m_pos >= m_size) {
            m_out += replacementChar;
            return false;
        }
        const unsigned t = m_in[m_pos++];
        const unsigned lead = s >= 0xE0 ? s - 0x40 : s;
        // Only the lead byte is replaced when the pair has no character and the second byte is
        // ASCII: that byte is read again on its own.
        const auto replaceLead = [this, t] {
            m_out += replacementChar;
            if (t < 0x80)
                --m_pos;
            return true;
        };
        int row;
        int column;
        if (t <= 0x9E) {
            row = int(lead - 0x70) * 2 - 1;
            column = t < 0x80 ? int(t) - 0x1F : int(t) - 0x20;
        } else {
            row = int(lead - 0x70) * 2;
            column = int(t) - 0x7E;
        }
        row -= 0x21;
        column -= 0x21;
        // 7F is no trail byte: the arithmetic would fold it onto the cell of 80.
        if (t < 0x40 || t == 0x7F || row < 0 || row > 93 || column < 0 || column > 93)
            return replaceLead();
        const wchar_t character = jisc6226_1983_ConversionTable__87[row * 94 + column];
        if (character == replacementChar)
            return replaceLead();
        m_out += character;
        return true;
    }

    const unsigned char *m_in;
    std::size_t m_size;
    std::size_t m_pos = 0;
    std::wstring m_out;
    const CharacterSetEntry *m_g[4] = {};
    const CharacterSetEntry *m_c0 = nullptr;
    const CharacterSetEntry *m_c1 = nullptr;
    int m_gl = 0;
    int m_gr = 1;
    int m_singleShift = 0;
    bool m_escapes = false;
    bool m_singleShift2 = false;
    bool m_singleShift3 = false;
    bool m_shiftJis = false;
};

} // namespace

std::wstring convertISO2022(const std::string &bytes, const unsigned *mode) {
    const Setup *setup = mode ? setupFor(*mode) : nullptr;
    if (!setup)
        return {};
    return Decoder(bytes, *setup).run();
}

} // namespace Charsets
