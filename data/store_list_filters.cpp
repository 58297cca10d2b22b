#include "store_list_filters.h"

StoreListEmailFilter::StoreListEmailFilter()
    : Store(Store::dataDir(), QStringLiteral("filters"), static_cast<DataListEmailFilter *>(this)) {
    loadFromStore(QStringLiteral("vlFilters"));
}

StoreListEmailFilter *StoreListEmailFilter::filter() {
    static StoreListEmailFilter *store = new StoreListEmailFilter();
    return store;
}
