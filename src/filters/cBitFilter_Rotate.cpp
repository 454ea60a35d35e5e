// Rotation by any angle about the picture's centre, nearest sample or
// bilinear blend; the picture keeps its size.
#include "filters/PixelMaps.h"
#include "filters/cBitFilter.h"

#include <cmath>

namespace tq {

BitsBuffer cBitFilter::ROTATE(int32_t Degrees, bool CleanBack)
{
    BitsBuffer out = Bits_;
    const float c = single(std::cos(Degrees * kDegToRad));
    const float s = single(std::sin(Degrees * kDegToRad));
    const int32_t cx = MaxX / 2, cy = MaxY / 2;
    const double dc = c, ds = s;
    inverseMapWalk(*this, out, CleanBack, [&](int32_t x, int32_t y, int32_t& sx, int32_t& sy) {
        const double dx = x - cx, dy = y - cy;
        sx = rndFast(dx * dc - dy * ds + cx);
        sy = rndFast(dx * ds + dy * dc + cy);
    });
    return out;
}

BitsBuffer cBitFilter::RotateSmooth(int32_t Degrees)
{
    BitsBuffer out = Bits_;
    const float c = single(std::cos(Degrees * kDegToRad));
    const float s = single(std::sin(Degrees * kDegToRad));
    const int32_t cx = MaxX / 2, cy = MaxY / 2;
    const double dc = c, ds = s;
    const int32_t w = MaxX + 1, h = MaxY + 1;
    const int32_t stride = Bits_.stride();

    // Samples on the last column or row blend with the buffer's border, as
    // the picture's own margin holds it.
    walkWalkBox(0, [&](int32_t y, int32_t x0, int32_t x1) {
        const double dy = y - cy;
        uint8_t* d = out.pixel(x0, y);
        for (int32_t x = x0; x <= x1; ++x, d += 4) {
            const double dx = x - cx;
            const float fx = single(dx * dc - dy * ds + cx);
            const float fy = single(dx * ds + dy * dc + cy);
            int32_t ix = static_cast<int32_t>(fx);
            if (fx < ix) --ix;
            int32_t iy = static_cast<int32_t>(fy);
            if (fy < iy) --iy;
            if (ix < 0 || iy < 0 || ix >= w || iy >= h) {
                d[0] = 0;
                d[1] = 0;
                d[2] = 0;
                continue;
            }
            const float wx = single(static_cast<double>(fx) - ix);
            const float wy = single(static_cast<double>(fy) - iy);
            const double ux = 1.0 - wx, uy = 1.0 - wy;
            const uint8_t* p00 = Bits_.pixel(ix, iy);
            const uint8_t* p01 = p00 + stride;
            for (int ch = 0; ch < 3; ++ch) {
                const int32_t left = rndFast(uy * p00[ch] + p01[ch] * static_cast<double>(wy));
                const int32_t right = rndFast(uy * p00[ch + 4] + p01[ch + 4] * static_cast<double>(wy));
                const int32_t v = rndFast(left * ux + right * static_cast<double>(wx));
                d[ch] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
            }
        }
    });
    raiseProgress(100);
    return out;
}

} // namespace tq
