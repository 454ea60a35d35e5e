#include "GreyPictures.h"

#include "platform/Random.h"

namespace tq {
namespace {

using greypics::Engine;
using greypics::flatPicture;
using greypics::greyPicture;

// A vertical edge: 0 in columns 0..3, 255 in columns 4..7, eight rows.
BitsBuffer edgePicture()
{
    std::vector<std::vector<int>> rows(8, std::vector<int>(8, 0));
    for (auto& r : rows)
        for (int x = 4; x < 8; ++x) r[static_cast<size_t>(x)] = 255;
    return greyPicture(rows);
}

} // namespace

TEST(ArtisticFilters, BlockChoiceKeepsFlatAreasAndEdges)
{
    const BitsBuffer flat = flatPicture(6, 6, 123);
    const BitsBuffer edge = edgePicture();
    for (bool dissolve : {false, true}) {
        SCOPED_TRACE(dissolve ? "Dissolve" : "PAINTING");
        Engine f(flat);
        const BitsBuffer a = dissolve ? f.f.Dissolve() : f.f.PAINTING();
        for (int y = 2; y < 4; ++y)
            for (int x = 2; x < 4; ++x) EXPECT_EQ(a.at(0, x, y), 123);
        Engine e(edge);
        const BitsBuffer b = dissolve ? e.f.Dissolve() : e.f.PAINTING();
        for (int y = 2; y < 6; ++y) {
            EXPECT_EQ(b.at(1, 4, y), 255) << y;
            EXPECT_EQ(b.at(1, 3, y), 0) << y;
        }
        // A horizontal ramp (10 x column) gives every block the same
        // deviation: the upper-left block's mean wins, 10 x - 10.
        std::vector<std::vector<int>> ramp(7, std::vector<int>(8));
        for (auto& r : ramp)
            for (int x = 0; x < 8; ++x) r[static_cast<size_t>(x)] = 10 * x;
        Engine g(greyPicture(ramp));
        const BitsBuffer c = dissolve ? g.f.Dissolve() : g.f.PAINTING();
        for (int x = 2; x < 6; ++x) EXPECT_EQ(c.at(2, x, 3), 10 * x - 10) << x;
    }
}

TEST(ArtisticFilters, DissolveAlsoWeighsTheLowerRightBlock)
{
    // Only the lower-right block of (2, 2) is flat: Dissolve takes it,
    // PAINTING (three blocks) cannot.
    std::vector<std::vector<int>> rows(5, std::vector<int>(5, 0));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 5; ++x) rows[static_cast<size_t>(y)][static_cast<size_t>(x)] = (x >= 2 && y >= 2) ? 60 : (x * 37 + y * 91) % 200;
    Engine e(greyPicture(rows));
    EXPECT_EQ(e.f.Dissolve().at(0, 2, 2), 60);
    EXPECT_NE(e.f.PAINTING().at(0, 2, 2), 60);
}

TEST(ArtisticFilters, DiffuseDrawsTwicePerPixelOfTheBox)
{
    std::mt19937 gen(8);
    const BitsBuffer pic = greypics::randomPicture(5, 4, gen);
    Engine e(pic);
    programRandom().seed(77);
    EXPECT_EQ(e.f.DIFFUSE(0, 0), pic);
    Random expected(77);
    for (int i = 0; i < 2 * 5 * 4; ++i) expected.next();
    EXPECT_EQ(programRandom().next(), expected.next());
}

TEST(ArtisticFilters, DiffuseTakesSelectedSourcesOnly)
{
    // Selection: the left column only. With a range of 4 the sources spread
    // widely, yet every colour written comes from the selected column.
    std::vector<std::vector<int>> rows(6, std::vector<int>(6, 0));
    for (int y = 0; y < 6; ++y) rows[static_cast<size_t>(y)][0] = 200 + y;
    const BitsBuffer pic = greyPicture(rows);
    const Region rg = Region::rect(0, 0, 1, 6);
    Engine e(pic, rg);
    programRandom().seed(5);
    const BitsBuffer r = e.f.DIFFUSE(4, 4);
    // The walk box is the column itself; a pixel whose source falls outside
    // the selection keeps its colour.
    for (int y = 0; y < 6; ++y) EXPECT_GE(r.at(0, 0, y), 200);
    for (int y = 0; y < 6; ++y)
        for (int x = 1; x < 6; ++x) EXPECT_EQ(r.at(0, x, y), 0);
    // The same draws, replayed by hand.
    Random rnds(5);
    for (int y = 0; y < 6; ++y) {
        const float r1 = rnds.next(), r2 = rnds.next();
        const int sx = rnd(0 + double(r1) * 4 - 2.0), sy = rnd(y + double(r2) * 4 - 2.0);
        const int want = (sx == 0 && sy >= 0 && sy < 6) ? 200 + sy : 200 + y;
        EXPECT_EQ(r.at(1, 0, y), want) << y;
    }
}

TEST(ArtisticFilters, NoiseDrawsRedGreenBlueInThatOrder)
{
    BitsBuffer b(3, 1);
    b.at(0, 0, 0) = 10, b.at(1, 0, 0) = 20, b.at(2, 0, 0) = 30;
    b.at(0, 1, 0) = 255, b.at(1, 1, 0) = 0, b.at(2, 1, 0) = 101;
    b.at(0, 2, 0) = 77, b.at(1, 2, 0) = 77, b.at(2, 2, 0) = 77;
    const Region rg = Region::rect(0, 0, 2, 1);   // (2, 0) unselected: no draw
    Engine e(b, rg);
    programRandom().seed(123);
    const BitsBuffer r = e.f.NOISE(20);
    Random rr(123);
    for (int x = 0; x < 2; ++x) {
        const float red = rr.next(), green = rr.next(), blue = rr.next();
        const float draws[3] = {blue, green, red};
        for (int c = 0; c < 3; ++c) {
            const int want = std::clamp(rnd(b.at(c, x, 0) + (41.0 * draws[c] - 20)), 0, 255);
            EXPECT_EQ(r.at(c, x, 0), want) << x << " " << c;
        }
    }
    EXPECT_EQ(r.at(0, 2, 0), 77);
    EXPECT_EQ(programRandom().next(), rr.next());
}

TEST(ArtisticFilters, NoiseZeroAndEqualized)
{
    // NOISE(0) adds r in [0, 1): up by one above one half; 255 stays.
    Engine e(greyPicture({{100, 255, 0, 7}}));
    programRandom().seed(9);
    const BitsBuffer r = e.f.NOISE(0);
    Random rr(9);
    const int vals[4] = {100, 255, 0, 7};
    for (int x = 0; x < 4; ++x) {
        const float red = rr.next();
        rr.next();
        rr.next();
        const int want = std::min(255, vals[x] + (red > 0.5f || (red == 0.5f && vals[x] % 2) ? 1 : 0));
        EXPECT_EQ(r.at(2, x, 0), want) << x;
    }
    // Equalized: one draw per pixel; a grey pixel stays grey.
    const BitsBuffer greys = flatPicture(6, 5, 128);
    Engine g(greys);
    programRandom().seed(10);
    const BitsBuffer q = g.f.NOISE(60, true);
    int moved = 0;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
            EXPECT_EQ(q.at(0, x, y), q.at(1, x, y));
            EXPECT_EQ(q.at(1, x, y), q.at(2, x, y));
            moved += q.at(0, x, y) != 128;
        }
    EXPECT_GT(moved, 0);
    Random rr2(10);
    for (int i = 0; i < 30; ++i) rr2.next();
    EXPECT_EQ(programRandom().next(), rr2.next());
}

TEST(ArtisticFilters, Sketch)
{
    const BitsBuffer flat = flatPicture(4, 4, 90);
    Engine e(flat);
    EXPECT_EQ(e.f.SKETCH(254, true).at(0, 1, 1), 255);
    EXPECT_EQ(e.f.SKETCH(255, true).at(0, 1, 1), 0);
    // Not BW: light pixels take BackColor, dark ones keep their colour.
    const BitsBuffer c = e.f.SKETCH(254, false, rgbColor(1, 2, 3));
    EXPECT_EQ(c.at(0, 2, 2), 3);
    EXPECT_EQ(c.at(1, 2, 2), 2);
    EXPECT_EQ(c.at(2, 2, 2), 1);
    EXPECT_EQ(e.f.SKETCH(255).at(0, 2, 2), 90);
    // Unclamped: a pixel far darker than its neighbours goes far below 0.
    BitsBuffer d = flatPicture(3, 3, 200);
    d.at(0, 1, 1) = d.at(1, 1, 1) = d.at(2, 1, 1) = 0;
    Engine k(d);
    EXPECT_EQ(k.f.SKETCH(-1000, true).at(0, 1, 1), 0);   // 0 - 1600 + 255 = -1345
    EXPECT_EQ(k.f.SKETCH(-1346, true).at(0, 1, 1), 255);
}

TEST(ArtisticFilters, HalftoneRadiusOne)
{
    std::mt19937 gen(21);
    const BitsBuffer pic = greypics::randomPicture(7, 6, gen);
    const Region rg = Region::rect(1, 1, 7, 6);
    Engine e(pic, rg);
    const FilterResult r = e.f.HALFTONE(1, 0, 0);
    ASSERT_TRUE(r);
    greypics::expectUntouchedOutside(pic, *r, rg);
    for (int y = 1; y < 6; ++y)
        for (int x = 1; x < 7; ++x) {
            const bool dotCentre = (x - 1) % 2 == 1 && (y - 1) % 2 == 1;
            for (int c = 0; c < 3; ++c) {
                if (!dotCentre) {
                    EXPECT_EQ(r->at(c, x, y), 0) << x << "," << y;
                    continue;
                }
                // The cell's mean over its selected pixels: the cells of the
                // last column reach past the picture and count six.
                int sum = 0, n = 0;
                for (int j = -1; j <= 1; ++j)
                    for (int i = -1; i <= 1; ++i)
                        if (x + i < 7 && y + j < 6) sum += pic.at(c, x + i, y + j), ++n;
                EXPECT_EQ(n, x == 6 ? 6 : 9);
                EXPECT_EQ(r->at(c, x, y), rnd(double(sum) / n)) << x << "," << y;
            }
        }
}

TEST(ArtisticFilters, HalftoneMeansCountSelectedPixelsAndIntensityBrightens)
{
    // One cell of radius 2 over a 5 x 5 picture of 100 with the corner
    // pixel unselected.
    const BitsBuffer pic = flatPicture(5, 5, 100);
    const Region rg = Region::fromBands({{0, 1, {{1, 5}}}, {1, 5, {{0, 5}}}});
    Engine e(pic, rg);
    const FilterResult plain = e.f.HALFTONE(2, 0, 0);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->at(0, 2, 2), 100);        // centre: u = 1
    EXPECT_EQ(plain->at(0, 2, 0), 0);          // d2 = 4 = R2: u = 0
    EXPECT_EQ(plain->at(0, 3, 2), 75);         // d2 = 1: 0.75 x 100
    EXPECT_EQ(plain->at(0, 4, 4), 0);          // corner: outside the disc
    // Intensity 100: m = 24 \ 2 = 12, mean = 2400 / 12 = 200.
    const FilterResult bright = e.f.HALFTONE(2, 0, 100);
    ASSERT_TRUE(bright);
    EXPECT_EQ(bright->at(0, 2, 2), 200);
    EXPECT_EQ(bright->at(0, 3, 2), 150);
    // Definition widens the dot: R2 = 2 x (2 + 2) = 8 reaches the corners.
    const FilterResult wide = e.f.HALFTONE(2, 2, 0);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->at(0, 4, 4), 0);           // d2 = 8: u = 0
    EXPECT_EQ(wide->at(0, 3, 3), 75);          // d2 = 2: 1 - 2/8
    EXPECT_EQ(wide->at(0, 0, 0), 100);         // unselected, unchanged
}

TEST(ArtisticFilters, PixelizeUsesThePicturesOwnBlocks)
{
    std::mt19937 gen(1);
    Engine e(greypics::randomPicture(5, 4, gen));
    const FilterResult one = e.f.PIXELIZE(1);
    ASSERT_TRUE(one);
    EXPECT_EQ(*one, e.f.Bits());
    // Blocks of 2 start at column 0; a selection starting at column 1 still
    // takes the means of those blocks, unselected pixels included; the last
    // block column is one pixel wide.
    const BitsBuffer pic = greyPicture({{0, 10, 20, 30, 40}, {2, 12, 22, 32, 41}, {5, 5, 5, 5, 5}});
    const Region rg = Region::rect(1, 0, 5, 3);
    Engine p(pic, rg);
    const FilterResult r = p.f.PIXELIZE(2);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->at(0, 0, 0), 0);                 // unselected
    EXPECT_EQ(r->at(0, 1, 0), (0 + 10 + 2 + 12) / 4);
    EXPECT_EQ(r->at(0, 2, 1), (20 + 30 + 22 + 32) / 4);
    EXPECT_EQ(r->at(0, 4, 1), (40 + 41) / 2);
    EXPECT_EQ(r->at(0, 1, 2), 5);                 // bottom block: one row
}

// Cells step through the walk box as tiles do: after the first, a cell is
// laid only while its corner lies strictly before the box's last column
// (row). On a 9-wide box and radius 2 the cells start at columns 0 and 4;
// none starts on the last column 8, which the cell at 4 covers with its
// own mean. Only that last column is bright (200), so the cell at 4 has the
// mean 5 x 200 / 25 = 40; a cell at 8 would have 200 and give 196 and 192.
TEST(ArtisticFilters, HalftoneCellsStartStrictlyBeforeTheLastColumnAndRow)
{
    const int R2 = 2 * (2 + 100);   // Definition 100 widens the dot to the whole cell
    const auto shade = [R2](int mean, int d2) { return rnd(double(single(1.0 - double(d2) / R2)) * mean); };
    struct Probe {
        int x, y, expected;
    };
    const std::vector<Probe> probes = {
        {8, 2, shade(40, 4)},   // 39: dx 2 from the centre (6, 2)
        {8, 4, shade(40, 8)},   // 38
        {8, 0, shade(40, 8)},   // 38
        {7, 2, shade(40, 1)},   // 40
        {4, 2, shade(40, 4)},   // the later cell's value stands on the shared column
        {0, 4, 0},              // cell (0, 0): all its pixels are 0
    };
    for (bool transposed : {false, true}) {
        SCOPED_TRACE(transposed ? "last row bright" : "last column bright");
        std::vector<std::vector<int>> rows(transposed ? 9 : 5, std::vector<int>(transposed ? 5 : 9, 0));
        for (int i = 0; i < 5; ++i) {
            if (transposed)
                rows[8][static_cast<size_t>(i)] = 200;
            else
                rows[static_cast<size_t>(i)][8] = 200;
        }
        Engine e(greyPicture(rows));
        const FilterResult r = e.f.HALFTONE(2, 100, 0);
        ASSERT_TRUE(r);
        for (const Probe& p : probes) {
            const int x = transposed ? p.y : p.x, y = transposed ? p.x : p.y;
            for (int c = 0; c < 3; ++c) EXPECT_EQ(r->at(c, x, y), p.expected) << x << "," << y;
        }
    }
}

TEST(ArtisticFilters, RefusedArgumentsLeaveBits)
{
    const BitsBuffer pic = flatPicture(4, 4, 50);
    Engine e(pic);
    EXPECT_FALSE(e.f.HALFTONE(0, 0, 0));
    EXPECT_FALSE(e.f.HALFTONE(-2, 0, 0));
    EXPECT_FALSE(e.f.HALFTONE(2, 0, -100));
    EXPECT_FALSE(e.f.PIXELIZE(0));
    EXPECT_FALSE(e.f.PIXELIZE(-3));
    EXPECT_EQ(e.f.Bits(), pic);
}

TEST(ArtisticFilters, OnlyTheSelectionChanges)
{
    std::mt19937 gen(30);
    const BitsBuffer pic = greypics::randomPicture(9, 8, gen);
    const Region rg = Region::fromBands({{1, 4, {{1, 4}, {5, 8}}}, {4, 7, {{2, 9}}}});
    programRandom().seed(1);
    const std::vector<std::pair<const char*, std::function<FilterResult(cBitFilter&)>>> members = {
        {"PAINTING", [](cBitFilter& f) { return FilterResult(f.PAINTING()); }},
        {"Dissolve", [](cBitFilter& f) { return FilterResult(f.Dissolve()); }},
        {"NOISE", [](cBitFilter& f) { return FilterResult(f.NOISE(40)); }},
        {"SKETCH", [](cBitFilter& f) { return FilterResult(f.SKETCH(100, true)); }},
        {"HALFTONE", [](cBitFilter& f) { return f.HALFTONE(2, 10, 10); }},
        {"PIXELIZE", [](cBitFilter& f) { return f.PIXELIZE(3); }},
    };
    for (const auto& [name, run] : members) {
        SCOPED_TRACE(name);
        Engine e(pic, rg);
        const FilterResult r = run(e.f);
        ASSERT_TRUE(r);
        greypics::expectUntouchedOutside(pic, *r, rg);
        EXPECT_NE(*r, pic);
        EXPECT_EQ(e.f.Bits(), pic);
    }
}

} // namespace tq
