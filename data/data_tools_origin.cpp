#include "data_tools_origin.h"

#include "record_fields_p.h"

namespace {

using S = RecordFields::Field<DataToolsOriginServer>;
const S kServerFields[] = {
    {"disabled", &DataToolsOriginServer::disabled},
    {"serviceName", &DataToolsOriginServer::serviceName},
    {"domainName", &DataToolsOriginServer::domainName},
};

const RecordFields::Field<DataToolsOrigin> kDataToolsOriginFields[] = {
    {"checkDNS", &DataToolsOrigin::checkDNS},
    {"addToBlacklist", &DataToolsOrigin::addToBlacklist},
    {"markForDeletion", &DataToolsOrigin::markForDeletion},
    {"markForBouncing", &DataToolsOrigin::markForBouncing},
    {"displayOrHide", &DataToolsOrigin::displayOrHide},
    {"whence", &DataToolsOrigin::whence},
};

} // namespace

DataToolsOriginServer::DataToolsOriginServer() {
    name = "DataToolsOriginServer";
    clear();
}

DataToolsOriginServer::DataToolsOriginServer(const QDomElement &element) {
    name = "DataToolsOriginServer";
    clear();
    setup(element);
}

VL_RECORD_FROM_TABLE(DataToolsOriginServer, kServerFields)

DataToolsOrigin::DataToolsOrigin() {
    name = "DataToolsOrigin";
    clear();
}

VL_RECORD_WITH_LIST_FROM_TABLE(DataToolsOrigin, kDataToolsOriginFields, DNSRBLServers, "DNSRBLServers",
                               "toolsOriginServer")

void DataToolsOrigin::import(const QDomElement &oldRoot) {
    using namespace RecordFields;
    const QDomElement old = oldElement(oldRoot, "SpamOrigins");
    checkDNS = oldTrue(old, "IsOSEnableChecked");
    addToBlacklist = oldTrue(old, "IsOSBlackListChecked");
    markForDeletion = oldTrue(old, "IsOSMarkDeleteChecked");
    markForBouncing = oldTrue(old, "IsOSMarkBounceChecked");
    displayOrHide = oldTrue(old, "IsOSHideEmailChecked") ? 2 : 1;
    whence = oldTrue(old, "IsOSAutoProcessChecked") ? 2 : 1;
    // The previous version's server entries may stand anywhere in its file.
    const QDomNodeList servers = oldRoot.elementsByTagName(QStringLiteral("OSServer"));
    for (int i = 0; i < servers.count(); ++i) {
        const QDomElement e = servers.item(i).toElement();
        DataToolsOriginServer server;
        server.disabled = !oldTrue(e, "Enabled");
        server.serviceName = oldText(e, "ServerName");
        server.domainName = oldText(e, "ServerURL");
        DNSRBLServers.append(server);
    }
}
