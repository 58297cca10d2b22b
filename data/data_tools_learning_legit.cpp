#include "data_tools_learning_legit.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataToolsLearningLegit> kDataToolsLearningLegitFields[] = {
    {"doAction", &DataToolsLearningLegit::doAction},
    {"markFriend", &DataToolsLearningLegit::markFriend},
    {"displayEmail", &DataToolsLearningLegit::displayEmail},
    {"colorRow", &DataToolsLearningLegit::colorRow},
    {"useColor", &DataToolsLearningLegit::useColor},
};
} // namespace

DataToolsLearningLegit::DataToolsLearningLegit() {
    name = "DataToolsLearningLegit";
    clear();
}

VL_RECORD_FROM_TABLE(DataToolsLearningLegit, kDataToolsLearningLegitFields)

void DataToolsLearningLegit::import(const QDomElement &oldRoot) {
    using namespace RecordFields;
    const QDomElement old = oldElement(oldRoot, "RecognizeEmail");
    doAction = oldTrue(old, "IsRecognizeEMailChecked");
    markFriend = oldTrue(old, "IsREmailMarkFriendsListChecked");
    displayEmail = oldTrue(old, "IsREMailDisplayMailChecked");
    colorRow = oldTrue(old, "IsREMailColourChecked");
    useColor = oldText(old, "REMailColour");
}
