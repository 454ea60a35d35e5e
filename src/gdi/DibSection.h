// The part the two memory bitmaps share (cDIBSection with 3 bytes a pixel,
// cAlphaDibSection with 4): one device-independent bitmap, its drawing
// surface and its members that do not depend on the depth.
//
// Layout: the rows are kept bottom-up (memory row 0 is the picture's bottom
// row), each BytesPerScanLine bytes long: 3 x width rounded up to a multiple
// of 4 for 24 bits, 4 x width for 32. Pixel x of a row starts at byte
// (bytes a pixel) x x with blue, green, red (and alpha). A new bitmap's
// pixels are all zero.
//
// The desktop's pieces stand in as follows: the DIB section is a block of
// memory the object owns (its handle is a number naming it), the memory
// device context is the bitmap's BitmapSurface, and DrawDib is a flag-like
// handle that makes PaintPicture a plain copy.
//
// A new object is Empty (every handle 0, every header field 0). Create makes
// it Created; ClearUp (also run by the destructor) makes it Empty again but
// keeps the header, so Width and Height still report the last size asked for.
#pragma once

#include "gdi/DibSectionFile.h"
#include "gdi/BitmapSurface.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace tq {

class DibSection {
public:
    virtual ~DibSection();
    DibSection(const DibSection&) = delete;
    DibSection& operator=(const DibSection&) = delete;

    // ---- Members of both classes -------------------------------------------
    // True while a DrawDib handle is open; switching it on opens one, off
    // closes it. Independent of the bitmap: ClearUp turns it off, Create
    // carries it over to the new bitmap.
    bool UseDrawDib() const { return DrawDibHandle_ != 0; }
    void setUseDrawDib(bool bState);

    // Fills BitmapInfo for a lWidth x lHeight bitmap of this depth and makes
    // its pixel memory; the new section's handle goes into hDib and its
    // memory into DIBSectionBitsPtr. It selects nothing: called on its own
    // on a Created object, the old section stays selected (and owned until
    // ClearUp). False when the memory cannot be made (a width below 1, a
    // height that is not positive, a side above the program's largest or a
    // picture beyond its memory budget). lHDC plays no part: the bitmap's
    // colours are its own, not a palette of the surface's.
    bool CreateDIB(const BitmapSurface* lHDC, int32_t lWidth, int32_t lHeight, uintptr_t& hDib);
    // Releases the old bitmap and makes a new all-zero one; false (and
    // Empty, the DrawDib setting lost) when it cannot be made.
    bool Create(int32_t lWidth, int32_t lHeight);

    int32_t BytesPerScanLine() const;
    int32_t Width() const { return BitmapInfo_.bmiHeader.biWidth; }
    int32_t Height() const { return BitmapInfo_.bmiHeader.biHeight; }

    // Copies from lHDC at (lSrcLeft, lSrcTop) into this bitmap at (0, 0); a
    // negative width or height stands for this bitmap's.
    void LoadPictureBlt(const BitmapSurface& lHDC, int32_t lSrcLeft = 0, int32_t lSrcTop = 0, int32_t lSrcWidth = -1,
                        int32_t lSrcHeight = -1, uint32_t eRop = kRopSrcCopy);

    // Writes the bitmap as a BMP file (see DibSectionFile.h). Throws
    // DibFileError (error 17) when the file cannot be made; false when a
    // write fails, also for an Empty object that still has a size.
    bool SavePicture(const std::string& sFileName) const;

    // Lays the bitmap over lHDC with a constant opacity and each pixel's own
    // (a 24-bit bitmap has none and counts as opaque); no stretching.
    void AlphaPaintPicture(const BitmapSurface& lHDC, int32_t lDestLeft = 0, int32_t lDestTop = 0,
                           int32_t lDestWidth = -1, int32_t lDestHeight = -1, int32_t lSrcLeft = 0,
                           int32_t lSrcTop = 0, uint8_t lConstantAlpha = 255) const;

    // The memory device context: null when there is none.
    const BitmapSurface* hdc() const { return hdc_ ? &Surface_ : nullptr; }
    uintptr_t hDib() const { return hDib_; }
    uint8_t* DIBSectionBitsPtr() const { return DIBSectionBitsPtr_; }
    const BitmapInfo& bitmapInfo() const { return BitmapInfo_; }

    // Releases the bitmap, its device context and DrawDib; the header stays.
    // Does nothing on an Empty object.
    void ClearUp();

protected:
    explicit DibSection(int bitsPerPixel) : BitsPerPixel_(bitsPerPixel) {}

    int bytesPerPixel() const { return BitsPerPixel_ / 8; }
    // The picture's bitmap copied in: Create at its size, then LoadPictureBlt
    // from it. A picture that is not a bitmap (no pixels) leaves the object
    // Empty.
    void createFromBitmap(const DibRecord& picture);
    // Paints with DrawDib when it is on (a plain copy), else with copy(dst,
    // left, top, width, height, srcLeft, srcTop).
    template <class Copy>
    void paint(const BitmapSurface& lHDC, int32_t left, int32_t top, int32_t width, int32_t height, int32_t srcLeft,
               int32_t srcTop, Copy copy) const
    {
        if (width < 0) width = Width();
        if (height < 0) height = Height();
        if (!hdc_) return;
        if (DrawDibHandle_ != 0) {
            bitBlt(lHDC, left, top, width, height, Surface_, srcLeft, srcTop, kRopSrcCopy);
            return;
        }
        copy(left, top, width, height, srcLeft, srcTop);
    }
    const BitmapSurface& surface() const { return Surface_; }

    // Seconds since midnight, the seed of RandomiseBits.
    static uint32_t secondsSinceMidnight();

private:
    struct FreeBytes {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    struct Section {
        uintptr_t handle = 0;
        std::unique_ptr<uint8_t, FreeBytes> bits;
    };

    int BitsPerPixel_;
    uintptr_t hDib_ = 0;
    uintptr_t OldBitmap_ = 0;
    bool hdc_ = false;
    BitmapSurface Surface_;
    uintptr_t DrawDibHandle_ = 0;
    uint8_t* DIBSectionBitsPtr_ = nullptr;
    BitmapInfo BitmapInfo_;
    // Every section CreateDIB made and ClearUp has not released yet.
    std::vector<Section> Sections_;
};

// The bilinear resampling both classes' Resample use: src (srcBytesPerPixel
// 3 or 4, the fourth byte not read) into a 24-bit dst of another size,
// both bottom-up with their rows stepRow bytes apart. Rounding and precision
// as the bitmaps define them: single-precision steps and weights, each of
// the three interpolations rounded half to even.
void ResampleBilinear(const uint8_t* src, int32_t W, int32_t H, int32_t srcStride, int32_t srcBytesPerPixel,
                      uint8_t* dst, int32_t newW, int32_t newH, int32_t dstStride);

} // namespace tq
