#pragma once
// The accounts store: the account list in "accounts" in the data folder.

#include "data_account_list.h"
#include "store.h"

class StoreAccountList : public Store, public DataAccountList {
public:
    // The process-wide store, created and loaded on first use and never destroyed.
    static StoreAccountList *accounts();

    using DataAccountList::print;
    using Store::print;

private:
    StoreAccountList();
};
