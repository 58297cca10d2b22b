// The seen list's file reader on any bytes: whatever it takes in, the file it then writes
// reads back and writes out the same again.

#include "FuzzDataFolder.h"

#include "app/vl_seen_email_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzSupport::plant("seenemail", data, size);
    VLSeenEmailList *seen = VLSeenEmailList::self();
    seen->load();
    seen->dump();
    const QByteArray first = FuzzSupport::current("seenemail");
    for (const QByteArray &line : first.split('\n')) {
        if (line.size() >= VLSeenEmailList::MaxLine)
            std::abort();
    }
    if (!seen->load().isNull())
        std::abort();
    seen->dump();
    if (FuzzSupport::current("seenemail") != first)
        std::abort();
    return 0;
}
