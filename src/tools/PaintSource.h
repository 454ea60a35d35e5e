// A picture the painting routines read from: a stamp, a floating clip or a
// texture. It is a view, not a copy: pixel (x, y) for 0 <= x < width and
// 0 <= y < height lies at origin + y * stride + 4 * x, channels blue, green,
// red and the marker byte, rows top-down.
//
// Two kinds of picture reach the routines: a bordered BitsBuffer (a lifted
// selection or a pasted clip) and a margin-less array of w x h pixels (the
// current stamp, as the picture loader hands it out). Either way the view
// covers exactly the picture's own pixels, never a margin, so a placed
// picture is placed whole whatever its kind.
#pragma once

#include "core/BitsBuffer.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tq {

struct PaintSource {
    const uint8_t* origin = nullptr;   // pixel (0, 0)
    int32_t width = 0;
    int32_t height = 0;
    ptrdiff_t stride = 0;              // bytes from one row to the next

    bool empty() const { return origin == nullptr || width < 1 || height < 1; }
    const uint8_t* pixel(int32_t x, int32_t y) const { return origin + y * stride + 4 * static_cast<ptrdiff_t>(x); }

    // The picture pixels of a bordered buffer; empty when it holds none.
    static PaintSource fromBuffer(const BitsBuffer& b)
    {
        if (!b.allocated() || b.width() < 1 || b.height() < 1) return {};
        return PaintSource{b.pixel(0, 0), b.width(), b.height(), b.stride()};
    }
    // A margin-less w x h picture, 4 bytes a pixel, channel fastest, then x,
    // then y. Empty when the bytes are too few for that size.
    static PaintSource fromPixels(const uint8_t* bytes, size_t byteCount, int32_t w, int32_t h)
    {
        if (bytes == nullptr || w < 1 || h < 1) return {};
        if (byteCount / 4u / static_cast<size_t>(w) < static_cast<size_t>(h)) return {};
        return PaintSource{bytes, w, h, 4 * static_cast<ptrdiff_t>(w)};
    }
    static PaintSource fromPixels(const std::vector<uint8_t>& bytes, int32_t w, int32_t h)
    {
        return fromPixels(bytes.data(), bytes.size(), w, h);
    }
    static PaintSource fromDib(const DibRecord& d)
    {
        return fromPixels(d.bits.data(), d.bits.size(), d.width, d.height);
    }
};

} // namespace tq
