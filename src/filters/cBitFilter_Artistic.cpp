// The artistic filters: edge-keeping block choice (PAINTING, Dissolve),
// random displacement and noise from the program-wide generator, a pencil
// sketch, a dot screen and a block mosaic.
#include "filters/PixelWalk.h"
#include "filters/TileSteps.h"
#include "filters/cBitFilter.h"
#include "platform/Random.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace tq {

namespace {

// Each channel takes the mean of the 3 x 3 block (with the pixel at one
// corner) whose values deviate least from their own mean; the blocks are,
// in order, upper-left, upper-right, lower-left, lower-right, and an
// earlier block wins a tie.
BitsBuffer blockChoice(cBitFilter& f, int32_t candidates)
{
    return eachSelectedChannel(f, 0, [candidates](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
        // Top-left corner of each block relative to the pixel.
        const ptrdiff_t corners[4] = {-2 * st - 8, -2 * st, -8, 0};
        int32_t best = INT_MAX;
        int32_t bestMean = 0;
        for (int32_t b = 0; b < candidates; ++b) {
            const uint8_t* p = s + corners[b];
            int32_t v[9];
            int32_t sum = 0;
            for (int r = 0; r < 3; ++r)
                for (int q = 0; q < 3; ++q) sum += v[r * 3 + q] = p[r * st + 4 * q];
            const int32_t mean = sum / 9;
            int32_t dev = 0;
            for (int32_t k : v) dev += std::abs(k - mean);
            if (dev < best) {
                best = dev;
                bestMean = mean;
            }
        }
        *d = static_cast<uint8_t>(bestMean);
    });
}

} // namespace

BitsBuffer cBitFilter::PAINTING() { return blockChoice(*this, 3); }

BitsBuffer cBitFilter::Dissolve() { return blockChoice(*this, 4); }

BitsBuffer cBitFilter::DIFFUSE(int32_t wFactor, int32_t hFactor)
{
    const float w2 = single(static_cast<double>(wFactor) / 2.0);
    const float h2 = single(static_cast<double>(hFactor) / 2.0);
    BitsBuffer out = Bits_;
    Random& random = programRandom();
    // Every pixel of the box costs two draws, selected or not; the selection
    // test is made on the source, so sources are always selected pixels.
    walkWalkBox(0, [&](int32_t y, int32_t x0, int32_t x1) {
        uint8_t* d = out.pixel(x0, y);
        for (int32_t x = x0; x <= x1; ++x, d += 4) {
            const float r1 = random.next();
            const float r2 = random.next();
            const int32_t sx = rnd(x + static_cast<double>(r1) * wFactor - static_cast<double>(w2));
            const int32_t sy = rnd(y + static_cast<double>(r2) * hFactor - static_cast<double>(h2));
            if (sx < 0 || sx > MaxX || sy < 0 || sy > MaxY || !BitsRegion_->contains(sx, sy)) continue;
            const uint8_t* s = Bits_.pixel(sx, sy);
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
        }
    });
    raiseProgress(100);
    return out;
}

BitsBuffer cBitFilter::NOISE(int32_t Factor, bool Equalized)
{
    Random& random = programRandom();
    const double span = 2.0 * Factor + 1.0;
    return eachSelectedPixel(*this, 0, [&](const uint8_t* s, uint8_t* d, ptrdiff_t, int32_t, int32_t) {
        float rR, rG, rB;
        if (Equalized) {
            rR = rG = rB = random.next();
        } else {
            rR = random.next();
            rG = random.next();
            rB = random.next();
        }
        const auto noisy = [&](uint8_t v, float r) {
            return clampByte(rnd(v + (span * static_cast<double>(r) - Factor)));
        };
        d[2] = noisy(s[2], rR);
        d[1] = noisy(s[1], rG);
        d[0] = noisy(s[0], rB);
    });
}

BitsBuffer cBitFilter::SKETCH(int32_t Factor, bool BW, int32_t BackColor)
{
    const uint8_t backB = colorBlue(BackColor), backG = colorGreen(BackColor), backR = colorRed(BackColor);
    return eachSelectedPixel(*this, 0, [&](const uint8_t* s, uint8_t* d, ptrdiff_t st, int32_t, int32_t) {
        int32_t total = 0;
        for (int k = 0; k < 3; ++k) total += 8 * s[k] - sumOfEight(s + k, st) + 255;
        const bool light = total / 3 > Factor;
        if (BW) {
            d[0] = d[1] = d[2] = light ? 255 : 0;
        } else if (light) {
            d[0] = backB;
            d[1] = backG;
            d[2] = backR;
        }
    });
}

FilterResult cBitFilter::HALFTONE(int32_t Radius, int32_t Definition, int32_t Intensity)
{
    // A radius below 1 would never advance from one cell to the next.
    if (Radius < 1) return std::nullopt;
    const float k = single((static_cast<double>(Intensity) + 100.0) / 100.0);
    if (k == 0.0f) return std::nullopt;
    const int32_t R2 = rnd((static_cast<double>(Radius) + Definition) / Radius * Radius * Radius);
    BitsBuffer out = Bits_;
    if (!Bits_.allocated()) {
        raiseProgress(100);
        return out;
    }
    SetRegionBounds(0);
    const int32_t left = walkLeft(), right = walkRight(), top = walkTop(), bottom = walkBottom();
    const int32_t side = 2 * Radius + 1;
    const Region* rg = BitsRegion_;
    // The selected columns of one cell row, per row of the cell: pixels
    // outside the picture count as unselected.
    const auto forSelected = [&](int32_t x0, int32_t y, auto&& fn) {
        if (y < 0 || y > MaxY) return;
        const int32_t xEnd = std::min(x0 + side - 1, MaxX);
        rg->forEachSpan(y, [&](int32_t a, int32_t b) {
            const int32_t from = std::max({a, x0, 0});
            const int32_t to = std::min(b - 1, xEnd);
            for (int32_t x = from; x <= to; ++x) fn(x);
        });
    };
    // Cells step through the box as tiles do: none starts on its last
    // column or row, which the cell before already covers.
    const TileSteps cellCols = TileSteps::over(left, right, 2 * Radius);
    const TileSteps cellRows = TileSteps::over(top, bottom, 2 * Radius);
    for (int32_t row = 0; row < cellRows.count; ++row) {
        const int32_t y0 = cellRows.corner(row);
        for (int32_t col = 0; col < cellCols.count; ++col) {
            const int32_t x0 = cellCols.corner(col);
            int64_t sum[3] = {0, 0, 0};
            int64_t n = 0;
            for (int32_t y = y0; y < y0 + side; ++y)
                forSelected(x0, y, [&](int32_t x) {
                    const uint8_t* s = Bits_.pixel(x, y);
                    sum[0] += s[0];
                    sum[1] += s[1];
                    sum[2] += s[2];
                    ++n;
                });
            const int32_t m = rnd(static_cast<double>(n) / static_cast<double>(k));
            double mean[3];
            for (int c = 0; c < 3; ++c) {
                if (m > 0) {
                    const int32_t v = rnd(static_cast<double>(sum[c]) / m);
                    mean[c] = v > 255 ? 255 : v;
                } else {
                    mean[c] = static_cast<double>(sum[c]);
                }
            }
            bool failed = false;
            for (int32_t y = y0; y < y0 + side && !failed; ++y) {
                const int32_t dy = y - (y0 + Radius);
                forSelected(x0, y, [&](int32_t x) {
                    if (failed) return;
                    const int32_t dx = x - (x0 + Radius);
                    const int32_t d2 = dx * dx + dy * dy;
                    uint8_t* d = out.pixel(x, y);
                    if (d2 > R2) {
                        d[0] = d[1] = d[2] = 0;
                        return;
                    }
                    const float u = single(1.0 - static_cast<double>(d2) / R2);
                    uint8_t v[3];
                    for (int c = 0; c < 3; ++c)
                        if (!toByte(static_cast<double>(u) * mean[c], v[c])) {
                            failed = true;
                            return;
                        }
                    d[0] = v[0];
                    d[1] = v[1];
                    d[2] = v[2];
                });
            }
            if (failed) return std::nullopt;
        }
        progressAfterRow(y0);
    }
    raiseProgress(100);
    return out;
}

FilterResult cBitFilter::PIXELIZE(int32_t PixSize)
{
    if (PixSize < 1) return std::nullopt;
    const BitsBuffer& src = Bits_;
    // Means of the blocks of one block row, computed when first needed. A
    // block counts all its pixels inside the picture, selected or not.
    std::vector<int32_t> means;
    std::vector<char> known;
    int32_t blockRow = -1;
    const auto blockMean = [&](int32_t bx, int32_t by) -> const int32_t* {
        if (by != blockRow) {
            blockRow = by;
            const size_t blocks = static_cast<size_t>(MaxX / PixSize + 1);
            means.assign(3 * blocks, 0);
            known.assign(blocks, 0);
        }
        int32_t* m = &means[3 * static_cast<size_t>(bx)];
        if (!known[static_cast<size_t>(bx)]) {
            known[static_cast<size_t>(bx)] = 1;
            const int32_t xs = bx * PixSize, ys = by * PixSize;
            const int32_t xe = std::min(xs + PixSize - 1, MaxX), ye = std::min(ys + PixSize - 1, MaxY);
            int64_t sum[3] = {0, 0, 0};
            for (int32_t y = ys; y <= ye; ++y) {
                const uint8_t* s = src.pixel(xs, y);
                for (int32_t x = xs; x <= xe; ++x, s += 4) {
                    sum[0] += s[0];
                    sum[1] += s[1];
                    sum[2] += s[2];
                }
            }
            const int64_t count = static_cast<int64_t>(xe - xs + 1) * (ye - ys + 1);
            for (int c = 0; c < 3; ++c) m[c] = static_cast<int32_t>(sum[c] / count);
        }
        return m;
    };
    return eachSelectedPixel(*this, 0, [&](const uint8_t*, uint8_t* d, ptrdiff_t, int32_t x, int32_t y) {
        const int32_t* m = blockMean(x / PixSize, y / PixSize);
        d[0] = static_cast<uint8_t>(m[0]);
        d[1] = static_cast<uint8_t>(m[1]);
        d[2] = static_cast<uint8_t>(m[2]);
    });
}

} // namespace tq
