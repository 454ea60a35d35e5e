#include "toolwindows/BrowserCommands.h"

#include "document/MainHost.h"
#include "document/ProgramContext.h"
#include "toolwindows/fOptions.h"

namespace tq {

void registerBrowserCommands(CommandRegistry& registry)
{
    registry.registerCommand("cmdOptions", [](const std::string&) {
        MainHost* host = mainHost();
        auto* dialog = new fOptions(host ? host->mainWidget() : nullptr);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        // Modal for the whole program; the call returns at once and the
        // dialog's own OK does the work.
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
    });
}

} // namespace tq
