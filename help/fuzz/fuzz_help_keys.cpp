// Bytes as they arrive on the help link: a control byte before each piece tells its length,
// so one input plays many ways of splitting the same stream; a control byte with the high
// bit set feeds a run of filler instead, so short inputs reach over-long lines. Every line
// handed out must be complete and within the limit.
#include "help/keyreader.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    SOHelpKeyReader reader;
    size_t at = 0;
    while (at < size) {
        const uint8_t control = data[at++];
        if (control & 0x80) {
            (void)reader.feed(QByteArray(qsizetype(control & 0x7f) * 64 + 1, 'x'));
            continue;
        }
        const size_t piece = 1 + size_t(control) * 32;
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
