#include "colour/FieldRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <tuple>

namespace tq {

namespace {

using Rgb = std::tuple<int, int, int>;

// Pixel (x, m) of a bottom-up 24-bit array, m = 0 the bottom row.
Rgb at(const std::vector<uint8_t>& bits, int32_t rowBytes, int32_t x, int32_t m)
{
    const uint8_t* p = bits.data() + size_t(m) * size_t(rowBytes) + size_t(x) * 3;
    return {p[2], p[1], p[0]};
}

// Pixel (x, y) of a picture, y = 0 the top row.
Rgb at(const Picture& picture, int32_t x, int32_t y)
{
    const QRgb c = picture.image().pixel(x, y);
    return {qRed(c), qGreen(c), qBlue(c)};
}

bool onlyWebSafeLevels(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            for (int v : {qRed(c), qGreen(c), qBlue(c)})
                if (v % 51 != 0) return false;
        }
    return true;
}

int largestDifference(const QImage& a, const QImage& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

FieldRenderer renderer(int32_t w, int32_t h)
{
    FieldRenderer r;
    r.FieldWidth = w;
    r.FieldHeight = h;
    r.BarHeight = h;
    return r;
}

} // namespace

TEST(FieldPixels, RowBytesRoundUpToFour)
{
    struct Case { int32_t n, want; };
    const Case cases[] = {{30, 32}, {0, 0}, {1, 4}, {3, 4}, {4, 4}, {48, 48}, {3 * 216, 648}};
    for (const Case& c : cases) EXPECT_EQ(pvRowBytes(c.n), c.want) << c.n;
}

// The hue field steps its divisions by quotient and remainder; every pixel
// must still equal the whole-number formula.
TEST(FieldPixels, HueFieldFollowsItsFormula)
{
    struct Case { int32_t w, h; double hue; };
    const Case cases[] = {{12, 7, 30}, {216, 181, 200}, {6, 2, 359}, {37, 50, 0}};
    for (const Case& c : cases) {
        const std::vector<uint8_t> bits = hueFieldBits(c.w, c.h, {c.hue, 100, 100}, nullptr);
        const int32_t rowBytes = pvRowBytes(3 * c.w);
        ASSERT_EQ(bits.size(), size_t(rowBytes) * size_t(c.h));
        const int32_t pure = pvHSBToRGB({c.hue, 100, 100});
        const int channel[3] = {pure & 0xFF, (pure >> 8) & 0xFF, (pure >> 16) & 0xFF};
        for (int32_t m = 0; m < c.h; ++m)
            for (int32_t x = 0; x < c.w; ++x) {
                const int32_t e = c.w - 1 - x;
                int want[3];
                for (int k = 0; k < 3; ++k)
                    want[k] = (channel[k] * m * (c.w - 1) + e * (255 - channel[k]) * m) / ((c.h - 1) * (c.w - 1));
                ASSERT_EQ(at(bits, rowBytes, x, m), Rgb(want[0], want[1], want[2]))
                    << c.w << "x" << c.h << " at " << x << "," << m;
            }
        // White at the top left, the pure hue at the top right, black below.
        EXPECT_EQ(at(bits, rowBytes, 0, c.h - 1), Rgb(255, 255, 255));
        EXPECT_EQ(at(bits, rowBytes, c.w - 1, c.h - 1), Rgb(channel[0], channel[1], channel[2]));
        for (int32_t x = 0; x < c.w; ++x) EXPECT_EQ(at(bits, rowBytes, x, 0), Rgb(0, 0, 0));
    }
}

TEST(FieldPixels, SaturationFieldEnds)
{
    const int32_t w = 216, h = 100, rowBytes = pvRowBytes(3 * w), seg = w / 6;
    const std::vector<uint8_t> grey = saturationFieldBits(w, h, 0, nullptr);
    for (int32_t m = 0; m < h; ++m) {
        const int level = (m * 2040 / (h - 1)) / 8;
        for (int32_t x = 0; x < w; ++x) ASSERT_EQ(at(grey, rowBytes, x, m), Rgb(level, level, level)) << x << "," << m;
    }
    EXPECT_EQ(at(grey, rowBytes, 5, h - 1), Rgb(255, 255, 255));

    const std::vector<uint8_t> full = saturationFieldBits(w, h, 100, nullptr);
    EXPECT_EQ(at(full, rowBytes, 0, h - 1), Rgb(255, 0, 0));
    EXPECT_EQ(at(full, rowBytes, 2 * seg, h - 1), Rgb(0, 255, 0));
    EXPECT_EQ(at(full, rowBytes, 4 * seg, h - 1), Rgb(0, 0, 255));
    EXPECT_EQ(at(full, rowBytes, 6 * seg - 1, h - 1), Rgb(255, 0, 0));
    // Half way through the first segment the hue is half way to yellow.
    EXPECT_EQ(at(full, rowBytes, seg / 2, h - 1), Rgb(255, 127, 0));
    // The second segment mirrors the first with red and green swapped.
    const auto [r, g, b] = at(full, rowBytes, seg - 1, h - 1);
    EXPECT_EQ(at(full, rowBytes, seg, h - 1), Rgb(g, r, b));
    for (int32_t x = 0; x < w; ++x) EXPECT_EQ(at(full, rowBytes, x, 0), Rgb(0, 0, 0));
}

TEST(FieldPixels, BrightnessFieldEnds)
{
    const int32_t w = 60, h = 33, rowBytes = pvRowBytes(3 * w), seg = w / 6;
    const std::vector<uint8_t> black = brightnessFieldBits(w, h, 0, nullptr);
    EXPECT_TRUE(std::all_of(black.begin(), black.end(), [](uint8_t b) { return b == 0; }));

    const std::vector<uint8_t> full = brightnessFieldBits(w, h, 100, nullptr);
    for (int32_t x = 0; x < w; ++x) EXPECT_EQ(at(full, rowBytes, x, 0), Rgb(255, 255, 255)) << x;
    EXPECT_EQ(at(full, rowBytes, 0, h - 1), Rgb(255, 0, 0));
    EXPECT_EQ(at(full, rowBytes, 2 * seg, h - 1), Rgb(0, 255, 0));
    // At half brightness the grey row is half grey.
    const std::vector<uint8_t> half = brightnessFieldBits(w, h, 50, nullptr);
    EXPECT_EQ(at(half, rowBytes, 7, 0), Rgb(127, 127, 127));
}

TEST(FieldPixels, RGBFieldAxes)
{
    const int32_t w = 30, h = 20, rowBytes = pvRowBytes(3 * w);
    struct Case { int32_t channel; Rgb topLeft, bottomRight; };
    const Case cases[] = {
        {0, {200, 0, 255}, {200, 255, 0}},
        {1, {0, 200, 255}, {255, 200, 0}},
        {2, {0, 255, 200}, {255, 0, 200}},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> bits = rgbFieldBits(w, h, 200, c.channel, nullptr);
        EXPECT_EQ(at(bits, rowBytes, 0, h - 1), c.topLeft) << c.channel;
        EXPECT_EQ(at(bits, rowBytes, w - 1, 0), c.bottomRight) << c.channel;
        EXPECT_EQ(std::get<0>(at(bits, rowBytes, 10, 5)), c.channel == 0 ? 200 : 10 * 255 / 29);
    }
}

TEST(FieldPixels, Sliders)
{
    const int32_t h = 101;
    struct Case { std::vector<uint8_t> bits; Rgb bottom, top; };
    const Case cases[] = {
        {rgbBarBits(h, 0, nullptr), {0, 0, 0}, {255, 0, 0}},
        {rgbBarBits(h, 1, nullptr), {0, 0, 0}, {0, 255, 0}},
        {rgbBarBits(h, 2, nullptr), {0, 0, 0}, {0, 0, 255}},
        {hueBarBits(h, nullptr), {255, 0, 0}, {255, 0, 4}},
        {saturationBarBits(h, 120, 100, nullptr), {255, 255, 255}, {0, 255, 0}},
        {brightnessBarBits(h, 240, 100, nullptr), {0, 0, 0}, {0, 0, 255}},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(c.bits.size(), size_t(kBarRowBytes) * h);
        EXPECT_EQ(at(c.bits, kBarRowBytes, 0, 0), c.bottom);
        EXPECT_EQ(at(c.bits, kBarRowBytes, 15, h - 1), c.top);
        EXPECT_EQ(at(c.bits, kBarRowBytes, 15, 50), at(c.bits, kBarRowBytes, 0, 50));   // one colour per row
    }
    // The hue runs unrounded: row 50 of 101 is hue 179.5.
    const int32_t mid = pvHSBToRGB({179.5, 100, 100});
    EXPECT_EQ(at(cases[3].bits, kBarRowBytes, 3, 50), Rgb(mid & 0xFF, (mid >> 8) & 0xFF, mid >> 16));
}

TEST(FieldPixels, WebSafeTableAppliesToEveryByte)
{
    const WebSafeTable table;
    const std::vector<std::vector<uint8_t>> arrays = {
        hueFieldBits(48, 40, {77, 100, 100}, table.data()),
        saturationFieldBits(48, 40, 63.3, table.data()),
        brightnessFieldBits(48, 40, 81.2, table.data()),
        rgbFieldBits(48, 40, 100, 1, table.data()),
        hueBarBits(40, table.data()),
        saturationBarBits(40, 33, 71, table.data()),
        brightnessBarBits(40, 33, 71, table.data()),
        rgbBarBits(40, 2, table.data()),
    };
    for (const auto& bits : arrays)
        EXPECT_TRUE(std::all_of(bits.begin(), bits.end(), [](uint8_t b) { return b % 51 == 0; }));
}

TEST(FieldPixels, TinySizesDrawWithoutFailing)
{
    for (int32_t w : {0, 1, 2, 5}) {
        for (int32_t h : {0, 1, 2}) {
            EXPECT_EQ(hueFieldBits(w, h, {10, 100, 100}, nullptr).size(), size_t(pvRowBytes(3 * w)) * h);
            EXPECT_EQ(saturationFieldBits(w, h, 50, nullptr).size(), size_t(pvRowBytes(3 * w)) * h);
            EXPECT_EQ(brightnessFieldBits(w, h, 50, nullptr).size(), size_t(pvRowBytes(3 * w)) * h);
            EXPECT_EQ(rgbFieldBits(w, h, 9, 0, nullptr).size(), size_t(pvRowBytes(3 * w)) * h);
        }
        EXPECT_EQ(hueBarBits(w, nullptr).size(), size_t(kBarRowBytes) * w);
    }
}

TEST(FieldRenderer, PicturesAreTopDownCopiesOfTheArrays)
{
    const FieldRenderer r = renderer(12, 9);
    const Picture field = r.pvCreateRectRGB(40, 0);
    ASSERT_EQ(field.type(), Picture::kBitmap);
    ASSERT_EQ(field.pixelWidth(), 12);
    ASSERT_EQ(field.pixelHeight(), 9);
    EXPECT_EQ(at(field, 0, 0), Rgb(40, 0, 255));       // the array's top row
    EXPECT_EQ(at(field, 11, 8), Rgb(40, 255, 0));      // its bottom row
    const Picture bar = r.pvCreateBarRGB(1);
    ASSERT_EQ(bar.pixelWidth(), 16);
    ASSERT_EQ(bar.pixelHeight(), 9);
    EXPECT_EQ(at(bar, 0, 0), Rgb(0, 255, 0));
    EXPECT_EQ(at(bar, 0, 8), Rgb(0, 0, 0));
    // A too short array draws nothing rather than reading past its end.
    const std::vector<uint8_t> shortBits(10, 0xFF);
    EXPECT_EQ(at(r.pvBitsToPicture(shortBits), 0, 0), Rgb(0, 0, 0));
}

// The two ways of drawing a field agree to within a few levels: the
// gradient spreads the hue over W - 1 columns where the software field's
// mirrored segments step it 256 times per segment, which puts them up to
// about two degrees apart; a turned or mirrored field would be far off.
TEST(FieldRenderer, GradientFieldsMatchTheSoftwareFields)
{
    const FieldRenderer r = renderer(216, 180);
    const HSBRecord hsb{200, 100, 100};
    struct Case { Picture software, accelerated; };
    const Case cases[] = {
        {r.pvCreateRectHue(hsb), r.pvCreateRectHueAccel(hsb)},
        {r.pvCreateRectSaturation(70), r.pvCreateRectSaturationAccel(70)},
        {r.pvCreateRectBrightness(40), r.pvCreateRectBrightnessAccel(40)},
        {r.pvCreateRectRGB(90, 0), r.pvCreateRectRGBAccel(90, 0)},
        {r.pvCreateRectRGB(90, 1), r.pvCreateRectRGBAccel(90, 1)},
        {r.pvCreateRectRGB(90, 2), r.pvCreateRectRGBAccel(90, 2)},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        ASSERT_EQ(cases[i].accelerated.pixelWidth(), 216) << i;
        ASSERT_EQ(cases[i].accelerated.pixelHeight(), 180) << i;
        EXPECT_LE(largestDifference(cases[i].software.image(), cases[i].accelerated.image()), 8) << i;
    }
    // The channel scalings go to the fill as they stand: value x 255 is one
    // level short of the byte.
    EXPECT_EQ(at(cases[3].accelerated, 0, 0), Rgb(89, 0, 254));
}

TEST(FieldRenderer, PictureFitAndSixteenBitComponents)
{
    const FieldRenderer r = renderer(216, 180);
    const Picture field = r.pvCreateRectBrightness(50);
    EXPECT_FALSE(pvPictureFits(Picture(), 216, 180));
    EXPECT_TRUE(pvPictureFits(field, 216, 180));
    EXPECT_FALSE(pvPictureFits(field, 217, 180));
    EXPECT_FALSE(pvPictureFits(field, 216, 181));
    // 180 pixels are 4762 HIMETRIC (4762.5 to even), 179.98 pixels back:
    // within one pixel of 179 as well, so such a picture is reused.
    EXPECT_EQ(field.Height(), 4762);
    EXPECT_TRUE(pvPictureFits(field, 216, 179));
    EXPECT_EQ(field.Width(), 5715);   // HIMETRIC of 216 pixels
    EXPECT_NEAR(pvHimetricToPixels(5715), 216.0, 1e-9);

    struct Case { int32_t x; int16_t want; };
    const Case cases[] = {{0, 0}, {32767, 32767}, {32768, -32768}, {65280, -256}, {65535, -1}};
    for (const Case& c : cases) EXPECT_EQ(pvToInteger(c.x), c.want) << c.x;
}

// Which pictures an update renders anew, per mode.
TEST(FieldRenderer, CacheRendersOnlyWhatTheNewValueChanges)
{
    FieldRenderer r = renderer(60, 40);

    r.pvUpdateHue({30, 100, 100}, false);
    const Picture hueField = r.FieldPicture, hueBar = r.BarPicture;
    ASSERT_FALSE(hueField.isNothing());
    r.pvUpdateHue({30, 100, 100}, false);   // picking inside the field keeps the key
    EXPECT_EQ(r.FieldPicture, hueField);
    EXPECT_EQ(r.BarPicture, hueBar);
    r.pvUpdateHue({31, 100, 100}, false);
    EXPECT_FALSE(r.FieldPicture == hueField);
    EXPECT_EQ(r.BarPicture, hueBar);

    r.pvUpdateSaturation({10, 50, 60}, false);
    const Picture satField = r.FieldPicture, satBar = r.BarPicture;
    r.pvUpdateSaturation({90, 50, 20}, false);   // H and B: the slider only
    EXPECT_EQ(r.FieldPicture, satField);
    EXPECT_FALSE(r.BarPicture == satBar);
    const Picture satBar2 = r.BarPicture;
    r.pvUpdateSaturation({90, 51, 20}, false);   // S: the field only
    EXPECT_FALSE(r.FieldPicture == satField);
    EXPECT_EQ(r.BarPicture, satBar2);

    r.pvUpdateBrightness({10, 50, 60}, false);
    const Picture briField = r.FieldPicture, briBar = r.BarPicture;
    r.pvUpdateBrightness({10, 50, 61}, false);
    EXPECT_FALSE(r.FieldPicture == briField);
    EXPECT_EQ(r.BarPicture, briBar);

    r.pvUpdateRed(0x203040, false);
    const Picture redField = r.FieldPicture, redBar = r.BarPicture;
    r.pvUpdateRed(0x999940, false);              // green and blue change nothing
    EXPECT_EQ(r.FieldPicture, redField);
    EXPECT_EQ(r.BarPicture, redBar);
    r.pvUpdateRed(0x999941, false);
    EXPECT_FALSE(r.FieldPicture == redField);
    EXPECT_EQ(r.BarPicture, redBar);

    r.pvUpdateBlue(0x203040, false);
    const Picture blueField = r.FieldPicture;
    r.pvUpdateBlue(0x213040, false);
    EXPECT_FALSE(r.FieldPicture == blueField);
    EXPECT_EQ(at(r.FieldPicture, 0, 0), Rgb(0, 255, 0x21));

    // Each mode keeps its own entry: back in hue mode nothing is redrawn.
    const Picture lastHue = r.FieldCache[kFieldHue].Field;
    r.pvUpdateHue({31, 100, 100}, false);
    EXPECT_EQ(r.FieldPicture, lastHue);
}

TEST(FieldRenderer, WebSafeAccelerateAndSizeChanges)
{
    FieldRenderer r = renderer(60, 40);
    r.Accelerate = true;
    r.pvUpdateSaturation({10, 73, 60}, false);
    const Picture field = r.FieldPicture, bar = r.BarPicture;
    EXPECT_FALSE(onlyWebSafeLevels(field.image()));

    // Web-safe on: both pictures anew, in software, from six levels only.
    r.WebSafe = true;
    r.pvUpdateSaturation({10, 73, 60}, true);
    EXPECT_FALSE(r.FieldPicture == field);
    EXPECT_FALSE(r.BarPicture == bar);
    EXPECT_TRUE(onlyWebSafeLevels(r.FieldPicture.image()));
    EXPECT_TRUE(onlyWebSafeLevels(r.BarPicture.image()));
    EXPECT_TRUE(r.FieldCache[kFieldSaturation].WebSafeUsed);

    // Accelerate toggled: the picker drops the field pictures; only the
    // field is rendered again.
    r.WebSafe = false;
    r.pvUpdateSaturation({10, 73, 60}, false);
    const Picture bar2 = r.BarPicture;
    for (FieldCacheRecord& entry : r.FieldCache) entry.Field = Picture();
    r.Accelerate = false;
    r.pvUpdateSaturation({10, 73, 60}, false);
    EXPECT_FALSE(r.FieldPicture.isNothing());
    EXPECT_EQ(r.BarPicture, bar2);

    // A new layout size makes both stale.
    const Picture field3 = r.FieldPicture;
    r.FieldWidth = 66;
    r.FieldHeight = r.BarHeight = 41;
    r.pvUpdateSaturation({10, 73, 60}, false);
    EXPECT_FALSE(r.FieldPicture == field3);
    EXPECT_FALSE(r.BarPicture == bar2);
    EXPECT_EQ(r.FieldPicture.pixelWidth(), 66);
    EXPECT_EQ(r.BarPicture.pixelHeight(), 41);
}

TEST(FieldRenderer, ANothingPictureIsRenderedAgainNextTime)
{
    FieldRenderer r = renderer(0, 0);   // no surface can be made
    r.pvUpdateHue({10, 100, 100}, false);
    EXPECT_TRUE(r.FieldPicture.isNothing());
    EXPECT_TRUE(r.BarPicture.isNothing());
    r.FieldWidth = 12;
    r.FieldHeight = r.BarHeight = 8;
    r.pvUpdateHue({10, 100, 100}, false);
    EXPECT_EQ(r.FieldPicture.pixelWidth(), 12);
    EXPECT_EQ(r.BarPicture.pixelHeight(), 8);
}

} // namespace tq
