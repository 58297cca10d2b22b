#include "data_account_advanced_bounce.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataAccountAdvancedBounce> kDataAccountAdvancedBounceFields[] = {
    {"useServers", &DataAccountAdvancedBounce::useServers},
};
} // namespace

DataAccountAdvancedBounce::DataAccountAdvancedBounce() {
    name = "DataAccountAdvancedBounce";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountAdvancedBounce, kDataAccountAdvancedBounceFields)

void DataAccountAdvancedBounce::import(const QDomElement &) {
    // The previous version had no choice of bounce servers.
    useServers = 0;
}
