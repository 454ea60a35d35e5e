#include "mainwindow/SubsystemCommands.h"

namespace tq {

void registerSubsystemCommands(CommandRegistry& registry)
{
    (void)registry;
}

} // namespace tq
