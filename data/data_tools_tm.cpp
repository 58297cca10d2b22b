#include "data_tools_tm.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataToolsTM> kDataToolsTMFields[] = {
    {"enableTM", &DataToolsTM::enableTM},
    {"account", &DataToolsTM::account},
    {"password", &DataToolsTM::password, RecordFields::Secret},
    {"addToBlacklist", &DataToolsTM::addToBlacklist},
    {"markForDeletion", &DataToolsTM::markForDeletion},
    {"markForBouncing", &DataToolsTM::markForBouncing},
    {"displayOrHide", &DataToolsTM::displayOrHide},
    {"whence", &DataToolsTM::whence},
};
} // namespace

DataToolsTM::DataToolsTM() {
    name = "DataToolsTM";
    clear();
}

VL_RECORD_FROM_TABLE(DataToolsTM, kDataToolsTMFields)

void DataToolsTM::import(const QDomElement &oldRoot) {
    using namespace RecordFields;
    const QDomElement old = oldElement(oldRoot, "Tallowmark");
    enableTM = oldTrue(old, "IsEnableTMChecked");
    account = oldText(old, "TMAccountNumber");
    password = oldText(old, "TMPassword");
    addToBlacklist = oldTrue(old, "IsTMBlackListChecked");
    markForDeletion = oldTrue(old, "IsTMMarkDeleteChecked");
    markForBouncing = oldTrue(old, "IsTMMarkBounceChecked");
    displayOrHide = oldTrue(old, "IsTMHideEmailChecked") ? 2 : 1;
    // The previous version could not process these automatically.
    whence = 1;
}
