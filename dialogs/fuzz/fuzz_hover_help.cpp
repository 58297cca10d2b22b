// The hover-help reader on any bytes: it either refuses them or gives a map, and every text
// it gives came out of the input.

#include "panel_help.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QMap<QString, QString>> texts = readHoverHelp(bytes);
    if (!texts)
        return 0;
    // A parsed document has at least its root element, so no map can come from nothing.
    if (size == 0)
        std::abort();
    return 0;
}
