// Rotation by any angle about the picture's centre, nearest sample or
// bilinear blend; the picture keeps its size.
#include "filters/PixelMaps.h"
#include "filters/cBitFilter.h"

#include <cmath>
#include <cstring>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TQ_HAVE_AVX_PATH 1
#endif

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

namespace {

inline uint8_t clampByte(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

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
        if (fx < ix) --ix;
        int32_t iy = static_cast<int32_t>(fy);
        if (fy < iy) --iy;
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

#if defined(TQ_HAVE_AVX_PATH)
// The same row with the four bytes of a pixel in one 256-bit register of
// doubles: every lane does exactly the operations of the row above, and the
// conversions round to nearest, ties to even, as rnd() does.
// The four bytes of a pixel as doubles.
__attribute__((target("avx,sse4.1"), always_inline)) inline __m256d bytes4(const uint8_t* p)
{
    int32_t v;
    std::memcpy(&v, p, 4);
    return _mm256_cvtepi32_pd(_mm_cvtepu8_epi32(_mm_cvtsi32_si128(v)));
}

// Lane 0 or lane 1 of a pair, in all four lanes.
__attribute__((target("avx,sse4.1"), always_inline)) inline __m256d splatLo(__m128d v)
{
    const __m128d t = _mm_unpacklo_pd(v, v);
    return _mm256_insertf128_pd(_mm256_castpd128_pd256(t), t, 1);
}
__attribute__((target("avx,sse4.1"), always_inline)) inline __m256d splatHi(__m128d v)
{
    const __m128d t = _mm_unpackhi_pd(v, v);
    return _mm256_insertf128_pd(_mm256_castpd128_pd256(t), t, 1);
}

// Adding and taking away 1.5 * 2^52 leaves a double of magnitude below 2^51
// rounded to a whole number, ties to even, exactly as rnd() rounds; unlike a
// conversion to an integer and back it stays on the adding units.
__attribute__((target("avx,sse4.1"), always_inline)) inline __m256d roundWhole(__m256d v)
{
    const __m256d magic = _mm256_set1_pd(6755399441055744.0);
    return _mm256_sub_pd(_mm256_add_pd(v, magic), magic);
}

// The blend of one pixel whose four samples lie at p00, p00 + 4, p01 and
// p01 + 4, with weights (1 - wx, 1 - wy) in u and (wx, wy) in w; the marker
// byte of d keeps its value.
__attribute__((target("avx,sse4.1"), always_inline)) inline void blendAvx(const uint8_t* p00, const uint8_t* p01,
                                                                         __m128d u, __m128d w, uint8_t* d)
{
    const __m128i zero = _mm_setzero_si128();
    const __m256d vuy = splatHi(u), vwy = splatHi(w);
    const __m256d left =
        roundWhole(_mm256_add_pd(_mm256_mul_pd(vuy, bytes4(p00)), _mm256_mul_pd(bytes4(p01), vwy)));
    const __m256d right =
        roundWhole(_mm256_add_pd(_mm256_mul_pd(vuy, bytes4(p00 + 4)), _mm256_mul_pd(bytes4(p01 + 4), vwy)));
    const __m128i v =
        _mm256_cvtpd_epi32(_mm256_add_pd(_mm256_mul_pd(left, splatLo(u)), _mm256_mul_pd(right, splatLo(w))));
    // Saturating packs clamp to 0..255.
    const uint32_t bgra = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(v, zero), zero)));
    uint32_t old;
    std::memcpy(&old, d, 4);
    const uint32_t merged = (bgra & 0x00FFFFFFu) | (old & 0xFF000000u);
    std::memcpy(d, &merged, 4);
}

// Two pixels a step: their chains of dependent operations are long, and
// side by side the processor overlaps them.
__attribute__((target("avx,sse4.1"))) void smoothRowAvx(const SmoothTurn& k, int32_t y, int32_t x0, int32_t x1,
                                                         uint8_t* d)
{
    const double dy = y - k.cy;
    // The sample points as (x, y) pairs: dx * (c, s) + (-dy * s, dy * c) +
    // (cx, cy), the same operations in the same order as the plain row.
    const __m256d cs = _mm256_set_pd(k.s, k.c, k.s, k.c);
    const double rx = -dy * k.s, ry = dy * k.c;
    const __m256d rowXY = _mm256_set_pd(ry, rx, ry, rx);
    const __m256d centre = _mm256_set_pd(k.cy, k.cx, k.cy, k.cx);
    const __m128i limit = _mm_set_epi32(k.h, k.w, k.h, k.w);
    const __m128i zero = _mm_setzero_si128();
    const __m256d ones = _mm256_set1_pd(1.0);
    int32_t x = x0;
    for (; x + 1 <= x1; x += 2, d += 8) {
        const double da = x - k.cx, db = x + 1 - k.cx;
        const __m256d dx = _mm256_set_pd(db, db, da, da);
        const __m128 f = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(dx, cs), rowXY), centre));
        const __m128 fl = _mm_round_ps(f, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
        const __m128i ixy = _mm_cvttps_epi32(fl);
        const __m128i inside = _mm_andnot_si128(_mm_cmplt_epi32(ixy, zero), _mm_cmplt_epi32(ixy, limit));
        if (_mm_movemask_ps(_mm_castsi128_ps(inside)) != 15) {
            smoothRow(k, y, x, x + 1, d);
            continue;
        }
        // The fractions of singles are exact in single precision.
        const __m256d w = _mm256_cvtps_pd(_mm_sub_ps(f, fl));
        const __m256d u = _mm256_sub_pd(ones, w);
        alignas(16) int32_t xy[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(xy), ixy);
        const uint8_t* pa = k.origin + static_cast<size_t>(xy[1]) * k.stride + 4 * static_cast<size_t>(xy[0]);
        const uint8_t* pb = k.origin + static_cast<size_t>(xy[3]) * k.stride + 4 * static_cast<size_t>(xy[2]);
        blendAvx(pa, pa + k.stride, _mm256_castpd256_pd128(u), _mm256_castpd256_pd128(w), d);
        blendAvx(pb, pb + k.stride, _mm256_extractf128_pd(u, 1), _mm256_extractf128_pd(w, 1), d + 4);
    }
    if (x <= x1) smoothRow(k, y, x, x1, d);
}

bool haveAvx()
{
    static const bool yes = __builtin_cpu_supports("avx") && __builtin_cpu_supports("sse4.1");
    return yes;
}
#endif

} // namespace

BitsBuffer cBitFilter::RotateSmooth(int32_t Degrees)
{
    BitsBuffer out = Bits_;
    const float c = single(std::cos(Degrees * kDegToRad));
    const float s = single(std::sin(Degrees * kDegToRad));
    // Samples on the last column or row blend with the buffer's border, as
    // the picture's own margin holds it.
    const SmoothTurn k{Bits_.allocated() ? Bits_.pixel(0, 0) : nullptr, static_cast<size_t>(Bits_.stride()),
                       MaxX + 1, MaxY + 1, c, s, MaxX / 2, MaxY / 2};
#if defined(TQ_HAVE_AVX_PATH)
    const bool avx = haveAvx();
#else
    const bool avx = false;
#endif
    walkWalkBox(0, [&](int32_t y, int32_t x0, int32_t x1) {
#if defined(TQ_HAVE_AVX_PATH)
        if (avx) {
            smoothRowAvx(k, y, x0, x1, out.pixel(x0, y));
            return;
        }
#endif
        (void)avx;
        smoothRow(k, y, x0, x1, out.pixel(x0, y));
    });
    raiseProgress(100);
    return out;
}

} // namespace tq
