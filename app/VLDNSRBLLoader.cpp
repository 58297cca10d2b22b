#include "VLDNSRBLLoader.h"

#include "data/data_tools_origin.h"
#include "data/store_tools.h"
#include "engine/VLDNSRBL.h"

#include <QObject>

namespace VLDNSRBLLoader {

QStringList rblList(const DataToolsOrigin &origin) {
    QStringList list;
    for (const DataToolsOriginServer &server : origin.DNSRBLServers) {
        // A server without a zone would send the lookup to the root of the DNS.
        if (server.disabled || server.domainName.trimmed().isEmpty())
            continue;
        list << server.serviceName << server.domainName;
    }
    return list;
}

void loadDNSRBL() {
    VLDNSRBL::self().setRBLList(rblList(StoreTools::tools()->origin));
}

QMetaObject::Connection follow(QObject *context) {
    return QObject::connect(StoreTools::tools(), &Store::changed, context, &loadDNSRBL, Qt::QueuedConnection);
}

} // namespace VLDNSRBLLoader
