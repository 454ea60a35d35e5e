// Reading a GIF's first picture straight through giflib: what the optimised
// save reads its GIF estimates back with, several times faster on a large
// picture than the platform's general loader.
#pragma once

#include "core/BitsBuffer.h"

#include <optional>
#include <string>

namespace tq {

// The first picture of the GIF at path on its logical screen (a bitmap: 32
// bits, blue, green, red, fourth byte 0, rows top-down), interlaced rows in
// their places; pixels outside the picture and indices past the colour map
// are black. Nothing when the file is not a GIF giflib can read, holds no
// picture, or has a side outside 1..kMaxPictureSide.
std::optional<DibRecord> loadGifPicture(const std::string& path);

} // namespace tq
