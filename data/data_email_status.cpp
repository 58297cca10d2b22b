// The scan status of a message.

#include "data_email.h"
#include "data_email_p.h"
#include "record_fields_p.h"

// ---------------------------------------------------------------------------------------
// DataEmailStatus

namespace {
// The record's members in the order of its XML form.
const RecordFields::Field<DataEmailStatus> kStatusFields[] = {
    {"state", &DataEmailStatus::state},
    {"delete", &DataEmailStatus::delete_},
    {"bounce", &DataEmailStatus::bounce},
    {"learnLegit", &DataEmailStatus::learnLegit},
    {"learnSpam", &DataEmailStatus::learnSpam},
    {"isFriend", &DataEmailStatus::isFriend},
    {"isBlacklist", &DataEmailStatus::isBlacklist},
    {"markFriend", &DataEmailStatus::markFriend},
    {"markBlacklist", &DataEmailStatus::markBlacklist},
    {"scanned", &DataEmailStatus::scanned},
    {"logging", &DataEmailStatus::logging},
    {"isNew", &DataEmailStatus::isNew},
    {"autoDelete", &DataEmailStatus::autoDelete},
    {"status", &DataEmailStatus::status},
    {"reason", &DataEmailStatus::reason},
    {"fgColor", &DataEmailStatus::fgColor},
    {"bgColor", &DataEmailStatus::bgColor},
    {"stColor", &DataEmailStatus::stColor},
    {"klass", &DataEmailStatus::klass},
    {"bayesRaw", &DataEmailStatus::bayesRaw},
    {"bayesCategory", &DataEmailStatus::bayesCategory},
    {"hide", &DataEmailStatus::hide},
};
} // namespace

DataEmailStatus::DataEmailStatus() {
    name = "DataEmailStatus";
    clear();
}

void DataEmailStatus::clear() {
    RecordFields::clear(*this, kStatusFields);
    bayesProb = 0;
    virusProb = 0;
}

QString DataEmailStatus::loggingAsText() const {
    static const char letters[] = "ODARSLFB*?R";
    QString s;
    for (int bit = 0; bit < 11; ++bit) {
        if (logging & (1 << bit))
            s += QLatin1Char(letters[bit]);
    }
    return s;
}

VL_RECORD_IO_FROM_TABLE(DataEmailStatus, kStatusFields, "DataEmailStatus")
