// Geometric distortions: each destination pixel takes one source pixel found
// by an inverse mapping; no interpolation.
#include "filters/PixelWalks.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tq {

namespace {

// Two pi as the pixel routines hold it: twice 3.141592 in single precision.
constexpr float kTwoPi = 6.283184f;

} // namespace

BitsBuffer cBitFilter::BEND(int32_t RadiusFactor, bool CleanBack)
{
    const float k = single(RadiusFactor / 100.0 + 2.0);
    const int32_t cx = MaxX / 2, cy = MaxY / 2;
    return mappedPixels(*this, CleanBack, [&](int32_t x, int32_t y, int32_t& sx, int32_t& sy) {
        const int32_t dx = x - cx, dy = y - cy;
        const float d = single(k * std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
        float a = -GetAngle(dy, dx);
        if (dy < 0 || dx > 0) a = single(static_cast<double>(a) + kTwoPi);
        sx = rndFast(MaxX * static_cast<double>(a) / kTwoPi);
        sy = rndFast(MaxY - static_cast<double>(d));
    });
}

BitsBuffer cBitFilter::FOLD(int32_t wFactor, int32_t hFactor, bool CleanBack)
{
    // The shear is per picture width and height: a single column or row
    // has no extent to shear by.
    if (MaxX == 0 || MaxY == 0) {
        raiseProgress(100);
        return Bits_;
    }
    const int32_t cx = MaxX / 2, cy = MaxY / 2;
    return mappedPixels(*this, CleanBack, [&](int32_t x, int32_t y, int32_t& sx, int32_t& sy) {
        const double dx = x - cx, dy = y - cy;
        sx = rndFast(cx + dx * (1.0 + (dy / 100.0) * hFactor / MaxY));
        sy = rndFast(cy + dy * (1.0 + (dx / 100.0) * wFactor / MaxX));
    });
}

BitsBuffer cBitFilter::STRETCH(int32_t wFactor, int32_t hFactor, bool CleanBack)
{
    const float kx = single(1.0 + wFactor / 100.0);
    const float ky = single(1.0 + hFactor / 100.0);
    const int32_t cx = MaxX / 2, cy = MaxY / 2;
    std::vector<int32_t> column(MaxX >= 0 ? MaxX + 1 : 0), row(MaxY >= 0 ? MaxY + 1 : 0);
    for (int32_t x = 0; x < static_cast<int32_t>(column.size()); ++x)
        column[x] = rnd(static_cast<double>(x - cx) * kx + cx);
    for (int32_t y = 0; y < static_cast<int32_t>(row.size()); ++y)
        row[y] = rnd(static_cast<double>(y - cy) * ky + cy);
    return mappedRows(*this, CleanBack, [&](int32_t y, int32_t x0, int32_t x1, int32_t* sx, int32_t* sy) {
        for (int32_t x = x0; x <= x1; ++x, ++sx, ++sy) {
            *sx = column[x];
            *sy = row[y];
        }
    });
}

BitsBuffer cBitFilter::TWIRL(int32_t Factor, int32_t OffsetDeg, bool CleanBack)
{
    const int32_t cx = MaxX / 2, cy = MaxY / 2;
    // The turn is given per half width: a picture of one or two columns has
    // none.
    if (cx == 0) {
        raiseProgress(100);
        return Bits_;
    }
    const float k = single((Factor / 10.0) / cx);
    const float off = single(OffsetDeg * kDegToRad);
    return mappedPixels(*this, CleanBack, [&](int32_t x, int32_t y, int32_t& sx, int32_t& sy) {
        const int32_t dx = x - cx, dy = y - cy;
        const int32_t r = rndFast(std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
        if (r == 0) {
            sx = cx;
            sy = cy;
            return;
        }
        const float a = single(static_cast<double>(GetAngle(dx, dy)) - r * static_cast<double>(k));
        const double t = static_cast<double>(a) + off;
        sx = rndFast(r * std::cos(t) + cx);
        sy = rndFast(r * std::sin(t) + cy);
    });
}

BitsBuffer cBitFilter::WAVES(int32_t fFactor, int32_t AFactor, int32_t Start)
{
    const float f = single(fFactor);
    const float A = single(AFactor * 0.25);
    std::vector<int32_t> row(MaxY >= 0 ? MaxY + 1 : 0);
    for (int32_t y = 0; y < static_cast<int32_t>(row.size()); ++y)
        row[y] = clampInt(rnd(y + A * std::sin((Start + static_cast<double>(f) * y) * kDegToRad)), 0, MaxY);
    return selectedSpans(*this, 0, Rows::Independent, [&](int32_t y, int32_t x0, int32_t x1, const uint8_t*, uint8_t* d) {
        const uint8_t* s = Bits_.pixel(x0, row[y]);
        for (int32_t x = x0; x <= x1; ++x, s += 4, d += 4) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    });
}

BitsBuffer cBitFilter::LENS(float xRel, float yRel, float dRel, int32_t Factor)
{
    if (!Bits_.allocated()) {
        raiseProgress(100);
        return Bits_;
    }
    const DiscSpot disc = discSpot(*this, xRel, yRel, dRel);
    const auto [cx, cy, R] = disc;
    const float h = single(static_cast<double>(R * (150 - int64_t(Factor))) / 150.0);
    // A strength outside 0..300 leaves no real sphere: the square root
    // fails, the disc stays empty and nothing changes.
    const double under = static_cast<double>(R * R) - static_cast<double>(h) * h;
    const float s = under >= 0 ? single(std::sqrt(under)) : 0.0f;
    const int64_t s2 = rnd(static_cast<double>(s) * s);
    const int64_t R2 = R * R;
    return discSpans(*this, disc, s2, [&](int32_t, int64_t Y, int32_t x0, int32_t x1, const uint8_t*, uint8_t* d) {
        for (int64_t X = x0 - cx; X <= x1 - cx; ++X, d += 4) {
            const int64_t z = rnd(std::sqrt(static_cast<double>(R2 - X * X - Y * Y)));
            if (z == 0) continue;
            const int64_t sx = cx + rnd(static_cast<double>(X) * static_cast<double>(h)) / z;
            const int64_t sy = cy + rnd(static_cast<double>(Y) * static_cast<double>(h)) / z;
            // A strong lens, or one centred off the picture, can point
            // anywhere: a source outside the picture leaves the pixel as is.
            if (sx < 0 || sy < 0 || sx > MaxX || sy > MaxY) continue;
            const uint8_t* p = Bits_.pixel(static_cast<int32_t>(sx), static_cast<int32_t>(sy));
            d[0] = p[0];
            d[1] = p[1];
            d[2] = p[2];
        }
    });
}

} // namespace tq
