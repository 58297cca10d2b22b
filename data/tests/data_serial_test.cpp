// Serial tags are drawn from one process-wide counter, so this binary holds nothing else:
// no record may exist before the first one made here.
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

} // namespace
