// A document's selection, kept to the least the pixel members need until the
// full selection class takes its place: the main region (the whole picture)
// and the selection region, which is absent or empty when nothing is
// selected.
#pragma once

#include "platform/Region.h"

#include <optional>

namespace tq {

class SelectionStandIn {
public:
    // Forgets the selection and makes the rectangle (x1, y1)..(x2, y2), right
    // and bottom exclusive, the main region.
    void Init(int32_t x1, int32_t y1, int32_t x2, int32_t y2)
    {
        RegionMain_ = tq::Region::rect(x1, y1, x2, y2);
        Region_.reset();
    }
    const tq::Region* RegionMain() const { return &RegionMain_; }
    // The selection; nullptr when there is none.
    const tq::Region* Region() const { return Region_ ? &*Region_ : nullptr; }
    // Keeps a copy of the region given.
    void setRegion(const tq::Region& r) { Region_ = r; }
    bool IsEmptyRegion() const { return !Region_ || Region_->isEmpty(); }
    // The handle the filter engine walks: the selection, or the main region
    // when nothing is selected.
    const tq::Region* walkRegion() const { return IsEmptyRegion() ? RegionMain() : Region(); }

private:
    tq::Region RegionMain_;
    std::optional<tq::Region> Region_;
};

} // namespace tq
