// Reduced copies of a bordered picture for the tool windows' small views
// (the navigator's thumbnail, the clip history's rows). Nearest sampling from
// the buffer's rows through a column table: one table lookup and one 32-bit
// copy per pixel drawn, whatever the picture's size, and nothing converted
// for the pixels that are not drawn.
#pragma once

#include "core/BitsBuffer.h"

#include <QImage>

namespace tq {

// Draws the w x h picture of `src` (picture pixel (0, 0) at buffer (0, 0),
// the margin left out) scaled to tw x th with its top-left corner at (dx, dy)
// of `target`, a 32-bit image (RGB32 or ARGB32). Each target pixel takes the
// source pixel under its centre; tw = w and th = h copy the picture as it is.
// Drawn opaque: the marker byte does not reach the image. The part that
// falls outside `target` is left out.
void drawThumbnail(QImage& target, int dx, int dy, int tw, int th, const BitsBuffer& src, int w, int h);

} // namespace tq
