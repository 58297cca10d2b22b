#include "data_account_advanced.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataAccountAdvanced> kDataAccountAdvancedFields[] = {
    {"SMTP", &RecordFields::subRecord<&DataAccountAdvanced::SMTP>},
    {"bounce", &RecordFields::subRecord<&DataAccountAdvanced::bounce>},
};
} // namespace

DataAccountAdvanced::DataAccountAdvanced() {
    name = "DataAccountAdvanced";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountAdvanced, kDataAccountAdvancedFields)

void DataAccountAdvanced::import(const QDomElement &item) {
    SMTP.import(item);
    bounce.import(item);
}
