// The pages of the web-mail gateway: the inbox location, the multistatus listing and the
// answer to a move.

#include "SOHotDAV.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray page(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)SOHotDAV::inboxAddress(QString::fromLatin1(page));
    QStringList hrefs;
    QList<qint64> sizes;
    if (SOHotDAV::readListing(page, hrefs, &sizes) && sizes.size() != hrefs.size())
        std::abort(); // one size for every address
    (void)SOHotDAV::failedStatus(page);
    return 0;
}
