#include "data_account_incoming_hotmail.h"

#include "record_fields_p.h"

namespace {
using F = RecordFields::Field<DataAccountIncomingHotMail>;
const F kFields[] = {
    {"userName", &DataAccountIncomingHotMail::userName},
    {"password", &DataAccountIncomingHotMail::password, RecordFields::Secret},
    {"rememberPassword", &DataAccountIncomingHotMail::rememberPassword},
};
} // namespace

DataAccountIncomingHotMail::DataAccountIncomingHotMail() {
    name = "DataAccountIncomingHotMail";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountIncomingHotMail, kFields)

void DataAccountIncomingHotMail::import(const QDomElement &item) {
    using namespace RecordFields;
    userName = oldText(item, "EmailAddress");
    password = oldText(item, "IncomingAccountPassword");
    rememberPassword = oldInt(item, "IsRememberPasswordChecked") != 0;
}
