// A 24-bit memory bitmap with its own drawing surface (see DibSection.h for
// the layout and the lifecycle). The thumbnail browser makes one from a
// decoded picture, shrinks it with Resample and paints the result into the
// thumbnail.
#pragma once

#include "core/BitsBuffer.h"
#include "gdi/DibSection.h"

#include <memory>

namespace tq {

class cDIBSection : public DibSection {
public:
    cDIBSection() : DibSection(24) {}

    // The bitmap made the size of the picture and the picture copied in. A
    // picture that is not a bitmap (no pixels) leaves the object Empty.
    void CreateFromPicture(const DibRecord& picThis) { createFromBitmap(picThis); }

    // Paints the bitmap into lHDC, no stretching (a negative width or height
    // stands for the bitmap's). With DrawDib on: a plain copy, eRop and
    // crTransparent unused. Otherwise crTransparent -1 copies by eRop, and
    // any other colour (red in the low byte) copies every pixel except those
    // of exactly that colour.
    void PaintPicture(const BitmapSurface& lHDC, int32_t lDestLeft = 0, int32_t lDestTop = 0,
                      int32_t lDestWidth = -1, int32_t lDestHeight = -1, int32_t lSrcLeft = 0, int32_t lSrcTop = 0,
                      uint32_t eRop = kRopSrcCopy, int32_t crTransparent = -1) const;

    // Noise, seeded from the time of day: grey levels, or blue 0 with random
    // green and red. Padding bytes are left alone.
    void RandomiseBits(bool bGray = false);

    // A new bitmap with the picture at the new size: an exact copy at the
    // same size, the bilinear rule otherwise (enlarging too). lNewHeight -1
    // keeps the proportions: (lNewWidth x Height) \ Width. Null when the new
    // bitmap cannot be made; throws std::domain_error for the proportional
    // height of a bitmap 0 wide.
    std::unique_ptr<cDIBSection> Resample(int32_t lNewWidth, int32_t lNewHeight = -1) const;
};

// Resample of either kind of bitmap, whose pixels take bytesPerPixel bytes
// (3 or 4; a fourth byte is dropped).
std::unique_ptr<cDIBSection> resampledCopy(const DibSection& from, int32_t bytesPerPixel, int32_t lNewWidth,
                                           int32_t lNewHeight);

} // namespace tq
