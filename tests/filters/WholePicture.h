// Running the engine as a test's own reference: on a picture of the test's,
// with all of it selected.
#pragma once

#include "filters/cBitFilter.h"
#include "core/Region.h"

#include <functional>

namespace tq {

// What change gives on an engine of its own holding picture, selected whole.
inline FilterResult runOnWholePicture(const BitsBuffer& picture,
                                      const std::function<FilterResult(cBitFilter&)>& change)
{
    const Region whole = Region::rect(0, 0, picture.width(), picture.height());
    cBitFilter engine;
    engine.setBits(picture);
    engine.setBitsRegion(&whole);
    return change(engine);
}

} // namespace tq
