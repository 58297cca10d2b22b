// Log lines of any bytes: the pieces joined by '&' give the line back (up to a NUL, without
// a final '\n'), and nothing is read outside the buffer.
#include "data.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::vector<char> buffer(data, data + size); // exactly the line: no terminating NUL
    QList<QByteArray> fields;
    Data::splitLine(buffer.data(), long(size), fields);

    QByteArray expected(reinterpret_cast<const char *>(data), qsizetype(size));
    if (expected.endsWith('\n'))
        expected.chop(1);
    const qsizetype nul = expected.indexOf('\0');
    if (nul >= 0)
        expected.truncate(nul);
    if (fields.isEmpty() || fields.join('&') != expected || fields.size() != expected.count('&') + 1)
        abort();
    return 0;
}
