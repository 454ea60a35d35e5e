#include "dialogs/GeometryChange.h"

#include "document/MainHost.h"
#include "document/PictureBudget.h"
#include "document/fImage.h"
#include "filters/cBitFilter.h"
#include "platform/Ports.h"

#include <QGuiApplication>

#include <new>

namespace tq {
namespace {

struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

// The document window stays on screen (hiding a window of the document area
// would make another document the active one) but shows nothing of the work
// until it is let go, when it repaints from its pixels.
class HeldWindow {
public:
    explicit HeldWindow(fImage& doc) : doc_(&doc) { doc.setUpdatesEnabled(false); }
    ~HeldWindow() { release(); }
    HeldWindow(const HeldWindow&) = delete;
    HeldWindow& operator=(const HeldWindow&) = delete;
    void release()
    {
        if (!doc_) return;
        doc_->setUpdatesEnabled(true);
        doc_->UpdateImage();
        doc_ = nullptr;
    }

private:
    QPointer<fImage> doc_;
};

// After a change of `changed`, the engine mirrors the document that is the
// active one now, and ActiveImage names it.
void followActiveDocument(MainHost& host, fImage* changed)
{
    fImage* current = host.currentDocument();
    if (!current || current == changed) return;
    try {
        mirrorDocumentInEngine(current->document());
        ActiveImage() = current;
    } catch (const std::bad_alloc&) {
    }
}

} // namespace

void reportGeometryFailure(GeometryOutcome outcome)
{
    using namespace platform;
    if (outcome == GeometryOutcome::Done) return;
    if (outcome == GeometryOutcome::OverBudget) {
        tellPictureTooLarge(outcome.width, outcome.height);
        return;
    }
    MsgBox(outcome == GeometryOutcome::TooLarge ? kMaximumSizeText : kNoMemoryText, MsgButtons::OK,
           MsgIcon::Exclamation);
}

bool checkPictureSize(int64_t W, int64_t H)
{
    using namespace platform;
    if (W < 2 || H < 2) {
        MsgBox(kMinimumSizeText, MsgButtons::OK, MsgIcon::Information);
        return false;
    }
    if (W > kMaxPictureSide || H > kMaxPictureSide) {
        MsgBox(kMaximumSizeText, MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    return mayMakePicture(W, H);
}

void mirrorDocumentInEngine(const Document& doc)
{
    if (MainHost* host = mainHost()) host->mirrorDocument(doc.Bits(), doc.BitsRegion.walkRegion());
}

GeometryChange::GeometryChange(fImage& doc) : doc_(&doc)
{
    try {
        source_ = doc.document().Bits();
        captured_ = source_.allocated();
    } catch (const std::bad_alloc&) {
        captured_ = false;
    }
}

bool GeometryChange::apply(const Compute& compute, bool pumpFirst, bool report)
{
    MainHost* host = mainHost();
    if (!host) return false;
    if (pumpFirst) platform::DoEvents();
    // Closed while the messages ran: there is nothing left to change.
    fImage* doc = doc_.data();
    if (!doc || !doc->PictureExists()) return false;
    if (!captured_) {
        if (report) reportGeometryFailure(GeometryOutcome::NoMemory);
        return false;
    }

    cBitFilter& engine = host->engine();
    HeldWindow held(*doc);
    // The engine's progress goes to this document's bar, the step to its history.
    ActiveImage() = doc;
    GeometryOutcome outcome = GeometryOutcome::NoMemory;
    {
        WaitCursor wait;
        outcome = compute(engine, source_);
    }
    source_ = BitsBuffer();   // the copy is not needed past here
    Document& picture = doc->document();
    if (outcome == GeometryOutcome::Done && !picture.TakeNewPicture(engine.Bits())) outcome = GeometryOutcome::NoMemory;
    if (outcome != GeometryOutcome::Done) {
        held.release();
        // The engine may hold part of the work: it mirrors a document again.
        fImage* current = host->currentDocument();
        try {
            mirrorDocumentInEngine((current ? *current : *doc).document());
        } catch (const std::bad_alloc&) {
        }
        if (current) ActiveImage() = current;
        // A picture refused for its memory is always named to the user.
        if (report || outcome == GeometryOutcome::OverBudget) reportGeometryFailure(outcome);
        return false;
    }

    doc->showNewPicture();
    engine.setBitsRegion(picture.BitsRegion.RegionMain());
    // The window redraws, then the change is the document's undo step.
    host->Update(true, true);
    doc->ShowSizePanel();
    held.release();
    host->fPanView_UpdateImage();
    followActiveDocument(*host, doc);
    return true;
}

} // namespace tq
