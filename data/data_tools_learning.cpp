#include "data_tools_learning.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataToolsLearning> kDataToolsLearningFields[] = {
    {"learn", &RecordFields::subRecord<&DataToolsLearning::learn>},
    {"spam", &RecordFields::subRecord<&DataToolsLearning::spam>},
    {"legit", &RecordFields::subRecord<&DataToolsLearning::legit>},
};
} // namespace

DataToolsLearning::DataToolsLearning() {
    name = "DataToolsLearning";
    clear();
}

VL_RECORD_FROM_TABLE(DataToolsLearning, kDataToolsLearningFields)

void DataToolsLearning::import(const QDomElement &oldRoot) {
    learn.import(oldRoot);
    spam.import(oldRoot);
    legit.import(oldRoot);
}
