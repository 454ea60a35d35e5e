#include "core/Region.h"

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

#include <random>

namespace tq {
namespace {

std::vector<int32_t> dataOf(const std::vector<RectI>& rects)
{
    std::vector<int32_t> w = {Region::kDataHeaderSize, Region::kDataTypeRectangles,
                              static_cast<int32_t>(rects.size()), static_cast<int32_t>(16 * rects.size()), 0, 0, 0, 0};
    for (const RectI& r : rects) w.insert(w.end(), {r.left, r.top, r.right, r.bottom});
    return w;
}

} // namespace

// The sweep that builds a region from overlapping rectangles gives exactly
// the pixels of their union.
TEST(RegionFromRects, UnionOfOverlappingRectanglesMatchesThePixels)
{
    std::mt19937 gen(7);
    for (int round = 0; round < 60; ++round) {
        SCOPED_TRACE(round);
        std::uniform_int_distribution<int> coord(-3, 24), count(1, 12);
        std::vector<RectI> rects;
        const int n = count(gen);
        for (int i = 0; i < n; ++i) {
            int l = coord(gen), r = coord(gen), t = coord(gen), b = coord(gen);
            rects.push_back(RectI{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)});
        }
        const std::optional<Region> swept = Region::unionOfRects(rects, SIZE_MAX);
        ASSERT_TRUE(swept);
        Region folded;
        for (const RectI& r : rects) folded = Region::combine(folded, Region::rect(r), CombineMode::Or);
        EXPECT_EQ(*swept, folded);
        for (int y = -4; y < 26; ++y)
            for (int x = -4; x < 26; ++x) {
                bool inside = false;
                for (const RectI& r : rects) inside = inside || (x >= r.left && x < r.right && y >= r.top && y < r.bottom);
                ASSERT_EQ(swept->contains(x, y), inside) << x << "," << y;
            }
    }
}

// Tens of thousands of crossing rectangles in a selection file: a union of
// modest size is built at once, one too large to hold is refused instead of
// eating the machine's memory, and a list past the cap is not read at all.
TEST(RegionFromRects, HostileSelectionDataIsBuiltOrRefusedQuickly)
{
    std::vector<RectI> staggered;
    for (int32_t i = 0; i < 40000; ++i) staggered.push_back(RectI{i % 5000, i, i % 5000 + 300, i + 300});
    const std::optional<Region> built = Region::fromData(dataOf(staggered));
    ASSERT_TRUE(built);
    EXPECT_TRUE(built->contains(4999, 4700));
    EXPECT_EQ(built->boundingBox(), (RectI{0, 0, 5299, 40299}));

    std::vector<RectI> lattice;
    for (int32_t i = 0; i < 20000; ++i) {
        lattice.push_back(RectI{0, 2 * i, 40000, 2 * i + 1});   // rows
        lattice.push_back(RectI{2 * i, 0, 2 * i + 1, 40000});   // columns
    }
    EXPECT_FALSE(Region::fromData(dataOf(lattice))) << "hundreds of millions of spans";

    std::vector<int32_t> tooMany = dataOf({});
    tooMany[2] = static_cast<int32_t>(Region::kMaxDataRects + 1);
    tooMany.resize(tooMany.size() + 4 * (Region::kMaxDataRects + 1), 1);
    EXPECT_FALSE(Region::fromData(tooMany));
}

} // namespace tq
