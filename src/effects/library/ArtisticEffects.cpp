// The effects of the main effects list: inversion, monochrome, random
// points, solarize, canvas, relief, tiles, fragment, fog, oil paint, frost
// glass, rain drops, and the flips.
#include "effects/library/EngineBridge.h"
#include "effects/library/LibraryFunctions.h"
#include "effects/library/Noise.h"
#include "effects/library/Parallel.h"
#include "effects/library/Warp.h"
#include "platform/Random.h"
#include "platform/SystemColors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace tq::effects {

namespace {

// Each channel times m / 256, held in 0..255.
inline uint32_t scalePixel(uint32_t p, int32_t m)
{
    return packBgr(clamp255(static_cast<int32_t>(p & 0xFF) * m >> 8),
                   clamp255(static_cast<int32_t>((p >> 8) & 0xFF) * m >> 8),
                   clamp255(static_cast<int32_t>((p >> 16) & 0xFF) * m >> 8));
}

#if defined(__x86_64__)
// The inversion sixteen pixels a step. The compiler's own vectors of
// lumaOf spend a dozen shifts and adds on the three products; two
// multiply-adds of 16-bit lanes (blue with red, green with the fourth byte
// weighed 0) make the same whole-number sum, and halve the row's time.
// Fourth bytes 0, as the word rows make them.
// GCC's own wide-vector headers leave lanes "undefined" on purpose and then
// warn about them.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#define TQ_INVERT_TARGET __attribute__((target("avx512f,avx512bw")))
TQ_INVERT_TARGET inline __m512i invert16(__m512i p, __m512i limit)
{
    const __m512i evenBytes = _mm512_set1_epi32(0x00FF00FF);
    const __m512i colours = _mm512_set1_epi32(0x00FFFFFF);
    const __m512i br = _mm512_and_si512(p, evenBytes);
    const __m512i ga = _mm512_and_si512(_mm512_srli_epi32(p, 8), evenBytes);
    const __m512i sum = _mm512_add_epi32(_mm512_add_epi32(_mm512_madd_epi16(br, _mm512_set1_epi32((77 << 16) | 29)),
                                                          _mm512_madd_epi16(ga, _mm512_set1_epi32(150))),
                                         _mm512_set1_epi32(128));
    const __mmask16 light = _mm512_cmpge_epi32_mask(_mm512_srli_epi32(sum, 8), limit);
    const __m512i colour = _mm512_and_si512(p, colours);
    return _mm512_mask_xor_epi32(colour, light, colour, colours);
}

TQ_INVERT_TARGET void invertRowWide(const uint32_t* s, uint32_t* d, int32_t n, int32_t threshold)
{
    const __m512i limit = _mm512_set1_epi32(threshold);
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) _mm512_storeu_si512(d + i, invert16(_mm512_loadu_si512(s + i), limit));
    if (i < n) {
        const __mmask16 k = static_cast<__mmask16>((1u << (n - i)) - 1);
        _mm512_mask_storeu_epi32(d + i, k, invert16(_mm512_maskz_loadu_epi32(k, s + i), limit));
    }
}
#undef TQ_INVERT_TARGET
#pragma GCC diagnostic pop
#endif

} // namespace

// A negative of the pixels at least as light as Threshold (0 to 255): 0
// inverts the whole picture (as the engine's inversion does), higher
// thresholds only its lighter parts.
bool zorveliLIB_Invert(EffectSurface& dst, const EffectSurface& src, int32_t Threshold, int32_t*)
{
#if defined(__x86_64__)
    if (walkdetail::wideWords())
        return runRows(dst, src, [Threshold](const uint32_t* s, uint32_t* d, int32_t n) {
            invertRowWide(s, d, n, Threshold);
        });
#endif
    return runRows(dst, src, wordRows([Threshold](uint32_t p) { return lumaOf(p) >= Threshold ? ~p : p; }));
}

// Black and white like a rubber stamp: pixels whose grey lies above
// Threshold turn white, the rest black (the engine's threshold); 0 places
// the threshold at the picture's mean grey.
bool zorveliLIB_Stamp(EffectSurface& dst, const EffectSurface& src, int32_t Threshold, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        return throughEngine(s, d, [&](cBitFilter& e) {
            return Threshold <= 0 ? e.StuckiBW(0) : e.Threshold(std::min(Threshold, 255));
        });
    });
}

// Square points of Color, about a 300th of the shorter side wide, scattered
// at random over Density / 10 percent of the picture.
bool zorveliLIB_RandomicalPoints(EffectSurface& dst, const EffectSurface& src, int32_t Density, int32_t Color, int32_t*)
{
    const auto colour = translateColor(Color);
    if (!colour) return false;
    const uint32_t cp = pixelOfColor(*colour);
    const double density = std::clamp(Density, 0, 1000) / 1000.0;
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        copyPixels(s, d);
        const int32_t t = std::max(1, static_cast<int32_t>(std::lrint(shortSide(s) / 300.0)));
        const int64_t count = std::llround(double(s.w) * s.h * density / (double(t) * t));
        Random& random = programRandom();
        for (int64_t i = 0; i < count; ++i) {
            const int32_t x0 = std::min(static_cast<int32_t>(random.next() * static_cast<float>(s.w)), s.w - 1);
            const int32_t y0 = std::min(static_cast<int32_t>(random.next() * static_cast<float>(s.h)), s.h - 1);
            const int32_t x1 = std::min(x0 + t, s.w), y1 = std::min(y0 + t, s.h);
            for (int32_t y = y0; y < y1; ++y) std::fill(d.row(y) + x0, d.row(y) + x1, cp);
        }
    });
}

// Solarization: mode 0 turns the light half of each channel's range to its
// negative, as an overexposed film does; mode 1 the dark half. Other modes
// fail.
bool zorveliLIB_Solarize(EffectSurface& dst, const EffectSurface& src, int32_t Mode, int32_t*)
{
    if (Mode != 0 && Mode != 1) return false;
    ByteTable t{};
    for (int i = 0; i < 256; ++i) t[i] = static_cast<uint8_t>((Mode == 0 ? i > 127 : i < 128) ? 255 - i : i);
    return runRows(dst, src, tableRows(t));
}

// The picture painted on canvas: a basket weave of threads Weave pixels
// wide, lit from above and from the left; 0 and 1 keep the picture.
bool zorveliLIB_Canvas(EffectSurface& dst, const EffectSurface& src, int32_t Weave, int32_t*)
{
    const int32_t p = std::min(Weave, kMaxPictureSide);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (p <= 1) return copyPixels(s, d);
        // Brightness (of 256) across a thread: round on top, lit on the
        // side towards the light.
        std::vector<int32_t> across(static_cast<size_t>(p));
        for (int32_t k = 0; k < p; ++k) {
            const double u = (k + 0.5) / p * 3.141592653589793;
            across[k] = static_cast<int32_t>(std::lrint(256.0 * (0.74 + 0.26 * std::sin(u) + 0.12 * std::cos(u))));
        }
        forRows(s.h, 8 * int64_t(s.w), [&](int32_t y) {
            const int32_t cy = y / p, ky = y % p;
            const uint32_t* in = s.row(y);
            uint32_t* out = d.row(y);
            int32_t cx = 0, kx = 0;
            for (int32_t x = 0; x < s.w; ++x) {
                // Where the cell's parity is even the thread along the rows
                // lies on top, elsewhere the one along the columns.
                const int32_t m = ((cx + cy) & 1) == 0 ? across[ky] : across[kx];
                out[x] = scalePixel(in[x], m);
                if (++kx == p) {
                    kx = 0;
                    ++cx;
                }
            }
        });
    });
}

// The engine's relief.
bool zorveliLIB_Relief(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        return throughEngine(s, d, [](cBitFilter& e) { return e.RELIEF(); });
    });
}

// The picture cut into Across x Down tiles laid back apart: each tile loses
// a strip of a quarter of Gap percent of its size along every edge and is
// moved at random by up to Gap percent of its size, over whatever the
// destination holds, so the caller's background shows between the tiles
// as grout. Across or Down of 0 or less lays the whole picture.
bool zorveliLIB_Tile(EffectSurface& dst, const EffectSurface& src, int32_t Across, int32_t Down, int32_t Gap, int32_t*)
{
    const double gap = std::clamp(Gap, 0, 100) / 100.0;
    return runEffect(dst, src, Start::KeepDestination, [&](ConstPixels s, Pixels d) {
        if (Across <= 0 || Down <= 0) return copyPixels(s, d);
        const int32_t across = std::min(Across, s.w), down = std::min(Down, s.h);
        Random& random = programRandom();
        for (int32_t ty = 0; ty < down; ++ty) {
            const int32_t y0 = static_cast<int32_t>(int64_t(ty) * s.h / down);
            const int32_t y1 = static_cast<int32_t>(int64_t(ty + 1) * s.h / down);
            for (int32_t tx = 0; tx < across; ++tx) {
                const int32_t x0 = static_cast<int32_t>(int64_t(tx) * s.w / across);
                const int32_t x1 = static_cast<int32_t>(int64_t(tx + 1) * s.w / across);
                const double side = std::min(x1 - x0, y1 - y0);
                // A grout line of at least a pixel wherever the gap asks
                // for one.
                const int32_t trim = gap > 0 ? std::max(1, static_cast<int32_t>(std::lrint(side * gap / 4.0))) : 0;
                const int32_t ox = static_cast<int32_t>(std::lrint((random.next() * 2.0 - 1.0) * gap * (x1 - x0)));
                const int32_t oy = static_cast<int32_t>(std::lrint((random.next() * 2.0 - 1.0) * gap * (y1 - y0)));
                const int32_t sx0 = x0 + trim, sx1 = x1 - trim, sy0 = y0 + trim, sy1 = y1 - trim;
                const int32_t dx0 = std::max(sx0 + ox, 0), dx1 = std::min(sx1 + ox, s.w);
                if (dx0 >= dx1) continue;
                for (int32_t y = std::max(sy0 + oy, 0); y < std::min(sy1 + oy, s.h); ++y) {
                    const uint32_t* in = s.row(y - oy) + (dx0 - ox);
                    uint32_t* out = d.row(y) + dx0;
                    for (int32_t i = 0; i < dx1 - dx0; ++i) out[i] = in[i] & kColourMask;
                }
            }
        }
    });
}

// Four copies of the picture, moved Offset pixels left, right, up and down,
// laid over each other: a shaken, fragmented look.
bool zorveliLIB_Fragment(EffectSurface& dst, const EffectSurface& src, int32_t Offset, int32_t*)
{
    const int32_t o = std::clamp(Offset, 0, kMaxPictureSide);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (o == 0) return copyPixels(s, d);
        forRows(s.h, 8 * int64_t(s.w), [&](int32_t y) {
            const uint32_t* up = s.row(std::max(y - o, 0));
            const uint32_t* down = s.row(std::min(y + o, s.h - 1));
            const uint32_t* row = s.row(y);
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) {
                const uint32_t h = averagePixel(row[std::max(x - o, 0)], row[std::min(x + o, s.w - 1)]);
                out[x] = averagePixel(h, averagePixel(up[x], down[x])) & kColourMask;
            }
        });
    });
}

// Banks of fog drifting over the picture, thicker the larger Density (127
// hides most of the picture); 0 keeps the picture.
bool zorveliLIB_Fog(EffectSurface& dst, const EffectSurface& src, int32_t Density, int32_t*)
{
    const double density = std::clamp(Density, 0, 255) / 127.0;
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (density == 0.0) return copyPixels(s, d);
        const NoiseField fog = smoothNoise(s.w, s.h, shortSide(s) / 2.0, 6, 0.5);
        constexpr uint32_t kFog = 0x00E6E8E8u;   // a light, slightly warm grey
        const float k = static_cast<float>(density);
        forRows(s.h, 8 * int64_t(s.w), [&](int32_t y) {
            const float* n = fog.row(y);
            const uint32_t* in = s.row(y);
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) {
                const float t = std::clamp((n[x] - 0.3f) / 0.4f, 0.0f, 1.0f);
                const float f = std::min(k * (0.2f + 0.8f * t * t * (3.0f - 2.0f * t)), 0.95f);
                out[x] = lerpPixel(in[x], kFog, static_cast<uint32_t>(f * 256.0f)) & kColourMask;
            }
        });
    });
}

// Oil paint: each pixel takes the mean colour of the most common tone among
// the pixels within Radius (0 to 7) of it, the tones counted in
// 6 + Detail / 16 steps; a radius of 0 keeps the picture.
bool zorveliLIB_OilPaint(EffectSurface& dst, const EffectSurface& src, int32_t Radius, int32_t Detail, int32_t*)
{
    constexpr int32_t kMaxTones = 24;
    const int32_t r = std::clamp(Radius, 0, 7);
    const int32_t tones = std::clamp(6 + Detail / 16, 2, kMaxTones);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (r == 0) return copyPixels(s, d);
        // Each pixel once as it enters the counts: blue, green and red in
        // 16-bit fields, a count of 1 above them and its tone in the top
        // byte.
        std::vector<uint64_t> packed(s.count());
        forRows(s.h, 8 * int64_t(s.w), [&](int32_t y) {
            const uint32_t* in = s.row(y);
            uint64_t* out = packed.data() + static_cast<size_t>(y) * s.w;
            for (int32_t x = 0; x < s.w; ++x) {
                const uint32_t p = in[x];
                out[x] = uint64_t(p & 0xFF) | (uint64_t(p & 0xFF00) << 8) | (uint64_t(p & 0xFF0000) << 16) |
                    (uint64_t(1) << 48) | (uint64_t(lumaOf(p) * tones / 256) << 56);
            }
        });
        constexpr uint64_t kFields = (uint64_t(1) << 56) - 1;
        const int32_t side = 2 * r + 1;
        forBands(s.h, int64_t(s.w) * (4 * side + tones), [&](int32_t ya, int32_t yb) {
            std::vector<const uint64_t*> rows(static_cast<size_t>(side));
            // Per tone, in one word: the blue, green and red sums and the
            // count, 16 bits each (a window holds at most 15 x 15 pixels,
            // whose sum of one channel stays below 65536).
            std::array<uint64_t, kMaxTones> hist{};
            for (int32_t y = ya; y < yb; ++y) {
                for (int32_t k = 0; k < side; ++k)
                    rows[k] = packed.data() + static_cast<size_t>(std::clamp(y - r + k, 0, s.h - 1)) * s.w;
                hist.fill(0);
                const auto add = [&](int32_t x) {
                    x = std::clamp(x, 0, s.w - 1);
                    for (int32_t k = 0; k < side; ++k) {
                        const uint64_t v = rows[k][x];
                        hist[v >> 56] += v & kFields;
                    }
                };
                const auto remove = [&](int32_t x) {
                    x = std::clamp(x, 0, s.w - 1);
                    for (int32_t k = 0; k < side; ++k) {
                        const uint64_t v = rows[k][x];
                        hist[v >> 56] -= v & kFields;
                    }
                };
                for (int32_t x = -r; x <= r; ++x) add(x);
                uint32_t* out = d.row(y);
                for (int32_t x = 0; x < s.w; ++x) {
                    int32_t best = 0;
                    uint64_t most = hist[0] >> 48;
                    for (int32_t b = 1; b < tones; ++b) {
                        const uint64_t c = hist[b] >> 48;
                        if (c > most) {
                            most = c;
                            best = b;
                        }
                    }
                    const uint64_t h = hist[best];
                    const uint32_t c = static_cast<uint32_t>(most), half = c / 2;
                    out[x] = packBgr((static_cast<uint32_t>(h & 0xFFFF) + half) / c,
                                     (static_cast<uint32_t>((h >> 16) & 0xFFFF) + half) / c,
                                     (static_cast<uint32_t>((h >> 32) & 0xFFFF) + half) / c);
                    remove(x - r);
                    add(x + r + 1);
                }
            }
        });
    });
}

// Looking through frosted glass: every pixel scattered up to Roughness
// pixels (the engine's diffuse) under a pale, icy veil.
bool zorveliLIB_FrostGlass(EffectSurface& dst, const EffectSurface& src, int32_t Roughness, int32_t*)
{
    const int32_t r = std::clamp(Roughness, 1, 50);
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        if (!throughEngine(s, d, [&](cBitFilter& e) { return e.DIFFUSE(2 * r, 2 * r); })) return false;
        constexpr uint32_t kIce = 0x00F0F0F6u;
        forRows(s.h, 8 * int64_t(s.w), [&](int32_t y) {
            uint32_t* out = d.row(y);
            for (int32_t x = 0; x < s.w; ++x) out[x] = lerpPixel(out[x], kIce, 60) & kColourMask;
        });
        return true;
    });
}

// Drops of water on the picture: Number drops, the largest Size / 800 of the
// shorter side across its radius, each a small lens (magnifying by up to
// FishEye percent) with a highlight on its upper left and a shadow on its
// lower right.
bool zorveliLIB_RainDrops(EffectSurface& dst, const EffectSurface& src, int32_t Size, int32_t Number, int32_t FishEye,
                          int32_t*)
{
    const int32_t number = std::clamp(Number, 0, 5000);
    const double fish = std::clamp(FishEye, 0, 100) / 100.0;
    const double sizeShare = std::clamp(Size, 0, 400) / 800.0;
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        copyPixels(s, d);
        const double maxR = std::max(2.0, shortSide(s) * sizeShare);
        Random& random = programRandom();
        for (int32_t i = 0; i < number; ++i) {
            const double cx = random.next() * static_cast<float>(s.w), cy = random.next() * static_cast<float>(s.h);
            const double rad = maxR * (0.35 + 0.65 * random.next());
            const int32_t xa = std::max(0, static_cast<int32_t>(cx - rad)),
                          xb = std::min(s.w - 1, static_cast<int32_t>(cx + rad) + 1);
            const int32_t ya = std::max(0, static_cast<int32_t>(cy - rad)),
                          yb = std::min(s.h - 1, static_cast<int32_t>(cy + rad) + 1);
            const double hx = cx - 0.4 * rad, hy = cy - 0.4 * rad, hr = 0.3 * rad;
            for (int32_t y = ya; y <= yb; ++y) {
                uint32_t* out = d.row(y);
                for (int32_t x = xa; x <= xb; ++x) {
                    const double dx = x - cx, dy = y - cy;
                    const double t2 = (dx * dx + dy * dy) / (rad * rad);
                    if (t2 >= 1.0) continue;
                    // The lens: points near the middle come from nearer the
                    // drop's centre.
                    const double k = 1.0 - fish * 0.7 * (1.0 - t2);
                    uint32_t p = sampleBilinear(s, static_cast<float>(cx + dx * k), static_cast<float>(cy + dy * k));
                    // The rim darkens on the side away from the light.
                    const double side = (dx + dy) / (rad * 1.41421356);
                    const double rim = std::clamp((std::sqrt(t2) - 0.7) / 0.3, 0.0, 1.0);
                    int32_t m = static_cast<int32_t>(std::lrint(
                        256.0 * (1.0 - 0.55 * rim * std::max(side, 0.0) + 0.15 * rim * std::max(-side, 0.0))));
                    p = scalePixel(p, m);
                    const double hd = std::sqrt((x - hx) * (x - hx) + (y - hy) * (y - hy)) / hr;
                    if (hd < 1.0)
                        p = lerpPixel(p, 0x00FFFFFFu,
                                      static_cast<uint32_t>(std::lrint(220.0 * (1.0 - hd) * (1.0 - hd))));
                    out[x] = p & kColourMask;
                }
            }
        }
    });
}

// The picture mirrored left to right (Horizontal non-zero) and top to
// bottom (Vertical non-zero), as the engine's flip mirrors it. Width and
// Height must be the picture's size. Each result row is one source row,
// read backwards for a mirror: copied straight across rather than through
// the engine, whose bordered copy and result cost three pictures more,
// and over a destination of the picture's size.
bool zorveliLIB_Flip(EffectSurface& dst, const EffectSurface& src, int32_t Width, int32_t Height, int32_t Horizontal,
                     int32_t Vertical, int32_t*)
{
    if (Width != src.width || Height != src.height) return false;
    return runWholeResult(dst, src, [&](ConstPixels s, Pixels d) {
        forRows(s.h, 2 * int64_t(s.w), [&](int32_t y) {
            const uint32_t* in = s.row(Vertical != 0 ? s.h - 1 - y : y);
            uint32_t* out = d.row(y);
            if (Horizontal != 0) {
                for (int32_t x = 0, from = s.w - 1; x < s.w; ++x, --from) out[x] = in[from] & kColourMask;
            } else {
                for (int32_t x = 0; x < s.w; ++x) out[x] = in[x] & kColourMask;
            }
        });
    });
}

} // namespace tq::effects
