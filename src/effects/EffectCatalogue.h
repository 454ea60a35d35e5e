// The numbered special effects: for every effect number, the menu item that
// leads to it, whether it is applied at once or through the effect dialog,
// and for a dialog effect the dialog's caption, the strength slider's range
// and start value and the options frame the dialog shows.
//
// The library call each number makes is the effect-call table's
// (effectslib/EffectCalls.h); this table says only how the program gets there.
#pragma once

#include <cstdint>
#include <span>

namespace tq::effects {

enum class EffectKind : uint8_t {
    AtOnce,   // applied to the picture without a dialog
    Dialog,   // set up and previewed in the effect dialog first
};

// The options frame a dialog effect shows (the codes the dialog set-up
// takes): none of its own, the colour to replace with its replacement, or
// the tile effect's background colour.
namespace OptionsFrame {
inline constexpr int16_t None = 0;         // the frame "No Options"
inline constexpr int16_t Color = 1;        // colour to replace and replacement
inline constexpr int16_t TileEffect = 2;   // background colour
}

struct EffectEntry {
    int16_t id;
    // The menu item: its control array and index, caption as stored and
    // shortcut ("" for none); array null for the four entries no menu item
    // leads to. Items defined invisible are also disabled and never shown.
    const char* menuArray;
    int16_t menuIndex;
    const char* itemCaption;
    const char* shortcut;
    bool itemVisible;

    EffectKind kind;
    // Dialog effects only.
    const char* dialogCaption;
    int16_t Min;
    int16_t Max;
    int16_t start;
    int16_t frame;
    // The slider's maximum is the width of the dialog's fitted source
    // preview, read after the preview is sized (Max above is unused then).
    bool maxIsPreviewWidth;
};

// Every effect with an entry, in id order (72 of them).
std::span<const EffectEntry> effectCatalogue();

// The entry of an effect number; nullptr for a number without one (15, 26,
// 31, 52, 59, 63, 77 and anything outside 2..80).
const EffectEntry* findEffect(int id);

} // namespace tq::effects
