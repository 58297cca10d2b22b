#include "data_account_addresses.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataAccountAddresses> kDataAccountAddressesFields[] = {
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

VL_RECORD_FROM_TABLE(DataAccountAddresses, kDataAccountAddressesFields)
