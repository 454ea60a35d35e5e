// The tone effects: grey scale, sepia, ambient light and toning.
#include "effects/library/EngineBridge.h"
#include "effects/library/LibraryFunctions.h"
#include "platform/SystemColors.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tq::effects {

namespace {

// x / 255 truncated toward zero, as the division does, for |x| up to
// 65152 (a step between two channel values times an amount, at most 255 x
// 255, plus the rounding 127): by one multiplication and a shift, which the
// compiler can put on vectors where it cannot put the division.
constexpr int32_t quotientBy255(int32_t x)
{
    const int32_t q = ((x < 0 ? -x : x) * 32897) >> 23;
    return x < 0 ? -q : q;
}
constexpr bool quotientBy255IsExact()
{
    for (int32_t x = -65152; x <= 65152; ++x)
        if (quotientBy255(x) != x / 255) return false;
    return true;
}
static_assert(quotientBy255IsExact());

} // namespace

// The engine's grey scale, then its brightness by Brightness: the grey of
// each pixel through the brightness's table.
bool zorveliLIB_GrayScale(EffectSurface& dst, const EffectSurface& src, int32_t Brightness, int32_t*)
{
    const auto bright = engineTables([&](cBitFilter& e) { return e.BRIGHTNESS(Brightness); });
    if (!bright) return false;
    const ByteTable& t = bright->blue;
    return runRows(dst, src, [&t](const uint32_t* s, uint32_t* d, int32_t n) {
        walkdetail::greyTableRow(reinterpret_cast<const uint8_t*>(s), reinterpret_cast<uint8_t*>(d), n, t, 0);
    });
}

// The warm brown of an old print: the usual sepia mix of the three channels.
bool zorveliLIB_Sepia(EffectSurface& dst, const EffectSurface& src, int32_t*)
{
    // Weights in 1024ths: rows red, green, blue of the result; columns red,
    // green, blue of the pixel.
    static constexpr int32_t kMix[3][3] = {{402, 787, 194}, {357, 702, 172}, {279, 547, 134}};
    return runRows(dst, src, wordRows([](uint32_t p) {
        const int32_t b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
        const int32_t R = (kMix[0][0] * r + kMix[0][1] * g + kMix[0][2] * b + 512) >> 10;
        const int32_t G = (kMix[1][0] * r + kMix[1][1] * g + kMix[1][2] * b + 512) >> 10;
        const int32_t B = (kMix[2][0] * r + kMix[2][1] * g + kMix[2][2] * b + 512) >> 10;
        return packBgr(clamp255(B), clamp255(G), clamp255(R));
    }));
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
    std::array<ByteTable, 3> t{};
    const int32_t channel[3] = {(*light >> 16) & 0xFF, (*light >> 8) & 0xFF, *light & 0xFF};   // blue, green, red
    for (int c = 0; c < 3; ++c)
        for (int i = 0; i < 256; ++i) t[c][i] = static_cast<uint8_t>((i * channel[c] * level + 32512) / 65025);
    return runRows(dst, src, tableRows(t[0], t[1], t[2]));
}

// Tones the picture in Color: each pixel moves Amount / 255 of the way to
// its own luminance tinted by the colour (the colour's channels less its
// luminance added). 0 keeps the picture.
bool zorveliLIB_Tone(EffectSurface& dst, const EffectSurface& src, int32_t Color, int32_t Amount, int32_t*)
{
    const auto tint = translateColor(Color);
    if (!tint) return false;
    const int32_t amount = std::clamp(Amount, 0, 255);
    const uint32_t tp = pixelOfColor(*tint);
    const int32_t tl = lumaOf(tp);
    // Held as three values (not an array the loop would read through) so
    // the compiler keeps them in registers and works the rows on vectors.
    const int32_t ob = static_cast<int32_t>(tp & 0xFF) - tl, og = static_cast<int32_t>((tp >> 8) & 0xFF) - tl,
                  orr = static_cast<int32_t>((tp >> 16) & 0xFF) - tl;
    return runRows(dst, src, wordRows([=](uint32_t p) {
        const int32_t l = lumaOf(p);
        const auto toned = [&](int32_t v, int32_t offset) {
            const int32_t t = clamp255(l + offset);
            return static_cast<uint32_t>(v + quotientBy255((t - v) * amount + (t >= v ? 127 : -127)));
        };
        return toned(static_cast<int32_t>(p & 0xFF), ob) | toned(static_cast<int32_t>((p >> 8) & 0xFF), og) << 8 |
            toned(static_cast<int32_t>((p >> 16) & 0xFF), orr) << 16;
    }));
}

} // namespace tq::effects
