#include "store_account_list.h"

StoreAccountList::StoreAccountList()
    : Store(Store::dataDir(), QStringLiteral("accounts"), static_cast<DataAccountList *>(this)) {
    loadFromStore(QStringLiteral("vlAccounts"));
    // A first start has no identifier yet; it is written with the first save.
    makeMessageID();
}

StoreAccountList *StoreAccountList::accounts() {
    static StoreAccountList *store = new StoreAccountList();
    return store;
}
