#include "mainwindow/SubsystemCommands.h"

#include "dialogs/FilterDialogCommands.h"
#include "dialogs/GeometryDialogCommands.h"
#include "export/ExportCommands.h"
#include "toolwindows/BrowserCommands.h"
#include "export/FWebCommands.h"

namespace tq {

void registerSubsystemCommands(CommandRegistry& registry)
{
    registerFilterDialogCommands(registry);
    registerGeometryDialogCommands(registry);
    registerExportCommands(registry);
    registerBrowserCommands(registry);
    registerWebSaveCommands(registry);
}

} // namespace tq
