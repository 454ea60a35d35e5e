// Gradient fills and the light spot: members that paint over the picture.
#include "filters/PixelWalks.h"

#include <algorithm>
#include <cmath>

namespace tq {

namespace {

struct GradientArgs {
    int32_t X1, Y1, X2, Y2, Color1, Color2, Pressure, Frequency;
};

// The blend of both gradients; linear picks the position value of the
// segment's projection, otherwise the distance from the centre.
BitsBuffer gradientFill(cBitFilter& f, const GradientArgs& g, bool linear)
{
    const int64_t ddx = int64_t(g.X2) - g.X1, ddy = int64_t(g.Y2) - g.Y1;
    const double dist = std::sqrt(static_cast<double>(ddx * ddx + ddy * ddy));
    if (dist == 0) return f.Bits();

    const int32_t len = rnd(dist);
    const float p = single(g.Pressure / 100.0);
    const float q = single(1.0 - p);
    float fr = single((int64_t(g.Frequency) - 1) * static_cast<double>(kPi));
    if (static_cast<float>(len) < fr) fr = single(len);

    float cl = 0, sl = 0;
    if (linear) {
        float ang;
        if (ddx != 0) ang = single(std::atan(static_cast<double>(ddy) / static_cast<double>(ddx)));
        else ang = single((ddy > 0 ? 1 : (ddy < 0 ? -1 : 0)) * 90 * kDegToRad);
        if (ddx < 0) ang = single(ang + 180 * kDegToRad);
        else if (ddy < 0) ang = single(ang + 360 * kDegToRad);
        // The cosine, the sine and their quotients by len are taken in double
        // precision; only the two quotients are kept as singles.
        cl = single(std::cos(static_cast<double>(ang)) / len);
        sl = single(std::sin(static_cast<double>(ang)) / len);
    }

    // Blue, green, red of each end colour; -1 stands for the pixel's own.
    const bool ownStart = g.Color1 == -1, ownEnd = g.Color2 == -1;
    const uint8_t c1[3] = {colorBlue(g.Color1), colorGreen(g.Color1), colorRed(g.Color1)};
    const uint8_t c2[3] = {colorBlue(g.Color2), colorGreen(g.Color2), colorRed(g.Color2)};
    const int32_t maxX = f.BitsWidth() - 1;

    return wholeRows(f, Rows::Independent, [&](int32_t py, const uint8_t* s, uint8_t* d) {
        const double Y = static_cast<double>(py) - g.Y1;
        pictureRuns(f, py, 0, maxX, [&](int32_t x0, int32_t x1) {
            for (int32_t px = x0; px <= x1; ++px) {
                const double X = static_cast<double>(px) - g.X1;
                float t = linear ? single(X * cl + Y * sl) : single(std::sqrt(X * X + Y * Y) / len);
                if (fr > 0) {
                    t = single(std::sin(static_cast<double>(t) * fr));
                    t = single(static_cast<double>(t) * t);
                }
                if (t > 1) t = 1;
                if (linear && t < 0) t = 0;
                const float u = single(1.0 - t);
                const uint8_t* own = s + 4 * px;
                for (int c = 0; c < 3; ++c) {
                    const double start = ownStart ? own[c] : c1[c];
                    const double end = ownEnd ? own[c] : c2[c];
                    uint8_t v;
                    if (toByte(static_cast<double>(p) * (static_cast<double>(t) * end + static_cast<double>(u) * start) +
                                   static_cast<double>(q) * own[c],
                               v))
                        d[4 * px + c] = v;
                }
            }
        });
    });
}

} // namespace

BitsBuffer cBitFilter::GradientLinear(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Color1, int32_t Color2,
                                      int32_t Pressure, int32_t Frequency)
{
    return gradientFill(*this, {X1, Y1, X2, Y2, Color1, Color2, Pressure, Frequency}, true);
}

BitsBuffer cBitFilter::GradientCircular(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Color1,
                                        int32_t Color2, int32_t Pressure, int32_t Frequency)
{
    return gradientFill(*this, {X1, Y1, X2, Y2, Color1, Color2, Pressure, Frequency}, false);
}

FilterResult cBitFilter::Light(float xRel, float yRel, float dRel, int32_t iFactor, int32_t dFactor)
{
    if (!Bits_.allocated()) {
        raiseProgress(100);
        return Bits_;
    }
    const DiscSpot disc = discSpot(*this, xRel, yRel, dRel);
    const auto [cx, cy, R] = disc;
    const float k = single(1.0 - dFactor / 100.0);
    return discSpans(*this, disc, R * R, [&](int32_t, int64_t Y, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
        for (int64_t X = x0 - cx; X <= x1 - cx; ++X, s += 4, d += 4) {
            const int64_t d2 = X * X + Y * Y;
            int32_t add;
            if (!toInt32(iFactor * (1.0 - static_cast<double>(k) * std::sqrt(static_cast<double>(d2)) / static_cast<double>(R)), add))
                return false;
            // Kept within 0..255 on both sides: a negative intensity or a
            // rim above 100 percent darkens instead of wrapping around.
            for (int c = 0; c < 3; ++c) d[c] = clampByte(int64_t(s[c]) + add);
        }
        return true;
    });
}

} // namespace tq
