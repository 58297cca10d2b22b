// The mail log's file reader on any bytes: whatever it takes in, the file it then writes
// reads back whole and writes out the same again.

#include "FuzzDataFolder.h"

#include "app/vl_history.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    FuzzSupport::plant("history", data, size);
    VLHistory *history = VLHistory::self();
    history->load();
    const qsizetype entries = history->emailList()->size();
    history->dump();
    const QByteArray first = FuzzSupport::current("history");
    if (!history->load().isNull() || history->emailList()->size() != entries)
        std::abort();
    history->dump();
    if (FuzzSupport::current("history") != first)
        std::abort();
    return 0;
}
