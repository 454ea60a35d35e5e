// A drawing surface of our own, standing where the desktop would hand out a
// device context: rows of 3- or 4-byte pixels (blue, green, red and, for 4
// bytes, a fourth byte) reached from the top row down by a row step, which
// is negative for pictures kept bottom-up in memory. The bitmap classes
// (cDIBSection, cAlphaDibSection) offer their pixels through one, copy
// pictures in from another and paint themselves out to a third.
//
// The three ways of copying between surfaces behave as the desktop's:
// - bitBlt combines source and destination by a raster code (SRCCOPY and
//   the other codes that need no brush); into a 4-byte surface it writes
//   the destination's own fourthByte, so a copy carries colours only.
// - transparentBlt copies every pixel except those of exactly one colour.
// - alphaBlend lays the source over the destination with a constant
//   opacity and, when asked, the source's own opacity in its fourth byte,
//   its colours taken as already multiplied by that opacity. A 3-byte
//   source has no opacity of its own and counts as opaque.
// Every operation is clipped to both surfaces: source pixels outside their
// surface leave the destination alone. Source and destination may be the
// same surface.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tq {

// Raster codes of bitBlt.
inline constexpr uint32_t kRopSrcCopy = 0xCC0020;
inline constexpr uint32_t kRopSrcPaint = 0xEE0086;
inline constexpr uint32_t kRopSrcAnd = 0x8800C6;
inline constexpr uint32_t kRopSrcInvert = 0x660046;
inline constexpr uint32_t kRopSrcErase = 0x440328;
inline constexpr uint32_t kRopNotSrcCopy = 0x330008;
inline constexpr uint32_t kRopNotSrcErase = 0x1100A6;
inline constexpr uint32_t kRopMergePaint = 0xBB0226;
inline constexpr uint32_t kRopDstInvert = 0x550009;
inline constexpr uint32_t kRopBlackness = 0x000042;
inline constexpr uint32_t kRopWhiteness = 0xFF0062;

struct BitmapSurface {
    uint8_t* top = nullptr;          // the first byte of the top row
    std::ptrdiff_t rowStep = 0;      // bytes from a row to the one below it
    int32_t width = 0;
    int32_t height = 0;
    int32_t bytesPerPixel = 4;       // 3 or 4
    // What a copy writes into the fourth byte of a 4-byte surface: 0 for
    // the program's bitmaps, 255 for a picture shown on the screen.
    uint8_t fourthByte = 0;

    uint8_t* row(int32_t y) const { return top + rowStep * y; }
    bool valid() const
    {
        return top != nullptr && width > 0 && height > 0 && (bytesPerPixel == 3 || bytesPerPixel == 4);
    }

    // A top-down 32-bit picture with rows of 4 * width bytes.
    static BitmapSurface topDown32(uint8_t* bits, int32_t width, int32_t height, uint8_t fourthByte = 0)
    {
        return BitmapSurface{bits, std::ptrdiff_t(4) * width, width, height, 4, fourthByte};
    }
};

// False, with nothing drawn, for a raster code that needs a brush or is
// unknown. Negative sizes draw nothing.
bool bitBlt(const BitmapSurface& dst, int32_t dx, int32_t dy, int32_t w, int32_t h, const BitmapSurface& src,
            int32_t sx, int32_t sy, uint32_t rop);
// transparent: a colour with red in the low byte; source pixels of exactly
// that colour are not drawn.
void transparentBlt(const BitmapSurface& dst, int32_t dx, int32_t dy, int32_t w, int32_t h, const BitmapSurface& src,
                    int32_t sx, int32_t sy, int32_t transparent);
// constantAlpha scales the whole source; sourceAlpha adds each pixel's own
// opacity (its colours premultiplied by it).
void alphaBlend(const BitmapSurface& dst, int32_t dx, int32_t dy, int32_t w, int32_t h, const BitmapSurface& src,
                int32_t sx, int32_t sy, uint8_t constantAlpha, bool sourceAlpha);

} // namespace tq
