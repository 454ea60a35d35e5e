// Colour-space routines shared by the hue filters and the filter dialog.
//
// Hue, saturation and lightness are singles. Lightness and saturation run
// 0..1; hue is counted in sextants of the colour circle on the scale -1..5
// (0 red, 1 yellow, 2 green, 3 cyan, 4 blue, 5 and -1 magenta). RGBToHSL
// gives hues in -1..5 only and HSLToRGB is exact there; callers that add
// offsets to a hue wrap it back into that range themselves.
//
// Each single named below is stored as a float where it is computed, and
// everything between is computed in double: the filters built on these
// routines depend on that rounding to the bit.
#pragma once

#include <cstdint>

namespace tq {

namespace Module5 {

// r, g, b 0..255.
void RGBToHSL(int32_t r, int32_t g, int32_t b, float& h, float& s, float& l);

// Channels for h in -1..5 and s, l in 0..1 (always 0..255 there). Outside
// that range a channel may leave 0..255; false (r, g, b untouched) only when
// a channel does not fit a 32-bit whole number (or is not a number).
bool HSLToRGB(float h, float s, float l, int32_t& r, int32_t& g, int32_t& b);

// The larger of three: when a > b the larger of a and c (c on a tie),
// otherwise c when c > b, else b.
inline float Max3(float a, float b, float c)
{
    if (a > b) return a > c ? a : c;
    return c > b ? c : b;
}

} // namespace Module5

} // namespace tq
