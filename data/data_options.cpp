#include "data_options.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataOptions> kDataOptionsFields[] = {
    {"general", &RecordFields::subRecord<&DataOptions::general>},
    {"display", &RecordFields::subRecord<&DataOptions::display>},
    {"summary", &RecordFields::subRecord<&DataOptions::summary>},
};
} // namespace

DataOptions::DataOptions() {
    name = "DataOptions";
    clear();
}

VL_RECORD_FROM_TABLE(DataOptions, kDataOptionsFields)

void DataOptions::import(const QDomElement &oldRoot) {
    general.import(oldRoot);
    display.import(oldRoot);
    summary.import(oldRoot);
}
