// The HTTP response reader: status lines, headers, lengths and chunks, fed in pieces whose
// size the first input byte chooses, then the end of the stream.

#include "SOHTTPResponse.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1)
        return 0;
    const qsizetype piece = 1 + data[0] % 64;
    const char *bytes = reinterpret_cast<const char *>(data + 1);
    const qsizetype length = qsizetype(size - 1);
    SOHTTPResponse r;
    r.reset(data[0] & 0x80);
    SOHTTPResponse::Result result = SOHTTPResponse::NeedMore;
    for (qsizetype pos = 0; pos < length && result == SOHTTPResponse::NeedMore; pos += piece)
        result = r.feed(bytes + pos, std::min(piece, length - pos));
    if (result == SOHTTPResponse::NeedMore)
        result = r.finish();
    // Every stream ends one way or the other, and a page never grows beyond its bound.
    if (result == SOHTTPResponse::NeedMore || r.body().size() > SOHTTPResponse::kMaxPage)
        std::abort();
    if (result == SOHTTPResponse::Failed && r.error().isEmpty())
        std::abort();
    return 0;
}
