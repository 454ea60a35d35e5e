// A device context of our own: a 32-bit surface (a QImage) with the state
// the drawing code sets on it (selected pen, brush, font and bitmap, text
// and background colours, background mode, mix mode, stretch mode, current
// position, clip rectangle) and the drawing operations it offers.
//
// Two kinds: a memory context (createCompatible) draws into the bitmap
// selected into it; a wrapping context draws into a surface someone else
// owns, such as a window's persistent image, and cannot take a bitmap.
//
// Rules shared by every operation, as the drawing code expects them:
// - Rectangles exclude their right and bottom edges; a line does not draw
//   its end point.
// - Lines, outlines and fills through a pen or a brush combine with the
//   surface by the mix mode (1..16: black, not-merge, ..., copy-pen 13, ...,
//   white); FillRect, FrameRect and the edge drawing copy.
// - Blits combine pattern (the destination's brush), source and destination
//   by a three-operand raster code (SRCCOPY &HCC0020 and the rest); the
//   source's pixels outside its surface leave the destination alone.
// - Nothing is drawn outside the surface or the clip rectangle.
// - Text needs a GUI application; without one text draws nothing and
//   measures 0.
// Colours are red + 256 x green + 65536 x blue.
#pragma once

#include "gdi/GdiObjects.h"
#include "core/Region.h"

#include <QImage>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tq::gdi {

inline constexpr uint32_t kInvalidColour = 0xFFFFFFFFu;

// Background modes.
inline constexpr int32_t kTransparent = 1;
inline constexpr int32_t kOpaque = 2;

// Mix modes (first and last, and the two the drawing code names).
inline constexpr int32_t kMixBlack = 1;
inline constexpr int32_t kMixXorPen = 7;
inline constexpr int32_t kMixCopyPen = 13;
inline constexpr int32_t kMixWhite = 16;

// Stretch modes.
inline constexpr int32_t kStretchBlackOnWhite = 1;
inline constexpr int32_t kStretchWhiteOnBlack = 2;
inline constexpr int32_t kStretchColorOnColor = 3;
inline constexpr int32_t kStretchHalftone = 4;

// Raster codes.
inline constexpr uint32_t kSrcCopy = 0xCC0020;
inline constexpr uint32_t kSrcPaint = 0xEE0086;
inline constexpr uint32_t kSrcAnd = 0x8800C6;
inline constexpr uint32_t kSrcInvert = 0x660046;
inline constexpr uint32_t kSrcErase = 0x440328;
inline constexpr uint32_t kNotSrcCopy = 0x330008;
inline constexpr uint32_t kNotSrcErase = 0x1100A6;
inline constexpr uint32_t kMergeCopy = 0xC000CA;
inline constexpr uint32_t kMergePaint = 0xBB0226;
inline constexpr uint32_t kPatCopy = 0xF00021;
inline constexpr uint32_t kPatPaint = 0xFB0A09;
inline constexpr uint32_t kPatInvert = 0x5A0049;
inline constexpr uint32_t kDstInvert = 0x550009;
inline constexpr uint32_t kBlackness = 0x000042;
inline constexpr uint32_t kWhiteness = 0xFF0062;

// Edge kinds and border flags of drawEdge.
inline constexpr int32_t kEdgeRaisedOuter = 0x1;
inline constexpr int32_t kEdgeSunkenOuter = 0x2;
inline constexpr int32_t kEdgeRaisedInner = 0x4;
inline constexpr int32_t kEdgeSunkenInner = 0x8;
inline constexpr int32_t kBorderLeft = 0x1;
inline constexpr int32_t kBorderTop = 0x2;
inline constexpr int32_t kBorderRight = 0x4;
inline constexpr int32_t kBorderBottom = 0x8;
inline constexpr int32_t kBorderRect = 0xF;
inline constexpr int32_t kBorderMiddle = 0x800;
inline constexpr int32_t kBorderFlat = 0x4000;
inline constexpr int32_t kBorderMono = 0x8000;

// drawText flags.
inline constexpr uint32_t kTextCenter = 0x1;
inline constexpr uint32_t kTextRight = 0x2;
inline constexpr uint32_t kTextVCenter = 0x4;
inline constexpr uint32_t kTextBottom = 0x8;
inline constexpr uint32_t kTextWordBreak = 0x10;
inline constexpr uint32_t kTextSingleLine = 0x20;
inline constexpr uint32_t kTextExpandTabs = 0x40;
inline constexpr uint32_t kTextNoClip = 0x100;
inline constexpr uint32_t kTextCalcRect = 0x400;
inline constexpr uint32_t kTextNoPrefix = 0x800;
inline constexpr uint32_t kTextPathEllipsis = 0x4000;
inline constexpr uint32_t kTextEndEllipsis = 0x8000;
// extTextOut flags.
inline constexpr uint32_t kTextOutOpaque = 0x2;
inline constexpr uint32_t kTextOutClipped = 0x4;

struct TextMetrics {
    int32_t height = 0;            // ascent + descent
    int32_t ascent = 0;
    int32_t descent = 0;
    int32_t internalLeading = 0;   // height minus the character height
    int32_t externalLeading = 0;
    int32_t averageCharWidth = 0;
    int32_t weight = 0;
    bool italic = false;
    bool underlined = false;
    bool struckOut = false;
    uint8_t charSet = 0;
    int32_t digitizedAspectY = 96; // pixels per inch of the glyphs
};

// Pixels per inch of every surface (15 twips per pixel).
inline constexpr int32_t kPixelsPerInch = 96;

class DeviceContext {
public:
    // Wraps a surface owned elsewhere; it is converted to 32-bit RGB if it is
    // not already 32-bit.
    explicit DeviceContext(QImage* surface);
    ~DeviceContext();
    DeviceContext(const DeviceContext&) = delete;
    DeviceContext& operator=(const DeviceContext&) = delete;

    // A memory context holding the 1 x 1 stock bitmap; its other state is
    // the defaults, whatever parent is given.
    static DeviceContext* createCompatible(DeviceContext* parent);
    // Deletes a context made by createCompatible; false for anything else.
    static bool destroy(DeviceContext* dc);
    // Whether a context made by createCompatible still lives (tests check
    // that none is left behind).
    static bool isLive(const DeviceContext* dc);

    bool isMemory() const { return memory_; }
    // The surface drawn into: the selected bitmap's image or the wrapped one.
    QImage* surface();
    const QImage* surface() const;
    int32_t width() const;
    int32_t height() const;

    // Selects an object in place of the one of its kind; returns the one it
    // replaced, or nullptr when it cannot be selected (nullptr, a deleted
    // object, an icon, a bitmap into a wrapping context or one already in
    // another context).
    Object* select(Object* object);
    Pen* pen() const { return pen_; }
    Brush* brush() const { return brush_; }
    Font* font() const { return font_; }
    Bitmap* bitmap() const { return bitmap_; }

    uint32_t textColour = 0x000000;
    uint32_t backColour = 0xFFFFFF;
    int32_t backMode = kOpaque;
    int32_t stretchMode = kStretchBlackOnWhite;
    int32_t mixMode() const { return mixMode_; }
    // False (nothing changed) outside 1..16.
    bool setMixMode(int32_t mode);
    bool setBackMode(int32_t mode);

    PointI position() const { return position_; }
    void moveTo(int32_t x, int32_t y) { position_ = {x, y}; }
    // From the current position to (x, y) with the pen, the end point not
    // drawn; the position moves there.
    void lineTo(int32_t x, int32_t y);
    // Outline with the pen, inside with the brush.
    void rectangle(int32_t left, int32_t top, int32_t right, int32_t bottom);
    // Outline of the ellipse inscribed in the rectangle, with the pen.
    void ellipseOutline(int32_t left, int32_t top, int32_t right, int32_t bottom);
    void fillRect(const RectI& rect, const Brush* brush);
    void frameRect(const RectI& rect, const Brush* brush);
    void drawEdge(const RectI& rect, int32_t edge, int32_t flags);
    void setPixel(int32_t x, int32_t y, uint32_t colour);
    // kInvalidColour outside the surface or the clip.
    uint32_t getPixel(int32_t x, int32_t y) const;

    const std::optional<RectI>& clip() const { return clip_; }
    void setClip(const std::optional<RectI>& clip) { clip_ = clip; }
    // The pixels drawing may touch: the surface clipped.
    RectI visibleArea() const;

    // Text with the selected font, text colour and background mode.
    TextMetrics textMetrics() const;
    std::string textFace() const;
    // Width and height of one line of text; (0, 0) without a GUI.
    PointI textExtent(const std::string& text) const;
    // Writes the text into the rectangle by the flags; with kTextCalcRect
    // only measures, setting the rectangle's right and bottom. Returns the
    // height of the text.
    int32_t drawText(const std::string& text, RectI& rect, uint32_t flags);
    bool extTextOut(int32_t x, int32_t y, uint32_t flags, const RectI* rect, const std::string& text);

    // Pixel block copies; see the rules above. source may be this context's
    // own surface: it is read before anything is written.
    bool blit(int32_t x, int32_t y, int32_t w, int32_t h, const QImage* source, int32_t sx, int32_t sy,
              uint32_t rop);
    // Scaled copy of (sx, sy, sw, sh) onto (x, y, w, h); negative sizes
    // mirror. Halftone stretch mode smooths, the others take the nearest
    // pixel.
    bool stretchBlit(int32_t x, int32_t y, int32_t w, int32_t h, const QImage* source, int32_t sx, int32_t sy,
                     int32_t sw, int32_t sh, uint32_t rop);
    // A 24-bit bottom-up pixel array (rows of blue, green, red padded to a
    // multiple of 4) of width x height, unscaled at (x, y). False (nothing
    // drawn) when the bytes are fewer than the picture needs.
    bool dibBlit(int32_t x, int32_t y, int32_t width, int32_t height, std::span<const uint8_t> bits, uint32_t rop);
    // Draws an icon scaled to w x h: its opaque pixels replace the surface's.
    bool drawIcon(int32_t x, int32_t y, const Icon* icon, int32_t w, int32_t h);

private:
    DeviceContext();
    // Pen pixels along a one-pixel line, end point excluded, with the pen's
    // dash style; the current position does not move.
    void penLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1);
    void applyPen(const Region& coverage);
    void fillWithBrush(const Region& area, const Brush* brush, int32_t mix);
    void fillSolid(const RectI& rect, uint32_t colour);
    Region clipRegion(const Region& region) const;
    QFont currentFont() const;

    bool memory_ = false;
    QImage* external_ = nullptr;
    Pen* pen_ = nullptr;
    Brush* brush_ = nullptr;
    Font* font_ = nullptr;
    Bitmap* bitmap_ = nullptr;
    int32_t mixMode_ = kMixCopyPen;
    PointI position_;
    std::optional<RectI> clip_;
};

// 32-bit surface pixel (0xFFRRGGBB) of a colour, and back.
constexpr uint32_t pixelOf(uint32_t colour)
{
    return 0xFF000000u | ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}
constexpr uint32_t colourOf(uint32_t pixel)
{
    return ((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16);
}

// The result of a mix mode (1..16) of pen p and destination d, bit by bit.
uint32_t mix2(int32_t mode, uint32_t p, uint32_t d);
// The result of a raster code of pattern p, source s and destination d.
uint32_t mix3(uint32_t rop, uint32_t p, uint32_t s, uint32_t d);

} // namespace tq::gdi
