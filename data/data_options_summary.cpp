#include "data_options_summary.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataOptionsSummary> kDataOptionsSummaryFields[] = {
    {"messageLogging", &DataOptionsSummary::messageLogging},
    {"keepLogFor", &DataOptionsSummary::keepLogFor},
    {"emailSummary", &DataOptionsSummary::emailSummary},
    {"emailSummaryEvery", &DataOptionsSummary::emailSummaryEvery},
    {"allowRevovery", &DataOptionsSummary::allowRevovery},
    {"outgoingEmailAddress", &DataOptionsSummary::outgoingEmailAddress},
    {"outgoingEmailServer", &DataOptionsSummary::outgoingEmailServer},
    {"advanced", &RecordFields::subRecord<&DataOptionsSummary::advanced>},
};
} // namespace

DataOptionsSummary::DataOptionsSummary() {
    name = "DataOptionsSummary";
    clear();
}

VL_RECORD_FROM_TABLE(DataOptionsSummary, kDataOptionsSummaryFields)

void DataOptionsSummary::import(const QDomElement &oldRoot) {
    using namespace RecordFields;
    const QDomElement old = oldElement(oldRoot, "Summary");
    messageLogging = oldTrue(old, "IsMessageLoggingChecked");
    keepLogFor = oldInt(old, "KeepLog");
    emailSummary = oldTrue(old, "IsEmailSummaryChecked");
    emailSummaryEvery = oldInt(old, "SummaryComboBoxIndex");
    allowRevovery = oldTrue(old, "IsAllowDeletedChecked");
    outgoingEmailAddress = oldText(old, "OpSMTPEmailAddress");
    outgoingEmailServer = oldText(old, "OpSMTPServerName");
    // The SMTP flags of this old section are words, unlike those of the old accounts file,
    // so the SMTP record's own import does not apply.
    advanced.portNumber = oldInt(old, "OpSMTPPortNumber");
    advanced.useSSL = oldTrue(old, "IsOpSMTPUseSSLChecked");
    advanced.useSMTPAuth = oldTrue(old, "IsOpSMTPServeRequiresAuthChecked");
    advanced.authUsing = 0;
    advanced.authUserName = oldText(old, "OpSMTPUserName");
    advanced.authPassword = oldText(old, "OpSMTPPassword");
    advanced.rememberPassword = oldTrue(old, "IsOpRemPasswordChecked");
    advanced.useOnlySecure = oldTrue(old, "IsOpUseSecureProtocolsChecked");
}
