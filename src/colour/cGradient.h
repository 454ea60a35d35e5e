// cGradient: a drawing object around one device context. It either makes
// an off-screen surface of a given size (a memory context with a bitmap of
// its own) or wraps a context the caller already has (a window's persistent
// image), keeps track of every object it selects into that context, and
// puts back and releases them when it is destroyed. It fills, frames, draws
// edges, lines, rectangles, ellipses and text, copies (plainly, stretched,
// with a transparent colour, embossed), paints pictures, and turns its
// contents into pictures and icons. Despite the name it draws no gradients
// itself; the colour picker's accelerated fields use it as their surface.
//
// Conventions of every member:
// - A colour argument of -1 means "no colour, use the handle argument";
//   any other value, system colours included, goes through TranslateColor.
// - Drawing members do nothing while the object is not created.
// - For FillRect, DrawEdge, Rectangle and DrawEllipse a RightX below LeftX
//   stands for Width and a BottomY below TopY for Height, so -1 reaches the
//   far edge; FrameRect, DrawText, ExtTextOut and SetClipRect take their
//   rectangle as it is.
// - Blits: a destination of nullptr means the parent context given to Init,
//   a width or height of 0 the object's own; the source is the object's
//   own surface.
// - Nothing raises: a failing step leaves its result 0 or its target as it
//   was, and the member goes on.
//
// Ownership: the object owns the bitmap and context it made, the font it
// made, and every brush and pen handed to Brush or Pen (directly or through
// DrawLine, Rectangle and DrawEllipse); each is released when replaced or at
// Destroy. Brushes handed to FillRect, FrameRect and Cls are only used;
// CreateBrush and CreatePen give their handles to the caller; pictures own
// their objects.
#pragma once

#include "gdi/DeviceContext.h"
#include "gdi/FontObject.h"
#include "colour/Picture.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

namespace tq {

class cGradient {
public:
    cGradient() = default;
    ~cGradient();
    cGradient(const cGradient&) = delete;
    cGradient& operator=(const cGradient&) = delete;

    gdi::DeviceContext* hdc() const { return hDC_; }
    int32_t Width() const { return Width_; }
    int32_t Height() const { return Height_; }
    // Character cell height of the current font; 0 when not created.
    int32_t FontHeight() const;
    // The context's current font; nothing when not created.
    std::optional<FontObject> Font() const;
    // Makes a font from the description and selects it, releasing the one
    // the object made before.
    void Font(const FontObject& oValue);
    int32_t ForeColor() const;
    void ForeColor(int32_t NewValue);
    int32_t BackColor() const;
    void BackColor(int32_t NewValue);
    // 1 transparent, 2 opaque; 0 when not created.
    int32_t BackStyle() const;
    void BackStyle(int32_t NewValue);
    // A checkerboard of single pixels, made on first request and kept until
    // Destroy; nullptr when not created.
    gdi::Brush* DotBrush();
    gdi::Brush* Brush() const { return Brush_; }
    void Brush(gdi::Brush* lValue);
    gdi::Pen* Pen() const { return Pen_; }
    void Pen(gdi::Pen* lValue);
    // A new picture holding a copy of the whole surface; nothing when not
    // created.
    Picture IMAGE() const;
    bool IsMemoryDC() const { return Bitmap_ != nullptr; }
    // The mix mode (1..16); 0 when not created.
    int32_t DrawMode() const;
    void DrawMode(int32_t dwValue);
    // The desktop's icon-title font (here: its general font); works without
    // a context.
    static FontObject SystemIconFont();

    // Creates (hMemoryDC nullptr) or wraps a context of PixelWidth x
    // PixelHeight; destroys first when created. Takes the parent's colours,
    // background mode and font when a parent is given. Returns hdc, nullptr
    // when the surface cannot be made.
    gdi::DeviceContext* Init(int32_t PixelWidth, int32_t PixelHeight, gdi::DeviceContext* hParentDC = nullptr,
                             gdi::DeviceContext* hMemoryDC = nullptr);
    // Puts back and releases what the object selected and made. An owned
    // context is deleted (the object is then not created); a wrapped one is
    // left in use and IsCreated stays true.
    void Destroy();
    bool IsCreated() const { return hDC_ != nullptr; }

    void Cls(int32_t clrFill = -1, gdi::Brush* hbrFill = nullptr);
    void FillRect(int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY, int32_t clrFill = -1,
                  gdi::Brush* hbrFill = nullptr);
    void DrawEdge(int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY, int32_t edge, int32_t flags);
    void FrameRect(int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY, int32_t clrFill = -1,
                   gdi::Brush* hbrFill = nullptr);
    // A line to (X2, Y2), the end point not drawn; X1 < 0 continues from
    // the end of the previous line. A colour makes a new one-pixel pen that
    // replaces hpnLine; a pen of nullptr puts back the context's first pen.
    void DrawLine(int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, int32_t clrLine = -1,
                  gdi::Pen* hpnLine = nullptr);
    bool BitBlt(gdi::DeviceContext* hdcDest, int32_t xDest, int32_t yDest, int32_t nWidth = 0, int32_t nHeight = 0,
                int32_t xSrc = 0, int32_t ySrc = 0, uint32_t dwRop = gdi::kSrcCopy);
    bool StretchBlt(gdi::DeviceContext* hdcDest, int32_t xDest, int32_t yDest, int32_t nWidth, int32_t nHeight,
                    int32_t xSrc, int32_t ySrc, int32_t nSrcWidth, int32_t nSrcHeight,
                    uint32_t dwRop = gdi::kSrcCopy);
    // A copy in which the pixels of clrMask leave the destination alone.
    void TransBlt(gdi::DeviceContext* hdcDest, int32_t xDest, int32_t yDest, int32_t nWidth, int32_t nHeight,
                  int32_t xSrc, int32_t ySrc, int32_t clrMask);
    // The embossed look of a disabled picture: the dark pixels of the source
    // that are not clrMask, in clrHighlight one pixel right and down and in
    // clrShadow in place, over the unchanged destination.
    void DisabledBlt(gdi::DeviceContext* hdcDest, int32_t xDest, int32_t yDest, int32_t nWidth, int32_t nHeight,
                     int32_t xSrc, int32_t ySrc, int32_t clrMask, int32_t clrHighlight, int32_t clrShadow);
    // Writes the text into the rectangle by the flags; with the measuring
    // flag only sets the rectangle's right and bottom. Returns the text's
    // height.
    int32_t DrawText(const std::string& Text, int32_t& LeftX, int32_t& TopY, int32_t& RightX, int32_t& BottomY,
                     int32_t dtFlags);
    bool ExtTextOut(const std::string& Text, int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY,
                    int32_t xOffset, int32_t yOffset, int32_t etoFlags);
    // Draws a picture by its kind: a bitmap copied with dwRop (or with
    // clrMask transparent when it is not -1), an icon scaled to the size.
    // Creates the object at the picture's size when it is not created; a
    // width or height of 0 stands for the picture's.
    void PaintPicture(const Picture& oPic, int32_t xDest, int32_t yDest, int32_t nWidth = 0, int32_t nHeight = 0,
                      int32_t xSrc = 0, int32_t ySrc = 0, uint32_t dwRop = gdi::kSrcCopy, int32_t clrMask = -1);
    void PaintDisabledPicture(const Picture& oPic, int32_t xDest, int32_t yDest, int32_t nWidth, int32_t nHeight,
                              int32_t xSrc, int32_t ySrc, int32_t clrMask, int32_t clrHighlight, int32_t clrShadow);
    // An icon of the whole surface, transparent wherever it holds clrMask.
    Picture ExtractIcon(int32_t clrMask) const;
    static Picture BitmapToPicture(gdi::Bitmap* hBmp);
    // Nothing for nullptr.
    static Picture IconToPicture(gdi::Icon* hIcon);
    // -1 stays -1; anything else becomes plain RGB (0 when it cannot).
    static int32_t TranslateColor(int32_t clrColor);
    int32_t TextWidth(const std::string& sText) const;
    int32_t TextHeight(const std::string& sText) const;
    static void NormalizeRect(int32_t& LeftX, int32_t& TopY, int32_t& RightX, int32_t& BottomY);
    // LeftX >= 0: drawing is clipped to the rectangle put in order; LeftX < 0
    // removes the clipping.
    void SetClipRect(int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY);
    // Draws a 24-bit bottom-up pixel array (rows of blue, green, red padded to
    // a multiple of 4 bytes) of nWidth x nHeight at (xDest, yDest), unscaled.
    // An array shorter than that draws nothing.
    void SetDIBits(int32_t xDest, int32_t yDest, int32_t nWidth, int32_t nHeight, std::span<const uint8_t> aBits,
                   uint32_t dwRop = gdi::kSrcCopy);
    gdi::Brush* CreateBrush(int32_t clrFill, int32_t lStyle = gdi::kBrushSolid, int32_t lHatch = 0) const;
    gdi::Pen* CreatePen(int32_t clrOutline, int32_t lStyle = gdi::kPenSolid, int32_t lWidth = 1) const;
    void Rectangle(int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY, int32_t clrFill = -1,
                   gdi::Brush* hbrFill = nullptr, int32_t clrOutline = -1, gdi::Pen* hpnOutline = nullptr);
    // The outline of the ellipse inscribed in the rectangle, not filled.
    void DrawEllipse(int32_t LeftX, int32_t TopY, int32_t RightX, int32_t BottomY, int32_t clrOutline = -1,
                     gdi::Pen* hpnOutline = nullptr);
    void SetPixel(int32_t LeftX, int32_t TopY, int32_t clrColor);
    // -1 outside the surface or the clipping, or when not created.
    int32_t GetPixel(int32_t LeftX, int32_t TopY) const;

private:
    gdi::DeviceContext* destination(gdi::DeviceContext* hdcDest) const { return hdcDest ? hdcDest : ParentDC_; }
    void spanRect(int32_t& LeftX, int32_t& TopY, int32_t& RightX, int32_t& BottomY) const;
    // The pixels of the block (x, y, w, h) of the own surface; pixels off
    // the surface are black.
    QImage sourceBlock(int32_t x, int32_t y, int32_t w, int32_t h) const;
    // Selects object into the own surface, keeping in original the object
    // it first replaced; a null object puts original back and forgets it.
    // The object taken out of the surface (nullptr without a surface or
    // when nothing changed).
    gdi::Object* selectInstead(gdi::Object* object, gdi::Object*& original);
    // Runs paint with a solid brush of clrFill (made for it and deleted
    // afterwards), or, for clrFill -1, with hbrFill when that is usable.
    // The start of painting a picture: nothing for an empty picture; a
    // surface of the picture's size made when there is none; a width or
    // height of 0 becomes the picture's. False when there is nothing to
    // paint or no surface.
    bool readyForPicture(const Picture& oPic, int32_t& nWidth, int32_t& nHeight);
    void withFillBrush(int32_t clrFill, gdi::Brush* hbrFill, const std::function<void(gdi::Brush*)>& paint);

    gdi::DeviceContext* hDC_ = nullptr;
    int32_t Width_ = 0;
    int32_t Height_ = 0;
    gdi::Bitmap* Bitmap_ = nullptr;
    gdi::Object* OldBitmap_ = nullptr;
    gdi::Font* Font_ = nullptr;
    gdi::Object* OldFont_ = nullptr;
    gdi::DeviceContext* ParentDC_ = nullptr;
    gdi::Brush* Brush_ = nullptr;
    gdi::Object* OldBrush_ = nullptr;
    gdi::Pen* Pen_ = nullptr;
    gdi::Object* OldPen_ = nullptr;
    gdi::Brush* DotBrush_ = nullptr;
};

} // namespace tq
