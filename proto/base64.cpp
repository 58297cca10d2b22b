#include "base64_p.h"

#include <array>

namespace SOBase64 {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr int kSkip = -1;
constexpr int kPad = 64;

constexpr std::array<int, 256> decodeTable() {
    std::array<int, 256> t{};
    for (int &v : t)
        v = kSkip;
    for (int i = 0; i < 64; ++i)
        t[static_cast<unsigned char>(kAlphabet[i])] = i;
    t['='] = kPad;
    return t;
}

constexpr std::array<int, 256> kDecode = decodeTable();

} // namespace

unsigned int kbB64Encode(const unsigned char *in, unsigned int length, unsigned char *out) {
    unsigned int o = 0;
    unsigned int i = 0;
    for (; i + 3 <= length; i += 3) {
        const unsigned v = (unsigned(in[i]) << 16) | (unsigned(in[i + 1]) << 8) | in[i + 2];
        out[o++] = static_cast<unsigned char>(kAlphabet[(v >> 18) & 63]);
        out[o++] = static_cast<unsigned char>(kAlphabet[(v >> 12) & 63]);
        out[o++] = static_cast<unsigned char>(kAlphabet[(v >> 6) & 63]);
        out[o++] = static_cast<unsigned char>(kAlphabet[v & 63]);
    }
    if (length - i == 1) {
        const unsigned v = unsigned(in[i]) << 16;
        out[o++] = static_cast<unsigned char>(kAlphabet[(v >> 18) & 63]);
        out[o++] = static_cast<unsigned char>(kAlphabet[(v >> 12) & 63]);
        out[o++] = '=';
        out[o++] = '=';
    } else if (length - i == 2) {
        const unsigned v = (unsigned(in[i]) << 16) | (unsigned(in[i + 1]) << 8);
        out[o++] = static_cast<unsigned char>(kAlphabet[(v >> 18) & 63]);
        out[o++] = static_cast<unsigned char>(kAlphabet[(v >> 12) & 63]);
        out[o++] = static_cast<unsigned char>(kAlphabet[(v >> 6) & 63]);
        out[o++] = '=';
    }
    out[o] = 0;
    return o;
}

unsigned int kbB64Decode(const unsigned char *in, unsigned int length, unsigned char *out) {
    unsigned int o = 0;
    int group[4];
    int n = 0;
    for (unsigned int i = 0; i < length; ++i) {
        const int v = kDecode[in[i]];
        if (v == kSkip)
            continue;
        group[n++] = v;
        if (n < 4)
            continue;
        n = 0;
        const unsigned bits = (unsigned(group[0] & 63) << 18) | (unsigned(group[1] & 63) << 12) |
                              (unsigned(group[2] & 63) << 6) | unsigned(group[3] & 63);
        const int bytes = group[2] == kPad ? 1 : group[3] == kPad ? 2 : 3;
        out[o++] = static_cast<unsigned char>(bits >> 16);
        if (bytes > 1)
            out[o++] = static_cast<unsigned char>(bits >> 8);
        if (bytes > 2)
            out[o++] = static_cast<unsigned char>(bits);
    }
    return o;
}

} // namespace SOBase64
