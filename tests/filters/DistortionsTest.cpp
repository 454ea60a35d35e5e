// BEND, FOLD, STRETCH, TWIRL, WAVES and LENS.
#include "PositionPictures.h"

#include <functional>

namespace tq {
namespace {

using namespace positionpics;
using P = std::pair<int, int>;

TEST(Stretch, SinglePrecisionFactorDecidesTheHalves)
{
    const BitsBuffer in = positions(31, 3);
    Engine e(in);
    const BitsBuffer out = e.f.STRETCH(10, 0);
    // 1.1 held in single precision is slightly above 1.1: 20.5 -> 21, 9.5 -> 9.
    EXPECT_EQ(from(out, 20, 1), P(21, 1));
    EXPECT_EQ(from(out, 10, 1), P(9, 1));
    EXPECT_EQ(from(out, 15, 1), P(15, 1));
    EXPECT_TRUE(isBlack(out, 0, 1));   // column(0) = -2
    EXPECT_TRUE(samePixel(e.f.STRETCH(10, 0, false), in, 0, 1));
    expectBorderAndMarkersKept(in, out);
}

TEST(Stretch, MinusHundredGivesTheCentreEverywhere)
{
    Engine e(positions(7, 5));
    const BitsBuffer out = e.f.STRETCH(-100, -100);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(from(out, x, y), P(3, 2));
}

// With both factors 0 the source is the pixel itself: a rectangle keeps the
// picture, an ellipse-like selection blackens its box's corners (CleanBack).
TEST(StretchAndFold, ZeroFactorsAndTheSelectionShape)
{
    const BitsBuffer in = positions(5, 5);
    for (bool fold : {false, true}) {
        Engine whole(in);
        EXPECT_EQ(fold ? whole.f.FOLD(0, 0, true) : whole.f.STRETCH(0, 0), in);
        Engine e(in, diamond5());
        const BitsBuffer out = fold ? e.f.FOLD(0, 0, true) : e.f.STRETCH(0, 0);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x) {
                if (e.rg.contains(x, y)) EXPECT_TRUE(samePixel(out, in, x, y));
                else EXPECT_TRUE(isBlack(out, x, y)) << x << "," << y;
            }
        Engine keep(in, diamond5());
        EXPECT_EQ(fold ? keep.f.FOLD(0, 0, false) : keep.f.STRETCH(0, 0, false), in);
    }
}

TEST(Fold, ShearsEachColumnByItsOffset)
{
    const BitsBuffer in = positions(101, 101);
    Engine e(in);
    const BitsBuffer out = e.f.FOLD(100, 0, true);
    // Column 0 (dx -50) takes rows 25..75, column 100 rows -25..125.
    EXPECT_EQ(from(out, 0, 0), P(0, 25));
    EXPECT_EQ(from(out, 0, 100), P(0, 75));
    EXPECT_EQ(from(out, 0, 50), P(0, 50));
    EXPECT_EQ(from(out, 100, 60), P(100, 65));
    EXPECT_TRUE(isBlack(out, 100, 0));
    EXPECT_TRUE(isBlack(out, 100, 100));
    for (int y = 0; y < 101; ++y) EXPECT_EQ(from(out, 50, y), P(50, y));
    expectBorderAndMarkersKept(in, out);
}

TEST(Fold, SingleRowOrColumnIsReturnedUnchanged)
{
    for (auto [w, h] : {P{1, 6}, P{6, 1}, P{1, 1}}) {
        const BitsBuffer in = positions(w, h);
        Engine e(in);
        EXPECT_EQ(e.f.FOLD(40, 70, true), in) << w << " x " << h;
        EXPECT_EQ(e.reports.back(), 100);
    }
}

TEST(Bend, PolarWrapAboutTheCentre)
{
    const BitsBuffer in = positions(21, 21);   // cx = cy = 10
    Engine e(in);
    const BitsBuffer out = e.f.BEND(0);
    EXPECT_EQ(from(out, 10, 10), P(5, 20));    // rnd(MaxX / 4), MaxY
    EXPECT_EQ(from(out, 10, 9), P(10, 18));    // straight above: rnd(MaxX / 2), MaxY - 2
    EXPECT_EQ(from(out, 10, 0), P(10, 0));
    EXPECT_TRUE(isBlack(out, 0, 0));           // rnd(20 - 28.28) < 0
    EXPECT_TRUE(samePixel(e.f.BEND(0, false), in, 0, 0));
    expectBorderAndMarkersKept(in, out);
}

TEST(Twirl, OffsetOnlyTurnsLikeARotation)
{
    const BitsBuffer in = positions(41, 41);   // cx = cy = 20
    Engine e(in);
    const BitsBuffer out = e.f.TWIRL(0, 90);
    EXPECT_EQ(from(out, 30, 20), P(20, 30));
    EXPECT_EQ(from(out, 20, 20), P(20, 20));
    EXPECT_EQ(from(out, 20, 30), P(10, 20));
    expectBorderAndMarkersKept(in, out);
}

TEST(Twirl, EllipseCornersTakeFromInsideOrTurnBlack)
{
    const BitsBuffer in = positions(5, 5);
    Engine e(in, diamond5());
    const BitsBuffer out = e.f.TWIRL(0, 90);
    // Corner (4, 0): dx 2, dy -2, r 3, turned a quarter: source (4, 4), not
    // selected. Corner (0, 0): r 3 at 225 degrees, turned: (4, 0)... also not.
    EXPECT_TRUE(isBlack(out, 0, 0));
    EXPECT_TRUE(isBlack(out, 4, 4));
    // (3, 2) takes (2, 3), inside the diamond.
    EXPECT_EQ(from(out, 3, 2), P(2, 3));
}

TEST(Twirl, TwoColumnsOrFewerAreReturnedUnchanged)
{
    for (int w : {1, 2}) {
        const BitsBuffer in = positions(w, 9);
        Engine e(in);
        EXPECT_EQ(e.f.TWIRL(30, 45), in);
    }
}

TEST(Waves, RowsFollowTheSine)
{
    const BitsBuffer in = positions(4, 20);
    Engine e(in);
    const BitsBuffer out = e.f.WAVES(30, 40, 0);   // row y from rnd(y + 10 sin(30 y deg))
    struct { int row, source; } rows[] = {{0, 0}, {6, 6}, {12, 12}, {3, 13}, {9, 0}, {1, 6}, {15, 19}, {19, 14}};
    for (auto r : rows)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(from(out, x, r.row), P(x, r.source)) << "row " << r.row;
    EXPECT_EQ(e.f.WAVES(30, 0, 0), in);
    expectBorderAndMarkersKept(in, out);
}

TEST(Waves, OnlySelectedDestinationsChange)
{
    const BitsBuffer in = positions(5, 5);
    Engine e(in, diamond5());
    const BitsBuffer out = e.f.WAVES(90, 4, 0);   // row 1 takes row 2, row 3 row 2
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            if (!e.rg.contains(x, y)) {
                EXPECT_TRUE(samePixel(out, in, x, y));
            }
        }
    EXPECT_EQ(from(out, 2, 1), P(2, 2));
    EXPECT_EQ(from(out, 1, 3), P(1, 2));
}

TEST(Lens, WorkedNumbers)
{
    const BitsBuffer in = positions(101, 101);
    Engine e(in);
    const BitsBuffer out = e.f.LENS(0.5f, 0.5f, 0.25f, 75);   // R 25, h 12.5, s2 469
    EXPECT_EQ(from(out, 60, 50), P(55, 50));
    EXPECT_EQ(from(out, 71, 50), P(68, 50));
    EXPECT_EQ(from(out, 50, 71), P(50, 68));
    EXPECT_EQ(from(out, 50, 50), P(50, 50));
    EXPECT_TRUE(samePixel(out, in, 72, 50));
    EXPECT_TRUE(samePixel(out, in, 28, 50));   // X = -21 is in, -22 not
    EXPECT_FALSE(samePixel(out, in, 29, 50));
    EXPECT_EQ(from(out, 29 + 1, 50), P(50 - 16, 50));   // X -20: z 15, rnd(-250) \ 15 = -16
    expectBorderAndMarkersKept(in, out);
}

TEST(Lens, NoStrengthOrNoRadiusChangesNothing)
{
    const BitsBuffer in = positions(31, 21);
    Engine e(in);
    EXPECT_EQ(e.f.LENS(0.5f, 0.5f, 0.3f, 0), in);
    EXPECT_EQ(e.f.LENS(0.5f, 0.5f, 0.0f, 100), in);
    EXPECT_EQ(e.f.LENS(0.5f, 0.5f, 0.3f, -10), in);    // sqrt of a negative
    EXPECT_EQ(e.f.LENS(0.5f, 0.5f, 0.3f, 400), in);
    EXPECT_EQ(e.f.LENS(0.5f, 0.5f, -0.3f, 100), in);   // negative radius: no disc
}

TEST(Lens, StrongestLensShowsTheCentreOverTheDisc)
{
    const BitsBuffer in = positions(21, 21);
    Engine e(in);
    const BitsBuffer out = e.f.LENS(0.5f, 0.5f, 0.25f, 150);   // R 5, h 0
    EXPECT_EQ(from(out, 13, 10), P(10, 10));
    EXPECT_EQ(from(out, 10, 6), P(10, 10));
    EXPECT_TRUE(samePixel(out, in, 15, 10));
}

TEST(Lens, SourceOutsideThePictureLeavesThePixel)
{
    // Centre on the left edge and a lens past 150 (a half turn): the disc's
    // right half points at columns left of 0.
    const BitsBuffer in = positions(21, 21);
    Engine e(in);
    const BitsBuffer out = e.f.LENS(0.0f, 0.5f, 0.5f, 225);   // R 10, h -5, s2 75
    EXPECT_TRUE(samePixel(out, in, 3, 10));   // source column -1 (the border)
    EXPECT_TRUE(samePixel(out, in, 0, 10));   // the centre takes itself
    EXPECT_EQ(from(out, 0, 13), P(0, 9));     // turned: 10 + rnd(-15) \ 10
    expectBorderAndMarkersKept(in, out);
    // A centre far off the picture and a huge radius read nothing outside.
    EXPECT_EQ(e.f.LENS(40.0f, -30.0f, 0.5f, 100), in);
    const BitsBuffer big = e.f.LENS(0.5f, 0.5f, 500.0f, 299);
    expectBorderAndMarkersKept(in, big);
}

TEST(Lens, OnlySelectedDestinationsAndDiscProgress)
{
    const BitsBuffer in = positions(5, 5);
    Engine e(in, diamond5());
    e.reportEveryRow();
    const BitsBuffer out = e.f.LENS(0.5f, 0.5f, 0.5f, 150);   // R 2, the centre everywhere in
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) {
            if (!e.rg.contains(x, y)) {
                EXPECT_TRUE(samePixel(out, in, x, y));
            }
        }
    EXPECT_EQ(from(out, 1, 2), P(2, 2));
    // Rows Y -2..2 report (Y + R) * 100 \ (2 R).
    EXPECT_EQ(e.reports, (std::vector<int32_t>{0, 25, 50, 75, 100, 100}));
}

// The disc members walk every row Y from -R to R, also the rows that lie
// outside the picture, and apply the progress rule after each of them.
TEST(Disc, RowsOffThePictureStillReportProgress)
{
    const std::pair<const char*, std::function<void(cBitFilter&)>> members[] = {
        {"LENS", [](cBitFilter& f) { f.LENS(0.5f, 0.0f, 0.5f, 75); }},
        {"Light", [](cBitFilter& f) { (void)f.Light(0.5f, 0.0f, 0.5f, 20, 50); }},
    };
    for (const auto& [name, run] : members) {
        // 5 x 3: R = rnd(0.5 x 4) = 2 about (2, 0): rows -2 and -1 lie
        // above the picture.
        Engine e(positions(5, 3));
        e.reportEveryRow();
        run(e.f);
        EXPECT_EQ(e.reports, (std::vector<int32_t>{0, 25, 50, 75, 100, 100})) << name;
    }
}

TEST(Distortions, ProgressPerRowThenHundred)
{
    Engine e(positions(6, 5));
    e.reportEveryRow();
    e.f.STRETCH(10, 10);
    EXPECT_EQ(e.reports, (std::vector<int32_t>{0, 25, 50, 75, 100, 100}));
    Engine none(positions(6, 5), Region());
    EXPECT_EQ(none.f.BEND(30), none.f.Bits());
    EXPECT_EQ(none.reports, std::vector<int32_t>{100});
}

} // namespace
} // namespace tq
