#include "filters/WindowKernel.h"

#include "filters/PixelWalks.h"

#include <algorithm>
#include <limits>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tq {

namespace {

// Kernels whose sums span more values than this divide without a table.
constexpr int64_t kMaxTable = int64_t(1) << 20;

uint8_t convolvedByte(int64_t sum, int32_t weight, int32_t offset) { return clampByte(sum / weight + offset); }

// The window sums of n / 4 consecutive pixels whose windows start at s:
// every partial sum lies between the sums of the negative and of the
// positive coefficients times 255, so Acc never overflows.
template <class Acc>
void gatherRow(std::vector<Acc>& acc, const std::vector<WindowKernel::Tap>& taps, const uint8_t* s, ptrdiff_t stride,
               int32_t n)
{
    if (acc.size() < static_cast<size_t>(n)) acc.resize(static_cast<size_t>(n));
    Acc* A = acc.data();
    if (taps.empty()) {
        std::fill(A, A + n, Acc(0));
        return;
    }
    {   // The first tap sets the sums, the others add to them.
        const WindowKernel::Tap& t = taps.front();
        const uint8_t* p = s + t.dy * stride + 4 * t.dx;
        const Acc k = static_cast<Acc>(t.coef);
        for (int32_t q = 0; q < n; ++q) A[q] = static_cast<Acc>(k * p[q]);
    }
    for (size_t i = 1; i < taps.size(); ++i) {
        const WindowKernel::Tap& t = taps[i];
        const uint8_t* p = s + t.dy * stride + 4 * t.dx;
        const Acc k = static_cast<Acc>(t.coef);
        if (t.coef == 1) {
            for (int32_t q = 0; q < n; ++q) A[q] = static_cast<Acc>(A[q] + p[q]);
        } else if (t.coef == -1) {
            for (int32_t q = 0; q < n; ++q) A[q] = static_cast<Acc>(A[q] - p[q]);
        } else {
            for (int32_t q = 0; q < n; ++q) A[q] = static_cast<Acc>(A[q] + k * p[q]);
        }
    }
}

template <class Acc>
void writeRow(const uint8_t* s, uint8_t* d, const Acc* A, int32_t n, int32_t low, const uint8_t* tb, const uint8_t* tg,
              const uint8_t* tr)
{
    for (int32_t q = 0; q < n; q += 4) {
        d[q] = tb[A[q] - low];
        d[q + 1] = tg[A[q + 1] - low];
        d[q + 2] = tr[A[q + 2] - low];
        d[q + 3] = s[q + 3];
    }
}

#if defined(__x86_64__)
bool wideWordsAvailable()
{
    static const bool yes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    return yes;
}
#endif

} // namespace

WindowKernel::WindowKernel(const std::vector<Tap>& taps, int32_t weight, const int32_t offsets[3])
    : weight_(weight), offsets_{offsets[0], offsets[1], offsets[2]}
{
    for (const Tap& t : taps) {
        if (t.coef == 0) continue;
        auto same = std::find_if(taps_.begin(), taps_.end(), [&](const Tap& u) { return u.dy == t.dy && u.dx == t.dx; });
        if (same != taps_.end()) same->coef += t.coef;
        else taps_.push_back(t);
    }
    taps_.erase(std::remove_if(taps_.begin(), taps_.end(), [](const Tap& t) { return t.coef == 0; }), taps_.end());
    for (const Tap& t : taps_) (t.coef < 0 ? lowSum_ : highSum_) += static_cast<int64_t>(t.coef) * 255;
    fits32_ = lowSum_ >= std::numeric_limits<int32_t>::min() && highSum_ <= std::numeric_limits<int32_t>::max();
    narrow_ = lowSum_ >= -32768 && highSum_ <= 32767;
    range_ = highSum_ - lowSum_ + 1;
    if (fits32_ && weight_ != 0 && range_ <= kMaxTable) {
        table_.resize(static_cast<size_t>(3 * range_));
        for (int ch = 0; ch < 3; ++ch)
            for (int64_t s = lowSum_; s <= highSum_; ++s)
                table_[static_cast<size_t>(ch * range_ + (s - lowSum_))] = convolvedByte(s, weight_, offsets_[ch]);
    }

    // The wide rows hold every sum, its magnitude and the offsets in 16-bit
    // lanes. The magnitude a of a sum is below 2^15; for a divisor d of 2 to
    // 2^15 - 1 with l = ceil(log2 d), m = ceil(2^(15 + l) / d) lies below
    // 2^16 and m d - 2^(15 + l) < d <= 2^l, so floor(a m / 2^(15 + l)) is
    // floor(a / d) for every such a (Granlund and Montgomery, theorem 4.2).
    const int64_t d = weight_ < 0 ? -int64_t(weight_) : int64_t(weight_);
    const bool offsetsFit = std::all_of(offsets_, offsets_ + 3, [](int32_t o) { return o >= -32767 && o <= 32767; });
    wide_ = weight_ != 0 && lowSum_ > -32768 && highSum_ < 32768 && offsetsFit &&
            taps_.size() <= static_cast<size_t>(kMaxTaps);
    unitWeight_ = d == 1;
    if (d >= 2 && d < 32768) {
        int32_t l = 0;
        while ((int64_t(1) << l) < d) ++l;
        reciprocal_ = static_cast<uint16_t>(((int64_t(1) << (15 + l)) + d - 1) / d);
        shift_ = l - 1;
    }   // a divisor of 2^15 or more leaves every such sum 0: reciprocal 0
}

bool WindowKernel::run(const uint8_t* s, ptrdiff_t stride, uint8_t* d, int32_t n) const
{
#if defined(__x86_64__)
    if (wide_ && wideVectorsAllowed() && wideWordsAvailable()) {
        runWide(s, stride, d, n);
        return true;
    }
#endif
    if (!table_.empty()) {
        runTabulated(s, stride, d, n);
        return true;
    }
    return runByPixel(s, stride, d, n);
}

void WindowKernel::runTabulated(const uint8_t* s, ptrdiff_t stride, uint8_t* d, int32_t n) const
{
    thread_local std::vector<int16_t> acc16;
    thread_local std::vector<int32_t> acc32;
    const int32_t bytes = 4 * n;
    const int32_t low = static_cast<int32_t>(lowSum_);
    const uint8_t* tb = table_.data();
    const uint8_t* tg = tb + range_;
    const uint8_t* tr = tg + range_;
    if (narrow_) {
        gatherRow(acc16, taps_, s, stride, bytes);
        writeRow(s, d, acc16.data(), bytes, low, tb, tg, tr);
    } else {
        gatherRow(acc32, taps_, s, stride, bytes);
        writeRow(s, d, acc32.data(), bytes, low, tb, tg, tr);
    }
}

bool WindowKernel::runByPixel(const uint8_t* s, ptrdiff_t stride, uint8_t* d, int32_t n) const
{
    for (int32_t x = 0; x < n; ++x, s += 4, d += 4) {
        int64_t sum[3] = {0, 0, 0};
        for (const Tap& t : taps_) {
            const uint8_t* p = s + t.dy * stride + 4 * t.dx;
            for (int ch = 0; ch < 3; ++ch) sum[ch] += static_cast<int64_t>(t.coef) * p[ch];
        }
        for (int ch = 0; ch < 3; ++ch)
            if (sum[ch] < std::numeric_limits<int32_t>::min() || sum[ch] > std::numeric_limits<int32_t>::max())
                return false;
        for (int ch = 0; ch < 3; ++ch) d[ch] = convolvedByte(sum[ch], weight_, offsets_[ch]);
        d[3] = s[3];
    }
    return true;
}

#if defined(__x86_64__)

// GCC's own wide-vector headers leave lanes "undefined" on purpose and then
// warn about them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#define TQ_WIDE_TARGET __attribute__((target("avx512f,avx512bw")))

namespace {

// sum / weight, truncated toward zero, plus the lane's offset, saturated to
// 16 bits: |sum| times the reciprocal, shifted, with the sign put back.
struct Division {
    __m512i reciprocal;
    __m128i shift;
    bool unit;             // weight 1 or -1
    bool nonNegative;      // every sum and the weight at least 0: no signs
    bool negativeWeight;
    __m512i offsets;
};

TQ_WIDE_TARGET inline __m512i divideWide(const Division& k, __m512i sum)
{
    if (k.nonNegative) {
        const __m512i q = k.unit ? sum : _mm512_srl_epi16(_mm512_mulhi_epu16(sum, k.reciprocal), k.shift);
        return _mm512_adds_epi16(q, k.offsets);
    }
    const __m512i a = _mm512_abs_epi16(sum);
    __m512i q = k.unit ? a : _mm512_srl_epi16(_mm512_mulhi_epu16(a, k.reciprocal), k.shift);
    __mmask32 negative = _mm512_movepi16_mask(sum);
    if (k.negativeWeight) negative = static_cast<__mmask32>(~negative);
    q = _mm512_mask_sub_epi16(q, negative, _mm512_setzero_si512(), q);
    return _mm512_adds_epi16(q, k.offsets);
}

// The taps of a window grouped by coefficient: the bytes of a group are
// summed, then the group's sum is added, taken away or multiplied once. A
// group's sum and its product stay within the window's range of sums, so no
// lane overflows.
struct WideTaps {
    struct Group {
        int32_t coef;
        __m512i factor;
        int count;
        ptrdiff_t at[25];
    };
    Group groups[25];
    int count = 0;
};

template <bool Masked>
TQ_WIDE_TARGET inline void widen(const uint8_t* p, __mmask64 bytes, __m512i& lo, __m512i& hi)
{
    if constexpr (Masked) {
        const __m512i v = _mm512_maskz_loadu_epi8(bytes, p);
        lo = _mm512_cvtepu8_epi16(_mm512_castsi512_si256(v));
        hi = _mm512_cvtepu8_epi16(_mm512_extracti64x4_epi64(v, 1));
    } else {
        lo = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
        hi = _mm512_cvtepu8_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + 32)));
    }
}

// The window sums of `Runs` runs of sixteen pixels (64 bytes each), two
// registers of 16-bit lanes a run: bytes 0..31 and 32..63 widened in order.
// `bytes` masks the loads of a last, shorter run (Runs 1).
template <int Runs, bool Masked>
TQ_WIDE_TARGET inline void windowSums(const WideTaps& taps, const uint8_t* s, __mmask64 bytes, __m512i* sum)
{
    for (int g = 0; g < 2 * Runs; ++g) sum[g] = _mm512_setzero_si512();
    for (int k = 0; k < taps.count; ++k) {
        const WideTaps::Group& group = taps.groups[k];
        __m512i part[2 * Runs];
        for (int r = 0; r < Runs; ++r) widen<Masked>(s + group.at[0] + 64 * r, bytes, part[2 * r], part[2 * r + 1]);
        for (int t = 1; t < group.count; ++t)
            for (int r = 0; r < Runs; ++r) {
                __m512i lo, hi;
                widen<Masked>(s + group.at[t] + 64 * r, bytes, lo, hi);
                part[2 * r] = _mm512_add_epi16(part[2 * r], lo);
                part[2 * r + 1] = _mm512_add_epi16(part[2 * r + 1], hi);
            }
        for (int g = 0; g < 2 * Runs; ++g) {
            if (group.coef == 1)
                sum[g] = _mm512_add_epi16(sum[g], part[g]);
            else if (group.coef == -1)
                sum[g] = _mm512_sub_epi16(sum[g], part[g]);
            else
                sum[g] = _mm512_add_epi16(sum[g], _mm512_mullo_epi16(part[g], group.factor));
        }
    }
}

// Sixteen pixels' bytes from their sums: packing the two halves pairs their
// 128-bit lanes, and the permutation puts the eight-byte pieces back in
// order. Saturating packs hold each value to 0..255; the marker bytes are
// the pixels' own.
TQ_WIDE_TARGET inline __m512i bytesOf(const Division& k, __m512i low, __m512i high, __m512i own)
{
    const __m512i inOrder = _mm512_set_epi64(7, 5, 3, 1, 6, 4, 2, 0);
    const __m512i out = _mm512_permutexvar_epi64(inOrder, _mm512_packus_epi16(divideWide(k, low), divideWide(k, high)));
    return _mm512_mask_blend_epi8(0x8888888888888888ull, out, own);
}

} // namespace

TQ_WIDE_TARGET void WindowKernel::runWide(const uint8_t* s, ptrdiff_t stride, uint8_t* d, int32_t n) const
{
    WideTaps taps;
    for (const Tap& tap : taps_) {
        int k = 0;
        while (k < taps.count && taps.groups[k].coef != tap.coef) ++k;
        WideTaps::Group& group = taps.groups[k];
        if (k == taps.count) {
            ++taps.count;
            group.coef = tap.coef;
            group.factor = _mm512_set1_epi16(static_cast<int16_t>(tap.coef));
            group.count = 0;
        }
        group.at[group.count++] = tap.dy * stride + 4 * tap.dx;
    }
    // Lanes hold blue, green, red, marker, blue, ... in both halves.
    const auto lane = [](int32_t v, int at) { return static_cast<uint64_t>(static_cast<uint16_t>(v)) << (16 * at); };
    const __m512i offsets =
        _mm512_set1_epi64(static_cast<long long>(lane(offsets_[0], 0) | lane(offsets_[1], 1) | lane(offsets_[2], 2)));
    const Division k{_mm512_set1_epi16(static_cast<int16_t>(reciprocal_)), _mm_cvtsi32_si128(shift_), unitWeight_,
                     lowSum_ >= 0 && weight_ > 0, weight_ < 0, offsets};
    int32_t i = 0;
    __m512i sum[4];
    for (; i + 32 <= n; i += 32, s += 128, d += 128) {
        windowSums<2, false>(taps, s, ~0ull, sum);
        _mm512_storeu_si512(d, bytesOf(k, sum[0], sum[1], _mm512_loadu_si512(s)));
        _mm512_storeu_si512(d + 64, bytesOf(k, sum[2], sum[3], _mm512_loadu_si512(s + 64)));
    }
    for (; i + 16 <= n; i += 16, s += 64, d += 64) {
        windowSums<1, false>(taps, s, ~0ull, sum);
        _mm512_storeu_si512(d, bytesOf(k, sum[0], sum[1], _mm512_loadu_si512(s)));
    }
    if (i < n) {
        const __mmask64 bytes = (~0ull) >> (64 - 4 * (n - i));
        windowSums<1, true>(taps, s, bytes, sum);
        _mm512_mask_storeu_epi8(d, bytes, bytesOf(k, sum[0], sum[1], _mm512_maskz_loadu_epi8(bytes, s)));
    }
}

#pragma GCC diagnostic pop

#else

void WindowKernel::runWide(const uint8_t*, ptrdiff_t, uint8_t*, int32_t) const {}

#endif

} // namespace tq
