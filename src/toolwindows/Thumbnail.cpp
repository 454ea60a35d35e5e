#include "toolwindows/Thumbnail.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tq {

void drawThumbnail(QImage& target, int dx, int dy, int tw, int th, const BitsBuffer& src, int w, int h)
{
    if (tw < 1 || th < 1 || w < 1 || h < 1 || !src.allocated() || target.isNull()) return;
    if (target.depth() != 32 || src.width() < w || src.height() < h) return;

    // The visible part of the thumbnail in its own coordinates.
    const int x0 = std::max(0, -dx);
    const int y0 = std::max(0, -dy);
    const int x1 = std::min(tw, target.width() - dx);
    const int y1 = std::min(th, target.height() - dy);
    if (x0 >= x1 || y0 >= y1) return;

    // Source byte offset of every column drawn: the column under the centre
    // of target column i, (2i + 1) w / 2tw.
    std::vector<int32_t> column(static_cast<size_t>(x1 - x0));
    for (int i = x0; i < x1; ++i) {
        const int64_t sx = (int64_t(2 * i + 1) * w) / (int64_t(2) * tw);
        column[static_cast<size_t>(i - x0)] = 4 * static_cast<int32_t>(std::min<int64_t>(sx, w - 1));
    }
    // Blue, green, red, marker in memory is the image's 0xAARRGGBB word on a
    // little-endian machine; the marker's place takes full opacity.
    static_assert(std::endian::native == std::endian::little);
    constexpr uint32_t kOpaque = 0xFF000000u;
    for (int j = y0; j < y1; ++j) {
        const int64_t sy = std::min<int64_t>((int64_t(2 * j + 1) * h) / (int64_t(2) * th), h - 1);
        const uint8_t* s = src.row(static_cast<int>(sy));
        auto* d = reinterpret_cast<uint32_t*>(target.scanLine(dy + j)) + dx + x0;
        for (const int32_t off : column) {
            uint32_t p;
            std::memcpy(&p, s + off, 4);
            *d++ = p | kOpaque;
        }
    }
}

} // namespace tq
