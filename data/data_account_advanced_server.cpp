#include "data_account_advanced_server.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataAccountAdvancedServer> kDataAccountAdvancedServerFields[] = {
    {"portNumber", &DataAccountAdvancedServer::portNumber},
    {"useSSL", &DataAccountAdvancedServer::useSSL},
    {"useSecureAuth", &DataAccountAdvancedServer::useSecureAuth},
    {"authType", &DataAccountAdvancedServer::authType},
};
} // namespace

DataAccountAdvancedServer::DataAccountAdvancedServer() {
    name = "DataAccountAdvancedServer";
    DataAccountAdvancedServer::clear();
}

void DataAccountAdvancedServer::clear() {
    RecordFields::clear(*this, kDataAccountAdvancedServerFields);
}

// print is headed by the protocol's class name.
VL_RECORD_IO_FROM_TABLE(DataAccountAdvancedServer, kDataAccountAdvancedServerFields, name)

void DataAccountAdvancedServer::import(const QDomElement &item) {
    using namespace RecordFields;
    portNumber = oldInt(item, "IncomingPortNumber");
    useSSL = oldInt(item, "IsIncomingAccountUseSSLChecked") == 1;
    useSecureAuth = oldInt(item, "IsIncomingAccountUseSecureAuthChecked") == 1;
    authType = 0;
}
