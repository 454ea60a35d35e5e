// Laying a texture over a picture: the tile picture becomes the pixels of a
// filter engine of its own, one tile effect runs on the whole tile, and the
// tile then multiplies the selected pixels of the picture (its blue byte /
// 128, repeated from the top-left corner of the selection's bounding box).
//
// Plain engine work, without windows: the textures window calls it for its
// three tile sources and commits the result as one undo step.
#pragma once

#include "filters/cBitFilter.h"
#include "core/BitsBuffer.h"
#include "core/Region.h"

#include <cstdint>
#include <string>

namespace tq::TextureApply {

// The three tile sources, as ApplyTexture's Typ numbers them.
inline constexpr int16_t kDefined = 0;
inline constexpr int16_t kText = 1;
inline constexpr int16_t kFromFile = 2;

// The label of the step each source records; "" for another number.
const char* actionLabel(int16_t Typ);

// A tile steps by its size less one pixel, so a narrower or lower one
// could never leave its first place.
inline constexpr int32_t kMinTileSide = 2;
inline constexpr const char* kTileTooSmall = "The texture picture must be at least 2 x 2 pixels.";
// The message for a picture file that does not load.
std::string fileNotLoaded(const std::string& path);

// True when a picture can serve as a tile.
inline bool usableTile(int32_t w, int32_t h) { return w >= kMinTileSide && h >= kMinTileSide; }

// The tile after its effect: the picture's pixels become TileFilter's Bits,
// the whole tile its walk region, and tile effect `effect` (1 to 33) with
// strength S runs on it; its result becomes TileFilter's Bits (an effect
// that fails leaves the tile as it was). False, with TileFilter untouched,
// for a picture smaller than 2 x 2.
bool makeTile(cBitFilter& TileFilter, const DibRecord& picture, int16_t effect, int32_t S);

// The engine's pixels with the tile laid over the walk region; nullopt for
// a tile smaller than 2 x 2.
FilterResult texturize(cBitFilter& engine, const Region* walk, const BitsBuffer& tile);

} // namespace tq::TextureApply
