#include "data_tools_spamcop.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataToolsSpamCop> kDataToolsSpamCopFields[] = {
    {"enableSpamCop", &DataToolsSpamCop::enableSpamCop},
    {"email", &DataToolsSpamCop::email},
};
} // namespace

DataToolsSpamCop::DataToolsSpamCop() {
    name = "DataToolsSpamCop";
    clear();
}

VL_RECORD_FROM_TABLE(DataToolsSpamCop, kDataToolsSpamCopFields)

void DataToolsSpamCop::import(const QDomElement &oldRoot) {
    using namespace RecordFields;
    const QDomElement old = oldElement(oldRoot, "SpamCop");
    enableSpamCop = oldTrue(old, "IsEnableSpamCopChecked");
    email = oldText(old, "SpamCopEmailAddress");
}
