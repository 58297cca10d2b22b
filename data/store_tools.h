#pragma once
// The spam-tools store: the tools record in "tools" in the data folder.

#include "data_tools.h"
#include "store.h"

class StoreTools : public Store, public DataTools {
public:
    // The process-wide store, created and loaded on first use and never destroyed.
    static StoreTools *tools();

    using DataTools::print;
    using Store::print;

private:
    StoreTools();
};
