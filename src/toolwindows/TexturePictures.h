// The 35 defined textures of the textures window, drawn by the program
// itself (bricks, wood, weave, marble, checks, clouds ...) the first time
// they are asked for and kept for the run. Pictures 0 to 27 are between 106
// and 130 pixels wide and 95 and 116 high; pictures 28 to 34 are 120 x 120.
#pragma once

#include <QImage>

namespace tq {

inline constexpr int kDefinedTextureCount = 35;

// Defined texture n (0 to 34); a null image for another number.
const QImage& definedTexturePicture(int n);

} // namespace tq
