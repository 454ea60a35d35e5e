#include "gdi/PatternBrush.h"
#include "core/Region.h"

#include "TestSeed.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace tq {
namespace {

// Rows of '#' (in) and '.' (out) over the area, for shapes small enough to
// check by hand.
std::vector<std::string> mask(const Region& r, const RectI& area)
{
    std::vector<std::string> rows;
    for (int32_t y = area.top; y < area.bottom; ++y) {
        std::string row;
        for (int32_t x = area.left; x < area.right; ++x) row += r.contains(x, y) ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

// Sorted, non-overlapping bands; spans sorted with gaps between them; no two
// touching bands with equal spans. Equal pixel sets then compare equal.
::testing::AssertionResult isCanonical(const Region& r)
{
    const auto& bands = r.bands();
    for (size_t i = 0; i < bands.size(); ++i) {
        const auto& b = bands[i];
        if (b.top >= b.bottom || b.spans.empty()) return ::testing::AssertionFailure() << "empty band " << i;
        if (i > 0) {
            if (bands[i - 1].bottom > b.top) return ::testing::AssertionFailure() << "overlap at band " << i;
            if (bands[i - 1].bottom == b.top && bands[i - 1].spans == b.spans)
                return ::testing::AssertionFailure() << "unmerged band " << i;
        }
        for (size_t j = 0; j < b.spans.size(); ++j) {
            if (b.spans[j].x0 >= b.spans[j].x1) return ::testing::AssertionFailure() << "empty span";
            if (j > 0 && b.spans[j - 1].x1 >= b.spans[j].x0)
                return ::testing::AssertionFailure() << "touching spans in band " << i;
        }
    }
    return ::testing::AssertionSuccess();
}

constexpr int kGrid = 14;
using Bitmap = std::vector<std::vector<bool>>;

Bitmap toBitmap(const Region& r)
{
    Bitmap m(kGrid + 4, std::vector<bool>(kGrid + 4));
    for (int y = -2; y < kGrid + 2; ++y)
        for (int x = -2; x < kGrid + 2; ++x) m[y + 2][x + 2] = r.contains(x, y);
    return m;
}

Region randomRegion(std::mt19937& rng)
{
    std::uniform_int_distribution<int> c(-1, kGrid), n(0, 4);
    Region r;
    for (int i = n(rng); i > 0; --i) {
        int l = c(rng), t = c(rng), rr = c(rng), b = c(rng);
        if (l > rr) std::swap(l, rr);
        if (t > b) std::swap(t, b);
        r = Region::combine(r, Region::rect(l, t, rr, b), i % 3 == 0 ? CombineMode::Xor : CombineMode::Or);
    }
    return r;
}

TEST(RegionCombine, EveryModeMatchesThePixelRuleOnRandomRegions)
{
    const unsigned seed = testing::testSeed(12345u);
    TQ_SEED_TRACE(seed);
    std::mt19937 rng(seed);
    const std::pair<CombineMode, bool (*)(bool, bool)> modes[] = {
        {CombineMode::And, [](bool a, bool b) { return a && b; }},
        {CombineMode::Or, [](bool a, bool b) { return a || b; }},
        {CombineMode::Xor, [](bool a, bool b) { return a != b; }},
        {CombineMode::Diff, [](bool a, bool b) { return a && !b; }},
        {CombineMode::Copy, [](bool a, bool) { return a; }},
    };
    for (int round = 0; round < 300; ++round) {
        const Region a = randomRegion(rng), b = randomRegion(rng);
        ASSERT_TRUE(isCanonical(a));
        const Bitmap ma = toBitmap(a), mb = toBitmap(b);
        for (const auto& [mode, rule] : modes) {
            const Region c = Region::combine(a, b, mode);
            ASSERT_TRUE(isCanonical(c)) << "mode " << int(mode);
            const Bitmap mc = toBitmap(c);
            for (size_t y = 0; y < mc.size(); ++y)
                for (size_t x = 0; x < mc[y].size(); ++x)
                    ASSERT_EQ(mc[y][x], rule(ma[y][x], mb[y][x])) << "mode " << int(mode) << " round " << round;
        }
    }
}

TEST(RegionCombine, SamePixelsGiveEqualRegions)
{
    // Two halves joined side by side and one above the other both make the
    // single rectangle.
    const Region full = Region::rect(0, 0, 6, 4);
    EXPECT_EQ(Region::combine(Region::rect(0, 0, 3, 4), Region::rect(3, 0, 6, 4), CombineMode::Or), full);
    EXPECT_EQ(Region::combine(Region::rect(0, 0, 6, 2), Region::rect(0, 2, 6, 4), CombineMode::Or), full);
    EXPECT_EQ(full.rectCount(), 1u);
    EXPECT_TRUE(Region::combine(full, full, CombineMode::Xor).isEmpty());
}

TEST(RegionShapes, EllipsesOnSmallRectangles)
{
    struct Case {
        RectI rc;
        std::vector<std::string> rows;
    };
    const Case cases[] = {
        {{0, 0, 1, 1}, {"#"}},
        {{0, 0, 2, 2}, {"##", "##"}},
        {{0, 0, 4, 4}, {".##.", "####", "####", ".##."}},
        {{0, 0, 5, 5}, {".###.", "#####", "#####", "#####", ".###."}},
        {{0, 0, 6, 4}, {".####.", "######", "######", ".####."}},
        {{0, 0, 7, 3}, {".#####.", "#######", ".#####."}},
        {{0, 0, 1, 4}, {"#", "#", "#", "#"}},
        {{0, 0, 0, 4}, {".", ".", ".", "."}},
    };
    for (const Case& c : cases) {
        const Region r = Region::ellipse(c.rc.left, c.rc.top, c.rc.right, c.rc.bottom);
        EXPECT_EQ(mask(r, RectI{0, 0, std::max(c.rc.right, 1), c.rc.bottom}), c.rows)
            << c.rc.right << " x " << c.rc.bottom;
        EXPECT_TRUE(isCanonical(r));
        // Corners in any order and a moved rectangle give the same shape.
        EXPECT_EQ(Region::ellipse(c.rc.right, c.rc.bottom, c.rc.left, c.rc.top), r);
        EXPECT_EQ(Region::ellipse(c.rc.left - 7, c.rc.top + 3, c.rc.right - 7, c.rc.bottom + 3), r.offsetted(-7, 3));
    }
}

TEST(RegionShapes, EllipseMatchesTheCentreRuleOnRandomRectangles)
{
    // The widest possible ellipse stays centred: no overflow in the squares.
    const RectI wide = Region::ellipse(INT32_MIN, 0, INT32_MAX, 2).boundingBox();
    EXPECT_EQ(int64_t(wide.left) + wide.right, -1);
    EXPECT_GT(wide.right, INT32_MAX / 2);

    const unsigned seed = testing::testSeed(7u);
    TQ_SEED_TRACE(seed);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> c(-20, 20);
    for (int round = 0; round < 200; ++round) {
        const int l = c(rng), t = c(rng), r = c(rng), b = c(rng);
        const Region e = Region::ellipse(l, t, r, b);
        const double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
        const double ax = std::abs(r - l) / 2.0, ay = std::abs(b - t) / 2.0;
        for (int y = -22; y < 22; ++y)
            for (int x = -22; x < 22; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                const bool in = ax > 0 && ay > 0 && dx * dx * ay * ay + dy * dy * ax * ax <= ax * ax * ay * ay;
                ASSERT_EQ(e.contains(x, y), in) << l << "," << t << "," << r << "," << b << " at " << x << "," << y;
            }
    }
}

TEST(RegionShapes, PolygonCoverage)
{
    const RectI area{0, 0, 5, 5};
    // A traced rectangle covers what rect() covers.
    EXPECT_EQ(Region::polygon({{1, 1}, {4, 1}, {4, 3}, {1, 3}}, FillMode::Alternate), Region::rect(1, 1, 4, 3));
    // Right triangle: centres strictly left of the slanted edge.
    EXPECT_EQ(mask(Region::polygon({{0, 0}, {4, 0}, {0, 4}}, FillMode::Alternate), area),
              (std::vector<std::string>{"###..", "##...", "#....", ".....", "....."}));
    // A square traced twice: winding count 2 is inside, crossing parity even is not.
    const std::vector<PointI> twice{{0, 0}, {4, 0}, {4, 4}, {0, 4}, {0, 0}, {4, 0}, {4, 4}, {0, 4}};
    EXPECT_EQ(Region::polygon(twice, FillMode::Winding), Region::rect(0, 0, 4, 4));
    EXPECT_TRUE(Region::polygon(twice, FillMode::Alternate).isEmpty());
    // Fewer than three points, or no area.
    EXPECT_TRUE(Region::polygon({{0, 0}, {4, 4}}, FillMode::Winding).isEmpty());
    EXPECT_TRUE(Region::polygon({{0, 0}, {4, 4}, {2, 2}}, FillMode::Winding).isEmpty());
    // Two triangles sharing a diagonal share no pixel and together fill the square.
    const Region lower = Region::polygon({{0, 0}, {4, 4}, {0, 4}}, FillMode::Winding);
    const Region upper = Region::polygon({{0, 0}, {4, 0}, {4, 4}}, FillMode::Winding);
    EXPECT_TRUE(Region::combine(lower, upper, CombineMode::And).isEmpty());
    EXPECT_EQ(Region::combine(lower, upper, CombineMode::Or), Region::rect(0, 0, 4, 4));
}

// Exact reference: does the crossing of edge p-q with row y's centre line lie
// at or left of pixel x's centre?
bool crossesLeftOf(PointI p, PointI q, int x, int y)
{
    if (p.y > q.y) std::swap(p, q);
    const int64_t dy = q.y - p.y;
    return 2 * int64_t(p.x) * dy + (2 * int64_t(y) + 1 - 2 * int64_t(p.y)) * (q.x - p.x) <= (2 * int64_t(x) + 1) * dy;
}

TEST(RegionShapes, PolygonMatchesTheFillRulesOnRandomPolygons)
{
    const unsigned seed = testing::testSeed(99u);
    TQ_SEED_TRACE(seed);
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> c(-3, 12), n(3, 7);
    for (int round = 0; round < 300; ++round) {
        std::vector<PointI> pts(static_cast<size_t>(n(rng)));
        for (PointI& p : pts) p = PointI{c(rng), c(rng)};
        const Region alt = Region::polygon(pts, FillMode::Alternate);
        const Region wind = Region::polygon(pts, FillMode::Winding);
        ASSERT_TRUE(isCanonical(alt));
        ASSERT_TRUE(isCanonical(wind));
        for (int y = -5; y < 15; ++y)
            for (int x = -5; x < 15; ++x) {
                int crossings = 0, winding = 0;
                for (size_t i = 0; i < pts.size(); ++i) {
                    const PointI p = pts[i], q = pts[(i + 1) % pts.size()];
                    const int lo = std::min(p.y, q.y), hi = std::max(p.y, q.y);
                    if (!(y >= lo && y < hi)) continue;   // centre line y + 0.5 inside [lo, hi)
                    if (!crossesLeftOf(p, q, x, y)) continue;
                    ++crossings;
                    winding += q.y > p.y ? 1 : -1;
                }
                ASSERT_EQ(alt.contains(x, y), crossings % 2 == 1) << "round " << round << " at " << x << "," << y;
                ASSERT_EQ(wind.contains(x, y), winding != 0) << "round " << round << " at " << x << "," << y;
            }
    }
}

TEST(RegionOps, OffsetBoundingBoxAndPointTest)
{
    Region r = Region::combine(Region::rect(0, 0, 3, 2), Region::rect(5, 4, 8, 9), CombineMode::Or);
    EXPECT_EQ(r.boundingBox(), (RectI{0, 0, 8, 9}));
    r.offset(-2, 10);
    EXPECT_EQ(r.boundingBox(), (RectI{-2, 10, 6, 19}));
    EXPECT_TRUE(r.contains(-2, 10));
    EXPECT_FALSE(r.contains(1, 10));
    EXPECT_TRUE(r.contains(5, 18));
    EXPECT_FALSE(r.contains(2, 13));   // between the two parts
    // Moving near the 32-bit limit saturates instead of wrapping around.
    Region edge = Region::rect(0, 0, 4, 4);
    edge.offset(INT32_MAX - 2, 0);
    EXPECT_EQ(edge, Region::rect(INT32_MAX - 2, 0, INT32_MAX, 4));
}

TEST(RegionOps, FrameIsTheInnerEdge)
{
    const Region ring = Region::rect(0, 0, 4, 3).frame(1, 1);
    EXPECT_EQ(mask(ring, RectI{0, 0, 4, 3}), (std::vector<std::string>{"####", "#..#", "####"}));
    EXPECT_EQ(Region::rect(2, 2, 3, 3).frame(1, 1), Region::rect(2, 2, 3, 3));
    // An L shape: a pixel is on the frame when a pixel beside, above or below
    // it is outside; the inner corner, outside only diagonally, is not.
    const Region l = Region::combine(Region::rect(0, 0, 5, 5), Region::rect(3, 0, 5, 3), CombineMode::Diff);
    EXPECT_EQ(mask(l.frame(1, 1), RectI{0, 0, 5, 5}),
              (std::vector<std::string>{"###..", "#.#..", "#.#..", "#..##", "#####"}));
    EXPECT_TRUE(Region::rect(0, 0, 4, 4).frame(0, 1).isEmpty());
}

TEST(RegionData, RectangleEncodesAsHeaderAndOneRectangle)
{
    EXPECT_EQ(Region::rect(2, 3, 10, 8).toData(), (std::vector<int32_t>{32, 1, 1, 16, 2, 3, 10, 8, 2, 3, 10, 8}));
    EXPECT_EQ(Region().toData(), (std::vector<int32_t>{32, 1, 0, 0, 0, 0, 0, 0}));
    const Region e = Region::ellipse(-3, 1, 40, 29);
    const std::vector<int32_t> words = e.toData();
    EXPECT_EQ(words.size(), 8 + 4 * e.rectCount());
    EXPECT_EQ(Region::fromData(words), e);
    // Overlapping rectangles in any order are read as their union.
    EXPECT_EQ(Region::fromData({32, 1, 2, 32, 0, 0, 0, 0, 2, 2, 6, 6, 0, 0, 4, 4}),
              Region::combine(Region::rect(0, 0, 4, 4), Region::rect(2, 2, 6, 6), CombineMode::Or));
}

TEST(RegionData, BadDataIsRefused)
{
    const std::vector<std::vector<int32_t>> bad = {
        {},
        {32, 1, 0, 0, 0, 0, 0},                        // header cut short
        {40, 1, 1, 16, 0, 0, 1, 1, 0, 0, 1, 1},        // header size not 32
        {32, 2, 1, 16, 0, 0, 1, 1, 0, 0, 1, 1},        // not rectangles
        {32, 1, 2, 32, 0, 0, 1, 1, 0, 0, 1, 1},        // count beyond the data
        {32, 1, -1, 0, 0, 0, 0, 0},                    // negative count
        {32, 1, 1, 16, 0, 0, 1, 1, 5, 0, 5, 1},        // zero width
        {32, 1, 1, 16, 0, 0, 1, 1, 0, 3, 1, 2},        // bottom above top
    };
    for (size_t i = 0; i < bad.size(); ++i) EXPECT_FALSE(Region::fromData(bad[i]).has_value()) << "case " << i;
    // Further words after the rectangles are not read.
    EXPECT_EQ(Region::fromData({32, 1, 1, 16, 0, 0, 1, 1, 0, 0, 1, 1, 77}), Region::rect(0, 0, 1, 1));
}

TEST(PatternBrush, PaintsTheRegionByDevicePosition)
{
    // A 10 x 3 surface whose pixel (0, 0) is device point (6, 1).
    std::vector<uint32_t> px(30, 7);
    PixelSurface s{reinterpret_cast<uint8_t*>(px.data()), 10 * 4, 10, 3, 6, 1};
    Pattern8 p;
    p.rows = {0x80, 0x01, 0, 0, 0, 0, 0, 0xFF};
    paintPattern(s, Region::rect(0, 0, 9, 3), p, 1, 2);
    // Device row 1 takes pattern row 1 (only device column 7 mod 8 set);
    // columns 6..8 of the device lie in the region, the rest stay.
    EXPECT_EQ(std::vector<uint32_t>(px.begin(), px.begin() + 10), (std::vector<uint32_t>{1, 2, 1, 7, 7, 7, 7, 7, 7, 7}));
    // Device row 2: pattern row 2, all zero bits; row 3 is outside the region.
    EXPECT_EQ(std::vector<uint32_t>(px.begin() + 10, px.begin() + 13), (std::vector<uint32_t>{1, 1, 1}));
    EXPECT_EQ(px[20], 7u);
}

} // namespace
} // namespace tq
