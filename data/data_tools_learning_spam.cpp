#include "data_tools_learning_spam.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataToolsLearningSpam> kDataToolsLearningSpamFields[] = {
    {"doAction", &DataToolsLearningSpam::doAction},
    {"markBlackList", &DataToolsLearningSpam::markBlackList},
    {"markDelete", &DataToolsLearningSpam::markDelete},
    {"markBounce", &DataToolsLearningSpam::markBounce},
    {"displayEmail", &DataToolsLearningSpam::displayEmail},
    {"colorRow", &DataToolsLearningSpam::colorRow},
    {"useColor", &DataToolsLearningSpam::useColor},
};
} // namespace

DataToolsLearningSpam::DataToolsLearningSpam() {
    name = "DataToolsLearningSpam";
    clear();
}

VL_RECORD_FROM_TABLE(DataToolsLearningSpam, kDataToolsLearningSpamFields)

void DataToolsLearningSpam::import(const QDomElement &oldRoot) {
    using namespace RecordFields;
    const QDomElement old = oldElement(oldRoot, "RecognizeSpam");
    doAction = oldTrue(old, "IsRecognizeSpamChecked");
    markBlackList = oldTrue(old, "IsRSpamMarkBlackListChecked");
    markDelete = oldTrue(old, "IsRSpamMarkDeleteChecked");
    markBounce = oldTrue(old, "IsRSpamMarkBounceChecked");
    displayEmail = oldTrue(old, "IsRSpamDisplayMailChecked");
    colorRow = oldTrue(old, "IsRSpamColourChecked");
    useColor = oldText(old, "RSpamColour");
}
