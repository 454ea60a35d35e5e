// Colour values as the program passes them around: 32 bits with red in the
// low byte. A value with 0x80 in its high byte is not a colour but the
// number of a system colour (0x80000005 is the window background, the
// colour of an empty text box); it stands for whatever the desktop paints
// that element with.
#pragma once

#include <cstdint>
#include <optional>

namespace tq {

inline constexpr int32_t kSystemColorFlag = static_cast<int32_t>(0x80000000u);

inline bool isSystemColor(int32_t color) { return (static_cast<uint32_t>(color) >> 24) == 0x80u; }

// The plain colour (0x00BBGGRR) a colour value stands for: a system colour
// becomes the desktop's colour for that element, taken from the running
// application's palette where it has one and otherwise from the classic
// defaults; any other value keeps its low 24 bits. A system colour number
// past the last element (30) has no colour: nullopt.
std::optional<int32_t> translateColor(int32_t color);

} // namespace tq
