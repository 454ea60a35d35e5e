// The bilinear blends of the smooth scaling (BitsResample) and the smooth
// turn (RotateSmooth), in whole-number arithmetic.
//
// Both members blend two bytes a and b with a weight w taken from a single
// (a fraction of a single-precision position) and round at once:
// rnd((1 - w) * a + w * b) in double precision, ties to even. Every fraction
// of a single at or above 1 is a whole multiple of 2^-23, and for such a w
// the double arithmetic is exact: 1 - w needs 23 bits, each product at most
// 31, the sum at most 31 as well. The rounded value is therefore the exact
// value (a * 2^23 + m * (b - a)) / 2^23, m = w * 2^23, rounded to nearest
// even, which 32-bit whole numbers give without error: blendFixed. A weight
// with finer bits (a position below 1) keeps the double formula.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tq::bilinear {

inline constexpr int kWeightBits = 23;

// w * 2^23 when that is a whole number (w in 0..1), else -1.
int32_t fixedWeight(double w);

// rnd((1 - w) * a + w * b) for a and b in 0..255 and w = m / 2^23: the sum
// a * 2^23 + m * (b - a) lies in 0..255 * 2^23, so below 2^31; adding
// 2^22 - 1 and the lowest bit of the whole part rounds halves to even.
inline int32_t blendFixed(int32_t a, int32_t b, int32_t m)
{
    const int32_t x = a * (int32_t(1) << kWeightBits) + m * (b - a);
    return (x + ((int32_t(1) << (kWeightBits - 1)) - 1) + ((x >> kWeightBits) & 1)) >> kWeightBits;
}

// out[i] = blendFixed(a[i], b[i], m) for n bytes: one row of vertical blends,
// marker bytes included.
void blendBytes(const uint8_t* a, const uint8_t* b, int32_t m, uint8_t* out, size_t n);

// n pixels of a new row from a row of blended pixels v: pixel x blends the
// pixel at byte offsets[x] of v with the one after it, weight weights[x]
// (a fixed weight); blue, green and red are written, the marker byte 0.
// The offsets never decrease. offsets and weights hold 16 entries past the
// n-th (whole groups of 16 are read), and v 128 bytes past its last pair.
void blendPairs(const uint8_t* v, const int32_t* offsets, const int32_t* weights, int32_t n, uint8_t* d);

// Are the processor's 512-bit rows of these blends usable (and wide rows
// allowed)?
bool wideRows();

#if defined(__x86_64__)
#define TQ_BILINEAR_TARGET __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx2,avx,sse4.1")))

// blendFixed on sixteen 32-bit lanes.
TQ_BILINEAR_TARGET __attribute__((always_inline)) inline __m512i blendFixed16(__m512i a, __m512i b, __m512i m)
{
    const __m512i x = _mm512_add_epi32(_mm512_slli_epi32(a, kWeightBits), _mm512_mullo_epi32(m, _mm512_sub_epi32(b, a)));
    const __m512i odd = _mm512_and_si512(_mm512_srli_epi32(x, kWeightBits), _mm512_set1_epi32(1));
    const __m512i half = _mm512_set1_epi32((1 << (kWeightBits - 1)) - 1);
    return _mm512_srli_epi32(_mm512_add_epi32(x, _mm512_add_epi32(half, odd)), kWeightBits);
}

// The 64-bit words at p and q, in this order.
TQ_BILINEAR_TARGET __attribute__((always_inline)) inline __m128i twoWords(const uint8_t* p, const uint8_t* q)
{
    int64_t b;
    std::memcpy(&b, q, 8);
    return _mm_insert_epi64(_mm_loadu_si64(p), b, 1);
}

// The eight pixel pairs (64-bit words: the four bytes of a left pixel, then
// of the right one) at base + at[i], loaded one by one: faster than a
// gather on the processors at hand.
template <class Offset>
TQ_BILINEAR_TARGET __attribute__((always_inline)) inline __m512i loadPairs(const uint8_t* base, const Offset* at)
{
    const __m256i low = _mm256_inserti128_si256(_mm256_castsi128_si256(twoWords(base + at[0], base + at[1])),
                                                twoWords(base + at[2], base + at[3]), 1);
    const __m256i high = _mm256_inserti128_si256(_mm256_castsi128_si256(twoWords(base + at[4], base + at[5])),
                                                 twoWords(base + at[6], base + at[7]), 1);
    return _mm512_inserti64x4(_mm512_castsi256_si512(low), high, 1);
}

// Sixteen pixel pairs, 0..7 in `low` and 8..15 in `high`, as one channel of
// one side: lane j holds channel c of pair j's left (or right) pixel, at
// byte 8 * j + c (+ 4) of the two registers.
struct ChannelIndex {
    alignas(64) uint8_t bytes[64];
};
constexpr ChannelIndex channelIndex(int c, bool right)
{
    ChannelIndex i{};
    for (int j = 0; j < 16; ++j) i.bytes[4 * j] = static_cast<uint8_t>(8 * j + (right ? 4 : 0) + c);
    return i;
}
inline constexpr ChannelIndex kChannelIndex[2][3] = {
    {channelIndex(0, false), channelIndex(1, false), channelIndex(2, false)},
    {channelIndex(0, true), channelIndex(1, true), channelIndex(2, true)}};
TQ_BILINEAR_TARGET __attribute__((always_inline)) inline __m512i channelLanes(__m512i low, __m512i high, int c,
                                                                             bool right)
{
    constexpr __mmask64 kLowBytes = 0x1111111111111111ull;   // byte 0 of each lane; the others 0
    return _mm512_maskz_permutex2var_epi8(kLowBytes, low, _mm512_load_si512(kChannelIndex[right][c].bytes), high);
}

// Sixteen pixels' blue, green and red lanes (0..255) as pixel words, the
// marker byte 0.
TQ_BILINEAR_TARGET __attribute__((always_inline)) inline __m512i joinChannels(__m512i b, __m512i g, __m512i r)
{
    return _mm512_ternarylogic_epi32(b, _mm512_slli_epi32(g, 8), _mm512_slli_epi32(r, 16), 0xFE);   // b | g | r
}
#endif

} // namespace tq::bilinear
