// The window kernel's wide rows against its tabulated rows, for every sum a
// 16-bit lane can hold and divisors across their whole range: the wide rows
// divide by a reciprocal, which must give the truncated quotient for each.
#include "filters/PixelWalks.h"
#include "filters/WindowKernel.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tq {
namespace {

// Two rows of pixels: the upper holds b in each channel, the lower a, so that
// with taps (0, 0) * k1 and (1, 0) * k127 pixel i sums k1 b + k127 a; over
// the 65536 pixels every pair (a, b) occurs once. Channels differ so the
// offsets of blue, green and red are told apart.
struct EveryPair {
    static constexpr int32_t kPixels = 65536;
    std::vector<uint8_t> bytes = std::vector<uint8_t>(2 * 4 * kPixels, 0);
    EveryPair()
    {
        for (int32_t i = 0; i < kPixels; ++i) {
            const uint8_t a = static_cast<uint8_t>(i >> 8), b = static_cast<uint8_t>(i & 0xFF);
            for (int c = 0; c < 3; ++c) {
                bytes[4 * i + c] = static_cast<uint8_t>(b ^ (c * 85));
                bytes[4 * (kPixels + i) + c] = static_cast<uint8_t>(a ^ (c * 51));
            }
            bytes[4 * i + 3] = 7;
        }
    }
    ptrdiff_t stride() const { return 4 * kPixels; }
};

std::vector<uint8_t> runKernel(const EveryPair& p, int32_t k1, int32_t k127, int32_t weight, const int32_t offsets[3],
                               bool wide)
{
    allowWideVectors(wide);
    const WindowKernel kernel({{0, 0, k1}, {1, 0, k127}}, weight, offsets);
    std::vector<uint8_t> out(4 * EveryPair::kPixels, 200);
    EXPECT_TRUE(kernel.run(p.bytes.data(), p.stride(), out.data(), EveryPair::kPixels));
    allowWideVectors(true);
    return out;
}

TEST(WindowKernel, WideRowsDivideEverySumAsTheTableDoes)
{
    const EveryPair pairs;
    const int32_t weights[] = {1,    -1,   2,    3,     5,     7,     8,     9,     10,     13,    25,
                               100,  127,  128,  255,   256,   257,   1000,  4095,  4096,   4097,  16383,
                               16384, 16385, 32767, 32768, 40000, -2,   -3,    -9,    -255,   -32767, -32768,
                               2147483647, -2147483647};
    const int32_t offsetSets[][3] = {{0, 0, 0}, {255, 128, -300}, {32767, -32767, 17}};
    // Coefficients +-1 and +-127 give every sum from -32640 to 32640.
    const int32_t signs[][2] = {{1, 127}, {-1, -127}, {1, -127}};
    for (const auto& sg : signs)
        for (const auto& offsets : offsetSets)
            for (int32_t w : weights) {
                const std::vector<uint8_t> plain = runKernel(pairs, sg[0], sg[1], w, offsets, false);
                const std::vector<uint8_t> wide = runKernel(pairs, sg[0], sg[1], w, offsets, true);
                for (int32_t i = 0; i < 4 * EveryPair::kPixels; ++i)
                    if (plain[i] != wide[i]) {
                        ADD_FAILURE() << "weight " << w << ", coefficients " << sg[0] << " and " << sg[1]
                                      << ", offsets " << offsets[0] << "/" << offsets[1] << "/" << offsets[2]
                                      << ": byte " << i << " wide " << int(wide[i]) << ", plain " << int(plain[i]);
                        break;
                    }
                // The fourth bytes are the pixels' own.
                for (int32_t i = 3; i < 4 * EveryPair::kPixels; i += 4) ASSERT_EQ(wide[i], pairs.bytes[i]);
            }
}

TEST(WindowKernel, RunsOfEveryLengthStopAtTheirEnd)
{
    // Wide rows take sixteen pixels a step: shorter runs and remainders
    // write exactly their own pixels.
    const EveryPair pairs;
    const int32_t offsets[3] = {1, 2, 3};
    const WindowKernel kernel({{0, 0, 1}, {1, 0, 2}}, 3, offsets);
    for (int32_t n : {1, 5, 15, 16, 17, 31, 33}) {
        std::vector<uint8_t> out(4 * 64, 99);
        kernel.run(pairs.bytes.data(), pairs.stride(), out.data(), n);
        for (int32_t i = 4 * n; i < 4 * 64; ++i) ASSERT_EQ(out[i], 99) << n;
        for (int32_t x = 0; x < n; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int32_t sum = pairs.bytes[4 * x + c] + 2 * pairs.bytes[4 * (EveryPair::kPixels + x) + c];
                ASSERT_EQ(out[4 * x + c], std::min(255, sum / 3 + offsets[c])) << n << " at " << x;
            }
            ASSERT_EQ(out[4 * x + 3], 7) << n << " at " << x;
        }
    }
}

} // namespace
} // namespace tq
