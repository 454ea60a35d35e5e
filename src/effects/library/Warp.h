// Inverse mapping with bilinear sampling: every destination pixel asks where
// in the source it comes from and takes the blend of the four source pixels
// around that point. A point off the picture takes the nearest edge.
//
// The blend runs in 8-bit fixed point (positions in 256ths of a pixel),
// first along the row, then down, each step rounded: a point that falls
// exactly on a pixel gives that pixel unchanged.
#pragma once

#include "effects/library/Parallel.h"
#include "effects/library/Pixels.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tq::effects {

// a + (b - a) f / 256 per channel, f 0..256, rounded.
inline uint32_t lerpPixel(uint32_t a, uint32_t b, uint32_t f)
{
    const uint32_t g = 256 - f;
    const uint32_t rb = (((a & 0x00FF00FFu) * g + (b & 0x00FF00FFu) * f + 0x00800080u) >> 8) & 0x00FF00FFu;
    const uint32_t ga =
        ((((a >> 8) & 0x00FF00FFu) * g + ((b >> 8) & 0x00FF00FFu) * f + 0x00800080u) >> 8) & 0x00FF00FFu;
    return rb | (ga << 8);
}

// The rounded mean of two pixels, per channel.
inline uint32_t averagePixel(uint32_t a, uint32_t b) { return (a | b) - (((a ^ b) & 0xFEFEFEFEu) >> 1); }

// The four pixels p00 (x, y), p10 (x + 1, y), p01 (x, y + 1), p11 blended at
// (fx, fy) 256ths of the way from p00: along the rows first, then down.
inline uint32_t blend4(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, uint32_t fx, uint32_t fy)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    // Channel pairs (p00, p10) and (p01, p11) as 16-bit lanes, each pair
    // multiplied and summed against (256 - fx, fx) in one step.
    const __m128i wx = _mm_set1_epi32(static_cast<int>((fx << 16) | (256 - fx)));
    const __m128i top = _mm_unpacklo_epi8(
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(p00)), _mm_cvtsi32_si128(static_cast<int>(p10))), zero);
    const __m128i bottom = _mm_unpacklo_epi8(
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(p01)), _mm_cvtsi32_si128(static_cast<int>(p11))), zero);
    const __m128i round = _mm_set1_epi32(128);
    const __m128i t = _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(top, wx), round), 8);
    const __m128i b = _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(bottom, wx), round), 8);
    const __m128i tb = _mm_packs_epi32(t, b);   // t0..t3 b0..b3, each 0..255
    const __m128i pairs = _mm_unpacklo_epi16(tb, _mm_srli_si128(tb, 8));
    const __m128i wy = _mm_set1_epi32(static_cast<int>((fy << 16) | (256 - fy)));
    const __m128i v = _mm_srli_epi32(_mm_add_epi32(_mm_madd_epi16(pairs, wy), round), 8);
    return static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(v, zero), zero)));
#else
    return lerpPixel(lerpPixel(p00, p10, fx), lerpPixel(p01, p11, fx), fy);
#endif
}

// atan2(y, x) within about 2e-6 radians (a polynomial for the arctangent
// on 0..1, then the octant), without the library call: the warps need one
// per pixel.
inline float fastAtan2(float y, float x)
{
    const float ax = std::fabs(x), ay = std::fabs(y);
    const float mx = std::max(ax, ay), mn = std::min(ax, ay);
    if (mx == 0.0f) return 0.0f;
    const float a = mn / mx, s = a * a;
    float r = (((((-0.01172120f * s + 0.05265332f) * s - 0.11643287f) * s + 0.19354346f) * s - 0.33262347f) * s +
               0.99997726f) *
        a;
    if (ay > ax) r = 1.57079637f - r;
    if (x < 0.0f) r = 3.14159274f - r;
    return y < 0.0f ? -r : r;
}

// The source at (sx, sy), bilinear, clamped to the picture.
inline uint32_t sampleBilinear(ConstPixels s, float sx, float sy)
{
    const float maxX = static_cast<float>(s.w - 1), maxY = static_cast<float>(s.h - 1);
    if (!(sx > 0.0f)) sx = 0.0f;   // also a point that is not a number
    if (!(sy > 0.0f)) sy = 0.0f;
    if (sx > maxX) sx = maxX;
    if (sy > maxY) sy = maxY;
    const int32_t X = static_cast<int32_t>(sx * 256.0f);
    const int32_t Y = static_cast<int32_t>(sy * 256.0f);
    const int32_t ix = X >> 8, iy = Y >> 8;
    const uint32_t* r0 = s.row(iy);
    const uint32_t* r1 = iy + 1 < s.h ? r0 + s.w : r0;
    const int32_t ix1 = ix + 1 < s.w ? ix + 1 : ix;
    return blend4(r0[ix], r0[ix1], r1[ix], r1[ix1], static_cast<uint32_t>(X & 255), static_cast<uint32_t>(Y & 255)) &
        kColourMask;
}

// d(x, y) = s(map(x, y)): map(x, y, sx, sy) sets the source point. map is
// called from several threads at once and must only read shared state.
template <class Map> void warp(ConstPixels s, Pixels d, Map&& map)
{
    forBands(d.h, 40 * int64_t(d.w), [&](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; ++y) {
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < d.w; ++x) {
                float sx, sy;
                map(x, y, sx, sy);
                out[x] = sampleBilinear(s, sx, sy);
            }
        }
    });
}

// Warps about the point (cx, cy) by distance: the source point of p is
// c + M (p - c), M = [a -b; b a] a turn and scale that depends only on the
// distance r of p from c. at(r) gives (a, b) for r from 0 to rMax (tabled
// every half pixel, blended between); beyond rMax the last entry holds.
// With yScale the distance counts rows yScale times, so the circles of
// equal distance become ellipses (an ellipse inscribed in the picture for
// yScale = width / height and rMax = width / 2).
template <class At>
void polarWarp(ConstPixels s, Pixels d, double cx, double cy, double rMax, At&& at, double yScale = 1.0)
{
    const int32_t n = static_cast<int32_t>(std::ceil(rMax * 2.0)) + 2;
    std::vector<float> A(static_cast<size_t>(n) + 1), B(A.size());
    for (int32_t i = 0; i <= n; ++i) {
        const auto [a, b] = at(std::min(i / 2.0, rMax));
        A[i] = static_cast<float>(a);
        B[i] = static_cast<float>(b);
    }
    const float fcx = static_cast<float>(cx), fcy = static_cast<float>(cy);
    const float last = static_cast<float>(n - 1);
    const float ys = static_cast<float>(yScale);
    forBands(d.h, 40 * int64_t(d.w), [&](int32_t y0, int32_t y1) {
        for (int32_t y = y0; y < y1; ++y) {
            uint32_t* out = d.row(y);
            const float dy = static_cast<float>(y) - fcy;
            const float dyScaled = dy * ys;
            for (int32_t x = 0; x < d.w; ++x) {
                const float dx = static_cast<float>(x) - fcx;
                float t = std::sqrt(dx * dx + dyScaled * dyScaled) * 2.0f;
                if (t > last) t = last;
                const int32_t i = static_cast<int32_t>(t);
                const float f = t - static_cast<float>(i);
                const float a = A[i] + (A[i + 1] - A[i]) * f;
                const float b = B[i] + (B[i + 1] - B[i]) * f;
                out[x] = sampleBilinear(s, fcx + a * dx - b * dy, fcy + b * dx + a * dy);
            }
        }
    });
}

// The source point of (x, y) is (ax x + bx y + cx, ay x + by y + cy).
struct Affine {
    double ax, bx, cx, ay, by, cy;
};

// d(x, y) = the mean of mix(x, y) and s(t(x, y)).
void warpAffineMix(ConstPixels s, Pixels d, const Affine& t, ConstPixels mix);
// d(x, y) = the mean of s(t(x, y)) and s(u(x, y)).
void warpAffinePair(ConstPixels s, Pixels d, const Affine& t, const Affine& u);

// A blur along a one-parameter family of transforms (turns about a point,
// moves along a line, zooms about a point), make(a) giving the transform
// of parameter a, where composing make(a) and make(b) gives make(a + b).
// The result is the mean of the source taken through the 2^passes
// transforms make(0), make(step), make(2 step), ...; with centred the
// family is shifted back by half its spread, so it runs symmetrically about
// make(0). Each pass mixes the picture with itself moved by the next power
// of two of the step, so the cost grows with the passes, not the samples.
template <class Make> void doublingBlur(ConstPixels s, Pixels d, int32_t passes, double step, bool centred, Make&& make)
{
    if (passes <= 0) {
        copyPixels(s, d);
        return;
    }
    // Shifting the whole family back by c is done in the first pass, which
    // takes both of its samples through transforms: the passes after it
    // compose with them.
    const double c = centred ? (std::ldexp(1.0, passes) - 1.0) * step / 2.0 : 0.0;
    Picture a(s.w, s.h), b(s.w, s.h);
    warpAffinePair(s, passes == 1 ? d : a.view(), make(-c), make(step - c));
    double amount = 2.0 * step;
    for (int32_t j = 1; j < passes; ++j, amount *= 2.0) {
        const bool last = j == passes - 1;
        warpAffineMix(a, last ? d : b.view(), make(amount), a);
        if (!last) std::swap(a, b);
    }
}

} // namespace tq::effects
