#include "effects/library/Noise.h"

#include "effects/library/Parallel.h"
#include "platform/Random.h"

#include <algorithm>
#include <cmath>

namespace tq::effects {

namespace {

inline float smoothStep(float t) { return t * t * (3.0f - 2.0f * t); }

} // namespace

NoiseField smoothNoise(int32_t w, int32_t h, double cell, int32_t octaves, double persistence)
{
    NoiseField f;
    f.w = std::max(w, 0);
    f.h = std::max(h, 0);
    f.values.assign(static_cast<size_t>(f.w) * static_cast<size_t>(f.h), 0.0f);
    if (f.values.empty()) return f;
    Random& random = programRandom();
    double weight = 1.0, total = 0.0;
    std::vector<int32_t> cellX(static_cast<size_t>(f.w));
    std::vector<float> fracX(static_cast<size_t>(f.w));
    for (int32_t o = 0; o < octaves; ++o, cell /= 2.0, weight *= persistence) {
        const double c = std::max(cell, 1.0);
        const int32_t nx = static_cast<int32_t>(f.w / c) + 2, ny = static_cast<int32_t>(f.h / c) + 2;
        std::vector<float> lattice(static_cast<size_t>(nx) * static_cast<size_t>(ny));
        for (float& v : lattice) v = random.next();
        for (int32_t x = 0; x < f.w; ++x) {
            const double u = x / c;
            cellX[x] = static_cast<int32_t>(u);
            fracX[x] = smoothStep(static_cast<float>(u - cellX[x]));
        }
        const float wt = static_cast<float>(weight);
        // The draws above are made in order on this thread; the blending
        // below depends on them alone.
        forRows(f.h, 8 * int64_t(f.w), [&](int32_t y) {
            const double v = y / c;
            const int32_t cy = static_cast<int32_t>(v);
            const float fy = smoothStep(static_cast<float>(v - cy));
            const float* l0 = lattice.data() + static_cast<size_t>(cy) * nx;
            const float* l1 = l0 + nx;
            float* out = f.values.data() + static_cast<size_t>(y) * f.w;
            for (int32_t x = 0; x < f.w; ++x) {
                const int32_t i = cellX[x];
                const float fx = fracX[x];
                const float top = l0[i] + (l0[i + 1] - l0[i]) * fx;
                const float bottom = l1[i] + (l1[i + 1] - l1[i]) * fx;
                out[x] += wt * (top + (bottom - top) * fy);
            }
        });
        total += weight;
        if (cell <= 1.0) break;
    }
    const float k = total > 0.0 ? static_cast<float>(1.0 / total) : 0.0f;
    forRows(f.h, 2 * int64_t(f.w), [&](int32_t y) {
        float* row = f.values.data() + static_cast<size_t>(y) * f.w;
        for (int32_t x = 0; x < f.w; ++x) row[x] *= k;
    });
    return f;
}

} // namespace tq::effects
