#include "document/ImageCanvas.h"

#include "document/cBitRegion.h"
#include "document/cBitRegionPaint.h"

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cstdlib>

namespace tq {

namespace {

void drawBand(QPainter& painter, const BitsBuffer& bits, int32_t z, int32_t hV, int32_t hM, int32_t vV, int32_t vM,
              int32_t cW, int32_t cH, const QRect* exposed)
{
    if (!bits.allocated()) return;
    const int32_t W = bits.width();
    const int32_t H = bits.height();
    const PaintGeometry g = paintGeometry(z, hV, hM, vV, vM, cW, cH, W, H);
    QRect dst(g.dstX, g.dstY, g.dstW, g.dstH);
    QRect src(g.srcX, sourceTopRow(g, H), g.srcW, g.srcH);
    // Each picture pixel covers z x z canvas pixels: only the columns and
    // rows under the exposed rectangle are read and scaled.
    if (exposed && z >= 1 && g.dstW == g.srcW * z && g.dstH == g.srcH * z) {
        const QRect e = exposed->intersected(dst);
        if (e.isEmpty()) return;
        const int32_t c0 = (e.left() - g.dstX) / z, c1 = (e.right() - g.dstX) / z + 1;
        const int32_t r0 = (e.top() - g.dstY) / z, r1 = (e.bottom() - g.dstY) / z + 1;
        dst = QRect(g.dstX + c0 * z, g.dstY + r0 * z, (c1 - c0) * z, (r1 - r0) * z);
        src = QRect(src.left() + c0, src.top() + r0, c1 - c0, r1 - r0);
    }
    // The whole bordered buffer seen as one 32-bit top-down bitmap: blue,
    // green, red and the marker byte are exactly the RGB32 layout, so the
    // bytes are drawn where they stand.
    const QImage whole(bits.data(), W + 4, H + 4, bits.stride(), QImage::Format_RGB32);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(dst, whole, src);
}

int16_t buttonBits(Qt::MouseButtons b)
{
    return static_cast<int16_t>((b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) |
                                (b & Qt::MiddleButton ? 4 : 0));
}

int16_t shiftBits(Qt::KeyboardModifiers m)
{
    return static_cast<int16_t>((m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
                                (m & Qt::AltModifier ? 4 : 0));
}

} // namespace

void drawVisibleBand(QPainter& painter, const BitsBuffer& bits, int32_t z, int32_t hV, int32_t hM, int32_t vV,
                     int32_t vM, int32_t cW, int32_t cH)
{
    drawBand(painter, bits, z, hV, hM, vV, vM, cW, cH, nullptr);
}

void drawVisibleBand(QPainter& painter, const BitsBuffer& bits, int32_t z, int32_t hV, int32_t hM, int32_t vV,
                     int32_t vM, int32_t cW, int32_t cH, const QRect& exposed)
{
    drawBand(painter, bits, z, hV, hM, vV, vM, cW, cH, &exposed);
}

int16_t platformKeyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Space: return 32;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Delete: return 46;
    default: break;
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return static_cast<int16_t>(qtKey);
    return 0;
}

ImageCanvas::ImageCanvas(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("iDst"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setBackgroundRole(QPalette::Base);
    setFocusPolicy(Qt::StrongFocus);
    // Moves without a button reach the window too: a floating paste follows
    // the pointer.
    setMouseTracking(true);
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

void ImageCanvas::UpdatePictureRect(const RectI& r)
{
    if (!view_ || r.isEmpty()) return;
    const int32_t z = view_->Magnification();
    const int32_t hV = view_->hSB.Value();
    const int32_t vV = view_->vSB.Value();
    // One canvas pixel more on each side: the band's edges are never left
    // half drawn by rounding.
    const int64_t left = int64_t(r.left) * z - hV - 1, right = int64_t(r.right) * z - hV + 1;
    const int64_t top = int64_t(r.top) * z - vV - 1, bottom = int64_t(r.bottom) * z - vV + 1;
    const auto clampTo = [](int64_t v, int32_t hi) { return static_cast<int32_t>(std::clamp<int64_t>(v, 0, hi)); };
    const int32_t x0 = clampTo(left, width()), x1 = clampTo(right, width());
    const int32_t y0 = clampTo(top, height()), y1 = clampTo(bottom, height());
    if (x0 >= x1 || y0 >= y1) return;
    update(QRect(x0, y0, x1 - x0, y1 - y0));
}

void ImageCanvas::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    if (!hasPicture()) return;
    drawVisibleBand(p, *bits_, view_->Magnification(), view_->hSB.Value(), view_->hSB.Max(), view_->vSB.Value(),
                    view_->vSB.Max(), width(), height(), e->rect());
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

// ---- Persistent drawing ------------------------------------------------------------

void ImageCanvas::SetAutoRedraw(bool Auto)
{
    AutoRedraw_ = Auto;
    if (Auto) {
        UpdateImage();
        repaint();
    }
}

// ---- Pointer and input ----------------------------------------------------------

void ImageCanvas::setMousePointer(int16_t pointer)
{
    QCursor shown;
    switch (pointer) {
    case kPointerCustom: shown = MouseIcon_; break;
    case kPointerCross: shown = QCursor(Qt::CrossCursor); break;
    case kPointerHourglass: shown = QCursor(Qt::WaitCursor); break;
    case kPointerArrowHourglass: shown = QCursor(Qt::BusyCursor); break;
    case kPointerFourWay: shown = QCursor(Qt::SizeAllCursor); break;
    default: shown = QCursor(Qt::ArrowCursor); break;
    }
    MousePointer_ = pointer;
    // Tools set their pointer at every step: the same one again costs nothing.
    if (!testAttribute(Qt::WA_SetCursor) || !(cursor() == shown)) setCursor(shown);
}

void ImageCanvas::setMouseIcon(const QCursor& icon)
{
    MouseIcon_ = icon;
    if (MousePointer_ == kPointerCustom) setMousePointer(kPointerCustom);
}

void ImageCanvas::mousePressEvent(QMouseEvent* e)
{
    pointerScreenPos_ = e->globalPosition().toPoint();
    if (onMouseDown)
        onMouseDown(buttonBits(e->button()), shiftBits(e->modifiers()), static_cast<float>(e->position().x()),
                    static_cast<float>(e->position().y()));
    e->accept();
}

void ImageCanvas::mouseMoveEvent(QMouseEvent* e)
{
    pointerScreenPos_ = e->globalPosition().toPoint();
    if (onMouseMove)
        onMouseMove(buttonBits(e->buttons()), shiftBits(e->modifiers()), static_cast<float>(e->position().x()),
                    static_cast<float>(e->position().y()));
    e->accept();
}

void ImageCanvas::mouseReleaseEvent(QMouseEvent* e)
{
    pointerScreenPos_ = e->globalPosition().toPoint();
    if (onMouseUp)
        onMouseUp(buttonBits(e->button()), shiftBits(e->modifiers()), static_cast<float>(e->position().x()),
                  static_cast<float>(e->position().y()));
    e->accept();
}

void ImageCanvas::keyPressEvent(QKeyEvent* e)
{
    const int16_t code = platformKeyCode(e->key());
    if (code == 0 || !onKeyDown) {
        QWidget::keyPressEvent(e);
        return;
    }
    onKeyDown(code, shiftBits(e->modifiers()));
    e->accept();
}

void ImageCanvas::keyReleaseEvent(QKeyEvent* e)
{
    const int16_t code = platformKeyCode(e->key());
    // A held key repeats as release and press pairs: only the last release counts.
    if (code == 0 || !onKeyUp || e->isAutoRepeat()) {
        QWidget::keyReleaseEvent(e);
        return;
    }
    onKeyUp(code, shiftBits(e->modifiers()));
    e->accept();
}

} // namespace tq
