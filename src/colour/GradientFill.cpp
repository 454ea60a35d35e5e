#include "colour/GradientFill.h"

#include "colour/DeviceContext.h"

#include <algorithm>
#include <vector>

namespace tq {

namespace {

// The pixel at step i of n from vertex a to vertex b.
uint32_t blend(const TriVertex& a, const TriVertex& b, int64_t i, int64_t n)
{
    auto channel = [&](uint16_t ca, uint16_t cb) {
        const int64_t v = ca + (int64_t(cb) - ca) * i / n;
        return static_cast<uint32_t>(v >> 8) & 0xFF;
    };
    return 0xFF000000u | (channel(a.Red, b.Red) << 16) | (channel(a.Green, b.Green) << 8) | channel(a.Blue, b.Blue);
}

} // namespace

bool GradientFill(gdi::DeviceContext* dc, const TriVertex* vertices, uint32_t vertexCount,
                  const GradientRect* mesh, uint32_t meshCount, uint32_t mode)
{
    if (!dc || !vertices || !mesh || vertexCount == 0 || meshCount == 0) return false;
    if (mode != kGradientFillRectH && mode != kGradientFillRectV) return false;
    for (uint32_t m = 0; m < meshCount; ++m)
        if (mesh[m].UpperLeft >= vertexCount || mesh[m].LowerRight >= vertexCount) return false;
    QImage* surface = dc->surface();
    if (!surface) return false;
    const RectI area = dc->visibleArea();
    std::vector<uint32_t> line;
    for (uint32_t m = 0; m < meshCount; ++m) {
        TriVertex a = vertices[mesh[m].UpperLeft];
        TriVertex b = vertices[mesh[m].LowerRight];
        // The colours stay with their corners whichever way round they come.
        if (mode == kGradientFillRectH ? a.x > b.x : a.y > b.y) std::swap(a, b);
        const int32_t left = std::min(a.x, b.x), right = std::max(a.x, b.x);
        const int32_t top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
        const int32_t x0 = std::max(left, area.left), x1 = std::min(right, area.right);
        const int32_t y0 = std::max(top, area.top), y1 = std::min(bottom, area.bottom);
        if (x0 >= x1 || y0 >= y1) continue;
        if (mode == kGradientFillRectH) {
            const int64_t n = int64_t(right) - left;
            line.resize(size_t(x1 - x0));
            for (int32_t x = x0; x < x1; ++x) line[size_t(x - x0)] = blend(a, b, int64_t(x) - left, n);
            for (int32_t y = y0; y < y1; ++y)
                std::copy(line.begin(), line.end(), reinterpret_cast<uint32_t*>(surface->scanLine(y)) + x0);
        } else {
            const int64_t n = int64_t(bottom) - top;
            for (int32_t y = y0; y < y1; ++y) {
                auto* row = reinterpret_cast<uint32_t*>(surface->scanLine(y));
                std::fill(row + x0, row + x1, blend(a, b, int64_t(y) - top, n));
            }
        }
    }
    return true;
}

} // namespace tq
