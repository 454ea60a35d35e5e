// The 33 tile effects of the textures window's effect menu: each runs one
// member of the filter engine on the tile with the strength S (1 to 100) of
// the window's strength row, in alphabetical order of their captions.
//
// The table is written once as a template over the engine type, so that the
// program runs it on cBitFilter and a test runs the very same rows on a
// recording double to see which member each effect calls with which
// arguments.
#pragma once

#include "document/Numeric.h"
#include "filters/cBitFilter.h"

#include <array>
#include <cstdint>

namespace tq {

inline constexpr int16_t kTileEffectCount = 33;
// Emboss, chosen when the window loads.
inline constexpr int16_t kDefaultTileEffect = 8;
inline constexpr int32_t kDefaultTileStrength = 3;

// The "Rotate" effect turns the tile by the whole number of degrees nearest
// to S x 3.6, so the strength's 1 to 100 spans a full turn.
inline int32_t tileRotateDegrees(int32_t S) { return rnd(S * 3.6); }

template <class Engine>
struct TileEffectRow {
    const char* caption;
    // The strength row is shown while the effect is chosen.
    bool takesStrength;
    // The member call on the engine holding the tile; nullopt when it failed.
    FilterResult (*run)(Engine&, int32_t S);
};

template <class Engine>
const std::array<TileEffectRow<Engine>, kTileEffectCount>& tileEffectTable()
{
    using E = Engine;
    using R = FilterResult;
    constexpr int32_t white = 0xFFFFFF;
    static const std::array<TileEffectRow<Engine>, kTileEffectCount> rows{{
        {"Blur", false, [](E& e, int32_t) -> R { return e.Blurs(2); }},
        {"Contour", true, [](E& e, int32_t S) -> R { return e.CONTOUR(S, white); }},
        {"Contrast", true, [](E& e, int32_t S) -> R { return e.Contrast(S); }},
        {"Diffuse", true, [](E& e, int32_t S) -> R { return e.DIFFUSE(S, S); }},
        {"Dilate", false, [](E& e, int32_t) -> R { return e.DILATE(); }},
        {"Dissolve", false, [](E& e, int32_t) -> R { return e.Dissolve(); }},
        {"Edge Enhance", true, [](E& e, int32_t S) -> R { return e.EDGEENHANCE(S); }},
        {"Emboss", true, [](E& e, int32_t S) -> R { return e.EMBOSS(S); }},
        {"Engrave", true, [](E& e, int32_t S) -> R { return e.Engrave(S); }},
        {"Equalize", false, [](E& e, int32_t) -> R { return e.Equalize(); }},
        {"Erode", false, [](E& e, int32_t) -> R { return e.ERODE(); }},
        {"Flip Horizontal", false, [](E& e, int32_t) -> R { return e.Flip(true, false); }},
        {"Flip Vertical", false, [](E& e, int32_t) -> R { return e.Flip(false, true); }},
        {"Fold", true, [](E& e, int32_t S) -> R { return e.FOLD(S, S, true); }},
        {"Gamma", true, [](E& e, int32_t S) -> R { return e.GammaCorrection(S); }},
        {"Greyscale", false, [](E& e, int32_t) -> R { return e.GreyScale(); }},
        {"Haftone", true, [](E& e, int32_t S) -> R { return e.HALFTONE(S, 1, 1); }},
        {"Invert", false, [](E& e, int32_t) -> R { return e.Invert(); }},
        {"Noise", true, [](E& e, int32_t S) -> R { return e.NOISE(S, false); }},
        {"OldPhoto", false, [](E& e, int32_t) -> R { return e.OLDPHOTO(); }},
        {"Painting", false, [](E& e, int32_t) -> R { return e.PAINTING(); }},
        {"Photocop", false, [](E& e, int32_t) -> R { return e.PHOTOCOP(); }},
        {"Pixelize", true, [](E& e, int32_t S) -> R { return e.PIXELIZE(S); }},
        {"Relief", false, [](E& e, int32_t) -> R { return e.RELIEF(); }},
        {"Rotate", true, [](E& e, int32_t S) -> R { return e.ROTATE(tileRotateDegrees(S), true); }},
        {"Scanlines", true, [](E& e, int32_t S) -> R { return e.Scanlines(S); }},
        {"Sharpen", true, [](E& e, int32_t S) -> R { return e.SHARPEN(S); }},
        {"Sketch", true, [](E& e, int32_t S) -> R { return e.SKETCH(S, false, white); }},
        {"Soften", true, [](E& e, int32_t S) -> R { return e.SOFTEN(S); }},
        {"Thermique", false, [](E& e, int32_t) -> R { return e.THERMIQUE(); }},
        {"Twirl", true, [](E& e, int32_t S) -> R { return e.TWIRL(S, 90, true); }},
        {"Waves", true, [](E& e, int32_t S) -> R { return e.WAVES(S, 20, 0); }},
        {"XBlack", false, [](E& e, int32_t) -> R { return e.XBLACK(); }},
    }};
    return rows;
}

// The row of effect number n (1 to 33), nullptr for another number.
template <class Engine>
const TileEffectRow<Engine>* tileEffect(int32_t n)
{
    if (n < 1 || n > kTileEffectCount) return nullptr;
    return &tileEffectTable<Engine>()[static_cast<size_t>(n - 1)];
}

// Runs effect n on the engine; its result, or nullopt when the member
// failed or n names no effect.
template <class Engine>
FilterResult runTileEffect(Engine& engine, int32_t n, int32_t S)
{
    const TileEffectRow<Engine>* row = tileEffect<Engine>(n);
    if (!row) return std::nullopt;
    return row->run(engine, S);
}

} // namespace tq
