// General square convolution: each selected pixel is the centre of a window
// whose weighted sums (one per channel) are divided by Weight, offset and
// clamped; WindowKernel does the arithmetic.
#include "filters/PixelWalks.h"
#include "filters/WindowKernel.h"

#include <algorithm>
#include <vector>

namespace tq {

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

    // Coefficient (j, i) weighs the pixel j - h rows and i - h columns away.
    std::vector<WindowKernel::Tap> taps;
    for (int32_t j = 0; j <= c; ++j)
        for (int32_t i = 0; i <= c; ++i) taps.push_back({j - h, i - h, mskBits(j, i)});
    const int32_t offsets[3] = {bFactor, gFactor, rFactor};
    const WindowKernel kernel(taps, Weight, offsets);
    const ptrdiff_t stride = Bits_.stride();

    // Each window's origin row is the pixel's row less h; progress follows
    // the origins.
    FilterResult out = walkdetail::wholePixelSpans<true, false>(
        *this, oTop + h, oBottom + h, oLeft + h, oRight + h,
        [&](int32_t, int32_t x0, int32_t x1, const uint8_t* s, uint8_t* d) {
            if (Weight == 0) return false;   // the division fails at the first selected pixel
            return kernel.run(s, stride, d, x1 - x0 + 1);
        },
        [&](int32_t y) { progressAfterRow(y - h); });
    if (out) raiseProgress(100);
    return out;
}

} // namespace tq
