// A window of whole-number coefficients over the pixels of a bordered
// buffer: for each of blue, green and red the weighted sum of the window,
// divided by the weight (truncating toward zero), plus the channel's offset,
// held to 0..255. MaskFilter applies it with a kernel's coefficients; the
// neighbourhood members that are convolutions (Blurs, SOFTEN, SHARPEN,
// EDGEENHANCE, RELIEF, CONTOUR) apply their own.
//
// A run of pixels is worked three ways, all giving the same bytes:
// - wide: where the processor has 512-bit byte and word instructions and
//   every sum fits 16 bits, sixteen pixels a step, the sums in 16-bit lanes
//   and the division a multiply by a 16-bit reciprocal, exact for every sum
//   (see divideWide in WindowKernel.cpp);
// - tabulated: the sums of the run gathered coefficient by coefficient into
//   a row of 16- or 32-bit lanes, and every possible output of a sum looked
//   up in a table made once per kernel;
// - by pixel: sums taken in 64 bits, for kernels whose sums could leave the
//   32-bit range (then a sum that does leave it is a failure).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tq {

class WindowKernel {
public:
    // A coefficient at (dy, dx) from the pixel worked out.
    struct Tap {
        int32_t dy, dx, coef;
    };

    // Taps at the same place add up; zero coefficients are dropped. offsets:
    // blue, green, red.
    WindowKernel(const std::vector<Tap>& taps, int32_t weight, const int32_t offsets[3]);

    // The smallest and largest sum a channel's window can give.
    int64_t lowestSum() const { return lowSum_; }
    int64_t highestSum() const { return highSum_; }
    // Do all sums fit 32 bits (MaskFilter's arithmetic)?
    bool sumsFit32() const { return fits32_; }

    // The n pixels from d on, for the pixels from s on (s in a bordered
    // buffer of row stride bytes, every window inside it): blue, green and
    // red worked out, the fourth byte the pixel's own (s's). False when a sum
    // leaves the 32-bit range (only possible when sumsFit32() is false); the
    // pixels before it are written. The weight must not be 0.
    bool run(const uint8_t* s, ptrdiff_t stride, uint8_t* d, int32_t n) const;

private:
    void runTabulated(const uint8_t* s, ptrdiff_t stride, uint8_t* d, int32_t n) const;
    bool runByPixel(const uint8_t* s, ptrdiff_t stride, uint8_t* d, int32_t n) const;
    void runWide(const uint8_t* s, ptrdiff_t stride, uint8_t* d, int32_t n) const;

    static constexpr int kMaxTaps = 25;   // a 5 x 5 window
    std::vector<Tap> taps_;
    int32_t weight_;
    int32_t offsets_[3];
    int64_t lowSum_ = 0, highSum_ = 0;
    bool fits32_ = true;
    bool narrow_ = true;   // every sum fits 16 bits
    bool wide_ = false;
    // Tabulated outputs: blue, green, red tables of highSum - lowSum + 1.
    std::vector<uint8_t> table_;
    int64_t range_ = 0;
    // The wide division: q = (|sum| * reciprocal_) >> (16 + shift_), or
    // |sum| itself when the weight is 1 or -1.
    uint16_t reciprocal_ = 0;
    int32_t shift_ = 0;
    bool unitWeight_ = false;
};

} // namespace tq
