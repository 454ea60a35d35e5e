// The canvas of a document window (the control named iDst): draws the visible
// band of the pixel buffer at the view's zoom and scroll position, the moving
// selection outline while the window is the active document, and the tools'
// rubber bands. It owns nothing of the document: the window lends it the
// buffer, the view and the selection.
#pragma once

#include "platform/BitsBuffer.h"
#include "document/ViewLayout.h"

#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QPainter;

namespace tq {

class cBitRegion;

// Draws the visible band of the buffer, whose picture is W x H, onto a
// canvas of cW x cH: one scaled draw by whole pixels, without smoothing,
// straight from the buffer's bytes (wrapped, not converted or copied).
void drawVisibleBand(QPainter& painter, const BitsBuffer& bits, int32_t z, int32_t hV, int32_t hM, int32_t vV,
                     int32_t vM, int32_t cW, int32_t cH);

class ImageCanvas : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSelectionInterval = 500;   // ms per step of the outline

    explicit ImageCanvas(QWidget* parent = nullptr);

    // What the canvas shows; any of them may be null (nothing is drawn).
    void setSource(const BitsBuffer* bits, ViewLayout* view, cBitRegion* selection);

    // Repaints the canvas (the paint handler runs for it).
    void UpdateImage();
    // Draws the selection outline once with the current pattern, without
    // repainting the pixels beneath the rest of the canvas.
    void UpdateRegion();

    // The moving outline: StartTimer draws one step at once and starts the
    // 500 ms steps; StopTimer stops them (the outline stays until a repaint).
    void StartTimer();
    void StopTimer();
    bool TimerRunning() const { return tmrSelection.isActive(); }
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

    QTimer tmrSelection;

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

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
    bool dragging_ = false;
    QPoint dragFrom_;
};

} // namespace tq
