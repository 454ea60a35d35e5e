// The colour-picker port answered by the program's own picker: pick(old)
// runs fGradient::Init. The picker is made on the first pick and kept, so
// its mode, options and place last from one pick to the next; it goes with
// this object.
#pragma once

#include "platform/Ports.h"

#include <memory>

namespace tq {

class fGradient;

class GradientColourPicker : public platform::ColourPicker {
public:
    GradientColourPicker();
    ~GradientColourPicker() override;

    std::optional<int32_t> pick(int32_t oldColour) override;

    // The picker, made on first use.
    fGradient& form();
    // The picker when one has been made, else nullptr.
    fGradient* formIfMade() const { return form_.get(); }

private:
    std::unique_ptr<fGradient> form_;
};

} // namespace tq
