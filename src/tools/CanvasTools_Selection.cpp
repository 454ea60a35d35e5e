// The selection tool ("Select": rectangle, ellipse, polygon or single
// pixels, combined by mode) and the move tool ("SelectionMove": the outline
// or a copy of the selected pixels).
#include "tools/CanvasTools.h"

#include "document/ImageCanvas.h"
#include "document/fImage.h"
#include "filters/cBitFilter.h"
#include "tools/CanvasToolsSupport.h"

#include <QGuiApplication>

#include <algorithm>
#include <utility>

namespace tq::tools {
namespace {

enum SelectionShape : int16_t { kRectangle = 0, kEllipse = 1, kPolygon = 2, kPixel = 3 };

// The region combine mode of the selection mode: "Add" and "New" unite,
// "Subtract" takes away ("New" clears the selection at the press first).
// 0 for a mode outside the list: nothing is combined.
int32_t combineMode()
{
    switch (programSettings().SelectMode) {
    case 0: return 2;
    case 1: return 4;
    case 2: return 2;
    default: return 0;
    }
}

struct BusyPointer {
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::BusyCursor); }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

// ---- "Select" -------------------------------------------------------------------------

void CanvasTools::selectStart(int16_t Shift, int32_t X, int32_t Y)
{
    setPointer(kPointerCross);
    const Settings& s = programSettings();
    // One vertex slot means no polygon is in progress: the press is its first.
    if (s.SelectShape == kPolygon && Vertices.size() <= 2) Vertices = {X, Y};
    if (s.SelectMode == 2 && Vertices.size() == 2) {
        doc_.BitsRegion.CreateRect(0, 0, doc_.PictureWidth(), doc_.PictureHeight(), 4, false);
        window_.UpdateImage();
    }
    if (s.SelectShape == kPixel) {
        window_.StartTimer();
        idstMouseMove(1, Shift, X, Y);
    } else {
        window_.SetAutoRedraw(true);
        window_.StopTimer();
    }
}

void CanvasTools::selectStep(int32_t X, int32_t Y)
{
    setPointer(kPointerCross);
    const int16_t shape = programSettings().SelectShape;
    if (shape == kPixel) {
        if (const int32_t M = combineMode()) doc_.BitsRegion.CreateRect(X, Y, X + 1, Y + 1, M, true);
        window_.SetAutoRedraw(true);
        window_.UpdateImage();
        window_.SetAutoRedraw(false);
        return;
    }
    if (shape < kRectangle || shape > kPolygon) return;
    int32_t x1 = StartX, y1 = StartY, x2 = X, y2 = Y;
    if (shape != kPolygon) {
        if (x1 > x2) std::swap(x1, x2);
        if (y1 > y2) std::swap(y1, y2);
    }
    window_.ShowShape(shape, x1, y1, x2, y2, false);
}

void CanvasTools::selectSpace()
{
    Vertices.push_back(LastX);
    Vertices.push_back(LastY);
    window_.ShowShape(2, StartX, StartY, LastX, LastY, true);
    StartX = TraceX = LastX;
    StartY = TraceY = LastY;
}

void CanvasTools::selectEnd(int32_t X, int32_t Y)
{
    setPointer(kPointerCross);
    cBitRegion& sel = doc_.BitsRegion;
    const int32_t M = combineMode();
    switch (programSettings().SelectShape) {
    case kRectangle:
        if (M) sel.CreateRect(StartX, StartY, X, Y, M, true);
        window_.HideShape(0);
        break;
    case kEllipse: {
        // The box takes one pixel more on the side of the larger coordinate,
        // so that both end pixels lie inside the ellipse's box.
        const int32_t a = X < StartX ? 1 : 0, c = X < StartX ? 0 : 1;
        const int32_t b = Y < StartY ? 1 : 0, e = Y < StartY ? 0 : 1;
        if (M) sel.CreateEllipse(StartX + a, StartY + b, X + c, Y + e, M, true);
        window_.HideShape(1);
        break;
    }
    case kPolygon:
        // The release point is no vertex: the polygon closes back to the first.
        if (M) sel.CreatePolygon(Vertices, M, true);
        window_.HideShape(2);
        Vertices = {0, 0};
        break;
    default:
        // Pixels were combined as they came; nothing is hidden.
        if (cBitFilter* e = engine()) e->setBitsRegion(sel.walkRegion());
        return;
    }
    window_.SetAutoRedraw(false);
    window_.UpdateImage();
    if (cBitFilter* e = engine()) e->setBitsRegion(sel.walkRegion());
}

// ---- "SelectionMove" --------------------------------------------------------------

bool CanvasTools::moveStart(int16_t Shift, int32_t X, int32_t Y)
{
    setPointer(kPointerFourWay);
    Grabbed = false;
    cBitRegion& sel = doc_.BitsRegion;
    const Region* region = sel.Region();
    const bool inside = region && region->contains(X, Y);
    if (programSettings().MoveSelection) {
        // The outline: grabbed only from inside; no floating clip's step.
        if (inside) {
            Grabbed = true;
            idstMouseMove(1, Shift, X, Y);
        }
        return false;
    }
    window_.StopTimer();
    int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    if (!sel.BoundRect(X1, Y1, X2, Y2)) return true;
    if (inside) {
        window_.UpdateImage();
        BusyPointer busy;
        // The selection's box, cut to the picture, with the pixels of the box
        // outside the selection made transparent.
        cBitFilter lifter;
        lifter.setBitsRegion(region);
        lifter.BitsCropMasked(doc_.paintBits(), X1, Y1, X2, Y2);
        MoveBits = lifter.Bits();
        // Counted from the lifted box's corner, which the cut to the picture
        // may have moved.
        OffsetX = X - std::max(X1, 0);
        OffsetY = Y - std::max(Y1, 0);
        Grabbed = true;
        LastActionName() = "SelectionMove";
    }
    idstMouseMove(1, Shift, X, Y);
    return true;
}

void CanvasTools::moveStep(int32_t X, int32_t Y)
{
    setPointer(kPointerFourWay);
    if (programSettings().MoveSelection) {
        if (!Grabbed) return;
        doc_.BitsRegion.Offset(X - LastX, Y - LastY);
        window_.UpdateImage();
        window_.UpdateRegion();
        OutlineMoved = true;
        return;
    }
    if (!Grabbed || OutlineMoved) return;
    restoreFromEngine();
    const int32_t x = X - OffsetX;
    const int32_t y = Y - OffsetY;
    paint_.BitsPaintPreMasked(x, y, PaintSource::fromBuffer(MoveBits), moveOpacity(), false);
    changed(placedRect(x, y, MoveBits.width(), MoveBits.height()));
}

void CanvasTools::moveEnd()
{
    setPointer(kPointerFourWay);
    if (programSettings().MoveSelection) {
        doc_.BitsRegion.Crop();
    } else if (Grabbed) {
        // The copied pixels are a change like any other: one undo step and
        // the changed mark.
        commit(false, true);
    } else if (cBitFilter* e = engine()) {
        e->setBits(doc_.paintBits());
        window_.UpdateImage();
    }
    OutlineMoved = false;
}

} // namespace tq::tools
