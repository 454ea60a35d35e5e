// GLASS: its styles, variants and exact keywords.
#include "PositionPictures.h"

namespace tq {
namespace {

using namespace positionpics;
using P = std::pair<int, int>;

// Source of (x, y) by hand from the table of variants, on a picture without
// a selection: {x, y, expected source}; a source outside leaves the pixel.
struct Probe {
    int x, y;
    P source;
};

TEST(Glass, SourcePointsOfTheVariants)
{
    struct Case {
        const char* style;
        int16_t intensity;
        std::vector<Probe> probes;
    };
    const Case cases[] = {
        // Row 1 takes (rnd(tan 1), 1) = (2, 1); row 2: tan 2 = -2.19 (outside,
        // kept); row 3: tan 3 = -0.14 -> 0.
        {"curtain", 0, {{0, 0, {0, 0}}, {9, 0, {0, 0}}, {5, 1, {2, 1}}, {5, 2, {5, 2}}, {7, 3, {0, 3}}}},
        // Column 1 takes column 2, column 4 column rnd(1.158) = 1.
        {"curtain", 1, {{1, 3, {2, 3}}, {4, 0, {1, 0}}, {3, 2, {0, 2}}, {2, 2, {2, 2}}}},
        // (4, 1): tan 4 * tan 1 = 1.80 -> 2; (1, 4) the same product.
        {"curtain", 2, {{4, 1, {2, 1}}, {1, 4, {2, 4}}, {0, 5, {0, 5}}}},
        // (1, 1): tan 1 + tan 1 = 3.11 -> 3; (0, 4): 1.158 -> 1.
        {"curtain", 3, {{1, 1, {1, 3}}, {0, 4, {0, 1}}}},
        // Column 3 takes 3 + 9.90 -> 13; column 0 would take -10.
        {"vertical", 2, {{3, 0, {13, 0}}, {0, 0, {0, 0}}, {6, 4, {6 - 10, 4}}}},
        // x - 3 sin x: 3 -> 2.58 -> 3, 4 -> 6.27 -> 6, 1 -> -1.5 (outside).
        {"vertical", 1, {{3, 1, {3, 1}}, {4, 1, {6, 1}}, {1, 1, {1, 1}}}},
        // x + 2 tan x: 1 -> 4.11 -> 4, 4 -> 6.32 -> 6.
        {"vertical", 0, {{1, 5, {4, 5}}, {4, 5, {6, 5}}}},
        {"horizontal", 0, {{5, 1, {5, 4}}, {5, 4, {5, 6}}}},
        {"horizontal", 1, {{2, 4, {2, 6}}, {2, 3, {2, 3}}}},
        {"horizontal", 2, {{2, 3, {2, 13}}}},
        {"squary", 0, {{1, 4, {4, 6}}}},
        // x - 5 sin x: 3 -> 2.29 -> 2, 4 -> 7.78 -> 8.
        {"squary", 1, {{3, 4, {2, 8}}, {4, 3, {8, 2}}}},
        {"squary", 2, {{3, 3, {13, 13}}}},
        // The walk counter n: (5, 0) has n 6, 5 + 0.84 -> 6; (4, 1) has n 19
        // on a 14-wide box: 4 - 3 sin 19 = 4 - 0.45 -> 4; (0, 0) would take -3.
        {"slanting", 0, {{5, 0, {6, 0}}, {4, 1, {4, 1}}, {0, 0, {0, 0}}, {3, 0, {5, 0}}}},
        // (2, 5): n 73, 5 - 10 sin 73 = 5 + 6.77 -> 12.
        {"slanting", 1, {{2, 5, {2, 12}}}},
    };
    const BitsBuffer in = positions(14, 14);
    for (const Case& c : cases) {
        Engine e(in);
        const BitsBuffer out = e.f.GLASS(c.style, c.intensity);
        for (const Probe& p : c.probes) {
            const bool outside = p.source.first < 0 || p.source.second < 0;
            const P want = outside ? P(p.x, p.y) : p.source;
            EXPECT_EQ(from(out, p.x, p.y), want) << c.style << " " << c.intensity << " at " << p.x << "," << p.y;
        }
        expectBorderAndMarkersKept(in, out);
        EXPECT_EQ(e.reports.back(), 100);
    }
}

TEST(Glass, SourceOutsideTheSelectionKeepsTheDestination)
{
    // Column 1 is not selected. "curtain" 1: column 1 (outside, in the box)
    // takes column 2, which is selected; column 4 would take column 1 and
    // keeps its own; column 3 takes column 0.
    const BitsBuffer in = positions(5, 5);
    Engine e(in, Region::fromBands({{0, 5, {{0, 1}, {2, 5}}}}));
    const BitsBuffer out = e.f.GLASS("curtain", 1);
    for (int y = 0; y < 5; ++y) {
        EXPECT_EQ(from(out, 1, y), P(2, y));
        EXPECT_EQ(from(out, 4, y), P(4, y));
        EXPECT_EQ(from(out, 3, y), P(0, y));
    }
}

TEST(Glass, KeywordsAreExactAndUnknownOnesChangeNothing)
{
    const BitsBuffer in = positions(9, 9);
    struct Case {
        const char* style;
        int16_t intensity;
    };
    const Case cases[] = {{"Curtain", 0}, {"CURTAIN", 1}, {" curtain", 0}, {"curtain ", 0}, {"", 0},
                          {"curtain", 4}, {"curtain", -1}, {"slanting", 2}, {"squary", 3}, {"glass", 0}};
    for (const Case& c : cases) {
        Engine e(in);
        EXPECT_EQ(e.f.GLASS(c.style, c.intensity), in) << '"' << c.style << "\" " << c.intensity;
    }
    Engine e(in);
    EXPECT_NE(e.f.GLASS("curtain", 0), in);
}

} // namespace
} // namespace tq
