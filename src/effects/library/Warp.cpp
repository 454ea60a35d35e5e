#include "effects/library/Warp.h"

#include <cstdint>

namespace tq::effects {

namespace {

// A source point walked along a row in 16.16 fixed point: it moves by a
// fixed step per pixel, so no multiplication or conversion is needed.
struct FixedWalk {
    int64_t X, Y, stepX, stepY;

    FixedWalk(const Affine& t, int32_t y)
    {
        constexpr double kOne = 65536.0;
        // Each row starts from its exact point, so rounding never adds up
        // down the picture.
        X = std::llround((t.bx * y + t.cx) * kOne);
        Y = std::llround((t.by * y + t.cy) * kOne);
        stepX = std::llround(t.ax * kOne);
        stepY = std::llround(t.ay * kOne);
    }
};

// The source at a fixed point, clamped to the picture.
inline uint32_t sampleFixed(ConstPixels s, int64_t X, int64_t Y, int64_t maxX, int64_t maxY)
{
    const int64_t cx = X < 0 ? 0 : (X > maxX ? maxX : X);
    const int64_t cy = Y < 0 ? 0 : (Y > maxY ? maxY : Y);
    const int32_t ix = static_cast<int32_t>(cx >> 16), iy = static_cast<int32_t>(cy >> 16);
    const uint32_t fx = static_cast<uint32_t>(cx >> 8) & 255u, fy = static_cast<uint32_t>(cy >> 8) & 255u;
    const uint32_t* r0 = s.row(iy);
    const uint32_t* r1 = iy + 1 < s.h ? r0 + s.w : r0;
    const int32_t ix1 = ix + 1 < s.w ? ix + 1 : ix;
    return blend4(r0[ix], r0[ix1], r1[ix], r1[ix1], fx, fy);
}

// The same for a point whose four pixels all lie inside the picture.
inline uint32_t sampleInside(ConstPixels s, int64_t X, int64_t Y)
{
    const int32_t ix = static_cast<int32_t>(X >> 16), iy = static_cast<int32_t>(Y >> 16);
    const uint32_t* r0 = s.row(iy) + ix;
    const uint32_t* r1 = r0 + s.w;
    return blend4(r0[0], r0[1], r1[0], r1[1], static_cast<uint32_t>(X >> 8) & 255u,
                  static_cast<uint32_t>(Y >> 8) & 255u);
}

enum class Walk { Mix, Pair };

// With Mix d(x, y) is the mean of s(t(x, y)) and mix(x, y); with Pair the
// mean of s(t(x, y)) and s(u(x, y)).
template <Walk W> void affineWalk(ConstPixels s, Pixels d, const Affine& t, const Affine& u, ConstPixels mix)
{
    const int64_t maxX = static_cast<int64_t>(s.w - 1) << 16, maxY = static_cast<int64_t>(s.h - 1) << 16;
    // A point is inside when its pixel and the ones right of and below it
    // lie in the picture.
    const int64_t inX = maxX - 65536, inY = maxY - 65536;
    forBands(d.h, 30 * int64_t(d.w), [&](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; ++y) {
            FixedWalk a(t, y), b(W == Walk::Pair ? u : t, y);
            uint32_t* out = d.row(y);
            const uint32_t* m = W == Walk::Mix ? mix.row(y) : nullptr;
            for (int32_t x = 0; x < d.w; ++x, a.X += a.stepX, a.Y += a.stepY) {
                const bool aIn = a.X >= 0 && a.Y >= 0 && a.X < inX && a.Y < inY;
                uint32_t p = aIn ? sampleInside(s, a.X, a.Y) : sampleFixed(s, a.X, a.Y, maxX, maxY);
                if constexpr (W == Walk::Mix) {
                    p = averagePixel(m[x], p);
                } else if constexpr (W == Walk::Pair) {
                    const bool bIn = b.X >= 0 && b.Y >= 0 && b.X < inX && b.Y < inY;
                    p = averagePixel(p, bIn ? sampleInside(s, b.X, b.Y) : sampleFixed(s, b.X, b.Y, maxX, maxY));
                    b.X += b.stepX;
                    b.Y += b.stepY;
                }
                out[x] = p & kColourMask;
            }
        }
    });
}

} // namespace

void warpAffineMix(ConstPixels s, Pixels d, const Affine& t, ConstPixels mix)
{
    affineWalk<Walk::Mix>(s, d, t, t, mix);
}

void warpAffinePair(ConstPixels s, Pixels d, const Affine& t, const Affine& u)
{
    affineWalk<Walk::Pair>(s, d, t, u, ConstPixels{});
}

} // namespace tq::effects
