// An 8 x 8 monochrome pattern painted through a region onto a surface of
// 32-bit pixels: what a frame or fill with a pattern brush does, in plain C++
// so the drawing layer on top only has to hand over its pixels.
//
// The pattern is anchored to the surface's device origin, as a brush is: the
// pixel at device (x, y) takes bit (7 - x mod 8) of row (y mod 8), so a
// region moved by a scroll offset shows the stripes at the same screen
// place. A 0 bit paints the text colour, a 1 bit the background colour.
#pragma once

#include "core/Region.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace tq {

struct Pattern8 {
    std::array<uint8_t, 8> rows{};   // top to bottom; bit 7 is the leftmost pixel

    bool bit(int32_t x, int32_t y) const { return (rows[y & 7] >> (7 - (x & 7))) & 1; }
    bool operator==(const Pattern8&) const = default;
};

// A block of 32-bit pixels: row y starts at bits + y * stride bytes. Pixel
// (0, 0) of the block lies at device point (originX, originY).
struct PixelSurface {
    uint8_t* bits = nullptr;
    ptrdiff_t stride = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t originX = 0;
    int32_t originY = 0;
};

// Paints every pixel of the region (in device coordinates) that lies on the
// surface: textColour where the pattern bit is 0, backColour where it is 1.
// Pixels outside the region or off the surface are left alone.
void paintPattern(const PixelSurface& surface, const Region& region, const Pattern8& pattern,
                  uint32_t textColour, uint32_t backColour);

} // namespace tq
