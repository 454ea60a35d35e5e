// Shared pieces of the members that move or paint pixels: a fast rounding
// for hot loops, the selection test of a source point, the selected runs of
// one row, and the walk of an inverse mapping (destination -> source).
#pragma once

#include "filters/cBitFilter.h"

#include <algorithm>
#include <cstdint>
#include <type_traits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tq {

// rnd(v) for hot loops: the processor's conversion in its default rounding
// mode (nearest, ties to even). A value outside the 32-bit range, or NaN,
// gives INT32_MIN, which every caller treats as a point outside the picture.
inline int32_t rndFast(double v)
{
#if defined(__SSE2__)
    return _mm_cvtsd_si32(_mm_set_sd(v));
#else
    const double r = std::nearbyint(v);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) return INT32_MIN;
    return static_cast<int32_t>(r);
#endif
}

// Is a point selected: inside the region and inside the picture (a region
// reaching outside the picture never makes a member read outside it). A
// rectangular region, the common case, is tested without a search.
class SelectionTest {
public:
    explicit SelectionTest(const cBitFilter& f) : rg_(f.BitsRegion())
    {
        w_ = f.Bits().allocated() ? f.BitsWidth() : 0;
        h_ = f.Bits().allocated() ? f.BitsHeight() : 0;
        if (rg_ && rg_->bands().size() == 1 && rg_->bands().front().spans.size() == 1) {
            const Region::Band& b = rg_->bands().front();
            l_ = b.spans.front().x0 > 0 ? b.spans.front().x0 : 0;
            r_ = b.spans.front().x1 < w_ ? b.spans.front().x1 : w_;
            t_ = b.top > 0 ? b.top : 0;
            b_ = b.bottom < h_ ? b.bottom : h_;
            rect_ = true;
        }
    }
    bool operator()(int32_t x, int32_t y) const
    {
        if (rect_) return x >= l_ && x < r_ && y >= t_ && y < b_;
        if (!rg_ || x < 0 || y < 0 || x >= w_ || y >= h_) return false;
        return rg_->contains(x, y);
    }

private:
    const Region* rg_;
    int32_t w_ = 0, h_ = 0;
    bool rect_ = false;
    int32_t l_ = 0, r_ = 0, t_ = 0, b_ = 0;
};

// Calls fn(x0, x1) for each run of selected pixels of row y inside the
// columns lo..hi (inclusive) and inside the picture.
template <class Fn>
void forSelectedRuns(const cBitFilter& f, int32_t y, int32_t lo, int32_t hi, Fn&& fn)
{
    const Region* rg = f.BitsRegion();
    if (!rg || !f.Bits().allocated() || y < 0 || y >= f.BitsHeight()) return;
    if (lo < 0) lo = 0;
    if (hi > f.BitsWidth() - 1) hi = f.BitsWidth() - 1;
    rg->forEachSpan(y, [&](int32_t a, int32_t b) {
        const int32_t x0 = a > lo ? a : lo;
        const int32_t x1 = (b - 1) < hi ? (b - 1) : hi;
        if (x0 <= x1) fn(x0, x1);
    });
}

// The centre and radius of a disc placed relative to the picture (LENS,
// Light): the centre at xRel, yRel of the last column and row, the radius
// dRel of the larger of the two.
struct DiscSpot {
    int64_t cx, cy, R;
};
inline DiscSpot discSpot(const cBitFilter& f, float xRel, float yRel, float dRel)
{
    const int32_t MaxX = f.BitsWidth() - 1, MaxY = f.BitsHeight() - 1;
    return {rnd(static_cast<double>(xRel) * MaxX), rnd(static_cast<double>(yRel) * MaxY),
            rnd(static_cast<double>(dRel) * (MaxX > MaxY ? MaxX : MaxY))};
}

// The rows of a disc of radius R about row cy (LENS, Light): Y runs from -R
// to R; fn(Y, y) for each row y = cy + Y that lies in the picture, and after
// every row, in the picture or not, the progress rule with the percentage
// (Y + R) * 100 \ (2 R). A radius far beyond any picture (more than a
// million rows) skips the clock readings of the rows off the picture, which
// change nothing: walking them would stall the program. A row function may
// return bool: false is a failure that ends the walk at once, and the walk
// returns false.
template <class RowFn>
bool walkDiscRows(cBitFilter& f, int64_t R, int64_t cy, RowFn&& fn)
{
    constexpr int64_t kMaxDiscRadius = int64_t(1) << 20;
    const int64_t lastRow = f.BitsHeight() - 1;
    int64_t from = -R, to = R;
    if (R > kMaxDiscRadius) {
        from = std::max(from, -cy);
        to = std::min(to, lastRow - cy);
    }
    for (int64_t Y = from; Y <= to; ++Y) {
        const int64_t y = cy + Y;
        if (y >= 0 && y <= lastRow) {
            if constexpr (std::is_same_v<std::invoke_result_t<RowFn&, int64_t, int32_t>, bool>) {
                if (!fn(Y, static_cast<int32_t>(y))) return false;
            } else {
                fn(Y, static_cast<int32_t>(y));
            }
        }
        f.progressAfterStep(Y + R, 2 * R);
    }
    return true;
}

// The walk of the distortions: every pixel of the walk box (margin 0) is a
// destination; map(x, y, sx, sy) gives its source point. A selected source
// is copied (bytes 0..2); otherwise the destination turns black with
// cleanBack and keeps its value without. Progress per row, then 100.
template <class Map>
void inverseMapWalk(cBitFilter& f, BitsBuffer& out, bool cleanBack, Map&& map)
{
    const BitsBuffer& src = f.Bits();
    const SelectionTest selected(f);
    f.walkWalkBox(0, [&](int32_t y, int32_t x0, int32_t x1) {
        uint8_t* d = out.pixel(x0, y);
        for (int32_t x = x0; x <= x1; ++x, d += 4) {
            int32_t sx, sy;
            map(x, y, sx, sy);
            if (selected(sx, sy)) {
                const uint8_t* s = src.pixel(sx, sy);
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            } else if (cleanBack) {
                d[0] = 0;
                d[1] = 0;
                d[2] = 0;
            }
        }
    });
    f.raiseProgress(100);
}

} // namespace tq
