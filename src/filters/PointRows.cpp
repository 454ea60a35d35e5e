#include "filters/PointRows.h"

#include "filters/GreyWeights.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tq::walkdetail {

namespace {

void tableRowPlain(const uint8_t* s, uint8_t* d, int32_t n, const ByteTable& blue, const ByteTable& green,
                   const ByteTable& red, uint32_t keep)
{
    const uint8_t *tb = blue.data(), *tg = green.data(), *tr = red.data();
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t p = loadPixel(s + 4 * i);
        storePixel(d + 4 * i, uint32_t(tb[p & 0xFF]) | uint32_t(tg[(p >> 8) & 0xFF]) << 8 |
                                  uint32_t(tr[(p >> 16) & 0xFF]) << 16 | (p & keep));
    }
}

inline uint32_t greyOf(const GreyWeights& w, uint32_t p)
{
    return static_cast<uint32_t>(rndFast(w.b[p & 0xFF] + w.g[(p >> 8) & 0xFF] + w.r[(p >> 16) & 0xFF]));
}

void greyRowPlain(const uint8_t* s, uint8_t* d, int32_t n, uint32_t keep)
{
    const GreyWeights& w = greyWeights();
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t p = loadPixel(s + 4 * i);
        storePixel(d + 4 * i, greyOf(w, p) * 0x010101u | (p & keep));
    }
}

void greyTableRowPlain(const uint8_t* s, uint8_t* d, int32_t n, const ByteTable& t, uint32_t keep)
{
    const GreyWeights& w = greyWeights();
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t p = loadPixel(s + 4 * i);
        storePixel(d + 4 * i, uint32_t(t[greyOf(w, p)]) * 0x010101u | (p & keep));
    }
}

#if defined(__x86_64__)
// GCC's own wide-vector headers leave lanes "undefined" on purpose and then
// warn about them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#define TQ_VBMI_TARGET __attribute__((target("avx512f,avx512bw,avx512vbmi")))
#define TQ_GREY_TARGET __attribute__((target("avx512f,avx512bw,avx512vl,avx2")))
#define TQ_GREY_VBMI_TARGET __attribute__((target("avx512f,avx512bw,avx512vl,avx2,avx512vbmi")))

// A 256-entry table in four registers, and the look-up of 64 bytes in it:
// the byte-permute of two registers reads 128 entries by the low seven bits
// of each byte, the top bit picks which half.
struct WideTable {
    __m512i t0, t1, t2, t3;
};
TQ_VBMI_TARGET inline WideTable wideTable(const ByteTable& t)
{
    return {_mm512_loadu_si512(t.data()), _mm512_loadu_si512(t.data() + 64), _mm512_loadu_si512(t.data() + 128),
            _mm512_loadu_si512(t.data() + 192)};
}
TQ_VBMI_TARGET inline __m512i lookUp64(const WideTable& t, __m512i v)
{
    const __m512i low = _mm512_permutex2var_epi8(t.t0, v, t.t1);
    const __m512i high = _mm512_permutex2var_epi8(t.t2, v, t.t3);
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(v), low, high);
}

// Sixteen pixels through the three tables (all three alike: one look-up);
// the fourth bytes stay v's.
constexpr __mmask64 kBlueBytes = 0x1111111111111111ull;
TQ_VBMI_TARGET inline __m512i lookUp16(const WideTable& b, const WideTable& g, const WideTable& r, bool same, __m512i v)
{
    if (same) return _mm512_mask_blend_epi8(kBlueBytes * 7, v, lookUp64(b, v));
    __m512i out = _mm512_mask_blend_epi8(kBlueBytes, v, lookUp64(b, v));
    out = _mm512_mask_blend_epi8(kBlueBytes << 1, out, lookUp64(g, v));
    return _mm512_mask_blend_epi8(kBlueBytes << 2, out, lookUp64(r, v));
}

// Each wide row works sixteen pixels a step, and the row's last pixels
// under a mask: STEP(v) makes the result of sixteen source pixels v.
#define TQ_SIXTEEN_AT_A_TIME(STEP)                                                                                 \
    int32_t i = 0;                                                                                                 \
    for (; i + 16 <= n; i += 16) _mm512_storeu_si512(d + 4 * i, STEP(_mm512_loadu_si512(s + 4 * i)));              \
    if (i < n) {                                                                                                   \
        const __mmask16 k = static_cast<__mmask16>((1u << (n - i)) - 1);                                          \
        _mm512_mask_storeu_epi32(d + 4 * i, k, STEP(_mm512_maskz_loadu_epi32(k, s + 4 * i)));                      \
    }

TQ_VBMI_TARGET void tableRowWide(const uint8_t* s, uint8_t* d, int32_t n, const ByteTable& tb, const ByteTable& tg,
                                 const ByteTable& tr, uint32_t keep)
{
    const WideTable b = wideTable(tb), g = wideTable(tg), r = wideTable(tr);
    const bool same = tb == tg && tg == tr;
    const __m512i kept = _mm512_set1_epi32(static_cast<int32_t>(kColourBytes | keep));
#define TQ_STEP(v) _mm512_and_si512(lookUp16(b, g, r, same, v), kept)
    TQ_SIXTEEN_AT_A_TIME(TQ_STEP)
#undef TQ_STEP
}

// Eight greys from eight pixels' channels: the same products (a channel
// times its weight is the table's entry), the same sums in the same order,
// and the conversion rounds to nearest as rndFast does.
TQ_GREY_TARGET inline __m256i grey8(__m256i b, __m256i g, __m256i r)
{
    const __m512d sum = _mm512_add_pd(_mm512_add_pd(_mm512_mul_pd(_mm512_cvtepi32_pd(b), _mm512_set1_pd(0.071)),
                                                    _mm512_mul_pd(_mm512_cvtepi32_pd(g), _mm512_set1_pd(0.707))),
                                      _mm512_mul_pd(_mm512_cvtepi32_pd(r), _mm512_set1_pd(0.222)));
    return _mm512_cvtpd_epi32(sum);
}

// Sixteen pixels' grey in all three channels, the fourth bytes v's where
// kept has bits.
TQ_GREY_TARGET inline __m512i grey16(__m512i v, __m512i kept)
{
    const __m512i low = _mm512_set1_epi32(0xFF);
    const __m512i b = _mm512_and_si512(v, low);
    const __m512i g = _mm512_and_si512(_mm512_srli_epi32(v, 8), low);
    const __m512i r = _mm512_and_si512(_mm512_srli_epi32(v, 16), low);
    const __m256i lo = grey8(_mm512_castsi512_si256(b), _mm512_castsi512_si256(g), _mm512_castsi512_si256(r));
    const __m256i hi = grey8(_mm512_extracti64x4_epi64(b, 1), _mm512_extracti64x4_epi64(g, 1),
                             _mm512_extracti64x4_epi64(r, 1));
    const __m512i grey = _mm512_inserti64x4(_mm512_castsi256_si512(lo), hi, 1);
    return _mm512_or_si512(_mm512_mullo_epi32(grey, _mm512_set1_epi32(0x010101)), _mm512_and_si512(v, kept));
}

TQ_GREY_TARGET void greyRowWide(const uint8_t* s, uint8_t* d, int32_t n, uint32_t keep)
{
    const __m512i kept = _mm512_set1_epi32(static_cast<int32_t>(keep));
#define TQ_STEP(v) grey16(v, kept)
    TQ_SIXTEEN_AT_A_TIME(TQ_STEP)
#undef TQ_STEP
}

TQ_GREY_VBMI_TARGET void greyTableRowWide(const uint8_t* s, uint8_t* d, int32_t n, const ByteTable& t, uint32_t keep)
{
    const WideTable wt = wideTable(t);
    const __m512i kept = _mm512_set1_epi32(static_cast<int32_t>(keep));
#define TQ_STEP(v) lookUp16(wt, wt, wt, true, grey16(v, kept))
    TQ_SIXTEEN_AT_A_TIME(TQ_STEP)
#undef TQ_STEP
}

#undef TQ_SIXTEEN_AT_A_TIME
#pragma GCC diagnostic pop

bool byteTablesWide()
{
    static const bool vbmi = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                             __builtin_cpu_supports("avx512vbmi");
    return vbmi && wideVectorsAllowed();
}
#endif

} // namespace

void tableRow(const uint8_t* s, uint8_t* d, int32_t n, const ByteTable& tb, const ByteTable& tg, const ByteTable& tr,
              uint32_t keep)
{
#if defined(__x86_64__)
    if (byteTablesWide()) return tableRowWide(s, d, n, tb, tg, tr, keep);
#endif
    tableRowPlain(s, d, n, tb, tg, tr, keep);
}

void greyRow(const uint8_t* s, uint8_t* d, int32_t n, uint32_t keep)
{
#if defined(__x86_64__)
    if (wideWords()) return greyRowWide(s, d, n, keep);
#endif
    greyRowPlain(s, d, n, keep);
}

void greyTableRow(const uint8_t* s, uint8_t* d, int32_t n, const ByteTable& t, uint32_t keep)
{
#if defined(__x86_64__)
    if (wideWords() && byteTablesWide()) return greyTableRowWide(s, d, n, t, keep);
#endif
    greyTableRowPlain(s, d, n, t, keep);
}

void greyChannelRow(const uint8_t* s, uint8_t* d, int32_t n, const uint8_t* table, uint32_t keep)
{
    for (int32_t i = 0; i < n; ++i) {
        const uint32_t p = loadPixel(s + 4 * i);
        const uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
        const uint8_t* row = table + 256 * ((b + g + r) / 3);
        storePixel(d + 4 * i, uint32_t(row[b]) | uint32_t(row[g]) << 8 | uint32_t(row[r]) << 16 | (p & keep));
    }
}

} // namespace tq::walkdetail
