// Rotation by any angle about the picture's centre, nearest sample or
// bilinear blend; the picture keeps its size.
#include "filters/PixelWalk.h"

#include <cmath>
#include <cstring>
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TQ_HAVE_VECTOR_ROWS 1
#endif

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

#if defined(TQ_HAVE_VECTOR_ROWS)
// GCC's own wide-vector headers leave lanes "undefined" on purpose and then
// warn about them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#define TQ_VECTOR_TARGET __attribute__((target("avx512f,avx512vl,avx2,avx,sse4.1")))

// The four bytes of two pixels as eight doubles: pa's in lanes 0..3, pb's in
// lanes 4..7.
TQ_VECTOR_TARGET __attribute__((always_inline)) inline __m512d bytes8(const uint8_t* pa, const uint8_t* pb)
{
    int32_t a, b;
    std::memcpy(&a, pa, 4);
    std::memcpy(&b, pb, 4);
    return _mm512_cvtepi32_pd(_mm256_cvtepu8_epi32(_mm_set_epi32(0, 0, b, a)));
}

// The same row as smoothRow, two pixels a step, with all four bytes of both
// pixels in one register of eight doubles. Every lane does exactly the
// operations of the plain row in the same order. Adding and taking away
// 1.5 * 2^52 rounds a double below 2^51 to a whole number, ties to even, as
// rnd() does, and the last conversion rounds the same way.
TQ_VECTOR_TARGET void smoothRowVector(const SmoothTurn& k, int32_t y, int32_t x0, int32_t x1, uint8_t* d)
{
    const double dy = y - k.cy;
    // Sample points as (x, y) pairs: dx * (c, s) + (-dy * s, dy * c) + (cx, cy).
    const __m256d cs = _mm256_set_pd(k.s, k.c, k.s, k.c);
    const double rx = -dy * k.s, ry = dy * k.c;
    const __m256d rowXY = _mm256_set_pd(ry, rx, ry, rx);
    const __m256d centre = _mm256_set_pd(k.cy, k.cx, k.cy, k.cx);
    const __m128i limit = _mm_set_epi32(k.h, k.w, k.h, k.w);
    const __m128i zero = _mm_setzero_si128();
    const __m256i zero256 = _mm256_setzero_si256();
    const __m256d ones = _mm256_set1_pd(1.0);
    const __m512d magic = _mm512_set1_pd(6755399441055744.0);
    const __m512i laneX = _mm512_set_epi64(2, 2, 2, 2, 0, 0, 0, 0), laneY = _mm512_set_epi64(3, 3, 3, 3, 1, 1, 1, 1);
    int32_t x = x0;
    for (; x + 1 <= x1; x += 2, d += 8) {
        const double da = x - k.cx, db = x + 1 - k.cx;
        const __m256d dx = _mm256_set_pd(db, db, da, da);
        const __m128 f = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_add_pd(_mm256_mul_pd(dx, cs), rowXY), centre));
        const __m128 fl = _mm_round_ps(f, _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC);
        const __m128i ixy = _mm_cvttps_epi32(fl);
        const __m128i inside = _mm_andnot_si128(_mm_cmplt_epi32(ixy, zero), _mm_cmplt_epi32(ixy, limit));
        const int in = _mm_movemask_ps(_mm_castsi128_ps(inside));
        if (in != 15) {
            if ((in & 3) != 3 && (in & 12) != 12) {   // both outside: black
                d[0] = d[1] = d[2] = 0;
                d[4] = d[5] = d[6] = 0;
            } else {
                smoothRow(k, y, x, x + 1, d);   // one outside: the plain row decides
            }
            continue;
        }
        // The fractions of singles are exact in single precision.
        const __m256d w = _mm256_cvtps_pd(_mm_sub_ps(f, fl));
        const __m256d u = _mm256_sub_pd(ones, w);
        const uint8_t* pa = k.origin + static_cast<size_t>(_mm_extract_epi32(ixy, 1)) * k.stride +
                            4 * static_cast<size_t>(_mm_cvtsi128_si32(ixy));
        const uint8_t* pb = k.origin + static_cast<size_t>(_mm_extract_epi32(ixy, 3)) * k.stride +
                            4 * static_cast<size_t>(_mm_extract_epi32(ixy, 2));
        const __m512d u8 = _mm512_zextpd256_pd512(u), w8 = _mm512_zextpd256_pd512(w);
        const __m512d uy = _mm512_permutexvar_pd(laneY, u8), wy = _mm512_permutexvar_pd(laneY, w8);
        const __m512d ux = _mm512_permutexvar_pd(laneX, u8), wx = _mm512_permutexvar_pd(laneX, w8);
        const __m512d left = _mm512_sub_pd(
            _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(uy, bytes8(pa, pb)),
                                        _mm512_mul_pd(bytes8(pa + k.stride, pb + k.stride), wy)),
                          magic),
            magic);
        const __m512d right = _mm512_sub_pd(
            _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(uy, bytes8(pa + 4, pb + 4)),
                                        _mm512_mul_pd(bytes8(pa + k.stride + 4, pb + k.stride + 4), wy)),
                          magic),
            magic);
        const __m256i v = _mm512_cvtpd_epi32(_mm512_add_pd(_mm512_mul_pd(left, ux), _mm512_mul_pd(right, wx)));
        // Saturating packs clamp to 0..255; each pixel's marker byte stays.
        const __m256i packed = _mm256_packus_epi16(_mm256_packs_epi32(v, zero256), zero256);
        uint32_t a, b;
        std::memcpy(&a, d, 4);
        std::memcpy(&b, d + 4, 4);
        a = (static_cast<uint32_t>(_mm256_extract_epi32(packed, 0)) & 0x00FFFFFFu) | (a & 0xFF000000u);
        b = (static_cast<uint32_t>(_mm256_extract_epi32(packed, 4)) & 0x00FFFFFFu) | (b & 0xFF000000u);
        std::memcpy(d, &a, 4);
        std::memcpy(d + 4, &b, 4);
    }
    if (x <= x1) smoothRow(k, y, x, x1, d);
}

bool vectorRowsAvailable()
{
    static const bool yes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vl") &&
                            __builtin_cpu_supports("avx2");
    return yes;
}
#pragma GCC diagnostic pop
#else
bool vectorRowsAvailable() { return false; }
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
    const bool vector = wideVectorsAllowed() && vectorRowsAvailable();
    BitsBuffer out = boxRows(*this, 0, Rows::Independent, [&](int32_t y, int32_t x0, int32_t x1, const uint8_t*, uint8_t* d) {
#if defined(TQ_HAVE_VECTOR_ROWS)
        if (vector) {
            smoothRowVector(k, y, x0, x1, d);
            return;
        }
#endif
        (void)vector;
        smoothRow(k, y, x0, x1, d);
    });
    raiseProgress(100);
    return out;
}

} // namespace tq
