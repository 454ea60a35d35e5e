// The 41 pages of the filter dialog, numbered by FilterPageId (0 to 40):
// what each page sets up (caption, the command keys that open it, its
// parameter rows, its option, its extras) and the engine member its run calls
// with the arguments built from the dialog's controls.
//
// The run side is written once, as a template over the engine type, so that
// the dialog instantiates it with cBitFilter and a test instantiates the very
// same calls with a recording double that has members of the same names.
#pragma once

#include "document/Numeric.h"
#include "filters/HslConversion.h"
#include "filters/PaletteMatch.h"
#include "filters/cBitFilter.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tq {

inline constexpr int32_t kFilterPageCount = 41;

// The pages that set their parameters with controls of their own instead of
// slider rows.
inline constexpr int32_t kPageBanks = 26;
inline constexpr int32_t kPageGlass = 39;
inline constexpr int32_t kPageCurtain = 40;

// One parameter row: label, minimum to maximum, default. Every row has scale
// 1 and shows whole numbers.
struct FilterRowSpec {
    const char* label = nullptr;
    int32_t min = 0;
    int32_t max = 0;
    int32_t def = 0;
};

enum class FilterExtra { None, Banks, Glass, Curtain };

// The argument of ShowColorSwatches: -1 both swatches, 0 only the second
// (the first hidden), 1 only the first; kNoSwatches when the page shows none.
inline constexpr int16_t kNoSwatches = -2;
inline constexpr int16_t kBothSwatches = -1;
inline constexpr int16_t kSecondSwatchOnly = 0;
inline constexpr int16_t kFirstSwatchOnly = 1;

struct FilterPageSpec {
    const char* caption = nullptr;
    // The command keys that open the page (nullptr where there are fewer).
    std::array<const char*, 2> keys{};
    int32_t rowCount = 0;
    std::array<FilterRowSpec, 3> rows{};
    // The option check box's label (nullptr: no option) and its state at
    // opening.
    const char* option = nullptr;
    bool optionDefault = false;
    // The rows are centred: the member gets each slider less half its
    // maximum (only Gamma, whose 0..200 slider passes -100..100).
    bool centred = false;
    // Point picking on the source preview.
    bool pick = false;
    int16_t swatches = kNoSwatches;
    FilterExtra extra = FilterExtra::None;
};

// The page table, index = FilterPageId.
const std::array<FilterPageSpec, kFilterPageCount>& filterPages();
// The page's entry; nullptr outside 0..40.
const FilterPageSpec* filterPage(int32_t page);
// The page a command key opens (exact, case-sensitive); -1 for none.
int32_t filterPageOfKey(std::string_view key);

// What a page's call is built from, as the dialog read it at the run.
struct FilterPageArgs {
    // The rows' values less their centre offset, or the values the page's own
    // controls set (banks; glass or curtain variant in P[0]).
    std::array<int32_t, 3> P{};
    // The option check box ticked.
    bool O = false;
    // The two swatches' colours (red in the low byte).
    std::array<int32_t, 2> S{};
    // The pick point as fractions of the preview's width and height.
    float X = 0.5f;
    float Y = 0.5f;
    // The preview's larger side.
    int32_t L = 1;
    // The glass or curtain style keyword.
    std::string GlassStyleName;
    // The banks page's invert and kill boxes, red, green, blue.
    std::array<bool, 3> Inv{};
    std::array<bool, 3> Kill{};
};

// A 16-bit flag counts as true only as -1.
inline int16_t filterFlag(bool v) { return v ? int16_t(-1) : int16_t(0); }

// Colorize's hue: the 0..100 slider taken times 2.4 to the nearest whole
// number (0..240), folded so that values above 200 lose 240, in sixths of a
// turn: 0..83 give 0..4.975, 84..100 give -0.95..0, so both ends of the
// slider give the same hue.
inline float colorizeHue(int32_t P0) { return single(Module6::WrapHueOffset(rnd(P0 * 2.4)) / 40.0); }

// A size given in preview pixels as a share of the preview's larger side:
// the engine multiplies it by the larger side of whatever it filters, so the
// preview and the whole picture show the same proportion.
inline float relativeToLargerSide(int32_t v, int32_t L) { return single(static_cast<double>(v) / (L < 1 ? 1 : L)); }

template <class Engine>
using FilterPageCall = FilterResult (*)(Engine&, const FilterPageArgs&);

// The call of every page, index = FilterPageId.
template <class Engine>
const std::array<FilterPageCall<Engine>, kFilterPageCount>& filterPageCalls()
{
    using E = Engine;
    using A = FilterPageArgs;
    using R = FilterResult;
    static const std::array<FilterPageCall<Engine>, kFilterPageCount> calls{{
        [](E& e, const A& a) -> R {
            return e.COLORIZE(colorizeHue(a.P[0]), single(a.P[1] / 100.0), single(a.P[2] / 100.0));
        },
        [](E& e, const A& a) -> R { return e.BRIGHTNESS(a.P[0]); },
        [](E& e, const A& a) -> R { return e.Contrast(a.P[0]); },
        [](E& e, const A& a) -> R { return e.SATURATION(a.P[0]); },
        [](E& e, const A& a) -> R { return e.GammaCorrection(a.P[0]); },
        [](E& e, const A& a) -> R { return e.DIFFUSE(a.P[0], a.P[1]); },
        [](E& e, const A& a) -> R { return e.Blurs(a.P[0]); },
        [](E& e, const A& a) -> R { return e.HALFTONE(a.P[0], a.P[1], a.P[2]); },
        [](E& e, const A& a) -> R { return e.PIXELIZE(a.P[0]); },
        [](E& e, const A& a) -> R { return e.EMBOSS(a.P[0]); },
        [](E& e, const A& a) -> R { return e.Engrave(a.P[0]); },
        [](E& e, const A& a) -> R { return e.CONTOUR(a.P[0], a.S[1]); },
        [](E& e, const A& a) -> R { return e.SKETCH(a.P[0], a.O, a.S[1]); },
        [](E& e, const A& a) -> R { return e.Threshold(a.P[0]); },
        [](E& e, const A& a) -> R { return e.ISOLATE(a.S[0], a.S[1], a.P[0]); },
        [](E& e, const A& a) -> R { return e.Reduction(a.P[0]); },
        [](E& e, const A& a) -> R { return e.REPLACE(a.S[0], a.S[1], a.P[0]); },
        [](E& e, const A& a) -> R { return e.ReplaceHS(a.S[0], a.S[1], a.P[0], a.P[1], a.P[2]); },
        [](E& e, const A& a) -> R { return e.ReplaceL(a.S[0], a.S[1], a.P[0], a.P[1]); },
        [](E& e, const A& a) -> R { return e.SHARPEN(a.P[0]); },
        [](E& e, const A& a) -> R { return e.SOFTEN(a.P[0]); },
        [](E& e, const A& a) -> R { return e.Shift(a.S[0], a.P[0], a.P[1]); },
        [](E& e, const A& a) -> R { return e.RotateH(a.P[0], a.P[1]); },
        [](E& e, const A& a) -> R { return e.RotateL(a.P[0], a.P[1]); },
        [](E& e, const A& a) -> R { return e.StretchH(a.P[0], a.P[1], a.P[2]); },
        [](E& e, const A& a) -> R { return e.ShiftRGB(a.P[0], a.P[1], a.P[2]); },
        [](E& e, const A& a) -> R {
            return e.SwapRGB(a.P[0], a.P[1], a.P[2], filterFlag(a.Inv[0]), filterFlag(a.Inv[1]),
                             filterFlag(a.Inv[2]), filterFlag(a.Kill[0]), filterFlag(a.Kill[1]),
                             filterFlag(a.Kill[2]));
        },
        [](E& e, const A& a) -> R { return e.LENS(a.X, a.Y, relativeToLargerSide(a.P[0], a.L), a.P[1]); },
        [](E& e, const A& a) -> R { return e.WAVES(a.P[0], a.P[1], a.P[2]); },
        [](E& e, const A& a) -> R { return e.BEND(a.P[0], a.O); },
        [](E& e, const A& a) -> R { return e.FOLD(a.P[0], a.P[1], a.O); },
        [](E& e, const A& a) -> R { return e.ROTATE(a.P[0], a.O); },
        [](E& e, const A& a) -> R { return e.STRETCH(a.P[0], a.P[1], a.O); },
        [](E& e, const A& a) -> R { return e.TILE(a.P[0]); },
        [](E& e, const A& a) -> R { return e.TWIRL(a.P[0], a.P[1], a.O); },
        [](E& e, const A& a) -> R { return e.Grid(a.P[0], a.P[1], a.O, a.S[1], a.P[2]); },
        [](E& e, const A& a) -> R {
            return e.Light(a.X, a.Y, relativeToLargerSide(a.P[0], a.L), a.P[1], a.P[2]);
        },
        [](E& e, const A& a) -> R { return e.NOISE(a.P[0], a.O); },
        [](E& e, const A& a) -> R { return e.Scanlines(a.P[0]); },
        [](E& e, const A& a) -> R { return e.GLASS(a.GlassStyleName, static_cast<int16_t>(a.P[0])); },
        [](E& e, const A& a) -> R { return e.GLASS(a.GlassStyleName, static_cast<int16_t>(a.P[0])); },
    }};
    return calls;
}

// Runs the page's call; a page outside 0..40 calls nothing (nullopt, as a
// member that failed: the buffer stays as it was).
template <class Engine>
FilterResult runFilterPage(Engine& e, int32_t page, const FilterPageArgs& a)
{
    if (page < 0 || page >= kFilterPageCount) return std::nullopt;
    return filterPageCalls<Engine>()[static_cast<size_t>(page)](e, a);
}

} // namespace tq
