// Glass and curtain effects: each pixel takes one source pixel displaced by a
// sine, cosine or tangent of its own coordinates or of its place in the walk.
#include "filters/PixelWalks.h"

#include <cmath>
#include <vector>

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
    const GlassVariant v = glassVariant(style, Intensity);
    // An unknown style or variant has no source point to take from.
    if (v == GlassVariant::None) {
        raiseProgress(100);
        return Bits_;
    }
    SetRegionBounds(0);
    const int32_t left = walkLeft(), top = walkTop();
    const int32_t boxWidth = walkRight() - left + 1;

    // The displacement of a column or row depends on that coordinate alone:
    // one value per column and per row of the box, worked out before the walk.
    const auto columns = [&](auto term) {
        std::vector<decltype(term(0.0))> t(boxWidth > 0 ? boxWidth : 0);
        for (int32_t i = 0; i < boxWidth; ++i) t[i] = term(static_cast<double>(left + i));
        return t;
    };
    const auto rows = [&](auto term) {
        std::vector<decltype(term(0.0))> t(walkBottom() >= top ? walkBottom() - top + 1 : 0);
        for (int32_t i = 0; i < static_cast<int32_t>(t.size()); ++i) t[i] = term(static_cast<double>(top + i));
        return t;
    };
    const auto tangent = [](double c) { return std::tan(c); };
    const auto ripple = [](double amplitude, auto wave) {
        return [=](double c) { return rndFast(c - amplitude * wave(c)); };
    };
    const auto sine = [](double c) { return std::sin(c); };
    const auto cosine = [](double c) { return std::cos(c); };
    const auto steep = [](double c) { return rndFast(c + 2.0 * std::tan(c)); };

    // Sources moved along the row by a table of columns, down the column by a
    // table of rows, or both.
    const auto byColumn = [&](const std::vector<int32_t>& sxOf) {
        return mappedRows(*this, false, [&](int32_t y, int32_t x0, int32_t x1, int32_t* sx, int32_t* sy) {
            for (int32_t x = x0; x <= x1; ++x, ++sx, ++sy) {
                *sx = sxOf[x - left];
                *sy = y;
            }
        });
    };
    const auto byRow = [&](const std::vector<int32_t>& syOf) {
        return mappedRows(*this, false, [&](int32_t y, int32_t x0, int32_t x1, int32_t* sx, int32_t* sy) {
            for (int32_t x = x0; x <= x1; ++x, ++sx, ++sy) {
                *sx = x;
                *sy = syOf[y - top];
            }
        });
    };
    const auto byBoth = [&](const std::vector<int32_t>& sxOf, const std::vector<int32_t>& syOf) {
        return mappedRows(*this, false, [&](int32_t y, int32_t x0, int32_t x1, int32_t* sx, int32_t* sy) {
            for (int32_t x = x0; x <= x1; ++x, ++sx, ++sy) {
                *sx = sxOf[x - left];
                *sy = syOf[y - top];
            }
        });
    };
    // The walk counter n: 1 at the walk box's first pixel, counting across
    // rows.
    const auto slanting = [&](bool sideways, double amplitude) {
        return mappedRows(*this, false, [&](int32_t y, int32_t x0, int32_t x1, int32_t* sx, int32_t* sy) {
            int32_t n = (y - top) * boxWidth + (x0 - left) + 1;
            for (int32_t x = x0; x <= x1; ++x, ++sx, ++sy, ++n) {
                const double shift = amplitude * std::sin(static_cast<double>(n));
                *sx = sideways ? rndFast(x - shift) : x;
                *sy = sideways ? y : rndFast(y - shift);
            }
        });
    };

    switch (v) {
    case GlassVariant::Slanting0: return slanting(true, 3.0);
    case GlassVariant::Slanting1: return slanting(false, 10.0);
    case GlassVariant::Vertical0: return byColumn(columns(steep));
    case GlassVariant::Vertical1: return byColumn(columns(ripple(3.0, sine)));
    case GlassVariant::Vertical2: return byColumn(columns(ripple(10.0, cosine)));
    case GlassVariant::Horizontal0: return byRow(rows(steep));
    case GlassVariant::Horizontal1: return byRow(rows(ripple(3.0, sine)));
    case GlassVariant::Horizontal2: return byRow(rows(ripple(10.0, cosine)));
    case GlassVariant::Squary0: return byBoth(columns(steep), rows(steep));
    case GlassVariant::Squary1: return byBoth(columns(ripple(5.0, sine)), rows(ripple(5.0, sine)));
    case GlassVariant::Squary2: return byBoth(columns(ripple(10.0, cosine)), rows(ripple(10.0, cosine)));
    case GlassVariant::Curtain0: {
        // Each row takes the colour of one column of its own: the tangent of
        // the row.
        const std::vector<int32_t> sxOf = rows([](double c) { return rndFast(std::tan(c)); });
        return mappedRows(*this, false, [&](int32_t y, int32_t x0, int32_t x1, int32_t* sx, int32_t* sy) {
            for (int32_t x = x0; x <= x1; ++x, ++sx, ++sy) {
                *sx = sxOf[y - top];
                *sy = y;
            }
        });
    }
    case GlassVariant::Curtain1: return byColumn(columns([](double c) { return rndFast(std::tan(c)); }));
    case GlassVariant::Curtain2: {
        const std::vector<double> tx = columns(tangent), ty = rows(tangent);
        return mappedRows(*this, false, [&](int32_t y, int32_t x0, int32_t x1, int32_t* sx, int32_t* sy) {
            for (int32_t x = x0; x <= x1; ++x, ++sx, ++sy) {
                *sx = rndFast(tx[x - left] * ty[y - top]);
                *sy = y;
            }
        });
    }
    case GlassVariant::Curtain3: {
        const std::vector<double> tx = columns(tangent), ty = rows(tangent);
        return mappedRows(*this, false, [&](int32_t y, int32_t x0, int32_t x1, int32_t* sx, int32_t* sy) {
            for (int32_t x = x0; x <= x1; ++x, ++sx, ++sy) {
                *sx = x;
                *sy = rndFast(ty[y - top] + tx[x - left]);
            }
        });
    }
    case GlassVariant::None: break;
    }
    return Bits_;
}

} // namespace tq
