#include "data_account_addresses.h"

#include "record_fields_p.h"

namespace {
using F = RecordFields::Field<DataAccountAddresses>;
const F kFields[] = {
    {"multiple", &DataAccountAddresses::multiple},
    {"addressList", &DataAccountAddresses::addressList},
    {"bounceType", &DataAccountAddresses::bounceType},
    {"assumeAddress", &DataAccountAddresses::assumeAddress},
};
} // namespace

DataAccountAddresses::DataAccountAddresses() {
    name = "DataAccountAddresses";
    clear();
}

VL_RECORD_FROM_TABLE(DataAccountAddresses, kFields)
