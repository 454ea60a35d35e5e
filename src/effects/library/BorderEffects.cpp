// The border effects: colour replacement, emboss and engrave, neon, border
// detection, edge finding, note paper, and the metallic looks.
#include "effects/library/Blur.h"
#include "effects/library/EngineBridge.h"
#include "effects/library/LibraryFunctions.h"
#include "effects/library/Parallel.h"
#include "effects/library/Warp.h"
#include "platform/Random.h"
#include "platform/SystemColors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace tq::effects {

namespace {

// The Sobel gradient of each channel, |gx| + |gy| times gain / 256, held in
// 0..255. Pixels past the edge repeat the edge. The rows are worked as
// flat byte arrays (a pixel's neighbours are 4 bytes away) so the loops run
// on whole vectors.
void sobel(ConstPixels s, Pixels d, int32_t gain)
{
    const size_t bytes = 4 * static_cast<size_t>(s.w);
    forBands(s.h, 20 * int64_t(s.w), [&](int32_t y0, int32_t y1) {
        // Vertical sums and differences of each byte, one pixel of margin
        // at each end.
        std::vector<int16_t> sum(bytes + 8), diff(bytes + 8);
        for (int32_t y = y0; y < y1; ++y) {
            const uint8_t* r0 = reinterpret_cast<const uint8_t*>(s.row(y > 0 ? y - 1 : y));
            const uint8_t* r1 = reinterpret_cast<const uint8_t*>(s.row(y));
            const uint8_t* r2 = reinterpret_cast<const uint8_t*>(s.row(y + 1 < s.h ? y + 1 : y));
            int16_t* sm = sum.data() + 4;
            int16_t* df = diff.data() + 4;
            for (size_t i = 0; i < bytes; ++i) {
                sm[i] = static_cast<int16_t>(r0[i] + 2 * r1[i] + r2[i]);
                df[i] = static_cast<int16_t>(r2[i] - r0[i]);
            }
            for (int k = 0; k < 4; ++k) {
                sm[k - 4] = sm[k];
                df[k - 4] = df[k];
                sm[bytes + k] = sm[bytes - 4 + k];
                df[bytes + k] = df[bytes - 4 + k];
            }
            uint8_t* out = reinterpret_cast<uint8_t*>(d.row(y));
            for (size_t i = 0; i < bytes; ++i) {
                const int32_t gx = sm[i + 4] - sm[i - 4];
                const int32_t gy = df[i - 4] + 2 * df[i] + df[i + 4];
                const int32_t g = ((gx < 0 ? -gx : gx) + (gy < 0 ? -gy : gy)) * gain >> 8;
                out[i] = static_cast<uint8_t>(g > 255 ? 255 : g);
            }
            uint32_t* words = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) words[x] &= kColourMask;
        }
    });
}

} // namespace

// Pixels near ColorFrom turn to ColorTo, the nearer the more, within
// Tolerance (the engine's colour replacement).
bool zorveliLIB_BackDropRemoval(EffectSurface& dst, const EffectSurface& src, int32_t ColorFrom, int32_t ColorTo,
                                int32_t Tolerance, int32_t*)
{
    const auto from = translateColor(ColorFrom), to = translateColor(ColorTo);
    if (!from || !to) return false;
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        return throughEngine(s, d, [&](cBitFilter& e) { return e.REPLACE(*from, *to, std::max(Tolerance, 0)); });
    });
}

// The picture pressed into grey metal: raised (emboss) for a positive Depth,
// sunk (engrave) for a negative one, the relief deeper the larger Depth
// (the engine's emboss and engrave, whose depth is in tenths: Depth 1.0 is
// a depth of 2).
bool zorveliLIB_Emboss(EffectSurface& dst, const EffectSurface& src, float Depth, int32_t*)
{
    if (!std::isfinite(Depth)) return false;
    const int32_t factor =
        static_cast<int32_t>(std::lrint(std::min(std::fabs(static_cast<double>(Depth)) * 20.0, 50.0)));
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        return throughEngine(s, d, [&](cBitFilter& e) { return Depth >= 0 ? e.EMBOSS(factor) : e.Engrave(factor); });
    });
}

// Neon tubes: the picture's edges glowing in their own colours on black,
// Intensity times as bright, with a halo Glow pixels wide.
bool zorveliLIB_Neon(EffectSurface& dst, const EffectSurface& src, int16_t Glow, int32_t Intensity, int32_t*)
{
    const int32_t gain = std::clamp(Intensity, 0, 64) * 96;
    const int32_t glow = std::clamp<int32_t>(Glow, 0, 100);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        // A slight blur first keeps the grain of a photo from lighting up.
        Picture smooth(s.w, s.h);
        boxBlur(s, smooth.view(), 1, 1);
        if (glow == 0) return sobel(smooth, d, gain);
        Picture edges(s.w, s.h);
        sobel(smooth, edges.view(), gain);
        gaussianBlur(edges, d, glow * 1.5);
        // The tubes plus twice their halo, each byte held at 255.
        const ConstPixels e = edges;
        forRows(s.h, 4 * int64_t(s.w), [&](int32_t y) {
            const uint32_t* tube = e.row(y);
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) {
                uint32_t sum = 0;
                for (int c = 0; c < 24; c += 8) {
                    const uint32_t v = ((tube[x] >> c) & 0xFF) + 2 * ((out[x] >> c) & 0xFF);
                    sum |= (v > 255 ? 255u : v) << c;
                }
                out[x] = sum;
            }
        });
    });
}

// Outlines the areas of Color: every pixel within Tolerance of Color (in
// each channel) belongs to an area, and the pixels on either side of an
// area's border, a line of about a 250th of the shorter side, take
// BorderColor. The rest keeps the picture.
bool zorveliLIB_DetectBorders(EffectSurface& dst, const EffectSurface& src, int32_t Tolerance, int32_t Color,
                              int32_t BorderColor, int32_t*)
{
    const auto colour = translateColor(Color), border = translateColor(BorderColor);
    if (!colour || !border) return false;
    const int32_t tol = std::max(Tolerance, 0);
    const uint32_t cp = pixelOfColor(*colour), bp = pixelOfColor(*border);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        const int32_t t = std::max(1, static_cast<int32_t>(shortSide(s) / 250.0));
        // Whether a pixel belongs to an area is read from a slightly blurred
        // copy, so the grain of a photo does not break areas into specks.
        Picture smooth(s.w, s.h);
        gaussianBlur(s, smooth.view(), 1.0);
        const ConstPixels sm = smooth;
        // Counts of area pixels: an integral image, one row and column of
        // zeros in front. The counts along each row first, row by row, then
        // the rows above added down each column, column band by column
        // band: whole numbers, so the same sums as row after row.
        const size_t W = static_cast<size_t>(s.w) + 1;
        std::vector<uint32_t> sum(W * (static_cast<size_t>(s.h) + 1), 0);
        forRows(s.h, 8 * int64_t(s.w), [&](int32_t y) {
            const uint32_t* in = sm.row(y);
            uint32_t run = 0;
            uint32_t* row = sum.data() + (y + 1) * W;
            for (int32_t x = 0; x < s.w; ++x) {
                const uint32_t p = in[x];
                const bool inArea = std::abs(int32_t(p & 0xFF) - int32_t(cp & 0xFF)) <= tol &&
                    std::abs(int32_t((p >> 8) & 0xFF) - int32_t((cp >> 8) & 0xFF)) <= tol &&
                    std::abs(int32_t((p >> 16) & 0xFF) - int32_t((cp >> 16) & 0xFF)) <= tol;
                run += inArea ? 1u : 0u;
                row[x + 1] = run;
            }
        });
        forBands(s.w, 2 * int64_t(s.h), [&](int32_t x0, int32_t x1) {
            for (int32_t y = 1; y < s.h; ++y) {
                uint32_t* row = sum.data() + (y + 1) * W;
                const uint32_t* above = row - W;
                for (int32_t x = x0 + 1; x <= x1; ++x) row[x] += above[x];
            }
        });
        forRows(s.h, 8 * int64_t(s.w), [&](int32_t y) {
            const size_t y0 = static_cast<size_t>(std::max(y - t, 0)),
                         y1 = static_cast<size_t>(std::min(y + t + 1, s.h));
            const uint32_t* in = s.row(y);
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) {
                const size_t x0 = static_cast<size_t>(std::max(x - t, 0)),
                             x1 = static_cast<size_t>(std::min(x + t + 1, s.w));
                const uint32_t count = sum[y1 * W + x1] - sum[y0 * W + x1] - sum[y1 * W + x0] + sum[y0 * W + x0];
                const uint32_t box = static_cast<uint32_t>((y1 - y0) * (x1 - x0));
                out[x] = (count != 0 && count != box) ? bp : (in[x] & kColourMask);
            }
        });
    });
}

// Outlines on white: each channel's edge strength, Strength / 2 times, taken
// away from white, after a blur of Smoothing pixels that keeps fine grain
// from counting as edges.
bool zorveliLIB_FindEdges(EffectSurface& dst, const EffectSurface& src, int16_t Smoothing, int32_t Strength, int32_t*)
{
    const int32_t gain = std::clamp(Strength, 0, 64) * 128;
    const int32_t smooth = std::clamp<int32_t>(Smoothing, 0, 100);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (smooth > 0) {
            Picture smoothed(s.w, s.h);
            gaussianBlur(s, smoothed.view(), smooth * 0.7);
            sobel(smoothed, d, gain);
        } else {
            sobel(s, d, gain);
        }
        forRows(s.h, 2 * int64_t(s.w), [&](int32_t y) {
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) out[x] = ~out[x] & kColourMask;
        });
    });
}

// The picture drawn in InkColor on PaperColor: the parts darker than
// Balance (0 to 255) are ink, raised in a relief Relief deep and lit from
// LightFrom (1 upper left, 2 upper right, 3 lower right, 4 lower left), all
// over a paper grain of Grain levels.
bool zorveliLIB_NotePaper(EffectSurface& dst, const EffectSurface& src, int32_t Balance, int32_t Relief, int32_t Grain,
                          int32_t LightFrom, int32_t InkColor, int32_t PaperColor, int32_t*)
{
    const auto ink = translateColor(InkColor), paper = translateColor(PaperColor);
    if (!ink || !paper) return false;
    const int32_t balance = std::clamp(Balance, 0, 256), relief = std::clamp(Relief, 0, 50);
    const int32_t grain = std::clamp(Grain, 0, 255);
    static constexpr int32_t kLightX[4] = {-1, 1, 1, -1}, kLightY[4] = {-1, -1, 1, 1};
    const int32_t li = (LightFrom >= 1 && LightFrom <= 4) ? LightFrom - 1 : 0;
    const int32_t lx = kLightX[li], ly = kLightY[li];
    const uint32_t ip = pixelOfColor(*ink), pp = pixelOfColor(*paper);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        Picture smooth(s.w, s.h);
        gaussianBlur(s, smooth.view(), 1.0);
        // How much ink each pixel holds, 0..255, blended over 8 grey levels
        // about the balance so the ink's edge is smooth.
        std::vector<uint8_t> inkAt(s.count());
        const ConstPixels sm = smooth;
        forRows(s.h, 4 * int64_t(s.w), [&](int32_t y) {
            const uint32_t* in = sm.row(y);
            uint8_t* out = inkAt.data() + static_cast<size_t>(y) * s.w;
            for (int32_t x = 0; x < s.w; ++x)
                out[x] = balance == 0 ? 0 : clamp255((balance - static_cast<int32_t>(greyOf(in[x]))) * 32 + 128);
        });
        Random& random = programRandom();
        for (int32_t y = 0; y < s.h; ++y) {
            const uint8_t* a = inkAt.data() + static_cast<size_t>(y) * s.w;
            const uint8_t* towards = inkAt.data() + static_cast<size_t>(std::clamp(y - ly, 0, s.h - 1)) * s.w;
            const uint8_t* away = inkAt.data() + static_cast<size_t>(std::clamp(y + ly, 0, s.h - 1)) * s.w;
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) {
                const uint32_t base = lerpPixel(pp, ip, (a[x] * 257u + 128u) >> 8);
                const int32_t lit = static_cast<int32_t>(away[std::clamp(x + lx, 0, s.w - 1)]) -
                    static_cast<int32_t>(towards[std::clamp(x - lx, 0, s.w - 1)]);
                const int32_t noise = static_cast<int32_t>(random.next() * static_cast<float>(grain + 1)) - grain / 2;
                const int32_t add = lit * relief / 8 + noise;
                out[x] = packBgr(clamp255(static_cast<int32_t>(base & 0xFF) + add),
                                 clamp255(static_cast<int32_t>((base >> 8) & 0xFF) + add),
                                 clamp255(static_cast<int32_t>((base >> 16) & 0xFF) + add));
            }
        }
    });
}

// Polished metal: the picture's tones folded into Levels / 2 bands of
// shine, moved along by Shift (0 to 255 is one band), coloured as silver
// (Metal 1), gold (2) or ice (3). Other metals fail.
bool zorveliLIB_Metallic(EffectSurface& dst, const EffectSurface& src, int32_t Levels, int32_t Shift, int32_t Metal,
                         int32_t*)
{
    if (Metal < 1 || Metal > 3) return false;
    // Dark and light ends of each metal, blue, green, red.
    static constexpr uint32_t kEnds[3][2][3] = {
        {{40, 34, 30}, {252, 248, 245}},   // silver
        {{6, 32, 70}, {140, 228, 255}},   // gold
        {{110, 60, 20}, {255, 248, 220}},   // ice
    };
    const double levels = std::clamp(Levels, 1, 32);
    const double shift = (Shift % 256) * 2.0 * 3.141592653589793 / 255.0;
    std::array<uint32_t, 256> colour{};
    const auto& ends = kEnds[Metal - 1];
    for (int g = 0; g < 256; ++g) {
        const double m = 0.5 - 0.5 * std::cos(3.141592653589793 * levels * g / 255.0 + shift);
        uint32_t c[3];
        for (int k = 0; k < 3; ++k)
            c[k] = static_cast<uint32_t>(std::lrint(ends[0][k] + (static_cast<double>(ends[1][k]) - ends[0][k]) * m));
        colour[g] = packBgr(c[0], c[1], c[2]);
    }
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        boxBlur(s, d, 1, 1);
        forRows(s.h, 4 * int64_t(s.w), [&](int32_t y) {
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) out[x] = colour[greyOf(out[x])];
        });
    });
}

} // namespace tq::effects
