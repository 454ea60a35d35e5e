// General square convolution. Each selected pixel is the centre of a window
// whose weighted sums (one per channel) are divided by Weight, offset and
// clamped.
//
// The inner loop works one selected run of a row at a time: the window sums
// of the whole run are gathered coefficient by coefficient into a row of
// 32-bit accumulators (four lanes per pixel, a plain widening multiply-add
// over consecutive bytes, which the compiler vectorises), and the division,
// offset and clamp are one table look-up per channel: the sum of a window
// lies between 255 x (sum of the negative coefficients) and 255 x (sum of
// the positive ones), so every possible output is tabulated once per call.
// Kernels whose range is too wide for a table divide directly.
#include "filters/PixelWalk.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace tq {

namespace {

constexpr int64_t kMaxTable = int64_t(1) << 20;

uint8_t convolvedByte(int64_t sum, int32_t weight, int32_t offset) { return clampByte(sum / weight + offset); }

struct Tap {
    int32_t row, col, coef;
};

// The window sums of n / 4 consecutive pixels whose windows start at column
// x, row Y: every partial sum lies between the sums of the negative and of
// the positive coefficients times 255, so Acc never overflows.
template <class Acc>
void gatherRow(std::vector<Acc>& acc, const std::vector<Tap>& taps, const BitsBuffer& bits, int32_t x, int32_t Y,
               int32_t n)
{
    if (acc.size() < static_cast<size_t>(n)) acc.resize(static_cast<size_t>(n));
    Acc* A = acc.data();
    if (taps.empty()) {
        std::fill(A, A + n, Acc(0));
        return;
    }
    {   // The first tap sets the sums, the others add to them.
        const Tap& t = taps.front();
        const uint8_t* s = bits.pixel(x + t.col, Y + t.row);
        const Acc k = static_cast<Acc>(t.coef);
        for (int32_t q = 0; q < n; ++q) A[q] = static_cast<Acc>(k * s[q]);
    }
    for (size_t i = 1; i < taps.size(); ++i) {
        const Tap& t = taps[i];
        const uint8_t* s = bits.pixel(x + t.col, Y + t.row);
        const Acc k = static_cast<Acc>(t.coef);
        if (t.coef == 1) {
            for (int32_t q = 0; q < n; ++q) A[q] = static_cast<Acc>(A[q] + s[q]);
        } else if (t.coef == -1) {
            for (int32_t q = 0; q < n; ++q) A[q] = static_cast<Acc>(A[q] - s[q]);
        } else {
            for (int32_t q = 0; q < n; ++q) A[q] = static_cast<Acc>(A[q] + k * s[q]);
        }
    }
}

template <class Acc>
void writeRow(uint8_t* d, const Acc* A, int32_t n, int32_t low, const uint8_t* tb, const uint8_t* tg,
              const uint8_t* tr)
{
    for (int32_t q = 0; q < n; q += 4) {
        d[q] = tb[A[q] - low];
        d[q + 1] = tg[A[q + 1] - low];
        d[q + 2] = tr[A[q + 2] - low];
    }
}

} // namespace

FilterResult cBitFilter::MaskFilter(const KernelMask& mskBits, int32_t Weight, int32_t rFactor, int32_t gFactor,
                                    int32_t bFactor, bool KeepMargins)
{
    const int32_t c = mskBits.upperBound();
    // The buffer's border is two pixels wide: no window may be wider than 5.
    if (c < 0 || c > 4) return std::nullopt;
    const int32_t h = c / 2;

    if (!Bits_.allocated()) {
        raiseProgress(100);
        return Bits_;
    }

    // Window origins: the walk box moved by -h; with KeepMargins also kept
    // so that every window lies inside the picture.
    SetRegionBounds(0);
    int32_t oLeft = walkLeft() - h, oRight = walkRight() - h;
    int32_t oTop = walkTop() - h, oBottom = walkBottom() - h;
    if (KeepMargins) {
        oLeft = std::max(oLeft, 0);
        oTop = std::max(oTop, 0);
        oRight = std::min(oRight, MaxX - c);
        oBottom = std::min(oBottom, MaxY - c);
    }

    // Coefficients in use, with their position in the window.
    std::vector<Tap> taps;
    int64_t lowSum = 0, highSum = 0;
    for (int32_t j = 0; j <= c; ++j)
        for (int32_t i = 0; i <= c; ++i) {
            const int32_t k = mskBits(j, i);
            if (k == 0) continue;
            taps.push_back({j, i, k});
            (k < 0 ? lowSum : highSum) += static_cast<int64_t>(k) * 255;
        }
    // Sums are 32-bit: a kernel that could overflow them is taken one pixel
    // at a time in 64 bits, and fails at the first sum that does not fit.
    const bool fits32 = lowSum >= std::numeric_limits<int32_t>::min() && highSum <= std::numeric_limits<int32_t>::max();
    const int64_t range = highSum - lowSum + 1;
    const bool tabulated = fits32 && Weight != 0 && range <= kMaxTable;
    std::vector<uint8_t> table;
    if (tabulated) {
        table.resize(static_cast<size_t>(3 * range));
        const int32_t offsets[3] = {bFactor, gFactor, rFactor};
        for (int ch = 0; ch < 3; ++ch)
            for (int64_t s = lowSum; s <= highSum; ++s)
                table[static_cast<size_t>(ch * range + (s - lowSum))] = convolvedByte(s, Weight, offsets[ch]);
    }

    // Sums that fit 16 bits take a narrower accumulator: twice the lanes.
    const bool narrow = lowSum >= -32768 && highSum <= 32767;
    const int32_t low = static_cast<int32_t>(lowSum);
    const uint8_t* tb = table.data();
    const uint8_t* tg = tb + range;
    const uint8_t* tr = tg + range;
    // Each window's origin row is the pixel's row less h; progress follows
    // the origins.
    FilterResult out = produceRowsAs<true>(
        *this, Rows::Independent, oTop + h, oBottom + h,
        [&](int32_t y, const uint8_t*, uint8_t* dRow) {
            const int32_t Y = y - h;
            return clippedRuns(BitsRegion_, y, oLeft + h, oRight + h, [&](int32_t x0, int32_t x1) {
                if (Weight == 0) return false;   // the division fails at the first selected pixel
                const int32_t n = 4 * (x1 - x0 + 1);
                uint8_t* d = dRow + 4 * x0;
                if (tabulated) {
                    thread_local std::vector<int16_t> acc16;
                    thread_local std::vector<int32_t> acc32;
                    if (narrow) {
                        gatherRow(acc16, taps, Bits_, x0 - h, Y, n);
                        writeRow(d, acc16.data(), n, low, tb, tg, tr);
                    } else {
                        gatherRow(acc32, taps, Bits_, x0 - h, Y, n);
                        writeRow(d, acc32.data(), n, low, tb, tg, tr);
                    }
                    return true;
                }
                for (int32_t x = x0; x <= x1; ++x, d += 4) {
                    int64_t sum[3] = {0, 0, 0};
                    for (const Tap& t : taps) {
                        const uint8_t* s = Bits_.pixel(x - h + t.col, Y + t.row);
                        for (int ch = 0; ch < 3; ++ch) sum[ch] += static_cast<int64_t>(t.coef) * s[ch];
                    }
                    for (int ch = 0; ch < 3; ++ch)
                        if (sum[ch] < std::numeric_limits<int32_t>::min() || sum[ch] > std::numeric_limits<int32_t>::max())
                            return false;
                    d[0] = convolvedByte(sum[0], Weight, bFactor);
                    d[1] = convolvedByte(sum[1], Weight, gFactor);
                    d[2] = convolvedByte(sum[2], Weight, rFactor);
                }
                return true;
            });
        },
        [&](int32_t y) { progressAfterRow(y - h); });
    if (out) raiseProgress(100);
    return out;
}

} // namespace tq
