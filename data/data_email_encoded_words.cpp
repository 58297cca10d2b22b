// Encoded words (RFC 2047) in header values, and the base64 and quoted-printable decoders
// they use.

#include "cpp/CUtils.h"
#include "data_email.h"
#include "data_email_p.h"

#include <QTextCodec>

#include <algorithm>
#include <cstdio>

// ---------------------------------------------------------------------------------------
// Encoded words (RFC 2047)

namespace {

enum : unsigned char { B64Skip = 0xff, B64Pad = 0xfe };

struct Base64Map {
    unsigned char v[256];
    constexpr Base64Map() : v() {
        for (int i = 0; i < 256; ++i)
            v[i] = B64Skip;
        const char *alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        for (int i = 0; i < 64; ++i)
            v[static_cast<unsigned char>(alphabet[i])] = static_cast<unsigned char>(i);
        v[static_cast<unsigned char>('=')] = B64Pad;
    }
};
constexpr Base64Map base64Map;

bool isLinearSpace(const QByteArray &s) {
    for (char c : s) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    }
    return true;
}

struct EncodedWord {
    qsizetype start = 0;
    qsizetype end = 0; // one past the closing "?="
    QByteArray charset;
    char encoding = 0;
    QByteArray text;
};

// Finds the next encoded word at or after from. noCloseFrom remembers the first position
// from which no "?=" follows, so a value full of "=?" is scanned once, not once per "=?".
bool nextEncodedWord(const QByteArray &v, qsizetype from, qsizetype &noCloseFrom, EncodedWord &w) {
    const qsizetype n = v.size();
    for (qsizetype p = v.indexOf("=?", from); p >= 0 && p < noCloseFrom; p = v.indexOf("=?", p + 1)) {
        qsizetype q = p + 2;
        while (q < n && v.at(q) != '?' && !isSpaceByte(v.at(q)))
            ++q;
        if (q == p + 2 || q + 2 >= n || v.at(q) != '?')
            continue;
        const char enc = v.at(q + 1);
        if (v.at(q + 2) != '?' || !(enc == 'Q' || enc == 'q' || enc == 'B' || enc == 'b'))
            continue;
        const qsizetype textStart = q + 3;
        const qsizetype close = v.indexOf("?=", textStart);
        if (close < 0) {
            noCloseFrom = textStart;
            return false;
        }
        w.start = p;
        w.end = close + 2;
        w.charset = v.mid(p + 2, q - p - 2);
        // RFC 2231 lets a language follow the charset: "utf-8*en".
        const qsizetype star = w.charset.indexOf('*');
        if (star >= 0)
            w.charset.truncate(star);
        w.encoding = enc;
        w.text = v.mid(textStart, close - textStart);
        return true;
    }
    return false;
}

QByteArray decodeWordText(const EncodedWord &w) {
    QByteArray out(w.text.size() + 4, '\0');
    const auto *src = reinterpret_cast<const unsigned char *>(w.text.constData());
    auto *dst = reinterpret_cast<unsigned char *>(out.data());
    const int got = (w.encoding == 'B' || w.encoding == 'b') ? kbB64Decode(src, int(w.text.size()), dst)
                                                             : kbQPDecode(src, int(w.text.size()), dst);
    out.truncate(got);
    return out;
}

QTextCodec *codecFor(const QByteArray &charset) {
    if (charset.isEmpty())
        return nullptr;
    return QTextCodec::codecForName(charset);
}

// A stateful charset (escapes or shifts) ends every encoded word in its initial state, so
// its words decode one by one: joined, the escape closing one word meets the escape opening
// the next, which strict decoders reject with a replacement character.
bool isStateful(const QTextCodec *codec) {
    // Codecs live as long as the process and most values keep to one charset, so the answer
    // for the last codec asked saves a name copy per word.
    thread_local const QTextCodec *last = nullptr;
    thread_local bool lastStateful = false;
    if (codec != last) {
        const QByteArray name = codec->name().toLower();
        lastStateful = name.startsWith("iso-2022") || name == "utf-7" || name == "hz-gb-2312";
        last = codec;
    }
    return lastStateful;
}

} // namespace

int hexval(int c) {
    // Callers check the digit first; anything else counts as 0.
    return std::max(0, hexDigitValue(c));
}

int kbB64Decode(const unsigned char *src, int count, unsigned char *dst) {
    int written = 0;
    unsigned int bits = 0;
    int values = 0; // values in the current group, pads included
    int pads = 0;   // pads in the current group
    auto flush = [&](int outBytes) {
        const unsigned char b[3] = {static_cast<unsigned char>(bits >> 16),
                                    static_cast<unsigned char>(bits >> 8), static_cast<unsigned char>(bits)};
        for (int i = 0; i < outBytes; ++i)
            dst[written++] = b[i];
    };
    for (int i = 0; i < count; ++i) {
        const unsigned char m = base64Map.v[src[i]];
        if (m == B64Skip)
            continue;
        bits <<= 6;
        if (m == B64Pad)
            ++pads;
        else
            bits |= m;
        if (++values == 4) {
            // Each group carries as many bytes as its pads leave room for.
            flush(std::max(0, 3 - pads));
            bits = 0;
            values = 0;
            pads = 0;
        }
    }
    // A final group that lost its padding still holds whole bytes.
    if (values >= 2) {
        const int missing = 4 - values;
        bits <<= 6 * missing;
        flush(std::max(0, 3 - pads - missing));
    }
    return written;
}

int kbQPDecode(const unsigned char *src, int count, unsigned char *dst) {
    int written = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned char c = src[i];
        if (c == '=' && i + 2 < count && isHex(src[i + 1]) && isHex(src[i + 2])) {
            dst[written++] = static_cast<unsigned char>(hexval(src[i + 1]) * 16 + hexval(src[i + 2]));
            i += 2;
        } else if (c == '_') {
            dst[written++] = ' ';
        } else {
            dst[written++] = c;
        }
    }
    return written;
}

QString getEncodedText(const QByteArray &value) {
    if (value.isEmpty())
        return QString::fromLatin1(value);
    qsizetype noCloseFrom = value.size();
    EncodedWord w;
    if (!nextEncodedWord(value, 0, noCloseFrom, w))
        return QString::fromLatin1(value);

    QString out;
    out.reserve(value.size());
    // Adjacent words of one charset are decoded together: a character may be split
    // between two words. Words of a stateful charset are whole and decode alone.
    QTextCodec *runCodec = nullptr;
    QByteArray runCharset;
    QByteArray runBytes;
    auto flushRun = [&]() {
        if (runCodec)
            out += runCodec->toUnicode(runBytes);
        runCodec = nullptr;
        runCharset.clear();
        runBytes.clear();
    };

    qsizetype pos = 0;
    bool found = true;
    bool lastWasWord = false; // the text before this point ended in a decoded word
    while (found) {
        QTextCodec *codec = codecFor(w.charset);
        const QByteArray between = value.mid(pos, w.start - pos);
        if (!(lastWasWord && codec && isLinearSpace(between))) {
            flushRun();
            out += QString::fromLatin1(between);
        }
        if (codec) {
            if (runCodec &&
                (qstricmp(runCharset.constData(), w.charset.constData()) != 0 || isStateful(codec)))
                flushRun();
            runCodec = codec;
            runCharset = w.charset;
            runBytes += decodeWordText(w);
            lastWasWord = true;
        } else {
            std::fprintf(stderr, "DataEmailMessage::getEncodedText: %s: no codec\n", w.charset.constData());
            flushRun();
            out += QString::fromLatin1(value.mid(w.start, w.end - w.start));
            lastWasWord = false;
        }
        pos = w.end;
        found = nextEncodedWord(value, pos, noCloseFrom, w);
    }
    flushRun();
    out += QString::fromLatin1(value.mid(pos));
    return out;
}
