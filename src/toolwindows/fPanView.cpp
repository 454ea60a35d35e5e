#include "toolwindows/fPanView.h"

#include "document/Numeric.h"
#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "document/PictureRoutines.h"
#include "toolwindows/Thumbnail.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tq {

// ---- NavigatorArea ----------------------------------------------------------------

NavigatorArea::NavigatorArea(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("pp"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
}

void NavigatorArea::clearPicture()
{
    if (Picture.size() != size()) Picture = QImage(std::max(1, width()), std::max(1, height()), QImage::Format_RGB32);
    Picture.fill(kBackColor);
}

void NavigatorArea::paintEvent(QPaintEvent* e)
{
    QPainter p(this);
    p.fillRect(e->rect(), QColor::fromRgb(kBackColor));
    if (!Picture.isNull()) p.drawImage(e->rect().topLeft(), Picture, e->rect());
}

void NavigatorArea::mousePressEvent(QMouseEvent* e)
{
    if (MouseDown) MouseDown(e->button(), e->position().toPoint());
}

void NavigatorArea::mouseMoveEvent(QMouseEvent* e)
{
    if (MouseMove) MouseMove(e->position().toPoint());
}

void NavigatorArea::mouseReleaseEvent(QMouseEvent*)
{
    if (MouseUp) MouseUp();
}

// ---- OutlineShape ---------------------------------------------------------------------

OutlineShape::OutlineShape(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ClipRct"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void OutlineShape::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QColor red = QColor::fromRgb(kBorderColor);
    const int b = std::min({kBorderWidth, width(), height()});
    p.fillRect(0, 0, width(), b, red);
    p.fillRect(0, height() - b, width(), b, red);
    p.fillRect(0, 0, b, height(), red);
    p.fillRect(width() - b, 0, b, height(), red);
}

// ---- fPanView -------------------------------------------------------------------------

namespace {

FloatingToolWindow::Options navigatorOptions()
{
    FloatingToolWindow::Options o;
    o.slotName = "fPanView";
    o.stripName = "TT";
    o.title = QStringLiteral("Panoramic View");
    o.sizable = true;
    // Its place is stored by its resize and unload handlers instead.
    o.storesPositionOnDrag = false;
    return o;
}

} // namespace

fPanView::fPanView(QWidget* owner) : FloatingToolWindow(owner, navigatorOptions())
{
    pp = new NavigatorArea(client());
    pp->MouseDown = [this](Qt::MouseButton b, const QPoint& p) { pp_MouseDown(b, p); };
    pp->MouseMove = [this](const QPoint& p) { pp_MouseMove(p); };
    pp->MouseUp = [this] { pp_MouseUp(); };
    ClipRct = new OutlineShape(pp);
    ClipRct->hide();
    applySizeLimits();
    resize(unrolledSizePx());
    layoutFrame();
    pp->setGeometry(0, options().stripHeight, client()->width(),
                    std::max(0, client()->height() - options().stripHeight));
    pp->clearPicture();
}

fPanView::~fPanView()
{
    endDrag();
    Form_Unload();
}

void fPanView::hideEvent(QHideEvent* e)
{
    endDrag();
    FloatingToolWindow::hideEvent(e);
}

void fPanView::Form_Unload()
{
    if (programSettings().PanoramicBoxVisible) storePosition();
}

void fPanView::applySizeLimits()
{
    applyRollableSizeLimits(RolledUp_, QSize(kMinWidthTwips, kMinHeightTwips));
}

void fPanView::storePlace()
{
    if (isVisible()) storePosition();
}

void fPanView::storeSize()
{
    // A hidden navigator is redrawn too (a document's activation), and was
    // perhaps never placed: its saved place and size stay for its showing.
    if (!isVisible()) return;
    Settings& s = programSettings();
    s.PanoramicBoxHeight = pxToTwips(height());
    s.PanoramicBoxWidth = pxToTwips(width());
}

int32_t fPanView::ox() const { return (pp->width() - ThumbnailWidth_) / 2; }
int32_t fPanView::oy() const { return (pp->height() - ThumbnailHeight_) / 2; }

void fPanView::UpdateImage() { Form_Resize(); }

void fPanView::Form_Resize()
{
    if (RolledUp_) {
        const QSize rolled(savedWidthPx(), rolledUpHeightPx());
        if (size() != rolled) resize(rolled);
        return;
    }
    storePlace();

    // Size floors: 19 strip heights taken as twips, then 2000 twips high;
    // 2325 twips wide.
    const int stripPx = options().stripHeight;
    int h = height();
    if (19 * stripPx > pxToTwips(h)) h = twipsToPx(19 * stripPx);
    h = std::max(h, twipsToPx(kMinHeightTwips));
    const int w = std::max(width(), twipsToPx(kMinWidthTwips));
    if (w != width() || h != height()) {
        resize(w, h);
        layoutFrame();
    }

    // Layout: the buttons a fixed gap from the window's right edge, the
    // thumbnail area under the strip.
    placeCaptionButtons(width() - CaptionButton::kWidth - twipsToPx(kButtonGapTwips));
    pp->setGeometry(0, stripPx, client()->width(), std::max(0, client()->height() - stripPx));
    pp->clearPicture();
    storeSize();

    fImage* doc = mBitmap::GetActiveImage(ActiveImage()) ? ActiveImage().data() : nullptr;
    if (!doc || !doc->PictureExists()) {
        pp->update();
        return;
    }
    doc->GetDimensions(PictureW_, PictureH_, VisibleW_, VisibleH_);
    pp->Picture.fill(Qt::black);
    mBitmap::FitSize(PictureW_, PictureH_, pp->width(), pp->height(), ThumbnailWidth_, ThumbnailHeight_);
    // Read in place: a copy of a large picture would cost more than the
    // whole thumbnail.
    drawThumbnail(pp->Picture, ox(), oy(), ThumbnailWidth_, ThumbnailHeight_, doc->BitsRef(), PictureW_, PictureH_);
    pp->update();
    UpdateClipRct();
    storeSize();
    storePlace();
}

void fPanView::Clear()
{
    endDrag();
    pp->clearPicture();
    pp->update();
    ClipRct->hide();
    ViewRect_ = RectI{};
}

void fPanView::UpdateClipRct()
{
    if (!mBitmap::GetActiveImage(ActiveImage())) return;
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    ClipRct->setVisible(doc->PictureExists());
    Zoom_ = doc->ZoomFactor();
    doc->GetSBV(HValue_, VValue_);
    doc->GetDimensions(PictureW_, PictureH_, VisibleW_, VisibleH_);
    // A step that cannot be computed leaves the outline where it was.
    if (Zoom_ < 1 || PictureW_ < 1 || PictureH_ < 1) return;
    const double kx = static_cast<double>(ThumbnailWidth_) / PictureW_;
    const double ky = static_cast<double>(ThumbnailHeight_) / PictureH_;
    const double z = Zoom_;
    RectI r;
    r.left = rnd(ox() + (HValue_ / z) * kx);
    r.top = rnd(oy() + (VValue_ / z) * ky);
    r.right = rnd(r.left + (VisibleW_ / z) * kx);
    r.bottom = rnd(r.top + (VisibleH_ / z) * ky);
    ViewRect_ = r;
    ClipRct->setGeometry(r.left + 1, r.top + 1, std::max(0, r.right - r.left - 1), std::max(0, r.bottom - r.top - 1));
}

// ---- Dragging the outline -------------------------------------------------------------
//
// The drag keeps the mouse point inside a rectangle that holds the outline
// on the thumbnail: from the grab point, the outline's left edge may go from
// the thumbnail's left edge to where its right edge meets the thumbnail's
// right edge (and likewise vertically). The desktop's pointer is held in
// that rectangle where the session can (X11); the point the drag reads is
// held in it in any case, so without the pointer held the outline still
// stops at the thumbnail's edges.

QPoint fPanView::confined(const QPoint& p) const
{
    return QPoint(std::clamp(p.x(), Confine_.left(), Confine_.left() + std::max(0, Confine_.width() - 1)),
                  std::clamp(p.y(), Confine_.top(), Confine_.top() + std::max(0, Confine_.height() - 1)));
}

void fPanView::pp_MouseDown(Qt::MouseButton button, const QPoint& p)
{
    if (button != Qt::LeftButton) return;
    const RectI& v = ViewRect_;
    if (!(p.x() >= v.left && p.x() < v.right && p.y() >= v.top && p.y() < v.bottom)) return;
    Confine_ = QRect(ox() + p.x() - v.left, oy() + p.y() - v.top, ThumbnailWidth_ - v.width() + 1,
                     ThumbnailHeight_ - v.height() + 1);
    Current_ = Previous_ = confined(p);
    Drag_ = true;
    confinePointer();
}

void fPanView::confinePointer()
{
    platform::PointerConfinement* port = platform::ports().pointerConfinement;
    if (!port) return;
    // The rectangle in the top-level window's own device pixels.
    QWidget* top = pp->window();
    const double ratio = top->devicePixelRatioF();
    const QPoint origin = pp->mapTo(top, Confine_.topLeft());
    const auto device = [ratio](int v) { return static_cast<int32_t>(std::lrint(v * ratio)); };
    const platform::PointerConfinementRequest request{static_cast<uint64_t>(top->winId()), device(origin.x()),
                                                      device(origin.y()), std::max(1, device(Confine_.width())),
                                                      std::max(1, device(Confine_.height()))};
    if (port->confine(request)) ConfinedBy_ = port;
}

void fPanView::endDrag()
{
    Drag_ = false;
    // A port swapped out since (a test's double gone) is not reached.
    if (ConfinedBy_ && ConfinedBy_ == platform::ports().pointerConfinement) ConfinedBy_->release();
    ConfinedBy_ = nullptr;
}

void fPanView::pp_MouseMove(const QPoint& p)
{
    if (!mBitmap::GetActiveImage(ActiveImage())) return;
    fImage* doc = ActiveImage().data();
    if (!doc) return;
    const RectI& v = ViewRect_;
    const bool overOutline = p.x() >= v.left && p.x() < v.right && p.y() >= v.top && p.y() < v.bottom;
    pp->setCursor(overOutline || Drag_ ? Qt::SizeAllCursor : Qt::ArrowCursor);
    if (!Drag_) return;

    Zoom_ = doc->ZoomFactor();
    doc->GetSBM(HMax_, VMax_);
    Current_ = confined(p);
    const QPoint d = Current_ - Previous_;
    ViewRect_.left += d.x();
    ViewRect_.right += d.x();
    ViewRect_.top += d.y();
    ViewRect_.bottom += d.y();
    if (ThumbnailWidth_ < 1 || ThumbnailHeight_ < 1 || PictureW_ < 1 || PictureH_ < 1) return;

    const double kx = static_cast<double>(ThumbnailWidth_) / PictureW_;
    const double ky = static_cast<double>(ThumbnailHeight_) / PictureH_;
    int32_t h = rnd((ViewRect_.left - ox()) / kx * Zoom_);
    int32_t vv = rnd((ViewRect_.top - oy()) / ky * Zoom_);
    // Against an edge of the thumbnail the document goes to its end, even
    // where the rounding above falls short of it. The mouse point held at its
    // limit counts as against the edge too: the outline may sit a pixel off
    // the mouse after the repaint placed it from the document's own values.
    const bool atLeft = Current_.x() == Confine_.left();
    const bool atRight = Current_.x() == Confine_.left() + std::max(0, Confine_.width() - 1);
    const bool atTop = Current_.y() == Confine_.top();
    const bool atBottom = Current_.y() == Confine_.top() + std::max(0, Confine_.height() - 1);
    if (h < 0) h = 0;
    if (ViewRect_.right == ox() + ThumbnailWidth_ || h > HMax_) h = HMax_;
    if (atLeft != atRight) h = atLeft ? 0 : HMax_;
    if (vv < 0) vv = 0;
    if (ViewRect_.bottom == oy() + ThumbnailHeight_ || vv > VMax_) vv = VMax_;
    if (atTop != atBottom) vv = atTop ? 0 : VMax_;
    Previous_ = Current_;

    doc->Scroll(h, vv);
    // The document's repaint places the outline from its actual values; it
    // comes later here, so the outline is placed at once.
    UpdateClipRct();
}

void fPanView::pp_MouseUp()
{
    endDrag();
    giveFocusToMain();
}

} // namespace tq
