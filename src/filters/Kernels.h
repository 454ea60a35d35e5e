// Convolution kernels: the coefficient square that MaskFilter applies, the
// record that carries it with its divisor and channel offsets, and the
// fourteen kernels the program ships with.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tq {

// A square of whole-number coefficients, Mask(row, column): row 0 is the top
// row of the window, column 0 its left column. Always square by
// construction; MaskFilter accepts sides 1 to 5 (the buffer's border is two
// pixels wide).
class KernelMask {
public:
    KernelMask() = default;
    explicit KernelMask(int32_t side) : n_(side > 0 ? side : 0), v_(static_cast<size_t>(n_) * n_, 0) {}

    int32_t side() const { return n_; }
    // The upper bound of either dimension (2 for 3 x 3, 4 for 5 x 5).
    int32_t upperBound() const { return n_ - 1; }
    int32_t& operator()(int32_t row, int32_t col) { return v_[static_cast<size_t>(row) * n_ + col]; }
    int32_t operator()(int32_t row, int32_t col) const { return v_[static_cast<size_t>(row) * n_ + col]; }
    bool operator==(const KernelMask&) const = default;

private:
    int32_t n_ = 0;
    std::vector<int32_t> v_;
};

struct KernelRecord {
    KernelMask Mask;
    int32_t Weight = 0;    // divisor of every weighted sum
    int32_t rFactor = 0;   // offsets added after the division
    int32_t gFactor = 0;
    int32_t bFactor = 0;
    bool operator==(const KernelRecord&) const = default;
};

// One shipped kernel: its name in the kernel editor's list, the coefficients
// row by row separated by "|", and "Weight|red|green|blue".
struct PresetKernel {
    std::string_view name;
    std::string_view kernel;
    std::string_view weights;
};

inline constexpr int32_t kPresetKernelCount = 14;
extern const std::array<PresetKernel, kPresetKernelCount> PresetKernels;

namespace mBitmap {
// Builds preset id (0 to 13) into kernel, replacing its coefficients whole.
// Any other id builds nothing, leaves kernel as it was and returns false.
bool GetPresetKernel(KernelRecord& kernel, int32_t id);
} // namespace mBitmap

} // namespace tq
