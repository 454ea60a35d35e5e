// The freehand painting tools: "Pencil", "Brush" (every brush mode, with
// or without Trace), "Airbrush" and "Stamp". Each paints into the
// document's pixels at every drag step and commits the stroke as one undo
// step at the release.
#include "tools/CanvasTools.h"

#include "document/fImage.h"
#include "tools/CanvasToolsSupport.h"

namespace tq::tools {

// ---- "Pencil" ---------------------------------------------------------------------------

void CanvasTools::pencilStart(int16_t Shift, int32_t X, int32_t Y)
{
    window_.StopTimer();
    idstMouseMove(1, Shift, X, Y);
    setToolPointer(kPencilPicture);
    LastActionName() = "Pencil";
}

void CanvasTools::pencilStep(int32_t X, int32_t Y)
{
    setToolPointer(kPencilPicture);
    // No size and no pressure: the line routine's own width at 100 %.
    paint_.BitsLine(LastX, LastY, X, Y, programSettings().ActiveColor, 100);
    changed(lineRect(LastX, LastY, X, Y));
}

void CanvasTools::pencilEnd()
{
    setToolPointer(kPencilPicture);
    // The next tool chosen takes one more snapshot of this picture.
    UndoPending() = true;
    commit(true, true);
}

// ---- "Brush" ----------------------------------------------------------------------------

void CanvasTools::brushStart(int16_t Shift, int32_t X, int32_t Y)
{
    window_.StopTimer();
    // Each stroke blends a pixel once, whatever earlier strokes did.
    paint_.CreateDoneBitsTable();
    idstMouseMove(1, Shift, X, Y);
    setToolPointer(kBrushPicture);
    LastActionName() = "Brush";
}

void CanvasTools::brushStep(int32_t X, int32_t Y)
{
    setToolPointer(kBrushPicture);
    const Settings& s = programSettings();
    const int32_t d = s.BrushSize;
    const int32_t P = s.BrushPressure;
    const int32_t K = s.ActiveColor;
    const bool trace = s.BrushContinuous;
    const int16_t mode = s.BrushMode;
    // With Trace the dabs join along the segment from the previous position.
    const RectI band = trace ? dabLineRect(TraceX, TraceY, X, Y, d) : discRect(X, Y, d);
    if (mode >= 0 && mode <= 5) {
        if (trace) {
            paint_.BitsBrushLine(TraceX, TraceY, X, Y, d, P, K, mode);
        } else {
            switch (mode) {
            case 0: paint_.BitsBrush(X, Y, d, P, K); break;
            case 1: paint_.BitsSoften(X, Y, d, P, false); break;
            case 2: paint_.BitsSoften(X, Y, d, P, true); break;
            case 3: paint_.BitsSharpen(X, Y, d, P); break;
            case 4: paint_.BitsBrightness(X, Y, d, P, true); break;
            default: paint_.BitsBrightness(X, Y, d, P, false); break;
            }
        }
        changed(band);
    } else if (mode == 6) {
        // The current stamp tiled over the picture; nothing without one.
        const PaintSource stamp = currentStamp();
        if (stamp.empty()) return;
        if (trace)
            paint_.BitsMaskedLine(TraceX, TraceY, X, Y, d, P, stamp);
        else
            paint_.BitsMasked(X, Y, stamp, d, P);
        changed(band);
    }
}

// ---- "Airbrush" -------------------------------------------------------------------------

void CanvasTools::airbrushStart(int16_t Shift, int32_t X, int32_t Y)
{
    window_.StopTimer();
    idstMouseMove(1, Shift, X, Y);
    setToolPointer(kAirbrushPicture);
    LastActionName() = "AirBrush";
}

void CanvasTools::airbrushStep(int32_t X, int32_t Y)
{
    setToolPointer(kAirbrushPicture);
    const Settings& s = programSettings();
    paint_.BitsAirbrush(X, Y, s.AirbrushSize, s.AirbrushPressure, s.AirbrushQuantity, s.AirbrushDefinition,
                        s.ActiveColor);
    changed(discRect(X, Y, s.AirbrushSize));
}

// ---- "Stamp" ----------------------------------------------------------------------------

void CanvasTools::stampStart(int16_t Shift, int32_t X, int32_t Y)
{
    window_.StopTimer();
    setToolPointer(kStampPicture);
    const PaintSource stamp = currentStamp();
    if (!stamp.empty()) {
        OffsetX = (stamp.width - 1) / 2 + 1;
        OffsetY = (stamp.height - 1) / 2 + 1;
        idstMouseMove(1, Shift, X, Y);
    }
    LastActionName() = "Stamp";
}

void CanvasTools::stampStep(int32_t X, int32_t Y)
{
    setToolPointer(kStampPicture);
    const PaintSource stamp = currentStamp();
    if (stamp.empty()) return;
    const Settings& s = programSettings();
    // Clearing the background leaves one stamp that follows the pointer;
    // otherwise every step leaves a stamp behind.
    if (s.StampClearBack) restoreFromEngine();
    const int32_t x = X - OffsetX;
    const int32_t y = Y - OffsetY;
    if (s.StampMask)
        paint_.BitsBWMask(x, y, stamp, s.ActiveColor, s.StampPressure);
    else
        paint_.BitsPaint(x, y, stamp, s.StampUseMaskColor ? s.StampMaskColor : -1, s.StampPressure, true);
    changed(placedRect(x, y, stamp.width, stamp.height));
}

} // namespace tq::tools
