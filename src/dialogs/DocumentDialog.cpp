#include "dialogs/DocumentDialog.h"

#include "dialogs/GeometryChange.h"
#include "document/fImage.h"
#include "platform/Ports.h"

#include <new>

namespace tq {

void applyEngineStep(const DocumentRef& target, const std::function<FilterResult(cBitFilter& engine)>& compute)
{
    platform::DoEvents();

    // The document the dialog was opened for, as it is after the messages ran.
    fImage* doc = target.data();
    MainHost* host = mainHost();
    if (!doc || !doc->PictureExists() || !host) return;
    try {
        ActiveImage() = doc;   // its progress bar shows the engine's
        mirrorDocumentInEngine(*doc);
        FilterResult result = compute(host->engine());
        if (!result) return;
        host->applyToDocument(*doc, std::move(*result));
    } catch (const std::bad_alloc&) {
        reportGeometryFailure(GeometryOutcome::NoMemory);
    }
}

} // namespace tq
