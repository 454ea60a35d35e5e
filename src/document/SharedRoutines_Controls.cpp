// Keeping numeric controls in step: the digit filter, text selection and
// the slider / up-down / text box synchronisation.
#include "document/SharedRoutines.h"

#include "document/Numeric.h"

#include <stdexcept>

namespace tq::mAPI {

void FilterDigitKey(int16_t& keyAscii)
{
    if ((keyAscii >= 48 && keyAscii <= 57) || keyAscii == 8) return;
    keyAscii = 0;
}

void SelectAllText(TextBox& text) { text.setSelection(0, text.TextLength()); }

namespace {

// The four steps shared by the sync routines. Step 4 stores the rounded
// value through `assign`, which reports false when it does not fit.
template <class Assign>
void syncSteps(TextBox& text, int32_t mn, int32_t mx, bool absorb, Assign&& assign)
{
    auto step = [&](auto&& f) {
        if (!absorb) {
            f();
            return;
        }
        try {
            f();
        } catch (...) {
        }
    };
    step([&] {
        if (text.Text().empty()) {
            text.setText(std::to_string(mn));
            text.setSelection(0, text.TextLength());
        }
    });
    step([&] {
        if (Val(text.Text()) < mn) text.setText(std::to_string(mn));
    });
    step([&] {
        if (Val(text.Text()) > mx) text.setText(std::to_string(mx));
    });
    step([&] {
        if (!assign(Val(text.Text()))) throw std::overflow_error("value out of range");
    });
}

} // namespace

void SyncSliderFromText(SliderControl& slider, TextBox& text)
{
    int32_t mn = 0, mx = 0;
    try {
        mn = slider.Min();
        mx = slider.Max();
    } catch (...) {
        return;
    }
    syncSteps(text, mn, mx, true, [&](double v) {
        int32_t i;
        if (!toInt32(v, i)) return false;
        slider.setValue(i);
        return true;
    });
}

void SyncScrollFromText(UpDownControl& upDown, TextBox& text)
{
    int16_t mn = 0, mx = 0;
    try {
        mn = upDown.Min();
        mx = upDown.Max();
    } catch (...) {
        return;
    }
    syncSteps(text, mn, mx, true, [&](double v) {
        int16_t i;
        if (!toInt16(v, i)) return false;
        upDown.setValue(i);
        return true;
    });
}

void SyncScrollFromText2(TextBox& text, UpDownControl& upDown)
{
    syncSteps(text, upDown.Min(), upDown.Max(), false, [&](double v) {
        int16_t i;
        if (!toInt16(v, i)) return false;
        upDown.setValue(i);
        return true;
    });
}

void SliderFromScroll(UpDownControl& upDown, SliderControl& slider) { slider.setValue(upDown.Value()); }

void ScrollFromSlider(UpDownControl& upDown, SliderControl& slider)
{
    // The up-down holds 16 bits: a slider value beyond them is a failure
    // that leaves the up-down as it was.
    int16_t v;
    if (toInt16(slider.Value(), v)) upDown.setValue(v);
}

} // namespace tq::mAPI
