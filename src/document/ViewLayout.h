// The view of one document: the zoom, the layout that sizes and places the
// canvas inside its container, and the scroll position. Plain C++ so tests
// can drive it without a window; the document window applies its results to
// the widgets.
//
// View transform: picture pixel (x, y) is drawn from canvas position
// (x * z - hValue, y * z - vValue) over z x z canvas pixels; canvas point
// (X, Y) lies on picture pixel ((hValue + X) / z, (vValue + Y) / z).
//
// Scroll positions and sizes are 32-bit here: a 3000-pixel picture at zoom 15
// is 45000 magnified pixels wide and scrolls like any other. The size guard of
// the layout therefore only stops what 32 bits could not hold: a picture side
// beyond the largest the program accepts (such pictures are refused when they
// are made or loaded, so the guard is a last line, and it never retries).
#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace tq {

// Zoom factors run from kZoomLow to kZoomHigh; entry i of the table is the
// magnification of zoom factor i.
inline constexpr int32_t kZoomLow = 1;
inline constexpr int32_t kZoomHigh = 15;

// The largest picture side, and the largest magnified side the layout lays
// out: any accepted picture at any zoom.
inline constexpr int32_t kMaxViewSide = 32767;
inline constexpr int32_t kMaxMagnified = kMaxViewSide * kZoomHigh;

struct ZoomTable {
    std::array<int32_t, kZoomHigh + 1> entry{};
    // InitZoomTable: entry i = i.
    ZoomTable();
    int32_t operator()(int32_t i) const { return entry[static_cast<size_t>(clamp(i))]; }
    // n <= 0 gives the lowest factor, n above the table the highest.
    static int32_t clamp(int32_t n);
};

// A scroll bar reduced to the position it holds. A value outside 0..Max is
// refused (the bar keeps its value), as the platform's bar does; lowering Max
// below the value pulls the value down to Max.
class ScrollBarModel {
public:
    int32_t Value() const { return Value_; }
    int32_t Max() const { return Max_; }
    int32_t LargeChange() const { return LargeChange_; }
    int32_t SmallChange() const { return SmallChange_; }
    bool Visible() const { return Visible_; }

    // False (value unchanged) when v lies outside 0..Max.
    bool setValue(int32_t v);
    // A negative maximum is taken as 0.
    void setMax(int32_t m);
    void setLargeChange(int32_t v) { LargeChange_ = v < 1 ? 1 : v; }
    void setSmallChange(int32_t v) { SmallChange_ = v < 1 ? 1 : v; }
    void setVisible(bool v) { Visible_ = v; }
    void hide() { Visible_ = false; }
    void show() { Visible_ = true; }
    bool isHidden() const { return !Visible_; }

    // Raised whenever the value changes, also when code sets it.
    std::function<void()> onChange;

private:
    int32_t Value_ = 0;
    int32_t Max_ = 0;
    int32_t LargeChange_ = 1;
    int32_t SmallChange_ = 1;
    bool Visible_ = false;
};

// Where the canvas sits inside its container.
struct CanvasRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const CanvasRect&) const = default;
};

// What one run of the layout asks of the window.
enum class LayoutOutcome {
    Skipped,          // no picture, or a layout already running
    Refused,          // the picture cannot be shown even at zoom 1
    ContainerTooSmall,// the window must grow to minimumTwips first
    Done,
};

class ViewLayout {
public:
    static constexpr int32_t kTwipsPerPixel = 15;

    ViewLayout();

    ZoomTable Table;
    ScrollBarModel hSB;
    ScrollBarModel vSB;

    // ---- The picture and the container --------------------------------------
    // W x H is the holder's size (it stays when the picture is taken away);
    // exists says whether there is a picture to lay out.
    void setPicture(int32_t W, int32_t H, bool exists);
    int32_t PictureW() const { return W_; }
    int32_t PictureH() const { return H_; }
    bool HasPicture() const { return exists_; }
    // The container's inner size (the window's inner size above the status bar).
    void setContainer(int32_t w, int32_t h);
    int32_t ContainerW() const { return pW_; }
    int32_t ContainerH() const { return pH_; }

    // ---- Zoom -------------------------------------------------------------
    int32_t ZoomFactor() const { return Zoom_; }
    int32_t Magnification() const { return Table(Zoom_); }
    // Clamps, tells zoomChanged, then lays the window out (requestLayout).
    void setZoomFactor(int32_t n);
    // One step; only with a picture; nothing at the end of the table.
    void ZoomIn();
    void ZoomOut();

    // ---- Layout -------------------------------------------------------------
    // Lays the canvas out in the current container. Never re-enters itself:
    // a call made while a layout runs is skipped, and the size guard falls
    // back to zoom 1 within the same run instead of starting another.
    LayoutOutcome UserControl_Resize();
    const CanvasRect& Canvas() const { return Canvas_; }
    bool CanvasVisible() const { return CanvasVisible_; }   // read by tests
    bool NeedsHScroll() const { return needH_; }
    bool NeedsVScroll() const { return needV_; }
    // After ContainerTooSmall: the outer size in twips the window must take
    // (width when minimumIsWidth, else height).
    int32_t MinimumTwips() const { return minimumTwips_; }
    bool MinimumIsWidth() const { return minimumIsWidth_; }
    // The canvas shows the open hand: hand-drag mode with something to scroll.
    bool HandPointer() const { return HandPointer_; }

    int32_t BarsWidth() const { return BarsWidth_; }
    // Stores the value (13 when it is 13 or less) and lays the window out.
    void setBarsWidth(int32_t v);

    bool MouseScroll() const { return MouseScroll_; }
    void setMouseScroll(bool v);

    // ---- Scrolling ----------------------------------------------------------
    // Sets both values with repainting held, then repaints once; a value
    // outside 0..Max is refused by its bar.
    void Scroll(int32_t hV, int32_t VV);
    // Hand drag: moves the values by (dx, dy), kept within 0..Max, one repaint.
    void DragBy(int32_t dx, int32_t dy);
    void GetDimensions(int32_t& sW, int32_t& sH, int32_t& dW, int32_t& dH) const;
    void GetSBV(int32_t& hV, int32_t& VV) const;
    void GetSBM(int32_t& hM, int32_t& vM) const;

    // The picture is taken away: canvas hidden, both maxima 0, repainting held
    // until the next completed layout.
    void Clear();

    bool HoldPaint = false;
    bool LaidOut = false;
    float LastHValue = 0.0f;
    float LastVValue = 0.0f;
    float LastHMax = 0.0f;
    float LastVMax = 0.0f;

    // ---- Hooks the window sets ----------------------------------------------
    // The canvas must be drawn again.
    std::function<void()> repaint;
    // The zoom factor changed (the selection's display factor follows it).
    std::function<void(int32_t)> zoomChanged;
    // A member asks for a layout; the window refreshes the container size and
    // calls UserControl_Resize. Without it the layout runs directly.
    std::function<void()> requestLayout;

private:
    void relayout();
    void hChanged();
    void vChanged();

    int32_t W_ = 0;
    int32_t H_ = 0;
    bool exists_ = false;
    int32_t pW_ = 0;
    int32_t pH_ = 0;
    int32_t Zoom_ = 1;
    int32_t BarsWidth_ = 0;
    bool MouseScroll_ = false;
    bool HandPointer_ = false;
    CanvasRect Canvas_{};
    bool CanvasVisible_ = false;
    bool needH_ = false;
    bool needV_ = false;
    int32_t minimumTwips_ = 0;
    bool minimumIsWidth_ = true;
    bool inLayout_ = false;
};

// The drawing of the visible band: the destination on the canvas and the
// source in the bordered buffer (column 2 is picture column 0). srcY counts
// from the bottom edge of the bordered bitmap, as the platform's stretch call
// takes it; sourceTopRow gives the buffer row of the band's top.
struct PaintGeometry {
    int32_t dstX = 0, dstY = 0, dstW = 0, dstH = 0;
    int32_t srcX = 0, srcY = 0, srcW = 0, srcH = 0;
    bool operator==(const PaintGeometry&) const = default;
};

PaintGeometry paintGeometry(int32_t z, int32_t hV, int32_t hM, int32_t vV, int32_t vM, int32_t cW, int32_t cH,
                            int32_t W, int32_t H);
// Buffer row (0 = top margin row) of the band's first row.
inline int32_t sourceTopRow(const PaintGeometry& g, int32_t H) { return H + 4 - g.srcY - g.srcH; }

// A picture coordinate on the canvas: v * zoom - scroll, kept within 32 bits.
int32_t pictureToCanvas(int32_t v, int32_t zoom, int32_t scroll);
// The picture coordinate under a canvas coordinate: (scroll + c) / z.
inline int32_t canvasToPicture(int32_t c, int32_t z, int32_t scroll) { return (scroll + c) / z; }

} // namespace tq
