// Messages of any bytes through loading and the scanner, with pattern filters on the
// header and the body and the lookups off: no crash, and every verdict is a known one.
#include "VLScanner.h"

#include "data/data_email.h"
#include "data/store.h"
#include "data/store_list_filters.h"
#include "data/store_list_matches.h"
#include "data/store_tools.h"

#include <cstdint>
#include <cstdlib>

namespace {

void setUp() {
    qputenv("VL_NO_SAVE", "1");
    Store::setDataDir(QStringLiteral("/nonexistent-vl-fuzz"));
    DataTools &tools = *StoreTools::tools();
    tools.origin.checkDNS = false;
    tools.tm.enableTM = false;
    tools.learning.learn.teach = false;
    DataListEmailFilter &filters = *StoreListEmailFilter::filter();
    const struct {
        int header;
        int match;
        const char *text;
        bool first;
    } rules[] = {
        {2, 4, "(v[i1]agra|ch(ea|ee)p)+", true},
        {5, 4, "([a-z]+\\s*){3,}=\\?", false},
        {7, 5, "^Received:.*$", false},
        {5, 1, "unsubscribe", false},
    };
    for (const auto &r : rules) {
        DataEmailFilter f;
        f.filterName = QString::fromLatin1(r.text);
        f.precOverFriends = r.first;
        f.allOrAny = 1;
        f.rules.append(DataEmailFilterRule(r.header, r.match, QString::fromLatin1(r.text)));
        filters.filters.append(f);
    }
    DataEmailMatch wild;
    wild.wildcard = true;
    wild.address = QStringLiteral("*@*.example.+");
    StoreListEmailMatch::friends()->entries.append(wild);
    DataEmailMatch plain;
    plain.address = QStringLiteral("bad@example.net");
    StoreListEmailMatch::blacklist()->entries.append(plain);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    static const bool ready = (setUp(), true);
    (void)ready;
    DataEmailMessage message;
    message.loadEmail(SODataArray(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))));
    DataEmailStatus status;
    VLScanner::self().scan(message, status);
    // The scan gives no class of a late answer (DNS blacklist, community service).
    if (status.klass < DataEmailStatus::KlassNone || status.klass > DataEmailStatus::KlassFilter ||
        status.virusProb < 0 || status.virusProb > 1)
        std::abort();
    return 0;
}
