// The waves: plain sine waves, waves of whole blocks, and circular ripples
// with and without light on their crests. Amplitudes and wave lengths are
// measured against the picture's size.
#include "effects/library/LibraryFunctions.h"
#include "effects/library/Parallel.h"
#include "effects/library/Warp.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tq::effects {

namespace {

constexpr double kTwoPi = 6.283185307179586;

double longSide(ConstPixels s) { return s.w > s.h ? s.w : s.h; }

} // namespace

// Sine waves: rows move sideways by up to Amplitude / 400 of the shorter
// side, one wave every WaveLength hundredths of it, started Phase / 256 of a
// wave in; with BothWays columns move up and down as well. An Amplitude of
// 0 keeps the picture.
bool zorveliLIB_Waves(EffectSurface& dst, const EffectSurface& src, int32_t Amplitude, int32_t WaveLength,
                      uint8_t Phase, int32_t BothWays, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        const double side = shortSide(s);
        const double a = std::clamp(Amplitude, -10000, 10000) * side / 400.0;
        if (a == 0.0) return copyPixels(s, d);
        const double length = std::max(std::clamp(WaveLength, 0, 10000) * side / 100.0, 2.0);
        const double phase = Phase / 256.0 * kTwoPi;
        std::vector<float> rowShift(static_cast<size_t>(s.h)), columnShift(static_cast<size_t>(s.w), 0.0f);
        for (int32_t y = 0; y < s.h; ++y) rowShift[y] = static_cast<float>(a * std::sin(kTwoPi * y / length + phase));
        if (BothWays != 0)
            for (int32_t x = 0; x < s.w; ++x)
                columnShift[x] = static_cast<float>(a * std::sin(kTwoPi * x / length + phase));
        warp(s, d, [&](int32_t x, int32_t y, float& sx, float& sy) {
            sx = static_cast<float>(x) + rowShift[y];
            sy = static_cast<float>(y) + columnShift[x];
        });
    });
}

// The picture cut into square blocks BlockSize / 200 of the longer side,
// each moved whole along a wave that runs diagonally over the blocks, by
// up to Amplitude / 200 of the longer side, wrapping at the edges.
// Direction: 1 moves the blocks sideways, 2 up and down, 3 both; 0, or a
// block size or amplitude of 0, keeps the picture.
bool zorveliLIB_BlockWaves(EffectSurface& dst, const EffectSurface& src, int16_t BlockSize, int16_t Amplitude,
                           int32_t Direction, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        const double side = longSide(s);
        const int32_t block = std::max(1, static_cast<int32_t>(std::lrint(BlockSize * side / 200.0)));
        const int32_t a = static_cast<int32_t>(std::lrint(Amplitude * side / 200.0));
        const bool across = (Direction & 1) != 0, down = (Direction & 2) != 0;
        if (BlockSize <= 0 || a == 0 || (!across && !down)) return copyPixels(s, d);
        const int32_t bw = (s.w + block - 1) / block, bh = (s.h + block - 1) / block;
        // The moves of every block: a wave of six blocks along the diagonal.
        std::vector<int32_t> mx(static_cast<size_t>(bw) * bh), my(mx.size());
        for (int32_t by = 0; by < bh; ++by)
            for (int32_t bx = 0; bx < bw; ++bx) {
                const double phase = kTwoPi * (bx + by) / 6.0;
                mx[by * bw + bx] = across ? static_cast<int32_t>(std::lrint(a * std::sin(phase))) : 0;
                my[by * bw + bx] = down ? static_cast<int32_t>(std::lrint(a * std::cos(phase))) : 0;
            }
        const auto wrap = [](int32_t v, int32_t n) {
            v %= n;
            return v < 0 ? v + n : v;
        };
        forRows(s.h, 8 * int64_t(s.w), [&](int32_t y) {
            uint32_t* out = d.row(y);
            const int32_t* rx = mx.data() + static_cast<size_t>(y / block) * bw;
            const int32_t* ry = my.data() + static_cast<size_t>(y / block) * bw;
            for (int32_t x = 0; x < s.w; ++x) {
                const int32_t b = x / block;
                out[x] = s.row(wrap(y - ry[b], s.h))[wrap(x - rx[b], s.w)] & kColourMask;
            }
        });
    });
}

// Ripples round the middle: each pixel moved towards or away from the middle
// by up to Amplitude / 400 of the shorter side, one ripple every
// WaveLength / 200 of it. An Amplitude of 0 keeps the picture.
bool zorveliLIB_CircularWaves(EffectSurface& dst, const EffectSurface& src, int16_t Amplitude, int16_t WaveLength,
                              int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        const double side = shortSide(s);
        const double a = Amplitude * side / 400.0;
        if (a == 0.0) return copyPixels(s, d);
        const double length = std::max(WaveLength * side / 200.0, 2.0);
        const double R = 0.5 * std::sqrt(double(s.w) * s.w + double(s.h) * s.h);
        polarWarp(s, d, (s.w - 1) / 2.0, (s.h - 1) / 2.0, R, [&](double r) {
            const double f = r > 0 ? (r + a * std::sin(kTwoPi * r / length)) / r : 1.0;
            return std::pair<double, double>{f, 0.0};
        });
    });
}

// Ripples on water round the middle: one every WaveLength / 400 of the
// shorter side, Amplitude / 800 of it high at the middle and calming
// outwards, their crests catching the light. An Amplitude of 0 keeps the
// picture.
bool zorveliLIB_CircularWavesEx(EffectSurface& dst, const EffectSurface& src, int32_t WaveLength, int16_t Amplitude,
                                int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        const double side = shortSide(s);
        const double a = Amplitude * side / 800.0;
        if (a == 0.0) return copyPixels(s, d);
        const double length = std::max(std::clamp(WaveLength, 0, 100000) * side / 400.0, 2.0);
        const double R = 0.5 * std::sqrt(double(s.w) * s.w + double(s.h) * s.h);
        const double calm = std::max(side * 0.6, 1.0);
        const float cx = static_cast<float>(s.w - 1) / 2.0f, cy = static_cast<float>(s.h - 1) / 2.0f;
        // Per half pixel of distance: the scale of the source point and the
        // light, 256 for none.
        const int32_t n = static_cast<int32_t>(std::ceil(R * 2.0)) + 2;
        std::vector<float> scale(static_cast<size_t>(n) + 1);
        std::vector<int32_t> light(scale.size());
        for (int32_t i = 0; i <= n; ++i) {
            const double r = i / 2.0;
            const double h = a * std::exp(-r / calm);
            const double wave = kTwoPi * r / length;
            scale[i] = static_cast<float>(r > 0 ? (r + h * std::sin(wave)) / r : 1.0);
            const double slope = std::clamp(h * kTwoPi / length * std::cos(wave), -1.0, 1.0);
            light[i] = static_cast<int32_t>(std::lrint(256.0 * (1.0 + 0.35 * slope)));
        }
        forRows(s.h, 40 * int64_t(s.w), [&](int32_t y) {
            uint32_t* out = d.row(y);
            const float dy = static_cast<float>(y) - cy;
            for (int32_t x = 0; x < s.w; ++x) {
                const float dx = static_cast<float>(x) - cx;
                const int32_t i = std::min(static_cast<int32_t>(std::sqrt(dx * dx + dy * dy) * 2.0f), n);
                const float k = scale[i];
                const uint32_t p = sampleBilinear(s, cx + dx * k, cy + dy * k);
                const int32_t m = light[i];
                out[x] = packBgr(clamp255(static_cast<int32_t>(p & 0xFF) * m >> 8),
                                 clamp255(static_cast<int32_t>((p >> 8) & 0xFF) * m >> 8),
                                 clamp255(static_cast<int32_t>((p >> 16) & 0xFF) * m >> 8));
            }
        });
    });
}

} // namespace tq::effects
