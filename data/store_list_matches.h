#pragma once
// The two address-list stores: the friends list in "friends" and the blacklist in
// "blacklist" in the data folder.

#include "data_list_matches.h"
#include "store.h"

class StoreListEmailMatch : public Store, public DataListEmailMatch {
public:
    // The process-wide stores, created and loaded on first use and never destroyed.
    static StoreListEmailMatch *friends();
    static StoreListEmailMatch *blacklist();

    using DataListEmailMatch::print;
    using Store::print;

private:
    // "friends" imports the previous version's "vlFriendsList", "blacklist" its
    // "vlBlackList"; any other name imports nothing.
    explicit StoreListEmailMatch(const char *name);
};
