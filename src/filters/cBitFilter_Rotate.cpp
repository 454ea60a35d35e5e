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

__attribute__((target("avx,sse4.1"))) void smoothRowAvx(const SmoothTurn& k, int32_t y, int32_t x0, int32_t x1,
                                                         uint8_t* d)
{
    const double dy = y - k.cy;
    const double rowX = -dy * k.s, rowY = dy * k.c;
    const __m128i zero = _mm_setzero_si128();
    for (int32_t x = x0; x <= x1; ++x, d += 4) {
        const double dx = x - k.cx;
        const float fx = single(dx * k.c + rowX + k.cx);
        const float fy = single(dx * k.s + rowY + k.cy);
        const float flx = std::floor(fx), fly = std::floor(fy);
        const int32_t ix = static_cast<int32_t>(flx), iy = static_cast<int32_t>(fly);
        if (ix < 0 || iy < 0 || ix >= k.w || iy >= k.h) {
            d[0] = 0;
            d[1] = 0;
            d[2] = 0;
            continue;
        }
        const double wx = fx - flx, wy = fy - fly;
        const uint8_t* p00 = k.origin + static_cast<size_t>(iy) * k.stride + 4 * static_cast<size_t>(ix);
        const uint8_t* p01 = p00 + k.stride;
        const __m256d vuy = _mm256_set1_pd(1.0 - wy), vwy = _mm256_set1_pd(wy);
        const __m256d left = _mm256_cvtepi32_pd(_mm256_cvtpd_epi32(
            _mm256_add_pd(_mm256_mul_pd(vuy, bytes4(p00)), _mm256_mul_pd(bytes4(p01), vwy))));
        const __m256d right = _mm256_cvtepi32_pd(_mm256_cvtpd_epi32(
            _mm256_add_pd(_mm256_mul_pd(vuy, bytes4(p00 + 4)), _mm256_mul_pd(bytes4(p01 + 4), vwy))));
        const __m128i v = _mm256_cvtpd_epi32(_mm256_add_pd(_mm256_mul_pd(left, _mm256_set1_pd(1.0 - wx)),
                                                           _mm256_mul_pd(right, _mm256_set1_pd(wx))));
        // Saturating packs clamp to 0..255; the marker lane is dropped.
        const uint32_t bgra =
            static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(v, zero), zero)));
        d[0] = static_cast<uint8_t>(bgra);
        d[1] = static_cast<uint8_t>(bgra >> 8);
        d[2] = static_cast<uint8_t>(bgra >> 16);
    }
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
