#include "data_account_details_hotmail.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataAccountDetailsHotMail> kDataAccountDetailsHotMailFields[] = {
    {"name", &RecordFields::subRecord<&DataAccountDetailsHotMail::name_>},
    {"incoming", &RecordFields::subRecord<&DataAccountDetailsHotMail::incoming>},
};
} // namespace

DataAccountDetailsHotMail::DataAccountDetailsHotMail() {
    Data::name = "DataAccountDetailsHotMail";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountDetailsHotMail, kDataAccountDetailsHotMailFields)

void DataAccountDetailsHotMail::import(const QDomElement &item) {
    name_.import(item);
    incoming.import(item);
}
