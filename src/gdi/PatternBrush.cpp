#include "gdi/PatternBrush.h"

#include <algorithm>

namespace tq {

void paintPattern(const PixelSurface& surface, const Region& region, const Pattern8& pattern,
                  uint32_t textColour, uint32_t backColour)
{
    if (!surface.bits || surface.width <= 0 || surface.height <= 0) return;
    const int64_t left = surface.originX, right = int64_t(surface.originX) + surface.width;
    const int64_t top = surface.originY, bottom = int64_t(surface.originY) + surface.height;
    for (const Region::Band& band : region.bands()) {
        const int64_t y0 = std::max<int64_t>(band.top, top);
        const int64_t y1 = std::min<int64_t>(band.bottom, bottom);
        for (int64_t y = y0; y < y1; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(surface.bits + (y - top) * surface.stride);
            const uint8_t bits = pattern.rows[static_cast<size_t>(y & 7)];
            for (const Region::Span& s : band.spans) {
                const int64_t x0 = std::max<int64_t>(s.x0, left);
                const int64_t x1 = std::min<int64_t>(s.x1, right);
                uint32_t* d = row + (x0 - left);
                for (int64_t x = x0; x < x1; ++x, ++d)
                    *d = ((bits >> (7 - (x & 7))) & 1) ? backColour : textColour;
            }
        }
    }
}

} // namespace tq
