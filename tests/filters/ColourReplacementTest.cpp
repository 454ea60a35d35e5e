#include "SmallPictures.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

using test::Bgr;
using test::Engine;
using test::onePixel;
using test::picture;
using test::px;

constexpr int32_t kRed = rgbColor(255, 0, 0);
constexpr int32_t kBlue = rgbColor(0, 0, 255);

BitsBuffer must(const FilterResult& r)
{
    EXPECT_TRUE(r.has_value());
    return r ? *r : BitsBuffer();
}

} // namespace

TEST(ColourReplacement, ReplaceIsolateAndShiftAtToleranceZero)
{
    // Pure red, a red one level off (d2 = 1 = D: blend factor 0), and grey.
    const BitsBuffer in = picture(3, 1, {{0, 0, 255}, {0, 0, 254}, {9, 9, 9}});
    Engine e(in);

    const BitsBuffer rep = e.f.REPLACE(kRed, kBlue, 0);
    EXPECT_EQ(px(rep, 0, 0), (Bgr{255, 0, 0}));
    EXPECT_EQ(px(rep, 1, 0), (Bgr{0, 0, 254}));
    EXPECT_EQ(px(rep, 2, 0), (Bgr{9, 9, 9}));

    const BitsBuffer iso = must(e.f.ISOLATE(kRed, rgbColor(1, 2, 3), 0));
    EXPECT_EQ(px(iso, 0, 0), (Bgr{0, 0, 255}));
    EXPECT_EQ(px(iso, 1, 0), (Bgr{3, 2, 1}));   // d2 = D: erased
    EXPECT_EQ(px(iso, 2, 0), (Bgr{3, 2, 1}));

    const BitsBuffer sh = e.f.Shift(kRed, 40, 0);
    EXPECT_EQ(px(sh, 0, 0), (Bgr{40, 40, 255}));
    EXPECT_EQ(px(sh, 1, 0), (Bgr{0, 0, 254}));
}

TEST(ColourReplacement, BlendFallsWithDistance)
{
    // Tolerance 100: D = rnd(127.5^2 + 1) = 16257. A pixel 90 levels off in
    // red: d2 = 8100, a = single(1 - 8100 / 16257) = 0.50175...
    // red 165 -> 165 + (0 - 165) x a = 82.21 -> 82; blue 0 -> 255 x a = 127.95 -> 128.
    EXPECT_EQ(onePixel({0, 0, 165}, [](cBitFilter& f) { return f.REPLACE(kRed, kBlue, 100); }), (Bgr{128, 0, 82}));
    // Shift(K, 40, 100) on K adds 40 (limited), past D nothing.
    EXPECT_EQ(onePixel({250, 10, 100}, [](cBitFilter& f) { return f.Shift(rgbColor(100, 10, 250), 40, 100); }),
              (Bgr{255, 50, 140}));
    EXPECT_EQ(onePixel({0, 0, 0}, [](cBitFilter& f) { return f.Shift(rgbColor(255, 255, 255), 40, 100); }),
              (Bgr{0, 0, 0}));
}

TEST(ColourReplacement, ReplaceByLightnessAndHue)
{
    // LTolerance 0: only pixels of the same (R + G + B) \ 3 as ColorFrom.
    const BitsBuffer in = picture(2, 1, {{0, 0, 200}, {3, 0, 200}});
    Engine e(in);
    const BitsBuffer l0 = must(e.f.ReplaceL(rgbColor(200, 0, 0), kBlue, 0, 100));
    EXPECT_EQ(px(l0, 0, 0), (Bgr{255, 0, 0}));
    EXPECT_EQ(px(l0, 1, 0), (Bgr{3, 0, 200}));   // mean 67 against 66
    const BitsBuffer l100 = must(e.f.ReplaceL(rgbColor(200, 0, 0), kBlue, 100, 100));
    EXPECT_NE(px(l100, 1, 0), (Bgr{3, 0, 200}));

    // A hue near -1 and one near 5 are both magenta but never close.
    const BitsBuffer mag = picture(2, 1, {{255, 0, 250}, {250, 0, 255}});   // h slightly above 4..5 / below 0
    Engine m(mag);
    float h0, s0, l0f, h1, s1, l1f;
    Module5::RGBToHSL(250, 0, 255, h0, s0, l0f);
    Module5::RGBToHSL(255, 0, 250, h1, s1, l1f);
    ASSERT_GT(h0, 4.9f);
    ASSERT_LT(h1, -0.9f);
    const BitsBuffer hs = must(m.f.ReplaceHS(rgbColor(255, 0, 250), 0, 10, 100, 200));
    EXPECT_EQ(px(hs, 0, 0), (Bgr{255, 0, 250}));   // hue 4.98 vs -0.98: too far
    EXPECT_EQ(px(hs, 1, 0), (Bgr{0, 0, 0}));       // the colour itself: replaced
}

TEST(ColourReplacement, HueAndLightnessRotation)
{
    Engine e(test::patterned(16, 16));
    // The conversions give every colour back.
    const BitsBuffer same = must(e.f.RotateH(0, 100));
    EXPECT_EQ(same, e.f.Bits());
    // No saturation: grey.
    const BitsBuffer grey = must(e.f.RotateH(0, 0));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const test::Bgr p = px(grey, x, y);
            EXPECT_TRUE(p.b == p.g && p.g == p.r) << x << "," << y;
        }
    // 33 / 16.67 = 1.9796 sextants: red turns to a green just short of pure.
    EXPECT_EQ(onePixel({0, 0, 255}, [](cBitFilter& f) { return must(f.RotateH(33, 100)); }), (Bgr{0, 255, 5}));

    // RotateL(0, 0): sin(0) x 127.5 + 127.5 = 127.5 -> 128.
    const BitsBuffer rl = must(e.f.RotateL(0, 0));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) EXPECT_EQ(px(rl, x, y), (Bgr{128, 128, 128}));

    // StretchH(0, 100, 0): hue 0 at full saturation, lightness the mean.
    EXPECT_EQ(onePixel({0, 127, 128}, [](cBitFilter& f) { return f.StretchH(0, 100, 0); }), (Bgr{0, 0, 170}));
    EXPECT_EQ(onePixel({60, 0, 0}, [](cBitFilter& f) { return f.StretchH(0, 100, 0); }), (Bgr{0, 0, 40}));
}

TEST(ColourReplacement, StoppingMembersFailOnAnImpossibleLimit)
{
    Engine e(picture(1, 1, {{1, 2, 3}}));
    // Tolerance so large that D does not fit a 32-bit whole number.
    EXPECT_FALSE(e.f.ISOLATE(kRed, 0, 100000).has_value());
    EXPECT_FALSE(e.f.ReplaceL(kRed, 0, 0, 100000).has_value());
    EXPECT_FALSE(e.f.ReplaceHS(kRed, 0, 0, 0, 100000).has_value());
    // The absorbing ones leave the picture as it was.
    EXPECT_EQ(e.f.REPLACE(kRed, 0, 100000), e.f.Bits());
    // RotateH with a saturation far past 1: the conversion gives no whole number.
    Engine red(picture(1, 1, {{0, 0, 255}}));
    EXPECT_FALSE(red.f.RotateH(0, 2000000000).has_value());
}

} // namespace tq
