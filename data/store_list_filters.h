#pragma once
// The filters store: the user's filter list in "filters" in the data folder.

#include "data_list_filters.h"
#include "store.h"

class StoreListEmailFilter : public Store, public DataListEmailFilter {
public:
    // The process-wide store, created and loaded on first use and never destroyed.
    static StoreListEmailFilter *filter();

    using DataListEmailFilter::print;
    using Store::print;

private:
    StoreListEmailFilter();
};
