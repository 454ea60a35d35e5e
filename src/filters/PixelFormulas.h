// The values the engine's members share in their formulas: byte clamping,
// rounding for hot loops, tables of channel values, whole-pixel words.
// Plain functions; nothing here walks pixels.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tq {

// ---- Values the members' formulas share -----------------------------------

inline uint8_t clampByte(int64_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

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

// A value for each of the 256 values of a channel.
using ByteTable = std::array<uint8_t, 256>;

// t(i) = i + offset limited to 0..255. The sum is taken wide so that an
// offset near the 32-bit limits saturates instead of wrapping.
inline ByteTable offsetTable(int64_t offset)
{
    ByteTable t{};
    for (int i = 0; i < 256; ++i) t[i] = clampByte(i + offset);
    return t;
}

// T(B + G + R): the mean of the three channels, truncated.
inline int32_t grey3(const uint8_t* p) { return (p[0] + p[1] + p[2]) / 3; }

// Members whose result depends on B + G + R alone keep one entry per sum.
inline constexpr int kChannelSums = 766;
template <class Entry, class Fn>
std::array<Entry, kChannelSums> sumTable(Fn&& entryOfSum)
{
    std::array<Entry, kChannelSums> t{};
    for (int sum = 0; sum < kChannelSums; ++sum) t[sum] = entryOfSum(sum);
    return t;
}

// Sum of the eight neighbours of the channel s points at.
inline int32_t sumOfEight(const uint8_t* s, ptrdiff_t st)
{
    return s[-st - 4] + s[-st] + s[-st + 4] + s[-4] + s[4] + s[st - 4] + s[st] + s[st + 4];
}

// The four bytes of a pixel as one word (blue in the low byte).
inline uint32_t loadPixel(const uint8_t* p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}
inline void storePixel(uint8_t* p, uint32_t v) { std::memcpy(p, &v, 4); }
inline constexpr uint32_t kColourBytes = 0x00FFFFFFu;
inline constexpr uint32_t kMarkerByte = 0xFF000000u;

} // namespace tq
