#include "data_tools_virus.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataToolsVirus> kDataToolsVirusFields[] = {
    {"markPossible", &DataToolsVirus::markPossible},
    {"actPossible", &DataToolsVirus::actPossible},
    {"markKnown", &DataToolsVirus::markKnown},
    {"actKnown", &DataToolsVirus::actKnown},
};
} // namespace

DataToolsVirus::DataToolsVirus() {
    name = "DataToolsVirus";
    clear();
}

VL_RECORD_FROM_TABLE(DataToolsVirus, kDataToolsVirusFields)

void DataToolsVirus::import(const QDomElement &oldRoot) {
    using namespace RecordFields;
    const QDomElement old = oldElement(oldRoot, "VirusWarning");
    markPossible = oldTrue(old, "IsPossibleVirusActionBoxChecked");
    markKnown = oldTrue(old, "IsKnownVirusActionBoxChecked");
    actPossible = oldTrue(old, "IsPossibleVirusAutoDeleteChecked") ? 2 : 1;
    actKnown = oldTrue(old, "IsKnownVirusAutoDeleteChecked") ? 2 : 1;
}
