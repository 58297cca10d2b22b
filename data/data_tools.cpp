#include "data_tools.h"

#include "record_fields_p.h"

namespace {

using Fr = RecordFields::Field<DataToolsFriends>;
const Fr kFriendsFields[] = {
    {"action", &DataToolsFriends::action},
};

using Bl = RecordFields::Field<DataToolsBlacklist>;
const Bl kBlacklistFields[] = {
    {"markDelete", &DataToolsBlacklist::markDelete},
    {"markBounce", &DataToolsBlacklist::markBounce},
    {"action", &DataToolsBlacklist::action},
};

const RecordFields::Field<DataTools> kDataToolsFields[] = {
    {"friends", &RecordFields::subRecord<&DataTools::friends>},
    {"blacklist", &RecordFields::subRecord<&DataTools::blacklist>},
    {"filter", &RecordFields::subRecord<&DataTools::filter>},
    {"learning", &RecordFields::subRecord<&DataTools::learning>},
    {"virus", &RecordFields::subRecord<&DataTools::virus>},
    {"origin", &RecordFields::subRecord<&DataTools::origin>},
    {"spamcop", &RecordFields::subRecord<&DataTools::spamcop>},
    {"tm", &RecordFields::subRecord<&DataTools::tm>},
};

} // namespace

// ---------------------------------------------------------------- friends

DataToolsFriends::DataToolsFriends() {
    name = "DataToolsFriends";
    clear();
}

VL_RECORD_FROM_TABLE(DataToolsFriends, kFriendsFields)

void DataToolsFriends::import(const QDomElement &oldRoot) {
    using namespace RecordFields;
    const QDomElement old = oldElement(oldRoot, "FriendsListActions");
    action = oldTrue(old, "IsFLDisplayEmailChecked") ? 1 : oldTrue(old, "IsFLHideEmailChecked") ? 2 : 0;
}

// ---------------------------------------------------------------- blacklist

DataToolsBlacklist::DataToolsBlacklist() {
    name = "DataToolsBlacklist";
    clear();
}

VL_RECORD_FROM_TABLE(DataToolsBlacklist, kBlacklistFields)

void DataToolsBlacklist::import(const QDomElement &oldRoot) {
    using namespace RecordFields;
    const QDomElement old = oldElement(oldRoot, "BlackListActions");
    markDelete = oldTrue(old, "IsBLMarkDeleteChecked");
    markBounce = oldTrue(old, "IsBLMarkBounceChecked");
    action = oldTrue(old, "IsBLProcessMailChecked") ? 1 : oldTrue(old, "IsBLAutomaticallyChecked") ? 2 : 0;
}

// ---------------------------------------------------------------- filter

DataToolsFilter::DataToolsFilter() {
    name = "DataToolsFilter";
}

void DataToolsFilter::clear() {}
void DataToolsFilter::setup(const QDomElement &) {}
void DataToolsFilter::check(const QDomElement &, QStringList &) const {}
void DataToolsFilter::store(QDomElement) const {}
void DataToolsFilter::import(const QDomElement &) {}

void DataToolsFilter::print(int indent) const {
    fprintf(stderr, "%*sDataToolsFilter:\n", indent, "");
}

// ---------------------------------------------------------------- the whole record

DataTools::DataTools() {
    name = "DataTools";
    clear();
}

VL_RECORD_FROM_TABLE(DataTools, kDataToolsFields)

void DataTools::import(const QDomElement &oldRoot) {
    friends.import(oldRoot);
    blacklist.import(oldRoot);
    filter.import(oldRoot);
    learning.import(oldRoot);
    virus.import(oldRoot);
    origin.import(oldRoot);
    spamcop.import(oldRoot);
    tm.import(oldRoot);
}
