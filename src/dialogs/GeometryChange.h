// The common ending of the image size, canvas size, orientation and rotation
// dialogs (and of the main window's rotation keys): the document the change
// is for and a copy of its pixels are taken first, so the change is computed
// from that document and made to it even when another document becomes
// active while pending messages run. The new picture is built whole in the
// shared engine before the document is touched; only then does it become
// the document's picture, as one undo step. A result that is too large or
// cannot be had is reported and the document keeps its picture.
#pragma once

#include "dialogs/PictureGeometry.h"
#include "document/ProgramContext.h"
#include "core/BitsBuffer.h"

#include <functional>
#include <string>

namespace tq {

class cBitFilter;
class Document;
class fImage;

// The messages of the geometry dialogs.
inline constexpr const char* kMinimumSizeText = "Minimum size: 2 x 2";
inline constexpr const char* kMaximumSizeText = "Maximum size: 32767 x 32767";
inline constexpr const char* kNoMemoryText = "Not enough memory for the new picture";

// Tells the user why a change was not made: kMaximumSizeText, kNoMemoryText
// or, for a picture beyond the memory budget, its size and the memory it
// needs, with the exclamation icon.
void reportGeometryFailure(GeometryOutcome outcome);

// True when a picture of W x H pixels may be made; otherwise tells the user
// why not (kMinimumSizeText with the information icon, kMaximumSizeText
// with the exclamation icon, or the memory it needs beyond the budget) and
// returns false.
bool checkPictureSize(int64_t W, int64_t H);

// The engine's region for a document (its selection, or the whole picture).
void mirrorDocumentInEngine(const Document& doc);

class GeometryChange {
public:
    using Compute = std::function<GeometryOutcome(cBitFilter& engine, const BitsBuffer& source)>;

    // Takes the document and a copy of its pixels.
    explicit GeometryChange(fImage& doc);

    // With pumpFirst lets pending messages run once (the dialog leaves the
    // screen). Then, with the document's window held from repainting,
    // computes the new picture from the copy in the shared engine and makes
    // it the document's picture: its size, its pixels, the whole picture
    // selected by nothing (the document's part), the window laid out for it,
    // the engine mirroring it, Update(OnlyPan) to redraw, the document's
    // undo step labelled LastActionName, the "Size" panel, the window shown
    // again and the navigator redrawn. Afterwards the engine mirrors the
    // document that is active then. A failure changes no document and, with
    // report, is told to the user; a picture beyond the memory budget is
    // told in any case. True when the document changed.
    bool apply(const Compute& compute, bool pumpFirst, bool report);

private:
    DocumentRef doc_;
    BitsBuffer source_;
    bool captured_ = false;
};

} // namespace tq
