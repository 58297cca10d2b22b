#include "CharacterCoders.h"
#include "UnicodeCoders.h"

#include <gtest/gtest.h>

using namespace Charsets;

TEST(UnicodeCoders, Utf8Basics)
{
    EXPECT_EQ(UnicodeCoders::decodeUTF8("\xE2\x82\xAC"), L"\x20AC");
    EXPECT_EQ(UnicodeCoders::encodeUTF8(L"\x20AC"), "\xE2\x82\xAC");
    EXPECT_EQ(CharacterCoders::decode("\xE9", "iso-8859-1", true), L"\xE9");
}
