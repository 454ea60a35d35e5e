#include "mainwindow/SubsystemCommands.h"

#include "dialogs/FilterDialogCommands.h"

namespace tq {

void registerSubsystemCommands(CommandRegistry& registry)
{
    registerFilterDialogCommands(registry);
}

} // namespace tq
