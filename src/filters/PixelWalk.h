// Per-pixel shapes of the selection walk shared by the neighbourhood and
// artistic filters: the result starts as a full copy of Bits, and fn sees
// raw pointers to the pixel in Bits and in the result, the row stride (so
// neighbours are s[+-4], s[+-stride], ...) and the pixel's coordinates.
#pragma once

#include "filters/cBitFilter.h"

#include <cstddef>

namespace tq {

// fn(const uint8_t* s, uint8_t* d, ptrdiff_t stride, int32_t x, int32_t y)
// for every selected pixel of the walk box shrunk by margin, in walk order.
template <class PixelFn>
BitsBuffer eachSelectedPixel(cBitFilter& f, int32_t margin, PixelFn&& fn)
{
    const BitsBuffer& src = f.Bits();
    BitsBuffer out = src;
    const ptrdiff_t stride = src.stride();
    f.walkSelection(margin, [&](int32_t y, int32_t x0, int32_t x1) {
        const uint8_t* s = src.pixel(x0, y);
        uint8_t* d = out.pixel(x0, y);
        for (int32_t x = x0; x <= x1; ++x, s += 4, d += 4) fn(s, d, stride, x, y);
    });
    return out;
}

// fn(const uint8_t* s, uint8_t* d, ptrdiff_t stride) once for each of blue,
// green and red of every selected pixel, s and d pointing at that channel.
// The marker byte is never handed out.
template <class ChannelFn>
BitsBuffer eachSelectedChannel(cBitFilter& f, int32_t margin, ChannelFn&& fn)
{
    return eachSelectedPixel(f, margin, [&](const uint8_t* s, uint8_t* d, ptrdiff_t st, int32_t, int32_t) {
        fn(s, d, st);
        fn(s + 1, d + 1, st);
        fn(s + 2, d + 2, st);
    });
}

// Sum of the eight neighbours of the channel s points at.
inline int32_t sumOfEight(const uint8_t* s, ptrdiff_t st)
{
    return s[-st - 4] + s[-st] + s[-st + 4] + s[-4] + s[4] + s[st - 4] + s[st] + s[st + 4];
}

inline uint8_t clampByte(int32_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }
inline uint8_t clampByte64(int64_t v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); }

} // namespace tq
