// The pixel routines the painting tools run on a document: they paint
// straight into the document's pixel buffer, in place, and change only
// pixels of the paint region (the document's selection, or the whole picture
// when nothing is selected). They neither repaint nor record undo steps; the
// calling tool does both.
//
// A DocumentPaint is made on a document's buffer and selection and keeps
// references to both, so it always sees the current pixels and selection.
// It owns the per-stroke map DoneBits of pixels already painted: the tools
// reset it (CreateDoneBitsTable) at the start of each stroke and before each
// fill, so that the overlapping dabs of one stroke blend each pixel once.
//
// Conventions shared by every routine:
// - Coordinates are picture pixels; pixel (x, y) is painted only when it
//   lies in the picture and the region class accepts it for the paint
//   region. Channels 0 (blue), 1 (green) and 2 (red) change; the marker
//   byte and the buffer's margin never do.
// - Colours are 32-bit numbers with red in the low byte.
// - Pressure is the opacity in percent; a blend is
//   rnd(new x P + old x (1 - P)) with P = Pressure / 100 held as a single
//   and the sum in double. A result that rounds outside 0..255 (only a
//   pressure outside 0..100 gives one) leaves the channel as it was.
// - rnd() is nearest with halves to even; whole-number division truncates.
// - Without a picture (an unallocated buffer) nothing is painted.
// - A dab diameter below 1 and a polygon with fewer than one side paint
//   nothing: they would divide by zero or never end.
#pragma once

#include "document/cBitRegion.h"
#include "core/BitsBuffer.h"
#include "core/Region.h"
#include "tools/PaintSource.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tq {

class DocumentPaint {
public:
    DocumentPaint(BitsBuffer& bits, const cBitRegion& selection);

    // ---- Reading ------------------------------------------------------------

    // The colour of pixel (X, Y); 0 outside the picture, -1 without a picture.
    int32_t BitsGetPixel(int32_t X, int32_t Y) const;

    // ---- Placed pictures ----------------------------------------------------
    // The picture's pixel (0, 0) goes to (X, Y); the part that overlaps the
    // picture is painted. The per-stroke map is not used.

    // Blends the picture at Pressure; elements whose red, green and blue all
    // equal MaskColor's are left out (MaskColor -1: none are). With InRegion
    // false the whole picture is the region instead of the selection.
    void BitsPaint(int32_t X, int32_t Y, const PaintSource& mBits, int32_t MaskColor, int32_t Pressure,
                   bool InRegion);
    // The same without a key colour; elements whose marker byte is 255 (the
    // transparent pixels of a lifted or pasted clip) are left out.
    void BitsPaintPreMasked(int32_t X, int32_t Y, const PaintSource& mBits, int32_t Pressure, bool InRegion);
    // Paints Color through a grey mask (the picture's blue channel): mask
    // values from 190 up leave the pixel, lower ones paint at
    // P x (1 - m / 190).
    void BitsBWMask(int32_t X, int32_t Y, const PaintSource& mBits, int32_t Color, int32_t Pressure);

    // ---- Round dabs -----------------------------------------------------------
    // The disc of diameter d around (X, Y): offsets (i, j) with i^2 + j^2 <= r^2,
    // r = rnd(d / 2), visited row by row (j up) and left to right (i up).

    // Blends Color at Pressure, each pixel once per stroke.
    void BitsBrush(int32_t X, int32_t Y, int32_t d, int32_t Pressure, int32_t Color);
    // Blends the texture repeated over the picture from its origin: pixel
    // (x, y) takes element (x mod tw, y mod th). Once per stroke.
    void BitsMasked(int32_t X, int32_t Y, const PaintSource& mBits, int32_t d, int32_t Pressure);
    // Scales each channel by 1 + P (lighten, held at 255) or 1 - P (darken).
    // Once per stroke.
    void BitsBrightness(int32_t X, int32_t Y, int32_t d, int32_t Pressure, bool LightenMode);
    // Centre-weighted average of the pixel and its four direct neighbours,
    // weight rnd(10 - Pressure / 10). In place, in visiting order. Once per
    // stroke, or every time with Overlay.
    void BitsSoften(int32_t X, int32_t Y, int32_t d, int32_t Pressure, bool Overlay);
    // Centre-weighted difference, weight rnd(15 - Pressure / 15), held to
    // 0..255. In place, in visiting order. Once per stroke.
    void BitsSharpen(int32_t X, int32_t Y, int32_t d, int32_t Pressure);
    // Random spray: one number from the program's generator per disc pixel,
    // in disc order, whether or not the pixel can be painted; a pixel of the
    // paint region is painted when its number is at most Quantity / 100, at
    // an opacity falling from P at the centre to P x Definition / 100 at the
    // rim. Keeps adding paint: the per-stroke map is not used.
    void BitsAirbrush(int32_t X, int32_t Y, int32_t d, int32_t Pressure, int32_t Quantity, int32_t Definition,
                      int32_t Color);

    // ---- Dabs along a segment ---------------------------------------------------
    // rnd(n / (d / 10)) + 1 dabs from (X1, Y1) towards (X2, Y2), n the longer
    // side plus one: about a tenth of the diameter apart.

    // BrushMode 0 brush with Color, 1 soften, 2 soften overlay, 3 sharpen,
    // 4 lighten, 5 darken; any other mode paints nothing.
    void BitsBrushLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t d, int32_t Pressure, int32_t Color,
                       int32_t BrushMode);
    // Texture dabs (BitsMasked) along the segment.
    void BitsMaskedLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t d, int32_t Pressure,
                        const PaintSource& mBits);

    // ---- Per-stroke map ---------------------------------------------------------

    // A fresh map for the picture's current size, nothing painted.
    void CreateDoneBitsTable();
    // True when pixel (x, y) was painted (or, in a fill, visited) since the
    // last reset; false outside the map.
    bool DoneBits(int32_t x, int32_t y) const;

    // ---- Outlines -----------------------------------------------------------------
    // One-pixel anti-aliased outlines: every sample is split over the four
    // pixels around it, each blended by its share times PressureByte(Pressure)
    // / 255. Overlapping samples blend a pixel again; no per-stroke map.

    void BitsLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Color, int32_t Pressure);
    // Four lines: top, right, bottom, left, each corner to the next clockwise.
    void BitsRectangle(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Color, int32_t Pressure);
    // The regular polygon centred on (X1, Y1) with a corner at (X2, Y2).
    void BitsPolygon(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t Sides, int32_t Color,
                     int32_t Pressure);
    void BitsEllipse(int32_t xC, int32_t yC, int32_t xR, int32_t yR, int32_t Color, int32_t Pressure);

    // ---- Flood fills ------------------------------------------------------------
    // The area reached from the clicked pixel through its four direct
    // neighbours, over pixels of the paint region whose colour lies within
    // Tolerance (the sum of the three channel differences) of the clicked
    // pixel's colour before the fill. Every pixel is visited at most once per
    // fill (the per-stroke map, which the caller resets first, records the
    // visits; pixels still marked count as visited). The clicked pixel itself
    // is blended once, when it lies in the paint region.

    void BitsFill(int32_t xFill, int32_t yFill, int32_t Color, int32_t Tolerance, int32_t Pressure);
    // The texture repeated over the picture from its origin.
    void BitsFillTexture(int32_t xFill, int32_t yFill, const PaintSource& mBits, int32_t Tolerance,
                         int32_t Pressure);

private:
    // A run of pixels on one row (x0..x1 inclusive) whose neighbours the fill
    // has still to visit.
    struct FrontRun {
        int32_t x0;
        int32_t x1;
        int32_t y;
    };

    bool hasPicture() const { return bits_.allocated() && bits_.width() > 0 && bits_.height() > 0; }
    // The selection, or the whole-picture region when nothing is selected;
    // nullptr stands for the picture itself.
    const Region* GetPaintRegion() const;
    const Region* wholePictureRegion() const;
    bool inRegion(const Region* rgn, int32_t x, int32_t y) const;
    // f(x0, x1), x1 exclusive, for the parts of row y in [lo, hi) that lie in
    // the picture and in rgn (nullptr: the picture), left to right.
    template <class F>
    void forEachRegionRun(const Region* rgn, int32_t y, int64_t lo, int64_t hi, F&& f) const;
    // Makes sure the map fits the picture (a fresh one when it does not) and
    // returns the byte of pixel (0, y).
    void ensureDoneBits();
    uint8_t* doneRow(int32_t y) { return DoneBits_.data() + static_cast<size_t>(y) * DoneStride_; }

    // f(uint8_t* pixel, x, y) for every disc pixel of the paint region.
    template <class PixelFn>
    void forEachDiscPixel(int32_t X, int32_t Y, int32_t d, PixelFn&& fn);
    // The dab of one brush mode at (X, Y).
    void brushDab(int32_t X, int32_t Y, int32_t d, int32_t Pressure, int32_t Color, int32_t BrushMode);
    enum class PlaceKind { KeyColour, Marker, GreyMask };
    void placePicture(int32_t X, int32_t Y, const PaintSource& src, const Region* rgn, PlaceKind kind,
                      int32_t MaskColor, int32_t Color, int32_t Pressure);

    void splat(float x, float y, const uint8_t colour[3], int32_t p);

    // Visits the fill's area from the clicked pixel, already marked: accept
    // (pixel) tells whether a pixel of the region, just marked, is within
    // tolerance, paint(pixel, x, y) paints it.
    template <class Accept, class Paint>
    void floodFrom(int32_t xs, int32_t ys, Accept&& accept, Paint&& paint);

    BitsBuffer& bits_;
    const cBitRegion& selection_;
    std::vector<uint8_t> DoneBits_;
    size_t DoneStride_ = 0;
    int32_t DoneWidth_ = -1;    // picture size the map was made for
    int32_t DoneHeight_ = -1;
    std::vector<FrontRun> FillFront_;
};

template <class F>
void DocumentPaint::forEachRegionRun(const Region* rgn, int32_t y, int64_t lo, int64_t hi, F&& f) const
{
    if (y < 0 || y >= bits_.height()) return;
    const int64_t w = bits_.width();
    const int32_t a = static_cast<int32_t>(lo < 0 ? 0 : (lo > w ? w : lo));
    const int32_t b = static_cast<int32_t>(hi < 0 ? 0 : (hi > w ? w : hi));
    if (a >= b) return;
    if (rgn == nullptr) {
        f(a, b);
        return;
    }
    rgn->forEachSpan(y, [&](int32_t x0, int32_t x1) {
        if (x0 < a) x0 = a;
        if (x1 > b) x1 = b;
        if (x0 < x1) f(x0, x1);
    });
}

} // namespace tq
