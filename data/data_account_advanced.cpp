#include "data_account_advanced.h"

#include "record_fields_p.h"

namespace {
using F = RecordFields::Field<DataAccountAdvanced>;
const F kFields[] = {
    {"SMTP", &RecordFields::subRecord<&DataAccountAdvanced::SMTP>},
    {"bounce", &RecordFields::subRecord<&DataAccountAdvanced::bounce>},
};
} // namespace

DataAccountAdvanced::DataAccountAdvanced() {
    name = "DataAccountAdvanced";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountAdvanced, kFields)

void DataAccountAdvanced::import(const QDomElement &item) {
    SMTP.import(item);
    bounce.import(item);
}
