// Drawing the selection's moving outline with Qt: the outline pixels and the
// brush come from cBitRegion; these functions only hand them a surface.
#pragma once

#include "document/cBitRegion.h"

#include <QColor>

class QImage;
class QPainter;

namespace tq {

// Paints the outline of the selection's scaled region, moved by the offsets,
// straight into a 32-bit image (RGB32 or ARGB32 formats; others are left
// alone). 0 bits of the brush in textColour, 1 bits in backColour.
void DrawToDC(const cBitRegion& region, QImage& target, int32_t xOffset, int32_t yOffset,
              QColor textColour = Qt::black, QColor backColour = Qt::white);

// The same through a painter: the outline is painted into a small image the
// size of its box (cut to the painter's device) and drawn at device
// coordinates, so the pattern stays anchored to the device origin.
void DrawToDC(const cBitRegion& region, QPainter& painter, int32_t xOffset, int32_t yOffset,
              QColor textColour = Qt::black, QColor backColour = Qt::white);

} // namespace tq
