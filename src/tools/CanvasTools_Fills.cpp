// The tools that act on a point or on the line from the press to the
// pointer: "Fill" (at the release point), "Gradient" (computed by the shared
// engine at the release, previewed by an outline), "Shape" (previewed in the
// pixels themselves) and "GetColor" (the colour under the pointer becomes
// the active colour).
#include "tools/CanvasTools.h"

#include "document/ImageCanvas.h"
#include "document/MainHost.h"
#include "document/Numeric.h"
#include "document/fImage.h"
#include "filters/cBitFilter.h"
#include "tools/CanvasToolsSupport.h"

#include <QGuiApplication>

#include <cmath>
#include <cstdlib>

namespace tq::tools {
namespace {

int32_t sgn(int64_t v) { return v > 0 ? 1 : (v < 0 ? -1 : 0); }

int32_t absDistance(int32_t a, int32_t b) { return clampToInt(std::llabs(int64_t(a) - b)); }

} // namespace

// ---- "Fill" -----------------------------------------------------------------------------

void CanvasTools::fillEnd(int32_t X, int32_t Y)
{
    setToolPointer(kFillPicture);
    const Settings& s = programSettings();
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        struct Restore {
            ~Restore() { QGuiApplication::restoreOverrideCursor(); }
        } restore;
        // From the pixel under the pointer at the release, with the colour
        // active then.
        paint_.CreateDoneBitsTable();
        if (s.FillMode == 0) {
            paint_.BitsFill(X, Y, s.ActiveColor, s.FillTolerance, s.FillPressure);
        } else if (s.FillMode == 1) {
            const PaintSource stamp = currentStamp();
            if (!stamp.empty()) paint_.BitsFillTexture(X, Y, stamp, s.FillTolerance, s.FillPressure);
        }
    }
    commit(false, true);
}

// ---- "Gradient" -------------------------------------------------------------------------

void CanvasTools::gradientStart()
{
    setToolPointer(kGradientPicture);
    window_.SetAutoRedraw(true);
    window_.StopTimer();
    LastActionName() = "Gradient";
}

void CanvasTools::gradientStep(int32_t X, int32_t Y)
{
    setToolPointer(kGradientPicture);
    // An outline over the canvas; no pixel changes while dragging.
    switch (programSettings().GradientMode) {
    case 0: window_.ShowShape(2, StartX, StartY, X, Y, false); break;
    case 1: {
        const double dx = double(X) - StartX, dy = double(Y) - StartY;
        const int32_t r = clampToInt(static_cast<int64_t>(rndDouble(std::sqrt(dx * dx + dy * dy))));
        window_.ShowShape(1, StartX - r, StartY - r, StartX + r + 1, StartY + r + 1, false);
        break;
    }
    default: break;
    }
}

void CanvasTools::gradientEnd(int32_t X, int32_t Y)
{
    setToolPointer(kGradientPicture);
    const Settings& s = programSettings();
    // -1 is a transparent end: the pixel's own colour.
    const int32_t c1 = s.GradientTransparent1 ? -1 : s.GradientColor1;
    const int32_t c2 = s.GradientTransparent2 ? -1 : s.GradientColor2;
    cBitFilter* e = engine();
    const int32_t mode = s.GradientMode;
    if (mode == 0 || mode == 1) {
        // Computed once, by the engine, from the picture before the stroke and
        // inside the engine's selection.
        if (e)
            step([&] {
                doc_.setBits(mode == 0 ? e->GradientLinear(StartX, StartY, X, Y, c1, c2, s.GradientPressure,
                                                           s.GradientFrequency)
                                       : e->GradientCircular(StartX, StartY, X, Y, c1, c2, s.GradientPressure,
                                                             s.GradientFrequency));
            });
        window_.HideShape(mode == 0 ? 2 : 1);
    }
    window_.SetAutoRedraw(false);
    commit(false, true);
}

// ---- "Shape" ----------------------------------------------------------------------------

void CanvasTools::shapeStart(int16_t Shift, int32_t X, int32_t Y)
{
    window_.StopTimer();
    idstMouseMove(1, Shift, X, Y);
    LastActionName() = "Shape";
}

void CanvasTools::shapeStep(int32_t X, int32_t Y)
{
    const Settings& s = programSettings();
    const int32_t K = s.ActiveColor;
    const int32_t P = s.ShapePressure;
    const int16_t kind = s.ShapeType;
    // Only the current figure shows, except free hand, which keeps every segment.
    if (kind != 1) restoreFromEngine();
    RectI band{};
    switch (kind) {
    case 0:
        paint_.BitsLine(StartX, StartY, X, Y, K, P);
        band = lineRect(StartX, StartY, X, Y);
        break;
    case 1:
        paint_.BitsLine(LastX, LastY, X, Y, K, P);
        band = lineRect(LastX, LastY, X, Y);
        break;
    case 2: {
        // The side is the horizontal distance; the vertical direction follows
        // the pointer.
        const int64_t r = std::llabs(int64_t(X) - StartX);
        const int32_t x2 = clampToInt(StartX + r * sgn(int64_t(X) - StartX));
        const int32_t y2 = clampToInt(StartY + r * sgn(int64_t(Y) - StartY));
        paint_.BitsRectangle(StartX, StartY, x2, y2, K, P);
        band = lineRect(StartX, StartY, x2, y2);
        break;
    }
    case 3:
        paint_.BitsRectangle(StartX, StartY, X, Y, K, P);
        band = lineRect(StartX, StartY, X, Y);
        break;
    case 4: {
        const int32_t r = absDistance(X, StartX);
        paint_.BitsEllipse(StartX, StartY, r, r, K, P);
        band = ellipseRect(StartX, StartY, r, r);
        break;
    }
    case 5: {
        const int32_t rx = absDistance(X, StartX), ry = absDistance(Y, StartY);
        paint_.BitsEllipse(StartX, StartY, rx, ry, K, P);
        band = ellipseRect(StartX, StartY, rx, ry);
        break;
    }
    case 6:
        paint_.BitsPolygon(StartX, StartY, X, Y, s.ShapeSides, K, P);
        band = polygonRect(StartX, StartY, X, Y);
        break;
    default: break;
    }
    changed(band);
}

// ---- "GetColor" -------------------------------------------------------------------------

void CanvasTools::getColorStart(int16_t Shift, int32_t X, int32_t Y)
{
    setToolPointer(kPickerPicture);
    idstMouseMove(1, Shift, X, Y);
}

void CanvasTools::getColorStep(int32_t X, int32_t Y)
{
    setToolPointer(kPickerPicture);
    // The colour shown, floating clip or shape preview included; 0 outside
    // the picture.
    const int32_t c = paint_.BitsGetPixel(X, Y);
    if (c < 0) return;
    MainHost* m = mainHost();
    Settings& s = programSettings();
    // The selected box of the colour window takes it; that box's colour is
    // the active colour.
    if (m && m->SelectedColorIndex() == 1) s.SecondColor = c;
    s.ActiveColor = c;
    if (m) m->colourPicked(c);
}

} // namespace tq::tools
