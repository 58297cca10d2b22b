#include "data_tools_learning_learn.h"

#include "record_fields_p.h"

namespace {
const RecordFields::Field<DataToolsLearningLearn> kDataToolsLearningLearnFields[] = {
    {"teach", &DataToolsLearningLearn::teach},
    {"limitArchive", &DataToolsLearningLearn::limitArchive},
    {"maxArchiveSize", &DataToolsLearningLearn::maxArchiveSize},
    {"markBlacklist", &DataToolsLearningLearn::markBlacklist},
    {"markDelete", &DataToolsLearningLearn::markDelete},
    {"markBounce", &DataToolsLearningLearn::markBounce},
    {"markTallowmark", &DataToolsLearningLearn::markTallowmark},
    {"markSpamCop", &DataToolsLearningLearn::markSpamCop},
    {"addFriend", &DataToolsLearningLearn::addFriend},
};
} // namespace

DataToolsLearningLearn::DataToolsLearningLearn() {
    name = "DataToolsLearningLearn";
    clear();
}

VL_RECORD_FROM_TABLE(DataToolsLearningLearn, kDataToolsLearningLearnFields)

void DataToolsLearningLearn::import(const QDomElement &oldRoot) {
    using namespace RecordFields;
    const QDomElement old = oldElement(oldRoot, "BayesianLearning");
    teach = oldTrue(old, "IsTeachToRecogizeChecked");
    limitArchive = oldTrue(old, "IsLimitLearningChecked");
    maxArchiveSize = oldInt(old, "LearningSize");
    markBlacklist = oldTrue(old, "IsLearningMarkBlackListChecked");
    markDelete = oldTrue(old, "IsLearningMarkDeleteChecked");
    markBounce = oldTrue(old, "IsLearningMarkBounceChecked");
    markTallowmark = oldTrue(old, "IsLearningMarkReportTMChecked");
    markSpamCop = oldTrue(old, "IsMarkReportSCChecked");
    addFriend = oldTrue(old, "IsLearningAddFriendChecked");
}
