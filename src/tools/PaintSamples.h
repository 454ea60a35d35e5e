// Where the painting routines put paint: the dab centres of a brush stroke
// along a segment, and for the anti-aliased outlines the sub-pixel points of
// a line and of an ellipse, the corners of a regular polygon's edges and the
// split of one sample over the four pixels around it.
//
// The routines are bit-exact, so every value the arithmetic keeps in single
// precision is stored as a float at that point (single()) and read back from
// there; everything else is worked out in double. The walks are plain
// functions so that the painting routines and their tests share them.
#pragma once

#include "document/Numeric.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace tq {

// The opacity of an outline as a byte: rnd(Pressure x 2.55) with 2.55 a
// double (so 50 gives 127: 2.55 lies just below itself), at least 1. A
// pressure beyond the byte's range is held at 255.
inline int32_t PressureByte(int32_t Pressure)
{
    const double v = rndDouble(static_cast<double>(Pressure) * 2.55);
    if (v < 1.0) return 1;
    if (v > 255.0) return 255;
    return static_cast<int32_t>(v);
}

// One sample's share of the four pixels around it, in painting order:
// (ix, iy), (ix + 1, iy), (ix, iy2), (ix + 1, iy2). The four weights add up to
// about 255.
struct SplatWeights {
    int32_t ix = 0;
    int32_t iy = 0;
    int32_t iy2 = 0;
    std::array<int32_t, 4> w{};
};

inline SplatWeights splatWeights(float x, float y)
{
    // A sample never lies on a pixel's centre line: there the split below
    // would give the neighbour the whole weight.
    if (x == std::floor(x)) x = single(static_cast<double>(x) + 0.001);
    if (y == std::floor(y)) y = single(static_cast<double>(y) + 0.001);
    const float xa = single(static_cast<double>(x) - 0.5);
    const float ya = single(static_cast<double>(y) - 0.5);
    SplatWeights s;
    s.ix = rnd(xa);
    s.iy = rnd(ya);
    s.iy2 = rnd(single(static_cast<double>(ya) + 1.0));
    const float cx = single(s.ix + 0.5);
    const double dcx = cx, dxa = xa, dya = ya;
    const float wx1 = single((dcx - dxa) * 256.0 - dcx + dxa);
    const float wx2 = single(255.0 - wx1);
    const float wy1 = single(s.iy + 0.5 - dya);
    const float wy2 = single((dya + 1.0) - s.iy2 + 0.5);
    s.w[0] = rnd(static_cast<double>(wy1) * wx1);
    s.w[1] = rnd(static_cast<double>(wy1) * wx2);
    s.w[2] = rnd(static_cast<double>(wy2) * wx1);
    s.w[3] = rnd(static_cast<double>(wy2) * wx2);
    return s;
}

// f(x, y) for every dab centre from (X1, Y1) towards (X2, Y2): with n the
// longer side plus one, rnd(n / (d / 10)) + 1 centres d / 10 x (dx, dy) / n
// apart, so about a tenth of the diameter apart along the longer axis.
// False, with no centre, for a diameter below 1.
template <class F>
bool forEachDabCentre(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t d, F&& f)
{
    if (d < 1) return false;
    const int64_t dx = int64_t{X2} - X1;
    const int64_t dy = int64_t{Y2} - Y1;
    const double n = static_cast<double>((std::llabs(dx) > std::llabs(dy) ? std::llabs(dx) : std::llabs(dy)) + 1);
    const float sx = single(static_cast<double>(dx) / n * d / 10.0);
    const float sy = single(static_cast<double>(dy) / n * d / 10.0);
    const double count = rndDouble(n / (d / 10.0));
    float x = single(X1);
    float y = single(Y1);
    for (double i = 0; i <= count; ++i) {
        f(rnd(x), rnd(y));
        x = single(static_cast<double>(x) + sx);
        y = single(static_cast<double>(y) + sy);
    }
    return true;
}

// Longest line the sampler walks: its counter t is a single that must keep
// counting in halves, which it does up to 2^23.
inline constexpr int64_t kMaxLineSteps = int64_t{1} << 22;

// f(x, y) for every sample of the segment (X1, Y1)-(X2, Y2): 2 (n + 1)
// samples half a pixel step apart along the longer axis, the first half a
// step after (X1, Y1), the last on (X2, Y2). False, with no sample, for a
// segment longer than kMaxLineSteps.
template <class F>
bool forEachLineSample(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, F&& f)
{
    const int64_t dx = int64_t{X2} - X1;
    const int64_t dy = int64_t{Y2} - Y1;
    const int64_t n = std::llabs(dx) > std::llabs(dy) ? std::llabs(dx) : std::llabs(dy);
    const int64_t s = n + 1;
    if (s > kMaxLineSteps) return false;
    const double ds = static_cast<double>(s);
    const float sx = single(static_cast<double>(dx) / ds / 2.0);
    const float sy = single(static_cast<double>(dy) / ds / 2.0);
    float x = single(X1);
    float y = single(Y1);
    float t = 0.0f;
    while (static_cast<double>(t) < ds) {
        t = single(static_cast<double>(t) + 0.5);
        x = single(static_cast<double>(x) + sx);
        y = single(static_cast<double>(y) + sy);
        f(x, y);
    }
    return true;
}

// f(x, y) for every sample of the ellipse centred on (xC, yC) with radii xR
// and yR: angle steps of about 0.534 / the larger radius, from one step after
// angle 0 to a full turn. A walk whose angle stops growing in single
// precision (an enormous radius) ends there instead of running for ever.
template <class F>
void forEachEllipseSample(int32_t xC, int32_t yC, int32_t xR, int32_t yR, F&& f)
{
    const float k = single(6.283185 * 0.085);
    const int32_t m = yR > xR ? yR : xR;
    float step;
    if (m < 0)
        step = single(-static_cast<double>(k) / m);
    else if (m == 0)
        step = k;
    else
        step = single(static_cast<double>(k) / m);
    float a = 0.0f;
    while (static_cast<double>(a) < 6.283185) {
        const float next = single(static_cast<double>(a) + step);
        if (!(next > a)) break;
        a = next;
        const float x = single(xC + static_cast<double>(xR) * std::cos(static_cast<double>(a)));
        const float y = single(yC + static_cast<double>(yR) * std::sin(static_cast<double>(a)));
        f(x, y);
    }
}

// f(x1, y1, x2, y2) for every edge of the regular polygon centred on
// (X1, Y1) with a corner at (X2, Y2) and Sides corners, clockwise on the
// screen from that corner. False, with no edge, for Sides below 1.
template <class F>
bool forEachPolygonEdge(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Sides, F&& f)
{
    if (Sides < 1) return false;
    const double dx = static_cast<double>(X2) - X1;
    const double dy = static_cast<double>(Y2) - Y1;
    float a0;
    if (dx != 0.0)
        a0 = single(std::atan(dy / dx));
    else
        a0 = single((dy > 0.0 ? 1.0 : (dy < 0.0 ? -1.0 : 0.0)) * 1.5708);
    if (dx < 0.0)
        a0 = single(static_cast<double>(a0) + 3.1416);
    else if (dy < 0.0)
        a0 = single(static_cast<double>(a0) + 6.2832);
    const float step = single(6.28318 / Sides);
    const double R = rndDouble(std::sqrt(dx * dx + dy * dy));
    const float last = single(static_cast<double>(a0) + 6.28318 - step + 0.001);
    const auto corner = [&](double angle, int32_t& x, int32_t& y) {
        x = rnd(X1 + R * std::cos(angle));
        y = rnd(Y1 + R * std::sin(angle));
    };
    for (float a = a0; a <= last;) {
        int32_t ax, ay, bx, by;
        corner(a, ax, ay);
        corner(static_cast<double>(a) + step, bx, by);
        f(ax, ay, bx, by);
        const float next = single(static_cast<double>(a) + step);
        if (!(next > a)) break;   // a step too small to count in single precision
        a = next;
    }
    return true;
}

} // namespace tq
