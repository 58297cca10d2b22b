#include "data_account_advanced_server.h"

#include "record_fields_p.h"

namespace {
using F = RecordFields::Field<DataAccountAdvancedServer>;
const F kFields[] = {
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
    RecordFields::clear(*this, kFields);
}

void DataAccountAdvancedServer::setup(const QDomElement &element) {
    RecordFields::setup(*this, element, kFields);
}

void DataAccountAdvancedServer::store(QDomElement element) const {
    RecordFields::store(*this, element, kFields);
}

void DataAccountAdvancedServer::check(const QDomElement &element, QStringList &errors) const {
    RecordFields::check(*this, element, errors, kFields);
}

// Headed by the protocol's class name.
void DataAccountAdvancedServer::print(int indent) const {
    RecordFields::print(*this, indent, name, kFields);
}

void DataAccountAdvancedServer::import(const QDomElement &item) {
    using namespace RecordFields;
    portNumber = oldInt(item, "IncomingPortNumber");
    useSSL = oldInt(item, "IsIncomingAccountUseSSLChecked") == 1;
    useSecureAuth = oldInt(item, "IsIncomingAccountUseSecureAuthChecked") == 1;
    authType = 0;
}
