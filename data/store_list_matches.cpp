#include "store_list_matches.h"

namespace {

QString oldBaseName(const QString &name) {
    if (name == QLatin1String("friends"))
        return QStringLiteral("vlFriendsList");
    if (name == QLatin1String("blacklist"))
        return QStringLiteral("vlBlackList");
    return QString();
}

} // namespace

StoreListEmailMatch::StoreListEmailMatch(const char *name)
    : Store(Store::dataDir(), QString::fromLatin1(name), static_cast<DataListEmailMatch *>(this)) {
    loadFromStore(oldBaseName(base()));
}

StoreListEmailMatch *StoreListEmailMatch::friends() {
    static StoreListEmailMatch *store = new StoreListEmailMatch("friends");
    return store;
}

StoreListEmailMatch *StoreListEmailMatch::blacklist() {
    static StoreListEmailMatch *store = new StoreListEmailMatch("blacklist");
    return store;
}
