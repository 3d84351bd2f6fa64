// Address ranges at the ends of the signed 64-bit space; also built natively, under the sanitizers,
// where an overflowing sum fails the test.
#include "document/Diza.h"
#include "document/KSegment.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(AddressRange, SegmentHoldsRangeAtTheTop) {
    KSegment s;
    s.address = INT64_MAX - 0xFF;
    s.sizeInMemory = 0xFF;   // ends at INT64_MAX
    EXPECT_TRUE(s.HoldsRange(INT64_MAX - 0xFF, 0xFF));
    EXPECT_TRUE(s.HoldsRange(INT64_MAX - 4, 4));
    EXPECT_FALSE(s.HoldsRange(INT64_MAX - 4, 5));
    EXPECT_FALSE(s.HoldsRange(INT64_MAX - 2, 0xFFFFFFF0));
    EXPECT_FALSE(s.HoldsRange(INT64_MAX - 2, 0));
    EXPECT_FALSE(s.HoldsRange(INT64_MAX, 1));
    EXPECT_FALSE(s.HoldsRange(INT64_MIN, 1));

    KSegment low;
    low.address = INT64_MIN;
    low.sizeInMemory = 0x10;
    EXPECT_TRUE(low.HoldsRange(INT64_MIN, 0x10));
    EXPECT_FALSE(low.HoldsRange(INT64_MIN + 8, 9));
}

TEST(AddressRange, AddressPlusWraps) {
    EXPECT_EQ(AddressPlus(INT64_MAX - 2, 4), INT64_MIN + 1);
    EXPECT_EQ(AddressPlus(INT64_MAX, 1), INT64_MIN);
    EXPECT_EQ(AddressPlus(-1, 1), 0);
    EXPECT_EQ(AddressPlus(0x1000, -1), 0xFFF);
}
