// Rotation by any angle about the picture's centre, nearest sample or
// bilinear blend; the picture keeps its size.
#include "filters/PixelWalks.h"

#include "filters/BilinearRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace tq {

BitsBuffer cBitFilter::ROTATE(int32_t Degrees, bool CleanBack)
{
    const float c = single(std::cos(Degrees * kDegToRad));
    const float s = single(std::sin(Degrees * kDegToRad));
    const int32_t cx = MaxX / 2, cy = MaxY / 2;
    const double dc = c, ds = s;
    return mappedPixels(*this, CleanBack, [&](int32_t x, int32_t y, int32_t& sx, int32_t& sy) {
        const double dx = x - cx, dy = y - cy;
        sx = rndFast(dx * dc - dy * ds + cx);
        sy = rndFast(dx * ds + dy * dc + cy);
    });
}

namespace {

// The bilinear blend of blue, green and red: for each channel, down the two
// columns (each taken to the nearest whole number), then across. p00 and p01
// are the upper and lower left samples; the right ones follow 4 bytes on.
// uy = 1 - wy and ux = 1 - wx. Only bytes 0..2 of d are written.
inline void blendPixel(const uint8_t* p00, const uint8_t* p01, double uy, double wy, double ux, double wx, uint8_t* d)
{
#if defined(__SSE2__)
    // Lanes hold channels (blue, green) and (red, marker); each lane does
    // exactly the scalar operations, and the processor's conversions round
    // as rnd() does. The marker lane is computed and dropped.
    const __m128i zero = _mm_setzero_si128();
    const __m128i top16 = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p00)), zero);
    const __m128i bot16 = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p01)), zero);
    const __m128i t00 = _mm_unpacklo_epi16(top16, zero), t10 = _mm_unpackhi_epi16(top16, zero);
    const __m128i b01 = _mm_unpacklo_epi16(bot16, zero), b11 = _mm_unpackhi_epi16(bot16, zero);
    auto lo = [](__m128i v) { return _mm_cvtepi32_pd(v); };
    auto hi = [](__m128i v) { return _mm_cvtepi32_pd(_mm_unpackhi_epi64(v, v)); };
    const __m128d vuy = _mm_set1_pd(uy), vwy = _mm_set1_pd(wy);
    auto down = [&](__m128d top, __m128d bottom) {
        return _mm_cvtepi32_pd(_mm_cvtpd_epi32(_mm_add_pd(_mm_mul_pd(vuy, top), _mm_mul_pd(bottom, vwy))));
    };
    const __m128d leftBG = down(lo(t00), lo(b01)), leftRA = down(hi(t00), hi(b01));
    const __m128d rightBG = down(lo(t10), lo(b11)), rightRA = down(hi(t10), hi(b11));
    const __m128d vux = _mm_set1_pd(ux), vwx = _mm_set1_pd(wx);
    const __m128i bg = _mm_cvtpd_epi32(_mm_add_pd(_mm_mul_pd(leftBG, vux), _mm_mul_pd(rightBG, vwx)));
    const __m128i ra = _mm_cvtpd_epi32(_mm_add_pd(_mm_mul_pd(leftRA, vux), _mm_mul_pd(rightRA, vwx)));
    // Saturating packs clamp to 0..255.
    const __m128i w16 = _mm_packs_epi32(_mm_unpacklo_epi64(bg, ra), zero);
    const uint32_t bgra = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(w16, zero)));
    d[0] = static_cast<uint8_t>(bgra);
    d[1] = static_cast<uint8_t>(bgra >> 8);
    d[2] = static_cast<uint8_t>(bgra >> 16);
#else
    for (int c = 0; c < 3; ++c) {
        const int32_t left = rnd(uy * p00[c] + p01[c] * wy);
        const int32_t right = rnd(uy * p00[c + 4] + p01[c + 4] * wy);
        d[c] = clampByte(rnd(left * ux + right * wx));
    }
#endif
}

// The smooth turn's blocks of rows and groups of columns (a multiple of 16,
// the wide row's step): at any angle a group's samples lie within about 90
// rows and 90 columns of the picture, some 32 KB, which the first-level
// cache holds. (Found by trial on the processors at hand: smaller groups
// pay more per row, larger ones leave the cache.)
constexpr int32_t kTurnBlockRows = 64;
constexpr int32_t kTurnGroupColumns = 64;

// What one row of the smooth turn needs: the unchanged picture, its size,
// the turn and the centre.
struct SmoothTurn {
    const uint8_t* origin;   // pixel (0, 0) of Bits
    size_t stride;           // bytes per buffer row
    int32_t w, h;
    double c, s;             // cosine and sine, as singles
    int32_t cx, cy;
};

// Writes bytes 0..2 of the destination row y, columns x0..x1, to d.
void smoothRow(const SmoothTurn& k, int32_t y, int32_t x0, int32_t x1, uint8_t* d)
{
    const double dy = y - k.cy;
    const double rowX = -dy * k.s, rowY = dy * k.c;
    for (int32_t x = x0; x <= x1; ++x, d += 4) {
        const double dx = x - k.cx;
        const float fx = single(dx * k.c + rowX + k.cx);
        const float fy = single(dx * k.s + rowY + k.cy);
        int32_t ix = static_cast<int32_t>(fx);
        if (fx < static_cast<float>(ix)) --ix;
        int32_t iy = static_cast<int32_t>(fy);
        if (fy < static_cast<float>(iy)) --iy;
        if (ix < 0 || iy < 0 || ix >= k.w || iy >= k.h) {
            d[0] = 0;
            d[1] = 0;
            d[2] = 0;
            continue;
        }
        // The fraction of a single is itself exact in single precision.
        const double wx = fx - static_cast<float>(ix);
        const double wy = fy - static_cast<float>(iy);
        const uint8_t* p00 = k.origin + static_cast<size_t>(iy) * k.stride + 4 * static_cast<size_t>(ix);
        blendPixel(p00, p00 + k.stride, 1.0 - wy, wy, 1.0 - wx, wx, d);
    }
}

#if defined(__x86_64__)
// GCC's own wide-vector headers leave lanes "undefined" on purpose and then
// warn about them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// Sixteen singles from sixteen doubles, a + b + c each (in this order).
TQ_BILINEAR_TARGET __attribute__((always_inline)) inline __m512 sumsAsSingles(const double* a, __m512d b, __m512d c)
{
    const __m256 low = _mm512_cvtpd_ps(_mm512_add_pd(_mm512_add_pd(_mm512_loadu_pd(a), b), c));
    const __m256 high = _mm512_cvtpd_ps(_mm512_add_pd(_mm512_add_pd(_mm512_loadu_pd(a + 8), b), c));
    return _mm512_castsi512_ps(
        _mm512_inserti64x4(_mm512_castsi256_si512(_mm256_castps_si256(low)), _mm256_castps_si256(high), 1));
}

// The same row as smoothRow, sixteen pixels a step, in whole numbers: a
// sample point at or beyond column and row 1 has fractions that are fixed
// weights (BilinearRows.h), and its nine blends are blendFixed, which gives
// exactly the bytes of the double formulas. colC[i] and colS[i] hold dx * c
// and dx * s of column x0 + i, the products every row shares. A point
// outside the picture gives black; one inside on column or row 0 (finer
// fractions) is left to the plain row.
TQ_BILINEAR_TARGET void smoothRowWide(const SmoothTurn& k, const double* colC, const double* colS, int32_t y,
                                      int32_t x0, int32_t x1, uint8_t* d)
{
    using namespace bilinear;
    const double dy = y - k.cy;
    const __m512d rowX = _mm512_set1_pd(-dy * k.s), rowY = _mm512_set1_pd(dy * k.c);
    const __m512d cx = _mm512_set1_pd(k.cx), cy = _mm512_set1_pd(k.cy);
    const __m512i w = _mm512_set1_epi32(k.w), h = _mm512_set1_epi32(k.h), zero = _mm512_setzero_si512();
    const __m512i stride = _mm512_set1_epi64(static_cast<int64_t>(k.stride));
    const __m512 toWeight = _mm512_set1_ps(static_cast<float>(1 << kWeightBits));
    constexpr __mmask64 kColours = 0x7777777777777777ull;   // bytes 0..2 of sixteen pixels
    int32_t x = x0;
    for (; x + 15 <= x1; x += 16, d += 64) {
        const size_t i = static_cast<size_t>(x - x0);
        const __m512 fx = sumsAsSingles(colC + i, rowX, cx), fy = sumsAsSingles(colS + i, rowY, cy);
        const __m512 flx = _mm512_roundscale_ps(fx, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
        const __m512 fly = _mm512_roundscale_ps(fy, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
        const __m512i ix = _mm512_cvttps_epi32(flx), iy = _mm512_cvttps_epi32(fly);
        const __mmask16 inside = _mm512_cmpge_epi32_mask(ix, zero) & _mm512_cmplt_epi32_mask(ix, w) &
                                 _mm512_cmpge_epi32_mask(iy, zero) & _mm512_cmplt_epi32_mask(iy, h);
        if (inside == 0) {
            _mm512_mask_storeu_epi8(d, kColours, zero);
            continue;
        }
        const __mmask16 fixed = inside & _mm512_cmpgt_epi32_mask(ix, zero) & _mm512_cmpgt_epi32_mask(iy, zero);
        // The fractions of singles are exact, and so are they times 2^23.
        const __m512i wx = _mm512_cvtps_epi32(_mm512_mul_ps(_mm512_sub_ps(fx, flx), toWeight));
        const __m512i wy = _mm512_cvtps_epi32(_mm512_mul_ps(_mm512_sub_ps(fy, fly), toWeight));
        // Byte offsets of the points' upper left pixels (0 for those not
        // fixed, whose pairs are then taken as 0).
        alignas(64) int64_t at[16];
        const __m512i across = _mm512_slli_epi32(ix, 2);
        _mm512_store_si512(at, _mm512_maskz_add_epi64(static_cast<__mmask8>(fixed),
                                                      _mm512_mul_epi32(_mm512_cvtepi32_epi64(_mm512_castsi512_si256(iy)), stride),
                                                      _mm512_cvtepi32_epi64(_mm512_castsi512_si256(across))));
        _mm512_store_si512(at + 8, _mm512_maskz_add_epi64(static_cast<__mmask8>(fixed >> 8),
                                                          _mm512_mul_epi32(_mm512_cvtepi32_epi64(_mm512_extracti64x4_epi64(iy, 1)), stride),
                                                          _mm512_cvtepi32_epi64(_mm512_extracti64x4_epi64(across, 1))));
        const __m512i top0 = _mm512_maskz_mov_epi64(static_cast<__mmask8>(fixed), loadPairs(k.origin, at));
        const __m512i top1 = _mm512_maskz_mov_epi64(static_cast<__mmask8>(fixed >> 8), loadPairs(k.origin, at + 8));
        const uint8_t* below = k.origin + k.stride;
        const __m512i bottom0 = _mm512_maskz_mov_epi64(static_cast<__mmask8>(fixed), loadPairs(below, at));
        const __m512i bottom1 = _mm512_maskz_mov_epi64(static_cast<__mmask8>(fixed >> 8), loadPairs(below, at + 8));
        __m512i v[3];
        for (int c = 0; c < 3; ++c) {
            const __m512i left = blendFixed16(channelLanes(top0, top1, c, false), channelLanes(bottom0, bottom1, c, false), wy);
            const __m512i right = blendFixed16(channelLanes(top0, top1, c, true), channelLanes(bottom0, bottom1, c, true), wy);
            v[c] = blendFixed16(left, right, wx);
        }
        _mm512_mask_storeu_epi8(d, kColours, joinChannels(v[0], v[1], v[2]));
        for (unsigned rest = inside & ~fixed & 0xFFFFu; rest != 0; rest &= rest - 1) {
            const int j = __builtin_ctz(rest);
            smoothRow(k, y, x + j, x + j, d + 4 * j);
        }
    }
    if (x <= x1) smoothRow(k, y, x, x1, d);
}

#pragma GCC diagnostic pop
#endif

} // namespace

BitsBuffer cBitFilter::RotateSmooth(int32_t Degrees)
{
    const float c = single(std::cos(Degrees * kDegToRad));
    const float s = single(std::sin(Degrees * kDegToRad));
    // Samples on the last column or row blend with the buffer's border, as
    // the picture's own margin holds it.
    const SmoothTurn k{Bits_.allocated() ? Bits_.pixel(0, 0) : nullptr, static_cast<size_t>(Bits_.stride()),
                       MaxX + 1, MaxY + 1, c, s, MaxX / 2, MaxY / 2};
    const bool wide = bilinear::wideRows();
    // dx * c and dx * s of every column of the walk box, the same in every
    // row.
    SetRegionBounds(0);
    std::vector<double> colC, colS;
    if (wide) {
        const size_t n = static_cast<size_t>(std::max(walkRight() - walkLeft() + 1, 0));
        colC.assign(n, 0.0);
        colS.assign(n, 0.0);
        for (int32_t x = walkLeft(); x <= walkRight(); ++x) {
            const double dx = x - k.cx;
            colC[static_cast<size_t>(x - walkLeft())] = dx * k.c;
            colS[static_cast<size_t>(x - walkLeft())] = dx * k.s;
        }
    }
    // A row's samples lie along a line across the picture, crossing a row of
    // it every few pixels at most angles: the rows are made in blocks, a
    // group of columns at a time, so that the samples of a group (a small
    // turned patch of the picture) are read while they are in the caches.
    BitsBuffer out = boxBlocks(*this, kTurnBlockRows, [&](int32_t y0, int32_t y1, int32_t x0, int32_t x1, BitsBuffer& to) {
        for (int32_t g0 = x0; g0 <= x1; g0 += kTurnGroupColumns) {
            const int32_t g1 = std::min(g0 + kTurnGroupColumns - 1, x1);
            const size_t i = static_cast<size_t>(g0 - x0);
            for (int32_t y = y0; y <= y1; ++y) {
#if defined(__x86_64__)
                if (wide) {
                    smoothRowWide(k, colC.data() + i, colS.data() + i, y, g0, g1, to.pixel(g0, y));
                    continue;
                }
#endif
                smoothRow(k, y, g0, g1, to.pixel(g0, y));
            }
        }
    });
    raiseProgress(100);
    return out;
}

} // namespace tq
