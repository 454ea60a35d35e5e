#include "document/ImageCanvas.h"

#include "document/cBitRegion.h"
#include "document/cBitRegionPaint.h"

#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cstdlib>

namespace tq {

void drawVisibleBand(QPainter& painter, const BitsBuffer& bits, int32_t z, int32_t hV, int32_t hM, int32_t vV,
                     int32_t vM, int32_t cW, int32_t cH)
{
    if (!bits.allocated()) return;
    const int32_t W = bits.width();
    const int32_t H = bits.height();
    const PaintGeometry g = paintGeometry(z, hV, hM, vV, vM, cW, cH, W, H);
    // The whole bordered buffer seen as one 32-bit top-down bitmap: blue,
    // green, red and the marker byte are exactly the RGB32 layout, so the
    // bytes are drawn where they stand.
    const QImage whole(bits.data(), W + 4, H + 4, bits.stride(), QImage::Format_RGB32);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(g.dstX, g.dstY, g.dstW, g.dstH), whole,
                      QRect(g.srcX, sourceTopRow(g, H), g.srcW, g.srcH));
}

ImageCanvas::ImageCanvas(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("iDst"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::StrongFocus);
    tmrSelection.setInterval(kSelectionInterval);
    connect(&tmrSelection, &QTimer::timeout, this, [this] { tmrSelection_Timer(); });
}

void ImageCanvas::setSource(const BitsBuffer* bits, ViewLayout* view, cBitRegion* selection)
{
    bits_ = bits;
    view_ = view;
    selection_ = selection;
    update();
}

bool ImageCanvas::hasPicture() const
{
    return bits_ && bits_->allocated() && view_ && view_->HasPicture();
}

void ImageCanvas::UpdateImage() { update(); }

void ImageCanvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!hasPicture()) return;
    drawVisibleBand(p, *bits_, view_->Magnification(), view_->hSB.Value(), view_->hSB.Max(), view_->vSB.Value(),
                    view_->vSB.Max(), width(), height());
    if (TimerRunning() || outlineOnce_) drawOutline(p);
    outlineOnce_ = false;
    drawShapes(p);
    if (painted) painted();
}

void ImageCanvas::drawOutline(QPainter& p) const
{
    if (!selection_ || !selection_->Region() || !view_) return;
    DrawToDC(*selection_, p, -view_->hSB.Value(), -view_->vSB.Value());
}

// ---- Moving outline -------------------------------------------------------------

void ImageCanvas::updateOutline()
{
    if (!selection_ || !view_) return;
    const Region outline = selection_->OutlineRegion(-view_->hSB.Value(), -view_->vSB.Value());
    if (outline.isEmpty()) return;
    // Only the frame is redrawn: the repaint is clipped to the outline's pixels.
    std::vector<QRect> rects;
    outline.forEachRect([&](const RectI& r) { rects.emplace_back(r.left, r.top, r.width(), r.height()); });
    QRegion area;
    area.setRects(rects.data(), static_cast<int>(rects.size()));
    update(area);
}

void ImageCanvas::tmrSelection_Timer()
{
    if (!selection_ || selection_->IsEmptyRegion()) return;
    selection_->RotateBrush();
    updateOutline();
}

void ImageCanvas::StartTimer()
{
    tmrSelection.start();
    tmrSelection_Timer();
}

void ImageCanvas::StopTimer() { tmrSelection.stop(); }

void ImageCanvas::UpdateRegion()
{
    outlineOnce_ = true;
    updateOutline();
}

// ---- Rubber bands ---------------------------------------------------------------

QRect ImageCanvas::shapeBounds() const
{
    QRect r;
    auto add = [&r](const ShapeOutline& s) {
        if (s.visible) r |= QRect(s.left, s.top, s.width + 1, s.height + 1);
    };
    add(shpRect_);
    add(shpEllp_);
    for (const LineOutline& l : shpLine_)
        if (l.visible)
            r |= QRect(QPoint(std::min(l.x1, l.x2), std::min(l.y1, l.y2)),
                       QPoint(std::max(l.x1, l.x2), std::max(l.y1, l.y2)));
    return r.adjusted(-1, -1, 1, 1);
}

void ImageCanvas::ShowShape(int32_t shpType, int32_t X1, int32_t Y1, int32_t X2, int32_t Y2, bool NewLine)
{
    if (shpType < 0 || shpType > 2 || !view_) return;
    const QRect before = shapeBounds();
    const int32_t zoom = view_->ZoomFactor();
    const int32_t hV = view_->hSB.Value();
    const int32_t vV = view_->vSB.Value();
    const int32_t x1 = pictureToCanvas(X1, zoom, hV), y1 = pictureToCanvas(Y1, zoom, vV);
    const int32_t x2 = pictureToCanvas(X2, zoom, hV), y2 = pictureToCanvas(Y2, zoom, vV);
    if (shpType == 0 || shpType == 1) {
        // Corners in either order give the rectangle between them.
        ShapeOutline& s = shpType == 0 ? shpRect_ : shpEllp_;
        s.visible = true;
        s.left = std::min(x1, x2);
        s.top = std::min(y1, y2);
        s.width = static_cast<int32_t>(std::min<int64_t>(std::llabs(int64_t(x2) - x1), INT32_MAX));
        s.height = static_cast<int32_t>(std::min<int64_t>(std::llabs(int64_t(y2) - y1), INT32_MAX));
    } else {
        LineOutline& l = shpLine_.back();
        l = LineOutline{true, x1, y1, x2, y2};
        if (NewLine) shpLine_.push_back(LineOutline{});
    }
    update(before | shapeBounds());
}

void ImageCanvas::HideShape(int32_t shpType)
{
    const QRect before = shapeBounds();
    switch (shpType) {
    case 0:
        shpRect_.visible = false;
        break;
    case 1:
        shpEllp_.visible = false;
        break;
    case 2:
        shpLine_.resize(1);
        shpLine_[0].visible = false;
        break;
    default:
        return;
    }
    update(before);
}

void ImageCanvas::drawShapes(QPainter& p) const
{
    const bool any = shpRect_.visible || shpEllp_.visible || shpLine_.size() > 1 || shpLine_[0].visible;
    if (!any) return;
    p.save();
    // Invert mode: every outline pixel inverts the pixel beneath it.
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(Qt::NoBrush);
    // A stroked rectangle covers its size plus the pen: one less each way
    // gives an outline exactly width x height pixels.
    if (shpRect_.visible && shpRect_.width > 0 && shpRect_.height > 0)
        p.drawRect(QRect(shpRect_.left, shpRect_.top, shpRect_.width - 1, shpRect_.height - 1));
    if (shpEllp_.visible && shpEllp_.width > 0 && shpEllp_.height > 0)
        p.drawEllipse(QRect(shpEllp_.left, shpEllp_.top, shpEllp_.width - 1, shpEllp_.height - 1));
    for (const LineOutline& l : shpLine_)
        if (l.visible) p.drawLine(l.x1, l.y1, l.x2, l.y2);
    p.restore();
}

// ---- Persistent drawing and hand scrolling --------------------------------------

void ImageCanvas::SetAutoRedraw(bool Auto)
{
    AutoRedraw_ = Auto;
    if (Auto) {
        UpdateImage();
        repaint();
    }
}

void ImageCanvas::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton && view_ && view_->MouseScroll() && hasPicture()) {
        dragging_ = true;
        dragFrom_ = e->position().toPoint();
        setCursor(Qt::ClosedHandCursor);
        e->accept();
        return;
    }
    QWidget::mousePressEvent(e);
}

void ImageCanvas::mouseMoveEvent(QMouseEvent* e)
{
    if (dragging_ && view_) {
        const QPoint at = e->position().toPoint();
        const QPoint moved = at - dragFrom_;
        dragFrom_ = at;
        // The picture follows the hand: the view moves the other way.
        if (!moved.isNull()) view_->DragBy(-moved.x(), -moved.y());
        e->accept();
        return;
    }
    QWidget::mouseMoveEvent(e);
}

void ImageCanvas::mouseReleaseEvent(QMouseEvent* e)
{
    if (dragging_ && e->button() == Qt::LeftButton) {
        dragging_ = false;
        setCursor(view_ && view_->HandPointer() ? Qt::OpenHandCursor : Qt::ArrowCursor);
        e->accept();
        return;
    }
    QWidget::mouseReleaseEvent(e);
}

} // namespace tq
