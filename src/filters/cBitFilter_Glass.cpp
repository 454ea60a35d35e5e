// Glass and curtain effects: each pixel takes one source pixel displaced by a
// sine, cosine or tangent of its own coordinates or of its place in the walk.
#include "filters/PixelMaps.h"
#include "filters/cBitFilter.h"

#include <cmath>

namespace tq {

namespace {

enum class GlassVariant {
    None,
    Slanting0, Slanting1,
    Vertical0, Vertical1, Vertical2,
    Horizontal0, Horizontal1, Horizontal2,
    Squary0, Squary1, Squary2,
    Curtain0, Curtain1, Curtain2, Curtain3,
};

// The style keywords match exactly, letter case and blanks included.
GlassVariant glassVariant(std::string_view style, int16_t intensity)
{
    struct Family {
        std::string_view name;
        GlassVariant first;
        int variants;
    };
    static constexpr Family kFamilies[] = {
        {"slanting", GlassVariant::Slanting0, 2},
        {"vertical", GlassVariant::Vertical0, 3},
        {"horizontal", GlassVariant::Horizontal0, 3},
        {"squary", GlassVariant::Squary0, 3},
        {"curtain", GlassVariant::Curtain0, 4},
    };
    for (const Family& f : kFamilies)
        if (style == f.name)
            return intensity >= 0 && intensity < f.variants
                       ? static_cast<GlassVariant>(static_cast<int>(f.first) + intensity)
                       : GlassVariant::None;
    return GlassVariant::None;
}

} // namespace

BitsBuffer cBitFilter::GLASS(std::string_view style, int16_t Intensity)
{
    BitsBuffer out = Bits_;
    const GlassVariant v = glassVariant(style, Intensity);
    // An unknown style or variant has no source point to take from.
    if (v == GlassVariant::None) {
        raiseProgress(100);
        return out;
    }
    inverseMapWalk(*this, out, false, [&](int32_t x, int32_t y, int32_t& sx, int32_t& sy) {
        const double fx = x, fy = y;
        sx = x;
        sy = y;
        switch (v) {
        case GlassVariant::Slanting0:
        case GlassVariant::Slanting1: {
            // The walk counter: 1 at the walk box's first pixel, counting
            // across rows.
            const int32_t n = (y - walkTop()) * (walkRight() - walkLeft() + 1) + (x - walkLeft()) + 1;
            if (v == GlassVariant::Slanting0) sx = rndFast(fx - 3.0 * std::sin(static_cast<double>(n)));
            else sy = rndFast(fy - 10.0 * std::sin(static_cast<double>(n)));
            break;
        }
        case GlassVariant::Vertical0: sx = rndFast(fx + 2.0 * std::tan(fx)); break;
        case GlassVariant::Vertical1: sx = rndFast(fx - 3.0 * std::sin(fx)); break;
        case GlassVariant::Vertical2: sx = rndFast(fx - 10.0 * std::cos(fx)); break;
        case GlassVariant::Horizontal0: sy = rndFast(fy + 2.0 * std::tan(fy)); break;
        case GlassVariant::Horizontal1: sy = rndFast(fy - 3.0 * std::sin(fy)); break;
        case GlassVariant::Horizontal2: sy = rndFast(fy - 10.0 * std::cos(fy)); break;
        case GlassVariant::Squary0:
            sx = rndFast(fx + 2.0 * std::tan(fx));
            sy = rndFast(fy + 2.0 * std::tan(fy));
            break;
        case GlassVariant::Squary1:
            sx = rndFast(fx - 5.0 * std::sin(fx));
            sy = rndFast(fy - 5.0 * std::sin(fy));
            break;
        case GlassVariant::Squary2:
            sx = rndFast(fx - 10.0 * std::cos(fx));
            sy = rndFast(fy - 10.0 * std::cos(fy));
            break;
        case GlassVariant::Curtain0: sx = rndFast(std::tan(fy)); break;
        case GlassVariant::Curtain1: sx = rndFast(std::tan(fx)); break;
        case GlassVariant::Curtain2: sx = rndFast(std::tan(fx) * std::tan(fy)); break;
        case GlassVariant::Curtain3: sy = rndFast(std::tan(fy) + std::tan(fx)); break;
        case GlassVariant::None: break;
        }
    });
    return out;
}

} // namespace tq
