#include "document/ViewLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tq {
namespace {

// Nearest whole number, halves to even.
int32_t nearestEven(double v)
{
    const double r = std::nearbyint(v);
    if (r >= static_cast<double>(std::numeric_limits<int32_t>::max())) return std::numeric_limits<int32_t>::max();
    if (r <= static_cast<double>(std::numeric_limits<int32_t>::min())) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(r);
}

int32_t saturate(int64_t v)
{
    return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

} // namespace

ZoomTable::ZoomTable()
{
    for (int32_t i = kZoomLow; i <= kZoomHigh; ++i) entry[static_cast<size_t>(i)] = i;
}

int32_t ZoomTable::clamp(int32_t n)
{
    if (n <= 0) return kZoomLow;
    if (n > kZoomHigh) return kZoomHigh;
    return n;
}

// ---- ScrollBarModel -----------------------------------------------------------

bool ScrollBarModel::setValue(int32_t v)
{
    if (v < 0 || v > Max_) return false;
    if (v == Value_) return true;
    Value_ = v;
    if (onChange) onChange();
    return true;
}

void ScrollBarModel::setMax(int32_t m)
{
    Max_ = m < 0 ? 0 : m;
    if (Value_ > Max_) {
        Value_ = Max_;
        if (onChange) onChange();
    }
}

// ---- ViewLayout ---------------------------------------------------------------

ViewLayout::ViewLayout()
{
    hSB.onChange = [this] { hChanged(); };
    vSB.onChange = [this] { vChanged(); };
}

void ViewLayout::setPicture(int32_t W, int32_t H, bool exists)
{
    W_ = std::max(W, 0);
    H_ = std::max(H, 0);
    exists_ = exists;
}

void ViewLayout::setContainer(int32_t w, int32_t h)
{
    pW_ = std::max(w, 0);
    pH_ = std::max(h, 0);
}

void ViewLayout::setZoomFactor(int32_t n)
{
    Zoom_ = ZoomTable::clamp(n);
    if (zoomChanged) zoomChanged(Zoom_);
    relayout();
}

void ViewLayout::ZoomIn()
{
    if (!exists_ || Zoom_ >= kZoomHigh) return;
    ++Zoom_;
    if (zoomChanged) zoomChanged(Zoom_);
    relayout();
}

void ViewLayout::ZoomOut()
{
    if (!exists_ || Zoom_ <= kZoomLow) return;
    --Zoom_;
    if (zoomChanged) zoomChanged(Zoom_);
    relayout();
}

void ViewLayout::relayout()
{
    if (requestLayout)
        requestLayout();
    else
        UserControl_Resize();
}

LayoutOutcome ViewLayout::UserControl_Resize()
{
    if (!exists_ || inLayout_) return LayoutOutcome::Skipped;
    inLayout_ = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{inLayout_};

    const int32_t pW = pW_;
    const int32_t pH = pH_;

    // Size guard: a magnified picture beyond what the view holds falls back
    // to zoom 1 within this same run. A picture too large even at zoom 1 is
    // never made or loaded; should one arrive, it is not laid out (no retry).
    auto tooLarge = [this](int32_t z) {
        return W_ > kMaxViewSide || H_ > kMaxViewSide || static_cast<double>(W_) * z > kMaxMagnified ||
               static_cast<double>(H_) * z > kMaxMagnified;
    };
    if (tooLarge(Table(Zoom_))) {
        if (Zoom_ != kZoomLow) {
            Zoom_ = kZoomLow;
            if (zoomChanged) zoomChanged(Zoom_);
        }
        if (tooLarge(Table(Zoom_))) return LayoutOutcome::Refused;
    }
    const int32_t z = Table(Zoom_);
    const int32_t bw = BarsWidth_;

    CanvasVisible_ = false;
    HoldPaint = true;

    // Smallest container: the window grows first and the resize lays it out.
    if (pW < 2 * bw) {
        minimumTwips_ = 2 * bw * kTwipsPerPixel;
        minimumIsWidth_ = true;
        return LayoutOutcome::ContainerTooSmall;
    }
    if (pH < 2 * bw) {
        minimumTwips_ = 2 * bw * kTwipsPerPixel;
        minimumIsWidth_ = false;
        return LayoutOutcome::ContainerTooSmall;
    }

    const int32_t mW = W_ * z;   // at most kMaxMagnified after the guard
    const int32_t mH = H_ * z;
    needH_ = mW > pW;
    needV_ = mH > pH;

    if (needV_) {
        Canvas_.height = pH;
        Canvas_.top = 0;
    } else {
        Canvas_.height = mH;
        Canvas_.top = (pH - mH) / 2;
    }
    if (needH_) {
        Canvas_.width = pW;
        Canvas_.left = 0;
    } else {
        Canvas_.width = mW;
        Canvas_.left = (pW - mW) / 2;
    }

    // The position to keep is the one reported before the new range is set:
    // lowering a maximum pulls the value down with it, which would otherwise
    // lose the relative position when zooming out.
    const float keepH = LastHValue;
    const float keepV = LastVValue;

    hSB.setMax(mW - Canvas_.width);
    vSB.setMax(mH - Canvas_.height);
    hSB.setLargeChange(Canvas_.width);
    vSB.setLargeChange(Canvas_.height);
    hSB.setSmallChange(z);
    vSB.setSmallChange(z);

    auto place = [this](ScrollBarModel& bar, bool need, float keep, float lastMax) {
        int32_t v;
        if (LaidOut && need && nearestEven(lastMax) != 0)
            v = nearestEven(static_cast<double>(bar.Max()) * keep / lastMax);
        else
            v = nearestEven(bar.Max() / 2.0);
        bar.setValue(v);   // a refused value leaves the bar as it was
    };
    place(hSB, needH_, keepH, LastHMax);
    place(vSB, needV_, keepV, LastVMax);

    LastHMax = static_cast<float>(hSB.Max());
    LastVMax = static_cast<float>(vSB.Max());
    LaidOut = true;

    HandPointer_ = MouseScroll_ && (needH_ || needV_);

    CanvasVisible_ = true;
    HoldPaint = false;
    return LayoutOutcome::Done;
}

void ViewLayout::setBarsWidth(int32_t v)
{
    BarsWidth_ = v <= 13 ? 13 : v;
    relayout();
}

void ViewLayout::setMouseScroll(bool v)
{
    HandPointer_ = v && !(hSB.Max() < 1 && vSB.Max() < 1);
    MouseScroll_ = v;
}

void ViewLayout::Scroll(int32_t hV, int32_t VV)
{
    HoldPaint = true;
    hSB.setValue(hV);
    vSB.setValue(VV);
    HoldPaint = false;
    if (repaint) repaint();
}

void ViewLayout::DragBy(int32_t dx, int32_t dy)
{
    const auto within = [](int64_t v, int32_t max) { return static_cast<int32_t>(std::clamp<int64_t>(v, 0, max)); };
    HoldPaint = true;
    hSB.setValue(within(int64_t(hSB.Value()) + dx, hSB.Max()));
    vSB.setValue(within(int64_t(vSB.Value()) + dy, vSB.Max()));
    HoldPaint = false;
    if (repaint) repaint();
}

void ViewLayout::GetDimensions(int32_t& sW, int32_t& sH, int32_t& dW, int32_t& dH) const
{
    sW = W_;
    sH = H_;
    dW = Canvas_.width;
    dH = Canvas_.height;
}

void ViewLayout::GetSBV(int32_t& hV, int32_t& VV) const
{
    hV = hSB.Value();
    VV = vSB.Value();
}

void ViewLayout::GetSBM(int32_t& hM, int32_t& vM) const
{
    hM = hSB.Max();
    vM = vSB.Max();
}

void ViewLayout::Clear()
{
    CanvasVisible_ = false;
    HandPointer_ = false;
    HoldPaint = true;
    hSB.hide();
    vSB.hide();
    hSB.setMax(0);
    vSB.setMax(0);
    exists_ = false;
}

void ViewLayout::hChanged()
{
    LastHValue = static_cast<float>(hSB.Value());
    if (!HoldPaint && repaint) repaint();
}

void ViewLayout::vChanged()
{
    LastVValue = static_cast<float>(vSB.Value());
    if (!HoldPaint && repaint) repaint();
}

// ---- Paint geometry -----------------------------------------------------------

PaintGeometry paintGeometry(int32_t z, int32_t hV, int32_t hM, int32_t vV, int32_t vM, int32_t cW, int32_t cH,
                            int32_t W, int32_t H)
{
    PaintGeometry g;
    if (z < 1) z = 1;
    if (hM > 0) {
        g.dstX = (-hV) % z;
        g.dstW = (cW / z) * z + 2 * z;
        g.srcX = hV / z + 2;
        g.srcW = cW / z + 2;
    } else {
        g.dstX = 0;
        g.dstW = cW;
        g.srcX = 2;
        g.srcW = W;
    }
    if (vM > 0) {
        g.dstY = (-vV) % z;
        g.dstH = ((cH - 1) / z) * z + 2 * z;
        g.srcH = (cH - 1) / z + 2;
        g.srcY = vM / z - vV / z + 1;
    } else {
        g.dstY = 0;
        g.dstH = cH;
        g.srcY = 2;
        g.srcH = H;
    }
    return g;
}

int32_t pictureToCanvas(int32_t v, int32_t zoom, int32_t scroll)
{
    return saturate(int64_t(v) * zoom - scroll);
}

} // namespace tq
