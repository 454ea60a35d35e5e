#include "SmallPictures.h"

#include "filters/PixelWalks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace tq {
namespace {

using test::Bgr;
using test::Engine;
using test::onePixel;
using test::picture;
using test::px;

BitsBuffer must(const FilterResult& r)
{
    EXPECT_TRUE(r.has_value());
    return r ? *r : BitsBuffer();
}

struct PixelCase {
    std::string name;
    Bgr in;
    std::function<BitsBuffer(cBitFilter&)> run;
    Bgr want;
};

void runCases(const std::vector<PixelCase>& cases)
{
    for (const PixelCase& c : cases) EXPECT_EQ(onePixel(c.in, c.run), c.want) << c.name;
}

} // namespace

TEST(ToneFilters, PointMembersOnOnePixel)
{
    runCases({
        {"BRIGHTNESS(300)", {1, 100, 254}, [](cBitFilter& f) { return must(f.BRIGHTNESS(300)); }, {255, 255, 255}},
        {"BRIGHTNESS(-300)", {1, 100, 254}, [](cBitFilter& f) { return must(f.BRIGHTNESS(-300)); }, {0, 0, 0}},
        {"BRIGHTNESS(10)", {1, 100, 250}, [](cBitFilter& f) { return must(f.BRIGHTNESS(10)); }, {11, 110, 255}},
        {"BRIGHTNESS(max)", {1, 100, 250}, [](cBitFilter& f) { return must(f.BRIGHTNESS(2147483647)); }, {255, 255, 255}},
        {"ShiftRGB", {10, 20, 30}, [](cBitFilter& f) { return f.ShiftRGB(-40, 5, 250); }, {255, 25, 0}},
        {"Invert", {0, 55, 255}, [](cBitFilter& f) { return must(f.Invert()); }, {255, 200, 0}},
        {"GreyScale red", {0, 0, 255}, [](cBitFilter& f) { return f.GreyScale(); }, {57, 57, 57}},
        {"GreyScale white", {255, 255, 255}, [](cBitFilter& f) { return f.GreyScale(); }, {255, 255, 255}},
        {"Threshold(128) dark", {128, 128, 129}, [](cBitFilter& f) { return f.Threshold(128); }, {0, 0, 0}},
        {"Threshold(127) bright", {128, 128, 129}, [](cBitFilter& f) { return f.Threshold(127); }, {255, 255, 255}},
        // k = 1: c + (c - g) with g = 40.
        {"SATURATION(100)", {10, 40, 70}, [](cBitFilter& f) { return f.SATURATION(100); }, {0, 40, 100}},
        {"SATURATION(-100)", {10, 40, 70}, [](cBitFilter& f) { return f.SATURATION(-100); }, {40, 40, 40}},
        // Red would pass the 32-bit range: that channel keeps its value.
        {"SATURATION(huge)", {0, 0, 200}, [](cBitFilter& f) { return f.SATURATION(2000000000); }, {0, 0, 200}},
        {"GammaCorrection(-100)", {10, 40, 70}, [](cBitFilter& f) { return f.GammaCorrection(-100); }, {0, 0, 0}},
        {"GammaCorrection(0)", {10, 40, 70}, [](cBitFilter& f) { return f.GammaCorrection(0); }, {10, 40, 70}},
        // k = 2: sqrt(c / 255) x 255.
        {"GammaCorrection(100)", {64, 0, 255}, [](cBitFilter& f) { return f.GammaCorrection(100); }, {128, 0, 255}},
        {"KillChannel", {10, 20, 30}, [](cBitFilter& f) { return f.KillChannel(0, 1, -1); }, {0, 0, 30}},
        {"SpecialColors -1 keeps", {10, 20, 30}, [](cBitFilter& f) { return f.SpecialColors(-1, -1, -1); }, {10, 20, 30}},
        {"SpecialColors 1 clears", {10, 20, 30}, [](cBitFilter& f) { return f.SpecialColors(1, -1, 0); }, {0, 20, 0}},
    });
}

// Every blue and green, with a red that puts the weighted sum exactly half
// way between two greys wherever one exists: those halves are where a grey
// reckoned any other way (whole-number weights, fused multiply-adds, another
// order of the sums) rounds differently. The marker byte is carried through.
TEST(ToneFilters, GreyScaleMatchesItsFormulaOnEveryHalfWayGrey)
{
    BitsBuffer in(256, 256);
    int halfWay = 0;
    for (int g = 0; g < 256; ++g)
        for (int b = 0; b < 256; ++b) {
            int r = (b * 7 + g * 3) & 0xFF;
            for (int t = 0; t < 256; ++t)
                if ((71 * b + 707 * g + 222 * t) % 1000 == 500) {
                    r = t;
                    ++halfWay;
                    break;
                }
            in.at(0, b, g) = static_cast<uint8_t>(b);
            in.at(1, b, g) = static_cast<uint8_t>(g);
            in.at(2, b, g) = static_cast<uint8_t>(r);
            in.at(3, b, g) = static_cast<uint8_t>(b ^ g);
        }
    ASSERT_GT(halfWay, 10000);
    for (bool wide : {true, false}) {
        allowWideVectors(wide);
        Engine e(in);
        const BitsBuffer out = e.f.GreyScale();
        allowWideVectors(true);
        int wrong = 0;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const double sum = 0.071 * in.at(0, x, y) + 0.707 * in.at(1, x, y) + 0.222 * in.at(2, x, y);
                const auto grey = static_cast<uint8_t>(std::nearbyint(sum));
                if (px(out, x, y) != (Bgr{grey, grey, grey}) || out.at(3, x, y) != in.at(3, x, y)) {
                    if (++wrong <= 3) ADD_FAILURE() << "pixel " << x << ", " << y << " wide " << wide;
                }
            }
        EXPECT_EQ(wrong, 0) << "wide " << wide;
    }
}

TEST(ToneFilters, SwapBanksAndSwapRgb)
{
    const Bgr in{1, 2, 3};   // B 1, G 2, R 3
    runCases({
        {"SwapBanks(1)", in, [](cBitFilter& f) { return must(f.SwapBanks(1)); }, {2, 3, 1}},    // R,G,B <- B,R,G
        {"SwapBanks(2)", in, [](cBitFilter& f) { return must(f.SwapBanks(2)); }, {3, 1, 2}},    // <- G,B,R
        {"SwapBanks(3)", in, [](cBitFilter& f) { return must(f.SwapBanks(3)); }, {2, 1, 3}},    // <- R,B,G
        {"SwapBanks(4)", in, [](cBitFilter& f) { return must(f.SwapBanks(4)); }, {3, 2, 1}},    // <- B,G,R
        {"SwapBanks(5)", in, [](cBitFilter& f) { return must(f.SwapBanks(5)); }, {1, 3, 2}},    // <- G,R,B
        {"SwapBanks(6)", in, [](cBitFilter& f) { return must(f.SwapBanks(6)); }, {1, 2, 3}},
        {"SwapRGB identity", in, [](cBitFilter& f) { return f.SwapRGB(2, 1, 0, 0, 0, 0, 0, 0, 0); }, {1, 2, 3}},
        {"SwapRGB invert and kill", in, [](cBitFilter& f) { return f.SwapRGB(0, 0, 2, -1, 0, 0, 0, -1, 0); }, {3, 0, 254}},
        // Kill flag 1 (not -1) only masks the lowest bit: 3 & ~1 = 2.
        {"SwapRGB kill flag 1", in, [](cBitFilter& f) { return f.SwapRGB(2, 1, 0, 0, 0, 0, 1, 0, 0); }, {1, 2, 2}},
        // A bank that names no channel leaves that channel as it was.
        {"SwapRGB bad bank", in, [](cBitFilter& f) { return f.SwapRGB(7, -1, 2, 0, 0, 0, 0, 0, 0); }, {3, 2, 3}},
    });

    Engine e(test::patterned(5, 4));
    BitsBuffer b = e.f.Bits();
    for (int i = 0; i < 3; ++i) {
        e.f.setBits(b);
        b = must(e.f.SwapBanks(1));
    }
    EXPECT_EQ(b, test::patterned(5, 4));
}

TEST(ToneFilters, SwapRgbReadsTheMarkerBank)
{
    BitsBuffer in = picture(1, 1, {{1, 2, 3}}, 77);
    Engine e(in);
    const BitsBuffer out = e.f.SwapRGB(3, 1, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(px(out, 0, 0), (Bgr{1, 2, 77}));
    EXPECT_EQ(out.at(3, 0, 0), 77);
}

TEST(ToneFilters, ContrastSpillsTheExcess)
{
    // Mean grey 100 over the picture; the pixel under test is not selected
    // alone: the mean is taken over every pixel.
    BitsBuffer in = picture(2, 1, {{10, 200, 250}, {0, 0, 0}});
    // Greys: (460 \ 3) = 153 and 0, mean 76: set the second pixel so the mean is 100.
    in.at(0, 1, 0) = 47;
    in.at(1, 1, 0) = 47;
    in.at(2, 1, 0) = 47;   // grey 47; (153 + 47) \ 2 = 100
    Engine e(in);
    const BitsBuffer out = e.f.Contrast(100);
    EXPECT_EQ(px(out, 0, 0), (Bgr{104, 255, 255}));
    EXPECT_EQ(px(out, 1, 0), (Bgr{0, 0, 0}));   // table -6 for each: all at most 0

    // Table values (300, 100, 50) in one pass: a = 200, 150, 125 with k = 2, mean 100.
    in.at(0, 0, 0) = 200;
    in.at(1, 0, 0) = 100;
    in.at(2, 0, 0) = 75;   // grey 125; pixel 2 grey 75 -> mean 100
    in.at(0, 1, 0) = in.at(1, 1, 0) = in.at(2, 1, 0) = 75;
    Engine e2(in);
    const BitsBuffer out2 = e2.f.Contrast(100);
    EXPECT_EQ(px(out2, 0, 0), (Bgr{255, 122, 72}));

    Engine e3(test::patterned(6, 5));
    EXPECT_EQ(e3.f.Contrast(0), e3.f.Bits());
}

TEST(ToneFilters, ReductionLevels)
{
    BitsBuffer in(256, 1);
    for (int i = 0; i < 256; ++i) in.at(0, i, 0) = in.at(1, i, 0) = in.at(2, i, 0) = static_cast<uint8_t>(i);
    Engine e(in);
    EXPECT_EQ(must(e.f.Reduction(0)), in);
    const BitsBuffer r99 = must(e.f.Reduction(99));
    for (int i = 0; i < 256; ++i) {
        const int want = i <= 50 ? 0 : i <= 149 ? 100 : i <= 250 ? 200 : 255;
        EXPECT_EQ(r99.at(2, i, 0), want) << i;
    }
    const BitsBuffer r1 = must(e.f.Reduction(1));
    EXPECT_EQ(r1.at(0, 1, 0), 0);
    EXPECT_EQ(r1.at(0, 3, 0), 4);
    // A step of 0 is a division by zero: the member fails.
    EXPECT_FALSE(e.f.Reduction(-1).has_value());
}

TEST(ToneFilters, EqualizeAroundTheMedian)
{
    struct Case { const char* name; Bgr fill; Bgr want; };
    const Case cases[] = {
        {"all black", {0, 0, 0}, {128, 128, 128}},     // m = -1
        {"all white", {255, 255, 255}, {255, 255, 255}},   // m = 254
    };
    for (const Case& c : cases) {
        BitsBuffer in(4, 3);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) {
                in.at(0, x, y) = static_cast<uint8_t>(c.fill.b);
                in.at(1, x, y) = static_cast<uint8_t>(c.fill.g);
                in.at(2, x, y) = static_cast<uint8_t>(c.fill.r);
            }
        Engine e(in);
        const BitsBuffer out = e.f.Equalize();
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(px(out, x, y), c.want) << c.name;
    }

    // Median level 1: level 0 must stay 0 (its scale has no finite value).
    BitsBuffer m1 = picture(5, 1, {{0, 0, 0}, {2, 2, 2}, {2, 2, 2}, {2, 2, 2}, {9, 9, 9}});
    // half = 2; level 0: 1; level 2: run 4 > 2, 4 - 2 = 2 >= 3 \ 2 = 1 -> m = 1.
    Engine e1(m1);
    const BitsBuffer out = e1.f.Equalize();
    EXPECT_EQ(px(out, 0, 0), (Bgr{0, 0, 0}));
    // (2 - 1) x 127 / 254 + 128 = 128.5 -> 128 (tie to even).
    EXPECT_EQ(px(out, 1, 0), (Bgr{128, 128, 128}));
}

TEST(ToneFilters, ColorizeKeepsBrightnessAndClampsOutOfRange)
{
    // Hue 0 at saturation 1 and luminosity 1: a mid grey becomes pure red.
    EXPECT_EQ(onePixel({128, 127, 127}, [](cBitFilter& f) { return must(f.COLORIZE(0.0f, 1.0f, 1.0f)); }),
              (Bgr{0, 0, 255}));
    // Saturation 0: grey of the mean, l = 382 / 765.
    EXPECT_EQ(onePixel({128, 127, 127}, [](cBitFilter& f) { return must(f.COLORIZE(2.0f, 0.0f, 1.0f)); }),
              (Bgr{127, 127, 127}));
    // Saturation 2 would give red 383 and green -128: held at 255 and 0.
    EXPECT_EQ(onePixel({128, 127, 127}, [](cBitFilter& f) { return must(f.COLORIZE(0.0f, 2.0f, 1.0f)); }),
              (Bgr{0, 0, 255}));
    // Luminosity 3 on white: every channel past 255, held at 255.
    EXPECT_EQ(onePixel({255, 255, 255}, [](cBitFilter& f) { return must(f.COLORIZE(1.0f, 0.5f, 3.0f)); }),
              (Bgr{255, 255, 255}));
    // A conversion that gives no whole number stops the member.
    Engine e(picture(1, 1, {{255, 255, 255}}));
    EXPECT_FALSE(e.f.COLORIZE(0.0f, 0.5f, 1e12f).has_value());
}

TEST(ToneFilters, ColorizeKeepsLowBitsWhenSaturationAndLuminosityAreFractions)
{
    // Only saturation or luminosity past 0..1 is held at the ends; a hue
    // outside -1..5 with both fractions in range keeps the low eight bits.
    // Grey (128, 127, 127): l = single(382 / 765), m1 = 0, m2 = D = 2l.
    struct Case { const char* name; float hue; Bgr want; };
    const Case cases[] = {
        // h >= 4: R = (h - 4) x D = 2D -> rnd(509.33) = 509 -> 253; B = m2 -> 255.
        {"hue 6", 6.0f, {255, 0, 253}},
        // h < 0: B = -h x D = 2D -> 253; R = m2 -> 255.
        {"hue -2", -2.0f, {253, 0, 255}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(onePixel({128, 127, 127}, [&](cBitFilter& f) { return must(f.COLORIZE(c.hue, 1.0f, 1.0f)); }),
                  c.want)
            << c.name;
}

TEST(ToneFilters, Statistics)
{
    Engine e(picture(3, 1, {{0, 0, 3}, {30, 30, 33}, {255, 255, 255}}));
    EXPECT_EQ(e.f.GetLMax(), 255);
    EXPECT_EQ(e.f.GetLMin(), 1);
    EXPECT_EQ(e.f.GetLMed(), (1 + 31 + 255) / 3);

    cBitFilter empty;
    empty.setBits(BitsBuffer(0, 0));
    EXPECT_EQ(empty.GetLMax(), 0);
    EXPECT_EQ(empty.GetLMin(), 255);
    EXPECT_FALSE(empty.GetLMed().has_value());
}

} // namespace tq
