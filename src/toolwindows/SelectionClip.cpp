#include "toolwindows/SelectionClip.h"

#include "document/ProgramContext.h"
#include "document/Settings.h"
#include "document/fImage.h"
#include "filters/cBitFilter.h"
#include "document/MainHost.h"
#include "platform/Ports.h"

#include <QGuiApplication>

namespace tq {

namespace {

// The hourglass for the length of a block.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

// Takes the selection box of the active document into ClipBits, the pixels
// outside the selection's shape marked as not belonging to the clip. False
// (with the message) for a box below 2 x 2.
bool takeClip(const Document& doc, const char* refusal)
{
    programSettings().SelectionMoveFromClip = true;
    int32_t X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    // Nothing selected counts as an empty box: refused like a small one.
    doc.BitsRegion.BoundRect(X1, Y1, X2, Y2);
    if (X2 - X1 < 2 || Y2 - Y1 < 2) {
        platform::MsgBox(refusal, platform::MsgButtons::OK, platform::MsgIcon::Information, platform::kProgramName);
        return false;
    }
    WaitCursor wait;
    cBitFilter clip;
    clip.setBitsRegion(doc.BitsRegion.walkRegion());
    // Read in place: only the box is copied.
    clip.BitsCropMasked(doc.BitsRef(), X1, Y1, X2, Y2);
    ClipBits() = clip.Bits();
    return true;
}

} // namespace

bool cutSelectionToClip()
{
    fImage* doc = ActiveImage().data();
    MainHost* main = mainHost();
    if (!doc || !main || !doc->PictureExists()) return false;
    if (!takeClip(doc->document(), kMinimumCutText)) return false;
    // The shared engine mirrors the document and walks its selection; the
    // blacked-out pixels must never go into a document of another size.
    cBitFilter& engine = main->engine();
    if (engine.BitsWidth() != doc->PictureWidth() || engine.BitsHeight() != doc->PictureHeight()) {
        engine.setBits(doc->Bits());
        engine.setBitsRegion(doc->BitsRegion.walkRegion());
    }
    engine.BitsBlack();
    doc->setBits(engine.Bits());
    doc->UpdateImage();
    return true;
}

bool copySelectionToClip()
{
    fImage* doc = ActiveImage().data();
    if (!doc || !doc->PictureExists()) return false;
    return takeClip(doc->document(), kMinimumCopyText);
}

} // namespace tq
