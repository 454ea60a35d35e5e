// The stroke engine of the canvas tools: the phases handed to the current
// tool, what every release does, the keys, the floating paste, and the
// restore, repaint and commit the tools share.
#include "tools/CanvasTools.h"

#include "document/ImageCanvas.h"
#include "document/MainHost.h"
#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "filters/cBitFilter.h"
#include "tools/CanvasToolsSupport.h"
#include "tools/PaintSource.h"
#include "tools/ToolIcons.h"

#include <QPixmap>

#include <algorithm>
#include <cstring>

namespace tq::tools {

CanvasTool canvasToolOf(const std::string& key)
{
    struct Entry {
        const char* key;
        CanvasTool tool;
    };
    static constexpr Entry kTools[] = {
        {"SelectionMove", CanvasTool::SelectionMove}, {"Select", CanvasTool::Select},
        {"Pencil", CanvasTool::Pencil},               {"Brush", CanvasTool::Brush},
        {"Airbrush", CanvasTool::Airbrush},           {"Fill", CanvasTool::Fill},
        {"Gradient", CanvasTool::Gradient},           {"Stamp", CanvasTool::Stamp},
        {"Shape", CanvasTool::Shape},                 {"GetColor", CanvasTool::GetColor},
    };
    for (const Entry& e : kTools)
        if (key == e.key) return e.tool;
    return CanvasTool::None;
}

CanvasTools::CanvasTools(fImage& window)
    : window_(window), doc_(window.document()), paint_(doc_.paintBits(), doc_.BitsRegion)
{
}

CanvasTools::~CanvasTools() = default;

void CanvasTools::setLastPoint(int32_t X, int32_t Y)
{
    LastX = X;
    LastY = Y;
}

// ---- The phases -------------------------------------------------------------------

void CanvasTools::idstMouseDown(int16_t Button, int16_t Shift, int32_t X, int32_t Y)
{
    if (Button != 1) return;
    // A stroke starts from the engine's picture as it is now.
    previewKnown_ = false;
    TraceX = StartX = X;
    TraceY = StartY = Y;
    StrokeActive = true;
    LeftPressed = true;
    bool floatingStepToo = true;
    step([&] {
        switch (currentTool()) {
        case CanvasTool::Select: selectStart(Shift, X, Y); break;
        case CanvasTool::SelectionMove: floatingStepToo = moveStart(Shift, X, Y); break;
        case CanvasTool::Pencil: pencilStart(Shift, X, Y); break;
        case CanvasTool::Brush: brushStart(Shift, X, Y); break;
        case CanvasTool::Airbrush: airbrushStart(Shift, X, Y); break;
        case CanvasTool::Stamp: stampStart(Shift, X, Y); break;
        case CanvasTool::Fill:
            setToolPointer(kFillPicture);
            LastActionName() = "Fill";
            break;
        case CanvasTool::Gradient: gradientStart(); break;
        case CanvasTool::Shape: shapeStart(Shift, X, Y); break;
        case CanvasTool::GetColor: getColorStart(Shift, X, Y); break;
        case CanvasTool::None: break;
        }
    });
    // A floating clip is drawn under the pointer at once.
    if (floatingStepToo && PasteFloating()) step([&] { idstMouseMove(1, Shift, X, Y); });
}

void CanvasTools::idstMouseMove(int16_t Button, int16_t Shift, int32_t X, int32_t Y)
{
    const CanvasTool tool = currentTool();
    if (Button == 1) {
        step([&] {
            switch (tool) {
            case CanvasTool::Select: selectStep(X, Y); break;
            case CanvasTool::SelectionMove: moveStep(X, Y); break;
            case CanvasTool::Pencil: pencilStep(X, Y); break;
            case CanvasTool::Brush: brushStep(X, Y); break;
            case CanvasTool::Airbrush: airbrushStep(X, Y); break;
            case CanvasTool::Stamp: stampStep(X, Y); break;
            case CanvasTool::Fill: setToolPointer(kFillPicture); break;
            case CanvasTool::Gradient: gradientStep(X, Y); break;
            case CanvasTool::Shape: shapeStep(X, Y); break;
            case CanvasTool::GetColor: getColorStep(X, Y); break;
            case CanvasTool::None: break;
            }
        });
    }
    // Whatever the button: pasted pixels follow the pointer.
    step([&] { floatingStep(X, Y); });
    (void)Shift;
    if (tool == CanvasTool::Brush) {
        TraceX = X;
        TraceY = Y;
    }
    LastX = X;
    LastY = Y;
}

void CanvasTools::idstMouseUp(int16_t Button, int16_t Shift, int32_t X, int32_t Y)
{
    (void)Shift;
    // A stroke is one step: its own release ends it, once.
    const bool endsStroke = Button == 1 && LeftPressed;
    if (Button == 1) LeftPressed = false;
    if (endsStroke) {
        step([&] {
            switch (currentTool()) {
            case CanvasTool::Select: selectEnd(X, Y); break;
            case CanvasTool::SelectionMove: moveEnd(); break;
            case CanvasTool::Pencil: pencilEnd(); break;
            case CanvasTool::Brush:
                setToolPointer(kBrushPicture);
                commit(true, true);
                break;
            case CanvasTool::Airbrush:
                setToolPointer(kAirbrushPicture);
                commit(true, true);
                break;
            case CanvasTool::Stamp:
                setToolPointer(kStampPicture);
                commit(true, true);
                break;
            case CanvasTool::Fill: fillEnd(X, Y); break;
            case CanvasTool::Gradient: gradientEnd(X, Y); break;
            case CanvasTool::Shape: commit(true, true); break;
            case CanvasTool::GetColor: setToolPointer(kPickerPicture); break;
            case CanvasTool::None: break;
            }
        });
        // The floating clip's commit follows the tool's own end.
        if (PasteFloating()) step([&] { floatingCommit(); });
    } else if (Button == 2 && PasteFloating()) {
        step([&] { floatingDrop(); });
    }
    step([&] { handOverSelection(); });
    StrokeActive = false;
    previewKnown_ = false;
}

// ---- Keys ---------------------------------------------------------------------------

void CanvasTools::iDst_KeyDown(int16_t KeyCode, int16_t /*Shift*/)
{
    const CanvasTool tool = currentTool();
    switch (KeyCode) {
    case kKeySpace:
        if (tool == CanvasTool::Select) {
            if (programSettings().SelectShape == kShapePolygon && StrokeActive) step([&] { selectSpace(); });
        } else if (tool == CanvasTool::SelectionMove || PasteFloating()) {
            step([&] { stampCopy(); });
        }
        return;
    case kKeyLeft: --LastX; break;
    case kKeyUp: --LastY; break;
    case kKeyRight: ++LastX; break;
    case kKeyDown: ++LastY; break;
    default: return;
    }
    // An arrow: a floating clip moves one picture pixel; for any other tool
    // only the last point moves.
    step([&] { window_.KeyboardStep(0, LastX, LastY); });
}

void CanvasTools::idst_KeyUp(int16_t KeyCode, int16_t /*Shift*/)
{
    if (KeyCode != kKeyCtrl || currentTool() != CanvasTool::SelectionMove) return;
    // A selection dragged past the picture's edge is cut back to it.
    step([&] {
        doc_.BitsRegion.Crop();
        window_.UpdateRegion();
    });
}

// ---- Floating paste -------------------------------------------------------------

int32_t CanvasTools::moveOpacity()
{
    const Settings& s = programSettings();
    return s.SelectionMoveFromClip ? s.SelectionMovePressure : s.SelectPressure;
}

void CanvasTools::floatingStep(int32_t X, int32_t Y)
{
    const BitsBuffer& clip = ClipBits();
    if (!clip.allocated() || clip.width() < 1 || clip.height() < 1 || !PasteFloating()) return;
    // Only in the window the main window shows as its active one.
    MainHost* m = mainHost();
    if (!m || m->currentDocument() != &window_) return;
    OffsetX = (clip.width() + 1) / 2;
    OffsetY = (clip.height() + 1) / 2;
    restoreFromEngine();
    const int32_t x = X - OffsetX;
    const int32_t y = Y - OffsetY;
    paint_.BitsPaintPreMasked(x, y, PaintSource::fromBuffer(clip), moveOpacity(), false);
    changed(placedRect(x, y, clip.width(), clip.height()));
}

void CanvasTools::floatingCommit()
{
    PasteFloating() = false;
    commit(false, true);
}

void CanvasTools::floatingDrop()
{
    PasteFloating() = false;
    restoreFromEngine();
    window_.UpdateImage();
}

void CanvasTools::stampCopy()
{
    MainHost* m = mainHost();
    if (!m) return;
    // The dragged or floating pixels become part of the picture before the
    // next step; only the first stamp after the flag was set is a step.
    commit(false, SaveUndoOnNudge());
    SaveUndoOnNudge() = false;
    if (PasteFloating())
        window_.KeyboardStep(0, LastX, LastY);
    else if (StrokeActive)
        window_.KeyboardStep(1, LastX, LastY);
}

// ---- Shared by the tools ------------------------------------------------------------

cBitFilter* CanvasTools::engine()
{
    MainHost* m = mainHost();
    return m ? &m->engine() : nullptr;
}

RectI CanvasTools::pictureBounds() const
{
    const BitsBuffer& b = doc_.BitsRef();
    return b.allocated() ? RectI{0, 0, b.width(), b.height()} : RectI{};
}

void CanvasTools::restoreFromEngine()
{
    cBitFilter* e = engine();
    if (!e) return;
    const BitsBuffer& src = e->Bits();
    BitsBuffer& dst = doc_.paintBits();
    // A picture of another size is refused, as the document refuses it.
    if (!src.allocated() || !dst.allocated() || !src.sameShape(dst)) return;
    if (!previewKnown_) {
        std::memcpy(dst.data(), src.data(), dst.byteSize());
        previewKnown_ = true;
        preview_ = RectI{};
        window_.UpdateImage();
        return;
    }
    // Since the last whole copy only the previews' pixels differ.
    const RectI r = intersect(preview_, pictureBounds());
    if (!r.isEmpty()) {
        const size_t bytes = 4u * static_cast<size_t>(r.width());
        for (int32_t y = r.top; y < r.bottom; ++y) std::memcpy(dst.pixel(r.left, y), src.pixel(r.left, y), bytes);
        window_.UpdatePictureRect(r);
    }
    preview_ = RectI{};
}

void CanvasTools::changed(const RectI& r)
{
    const RectI inside = intersect(r, pictureBounds());
    if (inside.isEmpty()) return;
    preview_ = unite(preview_, inside);
    window_.UpdatePictureRect(inside);
}

void CanvasTools::commit(bool OnlyPan, bool saveundo)
{
    MainHost* m = mainHost();
    if (!m) return;
    step([&] {
        m->engine().setBits(doc_.paintBits());
        previewKnown_ = true;
        preview_ = RectI{};
    });
    // The change is this document's, whichever the commands saw last: its
    // window redraws, then the document records the step.
    ActiveImage() = &window_;
    step([&] { m->Update(OnlyPan, saveundo); });
}

void CanvasTools::handOverSelection()
{
    const cBitRegion& sel = doc_.BitsRegion;
    cBitFilter* e = engine();
    if (sel.IsEmptyRegion()) {
        window_.StopTimer();
        if (e) e->setBitsRegion(sel.RegionMain());
    } else {
        window_.StartTimer();
        if (e) e->setBitsRegion(sel.Region());
    }
}

void CanvasTools::setPointer(int16_t pointer) { window_.setCanvasPointer(pointer); }

void CanvasTools::setToolPointer(int16_t buttonIndex)
{
    if (buttonIndex < 1 || buttonIndex >= static_cast<int16_t>(cursors_.size())) return;
    std::optional<QCursor>& c = cursors_[static_cast<size_t>(buttonIndex)];
    if (!c) {
        // The tool bar's picture, pointing from its lower-left corner; the
        // stamp is placed around its middle.
        const QPixmap picture = QPixmap::fromImage(toolPicture(buttonIndex));
        if (buttonIndex == kStampPicture)
            c = QCursor(picture, picture.width() / 2, picture.height() / 2);
        else
            c = QCursor(picture, 2, picture.height() - 3);
    }
    window_.setCanvasPointer(kPointerCustom, &*c);
}

} // namespace tq::tools
