#include "data_account_outgoing.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataAccountOutgoing> kDataAccountOutgoingFields[] = {
    {"enableBounce", &DataAccountOutgoing::enableBounce},
    {"emailAddress", &DataAccountOutgoing::emailAddress},
    {"serverAddress", &DataAccountOutgoing::serverAddress},
    {"advanced", &RecordFields::subRecord<&DataAccountOutgoing::advanced>},
};
} // namespace

DataAccountOutgoing::DataAccountOutgoing() {
    name = "DataAccountOutgoing";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountOutgoing, kDataAccountOutgoingFields)

void DataAccountOutgoing::import(const QDomElement &item) {
    using namespace RecordFields;
    enableBounce = oldInt(item, "IsAllowBouncingChecked") == 1;
    emailAddress = oldText(item, "EmailAddress");
    serverAddress = oldText(item, "OutgoingServerAddress");
    advanced.import(item);
}
