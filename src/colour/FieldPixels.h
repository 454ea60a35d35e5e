// The colour picker's field and slider pictures as pixel arrays, drawn in
// whole numbers: 24-bit pictures stored bottom-up (row 0 is the bottom row),
// each row blue, green, red per pixel and padded to a multiple of 4 bytes.
// While a web-safe table is given every byte written passes through it.
//
// Fields are W x H and show two of the three quantities of a mode (the
// slider shows the third); sliders are 16 pixels wide, one colour per row.
// The saturation and brightness fields run the hue circle in six segments
// of W \ 6 columns; W is meant to be a multiple of 6 (columns beyond the
// sixth segment stay black). Sizes below 2 draw without failing.
#pragma once

#include "colour/ColourModels.h"

#include <cstdint>
#include <vector>

namespace tq {

// n rounded up to a multiple of 4.
constexpr int32_t pvRowBytes(int32_t n) { return (n + 3) & ~3; }

inline constexpr int32_t kBarWidth = 16;
inline constexpr int32_t kBarRowBytes = 48;

// White-to-hue from left to right, black-to-bright from bottom to top.
std::vector<uint8_t> hueFieldBits(int32_t W, int32_t H, const HSBRecord& hsb, const uint8_t* webSafe);
// The hue circle across, brightness 0 (bottom) to 100 (top), saturation S.
std::vector<uint8_t> saturationFieldBits(int32_t W, int32_t H, double S, const uint8_t* webSafe);
// The hue circle across, saturation 0 (bottom) to 100 (top), brightness B.
std::vector<uint8_t> brightnessFieldBits(int32_t W, int32_t H, double B, const uint8_t* webSafe);
// channel (0 red, 1 green, 2 blue) fixed at value; of the other two the
// first rises left to right, the second bottom to top.
std::vector<uint8_t> rgbFieldBits(int32_t W, int32_t H, int32_t value, int32_t channel, const uint8_t* webSafe);

std::vector<uint8_t> hueBarBits(int32_t barHeight, const uint8_t* webSafe);
std::vector<uint8_t> saturationBarBits(int32_t barHeight, double H, double B, const uint8_t* webSafe);
std::vector<uint8_t> brightnessBarBits(int32_t barHeight, double H, double S, const uint8_t* webSafe);
// Black at the bottom to the pure primary of the channel at the top.
std::vector<uint8_t> rgbBarBits(int32_t barHeight, int32_t channel, const uint8_t* webSafe);

} // namespace tq
