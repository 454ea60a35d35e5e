// Conversions between Qt images and the program's margin-less picture
// record. Qt keeps 32-bit pixels as blue, green, red, alpha in memory (on a
// little-endian machine), the same order as the record, but writes 0xFF into
// the fourth byte, which the program reads as its marker ("outside a clip"):
// pictures coming from Qt therefore get 0 there.
#pragma once

#include "core/BitsBuffer.h"

#include <QImage>

namespace tq::platform {

// The picture as a record of its own size with 0 in every marker byte; an
// empty record (0 x 0) for a null image. Copies one row at a time.
DibRecord dibFromImage(const QImage& image);

// An opaque 32-bit Qt image of the record (the marker byte is not carried).
QImage imageFromDib(const DibRecord& record);

} // namespace tq::platform
