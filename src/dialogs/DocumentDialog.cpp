#include "dialogs/DocumentDialog.h"

#include "dialogs/GeometryChange.h"
#include "document/fImage.h"
#include "platform/Ports.h"

#include <new>

namespace tq {

std::optional<std::string> askForFile(bool save, const std::string& title, const std::string& filter,
                                      const std::string& folder, const std::string& fileName)
{
    platform::FileDialogs* dialogs = platform::ports().fileDialogs;
    if (!dialogs) return std::nullopt;
    platform::FileDialogRequest request;
    request.title = title;
    request.filter = filter;
    request.initialDir = folder;
    request.fileName = fileName;
    request.overwritePrompt = true;
    const std::optional<platform::FileDialogAnswer> answer = save ? dialogs->save(request) : dialogs->open(request);
    if (!answer) return std::nullopt;
    return answer->path;
}

void applyEngineStep(const DocumentRef& target, const std::function<FilterResult(cBitFilter& engine)>& compute)
{
    platform::DoEvents();

    // The document the dialog was opened for, as it is after the messages ran.
    fImage* doc = target.data();
    MainHost* host = mainHost();
    if (!doc || !doc->PictureExists() || !host) return;
    try {
        ActiveImage() = doc;   // its progress bar shows the engine's
        mirrorDocumentInEngine(doc->document());
        FilterResult result = compute(host->engine());
        if (!result) return;
        host->applyToDocument(doc->document(), std::move(*result));
    } catch (const std::bad_alloc&) {
        reportGeometryFailure(GeometryOutcome::NoMemory);
    }
}

} // namespace tq
