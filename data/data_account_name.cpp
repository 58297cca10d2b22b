#include "data_account_name.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataAccountName> kDataAccountNameFields[] = {
    {"name", &DataAccountName::name},
    {"inDefault", &DataAccountName::inDefault},
};
} // namespace

DataAccountName::DataAccountName() {
    Data::name = "DataAccountName";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountName, kDataAccountNameFields)

void DataAccountName::import(const QDomElement &item) {
    name = RecordFields::oldText(item, "AccountName");
    inDefault = RecordFields::oldInt(item, "IsIncludeInDefaultCheckChecked") == 1;
}
