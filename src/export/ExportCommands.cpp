#include "export/ExportCommands.h"

#include "document/MainHost.h"
#include "document/ProgramContext.h"
#include "document/fImage.h"
#include "export/fPrint.h"
#include "export/fProperties.h"

#include <QPointer>

#include <filesystem>
#include <memory>

namespace tq {
namespace {

struct ExportDialogs {
    QPointer<fPrint> print;
    QPointer<fProperties> properties;
};

// Makes the dialog, lets `load` fill it and shows it modally for the whole
// program. The call returns at once: the dialog's own buttons do the work,
// so no nested event loop is needed (and a run without a user, which never
// answers it, is never held up).
template <class Dialog, class Load>
void showFresh(QPointer<Dialog>& dialog, Load load)
{
    if (dialog) dialog->close();
    MainHost* host = mainHost();
    dialog = new Dialog(host ? host->mainWidget() : nullptr);
    dialog->setWindowModality(Qt::ApplicationModal);
    load(*dialog);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

// The file behind the document, when it is still there.
bool documentFileExists(const fImage& doc)
{
    if (doc.Tag.empty()) return false;
    std::error_code ec;
    return std::filesystem::is_regular_file(doc.Tag, ec);
}

} // namespace

void registerExportCommands(CommandRegistry& registry)
{
    auto dialogs = std::make_shared<ExportDialogs>();
    // The dispatcher runs these only with an active document.
    registry.registerCommand("cmdPrint", [dialogs](const std::string&) {
        if (!ActiveImage()) return;
        showFresh(dialogs->print, [](fPrint& d) { d.Form_Load(); });
    });
    registry.registerCommand("cmdImageProperties", [dialogs](const std::string&) {
        const fImage* doc = ActiveImage().data();
        if (!doc || !documentFileExists(*doc)) return;
        const std::string path = doc->Tag;
        showFresh(dialogs->properties, [&](fProperties& d) {
            d.FileName = path;
            d.Form_Load();
        });
    });
}

} // namespace tq
