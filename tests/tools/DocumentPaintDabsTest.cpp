// Reading a pixel, placed pictures, round dabs, the airbrush and dabs along
// a segment, on pictures small enough to check by hand.
#include "PaintFixtures.h"

#include "platform/Random.h"
#include "tools/PaintSamples.h"

#include <gtest/gtest.h>

#include <vector>

namespace tq::test {
namespace {

// ---- Reading ----------------------------------------------------------------

TEST(BitsGetPixel, ColourInsideZeroOutsideMinusOneWithoutPicture)
{
    Doc doc(4, 3, kWhite);
    setPixel(doc.bits, 1, 2, Rgb{10, 20, 30});
    struct Case {
        int x, y;
        int32_t expected;
    };
    const Case cases[] = {
        {1, 2, rgbColor(10, 20, 30)}, {0, 0, 0xFFFFFF}, {4, 0, 0}, {0, 3, 0}, {-1, 0, 0}, {0, -1, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(doc.paint.BitsGetPixel(c.x, c.y), c.expected) << c.x << "," << c.y;

    BitsBuffer none;
    cBitRegion sel;
    DocumentPaint empty(none, sel);
    EXPECT_EQ(empty.BitsGetPixel(0, 0), -1);
}

// ---- Round dabs -------------------------------------------------------------

TEST(Dab, DiscSizeFollowsTheRoundedHalfDiameter)
{
    // r = rnd(d / 2): 0.5 -> 0, 1 -> 1, 1.5 -> 2, 2 -> 2, 2.5 -> 2, 3 -> 3.
    struct Case {
        int d, pixels;
    };
    const Case cases[] = {{1, 1}, {2, 5}, {3, 13}, {4, 13}, {5, 13}, {6, 29}};
    for (const Case& c : cases) {
        Doc doc(15, 15, kWhite);
        const BitsBuffer before = doc.bits;
        doc.paint.BitsBrush(7, 7, c.d, 100, 0);
        EXPECT_EQ(doc.changedCount(before), c.pixels) << "d " << c.d;
        EXPECT_EQ(doc.at(7, 7), kBlack);
    }
}

TEST(Dab, DiameterBelowOnePaintsNothing)
{
    Doc doc(9, 9, kWhite);
    const BitsBuffer before = doc.bits;
    for (int d : {0, -1, -40}) {
        doc.paint.BitsBrush(4, 4, d, 100, 0);
        doc.paint.BitsSoften(4, 4, d, 100, true);
        doc.paint.BitsSharpen(4, 4, d, 100);
        doc.paint.BitsBrightness(4, 4, d, 100, false);
        doc.paint.BitsAirbrush(4, 4, d, 100, 100, 100, 0);
        doc.paint.BitsBrushLine(0, 0, 8, 8, d, 100, 0, 0);
    }
    EXPECT_EQ(doc.bits, before);
}

TEST(BrushStroke, OverlappingDabsBlendEachPixelOncePerStroke)
{
    Doc doc(40, 20, kWhite);
    // Dabs a tenth of the diameter apart: each pixel lies under many of them.
    doc.paint.BitsBrushLine(8, 10, 30, 10, 12, 50, 0, 0);
    doc.paint.BitsBrushLine(30, 10, 8, 12, 12, 50, 0, 0);   // back over it, same stroke
    int touched = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x) {
            const Rgb p = doc.at(x, y);
            if (p == kWhite) continue;
            ++touched;
            ASSERT_EQ(p, grey(128)) << x << "," << y;   // 127.5 goes to the even 128
        }
    EXPECT_GT(touched, 200);

    // A new stroke paints the same pixels again.
    doc.paint.CreateDoneBitsTable();
    doc.paint.BitsBrushLine(8, 10, 30, 10, 12, 50, 0, 0);
    EXPECT_EQ(doc.at(20, 10), grey(64));
    EXPECT_TRUE(doc.paint.DoneBits(20, 10));
    EXPECT_FALSE(doc.paint.DoneBits(20, 19));
}

TEST(BrushStroke, StrokeMapFollowsThePictureSize)
{
    // A painter whose map was never made, or made for another size, makes a
    // fresh one instead of reading past it.
    BitsBuffer bits = flatPicture(4, 4, kWhite);
    cBitRegion sel;
    DocumentPaint paint(bits, sel);
    paint.BitsBrush(2, 2, 3, 100, 0);
    EXPECT_EQ(pixelOf(bits, 2, 2), kBlack);
    paint.CreateDoneBitsTable();

    bits = flatPicture(50, 40, kWhite);   // the document took a larger picture
    paint.BitsBrush(45, 35, 5, 100, 0);
    paint.BitsFill(0, 0, 0, 10, 100);
    EXPECT_EQ(pixelOf(bits, 45, 35), kBlack);
    EXPECT_EQ(pixelOf(bits, 49, 39), kBlack);
    EXPECT_TRUE(paint.DoneBits(49, 39));
}

TEST(BrushStroke, DabCountAlongTheSegment)
{
    struct Case {
        int x1, y1, x2, y2, d, dabs;
    };
    const Case cases[] = {
        {0, 0, 20, 0, 25, 9},    // n 21, rnd(21 / 2.5) = 8, plus one
        {5, 5, 5, 5, 10, 2},     // rnd(1 / 1) + 1, both on the start point
        {0, 0, 0, -30, 100, 4},  // rnd(31 / 10) + 1
        {0, 0, 7, 3, 1, 81},     // n 8, rnd(8 / 0.1) + 1
    };
    for (const Case& c : cases) {
        std::vector<std::pair<int, int>> centres;
        EXPECT_TRUE(forEachDabCentre(c.x1, c.y1, c.x2, c.y2, c.d, [&](int x, int y) { centres.emplace_back(x, y); }));
        EXPECT_EQ(static_cast<int>(centres.size()), c.dabs) << c.x1 << "," << c.y1 << " d " << c.d;
        EXPECT_EQ(centres.front(), std::make_pair(c.x1, c.y1));
    }
    // (0, 0) to (20, 0), d 25: steps of 20 / 21 x 2.5.
    std::vector<int> xs;
    forEachDabCentre(0, 0, 20, 0, 25, [&](int x, int) { xs.push_back(x); });
    EXPECT_EQ(xs, (std::vector<int>{0, 2, 5, 7, 10, 12, 14, 17, 19}));

    int calls = 0;
    EXPECT_FALSE(forEachDabCentre(0, 0, 10, 0, 0, [&](int, int) { ++calls; }));
    EXPECT_EQ(calls, 0);
}

TEST(BrushStroke, ModeChoosesTheDab)
{
    struct Case {
        int mode;
        Rgb expected;   // the centre of a stroke on grey 100 at pressure 50
    };
    const Case cases[] = {
        {0, Rgb{150, 50, 50}},   // colour (200, 0, 0)
        {4, grey(150)},          // lighten
        {5, grey(50)},           // darken
        {1, grey(100)},          // soften and sharpen leave a flat area alone
        {2, grey(100)},
        {3, grey(100)},
        {6, grey(100)},          // not a mode of this routine
        {-1, grey(100)},
    };
    for (const Case& c : cases) {
        Doc doc(20, 20, grey(100));
        doc.paint.BitsBrushLine(5, 10, 15, 10, 5, 50, rgbColor(200, 0, 0), c.mode);
        EXPECT_EQ(doc.at(10, 10), c.expected) << "mode " << c.mode;
    }
}

TEST(Brightness, TableScalesEveryChannel)
{
    struct Case {
        int pressure;
        bool lighten;
        int in, out;
    };
    const Case cases[] = {
        {50, true, 101, 152},  // 151.5 -> 152
        {50, true, 99, 148},   // 148.5 -> 148
        {100, true, 100, 200}, {100, true, 200, 255}, {1, true, 250, 252},
        {50, false, 101, 50},  // 50.5 -> 50
        {50, false, 99, 50},   // 49.5 -> 50
        {100, false, 255, 0},  {25, false, 200, 150},
    };
    for (const Case& c : cases) {
        Doc doc(3, 3, grey(c.in));
        doc.paint.BitsBrightness(1, 1, 1, c.pressure, c.lighten);
        EXPECT_EQ(doc.at(1, 1), grey(c.out)) << c.pressure << (c.lighten ? " lighten " : " darken ") << c.in;
        EXPECT_EQ(doc.at(0, 0), grey(c.in));
        // Once per stroke.
        doc.paint.BitsBrightness(1, 1, 1, c.pressure, c.lighten);
        EXPECT_EQ(doc.at(1, 1), grey(c.out));
    }
}

// A one-pixel dab on a centre of 100 with its four neighbours at n.
Rgb oneWithNeighbours(int n, void (*dab)(DocumentPaint&))
{
    Doc doc(3, 3, grey(0));
    setPixel(doc.bits, 1, 1, grey(100));
    for (auto [x, y] : {std::pair{0, 1}, {2, 1}, {1, 0}, {1, 2}}) setPixel(doc.bits, x, y, grey(n));
    dab(doc.paint);
    return doc.at(1, 1);
}

template <int Pressure>
void soften(DocumentPaint& p) { p.BitsSoften(1, 1, 1, Pressure, false); }
template <int Pressure>
void sharpen(DocumentPaint& p) { p.BitsSharpen(1, 1, 1, Pressure); }

TEST(Soften, CentreWeightFromPressure)
{
    // Weights 10, 8, 5, 2, 0: (w x 100) \ (w + 4) with black neighbours.
    EXPECT_EQ(oneWithNeighbours(0, soften<1>), grey(71));     // 1000 \ 14
    EXPECT_EQ(oneWithNeighbours(0, soften<25>), grey(66));    // 800 \ 12
    EXPECT_EQ(oneWithNeighbours(0, soften<50>), grey(55));    // 500 \ 9
    EXPECT_EQ(oneWithNeighbours(0, soften<75>), grey(33));    // 200 \ 6
    EXPECT_EQ(oneWithNeighbours(0, soften<100>), grey(0));    // the neighbours' plain average
    EXPECT_EQ(oneWithNeighbours(60, soften<100>), grey(60));
}

TEST(Sharpen, CentreWeightFromPressure)
{
    // Weights 15, 13, 12, 10, 8: (w x 100 - 80) \ (w - 4) with neighbours 20.
    EXPECT_EQ(oneWithNeighbours(20, sharpen<1>), grey(129));    // 1420 \ 11
    EXPECT_EQ(oneWithNeighbours(20, sharpen<25>), grey(135));   // 1220 \ 9
    EXPECT_EQ(oneWithNeighbours(20, sharpen<50>), grey(140));   // 1120 \ 8
    EXPECT_EQ(oneWithNeighbours(20, sharpen<75>), grey(153));   // 920 \ 6
    EXPECT_EQ(oneWithNeighbours(20, sharpen<100>), grey(180));  // 720 \ 4
    // Held to 0..255; a flat area stays as it is.
    EXPECT_EQ(oneWithNeighbours(0, sharpen<1>), grey(136));     // 1500 \ 11
    EXPECT_EQ(oneWithNeighbours(200, sharpen<100>), grey(0));   // (800 - 800) \ 4
    EXPECT_EQ(oneWithNeighbours(100, sharpen<100>), grey(100));
    {
        Doc doc(3, 3, grey(0));
        setPixel(doc.bits, 1, 1, grey(250));
        doc.paint.BitsSharpen(1, 1, 1, 1);
        EXPECT_EQ(doc.at(1, 1), grey(255));   // 3750 \ 11 = 340
    }
}

TEST(Soften, InPlaceInVisitingOrder)
{
    // A plus-shaped dab at Pressure 100 visits (1,0), (0,1), (1,1), (2,1),
    // (1,2); the centre reads its left and upper neighbours already softened.
    Doc doc(3, 3, grey(0));
    setPixel(doc.bits, 1, 0, grey(40));
    setPixel(doc.bits, 0, 1, grey(40));
    setPixel(doc.bits, 1, 1, grey(80));
    setPixel(doc.bits, 2, 1, grey(40));
    setPixel(doc.bits, 1, 2, grey(40));
    doc.paint.BitsSoften(1, 1, 2, 100, false);
    EXPECT_EQ(doc.at(1, 0), grey(20));   // (0 + 0 + 80 + 0) \ 4, the top margin is 0
    EXPECT_EQ(doc.at(0, 1), grey(20));
    EXPECT_EQ(doc.at(1, 1), grey(30));   // (20 + 20 + 40 + 40) \ 4
    EXPECT_EQ(doc.at(2, 1), grey(7));    // (30 + 0 + 0 + 0) \ 4
    EXPECT_EQ(doc.at(1, 2), grey(7));
    EXPECT_EQ(doc.at(0, 0), grey(0));
}

TEST(Soften, OverlaySoftensAgainWithinTheStroke)
{
    for (bool overlay : {false, true}) {
        Doc doc(3, 3, grey(0));
        setPixel(doc.bits, 1, 1, grey(200));
        doc.paint.BitsSoften(1, 1, 1, 50, overlay);
        EXPECT_EQ(doc.at(1, 1), grey(111));   // 1000 \ 9
        doc.paint.BitsSoften(1, 1, 1, 50, overlay);
        EXPECT_EQ(doc.at(1, 1), overlay ? grey(61) : grey(111)) << overlay;   // 555 \ 9
        EXPECT_TRUE(doc.paint.DoneBits(1, 1));
    }
}

TEST(TextureDab, RepeatsFromThePictureOrigin)
{
    Stamp tex(2, 3, kBlack);
    tex.set(1, 0, Rgb{200, 0, 0});
    tex.set(0, 1, Rgb{0, 200, 0});
    tex.set(1, 2, Rgb{0, 0, 200});
    Doc doc(12, 12, kWhite);
    doc.paint.BitsMasked(6, 7, tex.source(), 5, 100);
    for (int y = 5; y <= 9; ++y)
        for (int x = 4; x <= 8; ++x) {
            const int i = x - 6, j = y - 7;
            const Rgb expected = i * i + j * j <= 4 ? tex.at(x % 2, y % 3) : kWhite;
            EXPECT_EQ(doc.at(x, y), expected) << x << "," << y;
        }

    // Along a segment, once per pixel at pressure 50.
    Doc line(12, 6, kWhite);
    line.paint.BitsMaskedLine(2, 3, 9, 3, 4, 50, Stamp(1, 1, kBlack).source());
    EXPECT_EQ(line.at(5, 3), grey(128));
    EXPECT_EQ(line.at(5, 0), kWhite);

    // No texture, nothing painted.
    Doc none(4, 4, kWhite);
    none.paint.BitsMasked(2, 2, PaintSource{}, 3, 100);
    EXPECT_EQ(none.at(2, 2), kWhite);
}

// ---- Placed pictures ----------------------------------------------------------

TEST(PlacedPicture, StampIsPlacedWholeWithEveryEdgeRowAndColumn)
{
    Stamp stamp(4, 3, kBlack);
    struct Case {
        int x, y, changed;
    };
    const Case cases[] = {
        {1, 1, 12},     // all of it
        {7, 0, 3},      // one column overlaps
        {-3, 2, 3},     // one column at the left edge
        {2, 5, 4},      // one row at the bottom
        {-4, 0, 0},     // just off the picture
        {8, 0, 0},
        {-1, -1, 6},
    };
    for (const Case& c : cases) {
        Doc doc(8, 6, kWhite);
        const BitsBuffer before = doc.bits;
        doc.paint.BitsPaint(c.x, c.y, stamp.source(), -1, 100, true);
        EXPECT_EQ(doc.changedCount(before), c.changed) << c.x << "," << c.y;
    }
    // A one-pixel picture takes a stamp too.
    Doc tiny(1, 1, kWhite);
    tiny.paint.BitsPaint(0, 0, stamp.source(), -1, 100, true);
    EXPECT_EQ(tiny.at(0, 0), kBlack);
}

TEST(PlacedPicture, BorderedClipIsPlacedWhole)
{
    BitsBuffer clip = flatPicture(3, 2, Rgb{9, 8, 7});
    clip.fill(0);   // margin and pixels black ...
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) setPixel(clip, x, y, Rgb{9, 8, 7});   // ... pixels coloured
    Doc doc(6, 6, kWhite);
    const BitsBuffer before = doc.bits;
    doc.paint.BitsPaintPreMasked(1, 2, PaintSource::fromBuffer(clip), 100, false);
    EXPECT_EQ(doc.changedCount(before), 6);
    EXPECT_EQ(doc.at(1, 2), (Rgb{9, 8, 7}));
    EXPECT_EQ(doc.at(3, 3), (Rgb{9, 8, 7}));
    EXPECT_EQ(doc.at(0, 2), kWhite);   // the clip's margin is not painted
}

TEST(PlacedPicture, KeyColourAndMarkerLeaveElementsOut)
{
    Stamp stamp(2, 1, kBlack);
    stamp.set(1, 0, Rgb{10, 20, 30}, 255);

    Doc noKey(2, 1, kWhite);
    noKey.paint.BitsPaint(0, 0, stamp.source(), -1, 50, true);
    EXPECT_EQ(noKey.at(0, 0), grey(128));   // black is painted too
    EXPECT_EQ(noKey.at(1, 0), (Rgb{132, 138, 142}));

    Doc keyed(2, 1, kWhite);
    keyed.paint.BitsPaint(0, 0, stamp.source(), 0, 50, true);   // black is the key
    EXPECT_EQ(keyed.at(0, 0), kWhite);
    EXPECT_EQ(keyed.at(1, 0), (Rgb{132, 138, 142}));

    Doc masked(2, 1, kWhite);
    masked.paint.BitsPaintPreMasked(0, 0, stamp.source(), 50, true);
    EXPECT_EQ(masked.at(0, 0), grey(128));
    EXPECT_EQ(masked.at(1, 0), kWhite);   // marker 255: transparent
}

TEST(PlacedPicture, InRegionFalseIgnoresTheSelection)
{
    Stamp stamp(3, 3, kBlack);
    for (bool inRegion : {true, false}) {
        Doc doc(5, 5, kWhite);
        doc.selection.CreateRect(0, 0, 2, 2, 2, true);
        doc.paint.BitsPaint(1, 1, stamp.source(), -1, 100, inRegion);
        EXPECT_EQ(doc.at(1, 1), kBlack);
        EXPECT_EQ(doc.at(3, 3), inRegion ? kWhite : kBlack);
    }
}

TEST(PlacedPicture, GreyMaskPaintsTheColourThroughTheMask)
{
    struct Case {
        int mask, pressure;
        Rgb expected;
    };
    const Case cases[] = {
        {0, 100, Rgb{200, 0, 0}},     // full pressure under 0
        {0, 50, Rgb{228, 128, 128}},  // 227.5 -> 228, 127.5 -> 128
        {95, 100, Rgb{228, 128, 128}},// c = 0.5
        {189, 100, Rgb{255, 254, 254}},
        {190, 100, kWhite},
        {255, 100, kWhite},
    };
    for (const Case& c : cases) {
        Stamp mask(1, 1, Rgb{0, 0, c.mask});   // the mask is the blue channel
        Doc doc(1, 1, kWhite);
        doc.paint.BitsBWMask(0, 0, mask.source(), rgbColor(200, 0, 0), c.pressure);
        EXPECT_EQ(doc.at(0, 0), c.expected) << "mask " << c.mask << " P " << c.pressure;
    }
}

// ---- Airbrush -----------------------------------------------------------------

TEST(Airbrush, FullQuantityAndDefinitionPaintTheDiscAtPressure)
{
    programRandom().seed(11);
    Doc doc(9, 9, kWhite);
    const BitsBuffer before = doc.bits;
    doc.paint.BitsAirbrush(4, 4, 5, 50, 100, 100, 0);
    EXPECT_EQ(doc.changedCount(before), 13);
    EXPECT_EQ(doc.at(4, 4), grey(128));
    EXPECT_EQ(doc.at(6, 4), grey(128));
    // It accumulates: no per-stroke map.
    doc.paint.BitsAirbrush(4, 4, 5, 50, 100, 100, 0);
    EXPECT_EQ(doc.at(4, 4), grey(64));
}

TEST(Airbrush, OneNumberPerDiscPixelInDiscOrder)
{
    // A dab at the corner: only 6 of its 13 disc pixels lie in the picture,
    // yet it draws 13 numbers, and pixel k of the disc is painted exactly
    // when number k is at most Quantity / 100.
    const uint32_t seed = 2024;
    programRandom().seed(seed);
    Doc doc(6, 6, kWhite);
    doc.paint.BitsAirbrush(0, 0, 5, 100, 50, 100, 0);

    Random replay(seed);
    int painted = 0;
    for (int j = -2; j <= 2; ++j)
        for (int i = -2; i <= 2; ++i) {
            if (i * i + j * j > 4) continue;
            const bool paints = replay.next() <= 0.5f;
            if (i < 0 || j < 0) continue;
            EXPECT_EQ(doc.at(i, j), paints ? kBlack : kWhite) << i << "," << j;
            painted += paints;
        }
    EXPECT_GT(painted, 0);
    EXPECT_EQ(programRandom().next(), replay.next());
}

TEST(Airbrush, OpacityFallsTowardsTheRim)
{
    programRandom().seed(3);
    Doc doc(9, 9, kWhite);
    doc.paint.BitsAirbrush(4, 4, 5, 100, 100, 1, 0);
    EXPECT_EQ(doc.at(4, 4), kBlack);        // P at the centre
    EXPECT_EQ(doc.at(6, 4), grey(252));     // (1 - 0.99 x 2 / 2) x P at the rim
    EXPECT_EQ(doc.at(5, 4), grey(126));     // halfway: 255 x (1 - 0.505)
}

TEST(Airbrush, DiameterOnePaintsTheCentreAtPressure)
{
    programRandom().seed(5);
    Doc doc(3, 3, kWhite);
    doc.paint.BitsAirbrush(1, 1, 1, 50, 100, 1, 0);
    EXPECT_EQ(doc.at(1, 1), grey(128));
    EXPECT_EQ(doc.at(0, 1), kWhite);
}

} // namespace
} // namespace tq::test
