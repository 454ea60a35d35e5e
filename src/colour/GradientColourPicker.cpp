#include "colour/GradientColourPicker.h"

#include "colour/fGradient.h"

namespace tq {

GradientColourPicker::GradientColourPicker() = default;
GradientColourPicker::~GradientColourPicker() = default;

fGradient& GradientColourPicker::form()
{
    if (!form_) form_ = std::make_unique<fGradient>();
    return *form_;
}

std::optional<int32_t> GradientColourPicker::pick(int32_t oldColour)
{
    int32_t chosen = 0;
    if (form().Init(oldColour, chosen)) return chosen;
    return std::nullopt;
}

} // namespace tq
