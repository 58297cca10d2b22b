#include "data_account_details_pop3.h"

#include "record_fields_p.h"

namespace {
using F = RecordFields::Field<DataAccountDetailsPOP3>;
const F kFields[] = {
    {"name", &RecordFields::subRecord<&DataAccountDetailsPOP3::name_>},
    {"incoming", &RecordFields::subRecord<&DataAccountDetailsPOP3::incoming>},
    {"outgoing", &RecordFields::subRecord<&DataAccountDetailsPOP3::outgoing>},
};
} // namespace

DataAccountDetailsPOP3::DataAccountDetailsPOP3() {
    Data::name = "DataAccountDetailsPOP3";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountDetailsPOP3, kFields)

void DataAccountDetailsPOP3::import(const QDomElement &item) {
    // The previous version kept every attribute of an account on its one element.
    name_.import(item);
    incoming.import(item);
    outgoing.import(item);
}
