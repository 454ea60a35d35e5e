// The fixed neighbourhood filters: each selected pixel is computed from a
// small window of Bits, never from pixels already written. Windows at the
// picture's edge read the buffer's two-pixel border. The members that are
// convolutions hand their coefficients to WindowKernel; the rank members
// take byte minima and maxima, sixteen pixels a step where the processor
// can.
#include "filters/PixelWalks.h"
#include "filters/WindowKernel.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <vector>
#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tq {

namespace {

using Taps = std::vector<WindowKernel::Tap>;

// The eight neighbours at distance r, each weighing `each`.
Taps ringOfEight(int32_t r, int32_t each)
{
    return {{-r, -r, each}, {-r, 0, each}, {-r, r, each}, {0, -r, each},
            {0, r, each},   {r, -r, each}, {r, 0, each},  {r, r, each}};
}

// A member's kernel: coefficients and divisor as the member's formula
// gives them, which may lie beyond 32 bits for arguments far outside their
// range; then, or when a sum could leave 32 bits, there is none and the
// member works pixel by pixel in 64 bits.
std::optional<WindowKernel> memberKernel(Taps taps, int64_t centre, int64_t divisor, int32_t offset = 0)
{
    const auto fits = [](int64_t v) { return v >= INT32_MIN && v <= INT32_MAX; };
    if (!fits(centre) || !fits(divisor)) return std::nullopt;
    taps.push_back({0, 0, static_cast<int32_t>(centre)});
    const int32_t offsets[3] = {offset, offset, offset};
    WindowKernel k(taps, static_cast<int32_t>(divisor), offsets);
    if (!k.sumsFit32()) return std::nullopt;
    return k;
}

// The kernel's bytes for the selected pixels of the walk box shrunk by
// margin.
BitsBuffer convolve(cBitFilter& f, int32_t margin, const WindowKernel& k)
{
    const ptrdiff_t stride = f.Bits().stride();
    return selectedWholePixels(f, margin, [&](int32_t, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
        k.run(s, stride, d, x1 - x0 + 1);
    });
}

} // namespace

FilterResult cBitFilter::Blurs(int32_t Factor)
{
    // Reading further than two pixels would leave the buffer's border.
    if (Factor < -2 || Factor > 2) return std::nullopt;
    // The mean of the eight pixels at distance Factor (all of them the pixel
    // itself for 0).
    return convolve(*this, 0, *memberKernel(ringOfEight(Factor, 1), 0, 8));
}

FilterResult cBitFilter::SOFTEN(int32_t Factor)
{
    const int64_t centre = 101 - static_cast<int64_t>(Factor);
    const int64_t divisor = 105 - static_cast<int64_t>(Factor);
    if (divisor == 0) return std::nullopt;
    // Unclamped: a value outside a byte (Factor out of its range) is a
    // failed step and leaves the byte as it was. Where no sum can give such
    // a value the kernel's clamp never acts, and the kernel stands for it.
    const std::optional<WindowKernel> k = memberKernel({{-1, 0, 1}, {0, -1, 1}, {0, 1, 1}, {1, 0, 1}}, centre, divisor);
    if (k) {
        const int64_t a = k->lowestSum() / divisor, b = k->highestSum() / divisor;
        if (std::min(a, b) >= 0 && std::max(a, b) <= 255) return convolve(*this, 1, *k);
    }
    return selectedChannels(*this, 1, [&](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
        const int64_t v = (centre * s[0] + s[-4] + s[4] + s[-st] + s[st]) / divisor;
        if (v >= 0 && v <= 255) *d = static_cast<uint8_t>(v);
    });
}

FilterResult cBitFilter::SHARPEN(int32_t Factor)
{
    const int64_t centre = 124 - static_cast<int64_t>(Factor);
    const int64_t divisor = 108 - static_cast<int64_t>(Factor);
    if (divisor == 0) return std::nullopt;
    if (const std::optional<WindowKernel> k = memberKernel(ringOfEight(1, -2), centre, divisor))
        return convolve(*this, 1, *k);
    return selectedChannels(*this, 1, [&](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
        *d = clampByte((centre * s[0] - 2 * static_cast<int64_t>(sumOfEight(s, st))) / divisor);
    });
}

FilterResult cBitFilter::EDGEENHANCE(int32_t Factor)
{
    const int64_t centre = static_cast<int64_t>(Factor) + 9;
    const int64_t divisor = static_cast<int64_t>(Factor) + 1;
    if (divisor == 0) return std::nullopt;
    if (const std::optional<WindowKernel> k = memberKernel(ringOfEight(1, -1), centre, divisor))
        return convolve(*this, 0, *k);
    return selectedChannels(*this, 0, [&](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
        *d = clampByte((centre * s[0] - sumOfEight(s, st)) / divisor);
    });
}

BitsBuffer cBitFilter::RELIEF()
{
    // (c + 2 nw + n + w - e - s - 2 se) \ 2 + 50, clamped.
    return convolve(*this, 0,
                    *memberKernel({{-1, -1, 2}, {-1, 0, 1}, {0, -1, 1}, {0, 1, -1}, {1, 0, -1}, {1, 1, -2}}, 1, 2, 50));
}

namespace {

// EMBOSS and Engrave: one grey from the difference between a pixel and its
// lower-right neighbour, t(diff) = rnd(|diff x depth + 128|) summed over the
// three channels, \ 3, clamped.
struct Relief {
    double depth;
    int32_t sign;
    ptrdiff_t stride;   // the lower-right neighbour lies stride + 4 bytes on

    uint8_t grey(const uint8_t* s) const
    {
        int32_t total = 0;
        for (int c = 0; c < 3; ++c) {
            const int32_t diff = sign * (s[c] - s[stride + 4 + c]);
            total += rnd(std::fabs(static_cast<double>(diff) * depth + 128.0));
        }
        return clampByte(total / 3);
    }
};

inline void setGrey(uint8_t* d, uint8_t g, uint8_t marker)
{
    d[0] = d[1] = d[2] = g;
    d[3] = marker;
}

#if defined(__x86_64__)
// GCC's own wide-vector headers leave lanes "undefined" on purpose and then
// warn about them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#define TQ_RELIEF_TARGET __attribute__((target("avx512f,avx512bw")))

// The grey of sixteen pixels a step: the difference times depth is exact in
// double precision (nine bits by twenty-four), and so is adding 128, so the
// conversion, which rounds to nearest even as rnd() does, gives t(diff)
// exactly; the caller makes sure t stays below 2^31 / 3, so the sum of
// three fits and \ 3 of a sum at least 768 clamps to 255 anyway.
TQ_RELIEF_TARGET inline __m256i reliefOf(__m256i diff, __m512d depth, __m512d half)
{
    const __m512d x = _mm512_add_pd(_mm512_mul_pd(_mm512_cvtepi32_pd(diff), depth), half);
    return _mm512_cvtpd_epi32(_mm512_abs_pd(x));
}

TQ_RELIEF_TARGET void reliefRunWide(const Relief& k, const uint8_t* s, uint8_t* d, int32_t n)
{
    const __m512d depth = _mm512_set1_pd(k.depth), half = _mm512_set1_pd(128.0);
    const __m512i byteMask = _mm512_set1_epi32(0xFF), most = _mm512_set1_epi32(767);
    const __m512i third = _mm512_set1_epi32(43691);   // x \ 3 = (x 43691) >> 17 for x < 2^16
    const __m512i grey3 = _mm512_set1_epi32(0x010101), markers = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
    for (int32_t i = 0; i < n; i += 16, s += 64, d += 64) {
        const __mmask16 pixels = n - i >= 16 ? 0xFFFF : static_cast<__mmask16>((1u << (n - i)) - 1);
        const __m512i a = _mm512_maskz_loadu_epi32(pixels, s);
        const __m512i b = _mm512_maskz_loadu_epi32(pixels, s + k.stride + 4);
        __m512i total = _mm512_setzero_si512();
        for (int c = 0; c < 3; ++c) {
            const __m512i ac = _mm512_and_si512(_mm512_srli_epi32(a, 8 * c), byteMask);
            const __m512i bc = _mm512_and_si512(_mm512_srli_epi32(b, 8 * c), byteMask);
            const __m512i diff = k.sign > 0 ? _mm512_sub_epi32(ac, bc) : _mm512_sub_epi32(bc, ac);
            const __m512i tc = _mm512_inserti64x4(_mm512_castsi256_si512(reliefOf(_mm512_castsi512_si256(diff), depth, half)),
                                                  reliefOf(_mm512_extracti64x4_epi64(diff, 1), depth, half), 1);
            total = _mm512_add_epi32(total, tc);
        }
        const __m512i g = _mm512_srli_epi32(_mm512_mullo_epi32(_mm512_min_epi32(total, most), third), 17);
        const __m512i out = _mm512_or_si512(_mm512_mullo_epi32(_mm512_min_epi32(g, byteMask), grey3),
                                            _mm512_and_si512(a, markers));
        _mm512_mask_storeu_epi32(d, pixels, out);
    }
}

bool reliefRowsWide()
{
    static const bool yes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    return yes && wideVectorsAllowed();
}
#pragma GCC diagnostic pop
#endif

// The picture's last column copies the pixel to its left in the result, the
// last row the pixel above. That pixel above is the grey of its own
// difference when it is selected, else as Bits holds it, so every row is
// made from Bits alone.
BitsBuffer embossLike(cBitFilter& f, int32_t Factor, int32_t sign)
{
    const float depth = single(static_cast<double>(Factor) / 10.0);
    const int32_t maxX = f.BitsWidth() - 1;
    const int32_t maxY = f.BitsHeight() - 1;
    const ptrdiff_t st = f.Bits().stride();
    const Relief k{static_cast<double>(depth), sign, st};
    const SelectionTest selected(f);
#if defined(__x86_64__)
    // Wide rows where three greys' sums stay within 32 bits.
    const bool wide = reliefRowsWide() && std::fabs(static_cast<double>(depth)) * 255.0 + 128.0 < 7.0e8;
#endif
    return selectedWholePixels(f, 0, [&](int32_t y, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
        int32_t x = x0;
        if (y < maxY) {
            const int32_t regular = std::min(x1, maxX - 1) - x0 + 1;   // pixels before the last column
            if (regular > 0) {
#if defined(__x86_64__)
                if (wide) {
                    reliefRunWide(k, s, d, regular);
                    x += regular;
                    s += 4 * regular;
                    d += 4 * regular;
                }
#endif
                for (; x <= x0 + regular - 1; ++x, s += 4, d += 4) setGrey(d, k.grey(s), s[3]);
            }
        }
        for (; x <= x1; ++x, s += 4, d += 4) {
            if (x == maxX) {
                d[0] = d[-4];
                d[1] = d[-3];
                d[2] = d[-2];
                d[3] = s[3];
            } else if (!selected(x, y - 1)) {
                d[0] = s[-st];
                d[1] = s[-st + 1];
                d[2] = s[-st + 2];
                d[3] = s[3];
            } else {
                setGrey(d, k.grey(s - st), s[3]);
            }
        }
    });
}

} // namespace

BitsBuffer cBitFilter::EMBOSS(int32_t Factor) { return embossLike(*this, Factor, 1); }

BitsBuffer cBitFilter::Engrave(int32_t Factor) { return embossLike(*this, Factor, -1); }

FilterResult cBitFilter::CONTOUR(int32_t Factor, int32_t BackColor)
{
    const uint8_t backB = colorBlue(BackColor), backG = colorGreen(BackColor), backR = colorRed(BackColor);
    // Each channel 8 c - (sum of the eight neighbours) + 255, clamped; a pixel
    // whose mean of the three lies at Factor or above takes BackColor.
    const WindowKernel edges = *memberKernel(ringOfEight(1, -1), 8, 1, 255);
    const ptrdiff_t stride = Bits_.stride();
    const uint32_t back = uint32_t(backB) | uint32_t(backG) << 8 | uint32_t(backR) << 16;
    return selectedWholePixels(*this, 0, [&](int32_t, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
        edges.run(s, stride, d, x1 - x0 + 1);
        walkdetail::wordsInPlace(d, x1 - x0 + 1, [back, Factor](uint32_t p) {
            const int32_t grey = static_cast<int32_t>((p & 0xFF) + ((p >> 8) & 0xFF) + ((p >> 16) & 0xFF)) / 3;
            return grey < Factor ? p : back | (p & kMarkerByte);
        });
    });
}

namespace {

// The rank members: each channel the least or the greatest of the bytes at
// the given offsets from the pixel.
enum class Rank { Least, Greatest };

// n whole pixels: the marker byte is the pixel's own.
void rankRun(Rank rank, const ptrdiff_t* at, int count, const uint8_t* s, uint8_t* d, int32_t n)
{
    for (int32_t x = 0; x < n; ++x, s += 4, d += 4) {
        for (int c = 0; c < 3; ++c) {
            uint8_t v = s[at[0] + c];
            for (int k = 1; k < count; ++k)
                v = rank == Rank::Least ? std::min(v, s[at[k] + c]) : std::max(v, s[at[k] + c]);
            d[c] = v;
        }
        d[3] = s[3];
    }
}

#if defined(__x86_64__)
#define TQ_RANK_TARGET __attribute__((target("avx512f,avx512bw")))

// Sixteen pixels a step: the byte minima or maxima of 64 bytes at a time.
TQ_RANK_TARGET void rankRunWide(Rank rank, const ptrdiff_t* at, int count, const uint8_t* s, uint8_t* d, int32_t n)
{
    constexpr __mmask64 kMarkers = 0x8888888888888888ull;
    int32_t i = 0;
    // The marker bytes are the pixels' own.
    if (rank == Rank::Least) {
        for (; i + 16 <= n; i += 16, s += 64, d += 64) {
            __m512i v = _mm512_loadu_si512(s + at[0]);
            for (int k = 1; k < count; ++k) v = _mm512_min_epu8(v, _mm512_loadu_si512(s + at[k]));
            _mm512_storeu_si512(d, _mm512_mask_blend_epi8(kMarkers, v, _mm512_loadu_si512(s)));
        }
    } else {
        for (; i + 16 <= n; i += 16, s += 64, d += 64) {
            __m512i v = _mm512_loadu_si512(s + at[0]);
            for (int k = 1; k < count; ++k) v = _mm512_max_epu8(v, _mm512_loadu_si512(s + at[k]));
            _mm512_storeu_si512(d, _mm512_mask_blend_epi8(kMarkers, v, _mm512_loadu_si512(s)));
        }
    }
    if (i < n) {
        const __mmask64 bytes = (~0ull) >> (64 - 4 * (n - i));
        __m512i v = _mm512_maskz_loadu_epi8(bytes, s + at[0]);
        for (int k = 1; k < count; ++k) {
            const __m512i w = _mm512_maskz_loadu_epi8(bytes, s + at[k]);
            v = rank == Rank::Least ? _mm512_min_epu8(v, w) : _mm512_max_epu8(v, w);
        }
        _mm512_mask_storeu_epi8(d, bytes, _mm512_mask_blend_epi8(kMarkers, v, _mm512_maskz_loadu_epi8(bytes, s)));
    }
}

bool rankRunsWide()
{
    static const bool yes = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
    return yes && wideVectorsAllowed();
}
#endif

// The offsets (dy, dx) of the window, in the order the formula reads them.
struct Place {
    int32_t dy, dx;
};
BitsBuffer rankFilter(cBitFilter& f, int32_t margin, Rank rank, std::initializer_list<Place> places)
{
    const ptrdiff_t stride = f.Bits().stride();
    std::vector<ptrdiff_t> at;
    for (const Place& p : places) at.push_back(p.dy * stride + 4 * p.dx);
#if defined(__x86_64__)
    const bool wide = rankRunsWide();
#endif
    return selectedWholePixels(f, margin, [&](int32_t, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
#if defined(__x86_64__)
        if (wide) return rankRunWide(rank, at.data(), static_cast<int>(at.size()), s, d, x1 - x0 + 1);
#endif
        rankRun(rank, at.data(), static_cast<int>(at.size()), s, d, x1 - x0 + 1);
    });
}

constexpr std::initializer_list<Place> kSquare = {{-1, -1}, {-1, 0}, {-1, 1}, {0, -1}, {0, 0},
                                                 {0, 1},   {1, -1}, {1, 0},  {1, 1}};
constexpr std::initializer_list<Place> kCross = {{0, 0}, {0, -1}, {0, 1}, {-1, 0}, {1, 0}};
constexpr std::initializer_list<Place> kDiagonals = {{0, 0}, {-1, -1}, {-1, 1}, {1, -1}, {1, 1}};

} // namespace

BitsBuffer cBitFilter::DILATE() { return rankFilter(*this, 0, Rank::Greatest, kSquare); }

BitsBuffer cBitFilter::ERODE() { return rankFilter(*this, 0, Rank::Least, kSquare); }

// The minimum walks with margin 1, the maximum with margin 0.
FilterResult cBitFilter::RankFilterN4(int32_t fltType)
{
    if (fltType == 0) return rankFilter(*this, 1, Rank::Least, kCross);
    if (fltType == 1) return rankFilter(*this, 0, Rank::Greatest, kCross);
    return std::nullopt;
}

FilterResult cBitFilter::RankFilterND(int32_t fltType)
{
    if (fltType == 0) return rankFilter(*this, 1, Rank::Least, kDiagonals);
    if (fltType == 1) return rankFilter(*this, 0, Rank::Greatest, kDiagonals);
    return std::nullopt;
}

} // namespace tq
