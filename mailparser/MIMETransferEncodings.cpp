#include "MIMETransferEncodings.h"

#include "cpp/AsciiText.h"
#include "cpp/CUtils.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace MailParser::MIMETransferEncodings {

namespace {

constexpr char base64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char hexDigits[] = "0123456789ABCDEF";

constexpr signed char notBase64 = -1;
constexpr signed char base64Pad = -2;

constexpr std::array<signed char, 256> makeBase64Table() {
    std::array<signed char, 256> t{};
    for (auto &v : t)
        v = notBase64;
    for (int i = 0; i < 64; ++i)
        t[static_cast<unsigned char>(base64Alphabet[i])] = static_cast<signed char>(i);
    t['='] = base64Pad;
    return t;
}

constexpr std::array<signed char, 256> base64Table = makeBase64Table();

// Bytes the quoted-printable decoder must look at: "=", blanks and CR.
constexpr std::array<bool, 256> qpSpecial = [] {
    std::array<bool, 256> t{};
    t['='] = t[' '] = t['\t'] = t['\r'] = true;
    return t;
}();

// 6-bit value of a uuencoded character: the blank and the backquote both stand for 0.
constexpr unsigned uuValue(unsigned char c) {
    return (c - 32u) & 63u;
}

bool isUUFrameLine(std::string_view line) {
    if (line.starts_with("begin ") || line == "begin")
        return true;
    while (!line.empty() && Ascii::isBlank(line.back()))
        line.remove_suffix(1);
    return line == "end";
}

void decodeUULine(std::string_view line, std::string &out) {
    const unsigned count = uuValue(static_cast<unsigned char>(line[0]));
    if (count == 0)
        return;
    const std::string_view chars = line.substr(1);
    // A line that lost its trailing blanks decodes as if they were there.
    auto at = [&chars](std::size_t k) -> unsigned {
        return k < chars.size() ? uuValue(static_cast<unsigned char>(chars[k])) : 0u;
    };
    unsigned produced = 0;
    for (std::size_t k = 0; produced < count; k += 4) {
        const unsigned a = at(k), b = at(k + 1), c = at(k + 2), d = at(k + 3);
        const unsigned char bytes[3] = {static_cast<unsigned char>((a << 2) | (b >> 4)),
                                        static_cast<unsigned char>(((b & 15u) << 4) | (c >> 2)),
                                        static_cast<unsigned char>(((c & 3u) << 6) | d)};
        for (int j = 0; j < 3 && produced < count; ++j, ++produced)
            out += static_cast<char>(bytes[j]);
    }
}

} // namespace

std::string transferEncodingName(TransferEncoding encoding) {
    switch (encoding) {
    case SevenBit:
        return "7bit";
    case EightBit:
        return "8bit";
    case QuotedPrintable:
        return "quoted-printable";
    case Base64:
        return "base64";
    case UUEncode:
        return "x-uuencode";
    default:
        return "unknown";
    }
}

TransferEncoding findTransferEncoding(const std::string &text) {
    const std::string_view name = Ascii::trim(text);
    if (name.empty() || Ascii::equalsI(name, "8bit") || Ascii::equalsI(name, "binary"))
        return EightBit;
    if (Ascii::equalsI(name, "7bit"))
        return SevenBit;
    if (Ascii::equalsI(name, "quoted-printable"))
        return QuotedPrintable;
    if (Ascii::equalsI(name, "base64"))
        return Base64;
    if (Ascii::equalsI(name, "x-uuencode") || Ascii::equalsI(name, "x-uue") ||
        Ascii::equalsI(name, "uuencode"))
        return UUEncode;
    return Unknown;
}

std::string decode(TransferEncoding encoding, const std::string &data) {
    switch (encoding) {
    case Base64:
        return decodeBase64(data);
    case UUEncode:
        return decodeUUEncoding(data);
    case QuotedPrintable:
        return decodeQuotedPrintable(data);
    default:
        return data;
    }
}

std::string decodeBase64(const std::string &data) {
    // Every four accepted characters give at most three bytes, so the output fits.
    std::string out(data.size() / 4 * 3 + 3, '\0');
    auto *o = reinterpret_cast<unsigned char *>(out.data());
    const auto *p = reinterpret_cast<const unsigned char *>(data.data());
    const auto *const end = p + data.size();
    std::uint32_t acc = 0;
    unsigned count = 0, pad = 0;
    while (p != end) {
        // Whole groups of alphabet characters take the short road.
        if (count == 0 && end - p >= 4) {
            const int a = base64Table[p[0]], b = base64Table[p[1]], c = base64Table[p[2]],
                      d = base64Table[p[3]];
            if ((a | b | c | d) >= 0) {
                const std::uint32_t v = (std::uint32_t(a) << 18) | (std::uint32_t(b) << 12) |
                                        (std::uint32_t(c) << 6) | std::uint32_t(d);
                o[0] = static_cast<unsigned char>(v >> 16);
                o[1] = static_cast<unsigned char>(v >> 8);
                o[2] = static_cast<unsigned char>(v);
                o += 3;
                p += 4;
                continue;
            }
        }
        int v = base64Table[*p++];
        if (v == notBase64)
            continue;
        if (v == base64Pad) {
            ++pad;
            v = 0;
        }
        acc = (acc << 6) | static_cast<std::uint32_t>(v);
        if (++count == 4) {
            *o++ = static_cast<unsigned char>(acc >> 16);
            if (pad <= 1)
                *o++ = static_cast<unsigned char>(acc >> 8);
            if (pad == 0)
                *o++ = static_cast<unsigned char>(acc);
            acc = 0;
            count = 0;
            pad = 0;
        }
    }
    out.resize(static_cast<std::size_t>(o - reinterpret_cast<unsigned char *>(out.data())));
    return out;
}

std::string decodeQuotedPrintable(const std::string &data) {
    // Nothing decodes to more bytes than it took.
    const std::size_t n = data.size();
    std::string out(n, '\0');
    char *o = out.data();
    const char *d = data.data();
    std::size_t i = 0;
    while (i < n) {
        // Runs of ordinary bytes are copied in a tight loop.
        while (i < n && !qpSpecial[static_cast<unsigned char>(d[i])])
            *o++ = d[i++];
        if (i == n)
            break;
        const char c = d[i];
        if (c == '=') {
            if (i + 1 == n) {
                *o++ = '=';
                ++i;
                continue;
            }
            const int h1 = hexDigitValue(static_cast<unsigned char>(d[i + 1]));
            if (h1 >= 0) {
                const int h2 = i + 2 < n ? hexDigitValue(static_cast<unsigned char>(d[i + 2])) : -1;
                if (h2 >= 0) {
                    *o++ = static_cast<char>(h1 * 16 + h2);
                    i += 3;
                } else {
                    // A lone digit is kept: "=" now, the digit as an ordinary byte next.
                    *o++ = '=';
                    ++i;
                }
                continue;
            }
            std::size_t j = i + 1;
            while (j < n && Ascii::isBlank(d[j]))
                ++j;
            if (j + 1 < n && d[j] == '\r' && d[j + 1] == '\n') {
                i = j + 2; // soft line break
                continue;
            }
            *o++ = '=';
            ++i;
            continue;
        }
        if (Ascii::isBlank(c)) {
            std::size_t j = i;
            while (j < n && Ascii::isBlank(d[j]))
                ++j;
            if (!(j + 1 < n && d[j] == '\r' && d[j + 1] == '\n')) {
                for (; i < j; ++i)
                    *o++ = d[i];
            }
            i = j;
            continue;
        }
        if (c == '\r' && i + 2 == n && d[i + 1] == '\n')
            break;
        *o++ = c;
        ++i;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

std::string decodeUUEncoding(const std::string &data) {
    std::string out;
    out.reserve(data.size() / 4 * 3);
    const std::string_view all(data);
    std::size_t pos = 0;
    for (;;) {
        const std::size_t eol = all.find("\r\n", pos);
        if (eol == std::string_view::npos)
            break;
        const std::string_view line = all.substr(pos, eol - pos);
        pos = eol + 2;
        if (line.empty() || isUUFrameLine(line))
            continue;
        decodeUULine(line, out);
    }
    return out;
}

std::string encodeBase64(const std::string &data) {
    std::string out;
    out.reserve(data.size() / 3 * 4 + data.size() / 57 + 5);
    const auto *p = reinterpret_cast<const unsigned char *>(data.data());
    const std::size_t full = data.size() / 3;
    unsigned lineLength = 0;
    for (std::size_t g = 0; g < full; ++g, p += 3) {
        const std::uint32_t v = (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2];
        out += base64Alphabet[(v >> 18) & 63];
        out += base64Alphabet[(v >> 12) & 63];
        out += base64Alphabet[(v >> 6) & 63];
        out += base64Alphabet[v & 63];
        lineLength += 4;
        if (lineLength == 76) {
            out += '\n';
            lineLength = 0;
        }
    }
    const std::size_t rest = data.size() - full * 3;
    if (rest == 1) {
        out += base64Alphabet[p[0] >> 2];
        out += base64Alphabet[(p[0] & 3) << 4];
        out += "==";
    } else if (rest == 2) {
        out += base64Alphabet[p[0] >> 2];
        out += base64Alphabet[((p[0] & 3) << 4) | (p[1] >> 4)];
        out += base64Alphabet[(p[1] & 15) << 2];
        out += '=';
    }
    return out;
}

std::string encodeQuotedPrintable(const std::string &data) {
    std::string out;
    out.reserve(data.size() * 2);
    const std::size_t n = data.size();
    unsigned count = 0;
    auto writeHex = [&](unsigned char c) {
        out += '=';
        out += hexDigits[c >> 4];
        out += hexDigits[c & 15];
        count += 3;
    };
    for (std::size_t i = 0; i < n; ++i) {
        if (count > 71) {
            out += "=\r\n";
            count = 0;
        }
        const auto c = static_cast<unsigned char>(data[i]);
        if (c == '\r' && i + 1 < n && data[i + 1] == '\n') {
            out += "\r\n";
            ++i;
            count = 0;
        } else if (c >= '!' && c <= '~' && c != '=') {
            out += static_cast<char>(c);
            ++count;
        } else if (c == ' ' || c == '\t') {
            // Blanks before a line end would be lost in transport, so those are encoded.
            const bool atLineEnd = i + 1 == n || data[i + 1] == '\r' || (i + 2 < n && data[i + 2] == '\n');
            if (atLineEnd) {
                writeHex(c);
            } else {
                out += static_cast<char>(c);
                ++count;
            }
        } else {
            writeHex(c);
        }
    }
    return out;
}

} // namespace MailParser::MIMETransferEncodings
