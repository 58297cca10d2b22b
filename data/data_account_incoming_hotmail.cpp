#include "data_account_incoming_hotmail.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataAccountIncomingHotMail> kDataAccountIncomingHotMailFields[] = {
    {"userName", &DataAccountIncomingHotMail::userName},
    {"password", &DataAccountIncomingHotMail::password, RecordFields::Secret},
    {"rememberPassword", &DataAccountIncomingHotMail::rememberPassword},
};
} // namespace

DataAccountIncomingHotMail::DataAccountIncomingHotMail() {
    name = "DataAccountIncomingHotMail";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountIncomingHotMail, kDataAccountIncomingHotMailFields)

void DataAccountIncomingHotMail::import(const QDomElement &item) {
    using namespace RecordFields;
    userName = oldText(item, "EmailAddress");
    password = oldText(item, "IncomingAccountPassword");
    rememberPassword = oldInt(item, "IsRememberPasswordChecked") != 0;
}
