#include "UnicodeCoders.h"

#include "StandardCharsetConverters.h"

#include <cstdint>
#include <cstring>

namespace Charsets::UnicodeCoders {

namespace {

using Byte = unsigned char;

const Byte *bytesOf(const std::string &s) {
    return reinterpret_cast<const Byte *>(s.data());
}

// Base64 value of each byte inside a UTF-7 run: 0-63 for the alphabet, -2 for the
// hyphen-minus that closes a run, -1 for anything else (which also closes it).
constexpr struct Utf7Base64Table {
    signed char value[256];
    constexpr Utf7Base64Table() : value() {
        for (int i = 0; i < 256; ++i)
            value[i] = -1;
        for (int i = 0; i < 26; ++i) {
            value['A' + i] = static_cast<signed char>(i);
            value['a' + i] = static_cast<signed char>(26 + i);
        }
        for (int i = 0; i < 10; ++i)
            value['0' + i] = static_cast<signed char>(52 + i);
        value[0x2B] = 62; // '+'
        value[0x2F] = 63; // '/'
        value[0x2D] = -2; // '-'
    }
} utf7_base64_decode;

constexpr bool isHighSurrogate(std::uint32_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}

constexpr bool isLowSurrogate(std::uint32_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

constexpr wchar_t combineSurrogates(std::uint32_t high, std::uint32_t low) {
    return static_cast<wchar_t>(0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00));
}

// A decoded 32-bit value that is not a Unicode scalar value becomes U+FFFD, so no caller
// ever sees a surrogate, a value beyond the code space or a negative wchar_t.
constexpr wchar_t scalarOrReplacement(std::uint32_t v) {
    if (v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF))
        return replacementChar;
    return static_cast<wchar_t>(v);
}

// The bytes a decoder reads, and where the text starts: past a byte order mark of the
// decoder's own form, which is not part of the text.
struct Input {
    const Byte *p;
    std::size_t n;
    std::size_t start;
};

Input inputOf(const std::string &bytes, UnicodeEncoding form) {
    const std::size_t mark = checkForBOM(bytes) == form ? static_cast<std::size_t>(bomSize[form]) : 0;
    return {bytesOf(bytes), bytes.size(), mark};
}

// Code units of UTF-16 (read from bytes or from a UTF-7 run) to code points: a high
// surrogate followed by a low one gives one supplementary character, an unpaired half
// gives U+FFFD.
class SurrogateJoiner {
public:
    explicit SurrogateJoiner(wchar_t *out) : m_out(out) {}

    void put(std::uint32_t unit) {
        if (m_high) {
            if (isLowSurrogate(unit)) {
                *m_out++ = combineSurrogates(m_high, unit);
                m_high = 0;
                return;
            }
            *m_out++ = replacementChar;
            m_high = 0;
        }
        if (isHighSurrogate(unit))
            m_high = unit;
        else if (isLowSurrogate(unit))
            *m_out++ = replacementChar;
        else
            *m_out++ = static_cast<wchar_t>(unit);
    }

    // Ends a stretch of units: a high surrogate still waiting has lost its partner.
    void flush() {
        if (m_high) {
            *m_out++ = replacementChar;
            m_high = 0;
        }
    }

    void putChar(wchar_t c) {
        flush();
        *m_out++ = c;
    }

    [[nodiscard]] wchar_t *end() const { return m_out; }

private:
    wchar_t *m_out;
    std::uint32_t m_high = 0;
};

template <bool BigEndian> std::wstring decodeUTF16(const std::string &bytes) {
    const auto [p, n, start] = inputOf(bytes, BigEndian ? UTF16BE : UTF16LE);
    std::wstring out;
    // At most one character per code unit, plus one for an odd last byte.
    out.resize((n - start) / 2 + 1);
    SurrogateJoiner joiner(out.data());
    std::size_t i = start;
    for (; n - i >= 2; i += 2) {
        const std::uint32_t unit = BigEndian ? (p[i] << 8 | p[i + 1]) : (p[i + 1] << 8 | p[i]);
        joiner.put(unit);
    }
    joiner.flush();
    if (i < n)
        joiner.putChar(replacementChar);
    out.resize(static_cast<std::size_t>(joiner.end() - out.data()));
    return out;
}

template <bool BigEndian> std::wstring decodeUTF32(const std::string &bytes) {
    const auto [p, n, start] = inputOf(bytes, BigEndian ? UTF32BE : UTF32LE);
    std::wstring out;
    out.reserve(n / 4 + 1);
    std::size_t i = start;
    for (; n - i >= 4; i += 4) {
        const std::uint32_t v = BigEndian ? (std::uint32_t(p[i]) << 24 | std::uint32_t(p[i + 1]) << 16 |
                                             std::uint32_t(p[i + 2]) << 8 | p[i + 3])
                                          : (std::uint32_t(p[i + 3]) << 24 | std::uint32_t(p[i + 2]) << 16 |
                                             std::uint32_t(p[i + 1]) << 8 | p[i]);
        out.push_back(scalarOrReplacement(v));
    }
    if (i < n)
        out.push_back(replacementChar);
    return out;
}

} // namespace

UnicodeEncoding checkForBOM(const std::string &bytes) {
    const Byte *p = bytesOf(bytes);
    const std::size_t n = bytes.size();
    if (n >= 4) {
        if (p[0] == 0x2B && p[1] == 0x2F && p[2] == 0x76 && p[3] == 0x38)
            return UTF7;
        if (p[0] == 0x00 && p[1] == 0x00 && p[2] == 0xFE && p[3] == 0xFF)
            return UTF32BE;
        if (p[0] == 0xFF && p[1] == 0xFE && p[2] == 0x00 && p[3] == 0x00)
            return UTF32LE;
    }
    if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF)
        return UTF8;
    if (n >= 2) {
        if (p[0] == 0xFF && p[1] == 0xFE)
            return UTF16LE;
        if (p[0] == 0xFE && p[1] == 0xFF)
            return UTF16BE;
    }
    return NoEncoding;
}

std::wstring decodeUTF8(const std::string &bytes) {
    const auto [p, n, start] = inputOf(bytes, UTF8);
    std::size_t i = start;
    std::wstring out;
    out.reserve(n - i);
    // Characters are staged in a small buffer and appended in blocks, as in
    // convertFixed8BitString.
    constexpr std::size_t stageSize = 1024;
    wchar_t stage[stageSize];
    wchar_t *o = stage;
    while (i < n) {
        if (o > stage + stageSize - 16) {
            out.append(stage, static_cast<std::size_t>(o - stage));
            o = stage;
        }
        // Most mail text is ASCII: take sixteen bytes at a time while none has its top bit.
        if (n - i >= 16) {
            unsigned char chunk[16];
            std::memcpy(chunk, p + i, 16);
            std::uint64_t a, b;
            std::memcpy(&a, chunk, 8);
            std::memcpy(&b, chunk + 8, 8);
            if (!((a | b) & 0x8080808080808080ULL)) {
                for (int k = 0; k < 16; ++k)
                    o[k] = chunk[k];
                o += 16;
                i += 16;
                continue;
            }
        }
        const std::uint32_t lead = p[i];
        if (lead < 0x80) {
            *o++ = static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        // The common well-formed two- and three-byte characters take a short path; all
        // else goes the general way below.
        if (lead >= 0xC2 && lead <= 0xDF && n - i >= 2 && (p[i + 1] & 0xC0) == 0x80) {
            *o++ = static_cast<wchar_t>((lead & 0x1F) << 6 | (p[i + 1] & 0x3F));
            i += 2;
            continue;
        }
        if ((lead & 0xF0) == 0xE0 && n - i >= 3 && (p[i + 1] & 0xC0) == 0x80 && (p[i + 2] & 0xC0) == 0x80) {
            const std::uint32_t v = (lead & 0x0F) << 12 | (p[i + 1] & 0x3F) << 6 | (p[i + 2] & 0x3F);
            if (v >= 0x800 && (v < 0xD800 || v > 0xDFFF)) {
                *o++ = static_cast<wchar_t>(v);
                i += 3;
                continue;
            }
        }
        if (lead >= 0xFE || (lead & 0xC0) == 0x80) {
            *o++ = replacementChar;
            ++i;
            continue;
        }
        const std::size_t extra = lead >= 0xFC   ? 5
                                  : lead >= 0xF8 ? 4
                                  : lead >= 0xF0 ? 3
                                  : lead >= 0xE0 ? 2
                                                 : 1;
        if (n - i - 1 < extra) {
            *o++ = replacementChar;
            ++i;
            continue;
        }
        std::uint32_t value = lead & (0x7Fu >> (extra + 1));
        ++i;
        bool broken = false;
        for (std::size_t k = 0; k < extra; ++k) {
            const Byte b = p[i];
            if ((b & 0xC0) == 0x80) {
                value = value << 6 | (b & 0x3F);
                ++i;
            } else {
                // FE and FF can start nothing, so they go with the broken sequence; any
                // other byte is read again as the start of the next character.
                if (b >= 0xFE)
                    ++i;
                broken = true;
                break;
            }
        }
        static constexpr std::uint32_t smallest[6] = {0, 0x80, 0x800, 0x10000, 0x110000, 0x110000};
        if (broken || value < smallest[extra])
            *o++ = replacementChar;
        else
            *o++ = scalarOrReplacement(value);
    }
    out.append(stage, static_cast<std::size_t>(o - stage));
    return out;
}

std::wstring decodeUTF16LE(const std::string &bytes) {
    return decodeUTF16<false>(bytes);
}

std::wstring decodeUTF16BE(const std::string &bytes) {
    return decodeUTF16<true>(bytes);
}

std::wstring decodeUTF32LE(const std::string &bytes) {
    return decodeUTF32<false>(bytes);
}

std::wstring decodeUTF32BE(const std::string &bytes) {
    return decodeUTF32<true>(bytes);
}

std::wstring decodeUTF7(const std::string &bytes) {
    const auto [p, n, start] = inputOf(bytes, UTF7);
    std::size_t i = start;
    // The mark is a Base64 run of its own, "+/v8-": the hyphen that closes it belongs to
    // the mark, not to the text.
    if (start > 0 && i < n && p[i] == '-')
        ++i;
    std::wstring out;
    out.resize(n - i);
    SurrogateJoiner joiner(out.data());
    while (i < n) {
        const Byte c = p[i++];
        if (c != '+') {
            joiner.putChar(c);
            continue;
        }
        if (i == n)
            break;
        if (p[i] == '-') {
            joiner.putChar(L'+');
            ++i;
            continue;
        }
        // A Base64 run of UTF-16 code units. The buffer never holds more than 21 bits:
        // 16 are taken out as soon as that many have arrived.
        std::uint32_t buffer = 0;
        int bits = 0;
        while (i < n) {
            const int v = utf7_base64_decode.value[p[i]];
            if (v < 0) {
                if (v == -2)
                    ++i;
                break;
            }
            ++i;
            buffer = buffer << 6 | static_cast<std::uint32_t>(v);
            bits += 6;
            if (bits >= 16) {
                bits -= 16;
                joiner.put((buffer >> bits) & 0xFFFF);
                buffer &= (1u << bits) - 1;
            }
        }
        joiner.flush();
    }
    joiner.flush();
    out.resize(static_cast<std::size_t>(joiner.end() - out.data()));
    return out;
}

std::wstring decodeLatin1(const std::string &bytes) {
    // The single-byte decoder without a table leaves every byte as it is.
    return convertFixed8BitString(bytes, nullptr);
}

std::wstring decodeUnicode(const std::string &bytes, UnicodeEncoding encoding) {
    switch (encoding) {
    case UTF7:
        return decodeUTF7(bytes);
    case UTF8:
        return decodeUTF8(bytes);
    case UTF16LE:
        return decodeUTF16LE(bytes);
    case UTF16BE:
        return decodeUTF16BE(bytes);
    case UTF32LE:
        return decodeUTF32LE(bytes);
    case UTF32BE:
        return decodeUTF32BE(bytes);
    default:
        return decodeLatin1(bytes);
    }
}

std::string &encodeUTF8Char(std::string &out, wchar_t value) {
    std::uint32_t v = static_cast<std::uint32_t>(value);
    if (value < 0 || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF) || v == 0xFFFE || v == 0xFFFF)
        v = static_cast<std::uint32_t>(replacementChar);
    if (v < 0x80) {
        out.push_back(static_cast<char>(v));
    } else if (v < 0x800) {
        const char b[2] = {static_cast<char>(0xC0 | v >> 6), static_cast<char>(0x80 | (v & 0x3F))};
        out.append(b, 2);
    } else if (v < 0x10000) {
        const char b[3] = {static_cast<char>(0xE0 | v >> 12), static_cast<char>(0x80 | (v >> 6 & 0x3F)),
                           static_cast<char>(0x80 | (v & 0x3F))};
        out.append(b, 3);
    } else {
        const char b[4] = {static_cast<char>(0xF0 | v >> 18), static_cast<char>(0x80 | (v >> 12 & 0x3F)),
                           static_cast<char>(0x80 | (v >> 6 & 0x3F)), static_cast<char>(0x80 | (v & 0x3F))};
        out.append(b, 4);
    }
    return out;
}

std::string encodeUTF8(const std::wstring &text) {
    std::string out;
    out.reserve(text.size() * 4 / 3);
    for (wchar_t c : text)
        encodeUTF8Char(out, c);
    return out;
}

} // namespace Charsets::UnicodeCoders
