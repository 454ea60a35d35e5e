#include "filters/PaletteMatch.h"

#include <algorithm>
#include <cstdlib>

namespace tq {

namespace Module6 {

bool NearestPaletteColor(const PaletteRecord& palette, int32_t r, int32_t g, int32_t b, int32_t& rOut,
                         int32_t& gOut, int32_t& bOut)
{
    const size_t n = std::min(static_cast<size_t>(palette.Count < 0 ? 0 : palette.Count), palette.entries.size());
    if (n == 0) return false;
    size_t best = 0;
    int32_t bestDistance = 765;
    for (size_t i = 0; i < n; ++i) {
        const PaletteEntry& e = palette.entries[i];
        if (e.red == r && e.green == g && e.blue == b) {
            best = i;
            break;
        }
        const int32_t distance = std::abs(r - e.red) + std::abs(g - e.green) + std::abs(b - e.blue);
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    rOut = palette.entries[best].red;
    gOut = palette.entries[best].green;
    bOut = palette.entries[best].blue;
    return true;
}

bool NearestPaletteColor(int32_t r, int32_t g, int32_t b, int32_t& rOut, int32_t& gOut, int32_t& bOut)
{
    return NearestPaletteColor(CurrentPalette(), r, g, b, rOut, gOut, bOut);
}

} // namespace Module6

} // namespace tq
