// The anti-aliased outlines: pressure byte, the split of a sample, lines,
// rectangles, polygons and ellipses.
#include "PaintFixtures.h"

#include "tools/PaintSamples.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace tq::test {
namespace {

TEST(Outline, PressureByte)
{
    struct Case {
        int pressure, byte;
    };
    // 2.55 lies just below itself in double: 50 x 2.55 rounds down.
    const Case cases[] = {{1, 3}, {25, 64}, {50, 127}, {100, 255}, {0, 1}, {-5, 1}, {300, 255}};
    for (const Case& c : cases) EXPECT_EQ(PressureByte(c.pressure), c.byte) << c.pressure;
}

TEST(Outline, SampleSplitOverFourPixels)
{
    struct Case {
        float x, y;
        int ix, iy, iy2;
        std::array<int32_t, 4> w;
    };
    const Case cases[] = {
        // On a pixel centre: nudged by 0.001, almost all on (3, 4).
        {3.0f, 4.0f, 3, 4, 5, {254, 0, 0, 0}},
        // Halfway across and down: a quarter each.
        {3.5f, 4.5f, 3, 4, 5, {64, 64, 64, 64}},
        {3.25f, 4.0f, 3, 4, 5, {191, 64, 0, 0}},
        {-0.75f, 2.5f, -1, 2, 3, {96, 32, 96, 32}},
    };
    for (const Case& c : cases) {
        const SplatWeights s = splatWeights(c.x, c.y);
        EXPECT_EQ(s.ix, c.ix) << c.x << "," << c.y;
        EXPECT_EQ(s.iy, c.iy) << c.x << "," << c.y;
        EXPECT_EQ(s.iy2, c.iy2) << c.x << "," << c.y;
        EXPECT_EQ(s.w, c.w) << c.x << "," << c.y;
    }
}

TEST(Line, ZeroLengthBlendsItsPixelTwice)
{
    Doc full(5, 5, kWhite);
    full.paint.BitsLine(2, 2, 2, 2, 0, 100);
    EXPECT_EQ(full.at(2, 2), kBlack);   // 255 -> 1 -> 0 at weight 254
    const BitsBuffer before = flatPicture(5, 5, kWhite);
    EXPECT_EQ(full.changedCount(before), 1);

    Doc half(5, 5, kWhite);
    half.paint.BitsLine(2, 2, 2, 2, 0, 50);
    // f = 254 / 255 x 127 / 255 = 0.49609: 255 -> 128.50 -> 128, then 64.50 -> 65.
    EXPECT_EQ(half.at(2, 2), grey(65));
}

TEST(Line, HorizontalLinePaintsOneRow)
{
    Doc doc(12, 10, kWhite);
    doc.paint.BitsLine(0, 5, 9, 5, 0, 100);
    for (int x = 0; x < 12; ++x) {
        EXPECT_EQ(doc.at(x, 4), kWhite) << x;
        EXPECT_EQ(doc.at(x, 6), kWhite) << x;
    }
    EXPECT_EQ(doc.at(10, 5), kWhite);
    EXPECT_EQ(doc.at(9, 5), kBlack);
    for (int x = 1; x <= 8; ++x) EXPECT_LE(doc.at(x, 5).r, 8) << x;
    // The start pixel gets only the first two samples' share: 104, about
    // 60 % of the way to black.
    EXPECT_EQ(doc.at(0, 5), grey(104));

    // 2 (n + 1) samples, the last on the end point.
    std::vector<std::pair<float, float>> samples;
    forEachLineSample(0, 5, 9, 5, [&](float x, float y) { samples.emplace_back(x, y); });
    ASSERT_EQ(samples.size(), 20u);
    EXPECT_FLOAT_EQ(samples.front().first, 0.45f);
    EXPECT_FLOAT_EQ(samples.back().first, 9.0f);
}

TEST(Line, ColourGoesToItsChannels)
{
    Doc doc(6, 3, kBlack);
    doc.paint.BitsLine(3, 1, 3, 1, rgbColor(10, 150, 250), 100);
    EXPECT_EQ(doc.at(3, 1), (Rgb{10, 150, 250}));
}

TEST(Rectangle, FourSidesInsideUntouched)
{
    Doc doc(12, 12, kWhite);
    doc.paint.BitsRectangle(2, 3, 9, 8, 0, 100);
    for (int x = 3; x <= 8; ++x) {
        EXPECT_LE(doc.at(x, 3).r, 8) << x;
        EXPECT_LE(doc.at(x, 8).r, 8) << x;
    }
    for (int y = 4; y <= 7; ++y) {
        EXPECT_LE(doc.at(2, y).r, 8) << y;
        EXPECT_LE(doc.at(9, y).r, 8) << y;
        for (int x = 3; x <= 8; ++x) EXPECT_EQ(doc.at(x, y), kWhite) << x << "," << y;
    }
    EXPECT_EQ(doc.at(1, 3), kWhite);
    EXPECT_EQ(doc.at(10, 8), kWhite);
}

TEST(Polygon, EdgesRunClockwiseFromTheGivenCorner)
{
    using Edge = std::array<int, 4>;
    const auto edges = [](int x1, int y1, int x2, int y2, int sides) {
        std::vector<Edge> out;
        const bool ok = forEachPolygonEdge(x1, y1, x2, y2, sides, [&](int ax, int ay, int bx, int by) {
            out.push_back(Edge{ax, ay, bx, by});
        });
        if (!ok) out.push_back(Edge{-1, -1, -1, -1});
        return out;
    };
    // A diamond: right corner, then down to the bottom corner.
    EXPECT_EQ(edges(10, 10, 15, 10, 4),
              (std::vector<Edge>{{15, 10, 10, 15}, {10, 15, 5, 10}, {5, 10, 10, 5}, {10, 5, 15, 10}}));
    // The corner straight above the centre, and to the left.
    EXPECT_EQ(edges(10, 10, 10, 4, 2), (std::vector<Edge>{{10, 4, 10, 16}, {10, 16, 10, 4}}));
    EXPECT_EQ(edges(10, 10, 4, 10, 1), (std::vector<Edge>{{4, 10, 4, 10}}));
    EXPECT_EQ(edges(10, 10, 13, 14, 5).size(), 5u);
    EXPECT_EQ(edges(10, 10, 13, 14, 100).size(), 100u);
    // No sides: refused rather than divided by zero.
    EXPECT_EQ(edges(10, 10, 15, 10, 0), (std::vector<Edge>{{-1, -1, -1, -1}}));
    EXPECT_EQ(edges(10, 10, 15, 10, -3), (std::vector<Edge>{{-1, -1, -1, -1}}));

    Doc doc(8, 8, kWhite);
    const BitsBuffer before = doc.bits;
    doc.paint.BitsPolygon(4, 4, 7, 4, 0, 0, 100);
    EXPECT_EQ(doc.bits, before);
    doc.paint.BitsPolygon(4, 4, 7, 4, 4, 0, 100);
    EXPECT_EQ(doc.at(7, 4), kBlack);
    EXPECT_EQ(doc.at(4, 4), kWhite);
}

TEST(Ellipse, SampleCountFromTheLargerRadius)
{
    const auto count = [](int xR, int yR) {
        int n = 0;
        forEachEllipseSample(20, 20, xR, yR, [&](float, float) { ++n; });
        return n;
    };
    EXPECT_EQ(count(10, 5), 118);
    EXPECT_EQ(count(5, 10), 118);
    EXPECT_EQ(count(0, 0), 12);
    EXPECT_EQ(count(-10, -20), 118);   // a negative larger radius steps by -k / m

    // Radius 0: every sample on the centre.
    std::vector<std::pair<float, float>> at;
    forEachEllipseSample(7, 3, 0, 0, [&](float x, float y) { at.emplace_back(x, y); });
    for (auto [x, y] : at) {
        EXPECT_EQ(x, 7.0f);
        EXPECT_EQ(y, 3.0f);
    }
    Doc doc(15, 7, kWhite);
    doc.paint.BitsEllipse(7, 3, 0, 0, 0, 25);
    const BitsBuffer before = flatPicture(15, 7, kWhite);
    EXPECT_EQ(doc.changedCount(before), 1);
    EXPECT_LT(doc.at(7, 3).r, 60);
}

TEST(Ellipse, OutlineGoesRoundTheCentre)
{
    Doc doc(30, 20, kWhite);
    doc.paint.BitsEllipse(15, 10, 10, 5, 0, 100);
    EXPECT_LT(doc.at(25, 10).r, 128);   // right
    EXPECT_LT(doc.at(5, 10).r, 128);    // left
    EXPECT_LT(doc.at(15, 15).r, 128);   // bottom
    EXPECT_LT(doc.at(15, 5).r, 128);    // top
    EXPECT_EQ(doc.at(15, 10), kWhite);
    EXPECT_EQ(doc.at(0, 0), kWhite);
}

TEST(Outline, NothingWithoutAPicture)
{
    BitsBuffer none;
    cBitRegion sel;
    DocumentPaint paint(none, sel);
    paint.BitsLine(0, 0, 5, 5, 0, 100);
    paint.BitsRectangle(0, 0, 5, 5, 0, 100);
    paint.BitsPolygon(2, 2, 5, 5, 3, 0, 100);
    paint.BitsEllipse(2, 2, 5, 5, 0, 100);
    paint.BitsBrush(2, 2, 5, 100, 0);
    paint.BitsFill(0, 0, 0, 10, 100);
    EXPECT_FALSE(none.allocated());
}

} // namespace
} // namespace tq::test
