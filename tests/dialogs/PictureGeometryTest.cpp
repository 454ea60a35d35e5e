// The computations behind the geometry dialogs, on small pictures whose
// every pixel differs, checked against where each old pixel must land.
#include "dialogs/PictureGeometry.h"
#include "filters/cBitFilter.h"
#include "mainwindow/CommandFixture.h"

#include "core/Region.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace tq {
namespace {

using testing::patternBits;

// Blue, green and red of (x, y) equal those of (sx, sy) in the source.
::testing::AssertionResult samePixel(const BitsBuffer& got, int x, int y, const BitsBuffer& src, int sx, int sy)
{
    for (int c = 0; c < 3; ++c)
        if (got.at(c, x, y) != src.at(c, sx, sy))
            return ::testing::AssertionFailure()
                   << "(" << x << "," << y << ") channel " << c << " is " << int(got.at(c, x, y)) << ", old (" << sx
                   << "," << sy << ") has " << int(src.at(c, sx, sy));
    return ::testing::AssertionSuccess();
}

bool black(const BitsBuffer& b, int x, int y) { return b.at(0, x, y) == 0 && b.at(1, x, y) == 0 && b.at(2, x, y) == 0; }

bool markersClear(const BitsBuffer& b)
{
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.at(3, x, y) != 0) return false;
    return true;
}

// The pattern with 255 in every marker byte, so a result that copied the
// markers along shows it.
BitsBuffer markedPattern(int w, int h)
{
    BitsBuffer b = patternBits(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) b.at(3, x, y) = 255;
    return b;
}

} // namespace

TEST(PictureGeometry, AnchorOffsetsPutTheOddPixelOnTheRightAndCutItOnTheLeft)
{
    struct Case {
        int64_t newSide, oldSide;
        int32_t cell;
        int64_t offset;
    } cases[] = {
        {103, 100, 1, 2},    // 1.5 -> 2: two new columns left, one right
        {105, 100, 1, 2},    // 2.5 -> 2: two left, three right
        {101, 100, 1, 0},    // 0.5 -> 0: the new column on the right
        {97, 100, 1, -2},    // -1.5 -> -2: two cut on the left, one on the right
        {110, 100, 1, 5},  {90, 100, 1, -5},
        {120, 100, 0, 0},  {130, 100, 2, 30}, {60, 100, 2, -40}, {70, 100, 2, -30},
    };
    for (const Case& c : cases)
        EXPECT_EQ(anchorOffset(c.newSide, c.oldSide, c.cell), c.offset) << c.newSide << " " << c.oldSide << " " << c.cell;
}

TEST(PictureGeometry, CanvasKeepsTheOldPixelsAtTheAnchor)
{
    const BitsBuffer src = markedPattern(100, 100);
    cBitFilter engine;

    // Centre anchor, 100 -> 103 wide: two black columns left, one right.
    ASSERT_EQ(placeOnCanvas(engine, src, 103, 100, anchorOffset(103, 100, 1), 0), GeometryOutcome::Done);
    BitsBuffer r = engine.Bits();
    ASSERT_EQ(r.width(), 103);
    for (int y : {0, 57, 99}) {
        EXPECT_TRUE(black(r, 0, y) && black(r, 1, y) && black(r, 102, y));
        EXPECT_TRUE(samePixel(r, 2, y, src, 0, y));
        EXPECT_TRUE(samePixel(r, 101, y, src, 99, y));
    }
    EXPECT_TRUE(markersClear(r));
    EXPECT_EQ(engine.BitsRegion(), nullptr);

    // Bottom-right anchor, 100 x 100 -> 60 x 70: the old (40, 30)-(99, 99).
    ASSERT_EQ(placeOnCanvas(engine, src, 60, 70, anchorOffset(60, 100, 2), anchorOffset(70, 100, 2)),
              GeometryOutcome::Done);
    r = engine.Bits();
    ASSERT_EQ(r.width(), 60);
    ASSERT_EQ(r.height(), 70);
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_TRUE(samePixel(r, x, y, src, x + 40, y + 30));

    // Centre anchor, 110 x 90: five black columns each side, old rows 5 to 94.
    ASSERT_EQ(placeOnCanvas(engine, src, 110, 90, anchorOffset(110, 100, 1), anchorOffset(90, 100, 1)),
              GeometryOutcome::Done);
    r = engine.Bits();
    EXPECT_TRUE(black(r, 4, 0) && black(r, 105, 89));
    EXPECT_TRUE(samePixel(r, 5, 0, src, 0, 5));
    EXPECT_TRUE(samePixel(r, 104, 89, src, 99, 94));

    // Top-left anchor, growing to 120 x 130: black right columns and bottom rows.
    ASSERT_EQ(placeOnCanvas(engine, src, 120, 130, 0, 0), GeometryOutcome::Done);
    r = engine.Bits();
    EXPECT_TRUE(samePixel(r, 99, 99, src, 99, 99));
    EXPECT_TRUE(black(r, 100, 0) && black(r, 119, 129) && black(r, 0, 100));

    EXPECT_EQ(placeOnCanvas(engine, src, 32768, 10, 0, 0), GeometryOutcome::TooLarge);
}

TEST(PictureGeometry, TurnedSizeAndItsDiagonalIn64Bits)
{
    struct Case {
        int64_t w, h;
        int32_t degrees;
        int64_t W, H, D;
    } cases[] = {
        {100, 100, 45, 141, 141, 141},
        {200, 100, -45, 212, 212, 224},
        {640, 480, 90, 480, 640, 800},
        {100, 50, 180, 100, 50, 112},
        {100, 50, 0, 100, 50, 112},
        // w * w + h * h is far above 2^31: a 32-bit sum would wrap.
        {32767, 32767, 0, 32767, 32767, 46340},
        {30000, 20000, 1, 30344, 20521, 36056},
    };
    for (const Case& c : cases) {
        const TurnedSize t = turnedSize(c.w, c.h, c.degrees);
        EXPECT_EQ(t.width, c.W) << c.w << "x" << c.h << " at " << c.degrees;
        EXPECT_EQ(t.height, c.H) << c.w << "x" << c.h << " at " << c.degrees;
        EXPECT_EQ(t.diagonal, c.D) << c.w << "x" << c.h << " at " << c.degrees;
    }
}

TEST(PictureGeometry, HalfTurnsAndPlainQuarterTurnsAreLossless)
{
    struct Case {
        int32_t degrees;
        bool smooth;
        bool lossless;
    } cases[] = {{0, false, true},    {0, true, true},     {180, false, true}, {-180, true, true},
                 {90, false, true},   {-90, false, true},  {90, true, false},  {-90, true, false},
                 {45, false, false},  {1, false, false},   {179, false, false}, {270, false, true}};
    for (const Case& c : cases) EXPECT_EQ(isLosslessTurn(c.degrees, c.smooth), c.lossless) << c.degrees << " " << c.smooth;

    // An even width and height, where a turn about the middle pixel would
    // lose an edge column and row: every old pixel must arrive.
    const int w = 6, h = 4;
    const BitsBuffer src = markedPattern(w, h);
    cBitFilter engine;
    struct Turn {
        int32_t degrees;
        int W, H;
        // Where old (x, y) lands.
        int (*nx)(int x, int y);
        int (*ny)(int x, int y);
    } turns[] = {
        {0, w, h, [](int x, int) { return x; }, [](int, int y) { return y; }},
        {90, h, w, [](int, int y) { return y; }, [](int x, int) { return 6 - 1 - x; }},
        {-90, h, w, [](int, int y) { return 4 - 1 - y; }, [](int x, int) { return x; }},
        {180, w, h, [](int x, int) { return 6 - 1 - x; }, [](int, int y) { return 4 - 1 - y; }},
        {-180, w, h, [](int x, int) { return 6 - 1 - x; }, [](int, int y) { return 4 - 1 - y; }},
    };
    for (const Turn& t : turns) {
        SCOPED_TRACE(t.degrees);
        for (bool smooth : {false, true}) {
            if (!isLosslessTurn(t.degrees, smooth)) continue;
            ASSERT_EQ(turnPicture(engine, src, t.degrees, smooth), GeometryOutcome::Done);
            const BitsBuffer r = engine.Bits();
            ASSERT_EQ(r.width(), t.W);
            ASSERT_EQ(r.height(), t.H);
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) ASSERT_TRUE(samePixel(r, t.nx(x, y), t.ny(x, y), src, x, y));
            EXPECT_TRUE(markersClear(r));
            EXPECT_EQ(engine.BitsRegion(), nullptr);
        }
    }
}

TEST(PictureGeometry, AnEighthTurnFillsTheDiagonalCanvasWithBlackCorners)
{
    BitsBuffer white(100, 100);
    white.fill(255);
    for (bool smooth : {false, true}) {
        cBitFilter engine;
        ASSERT_EQ(turnPicture(engine, white, 45, smooth), GeometryOutcome::Done);
        const BitsBuffer r = engine.Bits();
        ASSERT_EQ(r.width(), 141);
        ASSERT_EQ(r.height(), 141);
        EXPECT_TRUE(black(r, 0, 0) && black(r, 140, 0) && black(r, 0, 140) && black(r, 140, 140));
        EXPECT_EQ(r.at(2, 70, 70), 255);
        EXPECT_EQ(r.at(0, 70, 2), 255);   // the turned picture's corner reaches the top
        EXPECT_TRUE(markersClear(r));
        EXPECT_EQ(engine.BitsRegion(), nullptr);
    }
    // A smooth quarter turn is no flip: it goes through the canvas, yet the
    // size is exchanged.
    cBitFilter engine;
    ASSERT_EQ(turnPicture(engine, patternBits(7, 3), 90, true), GeometryOutcome::Done);
    EXPECT_EQ(engine.BitsWidth(), 3);
    EXPECT_EQ(engine.BitsHeight(), 7);
}

TEST(PictureGeometry, OtherAnglesTurnOnTheDiagonalCanvasAndCutBack)
{
    // The turn spelt out: the picture placed on a black D x D canvas by the
    // engine's TileMask, the whole canvas turned, the turned size cut from
    // its middle. The result must not depend on how the work is shortened.
    for (const auto& [w, h] : {std::pair{37, 23}, std::pair{40, 20}, std::pair{9, 31}}) {
        const BitsBuffer src = markedPattern(w, h);
        for (const int32_t degrees : {1, 30, 45, -60, 90, 135, -179}) {
            for (bool smooth : {false, true}) {
                if (isLosslessTurn(degrees, smooth)) continue;
                SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h) + " at " + std::to_string(degrees) +
                             (smooth ? " smooth" : " plain"));
                const TurnedSize t = turnedSize(w, h, degrees);
                const auto D = static_cast<int32_t>(t.diagonal);
                const Region canvas = Region::rect(0, 0, D, D);
                cBitFilter spelt;
                spelt.setBitsRegion(&canvas);
                spelt.setBits(BitsBuffer(D, D));
                spelt.setBits(*spelt.TileMask(src, (D - w) / 2, (D - h) / 2, false, 0, -1));
                spelt.setBits(smooth ? spelt.RotateSmooth(degrees) : spelt.ROTATE(degrees, true));
                const auto left = static_cast<int32_t>((D - t.width) / 2);
                const auto top = static_cast<int32_t>((D - t.height) / 2);
                ASSERT_TRUE(spelt.BitsCrop(spelt.Bits(), left, top, left + int32_t(t.width), top + int32_t(t.height)));

                cBitFilter engine;
                ASSERT_EQ(turnPicture(engine, src, degrees, smooth), GeometryOutcome::Done);
                EXPECT_EQ(engine.Bits(), spelt.Bits());
            }
        }
    }
}

TEST(PictureGeometry, ATurnWhoseCanvasWouldPassTheLargestSideIsRefused)
{
    // 32767 x 200: its diagonal is 32768, one more than a side may be.
    const BitsBuffer wide(32767, 200);
    cBitFilter engine;
    engine.setBits(patternBits(3, 2));
    EXPECT_EQ(turnPicture(engine, wide, 30, false), GeometryOutcome::TooLarge);
    EXPECT_EQ(turnPicture(engine, wide, -1, true), GeometryOutcome::TooLarge);
    EXPECT_EQ(engine.Bits(), patternBits(3, 2));   // nothing was built
    // Half and quarter turns need no canvas.
    EXPECT_EQ(turnPicture(engine, wide, 90, false), GeometryOutcome::Done);
    EXPECT_EQ(engine.BitsWidth(), 200);
    EXPECT_EQ(engine.BitsHeight(), 32767);
}

TEST(PictureGeometry, OrientationTurnsBeforeItMirrors)
{
    const int w = 5, h = 3;
    const BitsBuffer src = patternBits(w, h);
    cBitFilter engine;
    // Quarter turn: new (y, W - 1 - x) = old (x, y); then the left-right mirror
    // of the turned (h x w) picture: (h - 1 - y, W - 1 - x).
    ASSERT_EQ(orientPicture(engine, src, true, true, false), GeometryOutcome::Done);
    const BitsBuffer r = engine.Bits();
    ASSERT_EQ(r.width(), h);
    ASSERT_EQ(r.height(), w);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_TRUE(samePixel(r, h - 1 - y, w - 1 - x, src, x, y));

    // Both mirrors without the turn: a half turn.
    ASSERT_EQ(orientPicture(engine, src, false, true, true), GeometryOutcome::Done);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ASSERT_TRUE(samePixel(engine.Bits(), w - 1 - x, h - 1 - y, src, x, y));
}

TEST(PictureGeometry, ResizeAndBlankPictures)
{
    const BitsBuffer src = patternBits(8, 6);
    cBitFilter engine, reference;
    ASSERT_EQ(resizePicture(engine, src, 5, 9, false), GeometryOutcome::Done);
    reference.BitsResize(src, 5, 9);
    EXPECT_EQ(engine.Bits(), reference.Bits());
    ASSERT_EQ(resizePicture(engine, src, 12, 4, true), GeometryOutcome::Done);
    reference.BitsResample(src, 12, 4);
    EXPECT_EQ(engine.Bits(), reference.Bits());
    EXPECT_EQ(resizePicture(engine, src, 40000, 10, true), GeometryOutcome::TooLarge);
    EXPECT_EQ(engine.Bits(), reference.Bits());   // a refused size builds nothing

    ASSERT_EQ(blankPicture(engine, 4, 3, rgbColor(255, 255, 255)), GeometryOutcome::Done);
    EXPECT_EQ(engine.Bits().at(0, 3, 2), 255);
    EXPECT_EQ(engine.Bits().at(2, 0, 0), 255);
    EXPECT_TRUE(markersClear(engine.Bits()));
    EXPECT_EQ(engine.Bits().at(0, -1, -1), 0);   // the margin stays black
    ASSERT_EQ(blankPicture(engine, 4, 3, rgbColor(10, 20, 30)), GeometryOutcome::Done);
    EXPECT_EQ(engine.Bits().at(0, 1, 1), 30);
    EXPECT_EQ(engine.Bits().at(1, 1, 1), 20);
    EXPECT_EQ(engine.Bits().at(2, 1, 1), 10);
    ASSERT_EQ(blankPicture(engine, 4, 3, std::nullopt), GeometryOutcome::Done);
    EXPECT_EQ(engine.Bits(), BitsBuffer(4, 3));
    EXPECT_EQ(engine.BitsRegion(), nullptr);
}

} // namespace tq
