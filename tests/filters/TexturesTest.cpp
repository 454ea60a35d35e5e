// Texturize, TileMask, TILE, Grid and Scanlines.
#include "PositionPictures.h"

#include <algorithm>

namespace tq {
namespace {

using namespace positionpics;

// A texture Wt x Ht whose blue byte in column i is col[i] (every row alike
// unless rows says otherwise).
BitsBuffer texture(const std::vector<uint8_t>& col, int ht)
{
    BitsBuffer t(static_cast<int>(col.size()), ht);
    for (int y = 0; y < ht; ++y)
        for (int x = 0; x < static_cast<int>(col.size()); ++x) t.at(0, x, y) = col[x];
    return t;
}

TEST(Texturize, GreyOneTwentyEightKeepsThePicture)
{
    const BitsBuffer in = positions(9, 7);
    Engine e(in);
    const FilterResult out = e.f.Texturize(uniform(4, 3, 128, 0, 0));
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, in);
    EXPECT_EQ(e.reports.back(), 100);
}

TEST(Texturize, TilesStepByTheTextureSizeLessOne)
{
    // Texture columns 64, 128, 255: tiles repeat every 2 columns and the
    // last texture column shows only where the last tile ends in the box.
    Engine e(uniform(7, 3, 100, 3, 1));
    const FilterResult out = e.f.Texturize(texture({64, 128, 255}, 3));
    ASSERT_TRUE(out);
    // 100 * 64 / 128 = 50; 100 * 255 / 128 = 199.2 -> 199.
    const int want[7] = {50, 100, 50, 100, 50, 100, 199};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(out->at(0, x, y), want[x]) << x << "," << y;
    // Green 3 * 64 / 128 = 1.5 -> 2 and red 1 * 64 / 128 = 0.5 -> 0: ties go
    // to even; 255 brightens and clamps.
    EXPECT_EQ(out->at(1, 0, 0), 2);
    EXPECT_EQ(out->at(2, 0, 0), 0);
    EXPECT_EQ(out->at(1, 6, 0), 6);
    Engine bright(uniform(3, 3, 200, 200, 200));
    EXPECT_EQ(bright.f.Texturize(texture({255, 255, 255}, 3))->at(0, 1, 1), 255);
}

TEST(Texturize, OnlySelectedPixelsAndTilesFromTheBoxCorner)
{
    const BitsBuffer in = uniform(6, 6, 100, 100, 100);
    Engine e(in, diamond5());
    // Rows of the texture: 0 then 128 then 64; tiles step 2 from row 0.
    BitsBuffer t(3, 3);
    for (int x = 0; x < 3; ++x) {
        t.at(0, x, 0) = 0;
        t.at(0, x, 1) = 128;
        t.at(0, x, 2) = 64;
    }
    const FilterResult out = e.f.Texturize(t);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->at(0, 2, 0), 0);     // tile row 0, texture row 0
    EXPECT_EQ(out->at(0, 2, 1), 100);   // texture row 1
    EXPECT_EQ(out->at(0, 2, 2), 0);     // next tile's row 0 stands
    EXPECT_EQ(out->at(0, 2, 4), 50);    // the last tile shows the last row
    EXPECT_EQ(out->at(0, 0, 0), 100);   // corner of the box: not selected
    EXPECT_EQ(out->at(0, 5, 5), 100);   // outside the box
    expectBorderAndMarkersKept(in, *out);
}

TEST(Texturize, TextureBelowTwoByTwoFails)
{
    Engine e(positions(5, 5));
    EXPECT_FALSE(e.f.Texturize(BitsBuffer(1, 5)));
    EXPECT_FALSE(e.f.Texturize(BitsBuffer(5, 1)));
    EXPECT_FALSE(e.f.Texturize(BitsBuffer()));
    EXPECT_TRUE(e.f.Texturize(BitsBuffer(2, 2)));
}

TEST(TileMask, PlacesBlendsAndMasks)
{
    const BitsBuffer in = uniform(6, 4, 10, 20, 30);
    BitsBuffer m = uniform(3, 2, 200, 100, 50);
    m.at(0, 1, 0) = m.at(1, 1, 0) = m.at(2, 1, 0) = 255;   // one white pixel

    struct Case {
        const char* name;
        int xo, yo;
        bool tiled;
        int transparency, maskColor;
        int x, y;          // probe
        int b, g, r;       // expected there
    };
    const Case cases[] = {
        {"copied at the corner", 0, 0, false, 0, -1, 0, 0, 200, 100, 50},
        {"white copied too without mask", 0, 0, false, 0, -1, 1, 0, 255, 255, 255},
        {"white left out by the mask", 0, 0, false, 0, 0xFFFFFF, 1, 0, 10, 20, 30},
        {"beyond the single copy", 0, 0, false, 0, -1, 3, 0, 10, 20, 30},
        {"tiled to the right", 0, 0, true, 0, -1, 3, 0, 200, 100, 50},
        {"tiled down", 0, 0, true, 0, -1, 0, 2, 200, 100, 50},
        {"tiling never runs left", 2, 0, true, 0, -1, 1, 0, 10, 20, 30},
        {"transparency 100 keeps the picture", 0, 0, false, 100, -1, 0, 0, 10, 20, 30},
        // 10 * 0.5 + 200 * 0.5 = 105; 20 * 0.5 + 100 * 0.5 = 60; 40.
        {"half and half", 0, 0, false, 50, -1, 0, 0, 105, 60, 40},
        // Offset (-1, -1): the copy's pixel (1, 1) lands on (0, 0).
        {"negative offset", -1, -1, false, 0, -1, 0, 0, 200, 100, 50},
        {"negative offset, clipped part gone", -1, -1, false, 0, -1, 2, 0, 10, 20, 30},
        {"negative offset tiled", -1, -1, true, 0, -1, 2, 1, 200, 100, 50},
    };
    for (const Case& c : cases) {
        Engine e(in);
        const FilterResult out = e.f.TileMask(m, c.xo, c.yo, c.tiled, c.transparency, c.maskColor);
        ASSERT_TRUE(out) << c.name;
        EXPECT_EQ(out->at(0, c.x, c.y), c.b) << c.name;
        EXPECT_EQ(out->at(1, c.x, c.y), c.g) << c.name;
        EXPECT_EQ(out->at(2, c.x, c.y), c.r) << c.name;
        expectBorderAndMarkersKept(in, *out);
    }
}

TEST(TileMask, TiledCopiesFillThePictureWithinTheSelection)
{
    const BitsBuffer m = positions(2, 3);
    const BitsBuffer in = uniform(5, 5, 99, 99, 99);
    Engine e(in, diamond5());
    const FilterResult out = e.f.TileMask(m, 0, 0, true, 0, -1);
    ASSERT_TRUE(out);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            if (e.rg.contains(x, y)) EXPECT_EQ(from(*out, x, y), std::make_pair(x % 2, y % 3)) << x << "," << y;
            else EXPECT_TRUE(samePixel(*out, in, x, y)) << x << "," << y;
        }
}

TEST(TileMask, FarOffsetsTileWithoutWalkingTheWayThere)
{
    // Copies 2 x 3 from (-1000001, -1000000): the picture's (0, 0) falls on
    // the copy's pixel (1000001 % 2, 1000000 % 3) = (1, 1).
    Engine e(uniform(4, 4, 0, 0, 0));
    const FilterResult out = e.f.TileMask(positions(2, 3), -1000001, -1000000, true, 0, -1);
    ASSERT_TRUE(out);
    EXPECT_EQ(from(*out, 0, 0), std::make_pair(1, 1));
    EXPECT_EQ(from(*out, 3, 3), std::make_pair(0, 1));
}

TEST(TileMask, StopsWhenABlendLeavesTheByteRange)
{
    // Transparency 200 gives 2 * P - T, below 0 here.
    Engine e(uniform(4, 4, 10, 10, 10));
    EXPECT_FALSE(e.f.TileMask(uniform(2, 2, 200, 200, 200), 0, 0, true, 200, -1));
    // Nothing to place is no failure.
    const FilterResult none = e.f.TileMask(BitsBuffer(0, 0), 0, 0, true, 0, -1);
    ASSERT_TRUE(none);
    EXPECT_EQ(*none, e.f.Bits());
}

TEST(TileMask, ProgressPerRowOfCopies)
{
    Engine e(uniform(4, 9, 1, 1, 1));
    e.reportEveryRow();
    ASSERT_TRUE(e.f.TileMask(uniform(4, 3, 2, 2, 2), 0, 1, true, 0, -1));
    // Copies at rows 1, 4, 7: (y0 - 1) * 100 \ (8 - 1).
    EXPECT_EQ(e.reports, (std::vector<int32_t>{0, 42, 85, 100}));
    Engine last(uniform(4, 9, 1, 1, 1));
    last.reportEveryRow();
    ASSERT_TRUE(last.f.TileMask(uniform(4, 3, 2, 2, 2), 0, 8, true, 0, -1));
    EXPECT_EQ(last.reports, std::vector<int32_t>{100});
    // Rows of copies wholly above the picture change nothing but still
    // count: copies 3 high from row -7 sit at -7, -4, -1, 2, 5, 8, reported
    // as (y0 + 7) * 100 \ (8 + 7).
    Engine above(uniform(4, 9, 1, 1, 1));
    above.reportEveryRow();
    ASSERT_TRUE(above.f.TileMask(uniform(4, 3, 2, 2, 2), 0, -7, true, 0, -1));
    EXPECT_EQ(above.reports, (std::vector<int32_t>{0, 20, 40, 60, 80, 100, 100}));
}

TEST(Tile, OneTileOnTheWholePictureIsTheSameStuff)
{
    for (auto [w, h] : {std::pair{1, 1}, {2, 2}, {5, 3}, {100, 7}, {3, 40}}) {
        const BitsBuffer in = positions(w, h);
        Engine e(in);
        EXPECT_EQ(e.f.TILE(1), in) << w << " x " << h;
    }
}

TEST(Tile, TwoTilesAcrossAHundredColumns)
{
    const BitsBuffer in = positions(100, 3);
    Engine e(in);
    const BitsBuffer out = e.f.TILE(2);
    // tw = rnd(99 / 2) = 50, fx = 1.98: tiles 51 wide at 0 and 50; the
    // second tile's first column stands on column 50.
    EXPECT_EQ(out.at(0, 0, 0), 0);
    EXPECT_EQ(out.at(0, 25, 0), 50);   // rnd(25 * 1.98) = rnd(49.5) = 50
    EXPECT_EQ(out.at(0, 49, 0), 97);
    EXPECT_EQ(out.at(0, 50, 0), 0);
    EXPECT_EQ(out.at(0, 75, 0), 50);
    EXPECT_EQ(out.at(0, 99, 0), 97);
    // th = rnd(2 / 2) = 1, fy = 2: rows 0, 2 from tile rows 0 and 1.
    EXPECT_EQ(out.at(1, 0, 0), 0);
    EXPECT_EQ(out.at(1, 0, 1), 0);   // the second tile row's first row
    EXPECT_EQ(out.at(1, 0, 2), 2);
    expectBorderAndMarkersKept(in, out);
}

TEST(Tile, SelectionShiftsThePictureToItsCorner)
{
    const BitsBuffer in = positions(8, 5);
    Engine e(in, Region::rect(2, 1, 6, 4));
    const BitsBuffer out = e.f.TILE(1);   // tw 7, th 4: one tile from (2, 1)
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 8; ++x) {
            if (e.rg.contains(x, y)) EXPECT_EQ(from(out, x, y), std::make_pair(x - 2, y - 1));
            else EXPECT_TRUE(samePixel(out, in, x, y));
        }
}

TEST(Tile, FactorZeroOrBelowDoesNotFail)
{
    Engine e(positions(6, 4));
    for (int factor : {0, -3}) {
        // Tiles of 1 x 1 showing the picture's corners: fx = MaxX.
        const BitsBuffer out = e.f.TILE(factor);
        EXPECT_EQ(from(out, 0, 0), std::make_pair(0, 0));
        EXPECT_EQ(from(out, 5, 3), std::make_pair(5, 3));
        EXPECT_EQ(from(out, 1, 1), std::make_pair(0, 0));
    }
}

TEST(Grid, LinesRowsThenColumns)
{
    const BitsBuffer in = uniform(8, 6, 10, 20, 30);
    const int32_t color = rgbColor(200, 100, 50);
    struct Case {
        bool force;
        int opacity;
        std::vector<int> rows, cols;
        int b, g, r;   // a line pixel
    };
    const Case cases[] = {
        {false, 255, {0, 2, 4}, {0, 3, 6}, 50, 100, 200},
        {true, 255, {0, 2, 4, 5}, {0, 3, 6, 7}, 50, 100, 200},
        // a = 0.5019608, e = 0.4980392: 50 a + 10 e = 30.078 -> 30.
        {false, 128, {0, 2, 4}, {0, 3, 6}, 30, 60, 115},
        {false, 0, {}, {}, 10, 20, 30},
    };
    for (const Case& c : cases) {
        Engine e(in);
        const FilterResult out = e.f.Grid(3, 2, c.force, color, c.opacity);
        ASSERT_TRUE(out);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool line = std::count(c.rows.begin(), c.rows.end(), y) ||
                                  std::count(c.cols.begin(), c.cols.end(), x);
                const int want[3] = {line ? c.b : 10, line ? c.g : 20, line ? c.r : 30};
                for (int ch = 0; ch < 3; ++ch)
                    EXPECT_EQ(out->at(ch, x, y), want[ch]) << x << "," << y << " force " << c.force;
            }
        expectBorderAndMarkersKept(in, *out);
    }
}

TEST(Grid, StartsAtTheSelectionBoxAndForcesOnlySelectedMargins)
{
    const BitsBuffer in = uniform(60, 20, 0, 0, 0);
    Engine e(in, Region::rect(50, 10, 56, 15));
    const FilterResult out = e.f.Grid(4, 3, true, 0xFFFFFF, 255);
    ASSERT_TRUE(out);
    EXPECT_EQ(out->at(0, 50, 11), 255);   // vertical line from the box's column
    EXPECT_EQ(out->at(0, 54, 12), 255);
    EXPECT_EQ(out->at(0, 51, 10), 255);   // horizontal line on the box's top
    EXPECT_EQ(out->at(0, 51, 13), 255);
    EXPECT_EQ(out->at(0, 51, 11), 0);
    EXPECT_EQ(out->at(0, 50, 9), 0);      // above the box
    EXPECT_EQ(out->at(0, 59, 12), 0);     // last column, not selected
    EXPECT_EQ(out->at(0, 51, 19), 0);     // last row, not selected
}

TEST(Grid, StepBelowOneFails)
{
    Engine e(positions(4, 4));
    EXPECT_FALSE(e.f.Grid(0, 1, false, 0, 255));
    EXPECT_FALSE(e.f.Grid(1, 0, false, 0, 255));
    EXPECT_FALSE(e.f.Grid(-2, 3, false, 0, 255));
}

TEST(Grid, ProgressRunsTwiceAndAnOpacityOutOfRangeKeepsBytes)
{
    Engine e(uniform(11, 11, 100, 100, 100));
    e.reportEveryRow();
    const FilterResult out = e.f.Grid(5, 5, false, 0, 510);   // a = 2: 0 - 100 fails
    ASSERT_TRUE(out);
    EXPECT_EQ(out->at(0, 0, 0), 100);
    EXPECT_EQ(e.reports, (std::vector<int32_t>{0, 50, 100, 0, 50, 100, 100}));
}

TEST(Scanlines, AlternateRowsFromTheBoxTop)
{
    const BitsBuffer in = uniform(4, 8, 255, 255, 20);
    Engine e(in, Region::rect(1, 3, 4, 8));
    const BitsBuffer out = e.f.Scanlines(30);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool dark = x >= 1 && y >= 3 && (y - 3) % 2 == 0;
            EXPECT_EQ(out.at(0, x, y), dark ? 225 : 255) << x << "," << y;
            EXPECT_EQ(out.at(2, x, y), dark ? 0 : 20) << x << "," << y;   // floored at 0
        }
    expectBorderAndMarkersKept(in, out);
    // A negative amount brightens, and stops at 255 rather than wrapping.
    Engine whole(uniform(2, 2, 250, 100, 0));
    const BitsBuffer up = whole.f.Scanlines(-30);
    EXPECT_EQ(up.at(0, 0, 0), 255);
    EXPECT_EQ(up.at(1, 1, 0), 130);
    EXPECT_EQ(up.at(1, 1, 1), 100);
}

} // namespace
} // namespace tq
