#include "platform/Region.h"

#include <gtest/gtest.h>

namespace tq {

TEST(Region, RectExcludesRightAndBottom)
{
    const Region r = Region::rect(1, 2, 4, 5);
    EXPECT_TRUE(r.contains(1, 2));
    EXPECT_TRUE(r.contains(3, 4));
    EXPECT_FALSE(r.contains(4, 4));
    EXPECT_FALSE(r.contains(3, 5));
    EXPECT_FALSE(r.contains(0, 2));
    EXPECT_EQ(r.boundingBox(), (RectI{1, 2, 4, 5}));
    EXPECT_TRUE(Region::rect(3, 3, 3, 9).isEmpty());
    EXPECT_EQ(Region().boundingBox(), RectI{});
}

TEST(Region, FromBandsMergesEqualNeighbours)
{
    const Region r = Region::fromBands({{0, 2, {{0, 3}}}, {2, 4, {{0, 3}}}, {4, 4, {{1, 2}}}});
    ASSERT_EQ(r.bands().size(), 1u);
    EXPECT_EQ(r.bands()[0].bottom, 4);
}

} // namespace tq
