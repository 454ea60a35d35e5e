// The canvas of a document window (the control named iDst): draws the visible
// band of the pixel buffer at the view's zoom and scroll position, the moving
// selection outline while the window is the active document, and the tools'
// rubber bands. It owns nothing of the document: the window lends it the
// buffer, the view and the selection. Its mouse and key events go to the
// window's handlers (the hooks below) in the platform's numbers.
#pragma once

#include "core/BitsBuffer.h"
#include "core/Region.h"
#include "document/ViewLayout.h"

#include <QCursor>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QKeyEvent;
class QPainter;

namespace tq {

class cBitRegion;

// Draws the visible band of the buffer, whose picture is W x H, onto a
// canvas of cW x cH: one scaled draw by whole pixels, without smoothing,
// straight from the buffer's bytes (wrapped, not converted or copied).
void drawVisibleBand(QPainter& painter, const BitsBuffer& bits, int32_t z, int32_t hV, int32_t hM, int32_t vV,
                     int32_t vM, int32_t cW, int32_t cH);
// The same, limited to the whole picture pixels that cover the canvas
// rectangle `exposed`: a repaint of a few rows or columns reads only those.
void drawVisibleBand(QPainter& painter, const BitsBuffer& bits, int32_t z, int32_t hV, int32_t hM, int32_t vV,
                     int32_t vM, int32_t cW, int32_t cH, const QRect& exposed);

// Canvas pointers, as the platform numbers them: 99 shows the canvas's own
// picture (MouseIcon).
enum CanvasPointer : int16_t {
    kPointerDefault = 0,
    kPointerCross = 2,
    kPointerHourglass = 11,
    kPointerArrowHourglass = 13,
    kPointerFourWay = 15,
    kPointerCustom = 99,
};

// The platform's key code of a Qt key (17 Ctrl, 32 Space, 37 to 40 the
// arrows, letters and digits as their capital ASCII codes); 0 for a key
// without one.
int16_t platformKeyCode(int qtKey);

class ImageCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSelectionInterval = 500;   // ms per step of the outline

    explicit ImageCanvas(QWidget* parent = nullptr);

    // What the canvas shows; any of them may be null (nothing is drawn).
    void setSource(const BitsBuffer* bits, ViewLayout* view, cBitRegion* selection);

    // Repaints the canvas (the paint handler runs for it).
    void UpdateImage();
    // Repaints only the canvas over picture pixels `r` (right and bottom
    // exclusive), clipped to the canvas.
    void UpdatePictureRect(const RectI& r);
    // Draws the selection outline once with the current pattern, without
    // repainting the pixels beneath the rest of the canvas.
    void UpdateRegion();

    // The moving outline: StartTimer draws one step at once and starts the
    // 500 ms steps; StopTimer stops them (the outline stays until a repaint).
    void StartTimer();
    void StopTimer();
    bool TimerRunning() const { return tmrSelection.isActive(); }   // read by tests
    void tmrSelection_Timer();

    // Rubber bands, corners in picture coordinates: kind 0 rectangle, 1
    // ellipse, 2 polyline (with NewLine a further segment follows); other
    // kinds do nothing. Outlines invert the pixels beneath them.
    void ShowShape(int32_t shpType, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, bool NewLine);
    void HideShape(int32_t shpType);

    // Persistent drawing: while on, the tools' strokes stay on the canvas;
    // turning it on draws the canvas at once.
    void SetAutoRedraw(bool Auto);
    bool AutoRedraw() const { return AutoRedraw_; }

    struct ShapeOutline {
        bool visible = false;
        int32_t left = 0, top = 0, width = 0, height = 0;
    };
    struct LineOutline {
        bool visible = false;
        int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    };
    const ShapeOutline& shpRect() const { return shpRect_; }
    const ShapeOutline& shpEllp() const { return shpEllp_; }
    const std::vector<LineOutline>& shpLine() const { return shpLine_; }

    // Called after every paint of the picture (the navigator's view rectangle).
    std::function<void()> painted;

    // The pointer: MousePointer is a CanvasPointer number; with 99 the
    // canvas shows MouseIcon.
    void setMousePointer(int16_t pointer);
    int16_t MousePointer() const { return MousePointer_; }
    void setMouseIcon(const QCursor& icon);
    const QCursor& MouseIcon() const { return MouseIcon_; }

    // The pointer's screen position at the last mouse event the canvas had.
    QPoint pointerScreenPos() const { return pointerScreenPos_; }

    // The window's handlers: X and Y in canvas pixels, Button, Shift and
    // KeyCode in the platform's numbers (see CanvasInput.h).
    std::function<void(int16_t Button, int16_t Shift, float X, float Y)> onMouseDown;
    std::function<void(int16_t Button, int16_t Shift, float X, float Y)> onMouseMove;
    std::function<void(int16_t Button, int16_t Shift, float X, float Y)> onMouseUp;
    std::function<void(int16_t KeyCode, int16_t Shift)> onKeyDown;
    std::function<void(int16_t KeyCode, int16_t Shift)> onKeyUp;

    QTimer tmrSelection;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    bool hasPicture() const;
    void drawOutline(QPainter& p) const;
    void drawShapes(QPainter& p) const;
    QRect shapeBounds() const;
    void updateOutline();

    const BitsBuffer* bits_ = nullptr;
    ViewLayout* view_ = nullptr;
    cBitRegion* selection_ = nullptr;
    bool AutoRedraw_ = false;
    bool outlineOnce_ = false;
    ShapeOutline shpRect_;
    ShapeOutline shpEllp_;
    std::vector<LineOutline> shpLine_{LineOutline{}};
    int16_t MousePointer_ = kPointerDefault;
    QCursor MouseIcon_;
    QPoint pointerScreenPos_;
};

} // namespace tq
