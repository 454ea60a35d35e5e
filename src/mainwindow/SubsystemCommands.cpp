#include "mainwindow/SubsystemCommands.h"

#include "dialogs/FilterDialogCommands.h"
#include "dialogs/GeometryDialogCommands.h"

namespace tq {

void registerSubsystemCommands(CommandRegistry& registry)
{
    registerFilterDialogCommands(registry);
    registerGeometryDialogCommands(registry);
}

} // namespace tq
