#include "data_account_details_imap.h"

#include "record_fields_p.h"

namespace {
using F = RecordFields::Field<DataAccountDetailsIMAP>;
const F kFields[] = {
    {"name", &RecordFields::subRecord<&DataAccountDetailsIMAP::name_>},
    {"incoming", &RecordFields::subRecord<&DataAccountDetailsIMAP::incoming>},
    {"outgoing", &RecordFields::subRecord<&DataAccountDetailsIMAP::outgoing>},
};
} // namespace

DataAccountDetailsIMAP::DataAccountDetailsIMAP() {
    Data::name = "DataAccountDetailsIMAP";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountDetailsIMAP, kFields)

void DataAccountDetailsIMAP::import(const QDomElement &item) {
    // The previous version kept every attribute of an account on its one element.
    name_.import(item);
    incoming.import(item);
    outgoing.import(item);
}
