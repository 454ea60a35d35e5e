// What the palette and user filter dialogs share: one dialog of each kind,
// owned by the main window and shown modally for the whole program, whose
// OK runs the shared engine on the document that was active when it opened.
#pragma once

#include "document/MainHost.h"
#include "document/ProgramContext.h"
#include "filters/cBitFilter.h"
#include "widgets/WidgetHelpers.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>

namespace tq {

// Shows the main window's dialog of this kind for the active document,
// application-modal, making it at its first opening; returns at once (the
// dialog's own OK does the work). The dialog, or nullptr without a main
// window.
template <class Dialog>
Dialog* showOwnedDialog()
{
    MainHost* host = mainHost();
    QWidget* owner = host ? host->mainWidget() : nullptr;
    if (!owner) return nullptr;
    auto* dialog = owner->findChild<Dialog*>(QString(), Qt::FindDirectChildrenOnly);
    if (!dialog) {
        dialog = new Dialog(owner);
        dialog->setWindowModality(Qt::ApplicationModal);
    }
    bringForward(dialog);
    return dialog;
}

// The end of such a dialog's OK, once it has left the screen: pending
// messages run once; then, when the document is still open with a picture,
// it becomes the active one (its progress bar shows the engine's), the
// engine mirrors it and compute runs. A result becomes the document's
// pixels as one undo step labelled LastActionName(); no result changes
// nothing and records no step. Running out of memory is reported.
// Asks the program's file dialog for a file of filter to load, or to save
// (the dialog asking before it replaces one), starting in folder with
// fileName proposed. The path chosen; nothing without a file dialog or when
// the user cancels.
std::optional<std::string> askForFile(bool save, const std::string& title, const std::string& filter,
                                      const std::string& folder, const std::string& fileName = {});

void applyEngineStep(const DocumentRef& target, const std::function<FilterResult(cBitFilter& engine)>& compute);

} // namespace tq
