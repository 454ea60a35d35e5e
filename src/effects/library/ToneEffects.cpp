// The tone effects: grey scale, sepia, ambient light and toning.
#include "effects/library/EngineBridge.h"
#include "effects/library/LibraryFunctions.h"
#include "platform/SystemColors.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tq::effects {

namespace {

// The pixel's luminance, 0.299 red + 0.587 green + 0.114 blue, in 8.8 fixed
// point weights (77, 150, 29).
inline int32_t lumaOf(uint32_t p)
{
    return static_cast<int32_t>(((p & 0xFF) * 29 + ((p >> 8) & 0xFF) * 150 + ((p >> 16) & 0xFF) * 77 + 128) >> 8);
}

} // namespace

// The engine's grey scale, then its brightness by Brightness.
bool zorveliLIB_GrayScale(EffectSurface& dst, const EffectSurface& src, int32_t Brightness, int32_t*)
{
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        return throughEngine(s, d, [&](cBitFilter& e) {
            e.setBits(e.GreyScale());
            return e.BRIGHTNESS(Brightness);
        });
    });
}

// The warm brown of an old print: the usual sepia mix of the three channels.
bool zorveliLIB_Sepia(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    // Weights in 1024ths: rows red, green, blue of the result; columns red,
    // green, blue of the pixel.
    static constexpr int32_t kMix[3][3] = {{402, 787, 194}, {357, 702, 172}, {279, 547, 134}};
    std::array<std::array<int32_t, 256>, 9> t{};
    for (int o = 0; o < 3; ++o)
        for (int c = 0; c < 3; ++c)
            for (int i = 0; i < 256; ++i) t[o * 3 + c][i] = kMix[o][c] * i;
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        const size_t n = s.count();
        for (size_t i = 0; i < n; ++i) {
            const uint32_t p = s.data[i];
            const uint32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
            const int32_t R = (t[0][r] + t[1][g] + t[2][b] + 512) >> 10;
            const int32_t G = (t[3][r] + t[4][g] + t[5][b] + 512) >> 10;
            const int32_t B = (t[6][r] + t[7][g] + t[8][b] + 512) >> 10;
            d.data[i] = packBgr(clamp255(B), clamp255(G), clamp255(R));
        }
    });
}

// The picture lit by a light of LightColor at Intensity (0 to 255): each
// channel times the light's channel times Intensity / 255^2. A white light
// at 255 keeps the picture.
bool zorveliLIB_AmbientLight(EffectSurface& dst, const EffectSurface& src, int32_t LightColor, int32_t Intensity,
                             int32_t*)
{
    const auto light = translateColor(LightColor);
    if (!light) return false;
    const int32_t level = std::clamp(Intensity, 0, 255);
    std::array<std::array<uint8_t, 256>, 3> t{};
    const int32_t channel[3] = {(*light >> 16) & 0xFF, (*light >> 8) & 0xFF, *light & 0xFF};   // blue, green, red
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i) t[c][i] = static_cast<uint8_t>((i * channel[c] * level + 32512) / 65025);
    return runEffect(dst, src,
                     [&](ConstPixels s, Pixels d) { mapChannels(s, d, t[0].data(), t[1].data(), t[2].data()); });
}

// Tones the picture in Color: each pixel moves Amount / 255 of the way to
// its own luminance tinted by the colour (the colour's channels less its
// luminance added). 0 keeps the picture.
bool zorveliLIB_Tone(EffectSurface& dst, const EffectSurface& src, int32_t Color, int32_t Amount, int32_t*)
{
    const auto tint = translateColor(Color);
    if (!tint) return false;
    const uint32_t amount = static_cast<uint32_t>(std::clamp(Amount, 0, 255));
    const uint32_t tp = pixelOfColor(*tint);
    const int32_t tl = lumaOf(tp);
    const int32_t offset[3] = {static_cast<int32_t>(tp & 0xFF) - tl, static_cast<int32_t>((tp >> 8) & 0xFF) - tl,
                               static_cast<int32_t>((tp >> 16) & 0xFF) - tl};
    return runEffect(dst, src, [&](ConstPixels s, Pixels d) {
        const size_t n = s.count();
        for (size_t i = 0; i < n; ++i) {
            const uint32_t p = s.data[i];
            const int32_t l = lumaOf(p);
            uint32_t out = 0;
            for (int c = 0; c < 3; ++c) {
                const int32_t v = static_cast<int32_t>((p >> (8 * c)) & 0xFF);
                const int32_t toned = clamp255(l + offset[c]);
                out |= static_cast<uint32_t>(
                           v + ((toned - v) * static_cast<int32_t>(amount) + (toned >= v ? 127 : -127)) / 255)
                    << (8 * c);
            }
            d.data[i] = out;
        }
    });
}

} // namespace tq::effects
