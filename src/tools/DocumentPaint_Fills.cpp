// Tolerance flood fills with a colour or a tiled texture.
//
// Which pixels a fill paints does not depend on the order it visits them
// in: every pixel is visited at most once (the clicked one is marked before
// the fill spreads, so it is blended once), and a pixel's colour is still
// the one it had before the fill when it is tested, so the area is the
// set of region pixels within tolerance that a four-neighbour path of such
// pixels joins to the clicked pixel. That lets the fill go by runs along the
// rows (a scanline fill) with an explicit stack of runs, FillFront, instead
// of one list entry per pixel: the stack stays small, each visit is a few
// byte reads on raw rows, and the region is read by its row spans.
#include "tools/DocumentPaint.h"

#include "document/Numeric.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace tq {

template <class Accept, class Paint>
void DocumentPaint::floodFrom(int32_t xs, int32_t ys, Accept&& accept, Paint&& paint)
{
    const Region* rgn = GetPaintRegion();
    const int32_t W = bits_.width();
    const int32_t H = bits_.height();
    FillFront_.clear();

    // Visits pixel x of row y (known to lie in the region): marks it and, when
    // it is within tolerance, paints it. True when it was painted.
    const auto visit = [&](uint8_t* done, uint8_t* row, int32_t x, int32_t y) -> bool {
        if (done[x]) return false;
        done[x] = 1;
        uint8_t* p = row + 4 * static_cast<ptrdiff_t>(x);
        if (!accept(p)) return false;
        paint(p, x, y);
        return true;
    };
    // Visits the pixels right of x up to the first one refused (or the end of
    // the span, b exclusive) and returns the last one painted. The stretch is
    // found first and then marked and painted in one go.
    const auto extendRight = [&](uint8_t* done, uint8_t* row, int32_t x, int32_t b, int32_t y) -> int32_t {
        int32_t e = x + 1;
        while (e < b && !done[e] && accept(row + 4 * static_cast<ptrdiff_t>(e))) ++e;
        if (e > x + 1) {
            std::memset(done + x + 1, 1, static_cast<size_t>(e - x - 1));
            uint8_t* p = row + 4 * static_cast<ptrdiff_t>(x + 1);
            for (int32_t i = x + 1; i < e; ++i, p += 4) paint(p, i, y);
        }
        if (e < b) done[e] = 1;   // visited and refused (or marked before)
        return e - 1;
    };
    // The same leftwards down to the span's start a.
    const auto extendLeft = [&](uint8_t* done, uint8_t* row, int32_t x, int32_t a, int32_t y) -> int32_t {
        int32_t e = x - 1;
        while (e >= a && !done[e] && accept(row + 4 * static_cast<ptrdiff_t>(e))) --e;
        if (e < x - 1) {
            std::memset(done + e + 1, 1, static_cast<size_t>(x - 1 - e));
            uint8_t* p = row + 4 * static_cast<ptrdiff_t>(e + 1);
            for (int32_t i = e + 1; i < x; ++i, p += 4) paint(p, i, y);
        }
        if (e >= a) done[e] = 1;
        return e + 1;
    };

    // Visits the pixels of row y next to the painted run l..r and pushes the
    // runs painted there; a run may reach past l or r along its row as far
    // as its region span goes.
    const auto scanRow = [&](int32_t y, int32_t l, int32_t r) {
        if (y < 0 || y >= H) return;
        uint8_t* done = doneRow(y);
        uint8_t* row = bits_.row(y);
        forEachRegionRun(rgn, y, 0, W, [&](int32_t a, int32_t b) {
            if (b <= l || a > r) return;
            int32_t x = a > l ? a : l;
            const int32_t last = b - 1 < r ? b - 1 : r;
            while (x <= last) {
                // Most of a row next to a painted run was visited already
                // (from the run's other side): skip such stretches whole.
                if (done[x]) {
                    const void* open = std::memchr(done + x, 0, static_cast<size_t>(last - x) + 1);
                    if (open == nullptr) break;
                    x = static_cast<int32_t>(static_cast<const uint8_t*>(open) - done);
                }
                if (!visit(done, row, x, y)) {
                    ++x;
                    continue;
                }
                // Only a run that starts at l can reach further left: one
                // that starts later has a refused pixel or the span's edge
                // on its left.
                const int32_t x0 = x == l ? extendLeft(done, row, x, a, y) : x;
                const int32_t x1 = extendRight(done, row, x, b, y);
                FillFront_.push_back(FrontRun{x0, x1, y});
                x = x1 + 2;   // x1 + 1 was visited and refused, or lies outside the span
            }
        });
    };

    // The clicked pixel's own row: the run through it, whether or not the
    // clicked pixel itself lies in the region.
    int32_t x0 = xs;
    int32_t x1 = xs;
    {
        uint8_t* done = doneRow(ys);
        uint8_t* row = bits_.row(ys);
        forEachRegionRun(rgn, ys, 0, W, [&](int32_t a, int32_t b) {
            if (a <= xs - 1 && xs - 1 < b) x0 = extendLeft(done, row, xs, a, ys);
            if (a <= xs + 1 && xs + 1 < b) x1 = extendRight(done, row, xs, b, ys);
        });
    }
    FillFront_.push_back(FrontRun{x0, x1, ys});

    while (!FillFront_.empty()) {
        const FrontRun run = FillFront_.back();
        FillFront_.pop_back();
        scanRow(run.y - 1, run.x0, run.x1);
        scanRow(run.y + 1, run.x0, run.x1);
    }
}

void DocumentPaint::BitsFill(int32_t xFill, int32_t yFill, int32_t Color, int32_t Tolerance, int32_t Pressure)
{
    if (!hasPicture()) return;
    if (xFill < 0 || yFill < 0 || xFill >= bits_.width() || yFill >= bits_.height()) return;
    ensureDoneBits();

    uint8_t* seed = bits_.pixel(xFill, yFill);
    const int sB = seed[0], sG = seed[1], sR = seed[2];
    const uint8_t colour[3] = {colorBlue(Color), colorGreen(Color), colorRed(Color)};
    const float h = single(1.0 - Pressure / 100.0);   // share of the old colour
    const float c = single(1.0 - h);                  // share of the fill colour

    if (inRegion(GetPaintRegion(), xFill, yFill))
        for (int k = 0; k < 3; ++k) toByte(static_cast<double>(h) * seed[k] + static_cast<double>(c) * colour[k], seed[k]);
    // The clicked pixel counts as visited, so it is blended this once.
    doneRow(yFill)[xFill] = 1;

    // A colour this close to the clicked one would change hardly anything.
    if (std::abs(colour[2] - sR) < 10 && std::abs(colour[1] - sG) < 10 && std::abs(colour[0] - sB) < 10) return;

    uint8_t table[3][256];
    for (int k = 0; k < 3; ++k) {
        const int32_t m = rnd(static_cast<double>(c) * colour[k]);
        for (int v = 0; v < 256; ++v) {
            const double t = rndDouble(static_cast<double>(h) * v + m);
            table[k][v] = t > 255.0 ? 255 : (t >= 0.0 ? static_cast<uint8_t>(t) : static_cast<uint8_t>(v));
        }
    }

    floodFrom(
        xFill, yFill,
        [&](const uint8_t* p) {
            return std::abs(p[0] - sB) + std::abs(p[1] - sG) + std::abs(p[2] - sR) <= Tolerance;
        },
        [&](uint8_t* p, int32_t, int32_t) {
            p[0] = table[0][p[0]];
            p[1] = table[1][p[1]];
            p[2] = table[2][p[2]];
        });
}

void DocumentPaint::BitsFillTexture(int32_t xFill, int32_t yFill, const PaintSource& mBits, int32_t Tolerance,
                                   int32_t Pressure)
{
    if (!hasPicture()) return;
    if (xFill < 0 || yFill < 0 || xFill >= bits_.width() || yFill >= bits_.height()) return;
    if (mBits.empty()) return;
    ensureDoneBits();
    const int32_t tw = mBits.width;
    const int32_t th = mBits.height;

    uint8_t* seed = bits_.pixel(xFill, yFill);
    const int sB = seed[0], sG = seed[1], sR = seed[2];
    const float h = single(1.0 - Pressure / 100.0);
    const float c = single(1.0 - h);
    const uint8_t* te = mBits.pixel(xFill % tw, yFill % th);

    if (inRegion(GetPaintRegion(), xFill, yFill))
        for (int k = 0; k < 3; ++k) toByte(static_cast<double>(h) * seed[k] + static_cast<double>(c) * te[k], seed[k]);
    doneRow(yFill)[xFill] = 1;

    if (std::abs(te[0] - sB) <= 9 && std::abs(te[1] - sG) <= 9 && std::abs(te[2] - sR) <= 9) return;

    int32_t table[256];
    for (int v = 0; v < 256; ++v) table[v] = rnd(static_cast<double>(h) * v);
    // The texture's share of every element, worked out once.
    std::vector<int32_t> texture(static_cast<size_t>(tw) * static_cast<size_t>(th) * 3);
    for (int32_t y = 0; y < th; ++y)
        for (int32_t x = 0; x < tw; ++x) {
            const uint8_t* s = mBits.pixel(x, y);
            int32_t* t = &texture[(static_cast<size_t>(y) * tw + x) * 3];
            for (int k = 0; k < 3; ++k) t[k] = rnd(static_cast<double>(c) * s[k]);
        }

    floodFrom(
        xFill, yFill,
        [&](const uint8_t* p) {
            return std::abs(p[0] - sB) + std::abs(p[1] - sG) + std::abs(p[2] - sR) <= Tolerance;
        },
        [&](uint8_t* p, int32_t x, int32_t y) {
            const int32_t* t = &texture[(static_cast<size_t>(y % th) * tw + x % tw) * 3];
            for (int k = 0; k < 3; ++k) {
                const int32_t v = t[k] + table[p[k]];
                if (v > 255)
                    p[k] = 255;
                else if (v >= 0)
                    p[k] = static_cast<uint8_t>(v);
            }
        });
}

} // namespace tq
