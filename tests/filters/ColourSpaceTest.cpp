#include "filters/HslConversion.h"
#include "filters/PaletteMatch.h"

#include <gtest/gtest.h>

namespace tq {

TEST(ColourSpace, RgbToHslCases)
{
    struct Case { int r, g, b; float h, s, l; };
    const Case cases[] = {
        {255, 0, 0, 0.0f, 1.0f, 0.5f},
        {0, 255, 0, 2.0f, 1.0f, 0.5f},
        {0, 0, 255, 4.0f, 1.0f, 0.5f},
        {255, 0, 255, -1.0f, 1.0f, 0.5f},   // red tested first: (0 - 1) / 1
        {255, 255, 0, 1.0f, 1.0f, 0.5f},    // red equals the maximum and wins
        {128, 128, 128, 0.0f, 0.0f, 0.501960814f},
        {0, 0, 0, 0.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        float h = 9, s = 9, l = 9;
        Module5::RGBToHSL(c.r, c.g, c.b, h, s, l);
        EXPECT_FLOAT_EQ(h, c.h) << c.r << "," << c.g << "," << c.b;
        EXPECT_FLOAT_EQ(s, c.s) << c.r << "," << c.g << "," << c.b;
        EXPECT_FLOAT_EQ(l, c.l) << c.r << "," << c.g << "," << c.b;
    }
}

TEST(ColourSpace, HslToRgbCases)
{
    struct Case { float h, s, l; int r, g, b; };
    const Case cases[] = {
        {-1.0f, 1.0f, 0.5f, 255, 0, 255},
        {5.0f, 1.0f, 0.5f, 255, 0, 255},
        {3.0f, 1.0f, 0.5f, 0, 255, 255},
        {0.0f, 0.0f, 0.5f, 128, 128, 128},   // 127.5 goes to the even 128
        {0.5f, 1.0f, 0.5f, 255, 128, 0},     // 127.5 again
        {2.0f, 1.0f, 0.25f, 0, 128, 0},
    };
    for (const Case& c : cases) {
        int32_t r = -1, g = -1, b = -1;
        ASSERT_TRUE(Module5::HSLToRGB(c.h, c.s, c.l, r, g, b));
        EXPECT_EQ(r, c.r) << c.h << "," << c.s << "," << c.l;
        EXPECT_EQ(g, c.g) << c.h << "," << c.s << "," << c.l;
        EXPECT_EQ(b, c.b) << c.h << "," << c.s << "," << c.l;
    }
}

TEST(ColourSpace, HslToRgbFailsOnlyPastWholeNumbers)
{
    int32_t r = 7, g = 7, b = 7;
    EXPECT_FALSE(Module5::HSLToRGB(0.0f, 1.0f, 1e9f, r, g, b));
    EXPECT_EQ(r, 7);
    // Outside the ranges the channels leave 0..255 but are still numbers.
    EXPECT_TRUE(Module5::HSLToRGB(0.0f, 2.0f, 0.5f, r, g, b));
    EXPECT_GT(r, 255);
    EXPECT_LT(g, 0);
}

TEST(ColourSpace, RoundTripIsTheIdentityForEveryColour)
{
    int failures = 0;
    for (int r = 0; r < 256; ++r)
        for (int g = 0; g < 256; ++g)
            for (int b = 0; b < 256; ++b) {
                float h, s, l;
                Module5::RGBToHSL(r, g, b, h, s, l);
                int32_t r2, g2, b2;
                const bool ok = Module5::HSLToRGB(h, s, l, r2, g2, b2);
                if (!ok || r2 != r || g2 != g || b2 != b) {
                    if (++failures <= 5) ADD_FAILURE() << r << "," << g << "," << b << " -> " << r2 << "," << g2 << "," << b2;
                }
            }
    EXPECT_EQ(failures, 0);
}

TEST(ColourSpace, Max3Min3AndHueWrap)
{
    EXPECT_EQ(Module5::Max3(1, 2, 3), 3);
    EXPECT_EQ(Module5::Max3(3, 2, 1), 3);
    EXPECT_EQ(Module5::Max3(2, 3, 1), 3);
    EXPECT_EQ(Module6::Min3(1, 2, 3), 1);
    EXPECT_EQ(Module6::Min3(3, 1, 2), 1);
    EXPECT_EQ(Module6::Min3(3, 2, 1), 1);
    EXPECT_EQ(Module6::WrapHueOffset(0), 0);
    EXPECT_EQ(Module6::WrapHueOffset(200), 200);
    EXPECT_EQ(Module6::WrapHueOffset(201), -39);
    EXPECT_EQ(Module6::WrapHueOffset(240), 0);
}

} // namespace tq
