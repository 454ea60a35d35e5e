#include "export/FWebCommands.h"

#include "document/MainHost.h"
#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "export/FWeb.h"

#include <QPointer>

#include <memory>

namespace tq {

void registerWebSaveCommands(CommandRegistry& registry)
{
    auto dialog = std::make_shared<QPointer<FWeb>>();
    // The dispatcher runs it only with an active document. The document
    // extracts its picture, then the dialog is made afresh, loaded and shown
    // modally for the whole program. The call returns at once: the dialog's
    // own buttons do the work, so no nested event loop is needed (and a run
    // without a user, which never answers it, is never held up). Closing it
    // deletes it, and its previews with it.
    registry.registerCommand("cmdImageSaveOptions", [dialog](const std::string&) {
        fImage* doc = ActiveImage().data();
        if (!doc) return;
        try {
            doc->ExtractBitmap();
        } catch (...) {
        }
        if (*dialog) (*dialog)->close();
        MainHost* host = mainHost();
        auto* d = new FWeb(host ? host->mainWidget() : nullptr);
        d->setAttribute(Qt::WA_DeleteOnClose);
        d->setWindowModality(Qt::ApplicationModal);
        bool loaded = false;
        try {
            loaded = d->Form_Load();
        } catch (...) {
        }
        if (!loaded) {
            delete d;
            return;
        }
        *dialog = d;
        d->show();
        d->raise();
        d->activateWindow();
    });
}

} // namespace tq
