// Colour replacement and hue filters: pixels changed by their likeness to a
// chosen colour, or moved along the hue or lightness scale.
#include "filters/GreyWeights.h"
#include "filters/HslConversion.h"
#include "filters/PixelWalks.h"

#include <array>
#include <cmath>
#include <cstdlib>

namespace tq {

namespace {

struct Rgb {
    int32_t r, g, b;
};
Rgb splitColor(int32_t c) { return Rgb{colorRed(c), colorGreen(c), colorBlue(c)}; }

// The distance limit D = rnd((Tolerance x 127.5 / 100)^2 + 1); false when it
// does not fit a 32-bit whole number.
bool distanceLimit(int32_t Tolerance, int32_t& D)
{
    const double t = Tolerance * 127.5 / 100.0;
    return toInt32(t * t + 1.0, D);
}

// Squared distance of pixel s (blue, green, red) to colour f.
inline int32_t distance2(const uint8_t* s, const Rgb& f)
{
    const int32_t db = s[0] - f.b, dg = s[1] - f.g, dr = s[2] - f.r;
    return db * db + dg * dg + dr * dr;
}

// The blend toward colour t by a = 1 - d2 / D (a single): each channel
// byte(c + (t - c) x a). A channel that gives no byte keeps its value.
inline void blendToward(const uint8_t* s, uint8_t* d, const Rgb& t, int32_t d2, int32_t D)
{
    const double a = single(1.0 - static_cast<double>(d2) / D);
    toByte(s[0] + (t.b - s[0]) * a, d[0]);
    toByte(s[1] + (t.g - s[1]) * a, d[1]);
    toByte(s[2] + (t.r - s[2]) * a, d[2]);
}

// Same as blendToward for a stopping member: false at the first channel
// that gives no byte.
inline bool blendTowardOrFail(const uint8_t* s, uint8_t* d, const Rgb& t, int32_t d2, int32_t D)
{
    const double a = single(1.0 - static_cast<double>(d2) / D);
    uint8_t b, g, r;
    if (!toByte(s[0] + (t.b - s[0]) * a, b) || !toByte(s[1] + (t.g - s[1]) * a, g) ||
        !toByte(s[2] + (t.r - s[2]) * a, r))
        return false;
    d[0] = b;
    d[1] = g;
    d[2] = r;
    return true;
}

// HSLToRGB's channels as stored into bytes: their low eight bits.
inline void storeLow(uint8_t* d, int32_t r, int32_t g, int32_t b)
{
    d[0] = lowByte(b);
    d[1] = lowByte(g);
    d[2] = lowByte(r);
}

} // namespace

BitsBuffer cBitFilter::REPLACE(int32_t ColorFrom, int32_t ColorTo, int32_t Tolerance)
{
    const Rgb f = splitColor(ColorFrom), t = splitColor(ColorTo);
    // A limit that gives no whole number keeps its start value 0, and then
    // nothing can blend (0 / 0 gives no byte).
    int32_t D = 0;
    distanceLimit(Tolerance, D);
    return pointPixels(*this, [&](const uint8_t* s, uint8_t* d) {
        const int32_t d2 = distance2(s, f);
        if (d2 <= D) blendToward(s, d, t, d2, D);
    });
}

FilterResult cBitFilter::ReplaceHS(int32_t ColorFrom, int32_t ColorTo, int32_t HTolerance, int32_t STolerance,
                                   int32_t Tolerance)
{
    const Rgb f = splitColor(ColorFrom), t = splitColor(ColorTo);
    float hF, sF, lF;
    Module5::RGBToHSL(f.r, f.g, f.b, hF, sF, lF);
    const double hLimit = single(HTolerance / 100.0);
    const double sLimit = single(STolerance / 100.0);
    int32_t D;
    if (!distanceLimit(Tolerance, D)) return std::nullopt;
    return pointPixels(*this, [&](const uint8_t* s, uint8_t* d) {
        float h, sat, l;
        Module5::RGBToHSL(s[2], s[1], s[0], h, sat, l);
        // No wrap across the ends of the hue scale.
        if (std::fabs(static_cast<double>(h) - hF) > hLimit || std::fabs(static_cast<double>(sat) - sF) > sLimit)
            return true;
        const int32_t d2 = distance2(s, f);
        return d2 > D || blendTowardOrFail(s, d, t, d2, D);
    });
}

FilterResult cBitFilter::ReplaceL(int32_t ColorFrom, int32_t ColorTo, int32_t LTolerance, int32_t Tolerance)
{
    const Rgb f = splitColor(ColorFrom), t = splitColor(ColorTo);
    int32_t D, LT;
    if (!distanceLimit(Tolerance, D) || !toInt32(LTolerance * 2.55, LT)) return std::nullopt;
    const int32_t lf = (f.r + f.g + f.b) / 3;
    return pointPixels(*this, [&](const uint8_t* s, uint8_t* d) {
        if (std::abs((s[0] + s[1] + s[2]) / 3 - lf) > LT) return true;
        const int32_t d2 = distance2(s, f);
        return d2 > D || blendTowardOrFail(s, d, t, d2, D);
    });
}

BitsBuffer cBitFilter::Shift(int32_t ColorFrom, int32_t Inc, int32_t Tolerance)
{
    const Rgb f = splitColor(ColorFrom);
    int32_t D = 0;
    distanceLimit(Tolerance, D);
    const ByteTable sh = offsetTable(Inc);
    return pointPixels(*this, [&](const uint8_t* s, uint8_t* d) {
        const int32_t d2 = distance2(s, f);
        if (d2 >= D) return;
        const double a = single(1.0 - static_cast<double>(d2) / D);
        for (int c = 0; c < 3; ++c) toByte(s[c] + (sh[s[c]] - s[c]) * a, d[c]);
    });
}

FilterResult cBitFilter::ISOLATE(int32_t Color, int32_t EraseColor, int32_t Tolerance)
{
    const Rgb f = splitColor(Color), e = splitColor(EraseColor);
    int32_t D;
    if (!distanceLimit(Tolerance, D)) return std::nullopt;
    return pointPixels(*this, [&](const uint8_t* s, uint8_t* d) {
        if (distance2(s, f) < D) return;
        d[0] = static_cast<uint8_t>(e.b);
        d[1] = static_cast<uint8_t>(e.g);
        d[2] = static_cast<uint8_t>(e.r);
    });
}

FilterResult cBitFilter::RotateH(int32_t HOffset, int32_t SATURATION)
{
    const float hs = single(HOffset / 16.67);
    const float sf = single(SATURATION / 100.0);
    return pointPixels(*this, [&](const uint8_t* s, uint8_t* d) {
        float h, sat, l;
        Module5::RGBToHSL(s[2], s[1], s[0], h, sat, l);
        h = single(static_cast<double>(h) + hs);
        if (h > 5.0f) h = single(static_cast<double>(h) - 6.0);
        int32_t r, g, b;
        if (!Module5::HSLToRGB(h, single(static_cast<double>(sf) * sat), l, r, g, b)) return false;
        storeLow(d, r, g, b);
        return true;
    });
}

BitsBuffer cBitFilter::StretchH(int32_t HOffset, int32_t SATURATION, int32_t HStep)
{
    const float sf = single(SATURATION / 100.0);
    const float k = single(HStep / 10.0);
    const float hs = single(HOffset / 16.67);
    // The new colour depends on B + G + R alone: one entry per sum. A sum
    // whose conversion gives no whole numbers leaves its pixels as they were.
    const auto colours = sumTable<uint32_t>([&](int sum) {
        const float L = single(sum / 765.0);
        float h = single(3.0 * std::sin(static_cast<double>(k) * L) + hs);
        if (h < -1.0f)
            h = single(static_cast<double>(h) + 6.0);
        else if (h > 5.0f)
            h = single(static_cast<double>(h) - 6.0);
        int32_t r = 0, g = 0, b = 0;
        if (!Module5::HSLToRGB(h, sf, L, r, g, b)) return kNoColour;
        return uint32_t(lowByte(b)) | uint32_t(lowByte(g)) << 8 | uint32_t(lowByte(r)) << 16;
    });
    return *sumColours(*this, colours, false);
}

FilterResult cBitFilter::RotateL(int32_t lOffset, int32_t LStep)
{
    const double o = single(lOffset / 10.0);
    const double k = single(LStep / 2.5);
    const GreyWeights& w = greyWeights();
    return pointPixels(*this, [&](const uint8_t* s, uint8_t* d) {
        const double Y = w.g[s[1]] + w.b[s[0]] + w.r[s[2]];
        const float v = single(std::sin(Y / 255.0 * k + o) * 127.5 + 127.5);
        uint8_t g;
        if (!toByte(v, g)) return false;
        d[0] = d[1] = d[2] = g;
        return true;
    });
}

} // namespace tq
