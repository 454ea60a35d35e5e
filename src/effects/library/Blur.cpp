#include "effects/library/Blur.h"

#include "effects/library/Parallel.h"

#include <algorithm>
#include <cmath>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tq::effects {

namespace {

// Division of a box sum by the box's size n (at least 2), rounded, by one
// multiplication: (sum + n / 2) x round(65536 / n) / 65536 while n < 256,
// which every lane of a 16-bit vector can do and which keeps every flat box
// exact, and a 64-bit product beyond.
struct BoxDivisor {
    explicit BoxDivisor(uint32_t n)
        : n_(n)
        , m16_((65536u + n / 2) / n)
        , m32_(((uint64_t(1) << 32) + n / 2) / n)
    {
    }
    uint32_t operator()(uint32_t sum) const
    {
        if (small()) return ((sum + n_ / 2) * m16_) >> 16;
        return static_cast<uint32_t>((sum * m32_ + (uint64_t(1) << 31)) >> 32);
    }
    bool small() const { return n_ < 256; }
    uint32_t n() const { return n_; }
    uint32_t m16() const { return m16_; }

private:
    uint32_t n_, m16_;
    uint64_t m32_;
};

// Rounded quotients sum / count for counts 1..n by one multiplication each
// (a division per channel per pixel would cost more than the blur).
class Reciprocals {
public:
    explicit Reciprocals(uint32_t n)
        : inv_(n + 1, 0)
    {
        for (uint32_t c = 1; c <= n; ++c) inv_[c] = (65536u + c / 2) / c;
    }
    uint32_t operator()(uint32_t sum, uint32_t count) const { return (sum * inv_[count] + 32768u) >> 16; }

private:
    std::vector<uint32_t> inv_;
};

#if defined(__SSE2__)
inline __m128i lanes16(uint32_t p)
{
    return _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(p)), _mm_setzero_si128());
}
#endif

// Along each row: the mean of 2r + 1 pixels, the four bytes as four lanes.
void boxRows(ConstPixels s, Pixels d, int32_t r)
{
    if (r <= 0) return copyPixels(s, d);
    const int32_t w = s.w;
    const uint32_t n = 2 * static_cast<uint32_t>(r) + 1;
    const BoxDivisor div(n);
    forBands(s.h, 8 * int64_t(w), [&](int32_t y0, int32_t y1) {
        std::vector<uint32_t> ext(static_cast<size_t>(w) + 2 * static_cast<size_t>(r) + 1);
        for (int32_t y = y0; y < y1; ++y) {
            const uint32_t* row = s.row(y);
            for (int32_t i = 0; i < r; ++i) ext[i] = row[0];
            std::copy(row, row + w, ext.begin() + r);
            for (size_t i = static_cast<size_t>(r) + w; i < ext.size(); ++i) ext[i] = row[w - 1];
            uint32_t* out = d.row(y);
#if defined(__SSE2__)
            if (div.small()) {
                // The four sums side by side in 16-bit lanes; the division
                // is the high half of the product.
                const __m128i m = _mm_set1_epi16(static_cast<int16_t>(div.m16()));
                const __m128i half = _mm_set1_epi16(static_cast<int16_t>(n / 2));
                __m128i sum = _mm_setzero_si128();
                for (uint32_t i = 0; i < n; ++i) sum = _mm_add_epi16(sum, lanes16(ext[i]));
                for (int32_t x = 0; x < w; ++x) {
                    const __m128i q = _mm_mulhi_epu16(_mm_add_epi16(sum, half), m);
                    out[x] = static_cast<uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(q, q))) & kColourMask;
                    sum = _mm_add_epi16(sum, _mm_sub_epi16(lanes16(ext[x + n]), lanes16(ext[x])));
                }
                continue;
            }
#endif
            uint32_t sb = 0, sg = 0, sr = 0;
            for (uint32_t i = 0; i < n; ++i) {
                sb += ext[i] & 0xFF;
                sg += (ext[i] >> 8) & 0xFF;
                sr += (ext[i] >> 16) & 0xFF;
            }
            for (int32_t x = 0; x < w; ++x) {
                out[x] = packBgr(div(sb), div(sg), div(sr));
                const uint32_t in = ext[x + n], gone = ext[x];
                sb += (in & 0xFF) - (gone & 0xFF);
                sg += ((in >> 8) & 0xFF) - ((gone >> 8) & 0xFF);
                sr += ((in >> 16) & 0xFF) - ((gone >> 16) & 0xFF);
            }
        }
    });
}

// Down each column: running column sums, one row added and one taken away
// per output row, so the walk stays row by row in memory. Bands of columns
// go to separate threads.
void boxColumns(ConstPixels s, Pixels d, int32_t r)
{
    if (r <= 0) return copyPixels(s, d);
    const int32_t h = s.h;
    const uint32_t n = 2 * static_cast<uint32_t>(r) + 1;
    const BoxDivisor div(n);
    forBands(s.w, 8 * int64_t(h), [&](int32_t x0, int32_t x1) {
        const size_t first = 4 * static_cast<size_t>(x0), lanes = 4 * static_cast<size_t>(x1 - x0);
        std::vector<uint32_t> sums(lanes, 0);
        const auto bytesOf = [&](int32_t y) {
            return reinterpret_cast<const uint8_t*>(s.row(std::clamp(y, 0, h - 1))) + first;
        };
        for (int32_t k = -r; k <= r; ++k) {
            const uint8_t* b = bytesOf(k);
            for (size_t i = 0; i < lanes; ++i) sums[i] += b[i];
        }
        for (int32_t y = 0; y < h; ++y) {
            uint8_t* out = reinterpret_cast<uint8_t*>(d.row(y)) + first;
            if (div.small()) {
                const uint32_t m = div.m16(), half = div.n() / 2;
                for (size_t i = 0; i < lanes; ++i) out[i] = static_cast<uint8_t>(((sums[i] + half) * m) >> 16);
            } else {
                for (size_t i = 0; i < lanes; ++i) out[i] = static_cast<uint8_t>(div(sums[i]));
            }
            uint32_t* outWords = d.row(y);
            for (int32_t x = x0; x < x1; ++x) outWords[x] &= kColourMask;
            const uint8_t* in = bytesOf(y + r + 1);
            const uint8_t* gone = bytesOf(y - r);
            for (size_t i = 0; i < lanes; ++i) sums[i] += static_cast<uint32_t>(in[i]) - gone[i];
        }
    });
}

// The tolerance blur along each row. The neighbours are taken one offset at
// a time for the whole row, so the inner loop runs over the row's pixels
// and the compiler can work it in vectors.
void toleranceRows(ConstPixels s, Pixels d, int32_t radius, int32_t tolerance)
{
    const int32_t w = s.w;
    const Reciprocals divide(2 * static_cast<uint32_t>(radius) + 1);
    forBands(s.h, int64_t(w) * (2 * radius + 1), [&](int32_t ya, int32_t yb) {
        std::vector<int32_t> grey(static_cast<size_t>(w));
        std::vector<uint32_t> sb(grey.size()), sg(grey.size()), sr(grey.size()), count(grey.size());
        for (int32_t y = ya; y < yb; ++y) {
            const uint32_t* line = s.row(y);
            // The pixel itself always counts: it starts the sums.
            for (int32_t i = 0; i < w; ++i) {
                const uint32_t p = line[i];
                grey[i] = static_cast<int32_t>(greyOf(p));
                sb[i] = p & 0xFF;
                sg[i] = (p >> 8) & 0xFF;
                sr[i] = (p >> 16) & 0xFF;
                count[i] = 1;
            }
            for (int32_t k = -radius; k <= radius; ++k) {
                if (k == 0) continue;
                const int32_t lo = std::max(0, -k), hi = std::min(w, w - k);
                for (int32_t i = lo; i < hi; ++i) {
                    // Counted by a 0 or 1 factor rather than a branch: which
                    // neighbours count changes from pixel to pixel.
                    const int32_t dg = grey[i + k] - grey[i];
                    const uint32_t in = (dg <= tolerance && dg >= -tolerance) ? 1u : 0u;
                    const uint32_t p = line[i + k];
                    sb[i] += (p & 0xFF) * in;
                    sg[i] += ((p >> 8) & 0xFF) * in;
                    sr[i] += ((p >> 16) & 0xFF) * in;
                    count[i] += in;
                }
            }
            uint32_t* out = d.row(y);
            for (int32_t i = 0; i < w; ++i)
                out[i] = packBgr(divide(sb[i], count[i]), divide(sg[i], count[i]), divide(sr[i], count[i]));
        }
    });
}

// The tolerance blur down each column, accumulated row by row so memory is
// read in order.
void toleranceColumns(ConstPixels s, Pixels d, int32_t radius, int32_t tolerance)
{
    const int32_t w = s.w, h = s.h;
    std::vector<uint8_t> grey(s.count());
    forRows(h, 2 * int64_t(w), [&](int32_t y) {
        const uint32_t* in = s.row(y);
        uint8_t* g = grey.data() + static_cast<size_t>(y) * w;
        for (int32_t x = 0; x < w; ++x) g[x] = static_cast<uint8_t>(greyOf(in[x]));
    });
    const Reciprocals divide(2 * static_cast<uint32_t>(radius) + 1);
    forBands(h, int64_t(w) * (2 * radius + 1), [&](int32_t ya, int32_t yb) {
        std::vector<uint32_t> sb(static_cast<size_t>(w)), sg(sb.size()), sr(sb.size()), count(sb.size());
        for (int32_t y = ya; y < yb; ++y) {
            const uint8_t* g0 = grey.data() + static_cast<size_t>(y) * w;
            const uint32_t* own = s.row(y);
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t p = own[x];
                sb[x] = p & 0xFF;
                sg[x] = (p >> 8) & 0xFF;
                sr[x] = (p >> 16) & 0xFF;
                count[x] = 1;
            }
            const int32_t a = std::max(0, y - radius), b = std::min(h - 1, y + radius);
            for (int32_t j = a; j <= b; ++j) {
                if (j == y) continue;
                const uint8_t* gj = grey.data() + static_cast<size_t>(j) * w;
                const uint32_t* line = s.row(j);
                for (int32_t x = 0; x < w; ++x) {
                    const int32_t dg = static_cast<int32_t>(gj[x]) - g0[x];
                    const uint32_t in = (dg <= tolerance && dg >= -tolerance) ? 1u : 0u;
                    const uint32_t p = line[x];
                    sb[x] += (p & 0xFF) * in;
                    sg[x] += ((p >> 8) & 0xFF) * in;
                    sr[x] += ((p >> 16) & 0xFF) * in;
                    count[x] += in;
                }
            }
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < w; ++x) {
                const uint32_t c = count[x];
                out[x] = packBgr(divide(sb[x], c), divide(sg[x], c), divide(sr[x], c));
            }
        }
    });
}

} // namespace

void addDifference(ConstPixels s, Pixels d, ConstPixels blurred, int32_t k)
{
    forRows(s.h, 8 * int64_t(s.w), [&](int32_t y) {
        const uint32_t* in = s.row(y);
        const uint32_t* bl = blurred.row(y);
        uint32_t* out = d.row(y);
        for (int32_t x = 0; x < s.w; ++x) {
            const uint32_t p = in[x], m = bl[x];
            uint32_t sum = 0;
            for (int c = 0; c < 24; c += 8) {
                const int32_t v = static_cast<int32_t>((p >> c) & 0xFF);
                const int32_t diff = v - static_cast<int32_t>((m >> c) & 0xFF);
                sum |= static_cast<uint32_t>(clamp255(v + ((diff * k + 128) >> 8))) << c;
            }
            out[x] = sum;
        }
    });
}

void boxBlur(ConstPixels s, Pixels d, int32_t rx, int32_t ry)
{
    rx = std::clamp(rx, 0, kMaxPictureSide);
    ry = std::clamp(ry, 0, kMaxPictureSide);
    if (rx == 0 && ry == 0) {
        copyPixels(s, d);
    } else if (ry == 0) {
        boxRows(s, d, rx);
    } else if (rx == 0) {
        boxColumns(s, d, ry);
    } else {
        Picture tmp(s.w, s.h);
        boxRows(s, tmp.view(), rx);
        boxColumns(tmp, d, ry);
    }
}

void gaussianBlur(ConstPixels s, Pixels d, double sigma)
{
    if (!(sigma >= 0.5)) {
        copyPixels(s, d);
        return;
    }
    sigma = std::min(sigma, 10000.0);
    // Three boxes whose combined variance is sigma^2: the widths wl and
    // wl + 2 (odd), m of the first.
    constexpr int boxes = 3;
    const double ideal = std::sqrt(12.0 * sigma * sigma / boxes + 1.0);
    int wl = static_cast<int>(std::floor(ideal));
    if (wl % 2 == 0) --wl;
    const int wu = wl + 2;
    const double mIdeal = (12.0 * sigma * sigma - boxes * wl * wl - 4.0 * boxes * wl - 3.0 * boxes) / (-4.0 * wl - 4.0);
    const int m = static_cast<int>(std::lround(mIdeal));
    // A box of radius 0 changes nothing: it is left out.
    std::vector<int32_t> radii;
    for (int i = 0; i < boxes; ++i)
        if (const int32_t r = ((i < m ? wl : wu) - 1) / 2; r > 0) radii.push_back(r);
    if (radii.empty()) return copyPixels(s, d);
    Picture tmp(s.w, s.h);
    for (size_t i = 0; i < radii.size(); ++i) {
        boxRows(i == 0 ? s : ConstPixels(d), tmp.view(), radii[i]);
        boxColumns(tmp, d, radii[i]);
    }
}

void toleranceBlur(ConstPixels s, Pixels d, int32_t radius, int32_t tolerance)
{
    if (radius <= 0) {
        copyPixels(s, d);
        return;
    }
    Picture tmp(s.w, s.h);
    toleranceRows(s, tmp.view(), radius, tolerance);
    toleranceColumns(tmp, d, radius, tolerance);
}

} // namespace tq::effects
