#include "gdi/cAlphaDibSection.h"

#include "platform/SystemColors.h"

#include <algorithm>
#include <cmath>
#include <random>
#include <stdexcept>
#include <vector>

namespace tq {

void cAlphaDibSection::CreateFromHBitmap(const DibRecord* hBmp)
{
    // The copy carries colours only: the alpha bytes stay 0.
    createFromBitmap(hBmp ? *hBmp : DibRecord{});
}

void cAlphaDibSection::PaintPicture(const BitmapSurface& lHDC, int32_t lDestLeft, int32_t lDestTop,
                                    int32_t lDestWidth, int32_t lDestHeight, int32_t lSrcLeft, int32_t lSrcTop,
                                    uint32_t eRop) const
{
    paint(lHDC, lDestLeft, lDestTop, lDestWidth, lDestHeight, lSrcLeft, lSrcTop,
          [&](int32_t left, int32_t top, int32_t width, int32_t height, int32_t srcLeft, int32_t srcTop) {
              bitBlt(lHDC, left, top, width, height, surface(), srcLeft, srcTop, eRop);
          });
}

namespace {

// Calls f(pixel) for every pixel of a 32-bit bitmap's memory.
template <class F>
void eachPixel(uint8_t* bits, int32_t w, int32_t h, F f)
{
    if (!bits || w < 1 || h < 1) return;
    uint8_t* p = bits;
    const size_t n = size_t(w) * size_t(h);
    for (size_t i = 0; i < n; ++i, p += 4) f(p);
}

} // namespace

void cAlphaDibSection::RandomiseBits(bool bGray)
{
    if (!hdc()) return;
    std::mt19937 generator(secondsSinceMidnight());
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    auto r = [&] { return uniform(generator); };
    eachPixel(DIBSectionBitsPtr(), Width(), Height(), [&](uint8_t* p) {
        if (bGray) {
            const double v = std::rint(r() * 255.0);
            const double a = std::rint(r() * 255.0);
            p[0] = p[1] = p[2] = uint8_t(std::rint(a * v / 255.0));
            p[3] = uint8_t(a);
        } else {
            const double a = std::rint(r() * 255.0);
            p[3] = uint8_t(a);
            for (int c = 0; c < 3; ++c) p[c] = uint8_t(std::rint(r() * 255.0 * a / 255.0));
        }
    });
}

void cAlphaDibSection::PreMultiplyAlpha()
{
    eachPixel(DIBSectionBitsPtr(), Width(), Height(), [](uint8_t* p) {
        const uint32_t a = p[3];
        p[0] = uint8_t(p[0] * a / 255);
        p[1] = uint8_t(p[1] * a / 255);
        p[2] = uint8_t(p[2] * a / 255);
    });
}

bool cAlphaDibSection::AreAllAlphaBytesZero() const
{
    const uint8_t* bits = DIBSectionBitsPtr();
    if (!bits || Width() < 1 || Height() < 1) return true;
    const size_t n = size_t(Width()) * size_t(Height());
    for (size_t i = 0; i < n; ++i)
        if (bits[4 * i + 3] != 0) return false;
    return true;
}

void cAlphaDibSection::SetColourTransparent(int32_t oColor)
{
    const int32_t colour = translateColor(oColor).value_or(0);
    const uint8_t r = uint8_t(colour & 0xFF);
    const uint8_t g = uint8_t((colour >> 8) & 0xFF);
    const uint8_t b = uint8_t((colour >> 16) & 0xFF);
    eachPixel(DIBSectionBitsPtr(), Width(), Height(), [&](uint8_t* p) {
        if (p[0] == b && p[1] == g && p[2] == r) p[3] = 0;
    });
}

void cAlphaDibSection::SetAlpha(uint8_t bAlphaSet)
{
    const uint32_t a = bAlphaSet;
    eachPixel(DIBSectionBitsPtr(), Width(), Height(), [a](uint8_t* p) {
        p[0] = uint8_t(p[0] * a / 255);
        p[1] = uint8_t(p[1] * a / 255);
        p[2] = uint8_t(p[2] * a / 255);
        p[3] = uint8_t(a);
    });
}

std::unique_ptr<cDIBSection> cAlphaDibSection::Resample(int32_t lNewWidth, int32_t lNewHeight) const
{
    return resampledCopy(*this, 4, lNewWidth, lNewHeight);
}

namespace {

// Every destination pixel the mean of a bx x by block: the mean
// premultiplied colour of its pixels that are not fully transparent, and
// the mean alpha of the whole block.
void blockAverage(const uint8_t* src, int32_t W, uint8_t* dst, int32_t dW, int32_t dH, int32_t bx, int32_t by)
{
    const size_t srcStride = 4u * size_t(W);
    const size_t dstStride = 4u * size_t(dW);
    for (int32_t c = 0; c < dW; ++c) {
        for (int32_t r = 0; r < dH; ++r) {
            int64_t sumA = 0, sumB = 0, sumG = 0, sumR = 0, k = 0;
            for (int32_t yy = r * by; yy < r * by + by; ++yy) {
                const uint8_t* p = src + srcStride * size_t(yy) + 4u * size_t(c * bx);
                for (int32_t xx = 0; xx < bx; ++xx, p += 4) {
                    const int64_t a = p[3];
                    sumA += a;
                    if (a > 0) {
                        sumB += p[0] * a / 255;
                        sumG += p[1] * a / 255;
                        sumR += p[2] * a / 255;
                        ++k;
                    }
                }
            }
            uint8_t* d = dst + dstStride * size_t(r) + 4u * size_t(c);
            if (k > 0) {
                d[0] = uint8_t(sumB / k);
                d[1] = uint8_t(sumG / k);
                d[2] = uint8_t(sumR / k);
            }
            d[3] = uint8_t(sumA / (int64_t(bx) * by));
        }
    }
}

// One source pixel covers s x s destination pixels (s = N / W for both
// directions, the height following the width) and gives its share to the
// one, two or four destination pixels it overlaps. The sums are rounded at
// every addition, in the order of the source pixels (columns outer, rows
// inner), then scaled by the area ratio with two truncations.
void coverageAverage(const uint8_t* src, int32_t W, int32_t H, int32_t N, uint8_t* dst, int32_t dW, int32_t dH)
{
    const float s = float(double(N) / double(W));
    const size_t accW = size_t(dW) + 1;   // the spare column and row take what spills over the edges
    std::vector<int32_t> acc(accW * (size_t(dH) + 1) * 4, 0);

    struct Step {
        int32_t cell;     // the first destination column (row)
        bool straddles;   // it reaches into the next one too
        float w;          // its share in the first
        float rest;       // 1 - w, its share in the next
    };
    auto step = [&](int32_t i) {
        const double p = double(i) * double(N) / double(W);
        const int32_t cell = int32_t(std::floor(p));
        const float f = float(p);
        Step st{cell, double(cell) + 1.0 < double(f) + double(s), 1.0f, 0.0f};
        if (st.straddles) {
            st.w = float(1.0 - ((double(f) + double(s)) - (double(cell) + 1.0)) / double(s));
            st.rest = float(1.0 - double(st.w));
        }
        return st;
    };
    std::vector<Step> rows(static_cast<size_t>(H));
    for (int32_t y = 0; y < H; ++y) rows[size_t(y)] = step(y);

    auto addWeighted = [&](size_t cell, const uint8_t* p, float w) {
        int32_t* a = acc.data() + 4 * cell;
        if (p[3] > 0) {
            for (int c = 0; c < 3; ++c) a[c] = int32_t(std::rint(double(a[c]) + double(p[c]) * double(w)));
        }
        a[3] = int32_t(std::rint(double(a[3]) + double(p[3]) * double(w)));
    };

    const size_t srcStride = 4u * size_t(W);
    for (int32_t x = 0; x < W; ++x) {
        const Step col = step(x);
        const uint8_t* p = src + 4u * size_t(x);
        for (int32_t y = 0; y < H; ++y, p += srcStride) {
            const Step& row = rows[size_t(y)];
            const size_t here = size_t(row.cell) * accW + size_t(col.cell);
            if (!col.straddles && !row.straddles) {
                int32_t* a = acc.data() + 4 * here;
                if (p[3] > 0) {
                    a[0] += p[0];
                    a[1] += p[1];
                    a[2] += p[2];
                }
                a[3] += p[3];
            } else if (!row.straddles) {
                addWeighted(here, p, col.w);
                addWeighted(here + 1, p, col.rest);
            } else if (!col.straddles) {
                addWeighted(here, p, row.w);
                addWeighted(here + accW, p, row.rest);
            } else {
                addWeighted(here, p, float(double(col.w) * double(row.w)));
                addWeighted(here + 1, p, float(double(col.rest) * double(row.w)));
                addWeighted(here + accW, p, float(double(col.w) * double(row.rest)));
                addWeighted(here + accW + 1, p, float(double(col.rest) * double(row.rest)));
            }
        }
    }

    const size_t dstStride = 4u * size_t(dW);
    for (int32_t r = 0; r < dH; ++r) {
        for (int32_t c = 0; c < dW; ++c) {
            const int32_t* a = acc.data() + 4 * (size_t(r) * accW + size_t(c));
            uint8_t* d = dst + dstStride * size_t(r) + 4u * size_t(c);
            for (int k = 0; k < 4; ++k) {
                const int64_t v = (int64_t(a[k]) * N / W * N) / W;
                d[k] = uint8_t(std::clamp<int64_t>(v, 0, 255));
            }
        }
    }
}

} // namespace

std::unique_ptr<cAlphaDibSection> cAlphaDibSection::AlphaResample(int32_t lNewWidth) const
{
    const int32_t W = Width();
    const int32_t H = Height();
    const int32_t N = lNewWidth;
    if (W == 0 || N == 0) throw std::domain_error("Division by zero");
    const int64_t area = int64_t(H) * N;
    const int64_t NH = area / W + (area % W != 0 ? 1 : 0);
    auto result = std::make_unique<cAlphaDibSection>();
    if (NH > kMaxPictureSide || !result->Create(N, int32_t(NH)))
        throw std::domain_error("The reduced bitmap cannot be made");
    const uint8_t* src = DIBSectionBitsPtr();
    if (!src || W < 1 || H < 1) throw std::domain_error("The bitmap is empty");
    const int32_t dW = result->Width();
    const int32_t dH = result->Height();
    if (W % dW == 0 && H % dH == 0)
        blockAverage(src, W, result->DIBSectionBitsPtr(), dW, dH, W / dW, H / dH);
    else
        coverageAverage(src, W, H, N, result->DIBSectionBitsPtr(), dW, dH);
    return result;
}

} // namespace tq
