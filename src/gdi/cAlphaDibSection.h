// A 32-bit memory bitmap with its own drawing surface, the twin of
// cDIBSection (see DibSection.h for the layout and the lifecycle): four
// bytes a pixel, blue, green, red and alpha (0 transparent, 255 opaque),
// rows bottom-up without padding. AlphaPaintPicture takes the colours as
// already multiplied by their alpha; SetAlpha, PreMultiplyAlpha,
// RandomiseBits and the block case of AlphaResample make them so.
//
// The thumbnail browser's resampled quality makes one from the decoded
// picture, makes it opaque (SetAlpha 255), reduces it with AlphaResample
// and blends the result into the thumbnail.
#pragma once

#include "core/BitsBuffer.h"
#include "gdi/DibSection.h"
#include "gdi/cDIBSection.h"

#include <memory>

namespace tq {

class cAlphaDibSection : public DibSection {
public:
    cAlphaDibSection() : DibSection(32) {}

    // CreateFromHBitmap with the picture's bitmap.
    void CreateFromPicture(const DibRecord& picThis) { CreateFromHBitmap(&picThis); }
    // The bitmap made the size of hBmp and its colours copied in; every
    // alpha byte is 0 afterwards. A null or pixel-less hBmp leaves the
    // object Empty.
    void CreateFromHBitmap(const DibRecord* hBmp);

    // DrawDib (a plain copy) when it is on, else a copy by eRop; no
    // transparent colour.
    void PaintPicture(const BitmapSurface& lHDC, int32_t lDestLeft = 0, int32_t lDestTop = 0,
                      int32_t lDestWidth = -1, int32_t lDestHeight = -1, int32_t lSrcLeft = 0, int32_t lSrcTop = 0,
                      uint32_t eRop = kRopSrcCopy) const;

    // Premultiplied noise seeded from the time of day.
    void RandomiseBits(bool bGray = false);
    // Each colour byte times its pixel's alpha, \ 255 (truncated); twice
    // darkens twice.
    void PreMultiplyAlpha();
    // True when no alpha byte differs from 0 (also for an empty bitmap).
    bool AreAllAlphaBytesZero() const;
    // Alpha 0 for every pixel of exactly oColor (red in the low byte, or a
    // system colour; one that cannot be translated counts as black).
    void SetColourTransparent(int32_t oColor);
    // Every pixel gets alpha bAlphaSet and its colours times bAlphaSet \ 255.
    void SetAlpha(uint8_t bAlphaSet);

    // A 24-bit copy at the new size, as cDIBSection::Resample (the alpha
    // bytes are dropped).
    std::unique_ptr<cDIBSection> Resample(int32_t lNewWidth, int32_t lNewHeight = -1) const;
    // The picture reduced to lNewWidth by area averaging, the height
    // following (rounded up): block averages of the premultiplied colours
    // when both sides divide evenly, coverage-weighted sums otherwise.
    // Throws std::domain_error when the new bitmap cannot be made (a width
    // below 1, no memory) or this one is empty.
    std::unique_ptr<cAlphaDibSection> AlphaResample(int32_t lNewWidth) const;
};

} // namespace tq
