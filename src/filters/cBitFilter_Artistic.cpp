// The artistic filters: edge-keeping block choice (PAINTING, Dissolve),
// random displacement and noise from the program-wide generator, a pencil
// sketch, a dot screen and a block mosaic.
#include "filters/PixelWalks.h"
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
    return selectedChannels(f, 0, [candidates](const uint8_t* s, uint8_t* d, ptrdiff_t st) {
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
    Random& random = programRandom();
    // Every pixel of the box costs two draws, selected or not; the selection
    // test is made on the source, so sources are always selected pixels.
    BitsBuffer out = boxRows(*this, 0, Rows::InOrder, [&](int32_t y, int32_t x0, int32_t x1, const uint8_t*, uint8_t* d) {
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
    // The draws follow the walk's order: the rows stay in order.
    return selectedPixels(*this, 0, Rows::InOrder, [&](const uint8_t* s, uint8_t* d, ptrdiff_t, int32_t, int32_t) {
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
    return selectedPixels(*this, 0, Rows::Independent, [&](const uint8_t* s, uint8_t* d, ptrdiff_t st, int32_t, int32_t) {
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
    // Cells of side 2 Radius + 1 step 2 Radius through the box as tiles do:
    // none starts on its last column or row, which the cell before already
    // covers. A later cell's values stand where two overlap. Pixels outside
    // the picture count as unselected.
    const int32_t side = 2 * Radius + 1;
    const bool finished = cells(*this, 2 * Radius, [&](int32_t x0, int32_t y0) {
        int64_t sum[3] = {0, 0, 0};
        int64_t n = 0;
        cellPixels(*this, x0, y0, side, [&](int32_t x, int32_t y) {
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
        return cellPixels(*this, x0, y0, side, [&](int32_t x, int32_t y) {
            const int32_t dx = x - (x0 + Radius), dy = y - (y0 + Radius);
            const int32_t d2 = dx * dx + dy * dy;
            uint8_t* d = out.pixel(x, y);
            if (d2 > R2) {
                d[0] = d[1] = d[2] = 0;
                return true;
            }
            const float u = single(1.0 - static_cast<double>(d2) / R2);
            uint8_t v[3];
            for (int c = 0; c < 3; ++c)
                if (!toByte(static_cast<double>(u) * mean[c], v[c])) return false;
            d[0] = v[0];
            d[1] = v[1];
            d[2] = v[2];
            return true;
        });
    });
    if (!finished) return std::nullopt;
    return out;
}

FilterResult cBitFilter::PIXELIZE(int32_t PixSize)
{
    if (PixSize < 1) return std::nullopt;
    // The mean of every block the walk box touches. A block counts all its
    // pixels inside the picture, selected or not.
    SetRegionBounds(0);
    const int32_t bLeft = walkLeft() / PixSize, bTop = walkTop() / PixSize;
    const int32_t cols = walkLeft() <= walkRight() ? walkRight() / PixSize - bLeft + 1 : 0;
    const int32_t rows = walkTop() <= walkBottom() ? walkBottom() / PixSize - bTop + 1 : 0;
    std::vector<int32_t> means(3 * static_cast<size_t>(cols) * static_cast<size_t>(rows));
    forRows(*this, Rows::Independent, 0, cols > 0 ? rows - 1 : -1, [&](int32_t r) {
        const int32_t ys = (bTop + r) * PixSize, ye = std::min(ys + PixSize - 1, MaxY);
        for (int32_t c = 0; c < cols; ++c) {
            const int32_t xs = (bLeft + c) * PixSize, xe = std::min(xs + PixSize - 1, MaxX);
            int64_t sum[3] = {0, 0, 0};
            for (int32_t y = ys; y <= ye; ++y) {
                const uint8_t* s = Bits_.pixel(xs, y);
                for (int32_t x = xs; x <= xe; ++x, s += 4) {
                    sum[0] += s[0];
                    sum[1] += s[1];
                    sum[2] += s[2];
                }
            }
            const int64_t count = static_cast<int64_t>(xe - xs + 1) * (ye - ys + 1);
            int32_t* m = &means[3 * (static_cast<size_t>(r) * cols + c)];
            for (int k = 0; k < 3; ++k) m[k] = static_cast<int32_t>(sum[k] / count);
        }
    }, noTick);
    return selectedPixels(*this, 0, Rows::Independent, [&](const uint8_t*, uint8_t* d, ptrdiff_t, int32_t x, int32_t y) {
        const int32_t* m = &means[3 * (static_cast<size_t>(y / PixSize - bTop) * cols + (x / PixSize - bLeft))];
        d[0] = static_cast<uint8_t>(m[0]);
        d[1] = static_cast<uint8_t>(m[1]);
        d[2] = static_cast<uint8_t>(m[2]);
    });
}

} // namespace tq
