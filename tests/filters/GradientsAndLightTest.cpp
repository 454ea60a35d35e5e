// GradientLinear, GradientCircular and Light.
#include "PositionPictures.h"

#include <limits>

namespace tq {
namespace {

using namespace positionpics;

constexpr int32_t kRed = 255;
constexpr int32_t kBlue = 16711680;

struct Rb {
    int r, b;
    bool operator==(const Rb&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Rb& c) { return os << "(red " << c.r << ", blue " << c.b << ")"; }
Rb rb(const BitsBuffer& out, int x, int y) { return {out.at(2, x, y), out.at(0, x, y)}; }

TEST(Gradients, LinearRedToBlue)
{
    const BitsBuffer in = uniform(30, 3, 0, 0, 0);
    struct Case {
        int frequency;
        std::vector<std::pair<int, Rb>> columns;
    };
    const Case cases[] = {
        {1, {{0, {255, 0}}, {10, {255, 0}}, {13, {178, 77}}, {15, {128, 128}}, {20, {0, 255}}, {29, {0, 255}}}},
        {3, {{10, {255, 0}}, {15, {255, 0}}, {20, {255, 0}}, {12, {24, 231}}, {13, {24, 231}}, {17, {24, 231}},
             {18, {24, 231}}, {8, {24, 231}}, {0, {255, 0}}}},
        // Frequency 0 or below: the plain blend.
        {0, {{13, {178, 77}}, {15, {128, 128}}, {25, {0, 255}}}},
        {-4, {{13, {178, 77}}, {5, {255, 0}}}},
    };
    for (const Case& c : cases) {
        Engine e(in);
        const BitsBuffer out = e.f.GradientLinear(10, 0, 20, 0, kRed, kBlue, 100, c.frequency);
        for (auto [x, want] : c.columns)
            for (int y = 0; y < 3; ++y) {
                EXPECT_EQ(rb(out, x, y), want) << "frequency " << c.frequency << " column " << x;
                EXPECT_EQ(out.at(1, x, y), 0);
            }
        expectBorderAndMarkersKept(in, out);
    }
}

TEST(Gradients, DirectionsOfTheSegment)
{
    // The same blend from (20, 0) to (10, 0) runs right to left; downward
    // and upward segments blend by rows.
    const BitsBuffer in = uniform(30, 30, 0, 0, 0);
    Engine e(in);
    const BitsBuffer left = e.f.GradientLinear(20, 0, 10, 0, kRed, kBlue, 100, 1);
    EXPECT_EQ(rb(left, 17, 4), (Rb{178, 77}));
    EXPECT_EQ(rb(left, 5, 4), (Rb{0, 255}));
    const BitsBuffer down = e.f.GradientLinear(0, 10, 0, 20, kRed, kBlue, 100, 1);
    EXPECT_EQ(rb(down, 0, 15), (Rb{128, 128}));
    EXPECT_EQ(rb(down, 0, 13), (Rb{178, 77}));
    EXPECT_EQ(rb(down, 6, 12), (Rb{204, 51}));
    EXPECT_EQ(rb(down, 4, 25), (Rb{0, 255}));
    const BitsBuffer up = e.f.GradientLinear(0, 20, 0, 10, kRed, kBlue, 100, 1);
    EXPECT_EQ(rb(up, 4, 25), (Rb{255, 0}));
    EXPECT_EQ(rb(up, 4, 5), (Rb{0, 255}));
}

TEST(Gradients, ObliqueSegmentHalfWayTakesTheTieToEven)
{
    // A 6-8-10 segment: t = (8 X + 6 Y) / 100 exactly. Where that is 0.5 the
    // blue 127.5 and the red 127.5 both go to the even 128, which needs the
    // cosine and sine of the angle taken in double precision before their
    // quotients by len are kept as singles.
    const BitsBuffer in = uniform(16, 16, 0, 0, 0);
    Engine e(in);
    const BitsBuffer out = e.f.GradientLinear(0, 5, 8, 11, kRed, kBlue, 100, 1);
    struct Case {
        int x, y;
        Rb want;
    };
    const Case cases[] = {
        {10, 0, {128, 128}},   // X 10, Y -5
        {4, 8, {128, 128}},    // X 4, Y 3: the segment's middle
        {0, 5, {255, 0}},      // the start
        {8, 11, {0, 255}},     // the end
        {5, 5, {153, 102}},    // t 0.4
        {15, 15, {0, 255}},    // beyond the end line
    };
    for (const Case& c : cases) EXPECT_EQ(rb(out, c.x, c.y), c.want) << c.x << "," << c.y;
}

TEST(Gradients, EqualEndsReturnACopyWithoutProgress)
{
    const BitsBuffer in = positions(8, 6);
    Engine e(in);
    e.reportEveryRow();
    EXPECT_EQ(e.f.GradientLinear(3, 3, 3, 3, kRed, kBlue, 100, 1), in);
    EXPECT_EQ(e.f.GradientCircular(3, 3, 3, 3, kRed, kBlue, 100, 1), in);
    EXPECT_TRUE(e.reports.empty());
}

TEST(Gradients, PressureAndOwnColours)
{
    const BitsBuffer in = positions(12, 5);
    Engine e(in);
    EXPECT_EQ(e.f.GradientLinear(1, 1, 9, 3, kRed, kBlue, 0, 1), in);
    EXPECT_EQ(e.f.GradientLinear(1, 1, 9, 3, -1, -1, 50, 1), in);
    EXPECT_EQ(e.f.GradientCircular(1, 1, 9, 3, -1, -1, 50, 2), in);
    // Own colour to white at full pressure: the start keeps the pixel.
    const BitsBuffer own = e.f.GradientLinear(0, 0, 10, 0, -1, 0xFFFFFF, 100, 1);
    EXPECT_TRUE(samePixel(own, in, 0, 3));
    EXPECT_EQ(own.at(0, 11, 2), 255);
}

TEST(Gradients, BytesOutOfRangeKeepTheirValues)
{
    // Pressure 200: 2 * blend - own. At column 0: red 510 - 10 and blue
    // 0 - 10 fail and keep 10; at column 15 red 2 * 127.5 - 10 = 245.
    const BitsBuffer in = uniform(30, 2, 10, 10, 10);
    Engine e(in);
    const BitsBuffer out = e.f.GradientLinear(10, 0, 20, 0, kRed, kBlue, 200, 1);
    EXPECT_TRUE(samePixel(out, in, 0, 0));
    EXPECT_EQ(rb(out, 15, 0), (Rb{245, 245}));
    EXPECT_EQ(out.at(1, 15, 0), 10);
}

TEST(Gradients, CircularFromTheCentreOut)
{
    const BitsBuffer in = uniform(12, 12, 0, 0, 0);
    Engine e(in);
    const BitsBuffer out = e.f.GradientCircular(5, 5, 9, 5, kRed, kBlue, 100, 1);   // radius 4
    EXPECT_EQ(rb(out, 5, 5), (Rb{255, 0}));
    EXPECT_EQ(rb(out, 7, 5), (Rb{128, 128}));
    EXPECT_EQ(rb(out, 9, 5), (Rb{0, 255}));
    EXPECT_EQ(rb(out, 5, 1), (Rb{0, 255}));
    EXPECT_EQ(rb(out, 0, 0), (Rb{0, 255}));
    EXPECT_EQ(rb(out, 11, 11), (Rb{0, 255}));
}

TEST(Gradients, WholePictureWalkOnlySelectedPixels)
{
    const BitsBuffer in = uniform(6, 5, 0, 0, 0);
    Engine e(in, Region::rect(1, 2, 4, 4));
    e.reportEveryRow();
    const BitsBuffer out = e.f.GradientLinear(0, 0, 5, 0, kRed, kRed, 100, 1);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(out.at(2, x, y), e.rg.contains(x, y) ? 255 : 0) << x << "," << y;
    // Every row of the picture is walked, not only the selection's.
    EXPECT_EQ(e.reports, (std::vector<int32_t>{0, 25, 50, 75, 100, 100}));
}

TEST(LightSpot, BrighteningFallsTowardTheRim)
{
    const BitsBuffer in = uniform(21, 21, 100, 100, 100);   // R 5 about (10, 10)
    struct Case {
        int x, y, dFactor, want;
    };
    const Case cases[] = {
        {10, 10, 100, 150}, {14, 10, 100, 150}, {13, 13, 100, 150},
        {15, 10, 100, 100},   // distance 5: not strictly inside
        {13, 14, 100, 100},
        {10, 10, 0, 150},  {12, 10, 0, 130}, {14, 10, 0, 110},
        {11, 11, 0, 136},   // 50 * (1 - 1.414 / 5) = 35.86
        {12, 10, 50, 140},  // k 0.5: 50 * (1 - 0.2) = 40
    };
    for (const Case& c : cases) {
        Engine e(in);
        const FilterResult out = e.f.Light(0.5f, 0.5f, 0.25f, 50, c.dFactor);
        ASSERT_TRUE(out);
        EXPECT_EQ(out->at(0, c.x, c.y), c.want) << c.x << "," << c.y << " dFactor " << c.dFactor;
        EXPECT_EQ(out->at(2, c.x, c.y), c.want);
        expectBorderAndMarkersKept(in, *out);
    }
}

TEST(LightSpot, BytesStayWithinTheirRange)
{
    Engine bright(uniform(9, 9, 250, 250, 250));
    EXPECT_EQ(bright.f.Light(0.5f, 0.5f, 0.5f, 10, 100)->at(1, 4, 4), 255);
    // A negative intensity, or a rim above 100 percent with it, darkens down
    // to 0 rather than wrapping round to 251.
    Engine dark(uniform(9, 9, 5, 5, 5));
    EXPECT_EQ(dark.f.Light(0.5f, 0.5f, 0.5f, -10, 100)->at(1, 4, 4), 0);
    EXPECT_EQ(dark.f.Light(0.5f, 0.5f, 0.5f, -10, 200)->at(1, 5, 4), 0);
    EXPECT_EQ(dark.f.Light(0.5f, 0.5f, 0.5f, -3, 100)->at(1, 4, 4), 2);
}

TEST(LightSpot, EmptyDiscSelectionAndFailure)
{
    const BitsBuffer in = uniform(10, 10, 1, 2, 3);
    Engine e(in);
    EXPECT_EQ(*e.f.Light(0.5f, 0.5f, 0.0f, 80, 50), in);      // R 0
    EXPECT_EQ(*e.f.Light(0.5f, 0.5f, -0.4f, 80, 50), in);     // negative radius
    EXPECT_EQ(*e.f.Light(30.0f, -9.0f, 0.4f, 80, 50), in);    // far off the picture
    // A radius far beyond the picture still ends at once, touching every pixel.
    const FilterResult big = e.f.Light(0.5f, 0.5f, 1000.0f, 80, 100);
    ASSERT_TRUE(big);
    EXPECT_EQ(big->at(0, 0, 0), 81);
    EXPECT_EQ(big->at(0, 9, 9), 81);
    // An intensity whose sum does not fit a whole number stops the member.
    EXPECT_FALSE(e.f.Light(0.5f, 0.5f, 0.4f, std::numeric_limits<int32_t>::max(), 200));

    Engine sel(in, diamond5());
    sel.reportEveryRow();
    const FilterResult out = sel.f.Light(0.25f, 0.25f, 0.25f, 10, 100);   // R 2 about (2, 2)
    ASSERT_TRUE(out);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const int d2 = (x - 2) * (x - 2) + (y - 2) * (y - 2);
            EXPECT_EQ(out->at(0, x, y), d2 < 4 && sel.rg.contains(x, y) ? 11 : 1) << x << "," << y;
        }
    EXPECT_EQ(sel.reports, (std::vector<int32_t>{0, 25, 50, 75, 100, 100}));
}

} // namespace
} // namespace tq
