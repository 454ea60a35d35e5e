// The painting tools at work on one document window: the stroke engine that
// hands the press, each drag step and the release to the current tool (the
// ToolKey in Settings.ToolName, read afresh at every phase), the tools
// themselves, the floating paste and the keys Space, the arrows and Ctrl.
// The document window makes one through the main window the first time its
// canvas needs it and releases it when it unloads (CanvasInput.h). The tools
// paint into and select on the window's Document and record its undo steps;
// the window itself only redraws, runs the outline, shows the rubber bands
// and the pointer, and repeats the keyboard's steps.
//
// Two copies of the picture are at work: the document's pixels, which the
// canvas shows and the tools paint into in place, and the shared engine's
// (MainHost::engine), the picture as last committed. A preview (a shape, a
// floating clip, dragged selection content, a stamp that follows the
// pointer) goes back to the engine's picture before it is drawn again; a
// stroke that changed pixels commits at its release: the engine takes the
// document's pixels, the window redraws and the document records the undo
// step, labelled with the name the tool's start put into LastActionName.
//
// A drag step repaints only the band of picture pixels it changed, so the
// cost of a step does not grow with the size of the picture; only a step
// that has to take the engine's whole picture back (the first preview after
// a press) repaints everything.
#pragma once

#include "document/CanvasInput.h"
#include "core/BitsBuffer.h"
#include "core/Region.h"
#include "tools/DocumentPaint.h"

#include <QCursor>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tq {
class cBitFilter;
class Document;
class fImage;
}

namespace tq::tools {

// The tools the canvas knows, from the ToolKey.
enum class CanvasTool {
    None,   // the empty key, "Pointer", "Layers", "MouseScroll" or any other
    SelectionMove,
    Select,
    Pencil,
    Brush,
    Airbrush,
    Fill,
    Gradient,
    Stamp,
    Shape,
    GetColor,
};
CanvasTool canvasToolOf(const std::string& key);

class CanvasTools : public CanvasInput {
public:
    explicit CanvasTools(fImage& window);
    ~CanvasTools() override;
    CanvasTools(const CanvasTools&) = delete;
    CanvasTools& operator=(const CanvasTools&) = delete;

    // ---- CanvasInput ----------------------------------------------------------
    void setLastPoint(int32_t X, int32_t Y) override;
    void idstMouseDown(int16_t Button, int16_t Shift, int32_t X, int32_t Y) override;
    void idstMouseMove(int16_t Button, int16_t Shift, int32_t X, int32_t Y) override;
    void idstMouseUp(int16_t Button, int16_t Shift, int32_t X, int32_t Y) override;
    void iDst_KeyDown(int16_t KeyCode, int16_t Shift) override;
    void idst_KeyUp(int16_t KeyCode, int16_t Shift) override;

    // ---- Stroke state (read by tests) -------------------------------------------
    int32_t StartX = 0, StartY = 0;     // the press; a polygon's current vertex
    int32_t TraceX = 0, TraceY = 0;     // the brush's previous position
    int32_t LastX = 0, LastY = 0;       // the last picture point handled
    int32_t OffsetX = 0, OffsetY = 0;   // pointer to top-left of a picture that follows it
    BitsBuffer MoveBits;                // the lifted selection content
    bool Grabbed = false;               // the move tool's press was inside the selection
    bool OutlineMoved = false;          // the outline was dragged in this stroke
    bool StrokeActive = false;          // a left-button stroke is in progress
    // The left button went down on this canvas and has not come up: only
    // its release ends a tool's stroke. (A release can come alone, when the
    // press went elsewhere, such as to close a popup.)
    bool LeftPressed = false;
    // The polygon selection's vertices as x, y pairs; one slot (two zeros)
    // when no polygon is in progress.
    std::vector<int32_t> Vertices{0, 0};

    DocumentPaint& paint() { return paint_; }

private:
    // ---- Per tool (CanvasTools_Selection.cpp, _Strokes.cpp, _Fills.cpp) ------------
    void selectStart(int16_t Shift, int32_t X, int32_t Y);
    void selectStep(int32_t X, int32_t Y);
    void selectEnd(int32_t X, int32_t Y);
    void selectSpace();
    // False when the start ends before the floating clip's step.
    bool moveStart(int16_t Shift, int32_t X, int32_t Y);
    void moveStep(int32_t X, int32_t Y);
    void moveEnd();

    void pencilStart(int16_t Shift, int32_t X, int32_t Y);
    void pencilStep(int32_t X, int32_t Y);
    void pencilEnd();
    void brushStart(int16_t Shift, int32_t X, int32_t Y);
    void brushStep(int32_t X, int32_t Y);
    void airbrushStart(int16_t Shift, int32_t X, int32_t Y);
    void airbrushStep(int32_t X, int32_t Y);
    void stampStart(int16_t Shift, int32_t X, int32_t Y);
    void stampStep(int32_t X, int32_t Y);

    void fillEnd(int32_t X, int32_t Y);
    void gradientStart();
    void gradientStep(int32_t X, int32_t Y);
    void gradientEnd(int32_t X, int32_t Y);
    void shapeStart(int16_t Shift, int32_t X, int32_t Y);
    void shapeStep(int32_t X, int32_t Y);
    void getColorStart(int16_t Shift, int32_t X, int32_t Y);
    void getColorStep(int32_t X, int32_t Y);

    // ---- Floating paste and the Space stamp ------------------------------------------
    void floatingStep(int32_t X, int32_t Y);
    void floatingCommit();
    void floatingDrop();
    void stampCopy();
    // The opacity of dragged or floating pixels.
    static int32_t moveOpacity();

    // ---- Shared by the tools --------------------------------------------------------
    // The engine, or nullptr without a main window.
    static cBitFilter* engine();
    // The document's pixels become the engine's picture again. Pixels the
    // previews changed since the last full restore are all that is copied.
    void restoreFromEngine();
    // The picture pixels in r changed: repainted, and remembered as what a
    // preview must take back at its next restore.
    void changed(const RectI& r);
    // The engine takes the document's pixels; then the main window's Update
    // redraws and, with saveundo, the document records the undo step
    // (labelled LastActionName, and the changed mark).
    void commit(bool OnlyPan, bool saveundo);
    // Every release: the outline runs while something is selected and the
    // engine walks the selection (or the whole picture).
    void handOverSelection();
    void setPointer(int16_t pointer);
    // The tool's picture pointer (99 with the picture of tool-bar button i).
    void setToolPointer(int16_t buttonIndex);
    RectI pictureBounds() const;

    // The window's part: redraws, the outline, rubber bands, the pointer.
    fImage& window_;
    // The document's: pixels, selection and undo steps.
    Document& doc_;
    DocumentPaint paint_;
    // What previews changed since the document's pixels were last the
    // engine's picture; valid only while previewKnown_.
    RectI preview_{};
    bool previewKnown_ = false;
    std::array<std::optional<QCursor>, 16> cursors_{};
};

} // namespace tq::tools
