#pragma once
// The options store: the options record in "options" in the data folder.

#include "data_options.h"
#include "store.h"

class StoreOptions : public Store, public DataOptions {
public:
    // The process-wide store, created and loaded on first use and never destroyed.
    static StoreOptions *options();

    using DataOptions::print;
    using Store::print;

private:
    StoreOptions();
};
