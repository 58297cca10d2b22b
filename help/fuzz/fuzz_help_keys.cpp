// Bytes as they arrive on the help link: the first byte of each piece tells the piece's
// length, so one input plays many ways of splitting the same stream. Every line handed out
// must be complete and within the limit, and what is held back stays bounded.
#include "help/keyreader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const bool quiet = freopen("/dev/null", "w", stderr) != nullptr;
    (void)quiet;
    SOHelpKeyReader reader;
    size_t at = 0;
    while (at < size) {
        const size_t piece = 1 + size_t(data[at]) * 32;
        ++at;
        const size_t take = piece < size - at ? piece : size - at;
        const QByteArray bytes(reinterpret_cast<const char *>(data + at), qsizetype(take));
        at += take;
        for (const QByteArray &line : reader.feed(bytes)) {
            if (line.contains('\n') || line.size() > SOHelpKeyReader::MaxLine)
                std::abort();
        }
    }
    return 0;
}
