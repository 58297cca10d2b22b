#include "TextCase.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// A-Z and the Latin-1 capitals (U+00C0 to U+00DE but the multiplication sign).
constexpr bool isLatin1Upper(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= 0xc0 && c <= 0xde && c != 0xd7);
}

} // namespace

QString TextCase::lowered(const QString &text) {
    const qsizetype size = text.size();
    const char16_t *in = reinterpret_cast<const char16_t *>(text.constData());
    QString out(size, Qt::Uninitialized);
    char16_t *to = reinterpret_cast<char16_t *>(out.data());
    // The table is applied in one pass while the characters seen are or-ed together: a
    // character above U+00FF leaves a bit above the low byte, and then the full rules lower
    // the text instead. Bodies are long, so eight characters go at a time.
    unsigned int seen = 0;
    qsizetype i = 0;
#ifdef __SSE2__
    __m128i seenV = _mm_setzero_si128();
    const __m128i capitalA = _mm_set1_epi16(u'A');
    const __m128i latin1Capital = _mm_set1_epi16(0xc0);
    const __m128i times = _mm_set1_epi16(0xd7);
    const __m128i zero = _mm_setzero_si128();
    const __m128i caseBit = _mm_set1_epi16(0x20);
    for (; i + 8 <= size; i += 8) {
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + i));
        seenV = _mm_or_si128(seenV, c);
        // Unsigned c - first <= span holds where the saturating subtraction leaves zero.
        const __m128i ascii =
            _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(c, capitalA), _mm_set1_epi16(25)), zero);
        const __m128i latin1 = _mm_andnot_si128(
            _mm_cmpeq_epi16(c, times),
            _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(c, latin1Capital), _mm_set1_epi16(0x1e)), zero));
        const __m128i lower = _mm_add_epi16(c, _mm_and_si128(_mm_or_si128(ascii, latin1), caseBit));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to + i), lower);
    }
    alignas(16) char16_t lanes[8];
    _mm_store_si128(reinterpret_cast<__m128i *>(lanes), seenV);
    for (char16_t lane : lanes)
        seen |= lane;
#endif
    for (; i < size; ++i) {
        const char16_t c = in[i];
        seen |= c;
        to[i] = isLatin1Upper(c) ? char16_t(c + 0x20) : c;
    }
    if (seen > 0xff)
        return text.toLower();
    return out;
}
