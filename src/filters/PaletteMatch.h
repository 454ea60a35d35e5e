// Small colour helpers shared by the hue filters, the palette filters and
// the filter dialog: the smaller of three, the hue slider's wrap and the
// nearest colour of a palette.
#pragma once

#include "filters/Palette.h"

#include <cstdint>

namespace tq {

namespace Module6 {

// The smaller of three, mirrored from Module5::Max3.
inline float Min3(float a, float b, float c)
{
    if (a < b) return a < c ? a : c;
    return c < b ? c : b;
}

// The filter dialog's hue slider gives n = 0..240; values above 200 fold to
// -39..0 so that the top of the slider reaches the purples below red.
constexpr int32_t WrapHueOffset(int32_t n) { return n <= 200 ? n : n - 240; }

// The first entry of CurrentPalette nearest to (r, g, b): an exact match at
// once, otherwise the smallest |dr| + |dg| + |db|. False (outputs
// untouched) when the palette is empty.
bool NearestPaletteColor(int32_t r, int32_t g, int32_t b, int32_t& rOut, int32_t& gOut, int32_t& bOut);
// The same search in a given palette.
bool NearestPaletteColor(const PaletteRecord& palette, int32_t r, int32_t g, int32_t b, int32_t& rOut,
                         int32_t& gOut, int32_t& bOut);
} // namespace Module6

} // namespace tq
