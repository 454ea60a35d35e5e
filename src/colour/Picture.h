// A picture object: a bitmap or an icon that owns its drawing object and
// is shared by reference, as the colour picker keeps and paints its field
// and slider pictures. A default-made picture is "nothing".
//
// Its size is kept in HIMETRIC (hundredths of a millimetre) as whole
// numbers, the unit callers compare sizes in; with 15 twips (1/96 inch) per
// pixel one pixel is 2540 / 96 HIMETRIC.
#pragma once

#include "gdi/GdiObjects.h"
#include "document/Settings.h"   // kTwipsPerPixel

#include <QImage>

#include <cstdint>
#include <memory>

namespace tq {

// Pixels -> HIMETRIC, to the nearest whole number (halves to even).
int32_t pixelsToHimetric(int32_t pixels);
// HIMETRIC -> pixels, unrounded: x x 1440 / 2540 / twips per pixel.
double himetricToPixels(double himetric);

class Picture {
public:
    enum Type : int32_t { kNone = 0, kBitmap = 1, kMetafile = 2, kIcon = 3, kEnhancedMetafile = 4 };

    Picture() = default;
    // Pictures that own the object from then on (and delete it with the
    // last copy); nothing for nullptr or an object that is not live.
    static Picture owningBitmap(gdi::Bitmap* bitmap);
    static Picture owningIcon(gdi::Icon* icon);

    bool isNothing() const { return !d_; }
    int32_t type() const;
    // Size in HIMETRIC; 0 for nothing.
    int32_t Width() const;
    int32_t Height() const;
    // Size in pixels of the pixels held.
    int32_t pixelWidth() const;
    int32_t pixelHeight() const;
    // The pixels: 32-bit RGB for a bitmap, ARGB with alpha 0 where an icon
    // is transparent; a null image for nothing.
    const QImage& image() const;
    gdi::Bitmap* bitmap() const;
    gdi::Icon* icon() const;

    // The same picture object (not merely equal pixels).
    bool operator==(const Picture& other) const { return d_ == other.d_; }

private:
    struct Data;
    std::shared_ptr<Data> d_;
};

} // namespace tq
