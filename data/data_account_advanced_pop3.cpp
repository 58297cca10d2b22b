#include "data_account_advanced_pop3.h"

#include "record_fields_p.h"

namespace {
using F = RecordFields::Field<DataAccountAdvancedPOP3>;
const F kFields[] = {
    {"portNumber", &DataAccountAdvancedPOP3::portNumber},
    {"useSSL", &DataAccountAdvancedPOP3::useSSL},
    {"useSecureAuth", &DataAccountAdvancedPOP3::useSecureAuth},
    {"authType", &DataAccountAdvancedPOP3::authType},
};
} // namespace

DataAccountAdvancedPOP3::DataAccountAdvancedPOP3() {
    name = "DataAccountAdvancedPOP3";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountAdvancedPOP3, kFields)

void DataAccountAdvancedPOP3::import(const QDomElement &item) {
    using namespace RecordFields;
    portNumber = oldInt(item, "IncomingPortNumber");
    useSSL = oldInt(item, "IsIncomingAccountUseSSLChecked") == 1;
    useSecureAuth = oldInt(item, "IsIncomingAccountUseSecureAuthChecked") == 1;
    authType = 0;
}
