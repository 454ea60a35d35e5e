#include "gdi/GradientFill.h"

#include "gdi/DeviceContext.h"

#include <algorithm>
#include <vector>

namespace tq {

namespace {

// One channel stepped from a to b over n steps: a + (b - a) i / n with the
// quotient truncated toward zero, kept as quotient and remainder so no step
// divides.
class ChannelRamp {
public:
    ChannelRamp(uint16_t a, uint16_t b, int64_t n) : start_(a), negative_(b < a), n_(n)
    {
        const int64_t delta = negative_ ? int64_t(a) - b : int64_t(b) - a;
        stepQ_ = delta / n;
        stepR_ = delta % n;
    }
    // The high byte of the channel at the current step, then one step on.
    uint32_t next()
    {
        const int64_t v = negative_ ? start_ - q_ : start_ + q_;
        q_ += stepQ_;
        r_ += stepR_;
        if (r_ >= n_) {
            ++q_;
            r_ -= n_;
        }
        return static_cast<uint32_t>(v >> 8) & 0xFF;
    }
    // Skips to step i.
    void seek(int64_t i)
    {
        const int64_t delta = stepQ_ * n_ + stepR_;
        q_ = delta * i / n_;
        r_ = delta * i % n_;
    }

private:
    int64_t start_;
    bool negative_;
    int64_t n_;
    int64_t stepQ_ = 0, stepR_ = 0;
    int64_t q_ = 0, r_ = 0;
};

struct Ramp {
    ChannelRamp red, green, blue;
    Ramp(const TriVertex& a, const TriVertex& b, int64_t n)
        : red(a.Red, b.Red, n), green(a.Green, b.Green, n), blue(a.Blue, b.Blue, n) {}
    uint32_t next() { return 0xFF000000u | (red.next() << 16) | (green.next() << 8) | blue.next(); }
    void seek(int64_t i)
    {
        red.seek(i);
        green.seek(i);
        blue.seek(i);
    }
};

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
    uint8_t* const bits = surface->bits();
    const qsizetype stride = surface->bytesPerLine();
    auto rowAt = [&](int32_t y) { return reinterpret_cast<uint32_t*>(bits + y * stride); };
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
            Ramp ramp(a, b, int64_t(right) - left);
            ramp.seek(int64_t(x0) - left);
            line.resize(size_t(x1 - x0));
            for (uint32_t& px : line) px = ramp.next();
            for (int32_t y = y0; y < y1; ++y) std::copy(line.begin(), line.end(), rowAt(y) + x0);
        } else {
            Ramp ramp(a, b, int64_t(bottom) - top);
            ramp.seek(int64_t(y0) - top);
            for (int32_t y = y0; y < y1; ++y) {
                const uint32_t px = ramp.next();
                std::fill(rowAt(y) + x0, rowAt(y) + x1, px);
            }
        }
    }
    return true;
}

} // namespace tq
