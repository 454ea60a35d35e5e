// The direct filter commands: each key runs one member of the filter engine
// with arguments fixed for it, at once, without a dialog.
//
// The table is written once, as a template over the engine type, so that the
// program instantiates it with cBitFilter and a test can instantiate the very
// same rows with a recording double that has members of the same names and
// see which member each key calls and with which arguments.
#pragma once

#include "filters/cBitFilter.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace tq {

// A flag a member takes as a 16-bit whole number counts only when it is
// exactly "true" (-1).
inline constexpr int16_t kFlagTrue = -1;
inline constexpr int16_t kFlagFalse = 0;

template <class Engine>
struct DirectFilterRow {
    const char* key;
    // Pending messages run before the filter; FLIPH and FLIPV skip that.
    bool pumpFirst;
    // The member call; nullopt when the member failed.
    FilterResult (*run)(Engine&);
};

template <class Engine>
const std::array<DirectFilterRow<Engine>, 69>& directFilterTable()
{
    using E = Engine;
    using R = FilterResult;
    static const std::array<DirectFilterRow<Engine>, 69> rows{{
        {"FLIPH", false, [](E& e) -> R { return e.Flip(true, false); }},
        {"FLIPV", false, [](E& e) -> R { return e.Flip(false, true); }},
        {"INVERT", true, [](E& e) -> R { return e.Invert(); }},
        {"GRAYSCALE", true, [](E& e) -> R { return e.GreyScale(); }},
        {"RELIEF", true, [](E& e) -> R { return e.RELIEF(); }},
        {"ERODE", true, [](E& e) -> R { return e.ERODE(); }},
        {"DILATE", true, [](E& e) -> R { return e.DILATE(); }},
        {"LIGHTSHARPEN", true, [](E& e) -> R { return e.SHARPEN(10); }},
        {"HEAVYSHARPEN", true, [](E& e) -> R { return e.SHARPEN(40); }},
        {"PAINTING", true, [](E& e) -> R { return e.PAINTING(); }},
        {"EDGEENHANCE", true, [](E& e) -> R { return e.EDGEENHANCE(10); }},
        {"ENHANCEWHITE", true, [](E& e) -> R { return e.RankFilterND(1); }},   // maximum
        {"ENHANCEBLACK", true, [](E& e) -> R { return e.RankFilterND(0); }},   // minimum
        {"LUMPLUS", true, [](E& e) -> R { return e.BRIGHTNESS(20); }},
        // Brighter than LUMPLUS, whatever its name says.
        {"LUMMINUS", true, [](E& e) -> R { return e.BRIGHTNESS(80); }},
        {"LIGHTEMBOSS", true, [](E& e) -> R { return e.EMBOSS(10); }},
        {"HEAVYEMBOSS", true, [](E& e) -> R { return e.EMBOSS(30); }},
        {"LIGHTCONTOUR", true, [](E& e) -> R { return e.CONTOUR(200, 0xFFFFFF); }},
        {"HEAVYCONTOUR", true, [](E& e) -> R { return e.CONTOUR(255, 0xFFFFFF); }},
        {"LIGHTDIFFUSE", true, [](E& e) -> R { return e.DIFFUSE(5, 10); }},
        {"HEAVYDIFFUSE", true, [](E& e) -> R { return e.DIFFUSE(10, 30); }},
        {"LIGHTENGRAVE", true, [](E& e) -> R { return e.Engrave(10); }},
        {"HEAVYENGRAVE", true, [](E& e) -> R { return e.Engrave(30); }},
        {"LIGHTSOFTEN", true, [](E& e) -> R { return e.SOFTEN(30); }},
        {"HEAVYSOFTEN", true, [](E& e) -> R { return e.SOFTEN(80); }},
        {"LIGHTBLUR", true, [](E& e) -> R { return e.Blurs(1); }},
        {"HEAVYBLUR", true, [](E& e) -> R { return e.Blurs(2); }},
        {"LIGHTNOISE", true, [](E& e) -> R { return e.NOISE(20, true); }},
        {"HEAVYNOISE", true, [](E& e) -> R { return e.NOISE(40, true); }},
        {"LIGHTSATURATION", true, [](E& e) -> R { return e.SATURATION(10); }},
        {"HEAVYSATURATION", true, [](E& e) -> R { return e.SATURATION(20); }},
        {"WWAVES", true, [](E& e) -> R { return e.WAVES(30, 40, 0); }},
        {"AADDSCANLINES", true, [](E& e) -> R { return e.Scanlines(30); }},
        {"BBRIGHTNESS", true, [](E& e) -> R { return e.BRIGHTNESS(40); }},
        {"FISHEYE", true, [](E& e) -> R { return e.LENS(50.0f, 50.0f, 60.0f, 60); }},
        // The curtain variants in the filter dialog's numbering.
        {"CURTAINHORIZONTAL", true, [](E& e) -> R { return e.GLASS("curtain", 0); }},
        {"CURTAINVERTICAL", true, [](E& e) -> R { return e.GLASS("curtain", 1); }},
        {"CURTAINCLASSY", true, [](E& e) -> R { return e.GLASS("curtain", 2); }},
        {"CURTAINWHITY", true, [](E& e) -> R { return e.GLASS("curtain", 3); }},
        {"THERMIQUE", true, [](E& e) -> R { return e.THERMIQUE(); }},
        {"XBLACK", true, [](E& e) -> R { return e.XBLACK(); }},
        {"PHOTOCOP", true, [](E& e) -> R { return e.PHOTOCOP(); }},
        {"SLANTING", true, [](E& e) -> R { return e.GLASS("slanting", 0); }},
        {"HORIZONTAL", true, [](E& e) -> R { return e.GLASS("horizontal", 0); }},
        {"VERTICAL", true, [](E& e) -> R { return e.GLASS("vertical", 0); }},
        {"SQUARY", true, [](E& e) -> R { return e.GLASS("squary", 0); }},
        {"SOFTRED", true, [](E& e) -> R { return e.ClassyColors(3); }},
        {"HARDRED", true, [](E& e) -> R { return e.SpecialColors(kFlagTrue, kFlagFalse, kFlagFalse); }},
        {"SOFTBLUE", true, [](E& e) -> R { return e.ClassyColors(0); }},
        {"HARDBLUE", true, [](E& e) -> R { return e.SpecialColors(kFlagFalse, kFlagFalse, kFlagTrue); }},
        {"SOFTGREEN", true, [](E& e) -> R { return e.ClassyColors(1); }},
        {"HARDGREEN", true, [](E& e) -> R { return e.SpecialColors(kFlagFalse, kFlagTrue, kFlagFalse); }},
        {"SOFTYELLOW", true, [](E& e) -> R { return e.ClassyColors(8); }},
        {"HARDYELLOW", true, [](E& e) -> R { return e.SpecialColors(kFlagTrue, kFlagTrue, kFlagFalse); }},
        {"PURPLE", true, [](E& e) -> R { return e.ClassyColors(2); }},
        {"ORANGE", true, [](E& e) -> R { return e.ClassyColors(10); }},
        {"CYAN", true, [](E& e) -> R { return e.SpecialColors(kFlagFalse, kFlagTrue, kFlagTrue); }},
        {"MAGENTA", true, [](E& e) -> R { return e.SpecialColors(kFlagTrue, kFlagFalse, kFlagTrue); }},
        {"RETRO", true, [](E& e) -> R { return e.ClassyColors(7); }},
        {"WETPAPER", true, [](E& e) -> R { return e.ClassyColors(11); }},
        {"SPOTTED", true, [](E& e) -> R { return e.ClassyColors(6); }},
        {"RGB2BRG", true, [](E& e) -> R { return e.SwapBanks(1); }},
        {"RGB2GBR", true, [](E& e) -> R { return e.SwapBanks(2); }},
        {"RGB2RBG", true, [](E& e) -> R { return e.SwapBanks(3); }},
        {"RGB2BGR", true, [](E& e) -> R { return e.SwapBanks(4); }},
        {"RGB2GRB", true, [](E& e) -> R { return e.SwapBanks(5); }},
        {"SEPIATONE", true, [](E& e) -> R { return e.COLORIZE(0.5f, 0.25f, 1.0f); }},
        {"OLDPHOTO", true, [](E& e) -> R { return e.OLDPHOTO(); }},
        {"EQUALIZE", true, [](E& e) -> R { return e.Equalize(); }},
    }};
    return rows;
}

// The row of a key (exact, case-sensitive), or nullptr.
template <class Engine>
const DirectFilterRow<Engine>* findDirectFilter(std::string_view key)
{
    for (const auto& row : directFilterTable<Engine>())
        if (key == row.key) return &row;
    return nullptr;
}

} // namespace tq
