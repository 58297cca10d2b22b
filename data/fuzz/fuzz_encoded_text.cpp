// getEncodedText and the two word decoders on any bytes.

#include "data_email.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray value(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)getEncodedText(value);

    // The decoders never write more than they read.
    std::vector<unsigned char> out(size + 4);
    if (kbB64Decode(data, int(size), out.data()) > int(size))
        std::abort();
    if (kbQPDecode(data, int(size), out.data()) > int(size))
        std::abort();
    return 0;
}
