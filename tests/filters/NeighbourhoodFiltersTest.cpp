#include "GreyPictures.h"

#include <functional>

namespace tq {
namespace {

using greypics::Engine;
using greypics::flatPicture;
using greypics::greyPicture;

// A single bright pixel of v at (2, 2) of a 5 x 5 picture of 0.
BitsBuffer dot(int v)
{
    BitsBuffer b = flatPicture(5, 5, 0);
    b.at(0, 2, 2) = b.at(1, 2, 2) = b.at(2, 2, 2) = static_cast<uint8_t>(v);
    return b;
}

using Member = std::function<FilterResult(cBitFilter&)>;

FilterResult absorbed(BitsBuffer b) { return b; }

} // namespace

// The worked numbers: a table of (member, picture, pixel, expected grey).
TEST(NeighbourhoodFilters, WorkedNumbers)
{
    struct Case {
        const char* name;
        Member run;
        BitsBuffer pic;
        int x, y, expected;
    };
    const BitsBuffer sharpenPic = [] {
        BitsBuffer b = flatPicture(5, 5, 100);
        b.at(0, 2, 2) = b.at(1, 2, 2) = b.at(2, 2, 2) = 110;
        return b;
    }();
    const BitsBuffer edge = greyPicture({{0, 0, 0, 255, 255, 255}, {0, 0, 0, 255, 255, 255}, {0, 0, 0, 255, 255, 255}});
    const Case cases[] = {
        {"Blurs(1) dot", [](cBitFilter& f) { return f.Blurs(1); }, dot(255), 2, 2, 0},
        {"Blurs(1) neighbour", [](cBitFilter& f) { return f.Blurs(1); }, dot(255), 1, 1, 31},
        {"Blurs(1) orthogonal", [](cBitFilter& f) { return f.Blurs(1); }, dot(255), 2, 3, 31},
        {"Blurs(2) at distance 2", [](cBitFilter& f) { return f.Blurs(2); }, dot(255), 0, 2, 31},
        {"Blurs(2) at distance 1", [](cBitFilter& f) { return f.Blurs(2); }, dot(255), 1, 2, 0},
        {"Blurs(1) white edge", [](cBitFilter& f) { return f.Blurs(1); }, flatPicture(4, 4, 255), 0, 1, 159},
        {"Blurs(1) white corner", [](cBitFilter& f) { return f.Blurs(1); }, flatPicture(4, 4, 255), 0, 0, 95},
        {"Blurs(1) white inside", [](cBitFilter& f) { return f.Blurs(1); }, flatPicture(4, 4, 255), 1, 2, 255},
        {"SOFTEN(100) dot", [](cBitFilter& f) { return f.SOFTEN(100); }, dot(255), 2, 2, 51},
        {"SOFTEN(100) neighbour", [](cBitFilter& f) { return f.SOFTEN(100); }, dot(255), 2, 1, 51},
        {"SOFTEN(100) diagonal", [](cBitFilter& f) { return f.SOFTEN(100); }, dot(255), 1, 1, 0},
        {"SOFTEN(0) flat", [](cBitFilter& f) { return f.SOFTEN(0); }, flatPicture(4, 4, 77), 1, 1, 77},
        {"SHARPEN(0) 110 among 100", [](cBitFilter& f) { return f.SHARPEN(0); }, sharpenPic, 2, 2, 111},
        {"SHARPEN(0) keeps the outer frame", [](cBitFilter& f) { return f.SHARPEN(0); }, dot(255), 2, 0, 0},
        {"SHARPEN(0) clamps", [](cBitFilter& f) { return f.SHARPEN(0); }, dot(255), 2, 1, 0},
        {"EDGEENHANCE(0) 110 among 100", [](cBitFilter& f) { return f.EDGEENHANCE(0); }, sharpenPic, 2, 2, 190},
        {"EDGEENHANCE(9) 110 among 100", [](cBitFilter& f) { return f.EDGEENHANCE(9); }, sharpenPic, 2, 2, 118},
        {"RELIEF flat", [](cBitFilter& f) { return absorbed(f.RELIEF()); }, flatPicture(4, 4, 99), 1, 1, 99 / 2 + 50},
        {"EMBOSS(10) flat", [](cBitFilter& f) { return absorbed(f.EMBOSS(10)); }, flatPicture(4, 3, 90), 1, 1, 128},
        {"EMBOSS(10) last column", [](cBitFilter& f) { return absorbed(f.EMBOSS(10)); }, flatPicture(4, 3, 90), 3, 1, 128},
        {"EMBOSS(10) last row", [](cBitFilter& f) { return absorbed(f.EMBOSS(10)); }, flatPicture(4, 3, 90), 1, 2, 128},
        {"EMBOSS(10) corner", [](cBitFilter& f) { return absorbed(f.EMBOSS(10)); }, flatPicture(4, 3, 90), 3, 2, 128},
        {"Engrave(10) last row", [](cBitFilter& f) { return absorbed(f.Engrave(10)); }, flatPicture(4, 3, 90), 0, 2, 128},
        {"EMBOSS(50) difference -40", [](cBitFilter& f) { return absorbed(f.EMBOSS(50)); },
         greyPicture({{60, 60, 60}, {60, 100, 60}, {60, 60, 60}}), 0, 0, 72},
        {"Engrave(50) difference 40 the other way", [](cBitFilter& f) { return absorbed(f.Engrave(50)); },
         greyPicture({{100, 60, 60}, {60, 60, 60}, {60, 60, 60}}), 0, 0, 72},
        {"EMBOSS(5) tie goes to even", [](cBitFilter& f) { return absorbed(f.EMBOSS(5)); },
         greyPicture({{61, 60, 60}, {60, 60, 60}, {60, 60, 60}}), 0, 0, 128},
        {"EMBOSS(5) tie goes to even, upward", [](cBitFilter& f) { return absorbed(f.EMBOSS(5)); },
         greyPicture({{63, 60, 60}, {60, 60, 60}, {60, 60, 60}}), 0, 0, 130},
        {"CONTOUR(255) flat", [](cBitFilter& f) { return f.CONTOUR(255); }, flatPicture(4, 4, 255), 1, 1, 255},
        {"CONTOUR(256) flat writes its own contour", [](cBitFilter& f) { return f.CONTOUR(256, 0); },
         flatPicture(3, 3, 0), 1, 1, 255},
        {"CONTOUR(200) darker pixel", [](cBitFilter& f) { return f.CONTOUR(200); },
         greyPicture({{90, 90, 90}, {90, 50, 90}, {90, 90, 90}}), 1, 1, 0},
        {"DILATE", [](cBitFilter& f) { return absorbed(f.DILATE()); }, dot(200), 1, 3, 200},
        {"ERODE at the edge takes the border", [](cBitFilter& f) { return absorbed(f.ERODE()); },
         flatPicture(4, 4, 255), 0, 2, 0},
        {"ERODE inside", [](cBitFilter& f) { return absorbed(f.ERODE()); }, flatPicture(4, 4, 255), 1, 2, 255},
        {"RankFilterN4(0) keeps the outer frame", [](cBitFilter& f) { return f.RankFilterN4(0); },
         flatPicture(4, 4, 255), 0, 2, 255},
        {"RankFilterN4(0) orthogonal", [](cBitFilter& f) { return f.RankFilterN4(0); },
         greyPicture({{90, 90, 90, 90}, {90, 90, 90, 90}, {90, 10, 90, 90}, {90, 90, 90, 90}}), 1, 1, 10},
        {"RankFilterN4(0) diagonal", [](cBitFilter& f) { return f.RankFilterN4(0); },
         greyPicture({{90, 90, 90, 90}, {90, 90, 90, 90}, {90, 10, 90, 90}, {90, 90, 90, 90}}), 2, 1, 90},
        {"RankFilterN4(1) orthogonal", [](cBitFilter& f) { return f.RankFilterN4(1); }, dot(200), 2, 1, 200},
        {"RankFilterN4(1) diagonal", [](cBitFilter& f) { return f.RankFilterN4(1); }, dot(200), 1, 1, 0},
        {"RankFilterN4(1) reaches the edge", [](cBitFilter& f) { return f.RankFilterN4(1); },
         greyPicture({{0, 200, 0}, {0, 0, 0}}), 0, 0, 200},
        {"RankFilterND(1) diagonal", [](cBitFilter& f) { return f.RankFilterND(1); }, dot(200), 1, 1, 200},
        {"RankFilterND(1) orthogonal", [](cBitFilter& f) { return f.RankFilterND(1); }, dot(200), 2, 1, 0},
        {"RankFilterND(0) dark diagonal", [](cBitFilter& f) { return f.RankFilterND(0); },
         greyPicture({{50, 90, 90}, {90, 90, 90}, {90, 90, 90}}), 1, 1, 50},
    };
    for (const Case& cs : cases) {
        Engine e(cs.pic);
        const FilterResult r = cs.run(e.f);
        ASSERT_TRUE(r) << cs.name;
        for (int c = 0; c < 3; ++c) EXPECT_EQ(r->at(c, cs.x, cs.y), cs.expected) << cs.name << " channel " << c;
        EXPECT_EQ(e.f.Bits(), cs.pic) << cs.name;
    }
}

TEST(NeighbourhoodFilters, ContourPaintsBackColor)
{
    Engine e(flatPicture(3, 3, 255));
    const FilterResult r = e.f.CONTOUR(255, 0xFF0000);
    ASSERT_TRUE(r);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(r->at(0, x, y), 255);
            EXPECT_EQ(r->at(1, x, y), 0);
            EXPECT_EQ(r->at(2, x, y), 0);
        }
    // Factor 0 paints the whole selection in BackColor, whatever it holds.
    Engine d(dot(0));
    const FilterResult z = d.f.CONTOUR(0, rgbColor(1, 2, 3));
    ASSERT_TRUE(z);
    EXPECT_EQ(z->at(0, 2, 2), 3);
    EXPECT_EQ(z->at(1, 2, 2), 2);
    EXPECT_EQ(z->at(2, 2, 2), 1);
}

TEST(NeighbourhoodFilters, ChannelsAreSeparate)
{
    BitsBuffer b = flatPicture(3, 3, 0);
    b.at(2, 1, 1) = 255;   // red only
    Engine e(b);
    const FilterResult r = e.f.Blurs(1);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->at(2, 0, 0), 31);
    EXPECT_EQ(r->at(1, 0, 0), 0);
    EXPECT_EQ(r->at(0, 0, 0), 0);
    // EMBOSS writes one grey to all three channels: d = 128, 128, 0 \ 3 ...
    const BitsBuffer em = e.f.EMBOSS(10);
    // (0, 0) against (1, 1): blue 128, green 128, red |(-255) + 128| = 127.
    EXPECT_EQ(em.at(0, 0, 0), (128 + 128 + 127) / 3);
    EXPECT_EQ(em.at(2, 0, 0), (128 + 128 + 127) / 3);
}

TEST(NeighbourhoodFilters, RefusedArgumentsGiveNoResultAndLeaveBits)
{
    const BitsBuffer pic = dot(200);
    Engine e(pic);
    EXPECT_FALSE(e.f.Blurs(3));
    EXPECT_FALSE(e.f.Blurs(-3));
    EXPECT_FALSE(e.f.SOFTEN(105));
    EXPECT_FALSE(e.f.SHARPEN(108));
    EXPECT_FALSE(e.f.EDGEENHANCE(-1));
    EXPECT_FALSE(e.f.RankFilterN4(2));
    EXPECT_FALSE(e.f.RankFilterND(-1));
    EXPECT_EQ(e.f.Bits(), pic);
    const FilterResult zero = e.f.Blurs(0);
    ASSERT_TRUE(zero);
    EXPECT_EQ(*zero, pic);
}

// Every member leaves unselected pixels, markers and the border as in Bits.
TEST(NeighbourhoodFilters, OnlyTheSelectionChanges)
{
    std::mt19937 gen(3);
    const BitsBuffer pic = greypics::randomPicture(7, 6, gen);
    const Region rg = Region::fromBands({{1, 3, {{1, 3}, {4, 6}}}, {3, 5, {{2, 7}}}});
    const std::vector<std::pair<const char*, Member>> members = {
        {"Blurs", [](cBitFilter& f) { return f.Blurs(2); }},
        {"SOFTEN", [](cBitFilter& f) { return f.SOFTEN(50); }},
        {"SHARPEN", [](cBitFilter& f) { return f.SHARPEN(50); }},
        {"EDGEENHANCE", [](cBitFilter& f) { return f.EDGEENHANCE(3); }},
        {"RELIEF", [](cBitFilter& f) { return absorbed(f.RELIEF()); }},
        {"EMBOSS", [](cBitFilter& f) { return absorbed(f.EMBOSS(30)); }},
        {"Engrave", [](cBitFilter& f) { return absorbed(f.Engrave(30)); }},
        {"CONTOUR", [](cBitFilter& f) { return f.CONTOUR(128, 0x123456); }},
        {"DILATE", [](cBitFilter& f) { return absorbed(f.DILATE()); }},
        {"ERODE", [](cBitFilter& f) { return absorbed(f.ERODE()); }},
        {"RankFilterN4", [](cBitFilter& f) { return f.RankFilterN4(1); }},
        {"RankFilterND", [](cBitFilter& f) { return f.RankFilterND(0); }},
    };
    for (const auto& [name, run] : members) {
        Engine e(pic, rg);
        const FilterResult r = run(e.f);
        ASSERT_TRUE(r) << name;
        SCOPED_TRACE(name);
        greypics::expectUntouchedOutside(pic, *r, rg);
        EXPECT_NE(*r, pic);
        EXPECT_EQ(e.f.Bits(), pic);
    }
}

TEST(NeighbourhoodFilters, EmbossEdgeCopiesUnselectedNeighbourFromBits)
{
    // The last column copies the pixel to its left in the result; when that
    // pixel lies outside the selection it holds its value from Bits.
    const BitsBuffer pic = greyPicture({{10, 20, 30}, {40, 50, 60}, {70, 80, 90}});
    const Region rg = Region::fromBands({{0, 3, {{0, 1}, {2, 3}}}});
    Engine e(pic, rg);
    const BitsBuffer r = e.f.EMBOSS(10);
    EXPECT_EQ(r.at(0, 2, 0), 20);
    EXPECT_EQ(r.at(0, 2, 1), 50);
}

} // namespace tq
