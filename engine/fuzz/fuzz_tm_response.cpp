// Community answers of any bytes: reading them never fails, and the upload envelope made
// from the same bytes is always well-formed XML that gives the text back.
#include "TMEnvelope.h"

#include <QXmlStreamReader>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)tmGetResponse(text);
    (void)tmGetResponse(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));

    QXmlStreamReader reader(tmMakeSOAPReport(text));
    while (!reader.atEnd())
        reader.readNext();
    if (reader.hasError())
        std::abort();
    return 0;
}
