#include "data_account_advanced_imap.h"

#include "record_fields_p.h"

namespace {
using F = RecordFields::Field<DataAccountAdvancedIMAP>;
const F kFields[] = {
    {"portNumber", &DataAccountAdvancedIMAP::portNumber},
    {"useSSL", &DataAccountAdvancedIMAP::useSSL},
    {"useSecureAuth", &DataAccountAdvancedIMAP::useSecureAuth},
    {"authType", &DataAccountAdvancedIMAP::authType},
};
} // namespace

DataAccountAdvancedIMAP::DataAccountAdvancedIMAP() {
    name = "DataAccountAdvancedIMAP";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountAdvancedIMAP, kFields)

void DataAccountAdvancedIMAP::import(const QDomElement &item) {
    using namespace RecordFields;
    portNumber = oldInt(item, "IncomingPortNumber");
    useSSL = oldInt(item, "IsIncomingAccountUseSSLChecked") == 1;
    useSecureAuth = oldInt(item, "IsIncomingAccountUseSecureAuthChecked") == 1;
    authType = 0;
}
