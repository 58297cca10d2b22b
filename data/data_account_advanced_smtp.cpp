#include "data_account_advanced_smtp.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataAccountAdvancedSMTP> kDataAccountAdvancedSMTPFields[] = {
    {"portNumber", &DataAccountAdvancedSMTP::portNumber},
    {"useSSL", &DataAccountAdvancedSMTP::useSSL},
    {"useSMTPAuth", &DataAccountAdvancedSMTP::useSMTPAuth},
    {"authUsing", &DataAccountAdvancedSMTP::authUsing},
    {"authUserName", &DataAccountAdvancedSMTP::authUserName},
    {"authPassword", &DataAccountAdvancedSMTP::authPassword, RecordFields::Secret},
    {"rememberPassword", &DataAccountAdvancedSMTP::rememberPassword},
    {"useOnlySecure", &DataAccountAdvancedSMTP::useOnlySecure},
};
} // namespace

DataAccountAdvancedSMTP::DataAccountAdvancedSMTP() {
    name = "DataAccountAdvancedSMTP";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountAdvancedSMTP, kDataAccountAdvancedSMTPFields)

void DataAccountAdvancedSMTP::import(const QDomElement &item) {
    using namespace RecordFields;
    portNumber = oldInt(item, "SMTPPortNumber");
    useSSL = oldInt(item, "IsSMTPUseSSLChecked") == 1;
    useSMTPAuth = oldInt(item, "IsSMTPUseSecureAuthChecked") == 1;
    authUsing = 0;
    authUserName = oldText(item, "SMTPUserName");
    authPassword = oldText(item, "SMTPPassword");
    rememberPassword = oldInt(item, "IsRememberSMTPPasswordChecked") == 1;
    useOnlySecure = oldInt(item, "IsUseOnlySecureProtocolsChecked") == 1;
}
