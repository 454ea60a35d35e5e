#include "filters/BilinearRows.h"

#include "filters/PixelWalks.h"

#include <algorithm>
#include <cmath>

namespace tq::bilinear {

int32_t fixedWeight(double w)
{
    const double m = std::ldexp(w, kWeightBits);
    if (!(m >= 0 && m < double(int32_t(1) << kWeightBits)) || m != std::floor(m)) return -1;
    return static_cast<int32_t>(m);
}

namespace {

void blendBytesPlain(const uint8_t* a, const uint8_t* b, int32_t m, uint8_t* out, size_t n)
{
    for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(blendFixed(a[i], b[i], m));
}

void blendPairsPlain(const uint8_t* v, const int32_t* offsets, const int32_t* weights, int32_t n, uint8_t* d)
{
    for (int32_t x = 0; x < n; ++x, d += 4) {
        const uint8_t* p = v + offsets[x];
        for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>(blendFixed(p[c], p[4 + c], weights[x]));
        d[3] = 0;
    }
}

#if defined(__x86_64__)
// GCC's own wide-vector headers leave lanes "undefined" on purpose and then
// warn about them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

// The bytes of k (sixteen or fewer).
TQ_BILINEAR_TARGET __attribute__((always_inline)) inline void blendSixteen(const uint8_t* a, const uint8_t* b,
                                                                          __m512i w, uint8_t* out, __mmask16 k)
{
    const __m512i va = _mm512_cvtepu8_epi32(_mm_maskz_loadu_epi8(k, a));
    const __m512i vb = _mm512_cvtepu8_epi32(_mm_maskz_loadu_epi8(k, b));
    _mm_mask_storeu_epi8(out, k, _mm512_cvtepi32_epi8(blendFixed16(va, vb, w)));
}

TQ_BILINEAR_TARGET void blendBytesWide(const uint8_t* a, const uint8_t* b, int32_t m, uint8_t* out, size_t n)
{
    const __m512i w = _mm512_set1_epi32(m);
    size_t i = 0;
    for (; i + 16 <= n; i += 16) blendSixteen(a + i, b + i, w, out + i, 0xFFFF);
    if (i < n) blendSixteen(a + i, b + i, w, out + i, static_cast<__mmask16>((1u << (n - i)) - 1));
}

// Sixteen new pixels a step: each channel of their pairs' left and right
// pixels spread over lanes, blended, joined back into pixels. When the
// sixteen pairs lie within 128 bytes of v (any enlargement, reductions down
// to about half), two loads and a byte permute find them; otherwise each
// pair is loaded on its own.
TQ_BILINEAR_TARGET void blendPairsWide(const uint8_t* v, const int32_t* offsets, const int32_t* weights, int32_t n,
                                       uint8_t* d)
{
    constexpr __mmask64 kLowBytes = 0x1111111111111111ull;   // byte 0 of each lane; the others 0
    for (int32_t x = 0; x < n; x += 16, d += 64) {
        const int32_t left = n - x;
        const int32_t first = offsets[x], last = offsets[x + std::min(left, 16) - 1];
        const __m512i w = _mm512_loadu_si512(weights + x);
        __m512i c[3];
        if (last - first + 8 <= 128) {
            const __m512i near = _mm512_loadu_si512(v + first), far = _mm512_loadu_si512(v + first + 64);
            const __m512i at = _mm512_sub_epi32(_mm512_loadu_si512(offsets + x), _mm512_set1_epi32(first));
            for (int ch = 0; ch < 3; ++ch) {
                const __m512i a = _mm512_maskz_permutex2var_epi8(kLowBytes, near, _mm512_add_epi32(at, _mm512_set1_epi32(ch)), far);
                const __m512i b = _mm512_maskz_permutex2var_epi8(kLowBytes, near, _mm512_add_epi32(at, _mm512_set1_epi32(4 + ch)), far);
                c[ch] = blendFixed16(a, b, w);
            }
        } else {
            const __m512i low = loadPairs(v, offsets + x), high = loadPairs(v, offsets + x + 8);
            for (int ch = 0; ch < 3; ++ch)
                c[ch] = blendFixed16(channelLanes(low, high, ch, false), channelLanes(low, high, ch, true), w);
        }
        const __mmask64 k = left >= 16 ? ~0ull : (uint64_t(1) << (4 * left)) - 1;
        _mm512_mask_storeu_epi8(d, k, joinChannels(c[0], c[1], c[2]));
    }
}

#pragma GCC diagnostic pop
#endif

} // namespace

bool wideRows()
{
#if defined(__x86_64__)
    static const bool yes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512vbmi") &&
                            __builtin_cpu_supports("avx2");
    return yes && wideVectorsAllowed();
#else
    return false;
#endif
}

void blendBytes(const uint8_t* a, const uint8_t* b, int32_t m, uint8_t* out, size_t n)
{
#if defined(__x86_64__)
    if (wideRows()) return blendBytesWide(a, b, m, out, n);
#endif
    blendBytesPlain(a, b, m, out, n);
}

void blendPairs(const uint8_t* v, const int32_t* offsets, const int32_t* weights, int32_t n, uint8_t* d)
{
#if defined(__x86_64__)
    if (wideRows()) return blendPairsWide(v, offsets, weights, n, d);
#endif
    blendPairsPlain(v, offsets, weights, n, d);
}

} // namespace tq::bilinear
