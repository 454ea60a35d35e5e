#include "mainwindow/SubsystemCommands.h"

#include "dialogs/GeometryDialogCommands.h"

namespace tq {

void registerSubsystemCommands(CommandRegistry& registry)
{
    registerGeometryDialogCommands(registry);
}

} // namespace tq
