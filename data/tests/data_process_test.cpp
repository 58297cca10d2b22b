// Process-wide state: the serial counter of records and the stores' data folder. No record
// may exist and no folder may be set before these tests, so this binary holds nothing else.
#include "store.h"
#include "test_record.h"

#include <gtest/gtest.h>

namespace {

TEST(DataSerial, TagsCountFromOneAndCopiesKeepTheirSourceTag) {
    vltest::BareRecord first;
    vltest::BareRecord second;
    EXPECT_EQ(first.tag(), 1);
    EXPECT_EQ(second.tag(), 2);

    const vltest::BareRecord copy(first);
    EXPECT_EQ(copy.tag(), 1);

    vltest::BareRecord third;
    EXPECT_EQ(third.tag(), 3);
    third = second;
    EXPECT_EQ(third.tag(), 2) << "assignment gives the target the source's tag";

    // A record with sub-records draws one tag per sub-object, in construction order;
    // destroying records gives nothing back.
    {
        vltest::BareRecord gone;
        EXPECT_EQ(gone.tag(), 4);
    }
    vltest::TestItem item;
    EXPECT_EQ(item.tag(), 5);
    vltest::TestItem itemCopy = item;
    EXPECT_EQ(itemCopy.tag(), 5);
}

TEST(StoreDataDir, StartsAsTheCurrentFolder) {
    EXPECT_EQ(Store::dataDir().toStdString(), "./");
}

} // namespace
