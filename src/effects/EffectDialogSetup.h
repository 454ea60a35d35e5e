// Setting the effect dialog up for one effect: the effect it previews, the
// range and start value of its slider and up-down, and its options frame.
#pragma once

#include <cstdint>

class QScrollBar;

namespace tq {

class cpvSlider;
class fLayersEffects;

namespace modEffects {

// In this order: Dialog.Effect = EffectId; the slider enabled, then its Min,
// Max and Value; the up-down the same; then the frame OptionsFrame names
// (0 "No Options", 1 the colours, 2 the tile background; any other value
// none) made visible. The other frames are left as they are: a freshly made
// dialog has all three hidden. The slider's and the up-down's ValueChanged
// redraw the preview as they go. A refused assignment (a range the
// controls cannot take) ends the set-up there.
void InitEffectDialog(fLayersEffects& Dialog, int16_t EffectId, cpvSlider& Slider, int16_t Min, int16_t Max,
                      int16_t Value, QScrollBar& UpDown, int16_t OptionsFrame);

} // namespace modEffects
} // namespace tq
