// What the painting tools do with a document's canvas input. The document
// window turns canvas events into picture points (scrolling by hand and
// skipping moves that stay on one picture pixel) and hands each phase of a
// stroke and each key to the tools of that window through this interface;
// the tools implement it one object per document window, holding the state
// of the stroke in progress, the brush's per-stroke map, the lifted
// selection content and the floating paste's placement. The main window
// makes that object (MainHost::makeCanvasInput) the first time the window
// needs it, and the window releases it when it unloads.
//
// Button and Shift are the platform's numbers: Button 1 left, 2 right, 4
// middle (a move carries the pressed buttons as bits); Shift 1 Shift, 2 Ctrl,
// 4 Alt. Key codes: 17 Ctrl, 32 Space, 37 to 40 the arrows left, up, right,
// down. X and Y are picture pixels; points outside the picture do reach the
// tools, which clip.
#pragma once

#include <cstdint>

namespace tq {

class CanvasInput {
public:
    virtual ~CanvasInput() = default;

    // A left press landed on picture pixel (X, Y): the last point handled.
    virtual void setLastPoint(int32_t X, int32_t Y) = 0;
    // The start of a stroke, one drag step, the end of a stroke.
    virtual void idstMouseDown(int16_t Button, int16_t Shift, int32_t X, int32_t Y) = 0;
    virtual void idstMouseMove(int16_t Button, int16_t Shift, int32_t X, int32_t Y) = 0;
    virtual void idstMouseUp(int16_t Button, int16_t Shift, int32_t X, int32_t Y) = 0;
    // A key pressed or released while the canvas has the focus (or, for the
    // Ctrl release, before a clipboard command).
    virtual void iDst_KeyDown(int16_t KeyCode, int16_t Shift) = 0;
    virtual void idst_KeyUp(int16_t KeyCode, int16_t Shift) = 0;
};

} // namespace tq
