#include "colour/ColourModels.h"
#include "gdi/SystemColours.h"
#include "platform/SystemColors.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

namespace tq {

namespace {

constexpr int32_t rgb(int r, int g, int b) { return r + 256 * g + 65536 * b; }

// Sets the application's button-face colour for one test and puts the old
// palette back afterwards.
class ButtonFace {
public:
    explicit ButtonFace(const QColor& c) : saved_(QApplication::palette())
    {
        QPalette p = saved_;
        p.setColor(QPalette::Active, QPalette::Button, c);
        QApplication::setPalette(p);
    }
    ~ButtonFace() { QApplication::setPalette(saved_); }

private:
    QPalette saved_;
};

} // namespace

TEST(ColourModels, HSBToRGB)
{
    struct Case { double h, s, b; int32_t want; };
    const Case cases[] = {
        {0, 100, 100, 0xFF},          {60, 100, 100, 0xFFFF},      {120, 100, 100, 0xFF00},
        {240, 100, 100, 0xFF0000},    {359, 100, 100, 0x400FF},    // 4.25 rounds to 4
        {30, 50, 50, rgb(128, 96, 64)},                            // 127.5 -> 128, 63.75 -> 64
        {0, 0, 50, 0x808080},         {200, 0, 50, 0x808080},      // no saturation: grey
        {360, 100, 100, 0},           {-1, 100, 100, 0},           // outside the circle: black
        {210, 100.0 * 102 / 153, 60, rgb(51, 102, 153)},
        {0, 100, 150, rgb(0, 0, 0)},                               // 382.5 leaves the byte range
        {60, 50, 150, rgb(0, 0, 191)},                             // only the channels that leave it
    };
    for (const Case& c : cases) EXPECT_EQ(pvHSBToRGB({c.h, c.s, c.b}), c.want) << c.h << "," << c.s << "," << c.b;
}

TEST(ColourModels, RGBToHSB)
{
    struct Case { int32_t colour; double h, s, b; };
    const Case cases[] = {
        {rgb(51, 102, 153), 210, 66.6667, 60},
        {rgb(10, 200, 100), 148.4211, 95, 78.4314},
        {0, 0, 0, 0},
        {rgb(128, 128, 128), 0, 0, 50.1961},
        {rgb(255, 255, 0), 60, 100, 100},      // red wins the tie for the largest
        {rgb(255, 0, 255), 300, 100, 100},     // h = -1, wrapped
        {rgb(0, 255, 255), 180, 100, 100},     // green before blue
    };
    for (const Case& c : cases) {
        const HSBRecord hsb = pvRGBToHSB(c.colour);
        EXPECT_NEAR(hsb.H, c.h, 1e-4) << std::hex << c.colour;
        EXPECT_NEAR(hsb.S, c.s, 1e-4) << std::hex << c.colour;
        EXPECT_NEAR(hsb.B, c.b, 1e-4) << std::hex << c.colour;
    }
    // The record holds the unrounded quotient, not a rounded display value.
    EXPECT_DOUBLE_EQ(pvRGBToHSB(rgb(51, 102, 153)).S, 102.0 / 153 * 100);
}

TEST(ColourModels, CMYKPacksWholePercentages)
{
    struct Case { int32_t colour; int c, m, y, k; };
    const Case cases[] = {
        {rgb(255, 255, 255), 0, 0, 0, 0},   {0, 0, 0, 0, 100},
        {rgb(255, 0, 0), 0, 100, 100, 0},   {rgb(128, 128, 128), 0, 0, 0, 49},
        {rgb(51, 102, 153), 40, 20, 0, 40}, {rgb(200, 150, 100), 0, 20, 39, 21},
    };
    for (const Case& c : cases)
        EXPECT_EQ(pvRGBToCMYK(c.colour), c.c + 256 * c.m + 65536 * c.y + 16777216 * c.k) << std::hex << c.colour;
}

TEST(ColourModels, LabThroughXYZ)
{
    struct Case { int32_t colour; double l, a, b; };
    const Case cases[] = {
        {rgb(255, 255, 255), 100, 0, 0},        {0, 0, 0, 0},
        {rgb(255, 0, 0), 53.24, 40.05, 33.60},  {rgb(0, 255, 0), 87.74, -43.09, 41.59},
        {rgb(0, 0, 255), 32.30, 39.59, -53.93},
        {rgb(30, 30, 30), 7.77, 0, 0},          // below the threshold: L = 903.3 Y
        {rgb(31, 31, 31), 8.35, 0, 0},          // above it: L = 116 fy - 16
    };
    for (const Case& c : cases) {
        const LabRecord lab = pvXYZToLab(pvRGBToXYZ(c.colour));
        EXPECT_NEAR(lab.L, c.l, 0.005) << std::hex << c.colour;
        EXPECT_NEAR(lab.a, c.a, 0.005) << std::hex << c.colour;
        EXPECT_NEAR(lab.b, c.b, 0.005) << std::hex << c.colour;
    }
    const XYZRecord white = pvRGBToXYZ(rgb(255, 255, 255));
    EXPECT_NEAR(white.X, 0.950456, 1e-12);
    EXPECT_NEAR(white.Y, 1.0, 1e-12);
    EXPECT_NEAR(white.Z, 1.088754, 1e-12);
    EXPECT_NEAR(pvRGBToXYZ(rgb(30, 30, 30)).Y, 0.008602, 5e-7);
    EXPECT_NEAR(pvRGBToXYZ(rgb(31, 31, 31)).Y, 0.009253, 5e-7);
}

TEST(ColourModels, PowersWithoutARealValueGiveZero)
{
    EXPECT_EQ(pvCubeRoot(-8.0), 0.0);
    EXPECT_DOUBLE_EQ(pvCubeRoot(8.0), 2.0);
    EXPECT_EQ(pvGammaExpand(-0.5), 0.0);
    EXPECT_DOUBLE_EQ(pvGammaExpand(1.0), 1.0);
}

TEST(ColourModels, WebSafeTableSnapsToSixLevels)
{
    const WebSafeTable table;
    struct Case { uint8_t v, want; };
    const Case cases[] = {{0, 0},     {25, 0},    {26, 51},   {76, 51},   {77, 102},  {127, 102},
                          {128, 153}, {178, 153}, {179, 204}, {229, 204}, {230, 255}, {255, 255}};
    for (const Case& c : cases) EXPECT_EQ(table[c.v], c.want) << int(c.v);
}

TEST(ColourModels, HexPadKeepsTheLastDigits)
{
    struct Case { int32_t value, n; const char* want; };
    const Case cases[] = {{10, 2, "0A"}, {255, 2, "FF"}, {0, 2, "00"}, {0x1ABC, 2, "BC"},
                          {0xABC, 6, "000ABC"}, {-1, 4, "FFFF"}, {5, 0, ""}, {5, -3, ""}};
    for (const Case& c : cases) EXPECT_EQ(pvHexPad(c.value, c.n), c.want) << c.value << "," << c.n;
}

TEST(ColourModels, SmallHelpers)
{
    EXPECT_EQ(pvClamp(-1, 0, 359), 0);
    EXPECT_EQ(pvClamp(400, 0, 359), 359);
    EXPECT_EQ(pvClamp(42.5, 0, 359), 42.5);
    EXPECT_EQ(pvMin(3, -2), -2);
    EXPECT_TRUE(pvSameHSB(pvMakeHSB(1, 2, 3), HSBRecord{1, 2, 3}));
    EXPECT_FALSE(pvSameHSB(pvMakeHSB(1, 2, 3), HSBRecord{1, 2, 3.0000001}));
}

TEST(ColourModels, SystemColoursConvertAsTheirCurrentRGB)
{
    const ButtonFace face(QColor(12, 34, 56));
    int32_t out = -5;
    ASSERT_TRUE(translateOleColour(static_cast<int32_t>(0x8000000F), out));
    EXPECT_EQ(out, rgb(12, 34, 56));
    EXPECT_EQ(pvRGBToCMYK(static_cast<int32_t>(0x8000000F)), pvRGBToCMYK(rgb(12, 34, 56)));
    EXPECT_NEAR(pvRGBToHSB(static_cast<int32_t>(0x8000000F)).B, 56 * 100.0 / 255, 1e-9);

    // Plain and palette-relative values are themselves; what cannot be
    // translated fails and converts as black.
    ASSERT_TRUE(translateOleColour(0x02123456, out));
    EXPECT_EQ(out, 0x123456);
    out = 7;
    EXPECT_FALSE(translateOleColour(-1, out));
    EXPECT_FALSE(translateOleColour(static_cast<int32_t>(0x80000019), out));   // no element 25
    EXPECT_FALSE(translateOleColour(static_cast<int32_t>(0x800000FF), out));
    EXPECT_FALSE(translateOleColour(0x01000003, out));                           // palette index
    EXPECT_EQ(out, 7);
    EXPECT_EQ(pvRGBToCMYK(-1), 100 * 16777216);
}

// The drawing code and the controls and effects read one table: a system
// colour is the same colour whichever of them asks (they used to disagree
// on the desktop, the caption entries and the 3D light).
TEST(ColourModels, EverySystemColourReadsTheSameEverywhere)
{
    for (int32_t index = 0; index <= 32; ++index) {
        const int32_t value = static_cast<int32_t>(0x80000000u | static_cast<uint32_t>(index));
        int32_t ole = -1;
        const bool translated = translateOleColour(value, ole);
        const std::optional<int32_t> plain = translateColor(value);
        ASSERT_EQ(translated, plain.has_value()) << index;
        if (translated) {
            EXPECT_EQ(ole, *plain) << index;
        }
        int32_t drawn = -1;
        EXPECT_EQ(systemColour(index, drawn), translated) << index;
        if (translated) {
            EXPECT_EQ(drawn, ole) << index;
        }
    }
    EXPECT_FALSE(translateColor(static_cast<int32_t>(0x80000019)).has_value());   // no element 25
}

} // namespace tq
