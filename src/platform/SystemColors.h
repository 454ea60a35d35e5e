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

// The desktop's current colour (0x00BBGGRR) of scheme element index
// (0..30): the running application's palette entry for it, or the classic
// colour when there is no GUI application. nullopt for an index outside the
// scheme and for element 25, which has no colour. The program's one table
// of system colours.
std::optional<int32_t> systemColor(int32_t index);

// The plain colour (0x00BBGGRR) a colour value stands for: a system colour
// becomes the desktop's colour for that element (systemColor); any other
// value keeps its low 24 bits. A system colour with no colour: nullopt.
std::optional<int32_t> translateColor(int32_t color);

} // namespace tq
