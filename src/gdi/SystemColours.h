// System colours: colour values with the top byte &H80 name an element of
// the desktop's colour scheme by index (&H8000000F is the button face), the
// way swatches and control colours carry them. The scheme is the program's
// one table of system colours (platform/SystemColors.h).
#pragma once

#include <cstdint>

namespace tq {

// Indices of the scheme elements the drawing code asks for.
enum SystemColourIndex : int32_t {
    kColourWindow = 5,
    kColourWindowFrame = 6,
    kColourWindowText = 8,
    kColourButtonFace = 15,
    kColourButtonShadow = 16,
    kColourButtonText = 18,
    kColourButtonHighlight = 20,
    kColourDarkShadow3D = 21,
    kColourLight3D = 22,
};

// The current colour of scheme element index (0..30) as red + 256 green +
// 65536 blue; false for an index the scheme does not have.
bool systemColour(int32_t index, int32_t& rgb);

// A colour value as plain RGB: a value with top byte 0 is itself, a
// palette-relative value (top byte 2) its low three bytes, a system colour
// its current RGB. Anything else (palette indices, -1, unknown system
// indices) fails: false, rgb untouched.
bool translateOleColour(int32_t value, int32_t& rgb);

} // namespace tq
