// The commands the subsystems above the document layer provide, registered
// with a main window when it is made. Each subsystem offers one function that
// registers its commands by name; this is the one place that calls them.
#pragma once

#include "document/CommandRegistry.h"

namespace tq {

void registerSubsystemCommands(CommandRegistry& registry);

} // namespace tq
